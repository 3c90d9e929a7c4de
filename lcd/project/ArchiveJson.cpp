#include "project/ArchiveJson.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <vector>

#include "base/GbkCodec.h"
#include "base/Messenger.h"
#include "base/StringFormat.h"
#include "items/CTextChar.h"
#include "project/CLedDoc.h"
#include "project/DeviceCatalogue.h"
#include "project/ProjectFile.h"

namespace {

// Members keep the order they were written in, so a dump reads in file order.
using Json = nlohmann::ordered_json;

enum class Width { I32, U32, U16, U8 };
// How a list stores its length: an int32 (points, characters) or an archive count.
enum class CountForm { Int32, Archive };

constexpr uint16_t kNullTag = 0x0000;
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassTag = 0x8000;
constexpr uint16_t kBigObjectTag = 0x7FFF;
constexpr uint32_t kBigClassTag = 0x80000000;
constexpr int kSchema = 1;
constexpr size_t kHexChunk = 32;  // bytes per string of a hex block: short lines for diffs
constexpr int kPageKindBackground = 2;
constexpr int64_t kMaxStoredKind = 2 + 255;  // 2 + background id, as the page writes it

const std::vector<std::string> kItemClasses = {
    "CItemLine", "CItemRectangle",    "CItemRound",          "CItemEllipse", "CItemArc",
    "CItemPie",  "CItemPoly",         "CItemMultiLine",      "CItemFill",    "CItemFont",
    "CItemBmp",  "CItemNumberWidget", "CitemAnimationWidget"};

std::string Hex(std::span<const uint8_t> bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

bool FromHex(const std::string& text, CByteArray& out) {
    const auto digit = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    if (text.size() % 2) return false;
    for (size_t i = 0; i < text.size(); i += 2) {
        const int hi = digit(text[i]), lo = digit(text[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<uint8_t>(hi * 16 + lo));
    }
    return true;
}

// A block of bytes as strings of kHexChunk bytes each.
Json HexBlock(std::span<const uint8_t> bytes) {
    Json lines = Json::array();
    for (size_t i = 0; i < bytes.size(); i += kHexChunk)
        lines.push_back(Hex(bytes.subspan(i, std::min(kHexChunk, bytes.size() - i))));
    return lines;
}

// A hex block as one string or an array of strings; false when it is neither.
bool BlockBytes(const Json& v, CByteArray& out) {
    if (v.is_string()) return FromHex(v.get<std::string>(), out);
    if (!v.is_array()) return false;
    for (const Json& line : v)
        if (!line.is_string() || !FromHex(line.get<std::string>(), out)) return false;
    return true;
}

void PutLE(CByteArray& out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

int WidthBytes(Width w) {
    switch (w) {
        case Width::I32:
        case Width::U32:
            return 4;
        case Width::U16:
            return 2;
        case Width::U8:
            break;
    }
    return 1;
}

// An object reference as the archive reads it.
struct Tag {
    enum What { Null, NewClass, ClassRef, ObjectRef } what = Null;
    std::string name;  // NewClass
    uint16_t schema = 0;
    uint32_t index = 0;  // ClassRef, ObjectRef
};

// Reads one reference from `pos` on; false when the bytes end first.
bool ReadTag(std::span<const uint8_t> b, size_t& pos, Tag& t) {
    const auto u16 = [&](uint16_t& v) {
        if (b.size() - pos < 2) return false;
        v = static_cast<uint16_t>(b[pos] | b[pos + 1] << 8);
        pos += 2;
        return true;
    };
    uint16_t tag = 0;
    if (!u16(tag)) return false;
    if (tag == kBigObjectTag) {
        if (b.size() - pos < 4) return false;
        uint32_t d = 0;
        for (int i = 0; i < 4; ++i)
            d |= uint32_t{b[pos + i]} << (8 * i);
        pos += 4;
        t.index = d & ~kBigClassTag;
        t.what = (d & kBigClassTag) ? Tag::ClassRef : t.index ? Tag::ObjectRef : Tag::Null;
        return true;
    }
    if (tag == kNewClassTag) {
        uint16_t len = 0;
        if (!u16(t.schema) || !u16(len) || b.size() - pos < len) return false;
        t.name.assign(reinterpret_cast<const char*>(b.data() + pos), len);
        pos += len;
        t.what = Tag::NewClass;
        return true;
    }
    t.index = tag & ~kClassTag;
    t.what = (tag & kClassTag) ? Tag::ClassRef : t.index ? Tag::ObjectRef : Tag::Null;
    return true;
}

// The archive's running index of classes and objects, as its reader keeps it.
class Indexes {
public:
    // The class index `index` stands for; "" when it is none.
    std::string ClassAt(uint32_t index) const {
        return index >= 1 && index <= m_entries.size() ? m_entries[index - 1] : "";
    }
    // The reference the archive's writer makes for a new object of `name`.
    Tag Canonical(const std::string& name) const {
        Tag t;
        if (const auto it = m_first.find(name); it != m_first.end()) {
            t.what = Tag::ClassRef;
            t.index = it->second;
        } else {
            t.what = Tag::NewClass;
            t.name = name;
            t.schema = kSchema;
        }
        return t;
    }
    static CByteArray Bytes(const Tag& t) {
        CByteArray out;
        if (t.what == Tag::NewClass) {
            PutLE(out, kNewClassTag, 2);
            PutLE(out, t.schema, 2);
            PutLE(out, t.name.size(), 2);
            out.insert(out.end(), t.name.begin(), t.name.end());
        } else if (t.what == Tag::ClassRef && t.index < kBigObjectTag) {
            PutLE(out, kClassTag | t.index, 2);
        } else if (t.what == Tag::ClassRef) {
            PutLE(out, kBigObjectTag, 2);
            PutLE(out, kBigClassTag | t.index, 4);
        } else {
            PutLE(out, kNullTag, 2);
        }
        return out;
    }
    // A new object read under `t`, of class `name`.
    void Apply(const Tag& t, const std::string& name) {
        if (t.what == Tag::NewClass) {
            m_entries.push_back(name);
            m_first.emplace(name, static_cast<uint32_t>(m_entries.size()));
        }
        if (t.what == Tag::NewClass || t.what == Tag::ClassRef) m_entries.emplace_back();
    }

private:
    std::vector<std::string> m_entries;  // index i + 1: a class name, "" for an object
    std::map<std::string, uint32_t> m_first;
};

// One stored value after another, in file order, named as the code names it. The dump
// reads the values from the file's bytes into JSON; the load reads them from JSON into
// bytes. The description of each file (Walk* below) drives both.
class Walker {
public:
    virtual ~Walker() = default;
    virtual bool Ok() const = 0;
    // A value the file's reader would refuse: fails the walk at member `name`.
    virtual void Refuse(const char* name, const std::string& why) = 0;

    virtual int64_t Int(const char* name, Width w) = 0;
    virtual void Double(const char* name) = 0;
    // A COLORREF: "#rrggbb".
    virtual void Colour(const char* name) = 0;
    // A GBK string: UTF-8 text.
    virtual void Text(const char* name) = 0;
    // `n` bytes as a hex block.
    virtual void Bytes(const char* name, size_t n) = 0;
    // The page kind as stored: m_nKind and m_byBackId.
    virtual int64_t PageKind() = 0;
    // A text character's m_lead and m_trail, given as "char" when they make one; CharEnd
    // after its other fields.
    virtual void CharCode() = 0;
    virtual void CharEnd() = 0;
    // The text of the characters walked since the last call, as "text".
    virtual void TextOfChars() = 0;

    // A member that is an object of its own.
    virtual void Begin(const char* name) = 0;
    virtual void End() = 0;
    // A list: its count, then Element / EndElement each, then EndList.
    virtual size_t List(const char* name, CountForm form) = 0;
    virtual void Element(size_t i) = 0;
    virtual void EndElement() = 0;
    virtual void EndList() = 0;
    // The element is a point [x, y] of two int32.
    virtual void Pair() = 0;
    // An object reference: member `name`, or the current element when null. Returns the
    // class, "" for a null reference. A named one is entered (End after its fields).
    virtual std::string Object(const char* name, const std::vector<std::string>& allowed,
                               bool nullable) = 0;
};

// ---- The files, as their readers take them ----

void WalkBmp(Walker& w) {
    w.Begin("m_fileHeader");
    for (auto [name, width] : {std::pair{"type", Width::U16},
                               {"size", Width::U32},
                               {"reserved1", Width::U16},
                               {"reserved2", Width::U16},
                               {"offset", Width::U32}})
        w.Int(name, width);
    w.End();
    w.Begin("m_info");
    const int64_t bitCount = w.Int("bitCount", Width::U16);
    for (auto [name, width] : {std::pair{"clrImportant", Width::U32},
                               {"clrUsed", Width::U32},
                               {"compression", Width::U32},
                               {"height", Width::I32},
                               {"planes", Width::U16},
                               {"size", Width::U32},
                               {"sizeImage", Width::U32},
                               {"width", Width::I32},
                               {"xPelsPerMeter", Width::I32},
                               {"yPelsPerMeter", Width::I32}})
        w.Int(name, width);
    w.End();
    const int64_t dataLen = w.Int("m_nDataLen", Width::I32);
    w.Int("m_nBlock", Width::I32);
    w.Int("m_nStartPage", Width::I32);
    w.Text("m_strPath");
    if (!w.Ok()) return;
    if (dataLen < 2)
        return w.Refuse("m_nDataLen",
                        StringFormat("位图数据长度 %lld 无效", static_cast<long long>(dataLen)));
    if (bitCount == 8) w.Bytes("m_table", 1024);
    w.Bytes("m_bits", static_cast<size_t>(dataLen));
}

void WalkPoints(Walker& w, std::initializer_list<std::pair<const char*, const char*>> points) {
    for (const auto& [x, y] : points) {
        w.Int(x, Width::I32);
        w.Int(y, Width::I32);
    }
}

// CItemBase::SerializeHead.
void WalkHead(Walker& w, std::initializer_list<std::pair<const char*, const char*>> points) {
    w.Int("m_nType", Width::I32);
    WalkPoints(w, points);
    w.Colour("m_crColor");
    w.Int("m_codeLo", Width::U8);
    w.Int("m_codeHi", Width::U8);
}

const std::pair<const char*, const char*> kP1{"m_x1", "m_y1"}, kP2{"m_x2", "m_y2"},
    kCentre{"m_xCentre", "m_yCentre"};

void WalkItem(const std::string& cls, Walker& w) {
    if (cls == "CItemLine") {
        WalkHead(w, {kP1, kP2});
        w.Int("m_nPenWidth", Width::I32);
    } else if (cls == "CItemRectangle" || cls == "CItemEllipse") {
        // CItemBase::SerializeBox.
        w.Int("m_nType", Width::I32);
        WalkPoints(w, {kP1, kP2});
        w.Colour("m_crColor");
        w.Colour("m_crFill");
        w.Int("m_bSolid", Width::I32);
        w.Int("m_codeLo", Width::U8);
        w.Int("m_codeHi", Width::U8);
    } else if (cls == "CItemRound") {
        WalkHead(w, {kP1, kP2, kCentre});
        w.Int("m_bSolid", Width::I32);
    } else if (cls == "CItemArc" || cls == "CItemPie") {
        WalkHead(w, {kCentre, kP1, kP2});
    } else if (cls == "CItemPoly" || cls == "CItemMultiLine") {
        WalkHead(w, {kP1, kP2});
        const size_t n = w.List("m_arrPoints", CountForm::Int32);
        for (size_t i = 0; i < n && w.Ok(); ++i) {
            w.Element(i);
            w.Pair();
            w.EndElement();
        }
        w.EndList();
    } else if (cls == "CItemFill") {
        w.Int("m_nType", Width::I32);
        w.Colour("m_crFillColor");
        w.Colour("m_crBorder");
        WalkPoints(w, {{"m_xSeed", "m_ySeed"}});
        for (const char* name : {"m_borderLo", "m_borderHi", "m_fillLo", "m_fillHi"})
            w.Int(name, Width::U8);
    } else if (cls == "CItemFont") {
        w.Int("m_nType", Width::I32);
        WalkPoints(w, {kP1, kP2});
        const size_t n = w.List("m_arrChars", CountForm::Int32);
        for (size_t i = 0; i < n && w.Ok(); ++i) {
            w.Element(i);
            w.CharCode();
            WalkPoints(w, {{"m_x", "m_y"}});
            w.Int("m_nHMag", Width::I32);
            w.Int("m_nVMag", Width::I32);
            w.Colour("m_crColor");
            w.Int("m_codeLo", Width::U8);
            w.Int("m_codeHi", Width::U8);
            w.Int("m_bDouble", Width::I32);
            w.CharEnd();
            w.EndElement();
        }
        w.EndList();
        w.TextOfChars();
    } else if (cls == "CItemBmp") {
        WalkPoints(w, {kP1, kP2});
        w.Int("m_nBitmap", Width::I32);
        if (!w.Object("m_pBitmap", {"CBmpObj"}, true).empty()) {
            WalkBmp(w);
            w.End();
        }
    } else if (cls == "CItemNumberWidget") {
        w.Int("m_nReserved", Width::I32);
        WalkPoints(w, {kP1, kP2});
        for (const char* name :
             {"m_nDigits", "m_nDecimals", "m_bLeadingZeros", "m_nSign", "m_nAlign", "m_nId"})
            w.Int(name, Width::I32);
        w.Colour("m_crFore");
        w.Colour("m_crBack");
        w.Int("m_nFontSize", Width::I32);
        for (const char* name : {"m_foreHi", "m_foreLo", "m_backHi", "m_backLo"})
            w.Int(name, Width::U8);
    } else if (cls == "CitemAnimationWidget") {
        WalkPoints(w, {kP1, kP2});
        w.Int("m_nAnimValue", Width::I32);
    }
}

void WalkObjects(Walker& w, const char* list, const std::vector<std::string>& classes) {
    const size_t n = w.List(list, CountForm::Archive);
    for (size_t i = 0; i < n && w.Ok(); ++i) {
        w.Element(i);
        const std::string cls = w.Object(nullptr, classes, false);
        if (cls == "CDocObj") {
            w.Text("m_strName");
            w.Int("m_nStartPage", Width::I32);
            w.Int("m_nPageCount", Width::I32);
        } else if (cls == "CDeviceObj") {
            w.Text("m_strName");
            w.Int("m_nLogWidth", Width::I32);
            w.Int("m_nLogHeight", Width::I32);
            w.Double("m_dPhysWidth");
            w.Double("m_dPhysHeight");
            w.Int("m_nBitmapSupport", Width::I32);
            w.Int("m_nColours", Width::I32);
        } else if (!cls.empty()) {
            WalkItem(cls, w);
        }
        w.EndElement();
    }
    w.EndList();
}

void WalkPage(Walker& w) {
    w.Text("m_strDevice");
    w.Int("m_nColours", Width::I32);
    w.Double("m_dPhysWidth");
    w.Double("m_dPhysHeight");
    const int64_t width = w.Int("m_nLogWidth", Width::I32);
    const int64_t height = w.Int("m_nLogHeight", Width::I32);
    if (!w.Ok()) return;
    if (const std::string why = DeviceCatalogue::CheckLogicalSize(width, height); !why.empty())
        return w.Refuse(
            DeviceCatalogue::CheckLogicalSize(width, 1).empty() ? "m_nLogHeight" : "m_nLogWidth",
            StringFormat("页面逻辑尺寸 %lld*%lld 无效（%s）", static_cast<long long>(width),
                         static_cast<long long>(height), why.c_str()));
    w.Int("m_nDelay", Width::I32);
    const int64_t kind = w.PageKind();
    w.Colour("m_crBack");
    w.Int("m_backCodeLo", Width::U8);
    w.Int("m_backCodeHi", Width::U8);
    if (kind >= kPageKindBackground) {
        w.Begin("m_backBitmap");
        WalkBmp(w);
        w.End();
    }
    WalkObjects(w, "items", kItemClasses);
}

// The file's own reader; "" when it takes the bytes.
std::string ReaderRefuses(ArchiveJson::Kind kind, std::span<const uint8_t> bytes) {
    std::string error;
    switch (kind) {
        case ArchiveJson::Kind::Page: {
            CLedDoc doc;
            if (!doc.Load(bytes, error)) return error;
            break;
        }
        case ArchiveJson::Kind::Project: {
            std::vector<CDocObj> entries;
            if (!ProjectFile::Read(bytes, entries, error)) return error;
            break;
        }
        case ArchiveJson::Kind::Devices: {
            struct Silent final : Messenger {
                void Tell(const std::string&, const std::string&) override {}
                Answer Ask(const std::string&, const std::string&, Buttons) override {
                    return Answer::No;
                }
            } silent;
            // An empty file is an empty catalogue, as Load reads it.
            DeviceCatalogue catalogue("", silent);
            if (!bytes.empty() && !catalogue.Read(bytes, error)) return error;
            break;
        }
    }
    return "";
}

const char* ListOf(ArchiveJson::Kind kind) {
    return kind == ArchiveJson::Kind::Project ? "entries" : "devices";
}

void WalkFile(ArchiveJson::Kind kind, Walker& w) {
    if (kind == ArchiveJson::Kind::Page)
        WalkPage(w);
    else
        WalkObjects(w, ListOf(kind),
                    {kind == ArchiveJson::Kind::Project ? "CDocObj" : "CDeviceObj"});
}

std::string ColourText(uint32_t v) {
    return StringFormat("#%02x%02x%02x", v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

// A character's text as the item shows it.
std::string CharText(int64_t lead, int64_t trail, int64_t isDouble) {
    CTextChar c;
    c.m_lead = static_cast<uint8_t>(lead);
    c.m_trail = static_cast<uint8_t>(trail);
    c.m_bDouble = static_cast<int32_t>(isDouble);
    return c.Utf8();
}

// ---- Bytes to JSON ----

class DumpWalker final : public Walker {
public:
    DumpWalker(std::span<const uint8_t> in, Json& root) : m_in(in) { m_stack.push_back(&root); }

    bool Ok() const override { return m_error.empty(); }
    const std::string& Error() const { return m_error; }
    size_t Offset() const { return m_pos; }

    void Refuse(const char* name, const std::string& why) override {
        Fail(std::string(name) + "：" + why);
    }

    int64_t Int(const char* name, Width w) override {
        const int64_t v = Read(w);
        if (Ok()) Top()[name] = v;
        return v;
    }
    void Double(const char* name) override {
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits |= static_cast<uint64_t>(Read(Width::U8)) << (8 * i);
        if (!Ok()) return;
        double d = 0;
        std::memcpy(&d, &bits, 8);
        if (std::isfinite(d))
            Top()[name] = d;
        else
            Top()[name] = StringFormat("0x%016llX", static_cast<unsigned long long>(bits));
    }
    void Colour(const char* name) override {
        const auto v = static_cast<uint32_t>(Read(Width::U32));
        if (!Ok()) return;
        if (v >> 24)
            Top()[name] = v;  // a value no colour dialog makes: kept as a number
        else
            Top()[name] = ColourText(v);
    }
    void Text(const char* name) override {
        const size_t start = m_pos;
        size_t len = static_cast<size_t>(Read(Width::U8));
        if (len == 0xFF) {
            len = static_cast<size_t>(Read(Width::U16));
            if (len == 0xFFFF) len = static_cast<size_t>(Read(Width::U32));
        }
        const size_t prefix = m_pos - start;
        if (!Ok() || !Need(len)) return;
        const std::string gbk(reinterpret_cast<const char*>(m_in.data() + m_pos), len);
        m_pos += len;
        const size_t canonicalPrefix = len < 0xFF ? 1 : len < 0xFFFE ? 3 : 7;
        std::string utf8, back;
        if (prefix == canonicalPrefix && GbkCodec::ToUtf8(gbk, utf8) &&
            GbkCodec::FromUtf8(utf8, back) && back == gbk) {
            Top()[name] = utf8;
            return;
        }
        Json raw = Json::object();
        raw["gbk"] = Hex({reinterpret_cast<const uint8_t*>(gbk.data()), gbk.size()});
        if (prefix != canonicalPrefix) raw["@prefix"] = Hex(m_in.subspan(start, prefix));
        Top()[name] = raw;
    }
    void Bytes(const char* name, size_t n) override {
        if (!Need(n)) return;
        Top()[name] = HexBlock(m_in.subspan(m_pos, n));
        m_pos += n;
    }
    int64_t PageKind() override {
        const int64_t kind = Read(Width::I32);
        if (!Ok()) return kind;
        if (kind < 0) {
            Fail("页面类型无效");
            return kind;
        }
        Top()["m_nKind"] = std::min<int64_t>(kind, kPageKindBackground);
        if (kind >= kPageKindBackground) {
            Top()["m_byBackId"] = static_cast<uint8_t>((kind & 0xFF) - 2);
            if (kind > kMaxStoredKind) Top()["@kind"] = kind;
        }
        return kind;
    }
    void CharCode() override {
        // "char" first, for the reader; m_bDouble lies 24 bytes on.
        constexpr size_t kDoubleAt = 24;
        if (Ok() && m_in.size() - m_pos >= kDoubleAt + 4) {
            const uint8_t* p = m_in.data() + m_pos;
            const int32_t isDouble =
                static_cast<int32_t>(p[kDoubleAt] | p[kDoubleAt + 1] << 8 | p[kDoubleAt + 2] << 16 |
                                     static_cast<uint32_t>(p[kDoubleAt + 3]) << 24);
            const std::string text = CharText(p[0], p[1], isDouble);
            Top()["char"] = text;
            m_text += text;
        }
        Int("m_lead", Width::U8);
        Int("m_trail", Width::U8);
    }
    void CharEnd() override {}
    void TextOfChars() override {
        if (!Ok()) return;
        // "text" before the characters it sums up.
        Json item = Json::object();
        for (auto& [key, value] : Top().items()) {
            if (key == "m_arrChars") item["text"] = m_text;
            item[key] = std::move(value);
        }
        Top() = std::move(item);
        m_text.clear();
    }

    void Begin(const char* name) override {
        Top()[name] = Json::object();
        m_stack.push_back(&Top()[name]);
    }
    void End() override { m_stack.pop_back(); }
    size_t List(const char* name, CountForm form) override {
        size_t n = 0;
        const size_t start = m_pos;
        if (form == CountForm::Int32) {
            const int64_t count = Read(Width::I32);
            n = count > 0 ? static_cast<size_t>(count) : 0;
        } else {
            n = static_cast<size_t>(Read(Width::U16));
            if (n == 0xFFFF) n = static_cast<size_t>(Read(Width::U32));
            if (Ok() && n < 0xFFFF && m_pos - start != 2)
                Top()[std::string("@") + name + "Count"] = Hex(m_in.subspan(start, m_pos - start));
        }
        Top()[name] = Json::array();
        m_stack.push_back(&Top()[name]);
        // Each element takes a byte at least: a count past the end is damage.
        if (n > m_in.size() - m_pos) Fail("数量超出了文件的剩余长度");
        return Ok() ? n : 0;
    }
    void Element(size_t) override {
        Top().push_back(Json::object());
        m_stack.push_back(&Top().back());
    }
    void EndElement() override { m_stack.pop_back(); }
    void EndList() override { m_stack.pop_back(); }
    void Pair() override {
        const int64_t x = Read(Width::I32), y = Read(Width::I32);
        if (Ok()) Top() = Json::array({x, y});
    }
    std::string Object(const char* name, const std::vector<std::string>& allowed,
                       bool nullable) override {
        const size_t start = m_pos;
        Tag t;
        if (!ReadTag(m_in, m_pos, t)) {
            Fail("文件在对象引用处截断");
            return "";
        }
        const std::span<const uint8_t> raw = m_in.subspan(start, m_pos - start);
        Json& slot = name ? Top()[name] : Top();
        if (t.what == Tag::Null && nullable) {
            slot = raw.size() == 2 ? Json(nullptr) : Json::object({{"@tag", Hex(raw)}});
            return "";
        }
        const std::string cls = t.what == Tag::NewClass   ? t.name
                                : t.what == Tag::ClassRef ? m_indexes.ClassAt(t.index)
                                                          : "";
        if (cls.empty() || std::find(allowed.begin(), allowed.end(), cls) == allowed.end() ||
            (t.what == Tag::NewClass && t.schema != kSchema)) {
            Fail("对象引用无效");
            return "";
        }
        slot = Json::object();
        slot["class"] = cls;
        if (Indexes::Bytes(m_indexes.Canonical(cls)) != CByteArray(raw.begin(), raw.end()))
            slot["@tag"] = Hex(raw);
        m_indexes.Apply(t, cls);
        if (name) m_stack.push_back(&slot);
        return cls;
    }

    void Trailing() {
        if (Ok() && m_pos < m_in.size()) Top()["@trailing"] = HexBlock(m_in.subspan(m_pos));
    }

private:
    Json& Top() { return *m_stack.back(); }
    void Fail(const std::string& why) {
        if (m_error.empty()) m_error = StringFormat("偏移 %zu：", m_pos) + why;
    }
    bool Need(size_t n) {
        if (!Ok()) return false;
        if (m_in.size() - m_pos >= n) return true;
        Fail("文件在此处截断");
        return false;
    }
    int64_t Read(Width w) {
        const int n = WidthBytes(w);
        if (!Need(static_cast<size_t>(n))) return 0;
        uint64_t v = 0;
        for (int i = 0; i < n; ++i)
            v |= uint64_t{m_in[m_pos + static_cast<size_t>(i)]} << (8 * i);
        m_pos += static_cast<size_t>(n);
        return w == Width::I32 ? int64_t{static_cast<int32_t>(v)} : static_cast<int64_t>(v);
    }

    std::span<const uint8_t> m_in;
    size_t m_pos = 0;
    std::vector<Json*> m_stack;
    std::string m_error;
    Indexes m_indexes;
    std::string m_text;
};

// ---- JSON to bytes ----

class LoadWalker final : public Walker {
public:
    explicit LoadWalker(const Json& root) { m_frames.push_back(Frame{&root, ""}); }

    bool Ok() const override { return m_error.empty(); }
    const std::string& Error() const { return m_error; }
    CByteArray& Out() { return m_out; }

    void Refuse(const char* name, const std::string& why) override { FailAt(Path(name), why); }
    // Marks informational members of the current object as read.
    void Use(const char* name) { m_frames.back().used.insert(name); }
    // Fails at the first member of the current object no walk read.
    void CheckUnread() {
        if (!Ok()) return;
        const Frame& f = m_frames.back();
        if (!f.node->is_object()) return;
        for (const auto& [key, value] : f.node->items())
            if (!f.used.count(key)) return FailAt(f.path + "/" + Escape(key), "不是这里的成员");
    }
    // The JSON path of the stored value holding byte `offset` of the output.
    std::string PathOf(size_t offset) const {
        std::string path = "";
        for (const auto& [start, end, p] : m_fields) {
            if (start <= offset && offset < end) return p;
            if (end <= offset) path = p;
        }
        return path;
    }

    int64_t Int(const char* name, Width w) override {
        const Json* v = Member(name);
        int64_t value = 0;
        if (!v) {
            const auto it = m_defaults.find(name);
            if (it == m_defaults.end()) return Missing(name), 0;
            value = it->second;
        } else if (!IntValue(*v, w, value)) {
            FailAt(Path(name), RangeText(w));
            return 0;
        }
        Emit(name, static_cast<uint64_t>(value), WidthBytes(w));
        return value;
    }
    void Double(const char* name) override {
        const Json* v = Member(name);
        if (!v) return Missing(name);
        uint64_t bits = 0;
        if (v->is_number()) {
            const double d = v->get<double>();
            std::memcpy(&bits, &d, 8);
        } else if (!v->is_string() || !ParseBits(v->get<std::string>(), bits)) {
            return FailAt(Path(name), "须为数值");
        }
        Emit(name, bits, 8);
    }
    void Colour(const char* name) override {
        const Json* v = Member(name);
        if (!v) return Missing(name);
        int64_t value = 0;
        if (v->is_string()) {
            const std::string s = v->get<std::string>();
            CByteArray rgb;
            if (s.size() != 7 || s[0] != '#' || !FromHex(s.substr(1), rgb))
                return FailAt(Path(name), "颜色须为 #rrggbb");
            value = rgb[0] | rgb[1] << 8 | rgb[2] << 16;
        } else if (!IntValue(*v, Width::U32, value)) {
            return FailAt(Path(name), "颜色须为 #rrggbb");
        }
        Emit(name, static_cast<uint64_t>(value), 4);
    }
    void Text(const char* name) override {
        const Json* v = Member(name);
        if (!v) return Missing(name);
        std::string gbk;
        CByteArray prefix;
        if (v->is_string()) {
            if (!GbkCodec::FromUtf8(v->get<std::string>(), gbk))
                return FailAt(Path(name), "含有 GBK 编码无法表示的字符");
        } else if (v->is_object() && v->contains("gbk") && (*v)["gbk"].is_string()) {
            CByteArray bytes;
            if (!FromHex((*v)["gbk"].get<std::string>(), bytes))
                return FailAt(Path(name) + "/gbk", "须为十六进制字节");
            gbk.assign(bytes.begin(), bytes.end());
            for (const auto& [key, value] : v->items())
                if (key != "gbk" && key != "@prefix")
                    return FailAt(Path(name) + "/" + Escape(key), "不是这里的成员");
            if (v->contains("@prefix") && !PrefixOf((*v)["@prefix"], gbk.size(), prefix))
                return FailAt(Path(name) + "/@prefix", "不是这段文字的长度前缀");
        } else {
            return FailAt(Path(name), "须为字符串");
        }
        const size_t start = m_out.size();
        if (!prefix.empty()) {
            m_out.insert(m_out.end(), prefix.begin(), prefix.end());
        } else if (gbk.size() < 0xFF) {
            PutLE(m_out, gbk.size(), 1);
        } else if (gbk.size() < 0xFFFE) {
            PutLE(m_out, 0xFF, 1);
            PutLE(m_out, gbk.size(), 2);
        } else {
            PutLE(m_out, 0xFF, 1);
            PutLE(m_out, 0xFFFF, 2);
            PutLE(m_out, gbk.size(), 4);
        }
        m_out.insert(m_out.end(), gbk.begin(), gbk.end());
        m_fields.push_back({start, m_out.size(), Path(name)});
    }
    void Bytes(const char* name, size_t n) override {
        const Json* v = Member(name);
        if (!v) return Missing(name);
        CByteArray bytes;
        if (!BlockBytes(*v, bytes)) return FailAt(Path(name), "须为十六进制字节串（或其数组）");
        if (bytes.size() != n)
            return FailAt(Path(name),
                          StringFormat("须为 %zu 字节，不是 %zu 字节", n, bytes.size()));
        const size_t start = m_out.size();
        m_out.insert(m_out.end(), bytes.begin(), bytes.end());
        m_fields.push_back({start, m_out.size(), Path(name)});
    }
    int64_t PageKind() override {
        int64_t kind = 0, id = 0;
        const Json* v = Member("m_nKind");
        if (!v) return Missing("m_nKind"), 0;
        if (!IntValue(*v, Width::I32, kind) || kind < 0 || kind > kPageKindBackground) {
            FailAt(Path("m_nKind"), "须为 0（主页面）、1（辅助页面）或 2（背景位图）");
            return 0;
        }
        if (kind == kPageKindBackground) {
            const Json* b = Member("m_byBackId");
            if (!b) return Missing("m_byBackId"), 0;
            if (!IntValue(*b, Width::U8, id))
                return FailAt(Path("m_byBackId"), RangeText(Width::U8)), 0;
            kind = kPageKindBackground + id;
            if (const Json* raw = Member("@kind")) {
                int64_t stored = 0;
                if (!IntValue(*raw, Width::I32, stored) || stored < kPageKindBackground ||
                    (((stored & 0xFF) - 2) & 0xFF) != id)
                    return FailAt(Path("@kind"), "与 m_byBackId 不符"), 0;
                kind = stored;
            }
        }
        Emit("m_nKind", static_cast<uint64_t>(kind), 4);
        return kind;
    }
    void CharCode() override {
        const Json* c = Member("char");
        if (Member("m_lead") || !c) {
            m_lead = Int("m_lead", Width::U8);
            m_trail = Int("m_trail", Width::U8);
            return;
        }
        // Only "char": the bytes and the width follow from it.
        std::string gbk;
        const std::string text = c->is_string() ? c->get<std::string>() : "";
        const bool ascii = text.size() == 1 && ((text[0] >= 32 && text[0] <= 126) || text[0] == 13);
        if (!ascii && (!GbkCodec::FromUtf8(text, gbk) || gbk.size() != 2))
            return FailAt(Path("char"), "须为一个 GBK 字符");
        m_defaults = {{"m_bDouble", ascii ? 0 : 1}};
        m_lead = ascii ? static_cast<uint8_t>(text[0]) : static_cast<uint8_t>(gbk[0]);
        m_trail = ascii ? 0 : static_cast<uint8_t>(gbk[1]);
        Emit("char", static_cast<uint64_t>(m_lead), 1);
        Emit("char", static_cast<uint64_t>(m_trail), 1);
        m_double = ascii ? 0 : 1;
    }
    void CharEnd() override {
        if (!Ok()) return;
        const Json* isDouble = Member("m_bDouble");
        int64_t d = m_double;
        if (isDouble) IntValue(*isDouble, Width::I32, d);
        const std::string text = CharText(m_lead, m_trail, d);
        if (const Json* c = Member("char"); c && (!c->is_string() || *c != text))
            return FailAt(Path("char"),
                          "与 m_lead、m_trail、m_bDouble 不符：应为“" + text + "”" +
                              (text == "?" && m_lead != '?' ? "（这两个字节不是 GBK 字符）" : ""));
        m_defaults.clear();
        m_text += text;
    }
    void TextOfChars() override {
        const Json* t = Member("text");
        if (Ok() && t && (!t->is_string() || *t != m_text))
            FailAt(Path("text"), "与 m_arrChars 的字符不符：应为“" + m_text + "”");
        m_text.clear();
    }

    void Begin(const char* name) override {
        const Json* v = Member(name);
        if (!v) {
            Missing(name);
        } else if (!v->is_object()) {
            FailAt(Path(name), "须为对象");
        }
        m_frames.push_back(Frame{v && v->is_object() ? v : &m_empty, Path(name)});
    }
    void End() override {
        CheckUnread();
        m_frames.pop_back();
    }
    size_t List(const char* name, CountForm form) override {
        const Json* v = Member(name);
        size_t n = 0;
        if (!v) {
            Missing(name);
        } else if (!v->is_array()) {
            FailAt(Path(name), "须为数组");
        } else {
            n = v->size();
        }
        const std::string countName = std::string("@") + name + "Count";
        const Json* raw = Member(countName.c_str());
        if (form == CountForm::Int32) {
            if (n > INT32_MAX) FailAt(Path(name), "元素过多");
            Emit(name, n, 4);
        } else if (raw) {
            CByteArray bytes;
            const bool ok =
                raw->is_string() && FromHex(raw->get<std::string>(), bytes) && bytes.size() == 6 &&
                bytes[0] == 0xFF && bytes[1] == 0xFF &&
                (bytes[2] | bytes[3] << 8 | bytes[4] << 16 | uint32_t{bytes[5]} << 24) == n;
            if (!ok) FailAt(Path(countName.c_str()), "不是这个数组的长度");
            if (Ok()) m_out.insert(m_out.end(), bytes.begin(), bytes.end());
        } else if (n < 0xFFFF) {
            Emit(name, n, 2);
        } else {
            Emit(name, 0xFFFF, 2);
            Emit(name, n, 4);
        }
        m_frames.push_back(Frame{v && v->is_array() ? v : &m_emptyArray, Path(name)});
        return Ok() ? n : 0;
    }
    void Element(size_t i) override {
        const Frame& list = m_frames.back();
        m_frames.push_back(Frame{&(*list.node)[i], list.path + "/" + std::to_string(i)});
    }
    void EndElement() override {
        CheckUnread();
        m_frames.pop_back();
    }
    void EndList() override { m_frames.pop_back(); }
    void Pair() override {
        const Json& v = *m_frames.back().node;
        int64_t x = 0, y = 0;
        if (!v.is_array() || v.size() != 2 || !IntValue(v[0], Width::I32, x) ||
            !IntValue(v[1], Width::I32, y))
            return FailAt(m_frames.back().path, "须为两个整数 [x, y]");
        Emit("", static_cast<uint64_t>(x), 4);
        Emit("", static_cast<uint64_t>(y), 4);
    }
    std::string Object(const char* name, const std::vector<std::string>& allowed,
                       bool nullable) override {
        const Json* v = name ? Member(name) : m_frames.back().node;
        const std::string path = name ? Path(name) : m_frames.back().path;
        if (!v) return Missing(name), "";
        if (v->is_null()) {
            if (!nullable) FailAt(path, "不能为空");
            Emit(name ? name : "", kNullTag, 2);
            return "";
        }
        if (!v->is_object()) return FailAt(path, "须为对象"), "";
        Tag t;
        CByteArray raw;
        const bool hasTag = v->contains("@tag");
        if (hasTag) {
            size_t pos = 0;
            if (!(*v)["@tag"].is_string() || !FromHex((*v)["@tag"].get<std::string>(), raw) ||
                !ReadTag(raw, pos, t) || pos != raw.size())
                return FailAt(path + "/@tag", "不是对象引用"), "";
        }
        if (hasTag && t.what == Tag::Null) {
            if (!nullable || v->size() != 1) return FailAt(path + "/@tag", "空引用不能有成员"), "";
            m_out.insert(m_out.end(), raw.begin(), raw.end());
            return "";
        }
        std::string cls = allowed.size() == 1 ? allowed[0] : "";
        if (v->contains("class")) {
            const Json& c = (*v)["class"];
            cls = c.is_string() ? c.get<std::string>() : "";
            if (std::find(allowed.begin(), allowed.end(), cls) == allowed.end())
                return FailAt(path + "/class", "不是这里可以有的类"), "";
        } else if (cls.empty()) {
            return FailAt(path + "/class", "缺少类名"), "";
        }
        if (!hasTag) {
            t = m_indexes.Canonical(cls);
            raw = Indexes::Bytes(t);
        } else if (!(t.what == Tag::NewClass && t.name == cls && t.schema == kSchema) &&
                   !(t.what == Tag::ClassRef && m_indexes.ClassAt(t.index) == cls)) {
            return FailAt(path + "/@tag", "不是类 " + cls + " 的引用"), "";
        }
        m_fields.push_back({m_out.size(), m_out.size() + raw.size(), path});
        m_out.insert(m_out.end(), raw.begin(), raw.end());
        m_indexes.Apply(t, cls);
        if (name) m_frames.push_back(Frame{v, path});
        Use("class");
        Use("@tag");
        return cls;
    }

private:
    struct Frame {
        Frame(const Json* n, std::string p) : node(n), path(std::move(p)) {}
        const Json* node;
        std::string path;
        std::set<std::string> used;
    };
    struct Field {
        size_t start, end;
        std::string path;
    };

    // RFC 6901: "~" as "~0", "/" as "~1".
    static std::string Escape(const std::string& key) {
        std::string out;
        for (const char c : key)
            out += c == '~' ? "~0" : c == '/' ? "~1" : std::string(1, c);
        return out;
    }
    std::string Path(const char* name) const {
        return m_frames.back().path + (name && *name ? "/" + Escape(name) : "");
    }
    const Json* Member(const char* name) {
        Frame& f = m_frames.back();
        if (!f.node->is_object()) {
            FailAt(f.path, "须为对象");
            return nullptr;
        }
        const auto it = f.node->find(name);
        if (it == f.node->end()) return nullptr;
        f.used.insert(name);
        return &*it;
    }
    void Missing(const char* name) { FailAt(Path(name), "缺少此项"); }
    void FailAt(const std::string& path, const std::string& why) {
        if (m_error.empty()) m_error = (path.empty() ? "/" : path) + "：" + why;
    }
    void Emit(const char* name, uint64_t v, int bytes) {
        if (!Ok()) return;
        const size_t start = m_out.size();
        PutLE(m_out, v, bytes);
        m_fields.push_back({start, m_out.size(), Path(name)});
    }
    static bool IntValue(const Json& v, Width w, int64_t& out) {
        if (!v.is_number_integer()) return false;
        if (v.is_number_unsigned() && v.get<uint64_t>() > uint64_t{INT64_MAX}) return false;
        const int64_t x = v.get<int64_t>();
        int64_t lo = 0, hi = 0;
        switch (w) {
            case Width::I32:
                lo = INT32_MIN, hi = INT32_MAX;
                break;
            case Width::U32:
                hi = UINT32_MAX;
                break;
            case Width::U16:
                hi = UINT16_MAX;
                break;
            case Width::U8:
                hi = UINT8_MAX;
                break;
        }
        if (x < lo || x > hi) return false;
        out = x;
        return true;
    }
    static std::string RangeText(Width w) {
        switch (w) {
            case Width::I32:
                return "须为 32 位有符号整数";
            case Width::U32:
                return "须为 0 到 4294967295 的整数";
            case Width::U16:
                return "须为 0 到 65535 的整数";
            case Width::U8:
                break;
        }
        return "须为 0 到 255 的整数";
    }
    static bool ParseBits(const std::string& s, uint64_t& bits) {
        CByteArray b;
        if (s.size() != 18 || s.compare(0, 2, "0x") != 0 || !FromHex(s.substr(2), b)) return false;
        bits = 0;
        for (const uint8_t byte : b)
            bits = bits << 8 | byte;
        return true;
    }
    // A length prefix the archive's reader takes for `len` bytes.
    static bool PrefixOf(const Json& v, size_t len, CByteArray& out) {
        if (!v.is_string() || !FromHex(v.get<std::string>(), out)) return false;
        size_t pos = 0;
        const auto at = [&](int n) {
            uint64_t x = 0;
            for (int i = 0; i < n; ++i)
                x |= uint64_t{out[pos + static_cast<size_t>(i)]} << (8 * i);
            pos += static_cast<size_t>(n);
            return x;
        };
        if (out.empty()) return false;
        uint64_t n = at(1);
        if (n == 0xFF && out.size() >= 3) {
            n = at(2);
            if (n == 0xFFFF && out.size() == 7) n = at(4);
        }
        return pos == out.size() && n == len;
    }

    std::vector<Frame> m_frames;
    std::vector<Field> m_fields;
    std::map<std::string, int64_t> m_defaults;
    CByteArray m_out;
    std::string m_error;
    Indexes m_indexes;
    const Json m_empty = Json::object();
    const Json m_emptyArray = Json::array();
    int64_t m_lead = 0, m_trail = 0, m_double = 0;
    std::string m_text;
};

// The indented text with each point on one line: "[\n    3,\n    4\n  ]" becomes "[3, 4]".
// Line breaks never occur inside JSON strings, so only arrays are touched.
std::string JoinPairs(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    const auto number = [&](size_t& i) {
        const size_t from = i;
        if (i < text.size() && text[i] == '-') ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i;
        return text.substr(from, i - from);
    };
    const auto skip = [&](size_t& i, char first) {
        if (i >= text.size() || text[i] != first) return false;
        ++i;
        while (i < text.size() && text[i] == ' ')
            ++i;
        return true;
    };
    for (size_t i = 0; i < text.size();) {
        size_t j = i;
        std::string x, y;
        if (skip(j, '[') && skip(j, '\n') && !(x = number(j)).empty() && x != "-" && skip(j, ',') &&
            skip(j, '\n') && !(y = number(j)).empty() && y != "-" && skip(j, '\n') &&
            j < text.size() && text[j] == ']') {
            out += "[" + x + ", " + y + "]";
            i = j + 1;
        } else {
            out += text[i++];
        }
    }
    return out;
}

bool LoadJson(const Json& root, ArchiveJson::Kind& kind, CByteArray& bytes, std::string& error) {
    if (!root.is_object()) {
        error = "/：须为对象";
        return false;
    }
    const Json* format = root.contains("format") ? &root["format"] : nullptr;
    bool known = false;
    for (auto k : {ArchiveJson::Kind::Page, ArchiveJson::Kind::Project, ArchiveJson::Kind::Devices})
        if (format && *format == ArchiveJson::FormatName(k)) kind = k, known = true;
    if (!known) {
        error = "/format：须为 lcdscreen-page、lcdscreen-project 或 lcdscreen-devices";
        return false;
    }
    if (root.contains("version") && root["version"] != 1) {
        error = "/version：只认得版本 1";
        return false;
    }
    LoadWalker w(root);
    w.Use("format");
    w.Use("version");
    // A project or catalogue without its list is an empty file.
    if (kind == ArchiveJson::Kind::Page || root.contains(ListOf(kind))) WalkFile(kind, w);
    if (w.Ok() && root.contains("@trailing")) {
        w.Use("@trailing");
        if (!BlockBytes(root["@trailing"], bytes)) {
            error = "/@trailing：须为十六进制字节串（或其数组）";
            return false;
        }
    }
    w.CheckUnread();
    if (!w.Ok()) {
        error = w.Error();
        return false;
    }
    bytes.insert(bytes.begin(), w.Out().begin(), w.Out().end());
    // What the walk does not check, the reader does; its offset names the value.
    if (std::string why = ReaderRefuses(kind, bytes); !why.empty()) {
        const std::string mark = "偏移 ";
        const size_t at = why.find(mark);
        const size_t colon = why.find("：", at == std::string::npos ? 0 : at);
        if (at != std::string::npos && colon != std::string::npos) {
            const size_t offset = std::strtoull(why.c_str() + at + mark.size(), nullptr, 10);
            why = w.PathOf(offset) + why.substr(colon);
        }
        error = why;
        return false;
    }
    return true;
}

}  // namespace

const char* ArchiveJson::FormatName(Kind kind) {
    switch (kind) {
        case Kind::Page:
            return "lcdscreen-page";
        case Kind::Project:
            return "lcdscreen-project";
        case Kind::Devices:
            break;
    }
    return "lcdscreen-devices";
}

bool ArchiveJson::KindOfName(const std::string& path, Kind& kind) {
    std::string lower;
    for (const char c : path)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (auto [ending, k] :
         {std::pair{".pg", Kind::Page}, {".zkp", Kind::Project}, {".dll", Kind::Devices}})
        if (lower.ends_with(ending)) {
            kind = k;
            return true;
        }
    return false;
}

bool ArchiveJson::Dump(Kind kind, std::span<const uint8_t> bytes, std::string& json,
                       std::string& error) {
    if (const std::string why = ReaderRefuses(kind, bytes); !why.empty()) {
        error = why;
        return false;
    }
    Json root = Json::object();
    root["format"] = FormatName(kind);
    root["version"] = 1;
    DumpWalker w(bytes, root);
    if (kind == Kind::Page || !bytes.empty()) WalkFile(kind, w);
    w.Trailing();
    if (!w.Ok()) {
        error = w.Error();
        return false;
    }
    json = JoinPairs(root.dump(2)) + "\n";
    // Whatever the walk left out would be lost: the JSON must give back the same bytes.
    Kind back = kind;
    CByteArray again;
    std::string why;
    if (!LoadJson(root, back, again, why) || back != kind ||
        !std::equal(again.begin(), again.end(), bytes.begin(), bytes.end())) {
        error = "内部错误：JSON 不能还原为原来的字节" + (why.empty() ? "" : "（" + why + "）");
        return false;
    }
    return true;
}

bool ArchiveJson::Load(const std::string& json, Kind& kind, CByteArray& bytes, std::string& error) {
    // The library's parser reports a bad text only by exception; nothing else throws.
    // The parser keeps the last of a key given twice: a hand-edited file would lose the
    // first value unseen, so the first repeated key is refused with its path. The path
    // also names where a number out of range stands.
    struct Frame {
        bool object;
        std::set<std::string> keys;
        std::string key;
        size_t index = 0;
    };
    std::vector<Frame> stack;
    std::string repeated;
    const auto path = [&stack] {
        std::string p;
        for (const Frame& f : stack)
            p += "/" + (f.object ? f.key : std::to_string(f.index));
        return p.empty() ? std::string("/") : p;
    };
    const auto next = [&stack] {
        if (!stack.empty() && !stack.back().object) ++stack.back().index;
    };
    const Json::parser_callback_t track = [&](int, Json::parse_event_t event, Json& parsed) {
        switch (event) {
            case Json::parse_event_t::object_start:
            case Json::parse_event_t::array_start:
                stack.push_back(Frame{event == Json::parse_event_t::object_start, {}, {}});
                break;
            case Json::parse_event_t::key:
                stack.back().key = parsed.get<std::string>();
                if (!stack.back().keys.insert(stack.back().key).second && repeated.empty())
                    repeated = path();
                break;
            case Json::parse_event_t::object_end:
            case Json::parse_event_t::array_end:
                stack.pop_back();
                next();
                break;
            case Json::parse_event_t::value:
                next();
                break;
        }
        return true;
    };
    Json root;
    try {
        root = Json::parse(json, track);
    } catch (const Json::parse_error& e) {
        error = StringFormat("JSON 语法错误（第 %zu 字节）", e.byte);
        return false;
    } catch (const Json::exception&) {
        error = path() + "：数值超出范围";
        return false;
    }
    if (!repeated.empty()) {
        error = repeated + "：这个键出现了两次";
        return false;
    }
    CByteArray out;
    if (!LoadJson(root, kind, out, error)) return false;
    bytes = std::move(out);
    return true;
}
