#pragma once
// The USB-CAN link: the stream cut into CAN data frames of up to 8 bytes, sent through the
// adapter library (libKVX_CAN.so, loaded when first needed) 10 ms apart, 5 ms after the
// last short frame. The pace is kept on the monotonic clock from the start of the
// transfer, so that it does not drift however long each call takes.

#include <memory>
#include <string>
#include <vector>

#include "kvx_can.h"
#include "link/Link.h"

// The five library functions the link calls.
struct CanApi {
    int32_t (*openDevice)(uint32_t type, uint32_t index, uint32_t reserved) = nullptr;
    int32_t (*closeDevice)(uint32_t type, uint32_t index) = nullptr;
    int32_t (*startCan)(uint32_t type, uint32_t index, uint32_t channel) = nullptr;
    int32_t (*transmit)(uint32_t type, uint32_t index, uint32_t channel,
                        const CanFrame* frame) = nullptr;
    int32_t (*findUsbDevices)(BoardInfo* buffer) = nullptr;

    // The library: $LCDSCREEN_KVX_CAN, beside the program, its ../lib, the build and
    // install locations, then the system's search. Loaded once; null with `error` set
    // (UTF-8) when it cannot be found or lacks a function.
    static const CanApi* Load(std::string& error);
};

class CanLink final : public Link {
public:
    static constexpr int kFrameMs = 10;
    static constexpr int kLastFrameMs = 5;

    // "" when a UDP socket can be bound to `port` of `address` (host order), else that the
    // port is taken (or why not).
    static std::string UdpPortProblem(uint32_t address, uint16_t port);
    // The adapters of the USB kind, named "USBCAN-" and the first four characters of their
    // serial numbers.
    static std::vector<std::string> ListAdapters(const CanApi& api);
    // The open step: the library, and for USB adapters that one is attached ("没找到USB-CAN
    // 液晶屏设备"). A serial adapter's path and a network adapter's port reach the library
    // through its environment variables, set here on the calling thread.
    static std::unique_ptr<Link> Open(const LinkSettings& settings, Messenger& messenger,
                                      const LinkEnvironment& env);

    // `paceMicros` >= 0 replaces the 10 ms / 5 ms after each frame (the adapter emulator).
    CanLink(const CanApi& api, const CanTarget& target, int baudRate, int paceMicros = -1)
        : m_api(api), m_target(target), m_nBaudRate(baudRate), m_nPaceMicros(paceMicros) {}
    LinkKind Kind() const override { return LinkKind::UsbCan; }
    // Opens and starts the adapter (events -4, -5 when it cannot), sends the frames with a
    // progress event of the bytes sent so far after each full frame and of length - 1
    // after the short last one, and closes the adapter on every path. A frame the library
    // does not take is a failure.
    SendResult Send(std::span<const uint8_t> bytes, ProgressSink& sink,
                    const std::atomic<bool>& stop) override;

private:
    const CanApi& m_api;
    CanTarget m_target;
    int m_nBaudRate;
    int m_nPaceMicros;
};
