#pragma once
// A USB bridge for tests: scripted devices, replies and failures, and a record of writes.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "UsbBridge.h"

namespace kvxtest {

using Bytes = std::vector<uint8_t>;

// A bridge with scripted devices: every command packet (0xCD ...) it is given queues the
// next scripted reply; frame packets get none.
class FakeUsbBridge : public kvx::UsbBridge {
public:
    std::vector<std::string> serials;  // one per device
    bool failCount = false;
    bool failClose = false;
    bool shortWrite = false;
    std::deque<Bytes> replies;
    Bytes waiting;              // bytes in the receive queue
    std::vector<Bytes> writes;  // every packet written, in order
    int opens = 0;
    int closes = 0;
    int readTimeoutMs = 0;
    int writeTimeoutMs = 0;
    kvx::UsbHandle openHandle = 0;

    int GetNumDevices(uint32_t* count) override;
    int GetSerialNumber(uint32_t device, std::string* serial) override;
    int Open(uint32_t device, kvx::UsbHandle* handle) override;
    int Close(kvx::UsbHandle handle) override;
    int Read(kvx::UsbHandle handle, uint8_t* buffer, uint32_t length, uint32_t* read) override;
    int Write(kvx::UsbHandle handle, const uint8_t* data, uint32_t length,
              uint32_t* written) override;
    int SetTimeouts(int readMs, int writeMs) override;
    int CheckRxQueue(kvx::UsbHandle handle, uint32_t* count) override;
};

}  // namespace kvxtest
