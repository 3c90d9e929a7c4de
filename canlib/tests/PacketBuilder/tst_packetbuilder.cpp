// Packets byte for byte, per transport.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "PacketBuilder.h"
#include "support/TestSupport.h"

using kvx::PacketBuilder;
using kvxtest::Hex;
using kvxtest::Zeros;

namespace {

CanFrame MakeFrame(bool extended, bool remote, std::initializer_list<uint8_t> id,
                   std::initializer_list<uint8_t> data) {
    CanFrame frame;
    std::memset(&frame, 0x5A, sizeof frame);  // fields the library must not read
    std::copy(id.begin(), id.end(), frame.id);
    frame.extended = extended;
    frame.remote = remote;
    frame.length = static_cast<uint8_t>(data.size());
    std::copy(data.begin(), data.end(), frame.data);
    return frame;
}

kvx::Bytes FramePacket(uint32_t type, uint8_t channel, const CanFrame& frame) {
    kvx::Bytes packet;
    EXPECT_TRUE(PacketBuilder::Frame(type, channel, frame, &packet));
    return packet;
}

CanInitConfig MakeConfig() {
    CanInitConfig config;
    std::memset(&config, 0xEE, sizeof config);  // offsets 8..11 must not show up
    config.acceptCode = 0x11223344;
    config.acceptMask = 0x55667788;
    config.filter = 0xA1;   // offset 12
    config.timing0 = 0xA2;  // 13
    config.timing1 = 0xA3;  // 14
    config.timing2 = 0xA4;  // 15
    config.mode = 0xA5;     // 16
    config.option = 0xA6;   // 17
    return config;
}

const uint8_t kReference[16] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88,
                                0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xF0, 0xF1};

struct PacketRow {
    const char* name;
    std::function<kvx::Bytes()> build;
    std::string hex;
};

// Parameterised cases print as their row name.
void PrintTo(const PacketRow& row, std::ostream* os) {
    *os << row.name;
}

class PacketTest : public testing::TestWithParam<PacketRow> {};

TEST_P(PacketTest, BytesAreExact) {
    EXPECT_EQ(Hex(GetParam().build()), GetParam().hex);
}

const auto std12 = [] { return MakeFrame(false, false, {0x12, 0x34}, {0xAA, 0xBB}); };
const auto ext12 = [] { return MakeFrame(true, false, {0x12, 0x34, 0x56, 0x78}, {0xAA, 0xBB}); };

INSTANTIATE_TEST_SUITE_P(
    Packets, PacketTest,
    testing::Values(
        PacketRow{"StandardFrameUsb", [] { return FramePacket(2, 0, std12()); },
                  "DD 02 12 34 AA BB" + Zeros(8)},
        PacketRow{"ExtendedFrameUsb", [] { return FramePacket(2, 0, ext12()); },
                  "DD 82 12 34 56 78 AA BB" + Zeros(6)},
        PacketRow{"RemoteFrame",
                  [] {
                      return FramePacket(2, 0, MakeFrame(false, true, {0x12, 0x34}, {}));
                  },
                  "DD 40 12 34" + Zeros(10)},
        PacketRow{"FullFrameSerial",
                  [] {
                      return FramePacket(
                          1, 0,
                          MakeFrame(true, false, {1, 2, 3, 4},
                                    {0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8}));
                  },
                  "DD 88 01 02 03 04 F1 F2 F3 F4 F5 F6 F7 F8"},
        PacketRow{"FrameMultiChannel", [] { return FramePacket(3, 1, std12()); },
                  "DD 01 02 12 34 AA BB" + Zeros(8)},
        PacketRow{"FrameUdp", [] { return FramePacket(4, 0, std12()); },
                  "DD 02 12 34 AA BB" + Zeros(9)},
        PacketRow{"StartSerial", [] { return PacketBuilder::Simple(1, kvx::kCmdStart, 0); },
                  "CD 01"},
        PacketRow{"StartMultiChannel1", [] { return PacketBuilder::Simple(3, kvx::kCmdStart, 1); },
                  "CD 01 01"},
        PacketRow{"StartUdp", [] { return PacketBuilder::Simple(4, kvx::kCmdStart, 0); },
                  "CD 01" + Zeros(13)},
        PacketRow{"ReceiveUsb", [] { return PacketBuilder::Simple(2, kvx::kCmdReceive, 0); },
                  "CD 0B"},
        PacketRow{"InitSerial", [] { return PacketBuilder::InitCan(1, 0, MakeConfig()); },
                  "CD 02 A5 A1 11 22 33 44 55 66 77 88 A2 A3 A4 A6"},
        PacketRow{"InitMultiChannel2", [] { return PacketBuilder::InitCan(3, 2, MakeConfig()); },
                  "CD 02 02 A5 A1 11 22 33 44 55 66 77 88 A2 A3 A4 A6"},
        PacketRow{"InitUdpIsNotPadded", [] { return PacketBuilder::InitCan(4, 0, MakeConfig()); },
                  "CD 02 A5 A1 11 22 33 44 55 66 77 88 A2 A3 A4 A6"},
        PacketRow{"SetReference2Serial",
                  [] { return PacketBuilder::SetReference(1, 0, 2, kReference); },
                  "CD 05 02 11 22 33 44"},
        PacketRow{"SetReference0OneByte",
                  [] { return PacketBuilder::SetReference(2, 0, 0, kReference); }, "CD 05 00 11"},
        PacketRow{"SetReference10ThreeBytes",
                  [] { return PacketBuilder::SetReference(4, 0, 10, kReference); },
                  "CD 05 0A 11 22 33"},
        PacketRow{"SetReference15SentAsZero",
                  [] { return PacketBuilder::SetReference(1, 0, 15, kReference); },
                  "CD 05 00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE F0"},
        PacketRow{"SetReference20MultiChannel",
                  [] { return PacketBuilder::SetReference(3, 1, 20, kReference); },
                  "CD 05 01 14 11 22 33 44"},
        PacketRow{"SetReferenceOtherTakesChannelBytes",
                  [] { return PacketBuilder::SetReference(3, 5, 7, kReference); },
                  "CD 05 05 07 11 22 33 44 55"},
        PacketRow{"ReadBoardInfoSerial", [] { return PacketBuilder::ReadBoardInfo(1); }, "CD 08"},
        PacketRow{"ReadBoardInfoUsb", [] { return PacketBuilder::ReadBoardInfo(2); }, "CD 08 00"},
        PacketRow{"ReadBoardInfoMultiChannel", [] { return PacketBuilder::ReadBoardInfo(3); },
                  "CD 08 00"},
        PacketRow{"ReadBoardInfoUdp", [] { return PacketBuilder::ReadBoardInfo(4); },
                  "CD 08" + Zeros(13)},
        PacketRow{"OpenUdp", [] { return PacketBuilder::OpenUdp(); }, "CD 0D" + Zeros(13)},
        PacketRow{"WriteBoardInfo",
                  [] {
                      BoardInfo info;
                      auto* raw = reinterpret_cast<uint8_t*>(&info);
                      for (size_t i = 0; i < sizeof info; ++i)
                          raw[i] = static_cast<uint8_t>(0x80 + i);
                      info.hardwareVersion = 0x0102;
                      info.firmwareVersion = 0x0304;
                      info.boardOption = 0x0506;
                      return PacketBuilder::WriteBoardInfo(info);
                  },
                  // words at 0, 2, 8 high byte first, byte 10, bytes 11..34, then 00
                  "CD 09 01 02 03 04 05 06 8A 8B 8C 8D 8E 8F 90 91 92 93 94 95 96 97 98 99 9A "
                  "9B 9C 9D 9E 9F A0 A1 A2 00"}),
    [](const testing::TestParamInfo<PacketRow>& info) { return std::string(info.param.name); });

