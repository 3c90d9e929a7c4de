#include "UdpSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Protocol.h"

namespace kvx {

namespace {

uint16_t PortFromEnvironment(const char* name, uint16_t fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 0 || value > 65535) {
        std::fprintf(stderr, "KVX_CAN: ignoring %s=%s (not a port number)\n", name, text);
        return fallback;
    }
    return static_cast<uint16_t>(value);
}

}  // namespace

uint16_t UdpSocket::LocalPort() {
    return PortFromEnvironment("KVX_CAN_UDP_LOCAL_PORT", kDefaultLocalPort);
}

uint16_t UdpSocket::AdapterPort() {
    return PortFromEnvironment("KVX_CAN_UDP_ADAPTER_PORT", kDefaultAdapterPort);
}

bool UdpSocket::Open(uint16_t localPort) {
    Close();
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        std::fprintf(stderr, "KVX_CAN: no UDP socket: %s\n", std::strerror(errno));
        return false;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(localPort);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        std::fprintf(stderr, "KVX_CAN: cannot bind UDP port %u: %s\n", localPort,
                     std::strerror(errno));
        ::close(fd);
        return false;
    }
    m_nFd = fd;
    return true;
}

void UdpSocket::Close() {
    if (m_nFd < 0) return;
    ::close(m_nFd);
    m_nFd = -1;
}

void UdpSocket::SetPeer(uint32_t address, uint16_t port) {
    m_nPeerAddress = address;
    m_nPeerPort = port;
}

bool UdpSocket::Send(const uint8_t* data, size_t length) {
    if (m_nFd < 0) return false;
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_addr.s_addr = htonl(m_nPeerAddress);
    peer.sin_port = htons(m_nPeerPort);
    ssize_t n;
    do {
        n = ::sendto(m_nFd, data, length, 0, reinterpret_cast<const sockaddr*>(&peer), sizeof peer);
    } while (n < 0 && errno == EINTR);
    return n == static_cast<ssize_t>(length);
}

int UdpSocket::ReceiveFrom(uint32_t from, uint8_t* buffer, size_t capacity, int timeoutMs) {
    if (m_nFd < 0) return -1;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    uint8_t datagram[kMaxDatagram];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() < 0) return -1;
        pollfd pfd{m_nFd, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return -1;
        sockaddr_in source{};
        socklen_t sourceLength = sizeof source;
        const ssize_t n = ::recvfrom(m_nFd, datagram, sizeof datagram, MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&source), &sourceLength);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
            return -1;
        }
        // Only the adapter's own address counts as a reply.
        if (source.sin_family != AF_INET || ntohl(source.sin_addr.s_addr) != from) continue;
        const size_t length = std::min(static_cast<size_t>(n), capacity);
        std::memcpy(buffer, datagram, length);
        return static_cast<int>(length);
    }
}

void UdpSocket::Drain() {
    if (m_nFd < 0) return;
    uint8_t datagram[kMaxDatagram];
    while (::recv(m_nFd, datagram, sizeof datagram, MSG_DONTWAIT) >= 0) {
    }
}

}  // namespace kvx
