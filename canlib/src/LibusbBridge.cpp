#include "LibusbBridge.h"

#include <libusb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kvx {

namespace {

// Vendor request of USBXpress-style firmware that lets the device send to the host.
constexpr uint8_t kRequestType = 0x40;  // vendor request to the device, host to device
constexpr uint8_t kRequest = 0xFF;
constexpr uint16_t kClearToSend = 0x0002;
constexpr uint16_t kNotClearToSend = 0x0004;
constexpr unsigned kControlTimeoutMs = 100;
constexpr int kChunk = 4096;

unsigned LibusbTimeout(int ms) {
    // libusb waits for ever on 0; a 0 ms bridge time-out means "a moment".
    if (ms < 0) return 0;
    return ms == 0 ? 1u : static_cast<unsigned>(ms);
}

}  // namespace

LibusbBridge& LibusbBridge::Instance() {
    static LibusbBridge bridge;
    return bridge;
}

bool LibusbBridge::ParseUsbId(const char* text, uint16_t* vendor, uint16_t* product) {
    if (!text) return false;
    unsigned v = 0, p = 0;
    char tail = 0;
    if (std::sscanf(text, "%4x:%4x%c", &v, &p, &tail) != 2) return false;
    *vendor = static_cast<uint16_t>(v);
    *product = static_cast<uint16_t>(p);
    return true;
}

LibusbBridge::LibusbBridge() {
    if (const char* id = std::getenv("KVX_CAN_USB_ID");
        id && !ParseUsbId(id, &m_nVendor, &m_nProduct))
        std::fprintf(stderr, "KVX_CAN: ignoring KVX_CAN_USB_ID=%s (want vvvv:pppp)\n", id);
}

LibusbBridge::~LibusbBridge() {
    for (auto& [handle, device] : m_mapDevices) {
        libusb_release_interface(device->handle, device->interfaceNumber);
        libusb_close(device->handle);
    }
    m_mapDevices.clear();
    if (m_pContext) libusb_exit(m_pContext);
}

bool LibusbBridge::EnsureContext() {
    if (m_pContext) return true;
    const int rc = libusb_init(&m_pContext);
    if (rc != 0) {
        std::fprintf(stderr, "KVX_CAN: libusb: %s\n", libusb_strerror(rc));
        m_pContext = nullptr;
        return false;
    }
    return true;
}

std::vector<libusb_device*> LibusbBridge::MatchingDevices(libusb_device*** list) {
    std::vector<libusb_device*> matching;
    *list = nullptr;
    const ssize_t count = libusb_get_device_list(m_pContext, list);
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor((*list)[i], &descriptor) != 0) continue;
        if (descriptor.idVendor == m_nVendor && descriptor.idProduct == m_nProduct)
            matching.push_back((*list)[i]);
    }
    return matching;
}

int LibusbBridge::GetNumDevices(uint32_t* count) {
    std::lock_guard lock(m_mutex);
    if (!EnsureContext()) return -1;
    libusb_device** list;
    *count = static_cast<uint32_t>(MatchingDevices(&list).size());
    if (list) libusb_free_device_list(list, 1);
    return 0;
}

int LibusbBridge::GetSerialNumber(uint32_t device, std::string* serial) {
    std::lock_guard lock(m_mutex);
    if (!EnsureContext()) return -1;
    libusb_device** list;
    const auto matching = MatchingDevices(&list);
    int rc = -1;
    if (device < matching.size()) {
        libusb_device_descriptor descriptor{};
        libusb_device_handle* handle = nullptr;
        if (libusb_get_device_descriptor(matching[device], &descriptor) == 0 &&
            libusb_open(matching[device], &handle) == 0) {
            unsigned char text[256] = {};
            const int n = libusb_get_string_descriptor_ascii(handle, descriptor.iSerialNumber, text,
                                                             sizeof text);
            if (n >= 0) {
                serial->assign(reinterpret_cast<const char*>(text), static_cast<size_t>(n));
                rc = 0;
            }
            libusb_close(handle);
        }
    }
    if (list) libusb_free_device_list(list, 1);
    return rc;
}

