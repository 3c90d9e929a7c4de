#include "link/ParallelLink.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>
#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define LCD_HAVE_IOPERM 1
#endif

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "base/StringFormat.h"
#include "link/LinkTiming.h"

namespace {

// ppdev: the registers by their offset from the base.
class PpdevPort final : public BytePort {
public:
    PpdevPort(int fd, uint16_t base) : m_fd(fd), m_base(base) {}
    ~PpdevPort() override {
        ioctl(m_fd, PPRELEASE);
        ::close(m_fd);
    }
    void Write(uint16_t port, uint8_t value) override {
        ioctl(m_fd, port == m_base ? PPWDATA : PPWCONTROL, &value);
    }
    uint8_t Read(uint16_t) override {
        uint8_t value = 0;
        ioctl(m_fd, PPRSTATUS, &value);
        return value;
    }

private:
    int m_fd;
    uint16_t m_base;
};

#ifdef LCD_HAVE_IOPERM
class IoPermPort final : public BytePort {
public:
    explicit IoPermPort(uint16_t base) : m_base(base) {}
    ~IoPermPort() override { ioperm(m_base, 3, 0); }
    void Write(uint16_t port, uint8_t value) override { outb(value, port); }
    uint8_t Read(uint16_t port) override { return inb(port); }

private:
    uint16_t m_base;
};
#endif

std::unique_ptr<BytePort> OpenPpdev(const std::string& path, uint16_t base, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        error = DescribeOpenFailure(path, errno);
        return nullptr;
    }
    if (ioctl(fd, PPEXCL) != 0 || ioctl(fd, PPCLAIM) != 0) {
        error = DescribeOpenFailure(path, errno == ENXIO ? ENXIO : EBUSY);
        ::close(fd);
        return nullptr;
    }
    int forward = 0;
    ioctl(fd, PPDATADIR, &forward);
    return std::make_unique<PpdevPort>(fd, base);
}

}  // namespace

uint16_t ParallelLink::BaseOf(const LinkSettings& settings) {
    return settings.parallelKind == 1 ? settings.parallelBase : kDefaultBase;
}

std::string ParallelLink::FindPpdev(uint16_t base, const std::string& procDir) {
    DIR* dir = opendir(procDir.c_str());
    if (!dir) return "";
    std::string found;
    while (dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name.compare(0, 7, "parport") != 0) continue;
        FILE* f = std::fopen((procDir + "/" + name + "/base-addr").c_str(), "r");
        unsigned long value = 0;
        const bool read = f && std::fscanf(f, "%lu", &value) == 1;
        if (f) std::fclose(f);
        if (read && value == base) {
            found = "/dev/" + name;
            break;
        }
    }
    closedir(dir);
    return found;
}

std::vector<std::pair<uint16_t, std::string>> ParallelLink::KernelPorts(
    const std::string& ioports) {
    std::vector<std::pair<uint16_t, std::string>> ports;
    size_t from = 0;
    while (from < ioports.size()) {
        const size_t end = std::min(ioports.find('\n', from), ioports.size());
        const std::string line = ioports.substr(from, end - from);
        from = end + 1;
        // "  0378-037a : parport0"
        const size_t at = line.find_first_not_of(' '), colon = line.find(" : ");
        if (at == std::string::npos || colon == std::string::npos) continue;
        const std::string name = line.substr(colon + 3);
        unsigned long start = 0;
        const char* first = line.data() + at;
        const auto [p, ec] = std::from_chars(first, line.data() + line.size(), start, 16);
        if (ec == std::errc() && p != first && *p == '-' && start <= 0xFFFF &&
            name.starts_with("parport"))
            ports.emplace_back(static_cast<uint16_t>(start), name);
    }
    return ports;
}

