#include "link/UsbLink.h"

#include <libusb.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <mutex>

#include "base/Messenger.h"
#include "base/StringFormat.h"

namespace {

std::string PathOf(libusb_device* device) {
    uint8_t ports[8];
    const int n = libusb_get_port_numbers(device, ports, sizeof ports);
    std::string path = StringFormat("usb:%d", libusb_get_bus_number(device));
    for (int i = 0; i < n; ++i)
        path += StringFormat("%c%d", i == 0 ? '-' : '.', ports[i]);
    return path;
}

std::string DescribeUsbError(libusb_device* device, int rc) {
    const std::string node = StringFormat("/dev/bus/usb/%03d/%03d", libusb_get_bus_number(device),
                                          libusb_get_device_address(device));
    switch (rc) {
        case LIBUSB_ERROR_ACCESS:
            return DescribeOpenFailure(node, EACCES);
        case LIBUSB_ERROR_BUSY:
            return DescribeOpenFailure(node, EBUSY);
        case LIBUSB_ERROR_NO_DEVICE:
            return DescribeOpenFailure(node, ENODEV);
    }
    return node + "：" + libusb_strerror(rc);
}

class LibusbPipe final : public UsbPipe {
public:
    LibusbPipe(libusb_device_handle* handle, uint8_t endpoint, unsigned timeoutMs)
        : m_handle(handle), m_endpoint(endpoint), m_timeoutMs(timeoutMs) {}
    ~LibusbPipe() override {
        libusb_release_interface(m_handle, 0);
        libusb_close(m_handle);
    }
    SendStatus Write(std::span<const uint8_t> bytes, std::string& error,
                     const std::atomic<bool>& stop) override {
        return WriteBulk(bytes, m_timeoutMs, stop, error,
                         [this](const uint8_t* data, int length, int& done, unsigned ms) {
                             return libusb_bulk_transfer(m_handle, m_endpoint,
                                                         const_cast<uint8_t*>(data), length, &done,
                                                         ms);
                         });
    }

private:
    libusb_device_handle* m_handle;
    uint8_t m_endpoint;
    unsigned m_timeoutMs;
};

class LibusbBus final : public UsbBus {
public:
    ~LibusbBus() override {
        if (m_context) libusb_exit(m_context);
    }

    std::vector<UsbDeviceInfo> Devices() override {
        std::vector<UsbDeviceInfo> found;
        ForEach([&](libusb_device* device, const libusb_device_descriptor& d) {
            found.push_back({PathOf(device), {d.idVendor, d.idProduct}});
            return false;
        });
        return found;
    }

    std::unique_ptr<UsbPipe> Open(const std::string& path, int timeoutSeconds,
                                  std::string& error) override {
        std::unique_ptr<UsbPipe> pipe;
        error = "找不到 USB 设备 " + path;
        ForEach([&](libusb_device* device, const libusb_device_descriptor&) {
            if (PathOf(device) != path) return false;
            pipe = OpenDevice(device, timeoutSeconds, error);
            return true;
        });
        return pipe;
    }

private:
    bool Context() {
        std::lock_guard lock(m_mutex);
        if (!m_context && libusb_init(&m_context) != 0) m_context = nullptr;
        return m_context != nullptr;
    }

    template <class F>
    void ForEach(F&& visit) {
        if (!Context()) return;
        libusb_device** list = nullptr;
        const ssize_t n = libusb_get_device_list(m_context, &list);
        for (ssize_t i = 0; i < n; ++i) {
            libusb_device_descriptor d{};
            if (libusb_get_device_descriptor(list[i], &d) == 0 && visit(list[i], d)) break;
        }
        if (list) libusb_free_device_list(list, 1);
    }

    static std::unique_ptr<UsbPipe> OpenDevice(libusb_device* device, int timeoutSeconds,
                                               std::string& error) {
        uint8_t endpoint = 0;
        libusb_config_descriptor* config = nullptr;
        if (libusb_get_active_config_descriptor(device, &config) == 0) {
            if (config->bNumInterfaces > 0 && config->interface[0].num_altsetting > 0) {
                const libusb_interface_descriptor& alt = config->interface[0].altsetting[0];
                for (int e = 0; e < alt.bNumEndpoints && !endpoint; ++e) {
                    const libusb_endpoint_descriptor& ep = alt.endpoint[e];
                    if ((ep.bmAttributes & 3) == LIBUSB_TRANSFER_TYPE_BULK &&
                        (ep.bEndpointAddress & LIBUSB_ENDPOINT_IN) == 0)
                        endpoint = ep.bEndpointAddress;
                }
            }
            libusb_free_config_descriptor(config);
        }
        if (!endpoint) {
            error = PathOf(device) + " 的第一个接口没有批量输出端点，不是液晶屏模块";
            return nullptr;
        }
        libusb_device_handle* handle = nullptr;
        int rc = libusb_open(device, &handle);
        if (rc == 0) {
            libusb_set_auto_detach_kernel_driver(handle, 1);
            rc = libusb_claim_interface(handle, 0);
            if (rc != 0) libusb_close(handle);
        }
        if (rc != 0) {
            error = DescribeUsbError(device, rc);
            return nullptr;
        }
        const unsigned ms = static_cast<unsigned>(std::clamp(timeoutSeconds, 1, 3600)) * 1000u;
        return std::make_unique<LibusbPipe>(handle, endpoint, ms);
    }

