#pragma once
// Carries the module byte stream into a DisplayModule from a pseudo-terminal (a serial
// link) or from the CAN adapter emulator on a UDP port, whose data frames are joined back
// into the stream. A transfer ends when the line has been quiet for a while; the
// slideshow runs in real time.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class DisplayModule;
namespace kvx {
class AdapterEmulator;
class EmulatorServer;
}  // namespace kvx

class ModuleServer {
public:
    struct Options {
        bool pty = false;
        bool can = false;
        uint32_t udpAddress = 0x7F000001;  // host order
        uint16_t udpPort = 0;              // 0 picks a free port
        int quietMs = 500;                 // silence that ends a transfer
        // Told the byte count of each transfer once it has ended, on the serving thread.
        std::function<void(int64_t bytes)> onTransferEnd;
    };

    explicit ModuleServer(DisplayModule& module);
    ~ModuleServer();
    ModuleServer(const ModuleServer&) = delete;
    ModuleServer& operator=(const ModuleServer&) = delete;

    // Opens the pseudo-terminal or binds the UDP port; false with `error` set.
    bool Open(const Options& options, std::string& error);
    const std::string& PtyPath() const { return m_ptyPath; }
    uint16_t UdpPort() const;

    // Serves in the calling thread until `stop` turns true (checked every 20 ms), then
    // ends a transfer under way. The module is touched from this thread only.
    void Run(const std::atomic<bool>& stop);

    // "ADDRESS:PORT" (IPv4, port 0..65535); false when it is not that.
    static bool ParseAddress(const std::string& text, uint32_t& address, uint16_t& port);

private:
    void Close();

    DisplayModule& m_module;
    Options m_options;
    int m_master = -1;
    int m_slave = -1;  // held open so the master never reads a hang-up
    std::string m_ptyPath;
    std::unique_ptr<kvx::AdapterEmulator> m_emulator;
    std::unique_ptr<kvx::EmulatorServer> m_server;
    std::mutex m_mutex;
    std::vector<uint8_t> m_canBytes;  // data of CAN frames not yet fed
};
