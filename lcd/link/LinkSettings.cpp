#include "link/LinkSettings.h"

#include <arpa/inet.h>
#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "base/AppPaths.h"
#include "base/AtomicFile.h"
#include "base/StringFormat.h"

namespace {

constexpr const char* kConfName = "conf.dll";
constexpr const char* kExtrasName = "link.conf";

void PutLE(CByteArray& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t GetLE(std::span<const uint8_t> in, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= uint32_t{in[at + i]} << (8 * i);
    return v;
}

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

// A whole decimal number within [lo, hi].
bool ParseNumber(const std::string& text, long lo, long hi, long& value) {
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && p == end && !text.empty() && value >= lo && value <= hi;
}

std::string Join(const std::string& dir, const char* name) {
    const std::string base = dir.empty() ? AppPaths::SettingsDir() : dir;
    return base + "/" + name;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

// One settings file, whole. Damaged when it is larger than any settings file can be,
// Unreadable (with the system's reason) when it cannot be read.
LinkSettings::LoadResult ReadSettingsFile(const std::string& path, CByteArray& bytes,
                                          std::string& error) {
    struct stat st {};
    const uint64_t limit = LinkSettings::kMaxExtrasBytes;
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        static_cast<uint64_t>(st.st_size) > limit) {
        error =
            StringFormat("%s 过大：%lld 字节，通讯设置文件最多 %s", path.c_str(),
                         static_cast<long long>(st.st_size), AtomicFile::SizeText(limit).c_str());
        return LinkSettings::LoadResult::Damaged;
    }
    if (AtomicFile::Read(path, bytes, error, limit)) return LinkSettings::LoadResult::Loaded;
    error = "无法读取通讯设置：" + error;
    return LinkSettings::LoadResult::Unreadable;
}

std::string UsbIdText(const UsbId& id) {
    return StringFormat("%04x:%04x", id.vendor, id.product);
}

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> parts;
    size_t from = 0;
    for (;;) {
        const size_t at = s.find(sep, from);
        parts.push_back(s.substr(from, at - from));
        if (at == std::string::npos) return parts;
        from = at + 1;
    }
}

}  // namespace

CByteArray LinkSettings::Encode() const {
    CByteArray out;
    for (int32_t v :
         {linkKind, comPort, baudRate, interval, timeout, boardType, busyCheck, parallelKind})
        PutLE(out, static_cast<uint32_t>(v), 4);
    PutLE(out, parallelBase, 2);
    return out;
}

bool LinkSettings::Decode(std::span<const uint8_t> bytes, std::string& error) {
    if (bytes.size() != kFileBytes) {
        error = StringFormat("%s 应为 %d 字节，实际 %zu 字节", kConfName, kFileBytes, bytes.size());
        return false;
    }
    int32_t* fields[] = {&linkKind, &comPort,   &baudRate,  &interval,
                         &timeout,  &boardType, &busyCheck, &parallelKind};
    for (size_t i = 0; i < std::size(fields); ++i)
        *fields[i] = static_cast<int32_t>(GetLE(bytes, 4 * i, 4));
    parallelBase = static_cast<uint16_t>(GetLE(bytes, 32, 2));
    return true;
}

std::string LinkSettings::EncodeExtras() const {
    std::string out =
        "# lcdscreen: serial devices behind COM n, USB module ids (usb-a: 1024-byte chunks,\n"
        "# usb-b: 16-byte chunks) and the CAN adapter (usb, usb=N, udp=ADDR[:PORT],\n"
        "# serial=PATH)\n";
    for (const auto& [n, path] : comPaths)
        out += StringFormat("com%d = %s\n", n, path.c_str());
    for (const UsbId& id : usbClassA)
        out += "usb-a = " + UsbIdText(id) + "\n";
    for (const UsbId& id : usbClassB)
        out += "usb-b = " + UsbIdText(id) + "\n";
    if (can != CanTarget{}) out += "can = " + FormatCanTarget(can) + "\n";
    for (const std::string& line : otherLines)
        out += line + "\n";
    return out;
}

