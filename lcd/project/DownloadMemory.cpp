#include "project/DownloadMemory.h"

#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>

#include "base/AppPaths.h"
#include "base/AtomicFile.h"
#include "base/StringFormat.h"
#include "link/LinkSettings.h"

namespace {

constexpr const char* kMagic = "lcdscreen-download-memory 1";
// The memory of one link is a few dozen lines; anything far longer is not ours.
constexpr uint64_t kMaxFileBytes = uint64_t{1} << 20;
// 8N2: a start bit, eight data bits, two stop bits.
constexpr double kSerialBitsPerByte = 11;
constexpr int64_t kCanFrameBytes = 8;
constexpr double kCanFrameSeconds = 0.010;

const char* KindName(FlashRecord::Kind kind) {
    switch (kind) {
        case FlashRecord::Kind::Page:
            return "page";
        case FlashRecord::Kind::Bitmap:
            return "bitmap";
        case FlashRecord::Kind::Background:
            return "background";
        case FlashRecord::Kind::CrcTable:
            return "crc";
    }
    return "";
}

bool KindOf(const std::string& name, FlashRecord::Kind& kind) {
    for (auto k : {FlashRecord::Kind::Page, FlashRecord::Kind::Bitmap,
                   FlashRecord::Kind::Background, FlashRecord::Kind::CrcTable})
        if (name == KindName(k)) {
            kind = k;
            return true;
        }
    return false;
}

// A link as a file name: letters, digits, '.', '-' and '_' stay, the rest as %XX.
std::string FileName(const std::string& link) {
    std::string name;
    for (const unsigned char c : link) {
        if (std::isalnum(c) || c == '.' || c == '-' || c == '_')
            name += static_cast<char>(c);
        else
            name += StringFormat("%%%02X", c);
    }
    // "." and ".." would not be files of the folder.
    return name.starts_with(".") ? "%2E" + name.substr(1) : name;
}

bool SameScreen(const ScreenParams& a, const ScreenParams& b) {
    return a.device == b.device && a.colours == b.colours && a.logWidth == b.logWidth &&
           a.logHeight == b.logHeight;
}

DownloadMemory::Entry EntryOf(const FlashRecord& r) {
    return {r.kind, r.place, static_cast<int64_t>(r.bytes.size()), DownloadMemory::Hash(r.bytes)};
}

}  // namespace

DownloadPlan DownloadPlan::Everything(const std::vector<FlashRecord>& records, std::string reason) {
    DownloadPlan plan;
    plan.reason = std::move(reason);
    for (size_t i = 0; i < records.size(); ++i) {
        plan.send.push_back(i);
        plan.total += static_cast<int64_t>(records[i].bytes.size());
    }
    plan.bytes = plan.total;
    return plan;
}

CByteArray DownloadPlan::Bytes(const std::vector<FlashRecord>& records) const {
    CByteArray out;
    out.reserve(static_cast<size_t>(bytes));
    for (const size_t i : send)
        out.insert(out.end(), records[i].bytes.begin(), records[i].bytes.end());
    return out;
}

DownloadMemory::DownloadMemory(std::string dir)
    : m_dir(dir.empty() ? AppPaths::StateDir() + "/downloads" : std::move(dir)) {}

std::string DownloadMemory::LinkTarget(const LinkSettings& settings) {
    switch (settings.Kind()) {
        case LinkKind::Serial:
            return "serial:" + settings.SerialDevice();
        case LinkKind::Parallel:
            if (!settings.parallelDevice.empty()) return "parallel:" + settings.parallelDevice;
            return StringFormat("parallel:0x%X",
                                settings.parallelKind == 1 ? settings.parallelBase : 0x378);
        case LinkKind::Usb:
            return "usb:" + settings.selectedUsbDevice;
        case LinkKind::UsbCan:
            return "can:" + FormatCanTarget(settings.CanAdapter());
        case LinkKind::None:
            break;
    }
    return StringFormat("link%d", settings.linkKind);
}

uint64_t DownloadMemory::Hash(const CByteArray& bytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (const uint8_t b : bytes) {
        h ^= b;
        h *= 0x100000001b3ull;
    }
    return h;
}

double DownloadMemory::EstimateSeconds(const LinkSettings& settings, int64_t bytes) {
    const auto n = static_cast<double>(bytes);
    const double interval = static_cast<double>(settings.interval) * 1e-6;
    switch (settings.Kind()) {
        case LinkKind::Serial:
            if (settings.baudRate <= 0) return -1;
            return n * (kSerialBitsPerByte / settings.baudRate + interval);
        case LinkKind::Parallel:
            // The interval after the strobe and again after each byte.
            return n * 2 * interval;
        case LinkKind::UsbCan: {
            const double frames =
                static_cast<double>((bytes + kCanFrameBytes - 1) / kCanFrameBytes);
            return frames *
                   (settings.canPaceMicros >= 0 ? settings.canPaceMicros * 1e-6 : kCanFrameSeconds);
        }
        case LinkKind::None:
            return 0;
        case LinkKind::Usb:
            break;
    }
    return -1;
}

std::string DownloadMemory::FileOf(const std::string& link) const {
    return m_dir + "/" + FileName(link);
}

