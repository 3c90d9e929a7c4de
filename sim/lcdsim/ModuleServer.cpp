#include "ModuleServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "AdapterEmulator.h"
#include "EmulatorServer.h"
#include "core/DisplayModule.h"
#include "link/CanLink.h"

namespace {

constexpr int kTickMs = 20;

}  // namespace

ModuleServer::ModuleServer(DisplayModule& module) : m_module(module) {}

ModuleServer::~ModuleServer() {
    Close();
}

void ModuleServer::Close() {
    if (m_server) m_server->Stop();
    m_server.reset();
    m_emulator.reset();
    for (int* fd : {&m_master, &m_slave}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

uint16_t ModuleServer::UdpPort() const {
    return m_server ? m_server->UdpPort() : 0;
}

bool ModuleServer::Open(const Options& options, std::string& error) {
    Close();
    m_options = options;
    if (options.pty) {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        char name[128];
        termios tio{};
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0 ||
            ptsname_r(m_master, name, sizeof name) != 0) {
            error = std::string("无法建立伪终端：") + std::strerror(errno);
            Close();
            return false;
        }
        m_ptyPath = name;
        m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_slave < 0 || tcgetattr(m_slave, &tio) != 0) {
            error = m_ptyPath + "：" + std::strerror(errno);
            Close();
            return false;
        }
        // Every byte as it is, until the sender sets its own line.
        cfmakeraw(&tio);
        tcsetattr(m_slave, TCSANOW, &tio);
    }
    if (options.can) {
        // Said in words that name the port; the emulator's own complaint is the system's.
        if (options.udpPort != 0)
            if (error = CanLink::UdpPortProblem(options.udpAddress, options.udpPort);
                !error.empty()) {
                Close();
                return false;
            }
        m_emulator = std::make_unique<kvx::AdapterEmulator>();
        m_emulator->SetKeepHistory(false);
        m_emulator->SetFrameSink([this](const kvx::EmulatedFrame& frame) {
            if (frame.remote) return;
            std::lock_guard lock(m_mutex);
            m_canBytes.insert(m_canBytes.end(), frame.data,
                              frame.data + std::min<int>(frame.length, 8));
        });
        m_server = std::make_unique<kvx::EmulatorServer>(*m_emulator);
        kvx::EmulatorServer::Options so;
        so.serial = false;
        so.udp = true;
        so.udpAddress = options.udpAddress;
        so.udpPort = options.udpPort;
        if (!m_server->Open(so) || !m_server->Start()) {
            error = m_server->Error();
            Close();
            return false;
        }
    }
    return true;
}

void ModuleServer::Run(const std::atomic<bool>& stop) {
    using Clock = std::chrono::steady_clock;
    auto last = Clock::now(), lastByte = last;
    bool inTransfer = false;
    int64_t received = 0;
    const auto endTransfer = [&] {
        m_module.Finish();
        if (m_options.onTransferEnd) m_options.onTransferEnd(received);
        inTransfer = false;
        received = 0;
    };
    std::vector<uint8_t> chunk(4096), can;
    while (!stop) {
        pollfd pfd{m_master, POLLIN, 0};
        const int ready = m_master >= 0 ? ::poll(&pfd, 1, kTickMs) : (::usleep(kTickMs * 1000), 0);
        const auto now = Clock::now();
        bool got = false;
        if (ready > 0 && (pfd.revents & POLLIN)) {
            const ssize_t n = ::read(m_master, chunk.data(), chunk.size());
            if (n > 0) {
                m_module.Feed(std::span<const uint8_t>(chunk.data(), size_t(n)));
                received += n;
                got = true;
            }
        }
        {
            std::lock_guard lock(m_mutex);
            can.swap(m_canBytes);
        }
        if (!can.empty()) {
            m_module.Feed(can);
            received += static_cast<int64_t>(can.size());
            can.clear();
            got = true;
        }
        if (got) {
            inTransfer = true;
            lastByte = now;
        } else if (inTransfer && now - lastByte >= std::chrono::milliseconds(m_options.quietMs)) {
            endTransfer();
        }
        m_module.Advance(std::chrono::duration<double>(now - last).count());
        last = now;
    }
    if (inTransfer) endTransfer();
}

bool ModuleServer::ParseAddress(const std::string& text, uint32_t& address, uint16_t& port) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos) return false;
    in_addr a{};
    if (inet_pton(AF_INET, text.substr(0, colon).c_str(), &a) != 1) return false;
    const std::string digits = text.substr(colon + 1);
    char* end = nullptr;
    const long p = std::strtol(digits.c_str(), &end, 10);
    if (digits.empty() || *end || p < 0 || p > 65535) return false;
    address = ntohl(a.s_addr);
    port = static_cast<uint16_t>(p);
    return true;
}