bool LinkSettings::DecodeExtras(const std::string& text, std::string& error) {
    if (text.find('\0') != std::string::npos) {
        error = std::string(kExtrasName) + " 不是文本文件";
        return false;
    }
    LinkSettings parsed;
    int lineNo = 0;
    for (const std::string& raw : Split(text, '\n')) {
        ++lineNo;
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') continue;
        const size_t eq = line.find('=');
        const std::string key = Trim(line.substr(0, eq));
        const std::string value = eq == std::string::npos ? "" : Trim(line.substr(eq + 1));
        bool ok = eq != std::string::npos;
        long n = 0;
        UsbId id;
        if (key.size() > 3 && key.compare(0, 3, "com") == 0 &&
            ParseNumber(key.substr(3), 1, 255, n)) {
            ok = ok && !value.empty();
            parsed.comPaths[static_cast<int>(n)] = value;
        } else if (key == "usb-a" || key == "usb-b") {
            ok = ok && ParseUsbId(value, id);
            (key == "usb-a" ? parsed.usbClassA : parsed.usbClassB).push_back(id);
        } else if (key == "can") {
            std::string why;
            ok = ok && ParseCanTarget(value, parsed.can, why);
        } else {
            parsed.otherLines.push_back(raw);
            continue;
        }
        if (!ok) {
            error = StringFormat("%s 第 %d 行无法识别：%s", kExtrasName, lineNo, line.c_str());
            return false;
        }
    }
    comPaths = std::move(parsed.comPaths);
    usbClassA = std::move(parsed.usbClassA);
    usbClassB = std::move(parsed.usbClassB);
    can = parsed.can;
    otherLines = std::move(parsed.otherLines);
    return true;
}

LinkSettings::LoadResult LinkSettings::Load(std::string& error, const std::string& dir) {
    const std::string conf = Join(dir, kConfName), extras = Join(dir, kExtrasName);
    loadProblem.clear();
    if (!Exists(conf) && !Exists(extras)) return LoadResult::Missing;
    const auto fail = [&](LoadResult result) {
        if (result == LoadResult::Damaged)
            error =
                "通讯设置已损坏（" + (dir.empty() ? AppPaths::SettingsDir() : dir) + "）：" + error;
        loadProblem = error;
        return result;
    };
    CByteArray bytes;
    LinkSettings next = *this;
    if (Exists(conf)) {
        if (const LoadResult r = ReadSettingsFile(conf, bytes, error); r != LoadResult::Loaded)
            return fail(r);
        if (!next.Decode(bytes, error)) return fail(LoadResult::Damaged);
    }
    if (Exists(extras)) {
        if (const LoadResult r = ReadSettingsFile(extras, bytes, error); r != LoadResult::Loaded)
            return fail(r);
        if (!next.DecodeExtras(std::string(bytes.begin(), bytes.end()), error))
            return fail(LoadResult::Damaged);
    }
    *this = std::move(next);
    return LoadResult::Loaded;
}

std::string LinkSettings::Problem() const {
    const auto bad = [](const char* what, long long value, const char* allowed) {
        return StringFormat("通讯设置（%s）中的%s %lld 无效（%s），请在通讯口设置中重新选择",
                            kConfName, what, value, allowed);
    };
    switch (Kind()) {
        case LinkKind::Serial:
            if (serialPath.empty() && (comPort < 1 || comPort > kMaxComPort))
                return bad("串口号 COM", comPort, "可用 1 到 255");
            if (std::ranges::find(kBaudRates, baudRate) == std::end(kBaudRates))
                return bad("波特率", baudRate, "可用 4800、9600、19200、38400、115200");
            [[fallthrough]];
        case LinkKind::Parallel:
            if (interval < 0 || interval > kMaxInterval)
                return bad("字符间隔", interval, "可用 0 到 99 微秒");
            if (timeout < 0 || timeout > kMaxTimeout)
                return bad("溢出时间", timeout, "可用 0 到 86400 秒");
            if (Kind() == LinkKind::Parallel && parallelDevice.empty() && parallelKind != 0 &&
                parallelKind != 1)
                return bad("并口种类", parallelKind, "可用 0 主板默认并口、1 主板扩展并口");
            return "";
        case LinkKind::Usb:
        case LinkKind::UsbCan:
            return "";
        case LinkKind::None:
            break;
    }
    return bad("通讯方式", linkKind, "可用 0 串口、1 并口、2 USB、3 USB-CAN");
}

bool LinkSettings::Save(std::string& error, const std::string& dir) const {
    if (dir.empty() && !AppPaths::MakeSettingsDir(error)) return false;
    if (!AtomicFile::Write(Join(dir, kConfName), Encode(), error)) return false;
    // link.conf is rewritten only when what it says changes, so that a user's comments and
    // layout survive the saves of the other settings.
    const std::string extras = EncodeExtras(), path = Join(dir, kExtrasName);
    CByteArray old;
    LinkSettings current;
    std::string ignored;
    const bool same = AtomicFile::Read(path, old, ignored, kMaxExtrasBytes) &&
                      current.DecodeExtras(std::string(old.begin(), old.end()), ignored) &&
                      current.EncodeExtras() == extras;
    if (!same &&
        !AtomicFile::Write(
            path, std::span(reinterpret_cast<const uint8_t*>(extras.data()), extras.size()), error))
        return false;
    // What is on disk now is what the user chose.
    loadProblem.clear();
    return true;
}