std::string DownloadMemory::Format(const DownloadTarget& target,
                                   const std::vector<FlashRecord>& records) {
    const DownloadSettings& s = target.settings;
    std::string text = std::string(kMagic) + "\n";
    text += "link " + target.link + "\n";
    text += "device " + target.screen.device + "\n";
    text += StringFormat("screen %d %d %d\n", target.screen.logWidth, target.screen.logHeight,
                         target.screen.colours);
    text += StringFormat("settings %d %d %d %d\n", s.instructionMode, s.boardType, s.flashPageSize,
                         s.pixels16 ? 1 : 0);
    for (const FlashRecord& r : records)
        text += StringFormat("record %s %d %zu %016" PRIx64 "\n", KindName(r.kind), r.place,
                             r.bytes.size(), Hash(r.bytes));
    return text;
}

bool DownloadMemory::Parse(const std::string& text, Saved& saved, std::string& why) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kMagic) {
        why = "不是下载记录文件";
        return false;
    }
    Saved read;
    std::map<std::string, bool> seen;
    while (std::getline(in, line)) {
        const size_t space = line.find(' ');
        const std::string key = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        std::istringstream fields(rest);
        bool ok = true;
        if (key == "link") {
            read.target.link = rest;
        } else if (key == "device") {
            read.target.screen.device = rest;
        } else if (key == "screen") {
            ScreenParams& s = read.target.screen;
            ok = static_cast<bool>(fields >> s.logWidth >> s.logHeight >> s.colours);
        } else if (key == "settings") {
            DownloadSettings& s = read.target.settings;
            int pixels16 = 0;
            ok = static_cast<bool>(fields >> s.instructionMode >> s.boardType >> s.flashPageSize >>
                                   pixels16);
            s.pixels16 = pixels16 != 0;
        } else if (key == "record") {
            std::string kind, hash;
            Entry e{};
            ok = static_cast<bool>(fields >> kind >> e.place >> e.length >> hash) &&
                 KindOf(kind, e.kind) && hash.size() == 16 && e.length >= 0 &&
                 std::sscanf(hash.c_str(), "%16" SCNx64, &e.hash) == 1;
            if (ok) read.entries.push_back(e);
        } else {
            ok = false;
        }
        if (!ok) {
            why = "下载记录文件有错误的行：" + line;
            return false;
        }
        seen[key] = true;
    }
    for (const char* key : {"link", "device", "screen", "settings"})
        if (!seen[key]) {
            why = std::string("下载记录文件缺少 ") + key;
            return false;
        }
    saved = std::move(read);
    return true;
}

DownloadPlan DownloadMemory::Plan(const DownloadTarget& target,
                                  const std::vector<FlashRecord>& records) const {
    std::vector<uint8_t> bytes;
    std::string error;
    const std::string path = FileOf(target.link);
    if (!AtomicFile::Read(path, bytes, error, kMaxFileBytes))
        return DownloadPlan::Everything(records, "没有这个连接上次下载的记录");
    Saved saved;
    if (!Parse(std::string(bytes.begin(), bytes.end()), saved, error) ||
        saved.target.link != target.link)
        return DownloadPlan::Everything(records, "上次下载的记录无法读取（" + error + "）");
    if (!SameScreen(saved.target.screen, target.screen))
        return DownloadPlan::Everything(records, "模块的设备型号或屏幕与上次下载时不同");
    if (!(saved.target.settings == target.settings))
        return DownloadPlan::Everything(records, "指令模式、板子类型或页大小与上次下载时不同");

    DownloadPlan plan;
    plan.everything = false;
    const auto crc = FlashRecord::Kind::CrcTable;
    for (size_t i = 0; i < records.size(); ++i) {
        const FlashRecord& r = records[i];
        plan.total += static_cast<int64_t>(r.bytes.size());
        const Entry e = EntryOf(r);
        bool known = false;
        for (const Entry& s : saved.entries)
            known = known || s == e;
        if (!known && r.kind != crc) plan.send.push_back(i);
    }
    // The table covers the whole image: it goes with any change, and when it changed.
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].kind != crc) continue;
        const Entry e = EntryOf(records[i]);
        bool known = false;
        for (const Entry& s : saved.entries)
            known = known || s == e;
        if (!plan.send.empty() || !known) plan.send.push_back(i);
    }
    for (const size_t i : plan.send)
        plan.bytes += static_cast<int64_t>(records[i].bytes.size());
    plan.everything = plan.send.size() == records.size();
    return plan;
}

bool DownloadMemory::Remember(const DownloadTarget& target, const std::vector<FlashRecord>& records,
                              std::string& error) const {
    if (!AppPaths::MakeDirs(m_dir, error)) return false;
    const std::string text = Format(target, records);
    return AtomicFile::Write(FileOf(target.link),
                             {reinterpret_cast<const uint8_t*>(text.data()), text.size()}, error);
}

bool DownloadMemory::Forget(const std::string& link, std::string& error) const {
    const std::string path = FileOf(link);
    if (std::remove(path.c_str()) == 0 || errno == ENOENT) return true;
    error = "无法删除 " + path + "：" + std::strerror(errno);
    return false;
}

bool DownloadMemory::Record(const DownloadTarget& target, const std::vector<FlashRecord>& records,
                            const SendResult& result, std::string& error) const {
    if (result.Ok()) return Remember(target, records, error);
    // Nothing went out (the link did not open, the port took no byte): the module is as
    // it was, and so is what is known of it.
    return result.sent == 0 || Forget(target.link, error);
}