int LibusbBridge::Open(uint32_t deviceNumber, UsbHandle* handle) {
    std::lock_guard lock(m_mutex);
    if (!EnsureContext()) return -1;
    libusb_device** list;
    const auto matching = MatchingDevices(&list);
    auto device = std::make_unique<Device>();
    int rc = -1;
    libusb_config_descriptor* config = nullptr;
    if (deviceNumber < matching.size() &&
        libusb_open(matching[deviceNumber], &device->handle) == 0 &&
        libusb_get_active_config_descriptor(matching[deviceNumber], &config) == 0) {
        // The first interface with a bulk pipe each way carries the byte stream.
        for (int i = 0; i < config->bNumInterfaces && rc != 0; ++i) {
            if (config->interface[i].num_altsetting < 1) continue;
            const libusb_interface_descriptor& alt = config->interface[i].altsetting[0];
            uint8_t in = 0, out = 0;
            for (int e = 0; e < alt.bNumEndpoints; ++e) {
                const libusb_endpoint_descriptor& ep = alt.endpoint[e];
                if ((ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK)
                    continue;
                if (ep.bEndpointAddress & LIBUSB_ENDPOINT_IN) {
                    if (!in) in = ep.bEndpointAddress;
                } else if (!out) {
                    out = ep.bEndpointAddress;
                }
            }
            if (!in || !out) continue;
            // The kernel's serial driver binds this id; take the interface from it.
            libusb_set_auto_detach_kernel_driver(device->handle, 1);
            if (libusb_claim_interface(device->handle, alt.bInterfaceNumber) != 0) continue;
            device->interfaceNumber = alt.bInterfaceNumber;
            device->endpointIn = in;
            device->endpointOut = out;
            rc = 0;
        }
        libusb_free_config_descriptor(config);
    }
    if (list) libusb_free_device_list(list, 1);
    if (rc != 0) {
        if (device->handle) libusb_close(device->handle);
        return -1;
    }
    libusb_control_transfer(device->handle, kRequestType, kRequest, kClearToSend, 0, nullptr, 0,
                            kControlTimeoutMs);
    *handle = m_nNextHandle++;
    m_mapDevices[*handle] = std::move(device);
    return 0;
}

int LibusbBridge::Close(UsbHandle handle) {
    std::lock_guard lock(m_mutex);
    Device* device = Find(handle);
    if (!device) return -1;
    libusb_control_transfer(device->handle, kRequestType, kRequest, kNotClearToSend, 0, nullptr, 0,
                            kControlTimeoutMs);
    libusb_release_interface(device->handle, device->interfaceNumber);
    libusb_close(device->handle);
    m_mapDevices.erase(handle);
    return 0;
}

LibusbBridge::Device* LibusbBridge::Find(UsbHandle handle) {
    const auto it = m_mapDevices.find(handle);
    return it == m_mapDevices.end() ? nullptr : it->second.get();
}

bool LibusbBridge::Fill(Device& device, unsigned timeoutMs) {
    uint8_t chunk[kChunk];
    int got = 0;
    const int rc =
        libusb_bulk_transfer(device.handle, device.endpointIn, chunk, kChunk, &got, timeoutMs);
    if (got > 0) device.pending.insert(device.pending.end(), chunk, chunk + got);
    return rc == 0 || rc == LIBUSB_ERROR_TIMEOUT;
}

int LibusbBridge::Read(UsbHandle handle, uint8_t* buffer, uint32_t length, uint32_t* read) {
    std::lock_guard lock(m_mutex);
    *read = 0;
    Device* device = Find(handle);
    if (!device) return -1;
    using Clock = std::chrono::steady_clock;
    const bool forever = m_nReadTimeoutMs < 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(m_nReadTimeoutMs, 0));
    while (device->pending.size() < length) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (!forever && left.count() <= 0) break;
        if (!Fill(*device, forever ? 0 : LibusbTimeout(static_cast<int>(left.count())))) return -1;
    }
    const uint32_t n = std::min<uint32_t>(length, static_cast<uint32_t>(device->pending.size()));
    std::memcpy(buffer, device->pending.data(), n);
    device->pending.erase(device->pending.begin(), device->pending.begin() + n);
    *read = n;
    return n == length ? 0 : -1;
}

int LibusbBridge::Write(UsbHandle handle, const uint8_t* data, uint32_t length, uint32_t* written) {
    std::lock_guard lock(m_mutex);
    *written = 0;
    Device* device = Find(handle);
    if (!device) return -1;
    int sent = 0;
    const int rc =
        libusb_bulk_transfer(device->handle, device->endpointOut, const_cast<uint8_t*>(data),
                             static_cast<int>(length), &sent, LibusbTimeout(m_nWriteTimeoutMs));
    *written = static_cast<uint32_t>(std::max(sent, 0));
    return rc == 0 ? 0 : -1;
}

int LibusbBridge::SetTimeouts(int readMs, int writeMs) {
    std::lock_guard lock(m_mutex);
    m_nReadTimeoutMs = readMs;
    m_nWriteTimeoutMs = writeMs;
    return 0;
}

int LibusbBridge::CheckRxQueue(UsbHandle handle, uint32_t* waiting) {
    std::lock_guard lock(m_mutex);
    *waiting = 0;
    Device* device = Find(handle);
    if (!device) return -1;
    // libusb keeps no queue: a short poll moves what the device has into ours.
    if (!Fill(*device, 1)) return -1;
    *waiting = static_cast<uint32_t>(device->pending.size());
    return 0;
}

}  // namespace kvx