std::string LinkSettings::SerialDevice() const {
    if (!serialPath.empty()) return serialPath;
    const char* env = std::getenv(StringFormat("LCDSCREEN_COM%d", comPort).c_str());
    if (env && *env) return env;
    if (const auto it = comPaths.find(comPort); it != comPaths.end()) return it->second;
    return StringFormat("/dev/ttyS%d", comPort - 1);
}

CanTarget LinkSettings::CanAdapter() const {
    CanTarget target;
    std::string error;
    const char* env = std::getenv("LCDSCREEN_CAN");
    if (env && *env && ParseCanTarget(env, target, error)) return target;
    return can;
}

bool ParseUsbId(const std::string& text, UsbId& id) {
    const std::vector<std::string> parts = Split(text, ':');
    if (parts.size() != 2) return false;
    uint16_t v[2];
    for (int i = 0; i < 2; ++i) {
        const std::string& p = parts[i];
        const auto [end, ec] = std::from_chars(p.data(), p.data() + p.size(), v[i], 16);
        if (ec != std::errc() || end != p.data() + p.size() || p.empty() || p.size() > 4)
            return false;
    }
    id = {v[0], v[1]};
    return true;
}

bool ParseCanTarget(const std::string& text, CanTarget& target, std::string& error) {
    CanTarget t;
    const size_t eq = text.find('=');
    // A NUL would cut a path short on its way to the system: no key matches then.
    const std::string key = text.find('\0') == std::string::npos ? text.substr(0, eq) : "?";
    const std::string value = eq == std::string::npos ? "" : text.substr(eq + 1);
    long n = 0;
    bool ok = true;
    if (key == "usb" || key.empty()) {
        ok = eq == std::string::npos || ParseNumber(value, 0, 0xFFFFFFFFL, n);
        t.deviceIndex = static_cast<uint32_t>(n);
    } else if (key == "serial") {
        t.deviceType = 1;
        t.serialPath = value;
        ok = !value.empty();
    } else if (key == "udp") {
        t.deviceType = 4;
        const size_t colon = value.find(':');
        in_addr address{};
        ok = inet_pton(AF_INET, value.substr(0, colon).c_str(), &address) == 1 &&
             (colon == std::string::npos || ParseNumber(value.substr(colon + 1), 1, 65535, n));
        t.deviceIndex = ntohl(address.s_addr);
        t.udpPort = static_cast<uint16_t>(n);
    } else if (key == "type") {
        // "type=T,index=N": any device type the library knows.
        const std::vector<std::string> parts = Split(value, ',');
        long index = 0;
        ok = ParseNumber(parts[0], 1, 10, n) &&
             (parts.size() == 1 || (parts.size() == 2 && parts[1].compare(0, 6, "index=") == 0 &&
                                    ParseNumber(parts[1].substr(6), 0, 0xFFFFFFFFL, index)));
        t.deviceType = static_cast<uint32_t>(n);
        t.deviceIndex = static_cast<uint32_t>(index);
    } else {
        ok = false;
    }
    if (!ok) {
        error = "无法识别的 CAN 适配器：" + text +
                "（可用 usb、usb=N、udp=地址[:端口]、serial=路径、type=T,index=N）";
        return false;
    }
    target = t;
    return true;
}

std::string FormatCanTarget(const CanTarget& t) {
    switch (t.deviceType) {
        case 1:
            if (!t.serialPath.empty()) return "serial=" + t.serialPath;
            break;
        case 2:
            return t.deviceIndex ? StringFormat("usb=%u", t.deviceIndex) : "usb";
        case 4: {
            in_addr address{htonl(t.deviceIndex)};
            char text[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, &address, text, sizeof text);
            return "udp=" + std::string(text) +
                   (t.udpPort ? StringFormat(":%u", t.udpPort) : std::string());
        }
    }
    return StringFormat("type=%u,index=%u", t.deviceType, t.deviceIndex);
}