std::unique_ptr<BytePort> ParallelLink::OpenPort(const LinkSettings& settings, std::string& error,
                                                 const std::string& root) {
    const uint16_t base = BaseOf(settings);
    if (!settings.parallelDevice.empty()) return OpenPpdev(settings.parallelDevice, base, error);
    if (const std::string path = FindPpdev(base, root + "/proc/sys/dev/parport"); !path.empty())
        return OpenPpdev(path, base, error);
    // Port I/O goes wherever the base says: only where a parallel port can be.
    std::string text, present;
    if (FILE* f = std::fopen((root + "/proc/ioports").c_str(), "r")) {
        char chunk[4096];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0 && text.size() < (1 << 20);)
            text.append(chunk, n);
        std::fclose(f);
    }
    bool listed = base == kDefaultBase || base == 0x278 || base == 0x3BC;
    for (const auto& [start, name] : KernelPorts(text)) {
        listed = listed || start == base;
        present += StringFormat("%s%s 0x%X", present.empty() ? "" : "、", name.c_str(), start);
    }
    if (!listed) {
        error = StringFormat(
            "0x%X 不是并口地址：只用标准并口 0x378、0x278、0x3BC 和系统列出的并口（本机%s）", base,
            present.empty() ? "没有列出并口" : ("列出 " + present).c_str());
        return nullptr;
    }
#ifdef LCD_HAVE_IOPERM
    if (geteuid() == 0) {
        if (ioperm(base, 3, 1) == 0) return std::make_unique<IoPermPort>(base);
        error = StringFormat("无法访问并口地址 0x%X：%s", base, std::strerror(errno));
        return nullptr;
    }
#endif
    error = StringFormat(
        "找不到地址为 0x%X 的并口：/proc/sys/dev/parport 中没有这个地址的端口（需要加载 "
        "parport_pc 和 ppdev 模块），直接端口访问又需要以 root 身份运行",
        base);
    return nullptr;
}

ParallelLink::ParallelLink(std::unique_ptr<BytePort> port, uint16_t base,
                           const LinkSettings& settings)
    : m_port(std::move(port)),
      m_base(base),
      m_interval(std::clamp(settings.interval, 0, LinkSettings::kMaxInterval)),
      m_timeout(settings.timeout),
      m_delay(DelayMicroseconds),
      m_clock(std::chrono::steady_clock::now) {}

SendResult ParallelLink::Send(std::span<const uint8_t> bytes, ProgressSink& sink,
                              const std::atomic<bool>& stop) {
    const uint16_t status = m_base + 1, control = m_base + 2;
    m_port->Write(control, 1);
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto sent = static_cast<int64_t>(i);
        // Each byte may wait the whole timeout: a module that is busy a moment before
        // every byte still takes a long download.
        const auto deadline = m_clock() + BusyWait(m_timeout, true);
        for (;;) {
            const uint8_t s = m_port->Read(status);
            if (stop.load()) return {SendStatus::Stopped, sent, ""};
            if (s & kReady) break;
            if (m_clock() >= deadline) {
                sink.OnProgress(kProgressTimeout, 0);
                return {SendStatus::TimedOut, sent, "请检查连接是否正确"};
            }
            m_delay(m_interval);
        }
        m_port->Write(m_base, bytes[i]);
        m_port->Write(control, 0);
        m_port->Write(control, 1);
        m_delay(m_interval);
        sink.OnProgress(kProgressSent, sent);
    }
    return {SendStatus::Done, static_cast<int64_t>(bytes.size()), ""};
}

SendResult ParallelLink::WaitReady(int64_t sent, const std::atomic<bool>& stop) {
    const auto deadline = m_clock() + BusyWait(m_timeout, false);
    while (!(m_port->Read(m_base + 1) & kReady)) {
        if (stop.load()) return {SendStatus::Stopped, sent, ""};
        if (m_clock() >= deadline) return {SendStatus::TimedOut, sent, "发送超时，请检查设备是否已连接"};
        m_delay(m_interval);
    }
    return {};
}

SendResult ParallelLink::SendCommand(std::span<const uint8_t> bytes,
                                     const std::atomic<bool>& stop) {
    const uint16_t control = m_base + 2;
    m_port->Write(control, 0);
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto sent = static_cast<int64_t>(i);
        if (SendResult r = WaitReady(sent, stop); !r.Ok()) return r;
        m_port->Write(m_base, bytes[i]);
        if (SendResult r = WaitReady(sent, stop); !r.Ok()) return r;
        m_port->Write(control, 1);
        m_port->Write(control, 0);
        m_delay(m_interval);
    }
    return {SendStatus::Done, static_cast<int64_t>(bytes.size()), ""};
}
