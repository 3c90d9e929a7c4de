#pragma once
// The serial link: a tty in raw mode, 8 data bits, no parity, 2 stop bits, nothing ever
// read. One byte per write with the interval's pause after it and, with the busy check,
// a wait for DSR (the module's ready line) before it; with neither, larger writes carry
// the same bytes faster. A write that takes nothing for the timeout setting (at least
// 600 ms) is a timeout, and no more than 100 bytes wait in the driver, so progress and a
// stop track the wire. The port is this program's alone while open (TIOCEXCL), and
// shared again before it is closed.

#include <functional>
#include <memory>
#include <string>

#include "link/Link.h"
#include "link/LinkTiming.h"

class SerialLink final : public Link {
public:
    // The modem-line bits of a port (TIOCMGET): 0, or the errno of the failure.
    using ModemStatus = std::function<int(int fd, int& bits)>;

    // Opens settings.SerialDevice() for this program alone; null with `error` set (UTF-8)
    // when it cannot.
    static std::unique_ptr<SerialLink> Open(const LinkSettings& settings, std::string& error);
    ~SerialLink() override;

    LinkKind Kind() const override { return LinkKind::Serial; }
    // Result: Done; Stopped before a byte; TimedOut (event -3) when DSR stays off for the
    // wait limit or a write takes nothing; Failed on a write error or a port without
    // modem lines while the busy check is on.
    SendResult Send(std::span<const uint8_t> bytes, ProgressSink& sink,
                    const std::atomic<bool>& stop) override;
    // TimedOut says "发送超时，请检查设备是否已连接" after a tenth of the download's wait limit.
    SendResult SendCommand(std::span<const uint8_t> bytes, const std::atomic<bool>& stop) override;

    // Seams for tests: the modem lines, the pause and the clock the busy wait is measured on.
    void SetModemStatus(ModemStatus status) { m_modemStatus = std::move(status); }
    void SetDelay(std::function<void(int64_t)> delay) { m_delay = std::move(delay); }
    void SetClock(LinkClock clock) { m_clock = std::move(clock); }

private:
    SerialLink(int fd, std::string path, const LinkSettings& settings);
    SendResult WaitReady(bool download, const std::atomic<bool>* stop);
    SendResult Write(const uint8_t* data, size_t length, int64_t sentBefore,
                     const std::atomic<bool>* stop);
    SendResult SendFast(std::span<const uint8_t> bytes, ProgressSink& sink,
                        const std::atomic<bool>& stop);

    int m_fd;
    std::string m_path;
    int m_interval;
    int m_timeout;
    bool m_busyCheck;
    bool m_exclusive = false;  // TIOCEXCL set by this link
    ModemStatus m_modemStatus;
    std::function<void(int64_t)> m_delay;
    LinkClock m_clock;
};