bool ParseLinkOption(const std::string& text, LinkSettings& settings, std::string& error) {
    const size_t colon = text.find(':');
    // A NUL would cut a path short on its way to the system: no head matches then.
    const std::string head = text.find('\0') == std::string::npos ? text.substr(0, colon) : "?";
    const std::string rest = colon == std::string::npos ? "" : text.substr(colon + 1);
    LinkSettings s = settings;
    std::string why;  // what is wrong, naming the field and what it allows
    long n = 0;
    if (head == "serial") {
        const std::vector<std::string> parts = Split(rest, ',');
        if (parts[0].empty()) why = "serial: 之后须写串口设备，如 serial:/dev/ttyUSB0";
        s.linkKind = static_cast<int32_t>(LinkKind::Serial);
        s.serialPath = parts[0];
        s.busyCheck = 0;
        for (size_t i = 1; why.empty() && i < parts.size(); ++i) {
            const std::string& p = parts[i];
            const size_t eq = p.find('=');
            const std::string key = p.substr(0, eq), value = p.substr(eq + 1);
            if (p == "busy") {
                s.busyCheck = 1;
            } else if (eq == std::string::npos ||
                       (key != "baud" && key != "interval" && key != "timeout")) {
                why = "串口连接没有“" + p + "”这一项（可用 baud=N、interval=N、busy、timeout=N）";
            } else if (key == "baud") {
                if (!ParseNumber(value, 1, 115200, n) ||
                    std::ranges::find(LinkSettings::kBaudRates, n) ==
                        std::end(LinkSettings::kBaudRates))
                    why = p + "：波特率可用 4800、9600、19200、38400、115200";
                s.baudRate = static_cast<int32_t>(n);
            } else if (key == "interval") {
                if (!ParseNumber(value, 0, LinkSettings::kMaxInterval, n))
                    why = p + "：字符间隔须为 0 到 99 的整数（微秒）";
                s.interval = static_cast<int32_t>(n);
            } else {
                if (!ParseNumber(value, 0, LinkSettings::kMaxTimeout, n))
                    why = p + "：溢出时间须为 0 到 86400 的整数（秒）";
                s.timeout = static_cast<int32_t>(n);
            }
        }
    } else if (head == "parallel") {
        s.linkKind = static_cast<int32_t>(LinkKind::Parallel);
        if (rest.compare(0, 5, "/dev/") == 0) {
            s.parallelDevice = rest;
        } else {
            const bool hex =
                rest.size() > 2 && (rest.compare(0, 2, "0x") == 0 || rest.compare(0, 2, "0X") == 0);
            const char* end = rest.data() + rest.size();
            uint16_t base = 0;
            const auto [p, ec] = hex ? std::from_chars(rest.data() + 2, end, base, 16)
                                     : std::from_chars_result{nullptr, std::errc::invalid_argument};
            if (ec != std::errc() || p != end)
                why =
                    "并口须写成 parallel:/dev/parportN，或 parallel:0x 加 4 位以内的十六进制地址"
                    "（如 parallel:0x378）";
            s.parallelKind = 1;
            s.parallelBase = base;
            s.parallelDevice.clear();
        }
    } else if (head == "usb") {
        s.linkKind = static_cast<int32_t>(LinkKind::Usb);
        UsbId id;
        if (colon != std::string::npos) {
            if (!ParseUsbId(rest, id))
                why = "USB 模块须写成 usb:VID:PID，十六进制，如 usb:1a86:7523";
            else if (std::ranges::find(s.usbClassA, id) == s.usbClassA.end() &&
                     std::ranges::find(s.usbClassB, id) == s.usbClassB.end())
                s.usbClassA.push_back(id);
        }
    } else if (head == "can") {
        s.linkKind = static_cast<int32_t>(LinkKind::UsbCan);
        std::string target = rest;
        if (const size_t pace = rest.rfind(",pace="); pace != std::string::npos) {
            target = rest.substr(0, pace);
            if (!ParseNumber(rest.substr(pace + 6), 0, 1000000, n))
                why = rest.substr(pace + 1) + "：帧间隔须为 0 到 1000000 的整数（微秒）";
            s.canPaceMicros = static_cast<int32_t>(n);
        }
        std::string ignored;
        if (why.empty() && !ParseCanTarget(target, s.can, ignored))
            why = "CAN 适配器可用 usb、usb=N、udp=地址[:端口]、serial=路径、type=T,index=N";
    } else {
        why =
            "可用 serial:设备[,baud=N][,interval=N][,busy][,timeout=N]、"
            "parallel:/dev/parportN 或 parallel:0x地址、usb[:VID:PID]、"
            "can[:udp=地址|serial=设备|usb][,pace=微秒]";
    }
    if (!why.empty()) {
        // A known kind with one bad field is not an unknown link.
        const bool known = head == "serial" || head == "parallel" || head == "usb" || head == "can";
        error = (known ? "连接设置有误：" : "无法识别的连接：") + text + "（" + why + "）";
        return false;
    }
    settings = std::move(s);
    return true;
}
