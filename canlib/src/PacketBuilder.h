#pragma once
// Builds the command and frame packets of each transport: type 3 carries the channel byte,
// UDP pads payload-less commands to 15 bytes.

#include "Protocol.h"
#include "kvx_can.h"

namespace kvx {

class PacketBuilder {
public:
    // Start, reset, get reference, status, resume and receive: no payload.
    static Bytes Simple(uint32_t deviceType, uint8_t code, uint8_t channel);
    static Bytes InitCan(uint32_t deviceType, uint8_t channel, const CanInitConfig& config);
    // Payload bytes a SetReference of this reference type takes from the caller.
    static size_t ReferenceLength(uint32_t refType, uint8_t channel);
    // data must hold ReferenceLength(refType, channel) bytes.
    static Bytes SetReference(uint32_t deviceType, uint8_t channel, uint32_t refType,
                              const uint8_t* data);
    static Bytes ReadBoardInfo(uint32_t deviceType);
    static Bytes WriteBoardInfo(const BoardInfo& info);
    static Bytes OpenUdp();
    // False (packet untouched) when the frame claims more than 8 data bytes.
    static bool Frame(uint32_t deviceType, uint8_t channel, const CanFrame& frame, Bytes* packet);

private:
    static void Finish(uint32_t deviceType, uint8_t channel, bool padUdp, Bytes* packet);
};

}  // namespace kvx
