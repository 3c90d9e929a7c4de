#pragma once
// The eight operations the library needs from a USB bridge driver. Every operation
// returns 0 for success, like the bridge libraries adapters ship with.

#include <cstdint>
#include <string>

namespace kvx {

using UsbHandle = intptr_t;

class UsbBridge {
public:
    static constexpr int kInfinite = -1;

    virtual ~UsbBridge() = default;
    virtual int GetNumDevices(uint32_t* count) = 0;
    virtual int GetSerialNumber(uint32_t device, std::string* serial) = 0;
    virtual int Open(uint32_t device, UsbHandle* handle) = 0;
    virtual int Close(UsbHandle handle) = 0;
    virtual int Read(UsbHandle handle, uint8_t* buffer, uint32_t length, uint32_t* read) = 0;
    virtual int Write(UsbHandle handle, const uint8_t* data, uint32_t length,
                      uint32_t* written) = 0;
    // Milliseconds for every later read and write; kInfinite waits for ever.
    virtual int SetTimeouts(int readMs, int writeMs) = 0;
    virtual int CheckRxQueue(UsbHandle handle, uint32_t* waiting) = 0;
};

}  // namespace kvx
