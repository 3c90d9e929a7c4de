#pragma once
// What the four links share: an open link that sends a whole buffer (downloads, on the
// worker thread, with progress and stop) or an immediate command (on the calling thread),
// opening by link kind, and the words for a port that cannot be opened.
//
// Progress of a download is a run of (code, value) events to a sink, on the worker thread:
//   -2  total byte count, before anything is sent
//    0  index of the byte (or of the last byte of the chunk or frame) just sent
//   -3  the module stayed busy, or the port took nothing, for the whole timeout
//   -4  the CAN adapter could not be opened; -5 its channel could not be started
//   -1  the end, after the link is closed; the value is the SendStatus
// A bar of a 16-bit range shows totals below 0x8000 one step per byte, larger ones in
// 1000 steps (ProgressScale); events that would not move such a bar are left out.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "base/ByteArray.h"
#include "link/LinkSettings.h"

class Messenger;
class UsbBus;
struct CanApi;

enum class SendStatus { Done = 0, Stopped = 1, TimedOut = 2, Failed = 3 };

struct SendResult {
    SendStatus status = SendStatus::Done;
    int64_t sent = 0;     // bytes handed to the link
    std::string message;  // TimedOut, Failed: what the user is told (UTF-8)

    static SendResult Fail(std::string message, int64_t sent = 0) {
        return {SendStatus::Failed, sent, std::move(message)};
    }
    bool Ok() const { return status == SendStatus::Done; }
};

enum ProgressCode : int {
    kProgressSent = 0,
    kProgressDone = -1,
    kProgressTotal = -2,
    kProgressTimeout = -3,
    kProgressAdapterOpen = -4,
    kProgressAdapterStart = -5,
};

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void OnProgress(int code, int64_t value) = 0;
};

// The range of a progress bar for `total` bytes: below 0x8000 bytes 0..total in steps of
// one byte, otherwise 0..1000 with divisor total / 1000.
struct ProgressScale {
    int64_t upper = 0;
    int64_t divisor = 1;
    static ProgressScale For(int64_t total);
    // The bar position after byte `index`: index / divisor, at most upper - 1.
    int64_t Position(int64_t index) const;
};

class Link {
public:
    virtual ~Link() = default;  // closes the port
    virtual LinkKind Kind() const = 0;
    // The download sender: the whole buffer, progress events of code 0 (and -3, -4, -5)
    // to `sink`, `stop` polled before each byte, chunk or frame.
    virtual SendResult Send(std::span<const uint8_t> bytes, ProgressSink& sink,
                            const std::atomic<bool>& stop) = 0;
    // The immediate-command sender: `stop` polled before each byte and while waiting for
    // the module. Links without one say so.
    virtual SendResult SendCommand(std::span<const uint8_t> bytes, const std::atomic<bool>& stop);
};

// Seams and callbacks of opening a link; empty members take the real thing.
struct LinkEnvironment {
    // The communication settings dialog, when the user must pick one of several USB
    // modules (or one that was replaced); true when a device was chosen.
    std::function<bool(LinkSettings&)> chooseDevice;
    UsbBus* usb = nullptr;
    const CanApi* can = nullptr;
};

// Opens the link of `settings` on the calling thread: the serial port, the parallel port,
// the USB module (settling the selected device, which may ask `env.chooseDevice`) or the
// CAN adapter library. Refused, with `messenger` told why and null returned: settings
// whose last Load failed (settings.loadProblem), a kind no link has (4 included) or a
// value out of range (LinkSettings::Problem), a port that cannot be opened.
std::unique_ptr<Link> OpenLink(LinkSettings& settings, Messenger& messenger,
                               const LinkEnvironment& env = {});
// Sends the buffer over an open link (the worker's step): progress thinned to what moves
// a bar of ProgressScale::For(size).
SendResult SendBuffer(Link& link, std::span<const uint8_t> bytes, ProgressSink& sink,
                      const std::atomic<bool>& stop);
// The page manager's immediate commands: opens the link ("接口配置失败" when it cannot),
// sends `command` with the link's immediate sender, tells any failure, empties `command`
// and closes the link. True when the command went out.
bool SendImmediateCommand(LinkSettings& settings, CByteArray& command, Messenger& messenger,
                          const LinkEnvironment& env = {});
// Tells the user how a download ended: nothing after success or a stop, "请检查连接是否正确"
// ("超时") after a timeout, the failure's message ("提示") after a failure.
void TellOutcome(const SendResult& result, Messenger& messenger);

// Why `path` could not be opened (errno `err`), in words a user can act on: the group that
// owns the device and that logging in again is needed after joining it; another program
// holding it; no such device.
std::string DescribeOpenFailure(const std::string& path, int err);
