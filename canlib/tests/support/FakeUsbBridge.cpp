#include "support/FakeUsbBridge.h"

#include <algorithm>

namespace kvxtest {

int FakeUsbBridge::GetNumDevices(uint32_t* count) {
    if (failCount) return -1;
    *count = static_cast<uint32_t>(serials.size());
    return 0;
}

int FakeUsbBridge::GetSerialNumber(uint32_t device, std::string* serial) {
    if (device >= serials.size()) return -1;
    *serial = serials[device];
    return 0;
}

int FakeUsbBridge::Open(uint32_t device, kvx::UsbHandle* handle) {
    if (device >= serials.size()) return -1;
    ++opens;
    openHandle = 100 + opens;
    *handle = openHandle;
    return 0;
}

int FakeUsbBridge::Close(kvx::UsbHandle handle) {
    if (failClose || handle != openHandle) return -1;
    ++closes;
    openHandle = 0;
    return 0;
}

int FakeUsbBridge::Read(kvx::UsbHandle handle, uint8_t* buffer, uint32_t length, uint32_t* read) {
    *read = 0;
    if (handle != openHandle) return -1;
    const uint32_t n = std::min<uint32_t>(length, static_cast<uint32_t>(waiting.size()));
    std::copy(waiting.begin(), waiting.begin() + n, buffer);
    waiting.erase(waiting.begin(), waiting.begin() + n);
    *read = n;
    return n == length ? 0 : -1;
}

int FakeUsbBridge::Write(kvx::UsbHandle handle, const uint8_t* data, uint32_t length,
                         uint32_t* written) {
    *written = 0;
    if (handle != openHandle) return -1;
    writes.emplace_back(data, data + length);
    *written = shortWrite ? length - 1 : length;
    if (data[0] == 0xCD && !replies.empty()) {
        waiting.insert(waiting.end(), replies.front().begin(), replies.front().end());
        replies.pop_front();
    }
    return 0;
}

int FakeUsbBridge::SetTimeouts(int readMs, int writeMs) {
    readTimeoutMs = readMs;
    writeTimeoutMs = writeMs;
    return 0;
}

int FakeUsbBridge::CheckRxQueue(kvx::UsbHandle handle, uint32_t* count) {
    if (handle != openHandle) return -1;
    *count = static_cast<uint32_t>(waiting.size());
    return 0;
}

}  // namespace kvxtest
