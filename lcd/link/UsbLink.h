#pragma once
// The module's own USB connection: modules are recognised by the vendor:product ids of
// link.conf (class A modules take 1024-byte chunks, class B ones 16-byte chunks; one
// class B module attached makes every transfer use 16), and the byte stream goes to the
// first bulk OUT endpoint of the device's first interface. A device is named by where it
// is plugged in ("usb:1-1.4"), so that a module moved to another port is noticed.

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "link/Link.h"

struct UsbDeviceInfo {
    std::string path;  // "usb:BUS-PORT.PORT..."
    UsbId id;
};

class UsbPipe {
public:
    virtual ~UsbPipe() = default;
    // One chunk; Done, Stopped once `stop` is set (a stop lands within a fraction of a
    // second, not after the whole time-out), or TimedOut / Failed with `error` set (UTF-8).
    virtual SendStatus Write(std::span<const uint8_t> bytes, std::string& error,
                             const std::atomic<bool>& stop) = 0;
};

// One bulk transfer of at most `sliceMs` milliseconds: the bytes it moved in `done`;
// 0 or a libusb error code (LIBUSB_ERROR_TIMEOUT when the slice ran out).
using BulkTransfer =
    std::function<int(const uint8_t* data, int length, int& done, unsigned sliceMs)>;
constexpr unsigned kBulkSliceMs = 100;
// Writes `bytes` in transfers of one slice each, so that a stop lands within a slice: Done;
// Stopped; TimedOut when the device took nothing for `timeoutMs`; Failed on any other
// error (a partial transfer that ended without a time-out too). `error` says why (UTF-8).
SendStatus WriteBulk(std::span<const uint8_t> bytes, unsigned timeoutMs,
                     const std::atomic<bool>& stop, std::string& error,
                     const BulkTransfer& transfer);

// The bus, behind a small interface so that tests can stand in for it.
class UsbBus {
public:
    virtual ~UsbBus() = default;
    virtual std::vector<UsbDeviceInfo> Devices() = 0;
    // Opens the write pipe of the device at `path`; a transfer gives up after
    // `timeoutSeconds`. Null with `error` set (UTF-8) when it cannot.
    virtual std::unique_ptr<UsbPipe> Open(const std::string& path, int timeoutSeconds,
                                          std::string& error) = 0;
    // libusb.
    static UsbBus& System();
};

class UsbLink final : public Link {
public:
    static constexpr int kChunkA = 1024;
    static constexpr int kChunkB = 16;

    // Lists the modules of `settings` on `bus` into settings.usbDevices (class A first)
    // and sets settings.usbChunk; returns how many of class A were found.
    static size_t FindModules(LinkSettings& settings, UsbBus& bus);
    // The open step: finds the modules, settles the selected one (asking `env.chooseDevice`
    // when there are several and none or a vanished one is chosen) and opens its pipe.
    // Every failure is told to `messenger`; null then.
    static std::unique_ptr<Link> Open(LinkSettings& settings, Messenger& messenger,
                                      const LinkEnvironment& env);

    UsbLink(std::unique_ptr<UsbPipe> pipe, int chunk) : m_pipe(std::move(pipe)), m_chunk(chunk) {}
    LinkKind Kind() const override { return LinkKind::Usb; }
    // Whole chunks, each followed by a progress event with the count of bytes sent so
    // far, then the rest in one transfer followed by length - 1.
    SendResult Send(std::span<const uint8_t> bytes, ProgressSink& sink,
                    const std::atomic<bool>& stop) override;

private:
    std::unique_ptr<UsbPipe> m_pipe;
    int m_chunk;
};
