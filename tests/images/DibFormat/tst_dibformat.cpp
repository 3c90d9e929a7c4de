#include <gtest/gtest.h>

#include "images/DibFormat.h"

namespace {

struct RowBytesRow {
    int bits;
    int width;
    int64_t bytes;
};

void PrintTo(const RowBytesRow& row, std::ostream* os) {
    *os << row.bits << "bit_width" << row.width;
}

class DibRowBytes : public testing::TestWithParam<RowBytesRow> {};
TEST_P(DibRowBytes, PaddedToFourBytes) {
    EXPECT_EQ(DibFormat::RowBytes(GetParam().bits, GetParam().width), GetParam().bytes);
}
INSTANTIATE_TEST_SUITE_P(Rows, DibRowBytes,
                         testing::Values(RowBytesRow{1, 1, 4}, RowBytesRow{1, 32, 4},
                                         RowBytesRow{1, 33, 8}, RowBytesRow{4, 9, 8},
                                         RowBytesRow{8, 5, 8}, RowBytesRow{16, 3, 8},
                                         RowBytesRow{24, 4, 12}, RowBytesRow{24, 5, 16},
                                         RowBytesRow{32, 3, 12}, RowBytesRow{8, 0, 0}));

struct SizeRow {
    const char* name;
    int64_t width, height;
    int bits;
    int64_t bytes;  // -1: refused
    bool message;
};

void PrintTo(const SizeRow& row, std::ostream* os) {
    *os << row.name;
}

class DibCheckSize : public testing::TestWithParam<SizeRow> {};
TEST_P(DibCheckSize, Limits) {
    const SizeRow& row = GetParam();
    std::string message;
    EXPECT_EQ(DibFormat::CheckSize(row.width, row.height, row.bits, message), row.bytes);
    EXPECT_EQ(!message.empty(), row.message) << message;
}
INSTANTIATE_TEST_SUITE_P(Rows, DibCheckSize,
                         testing::Values(SizeRow{"camera_64mp", 9248, 6936, 24, 192432384, false},
                                         SizeRow{"wider_than_16384", 16385, 1, 8, -1, true},
                                         SizeRow{"higher_than_16384", 1, 16385, 8, -1, true},
                                         SizeRow{"at_the_limit", 16384, 4096, 8, 67108864, false},
                                         SizeRow{"one_row_over", 16384, 4097, 8, -1, true},
                                         SizeRow{"zero_width", 0, 5, 8, -1, false},
                                         SizeRow{"negative_height", 5, -1, 8, -1, false},
                                         SizeRow{"huge_claim", int64_t{1} << 40, int64_t{1} << 40,
                                                 32, -1, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DibFormat, PixelColourOfEachDepth) {
    std::vector<RgbQuad> table(256);
    table[1] = RgbQuad{3, 2, 1, 0};
    table[5] = RgbQuad{30, 20, 10, 0};
    const uint8_t oneBit[] = {0x40};  // pixel 1 set
    EXPECT_EQ(DibFormat::PixelColour(oneBit, 1, 1, table), Rgb(1, 2, 3));
    EXPECT_EQ(DibFormat::PixelColour(oneBit, 0, 1, table), Rgb(0, 0, 0));
    const uint8_t fourBit[] = {0x15};  // pixels 1, 5
    EXPECT_EQ(DibFormat::PixelColour(fourBit, 1, 4, table), Rgb(10, 20, 30));
    const uint8_t sixteen[] = {0x00, 0x7C};  // 555 red
    EXPECT_EQ(DibFormat::PixelColour(sixteen, 0, 16, table), Rgb(255, 0, 0));
    const uint8_t bgr[] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(DibFormat::PixelColour(bgr, 1, 24, table), Rgb(6, 5, 4));
    const uint8_t bgrx[] = {1, 2, 3, 0, 7, 8, 9, 0};
    EXPECT_EQ(DibFormat::PixelColour(bgrx, 1, 32, table), Rgb(9, 8, 7));
    // An index past a short table is black, never a read past it.
    const std::vector<RgbQuad> shortTable(2, RgbQuad{9, 9, 9, 0});
    const uint8_t index5[] = {5};
    EXPECT_EQ(DibFormat::PixelColour(index5, 0, 8, shortTable), Rgb(0, 0, 0));
}

TEST(DibFormat, HeaderPacksLittleEndian) {
    BitmapInfoHeader h;
    h.width = 0x01020304;
    h.height = -2;
    h.bitCount = 24;
    h.clrUsed = 7;
    uint8_t bytes[40];
    h.Pack(bytes);
    EXPECT_EQ(bytes[0], 40);
    EXPECT_EQ(bytes[4], 0x04);
    EXPECT_EQ(bytes[7], 0x01);
    EXPECT_EQ(bytes[8], 0xFE);
    EXPECT_EQ(bytes[11], 0xFF);
    EXPECT_EQ(bytes[14], 24);
    EXPECT_EQ(bytes[32], 7);
    const BitmapInfoHeader back = BitmapInfoHeader::Unpack(bytes);
    EXPECT_EQ(back.width, h.width);
    EXPECT_EQ(back.height, -2);
    EXPECT_EQ(back.clrUsed, 7u);
}

}  // namespace
