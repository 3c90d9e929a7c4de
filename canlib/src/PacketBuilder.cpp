#include "PacketBuilder.h"

#include <cstring>

namespace kvx {

namespace {

void AppendBigEndian32(Bytes* out, uint32_t value) {
    out->push_back(static_cast<uint8_t>(value >> 24));
    out->push_back(static_cast<uint8_t>(value >> 16));
    out->push_back(static_cast<uint8_t>(value >> 8));
    out->push_back(static_cast<uint8_t>(value));
}

void AppendBigEndian16(Bytes* out, uint16_t value) {
    out->push_back(static_cast<uint8_t>(value >> 8));
    out->push_back(static_cast<uint8_t>(value));
}

}  // namespace

void PacketBuilder::Finish(uint32_t deviceType, uint8_t channel, bool padUdp, Bytes* packet) {
    if (deviceType == kTypeUsbMulti) packet->insert(packet->begin() + 2, channel);
    if (deviceType == kTypeUdp && padUdp && packet->size() < kUdpPacketLength)
        packet->resize(kUdpPacketLength, 0);
}

Bytes PacketBuilder::Simple(uint32_t deviceType, uint8_t code, uint8_t channel) {
    Bytes packet{kCommandHead, code};
    Finish(deviceType, channel, true, &packet);
    return packet;
}

Bytes PacketBuilder::InitCan(uint32_t deviceType, uint8_t channel, const CanInitConfig& config) {
    Bytes packet{kCommandHead, kCmdInit, config.mode, config.filter};
    AppendBigEndian32(&packet, config.acceptCode);
    AppendBigEndian32(&packet, config.acceptMask);
    packet.push_back(config.timing0);
    packet.push_back(config.timing1);
    packet.push_back(config.timing2);
    packet.push_back(config.option);
    Finish(deviceType, channel, false, &packet);
    return packet;
}

size_t PacketBuilder::ReferenceLength(uint32_t refType, uint8_t channel) {
    switch (refType) {
        case 0:
        case 1:
        case 13:
        case 14:
            return 1;
        case 2:
        case 6:
        case 16:
        case 20:
            return 4;
        case 10:
            return 3;
        case 15:
            return 15;
        default:
            return channel;
    }
}

Bytes PacketBuilder::SetReference(uint32_t deviceType, uint8_t channel, uint32_t refType,
                                  const uint8_t* data) {
    const size_t length = ReferenceLength(refType, channel);
    // Type 15 travels as reference byte 0; the adapter tells it apart by its length.
    Bytes packet{kCommandHead, kCmdSetReference, static_cast<uint8_t>(refType == 15 ? 0 : refType)};
    packet.insert(packet.end(), data, data + length);
    Finish(deviceType, channel, false, &packet);
    return packet;
}

Bytes PacketBuilder::ReadBoardInfo(uint32_t deviceType) {
    Bytes packet{kCommandHead, kCmdReadBoardInfo};
    // Both USB kinds send the same three bytes; no channel is involved.
    if (deviceType == kTypeUsbSingle || deviceType == kTypeUsbMulti) packet.push_back(0x00);
    if (deviceType == kTypeUdp) packet.resize(kUdpPacketLength, 0);
    return packet;
}

Bytes PacketBuilder::WriteBoardInfo(const BoardInfo& info) {
    Bytes packet{kCommandHead, kCmdWriteBoardInfo};
    AppendBigEndian16(&packet, info.hardwareVersion);
    AppendBigEndian16(&packet, info.firmwareVersion);
    AppendBigEndian16(&packet, info.boardOption);
    packet.push_back(info.channelCount);
    packet.insert(packet.end(), info.serialNumber, info.serialNumber + sizeof(info.serialNumber));
    packet.insert(packet.end(), info.boardType, info.boardType + sizeof(info.boardType));
    packet.push_back(0x00);
    return packet;
}

Bytes PacketBuilder::OpenUdp() {
    Bytes packet{kCommandHead, kCmdOpen};
    packet.resize(kUdpPacketLength, 0);
    return packet;
}

bool PacketBuilder::Frame(uint32_t deviceType, uint8_t channel, const CanFrame& frame,
                          Bytes* packet) {
    if (frame.length > 8) return false;
    const size_t idLength = frame.extended ? 4 : 2;
    Bytes out{kFrameHead, static_cast<uint8_t>((frame.length & kFlagLengthMask) |
                                               (frame.remote ? kFlagRemote : 0) |
                                               (frame.extended ? kFlagExtended : 0))};
    out.insert(out.end(), frame.id, frame.id + idLength);
    out.insert(out.end(), frame.data, frame.data + frame.length);
    out.resize(kFramePacketLength, 0);
    if (deviceType == kTypeUsbMulti) out.insert(out.begin() + 1, channel);
    if (deviceType == kTypeUdp) out.resize(kUdpPacketLength, 0);
    *packet = std::move(out);
    return true;
}

}  // namespace kvx
