// The emulator's packet splitting and replies, straight from packet bytes.

#include <gtest/gtest.h>

#include "AdapterEmulator.h"
#include "support/TestSupport.h"

using kvx::AdapterEmulator;
using kvxtest::FromHex;
using kvxtest::Hex;
using kvxtest::Zeros;

namespace {

struct StreamRow {
    const char* name;
    std::string hex;
    bool quiet;
    long length;
};

// Parameterised cases print as their row name.
void PrintTo(const StreamRow& row, std::ostream* os) {
    *os << row.name;
}

class StreamTest : public testing::TestWithParam<StreamRow> {};

TEST_P(StreamTest, PacketLength) {
    const auto bytes = FromHex(GetParam().hex);
    EXPECT_EQ(AdapterEmulator::StreamPacketLength(bytes.data(), bytes.size(), GetParam().quiet),
              GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(
    Serial, StreamTest,
    testing::Values(StreamRow{"Empty", "", false, 0}, StreamRow{"Garbage", "55 CD 01", false, -1},
                    StreamRow{"HeadOnly", "CD", false, 0},
                    StreamRow{"HeadOnlyQuiet", "CD", true, -1},
                    StreamRow{"StartThenMore", "CD 01 CD 06", false, 2},
                    StreamRow{"InitIncomplete", "CD 02 00 00", false, 0},
                    StreamRow{"Init", "CD 02" + Zeros(14) + " CD", false, 16},
                    StreamRow{"WriteBoard", "CD 09" + Zeros(32), false, 34},
                    StreamRow{"FramePartial", "DD 02 12 34", false, 0},
                    StreamRow{"Frame", "DD 02 12 34" + Zeros(10) + " CD 0B", false, 14},
                    StreamRow{"SetReference2", "CD 05 02 01 02 03 04 CD", false, 7},
                    StreamRow{"SetReference10", "CD 05 0A 01 02 03", false, 6},
                    StreamRow{"SetReferenceZeroWaitsForQuiet", "CD 05 00 07", false, 0},
                    StreamRow{"SetReferenceZeroQuiet", "CD 05 00 07", true, 4},
                    StreamRow{"SetReferenceFifteen", "CD 05 00" + Zeros(15), false, 18},
                    StreamRow{"SetReferenceOther", "CD 05 07 CD 01", false, 3},
                    StreamRow{"UnknownCommand", "CD 77", false, -1}),
    [](const auto& info) { return std::string(info.param.name); });

std::string Reply(AdapterEmulator& emulator, const std::string& hex,
                  AdapterEmulator::Link link = AdapterEmulator::Link::Serial) {
    const auto packet = FromHex(hex);
    return Hex(emulator.Handle(packet.data(), packet.size(), link));
}

TEST(AdapterEmulatorTest, AcknowledgesCommands) {
    AdapterEmulator emulator;
    EXPECT_EQ(Reply(emulator, "CD 01"), "AA");
    EXPECT_TRUE(emulator.Started());
    EXPECT_EQ(Reply(emulator, "CD 0A"), "AA");
    EXPECT_EQ(Reply(emulator, "CD 03"), "AA");
    EXPECT_FALSE(emulator.Started());
    EXPECT_EQ(Reply(emulator, "CD 02 01 02"), "");  // cut short
    EXPECT_EQ(Reply(emulator, "CD"), "");
    EXPECT_EQ(Reply(emulator, "77 01"), "");
}

TEST(AdapterEmulatorTest, OpenIsAnsweredOverUdpOnly) {
    AdapterEmulator emulator;
    EXPECT_EQ(Reply(emulator, "CD 0D" + Zeros(13), AdapterEmulator::Link::Udp), "AA");
    EXPECT_EQ(Reply(emulator, "CD 0D"), "");
    emulator.SetOpenReply({1, 2, 3, 4});
    EXPECT_EQ(Reply(emulator, "CD 0D" + Zeros(13), AdapterEmulator::Link::Udp), "01 02 03 04");
}

TEST(AdapterEmulatorTest, BoardWriteLandsWhereTheReadFindsIt) {
    AdapterEmulator emulator;
    std::string packet = "CD 09 A0 A1 A2 A3 A4 A5 A6";
    for (int i = 0; i < 24; ++i)
        packet += " " + Hex({static_cast<uint8_t>(0xB0 + i)});
    packet += " 00";
    EXPECT_EQ(Reply(emulator, packet), "AA");
    // Reply byte 7 is not in the packet; it keeps its value.
    EXPECT_EQ(Reply(emulator, "CD 08"),
              "A0 A1 A2 A3 A4 A5 A6 00 B0 B1 B2 B3 B4 B5 B6 B7 B8 B9 BA BB BC BD BE BF C0 C1 "
              "C2 C3 C4 C5 C6 C7");
}

TEST(AdapterEmulatorTest, ReferenceBlockLengthFollowsTheLink) {
    AdapterEmulator emulator;
    EXPECT_EQ(Reply(emulator, "CD 05 02 01 02 03 04"), "AA");
    EXPECT_EQ(Reply(emulator, "CD 04"), "01 02 03 04" + Zeros(12));
    EXPECT_EQ(Reply(emulator, "CD 04" + Zeros(13), AdapterEmulator::Link::Udp),
              "01 02 03 04" + Zeros(28));
}

TEST(AdapterEmulatorTest, ReceiveHandsOutQueuedRecords) {
    AdapterEmulator emulator;
    EXPECT_EQ(Reply(emulator, "CD 0B"), "AA");  // nothing waiting
    kvx::EmulatedFrame standard;
    standard.id[0] = 0x12;
    standard.id[1] = 0x20;
    standard.length = 2;
    standard.data[0] = 0xAA;
    standard.data[1] = 0xBB;
    kvx::EmulatedFrame extended;
    extended.extended = true;
    extended.remote = true;
    extended.id[3] = 0x01;
    emulator.QueueFrame(standard);
    emulator.QueueFrame(extended);
    EXPECT_EQ(Reply(emulator, "CD 06"), "00 02 00 00 00 00 00 00");
    EXPECT_EQ(Reply(emulator, "CD 0B"), "02 12 20 AA BB" + Zeros(8) + " C0 00 00 00 01" + Zeros(8));
    EXPECT_EQ(Reply(emulator, "CD 0B"), "AA");
}

TEST(AdapterEmulatorTest, UdpReceiveFitsOneDatagram) {
    AdapterEmulator emulator;
    for (int i = 0; i < 100; ++i)
        emulator.QueueFrame({});
    const auto packet = FromHex("CD 0B" + Zeros(13));
    EXPECT_EQ(emulator.Handle(packet.data(), packet.size(), AdapterEmulator::Link::Udp).size(),
              78u * 13u);
    EXPECT_EQ(emulator.Handle(packet.data(), packet.size(), AdapterEmulator::Link::Udp).size(),
              22u * 13u);
}

TEST(AdapterEmulatorTest, TransmittedFramesAreLoggedAndLoopedBack) {
    AdapterEmulator emulator;
    emulator.SetLoopback(true);
    std::vector<std::string> log;
    emulator.SetFrameSink(
        [&log](const kvx::EmulatedFrame& f) { log.push_back(AdapterEmulator::Describe(f)); });
    EXPECT_EQ(Reply(emulator, "DD 02 12 34 AA BB" + Zeros(8)), "");
    EXPECT_EQ(Reply(emulator, "DD C3 01 02 03 04 09 08 07" + Zeros(5)), "");
    EXPECT_EQ(Reply(emulator, "DD 00 7F E0" + Zeros(10)), "");
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "frame std flags=02 id=12 34 data=AA BB");
    EXPECT_EQ(log[1], "frame ext remote flags=C3 id=01 02 03 04 data=09 08 07");
    EXPECT_EQ(log[2], "frame std flags=00 id=7F E0 data=");
    EXPECT_EQ(Reply(emulator, "CD 0B").substr(0, 14), "02 12 34 AA BB");
    EXPECT_EQ(emulator.Transmitted().size(), 3u);
    // Without history the sink still sees every frame and nothing piles up.
    emulator.SetKeepHistory(false);
    const size_t packets = emulator.Packets().size();
    EXPECT_EQ(Reply(emulator, "DD 01 12 34 CC" + Zeros(9)), "");
    EXPECT_EQ(log.size(), 4u);
    EXPECT_EQ(emulator.Transmitted().size(), 3u);
    EXPECT_EQ(emulator.Packets().size(), packets);
}

}  // namespace