// Lengths of every command by transport: serial / USB one channel / USB several / UDP.
struct LengthRow {
    const char* name;
    std::function<kvx::Bytes(uint32_t type)> build;
    size_t lengths[4];
};

// Parameterised cases print as their row name.
void PrintTo(const LengthRow& row, std::ostream* os) {
    *os << row.name;
}

class LengthTest : public testing::TestWithParam<LengthRow> {};

TEST_P(LengthTest, MatchesTransportTable) {
    for (uint32_t type = 1; type <= 4; ++type)
        EXPECT_EQ(GetParam().build(type).size(), GetParam().lengths[type - 1]) << "type " << type;
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, LengthTest,
    testing::Values(
        LengthRow{"Start",
                  [](uint32_t t) { return PacketBuilder::Simple(t, kvx::kCmdStart, 0); },
                  {2, 2, 3, 15}},
        LengthRow{"Init",
                  [](uint32_t t) { return PacketBuilder::InitCan(t, 0, MakeConfig()); },
                  {16, 16, 17, 16}},
        LengthRow{"Reset",
                  [](uint32_t t) { return PacketBuilder::Simple(t, kvx::kCmdReset, 0); },
                  {2, 2, 3, 15}},
        LengthRow{"GetReference",
                  [](uint32_t t) { return PacketBuilder::Simple(t, kvx::kCmdGetReference, 0); },
                  {2, 2, 3, 15}},
        LengthRow{"SetReference4",
                  [](uint32_t t) { return PacketBuilder::SetReference(t, 0, 6, kReference); },
                  {7, 7, 8, 7}},
        LengthRow{"Status",
                  [](uint32_t t) { return PacketBuilder::Simple(t, kvx::kCmdStatus, 0); },
                  {2, 2, 3, 15}},
        LengthRow{"ReadBoardInfo",
                  [](uint32_t t) { return PacketBuilder::ReadBoardInfo(t); },
                  {2, 3, 3, 15}},
        LengthRow{"WriteBoardInfo",
                  [](uint32_t) { return PacketBuilder::WriteBoardInfo(BoardInfo{}); },
                  {34, 34, 34, 34}},
        LengthRow{"Resume",
                  [](uint32_t t) { return PacketBuilder::Simple(t, kvx::kCmdResume, 0); },
                  {2, 2, 3, 15}},
        LengthRow{"Receive",
                  [](uint32_t t) { return PacketBuilder::Simple(t, kvx::kCmdReceive, 0); },
                  {2, 2, 3, 15}},
        LengthRow{
            "Frame", [](uint32_t t) { return FramePacket(t, 0, ext12()); }, {14, 14, 15, 15}}),
    [](const testing::TestParamInfo<LengthRow>& info) { return std::string(info.param.name); });

TEST(PacketBuilderTest, FrameLongerThanEightBytesIsRefused) {
    CanFrame frame = MakeFrame(false, false, {1, 2}, {1, 2, 3, 4, 5, 6, 7, 8});
    frame.length = 9;
    kvx::Bytes packet{0x42};
    EXPECT_FALSE(PacketBuilder::Frame(2, 0, frame, &packet));
    EXPECT_EQ(Hex(packet), "42");
}

TEST(PacketBuilderTest, FlagsCombineLengthRemoteAndExtended) {
    const CanFrame frame = MakeFrame(true, true, {1, 2, 3, 4}, {9, 9, 9});
    EXPECT_EQ(FramePacket(2, 0, frame)[1], 0xC3);
}

}  // namespace
