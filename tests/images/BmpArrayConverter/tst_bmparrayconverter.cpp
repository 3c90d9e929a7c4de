#include <gtest/gtest.h>

#include "images/BmpArrayConverter.h"
#include "images/CBmpObj/BmpFixtures.h"

using namespace bmptest;

namespace {

TEST(BmpArrayText, ThreeBytes) {
    EXPECT_EQ(BmpArrayConverter::FormatText({0x12, 0x34, 0x56}), "{\r\n0x12, 0x34, 0x56 }");
}

TEST(BmpArrayText, NineBytesBreakBeforeTheNinth) {
    EXPECT_EQ(BmpArrayConverter::FormatText({0, 1, 2, 3, 4, 5, 6, 7, 0xAB}),
              "{\r\n0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, \r\n0xAB }");
}

TEST(BmpArrayText, NoBytesGiveTheBraceOnly) {
    EXPECT_EQ(BmpArrayConverter::FormatText({}), "{");
}

struct ControlRow {
    const char* name;
    int control;
    uint8_t in, out;
};

void PrintTo(const ControlRow& row, std::ostream* os) {
    *os << row.name;
}
class BmpArrayControl : public testing::TestWithParam<ControlRow> {};
TEST_P(BmpArrayControl, BitsFiveAndTwo) {
    CByteArray bytes{GetParam().in};
    BmpArrayConverter::ApplyControl(bytes, GetParam().control);
    EXPECT_EQ(bytes[0], GetParam().out);
}
INSTANTIATE_TEST_SUITE_P(
    Modes, BmpArrayControl,
    testing::Values(ControlRow{"cover_00", BmpArrayConverter::kCover, 0x00, 0x24},
                    ControlRow{"cover_FF", BmpArrayConverter::kCover, 0xFF, 0xFF},
                    ControlRow{"or_FF", BmpArrayConverter::kOr, 0xFF, 0xDB},
                    ControlRow{"and_00", BmpArrayConverter::kAnd, 0x00, 0x04},
                    ControlRow{"xor_00", BmpArrayConverter::kXor, 0x00, 0x20},
                    ControlRow{"none_keeps", BmpArrayConverter::kNoControl, 0x5A, 0x5A}),
    [](const auto& info) { return std::string(info.param.name); });

class BmpArrayConvert : public BmpObjTest {
protected:
    std::string Picture() {
        return Bmp24File("p.bmp", 2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
    }
};

TEST_F(BmpArrayConvert, EightColoursAt320x234) {
    CByteArray bytes;
    BmpArrayConverter::Options o;
    o.width = 320;
    o.height = 234;
    o.colours = 8;
    EXPECT_EQ(BmpArrayConverter::Convert(Picture(), o, bytes, messages), 160 * 234);
    ASSERT_EQ(bytes.size(), 160u * 234);
    // Top-left quarter red (1), top-right green (2), bottom-left blue (4), white (7).
    EXPECT_EQ(bytes[0], 0x11);
    EXPECT_EQ(bytes[159], 0x22);
    EXPECT_EQ(bytes[160 * 233], 0x44);
    EXPECT_EQ(bytes.back(), 0x77);
}

TEST_F(BmpArrayConvert, OriginalSize) {
    CByteArray bytes;
    BmpArrayConverter::Options o;
    o.colours = 256;
    EXPECT_EQ(BmpArrayConverter::Convert(Picture(), o, bytes, messages), 4);
    EXPECT_EQ(ToHex(bytes), "E0 1C 03 FF");
}

TEST_F(BmpArrayConvert, SixteenBitChoiceAndTheBoardsByteOrder) {
    CByteArray bytes;
    BmpArrayConverter::Options o;
    o.colours = 16;
    EXPECT_EQ(BmpArrayConverter::Convert(Picture(), o, bytes, messages), 8);
    EXPECT_EQ(ToHex(bytes), "F8 00 07 E0 00 1F FF FF");
    // Every other choice converts with 8-bit pixels, even on the 16-bit board.
    bytes.clear();
    o.colours = 64;
    o.boardType = 1;
    EXPECT_EQ(BmpArrayConverter::Convert(Picture(), o, bytes, messages), 4);
    EXPECT_EQ(ToHex(bytes), "11 22 44 77");
    bytes.clear();
    o.colours = 14;
    BmpArrayConverter::Convert(Picture(), o, bytes, messages);
    EXPECT_EQ(ToHex(bytes), "00 F8 E0 07 1F 00 FF FF");
}

TEST_F(BmpArrayConvert, ControlBitsOnlyAtSixtyFourColours) {
    CByteArray bytes;
    BmpArrayConverter::Options o;
    o.colours = 64;
    o.control = BmpArrayConverter::kCover;
    BmpArrayConverter::Convert(Picture(), o, bytes, messages);
    EXPECT_EQ(ToHex(bytes), "35 26 64 77");
    bytes.clear();
    o.colours = 256;
    BmpArrayConverter::Convert(Picture(), o, bytes, messages);
    EXPECT_EQ(ToHex(bytes), "E0 1C 03 FF");
}

TEST_F(BmpArrayConvert, UnloadablePictureOrChoice) {
    MessageRecorder messages;
    CByteArray bytes;
    BmpArrayConverter::Options o;
    EXPECT_EQ(BmpArrayConverter::Convert(dir.File("missing.bmp"), o, bytes, messages), -1);
    EXPECT_EQ(messages.messages.size(), 1u);
    o.colours = 32;
    EXPECT_EQ(BmpArrayConverter::Convert(Picture(), o, bytes, messages), -1);
    EXPECT_TRUE(bytes.empty());
}

}  // namespace
