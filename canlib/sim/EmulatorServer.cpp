#include "EmulatorServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "Protocol.h"

namespace kvx {

namespace {

// A packet whose length its bytes do not give is complete after this much silence.
constexpr int kQuietMs = 20;

}  // namespace

EmulatorServer::~EmulatorServer() {
    Stop();
    CloseAll();
}

void EmulatorServer::Fail(const std::string& what) {
    m_strError = what + ": " + std::strerror(errno);
    CloseAll();
}

void EmulatorServer::CloseAll() {
    for (int* fd : {&m_nPtyMaster, &m_nPtySlave, &m_nUdp}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

bool EmulatorServer::Open(const Options& options) {
    CloseAll();
    if (options.serial) {
        m_nPtyMaster = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_nPtyMaster < 0 || grantpt(m_nPtyMaster) != 0 || unlockpt(m_nPtyMaster) != 0) {
            Fail("pseudo-terminal");
            return false;
        }
        char name[128];
        if (ptsname_r(m_nPtyMaster, name, sizeof name) != 0) {
            Fail("pseudo-terminal name");
            return false;
        }
        m_strSerialPath = name;
        m_nPtySlave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios tio{};
        if (m_nPtySlave < 0 || tcgetattr(m_nPtySlave, &tio) != 0) {
            Fail(m_strSerialPath);
            return false;
        }
        // Raw until the library sets its own line settings.
        cfmakeraw(&tio);
        tcsetattr(m_nPtySlave, TCSANOW, &tio);
    }
    if (options.udp) {
        m_nUdp = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(options.udpAddress);
        local.sin_port = htons(options.udpPort);
        if (m_nUdp < 0 || ::bind(m_nUdp, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
            Fail("UDP port " + std::to_string(options.udpPort));
            return false;
        }
        socklen_t length = sizeof local;
        getsockname(m_nUdp, reinterpret_cast<sockaddr*>(&local), &length);
        m_nUdpPort = ntohs(local.sin_port);
    }
    return true;
}

bool EmulatorServer::Start() {
    if (m_thread.joinable()) return false;
    m_bStop = false;
    m_thread = std::thread([this] { Serve(m_bStop); });
    return true;
}

void EmulatorServer::Stop() {
    m_bStop = true;
    if (m_thread.joinable()) m_thread.join();
}

void EmulatorServer::Run(const std::atomic<bool>& stop) {
    Serve(stop);
}

void EmulatorServer::Serve(const std::atomic<bool>& stop) {
    while (!stop) {
        pollfd fds[2];
        nfds_t count = 0;
        int serialSlot = -1, udpSlot = -1;
        if (m_nPtyMaster >= 0) {
            serialSlot = static_cast<int>(count);
            fds[count++] = {m_nPtyMaster, POLLIN, 0};
        }
        if (m_nUdp >= 0) {
            udpSlot = static_cast<int>(count);
            fds[count++] = {m_nUdp, POLLIN, 0};
        }
        const int timeout = m_abStream.empty() ? 100 : kQuietMs;
        const int ready = ::poll(fds, count, timeout);
        if (ready < 0 && errno != EINTR) break;
        if (ready == 0) {
            if (!m_abStream.empty()) ServeSerial(true);
            continue;
        }
        if (serialSlot >= 0 && (fds[serialSlot].revents & POLLIN)) ServeSerial(false);
        if (udpSlot >= 0 && (fds[udpSlot].revents & POLLIN)) ServeUdp();
    }
}

void EmulatorServer::ServeSerial(bool quiet) {
    if (!quiet) {
        uint8_t chunk[512];
        const ssize_t n = ::read(m_nPtyMaster, chunk, sizeof chunk);
        if (n <= 0) return;
        m_abStream.insert(m_abStream.end(), chunk, chunk + n);
    }
    for (;;) {
        const long length =
            AdapterEmulator::StreamPacketLength(m_abStream.data(), m_abStream.size(), quiet);
        if (length == 0) {
            // Silence ends every packet: a fragment left now never completes.
            if (quiet) m_abStream.clear();
            break;
        }
        if (length < 0) {
            m_abStream.erase(m_abStream.begin());
            continue;
        }
        const auto reply = m_emulator.Handle(m_abStream.data(), static_cast<size_t>(length),
                                             AdapterEmulator::Link::Serial);
        m_abStream.erase(m_abStream.begin(), m_abStream.begin() + length);
        if (!reply.empty()) {
            const ssize_t written = ::write(m_nPtyMaster, reply.data(), reply.size());
            (void)written;
        }
    }
}

void EmulatorServer::ServeUdp() {
    uint8_t datagram[kMaxDatagram];
    sockaddr_in source{};
    socklen_t sourceLength = sizeof source;
    const ssize_t n = ::recvfrom(m_nUdp, datagram, sizeof datagram, MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&source), &sourceLength);
    if (n <= 0) return;
    const auto reply =
        m_emulator.Handle(datagram, static_cast<size_t>(n), AdapterEmulator::Link::Udp);
    // The reply goes back to where the request came from.
    if (!reply.empty())
        ::sendto(m_nUdp, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&source),
                 sourceLength);
}

}  // namespace kvx
