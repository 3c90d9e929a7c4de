// kvxsim: plays a CAN adapter on a UDP port and on a pseudo-terminal, answering the library's
// commands and printing every frame it is asked to transmit, one line each.

#include <arpa/inet.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "AdapterEmulator.h"
#include "EmulatorServer.h"

namespace {

std::atomic<bool> g_bStop{false};

void OnSignal(int) {
    g_bStop = true;
}

void Usage() {
    std::fprintf(stderr,
                 "usage: kvxsim [--udp-port N] [--bind ADDRESS] [--no-udp] [--no-serial]\n"
                 "              [--loopback] [--refuse B0B1B2B3]\n"
                 "  --udp-port N   UDP port to answer on (default 3000, 0 = any free port)\n"
                 "  --bind ADDRESS IPv4 address to listen on (default: all)\n"
                 "  --loopback     hand transmitted frames back on receive requests\n"
                 "  --refuse HEX   answer the UDP open with these four bytes instead of AA\n");
}

bool ParseHex4(const char* text, std::vector<uint8_t>* out) {
    if (std::strlen(text) != 8) return false;
    out->clear();
    for (int i = 0; i < 4; ++i) {
        char pair[3] = {text[2 * i], text[2 * i + 1], 0};
        char* end = nullptr;
        const long v = std::strtol(pair, &end, 16);
        if (*end) return false;
        out->push_back(static_cast<uint8_t>(v));
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    kvx::EmulatorServer::Options options;
    kvx::AdapterEmulator emulator;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--udp-port" && hasValue) {
            char* end = nullptr;
            const long port = std::strtol(argv[++i], &end, 10);
            if (*end || port < 0 || port > 65535) {
                Usage();
                return 2;
            }
            options.udpPort = static_cast<uint16_t>(port);
        } else if (arg == "--bind" && hasValue) {
            in_addr address{};
            if (inet_pton(AF_INET, argv[++i], &address) != 1) {
                Usage();
                return 2;
            }
            options.udpAddress = ntohl(address.s_addr);
        } else if (arg == "--no-udp") {
            options.udp = false;
        } else if (arg == "--no-serial") {
            options.serial = false;
        } else if (arg == "--loopback") {
            emulator.SetLoopback(true);
        } else if (arg == "--refuse" && hasValue) {
            std::vector<uint8_t> reply;
            if (!ParseHex4(argv[++i], &reply)) {
                Usage();
                return 2;
            }
            emulator.SetOpenReply(reply);
        } else {
            Usage();
            return 2;
        }
    }

    kvx::EmulatorServer server(emulator);
    if (!server.Open(options)) {
        std::fprintf(stderr, "kvxsim: %s\n", server.Error().c_str());
        return 1;
    }
    if (options.serial) std::printf("serial %s\n", server.SerialPath().c_str());
    if (options.udp) std::printf("udp %u\n", server.UdpPort());
    std::fflush(stdout);

    // The frames are printed; keeping them too would grow without end.
    emulator.SetKeepHistory(false);
    emulator.SetFrameSink([](const kvx::EmulatedFrame& frame) {
        std::printf("%s\n", kvx::AdapterEmulator::Describe(frame).c_str());
        std::fflush(stdout);
    });
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    server.Run(g_bStop);
    return 0;
}
