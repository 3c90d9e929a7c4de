#pragma once
// A serial port in raw 8N1 mode whose reads never block.

#include <cstddef>
#include <cstdint>
#include <string>

namespace kvx {

class SerialPort {
public:
    SerialPort() = default;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;
    ~SerialPort() { Close(); }

    // "COM n" for device index n-1: /dev/ttyS<index>, or the path in KVX_CAN_COM<n>.
    static std::string PathForIndex(uint32_t deviceIndex);
    // Any rate from 1 to 4,000,000: the standard ones through termios, the others
    // (14400, 128000, 256000, ...) through termios2; whether the UART can keep to it is the
    // driver's to say when the port is opened.
    static constexpr uint32_t kMaxBaudRate = 4000000;
    static bool IsSupportedBaudRate(uint32_t baudRate);

    // Exclusive open; false (and a message on stderr) when the port cannot be used.
    bool Open(const std::string& path, uint32_t baudRate);
    void Close();
    bool IsOpen() const { return m_nFd >= 0; }
    uint32_t BaudRate() const { return m_nBaudRate; }

    // Drops everything queued in both directions.
    void Purge();
    bool Write(const uint8_t* data, size_t length);
    // Reads at most maxLength of the bytes already received.
    size_t ReadAvailable(uint8_t* buffer, size_t maxLength);

private:
    int m_nFd = -1;
    uint32_t m_nBaudRate = 0;
};

}  // namespace kvx
