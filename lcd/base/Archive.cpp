#include "base/Archive.h"

#include <bit>
#include <cstring>

#include "base/ClassRegistry.h"
#include "base/GbkCodec.h"
#include "base/StringFormat.h"

namespace {

constexpr uint16_t kNullTag = 0x0000;
constexpr uint16_t kBigObjectTag = 0x7FFF;
constexpr uint16_t kClassTag = 0x8000;
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint32_t kBigClassTag = 0x80000000u;
// Indexes past this are never written; a file claiming one is damaged.
constexpr uint32_t kMaxIndex = 0x3FFFFFFE;

}  // namespace

Archive::Archive() : m_storing(true) {}

Archive::Archive(std::span<const uint8_t> data, const ClassRegistry& registry)
    : m_storing(false), m_data(data), m_registry(&registry) {}

void Archive::Fail(const std::string& message) {
    if (!Ok()) return;
    m_error.offset = m_pos;
    m_error.message = message.empty() ? "?" : message;
}

bool Archive::Need(size_t n) {
    if (!Ok()) return false;
    if (Remaining() < n) {
        Fail(StringFormat("文件在此处截断（还需 %zu 字节，只剩 %zu 字节）", n, Remaining()));
        return false;
    }
    return true;
}

void Archive::Put(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    m_out.insert(m_out.end(), b, b + n);
}

void Archive::Get(void* p, size_t n) {
    if (!Need(n)) {
        std::memset(p, 0, n);
        return;
    }
    std::memcpy(p, m_data.data() + m_pos, n);
    m_pos += n;
}

// The byte order of files is little-endian, as is every machine we build for.
static_assert(std::endian::native == std::endian::little);

void Archive::Byte(uint8_t& v) {
    m_storing ? Put(&v, 1) : Get(&v, 1);
}
void Archive::UInt16(uint16_t& v) {
    m_storing ? Put(&v, 2) : Get(&v, 2);
}
void Archive::Int32(int32_t& v) {
    m_storing ? Put(&v, 4) : Get(&v, 4);
}
void Archive::UInt32(uint32_t& v) {
    m_storing ? Put(&v, 4) : Get(&v, 4);
}
void Archive::Double(double& v) {
    m_storing ? Put(&v, 8) : Get(&v, 8);
}

void Archive::Point(int32_t& x, int32_t& y) {
    Int32(x);
    Int32(y);
}

void Archive::RawString(std::string& bytes) {
    if (m_storing) {
        const size_t len = bytes.size();
        if (len < 0xFF) {
            uint8_t b = static_cast<uint8_t>(len);
            Byte(b);
        } else if (len < 0xFFFE) {
            uint8_t b = 0xFF;
            uint16_t w = static_cast<uint16_t>(len);
            Byte(b);
            UInt16(w);
        } else {
            uint8_t b = 0xFF;
            uint16_t w = 0xFFFF;
            uint32_t d = static_cast<uint32_t>(len);
            Byte(b);
            UInt16(w);
            UInt32(d);
        }
        Put(bytes.data(), len);
        return;
    }
    bytes.clear();
    uint8_t b = 0;
    Byte(b);
    size_t len = b;
    if (b == 0xFF) {
        uint16_t w = 0;
        UInt16(w);
        len = w;
        if (w == 0xFFFF) {
            uint32_t d = 0;
            UInt32(d);
            len = d;
        }
    }
    if (!Need(len)) return;
    bytes.assign(reinterpret_cast<const char*>(m_data.data() + m_pos), len);
    m_pos += len;
}

void Archive::Text(std::string& utf8) {
    if (m_storing) {
        std::string gbk;
        if (!GbkCodec::FromUtf8(utf8, gbk)) {
            // Raw UTF-8 in a GBK file would make it unreadable: refuse the whole store.
            Fail("“" + utf8 + "”含有 GBK 编码无法表示的字符");
            return;
        }
        RawString(gbk);
        return;
    }
    std::string gbk;
    const size_t start = m_pos;
    RawString(gbk);
    if (!Ok()) return;
    if (!GbkCodec::ToUtf8(gbk, utf8)) {
        m_pos = start;
        Fail("字符串不是有效的 GBK 文本");
    }
}

void Archive::Count(uint32_t& n, size_t minBytesEach) {
    if (m_storing) {
        if (n < 0xFFFF) {
            uint16_t w = static_cast<uint16_t>(n);
            UInt16(w);
        } else {
            uint16_t w = 0xFFFF;
            UInt16(w);
            UInt32(n);
        }
        return;
    }
    const size_t start = m_pos;
    uint16_t w = 0;
    UInt16(w);
    n = w;
    if (w == 0xFFFF) UInt32(n);
    if (!Ok()) {
        n = 0;
        return;
    }
    if (minBytesEach > 0 && n > Remaining() / minBytesEach) {
        const uint32_t claimed = n;
        n = 0;
        m_pos = start;
        Fail(StringFormat("数量 %u 超出了文件的剩余长度", claimed));
    }
}

