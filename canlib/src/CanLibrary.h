#pragma once
// The library's one adapter: open state, transports, the receive buffer and the lock that
// every exchange with the adapter holds.

#include <atomic>
#include <mutex>

#include "Protocol.h"
#include "SerialPort.h"
#include "UdpSocket.h"
#include "UsbBridge.h"
#include "kvx_can.h"

namespace kvx {

class CanLibrary {
public:
    static CanLibrary& Instance();

    // Puts another bridge in place of libusb (tests); nullptr restores libusb. Only while
    // no USB adapter is open.
    void SetUsbBridge(UsbBridge* bridge);
    bool IsOpen() const { return m_bOpen; }
    // Set when a USB transfer failed or came up short; cleared by a successful open.
    bool UsbErrorMark() const { return m_bUsbError; }

    int32_t Open(uint32_t type, uint32_t index, uint32_t reserved);
    int32_t Close();
    int32_t InitCan(uint32_t type, uint32_t index, uint32_t channel, const CanInitConfig* config);
    int32_t ResumeConfig(uint32_t type, uint32_t index, uint32_t channel);
    int32_t WriteBoardInfo(uint32_t type, uint32_t index, const BoardInfo* info);
    int32_t ReadBoardInfo(uint32_t type, uint32_t index, BoardInfo* info);
    int32_t ReadCanStatus(uint32_t type, uint32_t index, uint32_t channel, CanStatus* status);
    int32_t GetReference(uint32_t type, uint32_t index, uint32_t channel, void* data);
    int32_t SetReference(uint32_t type, uint32_t index, uint32_t channel, uint32_t refType,
                         const void* data);
    int32_t StartCan(uint32_t type, uint32_t index, uint32_t channel);
    int32_t ResetCan(uint32_t type, uint32_t index, uint32_t channel);
    int32_t Transmit(uint32_t type, uint32_t index, uint32_t channel, const CanFrame* frame);
    int32_t Receive(uint32_t type, uint32_t index, uint32_t channel, CanFrame* frames);
    int32_t FindUsbDevices(BoardInfo* buffer);

private:
    // Fixed pauses of one command: after the serial write, and before releasing the lock
    // over USB and UDP.
    struct Pauses {
        int serialMs = 0;
        int usbHoldMs = 0;
        int udpHoldMs = 0;
    };
    static constexpr int32_t kProceed = INT32_MIN;

    CanLibrary();
    ~CanLibrary();

    // -1 closed or unknown type, 0 a type without transport or a channel the type does not
    // take, else kProceed.
    int32_t Check(uint32_t type, uint32_t channel) const;
    // Sends packet and collects at most expected reply bytes into m_abReceive (lock held).
    size_t Exchange(uint32_t type, uint32_t index, const Bytes& packet, size_t expected,
                    const Pauses& pauses);
    size_t SerialExchange(const Bytes& packet, size_t expected, int waitMs);
    size_t UsbExchange(const Bytes& packet, size_t expected, int holdMs);
    size_t UdpExchange(uint32_t index, const Bytes& packet, int holdMs);
    // Drops waiting USB bytes and writes packet; false sets the error mark.
    bool UsbWrite(const Bytes& packet);
    // A command answered by one acknowledgement byte.
    int32_t Acknowledged(uint32_t type, uint32_t index, const Bytes& packet, const Pauses& pauses);
    // Releases every handle; false when the USB close failed (lock held).
    bool CloseHandles();

    std::mutex m_mutex;
    std::atomic<bool> m_bOpen{false};
    SerialPort m_serial;
    UdpSocket m_udp;
    UsbBridge* m_pBridge;
    UsbHandle m_hUsb = 0;
    bool m_bUsbOpen = false;
    std::atomic<bool> m_bUsbError{false};
    uint8_t m_abReceive[kReceiveBufferSize] = {};
};

}  // namespace kvx
