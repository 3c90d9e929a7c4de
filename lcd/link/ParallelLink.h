#pragma once
// The parallel link: byte-wide port I/O on the three registers of a PC parallel port
// (data at the base, status at base + 1, control at base + 2). Status bit 7 is 1 while
// the module is ready; control bit 0 is the strobe. Nothing is read but the status.
//
// The port is reached through ppdev (/dev/parportN, found by its base address under
// /proc/sys/dev/parport), else by direct port I/O (ioperm) when running as root; only at a
// standard base (0x378, 0x278, 0x3BC) or one the kernel lists as a parallel port, since a
// mistyped base would write to whatever device sits there.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "link/Link.h"
#include "link/LinkTiming.h"

// The four byte-wide port operations; opening and closing are construction and
// destruction.
class BytePort {
public:
    virtual ~BytePort() = default;
    virtual void Write(uint16_t port, uint8_t value) = 0;
    virtual uint8_t Read(uint16_t port) = 0;
};

class ParallelLink final : public Link {
public:
    static constexpr uint16_t kDefaultBase = 0x378;
    static constexpr uint8_t kReady = 0x80;

    // The base of the settings' port: 0x378 for parallel kind 0, the card's base for 1.
    static uint16_t BaseOf(const LinkSettings& settings);
    // Opens the settings' port (settings.parallelDevice when given); null with `error`
    // set (UTF-8) when there is no usable one. `root` prefixes /proc (for tests).
    static std::unique_ptr<BytePort> OpenPort(const LinkSettings& settings, std::string& error,
                                              const std::string& root = "");
    // The /dev/parportN whose base-addr under `procDir` is `base`; "" when none.
    static std::string FindPpdev(uint16_t base,
                                 const std::string& procDir = "/proc/sys/dev/parport");
    // The parallel ports of a /proc/ioports text: the start of each range named
    // "parport…", with its name.
    static std::vector<std::pair<uint16_t, std::string>> KernelPorts(const std::string& ioports);

    ParallelLink(std::unique_ptr<BytePort> port, uint16_t base, const LinkSettings& settings);

    LinkKind Kind() const override { return LinkKind::Parallel; }
    // Strobe at rest 1, pulsed 0 then 1. Before each byte the module may be busy for the
    // timeout: TimedOut (event -3) when it stays busy longer.
    SendResult Send(std::span<const uint8_t> bytes, ProgressSink& sink,
                    const std::atomic<bool>& stop) override;
    // Strobe at rest 0, pulsed 1 then 0; each wait for a busy module is bounded like the
    // serial immediate sender's and ends in "发送超时，请检查设备是否已连接".
    SendResult SendCommand(std::span<const uint8_t> bytes, const std::atomic<bool>& stop) override;

    void SetDelay(std::function<void(int64_t)> delay) { m_delay = std::move(delay); }
    void SetClock(LinkClock clock) { m_clock = std::move(clock); }

private:
    // Done once the module is ready; TimedOut after the busy wait, Stopped when asked.
    SendResult WaitReady(int64_t sent, const std::atomic<bool>& stop);

    std::unique_ptr<BytePort> m_port;
    uint16_t m_base;
    int m_interval;
    int m_timeout;
    std::function<void(int64_t)> m_delay;
    LinkClock m_clock;
};
