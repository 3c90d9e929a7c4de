// The adapter emulator's input: a serial byte stream split into packets, and the same bytes
// as one datagram. Packets come from the network, so any bytes must be answered or dropped
// without reading past them.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "AdapterEmulator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kvx::AdapterEmulator emulator;
    emulator.SetLoopback(true);
    // Copies, so a read past a packet's end shows as an overflow.
    const std::vector<uint8_t> datagram(data, data + size);
    emulator.Handle(datagram.data(), datagram.size(), kvx::AdapterEmulator::Link::Udp);

    std::vector<uint8_t> stream(data, data + size);
    size_t at = 0;
    while (at < stream.size()) {
        const size_t left = stream.size() - at;
        long length = kvx::AdapterEmulator::StreamPacketLength(stream.data() + at, left, false);
        if (length == 0)
            length = kvx::AdapterEmulator::StreamPacketLength(stream.data() + at, left, true);
        if (length == 0) break;
        if (length < 0) {
            ++at;
            continue;
        }
        if (static_cast<size_t>(length) > left) __builtin_trap();
        const std::vector<uint8_t> packet(stream.begin() + at, stream.begin() + at + length);
        emulator.Handle(packet.data(), packet.size(), kvx::AdapterEmulator::Link::Serial);
        at += static_cast<size_t>(length);
    }
    return 0;
}
