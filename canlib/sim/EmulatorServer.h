#pragma once
// Carries an AdapterEmulator's packets over a pseudo-terminal (the serial adapter) and a UDP
// socket (the network adapter), in a background thread or the caller's.

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "AdapterEmulator.h"

namespace kvx {

class EmulatorServer {
public:
    struct Options {
        bool serial = true;
        bool udp = true;
        uint32_t udpAddress = 0;  // host order; 0 listens on every address
        uint16_t udpPort = 3000;  // 0 picks a free port
    };

    explicit EmulatorServer(AdapterEmulator& emulator) : m_emulator(emulator) {}
    EmulatorServer(const EmulatorServer&) = delete;
    EmulatorServer& operator=(const EmulatorServer&) = delete;
    ~EmulatorServer();

    // Creates the pseudo-terminal and binds the socket; false with the reason in Error().
    bool Open(const Options& options);
    const std::string& SerialPath() const { return m_strSerialPath; }
    uint16_t UdpPort() const { return m_nUdpPort; }
    const std::string& Error() const { return m_strError; }

    // Serves in a background thread until Stop().
    bool Start();
    void Stop();
    // Serves in the calling thread until stop turns true (checked every 100 ms).
    void Run(const std::atomic<bool>& stop);

private:
    void Serve(const std::atomic<bool>& stop);
    void ServeSerial(bool quiet);
    void ServeUdp();
    void Fail(const std::string& what);
    void CloseAll();

    AdapterEmulator& m_emulator;
    int m_nPtyMaster = -1;
    int m_nPtySlave = -1;  // held open so the master never sees a hang-up
    int m_nUdp = -1;
    std::string m_strSerialPath;
    uint16_t m_nUdpPort = 0;
    std::string m_strError;
    std::vector<uint8_t> m_abStream;  // serial bytes not yet forming a whole packet
    std::atomic<bool> m_bStop{false};
    std::thread m_thread;
};

}  // namespace kvx