uint32_t Archive::NextIndex() {
    return m_nextIndex++;
}

void Archive::WriteObject(const CObject* obj) {
    if (!obj) {
        uint16_t w = kNullTag;
        UInt16(w);
        return;
    }
    if (const auto it = m_objectIndex.find(obj); it != m_objectIndex.end()) {
        const uint32_t index = it->second;
        if (index < kBigObjectTag) {
            uint16_t w = static_cast<uint16_t>(index);
            UInt16(w);
        } else {
            uint16_t w = kBigObjectTag;
            uint32_t d = index;
            UInt16(w);
            UInt32(d);
        }
        return;
    }
    const std::string name = obj->ClassName();
    if (const auto it = m_classIndex.find(name); it != m_classIndex.end()) {
        const uint32_t index = it->second;
        if (index < kBigObjectTag) {
            uint16_t w = static_cast<uint16_t>(kClassTag | index);
            UInt16(w);
        } else {
            uint16_t w = kBigObjectTag;
            uint32_t d = kBigClassTag | index;
            UInt16(w);
            UInt32(d);
        }
    } else {
        uint16_t tag = kNewClassTag, schema = 1, len = static_cast<uint16_t>(name.size());
        UInt16(tag);
        UInt16(schema);
        UInt16(len);
        Put(name.data(), name.size());
        m_classIndex[name] = NextIndex();
    }
    m_objectIndex[obj] = NextIndex();
    const_cast<CObject*>(obj)->Serialize(*this);
}

std::unique_ptr<CObject> Archive::ReadObject() {
    if (!Ok()) return nullptr;
    const size_t start = m_pos;
    uint16_t tag = 0;
    UInt16(tag);
    if (!Ok()) return nullptr;

    uint32_t index = 0;
    bool isClassRef = false;
    if (tag == kBigObjectTag) {
        uint32_t d = 0;
        UInt32(d);
        if (!Ok()) return nullptr;
        isClassRef = (d & kBigClassTag) != 0;
        index = d & ~kBigClassTag;
    } else if (tag == kNewClassTag) {
        uint16_t schema = 0, len = 0;
        UInt16(schema);
        UInt16(len);
        if (!Need(len)) return nullptr;
        std::string name(reinterpret_cast<const char*>(m_data.data() + m_pos), len);
        const ClassRegistry::Factory* factory = m_registry ? m_registry->Find(name) : nullptr;
        if (!factory) {
            m_pos = start;
            Fail("未知的类名 \"" + name + "\"");
            return nullptr;
        }
        if (schema != m_registry->Schema(name)) {
            m_pos = start;
            Fail(StringFormat("类 %s 的版本号 %u 不是 %d", name.c_str(), schema,
                              m_registry->Schema(name)));
            return nullptr;
        }
        m_pos += len;
        if (m_nextIndex > kMaxIndex) {
            Fail("对象过多");
            return nullptr;
        }
        m_loaded.push_back(Loaded{true, name});
        NextIndex();
        m_loaded.push_back(Loaded{false, {}});
        NextIndex();
        std::unique_ptr<CObject> obj = (*factory)();
        obj->Serialize(*this);
        return Ok() ? std::move(obj) : nullptr;
    } else if (tag & kClassTag) {
        isClassRef = true;
        index = tag & ~kClassTag;
    } else {
        index = tag;
    }

    if (!isClassRef) {
        if (index == 0) return nullptr;
        m_pos = start;
        if (index >= m_nextIndex || m_loaded[index - 1].isClass) {
            Fail(StringFormat("引用了不存在的对象 %u", index));
        } else {
            Fail(StringFormat("对象 %u 被引用了两次", index));
        }
        return nullptr;
    }
    if (index == 0 || index >= m_nextIndex || !m_loaded[index - 1].isClass) {
        m_pos = start;
        Fail(StringFormat("引用了不存在的类 %u", index));
        return nullptr;
    }
    const std::string& name = m_loaded[index - 1].className;
    const ClassRegistry::Factory* factory = m_registry->Find(name);
    if (m_nextIndex > kMaxIndex) {
        Fail("对象过多");
        return nullptr;
    }
    m_loaded.push_back(Loaded{false, {}});
    NextIndex();
    std::unique_ptr<CObject> obj = (*factory)();
    obj->Serialize(*this);
    return Ok() ? std::move(obj) : nullptr;
}