    std::mutex m_mutex;
    libusb_context* m_context = nullptr;
};

}  // namespace

SendStatus WriteBulk(std::span<const uint8_t> bytes, unsigned timeoutMs,
                     const std::atomic<bool>& stop, std::string& error,
                     const BulkTransfer& transfer) {
    using Clock = std::chrono::steady_clock;
    auto since = Clock::now();
    size_t at = 0;
    for (;;) {
        int done = 0;
        const int rc = transfer(bytes.data() + at, static_cast<int>(bytes.size() - at), done,
                                std::min(timeoutMs, kBulkSliceMs));
        at += static_cast<size_t>(std::clamp(done, 0, static_cast<int>(bytes.size() - at)));
        if (at == bytes.size() && (rc == 0 || rc == LIBUSB_ERROR_TIMEOUT)) return SendStatus::Done;
        if (rc != LIBUSB_ERROR_TIMEOUT) {
            error = rc == LIBUSB_ERROR_NO_DEVICE ? "USB 设备已断开"
                    : rc == 0                    ? "USB 设备只收下了部分数据"
                              : std::string("USB 写入失败：") + libusb_strerror(rc);
            return SendStatus::Failed;
        }
        if (stop.load()) return SendStatus::Stopped;
        if (done > 0) since = Clock::now();
        if (Clock::now() - since >= std::chrono::milliseconds(timeoutMs)) {
            error = "USB 写入超时，请检查连接是否正确";
            return SendStatus::TimedOut;
        }
    }
}

UsbBus& UsbBus::System() {
    static LibusbBus bus;
    return bus;
}

size_t UsbLink::FindModules(LinkSettings& settings, UsbBus& bus) {
    const std::vector<UsbDeviceInfo> present = bus.Devices();
    std::vector<std::string>& list = settings.usbDevices;
    list.clear();
    size_t classA = 0;
    for (const auto* ids : {&settings.usbClassA, &settings.usbClassB}) {
        for (const UsbDeviceInfo& d : present)
            if (std::ranges::find(*ids, d.id) != ids->end() &&
                std::ranges::find(list, d.path) == list.end())
                list.push_back(d.path);
        if (ids == &settings.usbClassA) classA = list.size();
    }
    settings.usbChunk = classA == list.size() ? kChunkA : kChunkB;
    return classA;
}

std::unique_ptr<Link> UsbLink::Open(LinkSettings& settings, Messenger& messenger,
                                    const LinkEnvironment& env) {
    UsbBus& bus = env.usb ? *env.usb : UsbBus::System();
    FindModules(settings, bus);
    const std::vector<std::string>& list = settings.usbDevices;
    if (list.empty()) {
        std::string text = "usb设备没连接，或者设备驱动错误";
        if (settings.usbClassA.empty() && settings.usbClassB.empty())
            text += "\n（link.conf 中还没有液晶屏模块的 USB 编号：usb-a = VID:PID）";
        messenger.Tell(text, "提示");
        settings.selectedUsbDevice.clear();
        return nullptr;
    }
    const auto listed = [&] {
        return std::ranges::find(list, settings.selectedUsbDevice) != list.end();
    };
    if (list.size() == 1) {
        settings.selectedUsbDevice = list.front();
    } else if (!listed()) {
        messenger.Tell(settings.selectedUsbDevice.empty() ? "检测到多个设备，请选择一个"
                                                          : "您更换了usb端口？请重新选择要写的设备",
                       "提示");
        settings.selectedUsbDevice.clear();
        if (!env.chooseDevice || !env.chooseDevice(settings) || !listed()) return nullptr;
    }
    std::string error;
    std::unique_ptr<UsbPipe> pipe = bus.Open(settings.selectedUsbDevice, settings.timeout, error);
    if (!pipe) {
        messenger.Tell("USB 打开失败\n" + error, "提示");
        return nullptr;
    }
    return std::make_unique<UsbLink>(std::move(pipe), settings.usbChunk);
}

SendResult UsbLink::Send(std::span<const uint8_t> bytes, ProgressSink& sink,
                         const std::atomic<bool>& stop) {
    const size_t chunk = static_cast<size_t>(m_chunk);
    for (size_t at = 0; at < bytes.size(); at += chunk) {
        const auto sent = static_cast<int64_t>(at);
        if (stop.load()) return {SendStatus::Stopped, sent, ""};
        const size_t n = std::min(chunk, bytes.size() - at);
        std::string error;
        const SendStatus status = m_pipe->Write(bytes.subspan(at, n), error, stop);
        if (status != SendStatus::Done) {
            if (status == SendStatus::TimedOut) sink.OnProgress(kProgressTimeout, 0);
            return {status, sent, error};
        }
        // Whole chunks report the bytes sent so far, the last short one its last index.
        sink.OnProgress(kProgressSent, static_cast<int64_t>(n == chunk ? at + n : at + n - 1));
    }
    return {SendStatus::Done, static_cast<int64_t>(bytes.size()), ""};
}
