// Received frame records, board information and status replies.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "ReplyParser.h"
#include "support/TestSupport.h"

using kvx::ReplyParser;
using kvxtest::FromHex;
using kvxtest::Hex;

namespace {

// A standard data frame (identifier 12 3F, the 3F carrying noise in its low five bits), an
// extended remote frame, then two bytes of a record cut short.
const char* const kReply27 =
    "03 12 3F 01 02 03 04 05 06 07 08 EE EE "
    "C8 AB CD EF 01 F1 F2 F3 F4 F5 F6 F7 F8 "
    "05";

TEST(ReplyParserTest, TwentySevenBytesGiveTwoFrames) {
    const auto reply = FromHex(kReply27);
    ASSERT_EQ(reply.size(), 27u);
    CanFrame frames[3];
    std::memset(frames, 0x5A, sizeof frames);
    EXPECT_EQ(ReplyParser::ParseFrames(reply.data(), reply.size(), frames, 3), 2u);

    EXPECT_EQ(frames[0].extended, 0);
    EXPECT_EQ(frames[0].remote, 0);
    EXPECT_EQ(frames[0].length, 3);
    EXPECT_EQ(Hex(frames[0].id, 4), "12 20 00 00");
    EXPECT_EQ(Hex(frames[0].data, 8), "01 02 03 04 05 06 07 08");

    EXPECT_EQ(frames[1].extended, 1);
    EXPECT_EQ(frames[1].remote, 1);
    EXPECT_EQ(frames[1].length, 8);
    EXPECT_EQ(Hex(frames[1].id, 4), "AB CD EF 01");
    EXPECT_EQ(Hex(frames[1].data, 8), "F1 F2 F3 F4 F5 F6 F7 F8");

    // The third frame and the caller's own bytes stay as they were.
    const auto* third = reinterpret_cast<const uint8_t*>(&frames[2]);
    EXPECT_EQ(std::count(third, third + sizeof(CanFrame), 0x5A), 24);
    EXPECT_EQ(Hex(frames[0].reserved, 6), "5A 5A 5A 5A 5A 5A");
    EXPECT_EQ(Hex(frames[1].reserved2, 3), "5A 5A 5A");
}

TEST(ReplyParserTest, StopsAtCapacity) {
    const auto reply = FromHex(kReply27);
    CanFrame frames[2];
    std::memset(frames, 0x5A, sizeof frames);
    EXPECT_EQ(ReplyParser::ParseFrames(reply.data(), reply.size(), frames, 1), 1u);
    EXPECT_EQ(frames[1].length, 0x5A);
}

TEST(ReplyParserTest, OneByteReplyHasNoFrames) {
    const uint8_t reply[] = {0xAA};
    CanFrame frame{};
    EXPECT_EQ(ReplyParser::ParseFrames(reply, 1, &frame, 1), 0u);
}

TEST(ReplyParserTest, LengthCodeAboveEightMeansEight) {
    const auto record = FromHex("0F 00 20 01 02 03 04 05 06 07 08 00 00");
    CanFrame frame{};
    ReplyParser::ParseRecord(record.data(), &frame);
    EXPECT_EQ(frame.length, 8);
}

TEST(ReplyParserTest, BoardInfoPlacement) {
    uint8_t reply[32];
    for (int i = 0; i < 32; ++i)
        reply[i] = static_cast<uint8_t>(0x40 + i);
    BoardInfo info;
    std::memset(&info, 0, sizeof info);
    ReplyParser::ParseBoardInfo(reply, &info);
    EXPECT_EQ(info.hardwareVersion, 0x4041);
    EXPECT_EQ(info.firmwareVersion, 0x4243);
    EXPECT_EQ(info.libraryVersion, 0x0310);
    EXPECT_EQ(info.interfaceVersion, 0x0510);
    EXPECT_EQ(info.boardOption, 0x4445);
    EXPECT_EQ(info.channelCount, 0x46);
    // reply byte 7 (0x47) is skipped
    EXPECT_EQ(Hex(info.serialNumber, 8), "48 49 4A 4B 4C 4D 4E 4F");
    EXPECT_EQ(Hex(info.boardType, 16), "50 51 52 53 54 55 56 57 58 59 5A 5B 5C 5D 5E 5F");
}

TEST(ReplyParserTest, StatusGetsEightBytesAndAZero) {
    const auto reply = FromHex("01 02 03 04 05 06 07 08");
    CanStatus status;
    std::memset(&status, 0xFF, sizeof status);
    ReplyParser::ParseStatus(reply.data(), &status);
    EXPECT_EQ(Hex(reinterpret_cast<const uint8_t*>(&status), sizeof status),
              "01 02 03 04 05 06 07 08 00 00 00 00");
}

}  // namespace
