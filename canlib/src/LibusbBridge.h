#pragma once
// The USB bridge over libusb-1.0: USBXpress-style bridges with one bulk pipe each way.

#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "UsbBridge.h"

struct libusb_context;
struct libusb_device;
struct libusb_device_handle;

namespace kvx {

class LibusbBridge : public UsbBridge {
public:
    static constexpr uint16_t kDefaultVendor = 0x10C4;
    static constexpr uint16_t kDefaultProduct = 0xEA61;

    static LibusbBridge& Instance();
    // "vvvv:pppp" in hex, as in KVX_CAN_USB_ID; false leaves the ids untouched.
    static bool ParseUsbId(const char* text, uint16_t* vendor, uint16_t* product);

    LibusbBridge();
    ~LibusbBridge() override;

    int GetNumDevices(uint32_t* count) override;
    int GetSerialNumber(uint32_t device, std::string* serial) override;
    int Open(uint32_t device, UsbHandle* handle) override;
    int Close(UsbHandle handle) override;
    int Read(UsbHandle handle, uint8_t* buffer, uint32_t length, uint32_t* read) override;
    int Write(UsbHandle handle, const uint8_t* data, uint32_t length, uint32_t* written) override;
    int SetTimeouts(int readMs, int writeMs) override;
    int CheckRxQueue(UsbHandle handle, uint32_t* waiting) override;

private:
    struct Device {
        libusb_device_handle* handle = nullptr;
        int interfaceNumber = 0;
        uint8_t endpointIn = 0;
        uint8_t endpointOut = 0;
        std::vector<uint8_t> pending;  // received but not yet read by the caller
    };

    bool EnsureContext();
    // The matching devices in bus order (references held until FreeList).
    std::vector<libusb_device*> MatchingDevices(libusb_device*** list);
    Device* Find(UsbHandle handle);
    // One bulk IN transfer into pending; false on a transfer error.
    bool Fill(Device& device, unsigned timeoutMs);

    std::mutex m_mutex;
    libusb_context* m_pContext = nullptr;
    uint16_t m_nVendor = kDefaultVendor;
    uint16_t m_nProduct = kDefaultProduct;
    int m_nReadTimeoutMs = kInfinite;
    int m_nWriteTimeoutMs = kInfinite;
    UsbHandle m_nNextHandle = 1;
    std::map<UsbHandle, std::unique_ptr<Device>> m_mapDevices;
};

}  // namespace kvx
