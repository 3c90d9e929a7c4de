#pragma once
// A UDP socket talking to one adapter address.

#include <cstddef>
#include <cstdint>

namespace kvx {

class UdpSocket {
public:
    static constexpr uint16_t kDefaultLocalPort = 5000;
    static constexpr uint16_t kDefaultAdapterPort = 3000;

    UdpSocket() = default;
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;
    ~UdpSocket() { Close(); }

    // Local port 5000 unless KVX_CAN_UDP_LOCAL_PORT says otherwise (0: any free port).
    static uint16_t LocalPort();
    // Adapter port 3000 unless KVX_CAN_UDP_ADAPTER_PORT says otherwise.
    static uint16_t AdapterPort();

    // Binds to localPort on every address; false (and a message on stderr) on failure.
    bool Open(uint16_t localPort);
    void Close();
    bool IsOpen() const { return m_nFd >= 0; }
    // address in host order (0x7F000001 is 127.0.0.1).
    void SetPeer(uint32_t address, uint16_t port);
    bool Send(const uint8_t* data, size_t length);
    // Waits up to timeoutMs for a datagram whose source address is `from`; datagrams from
    // other addresses are dropped. Returns its length (at most capacity), -1 on time-out.
    int ReceiveFrom(uint32_t from, uint8_t* buffer, size_t capacity, int timeoutMs);
    // Drops datagrams left over from an earlier exchange.
    void Drain();

private:
    int m_nFd = -1;
    uint32_t m_nPeerAddress = 0;
    uint16_t m_nPeerPort = 0;
};

}  // namespace kvx
