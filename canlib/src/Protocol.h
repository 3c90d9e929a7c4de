#pragma once
// Bytes and numbers of the adapter wire protocol shared by the library and the emulator.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvx {

using Bytes = std::vector<uint8_t>;

// Device types: the first argument of the exported calls.
enum DeviceType : uint32_t {
    kTypeSerial = 1,
    kTypeUsbSingle = 2,
    kTypeUsbMulti = 3,
    kTypeUdp = 4,
    kTypeMarkOnlyFirst = 5,
    kTypeMarkOnlyLast = 10,
};

enum CommandCode : uint8_t {
    kCmdStart = 0x01,
    kCmdInit = 0x02,
    kCmdReset = 0x03,
    kCmdGetReference = 0x04,
    kCmdSetReference = 0x05,
    kCmdStatus = 0x06,
    kCmdReadBoardInfo = 0x08,
    kCmdWriteBoardInfo = 0x09,
    kCmdResume = 0x0A,
    kCmdReceive = 0x0B,
    kCmdOpen = 0x0D,
};

constexpr uint8_t kCommandHead = 0xCD;
constexpr uint8_t kFrameHead = 0xDD;
constexpr uint8_t kAck = 0xAA;

constexpr uint8_t kFlagRemote = 0x40;
constexpr uint8_t kFlagExtended = 0x80;
constexpr uint8_t kFlagLengthMask = 0x0F;

constexpr size_t kFramePacketLength = 14;  // serial and single-channel USB
constexpr size_t kUdpPacketLength = 15;    // payload-less commands are padded to this
constexpr size_t kRecordLength = 13;       // one received frame record
constexpr size_t kBoardInfoReplyLength = 32;
constexpr size_t kBoardInfoPacketLength = 34;
constexpr size_t kStatusReplyLength = 8;
constexpr size_t kReferenceReplyLength = 16;     // serial and USB
constexpr size_t kReferenceReplyLengthUdp = 32;  // UDP
constexpr size_t kReceiveBufferSize = 3000;
constexpr size_t kMaxDatagram = 1024;

}  // namespace kvx
