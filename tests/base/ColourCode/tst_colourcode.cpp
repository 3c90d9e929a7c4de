#include <gtest/gtest.h>

#include "base/ColourCode.h"

namespace {

struct ScreenRow {
    const char* name;
    int colours, hi, lo;
    int r, g, b;
};

void PrintTo(const ScreenRow& row, std::ostream* os) {
    *os << row.name;
}

class ColourCodeScreen : public testing::TestWithParam<ScreenRow> {};

TEST_P(ColourCodeScreen, ScreenColourOfCode) {
    const ScreenRow& row = GetParam();
    const COLORREF c = ColourCode::ScreenColour(row.colours, row.hi, row.lo);
    EXPECT_EQ(RedOf(c), row.r);
    EXPECT_EQ(GreenOf(c), row.g);
    EXPECT_EQ(BlueOf(c), row.b);
}

INSTANTIATE_TEST_SUITE_P(Palettes, ColourCodeScreen,
                         testing::Values(ScreenRow{"c8_black", 8, 0, 0, 0, 0, 0},
                                         ScreenRow{"c8_blue", 8, 0, 1, 0, 0, 255},
                                         ScreenRow{"c8_red", 8, 0, 4, 255, 0, 0},
                                         ScreenRow{"c8_yellow", 8, 0, 6, 255, 255, 0},
                                         ScreenRow{"c8_white", 8, 0, 7, 255, 255, 255},
                                         ScreenRow{"c8_outside_grid", 8, 1, 0, 0, 0, 0},
                                         ScreenRow{"c16_white", 16, 0, 15, 255, 255, 255},
                                         ScreenRow{"c16_silver", 16, 0, 7, 192, 192, 192},
                                         ScreenRow{"c16_grey", 16, 0, 8, 128, 128, 128},
                                         ScreenRow{"c16_maroon", 16, 0, 4, 128, 0, 0},
                                         ScreenRow{"c64_white", 64, 7, 7, 255, 255, 255},
                                         ScreenRow{"c64_low_red", 64, 0, 1, 73, 0, 0},
                                         ScreenRow{"c64_high_red", 64, 1, 0, 182, 0, 0},
                                         ScreenRow{"c64_high_green", 64, 2, 0, 0, 182, 0},
                                         ScreenRow{"c64_blue_levels", 64, 4, 4, 0, 0, 255},
                                         ScreenRow{"c64_low_blue", 64, 0, 4, 0, 0, 85},
                                         ScreenRow{"c256_white", 256, 15, 15, 255, 255, 255},
                                         ScreenRow{"c256_0x24", 256, 2, 4, 36, 36, 0},
                                         ScreenRow{"c256_0xE0", 256, 14, 0, 255, 0, 0},
                                         ScreenRow{"c256_0x1C", 256, 1, 12, 0, 255, 0},
                                         ScreenRow{"c256_0x03", 256, 0, 3, 0, 0, 255},
                                         ScreenRow{"c256_0x40", 256, 4, 0, 73, 0, 0},
                                         ScreenRow{"unknown_count", 32, 0, 1, 0, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct DefaultRow {
    int colours;
    bool known;
    int hi, lo;
};

void PrintTo(const DefaultRow& row, std::ostream* os) {
    *os << row.colours << "_colours";
}

class ColourCodeDefault : public testing::TestWithParam<DefaultRow> {};

TEST_P(ColourCodeDefault, HighestCodeOfTheColourCount) {
    const DefaultRow& row = GetParam();
    uint8_t hi = 9, lo = 9;
    EXPECT_EQ(ColourCode::DefaultDrawCode(row.colours, hi, lo), row.known);
    EXPECT_EQ(hi, row.hi);
    EXPECT_EQ(lo, row.lo);
    if (row.known) {
        EXPECT_EQ(ColourCode::ScreenColour(row.colours, hi, lo), Rgb(255, 255, 255));
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, ColourCodeDefault,
                         testing::Values(DefaultRow{8, true, 0, 7}, DefaultRow{16, true, 0, 15},
                                         DefaultRow{64, true, 7, 7}, DefaultRow{256, true, 15, 15},
                                         DefaultRow{14, false, 9, 9}));

TEST(ColourCode, DisplayForms) {
    EXPECT_EQ(ColourCode::DialogForm(0, 5), "0X05");
    EXPECT_EQ(ColourCode::TreeForm(0, 5), "05");
    EXPECT_EQ(ColourCode::DialogForm(7, 15), "0X7F");
    EXPECT_EQ(ColourCode::TreeForm(15, 10), "FA");
    EXPECT_EQ(ColourCode::Byte(3, 5), 0x35);
}

TEST(ColourCode, GridShapes) {
    EXPECT_EQ(ColourCode::Rows(8) * ColourCode::Columns(8), 8);
    EXPECT_EQ(ColourCode::Rows(16) * ColourCode::Columns(16), 16);
    EXPECT_EQ(ColourCode::Rows(64) * ColourCode::Columns(64), 64);
    EXPECT_EQ(ColourCode::Rows(256) * ColourCode::Columns(256), 256);
    EXPECT_EQ(ColourCode::CellSize(256), 8);
    EXPECT_EQ(ColourCode::CellSize(64), 16);
}

}  // namespace
