#include <gtest/gtest.h>

#include "images/PixelCodes.h"

namespace {

struct CodeRow {
    const char* name;
    uint8_t r, g, b;
    int code;
};

void PrintTo(const CodeRow& row, std::ostream* os) {
    *os << row.name;
}

class ColourTo8 : public testing::TestWithParam<CodeRow> {};
TEST_P(ColourTo8, ThreeBits) {
    const CodeRow& row = GetParam();
    EXPECT_EQ(PixelCodes::ColourTo8(row.r, row.g, row.b), row.code);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, ColourTo8,
    testing::Values(CodeRow{"black", 0, 0, 0, 0}, CodeRow{"white", 255, 255, 255, 7},
                    CodeRow{"red_at_127", 127, 0, 0, 1}, CodeRow{"red_at_126", 126, 0, 0, 0},
                    CodeRow{"green_at_127", 0, 127, 0, 2}, CodeRow{"blue_at_127", 0, 0, 127, 4},
                    CodeRow{"cyan", 0, 200, 255, 6}),
    [](const auto& info) { return std::string(info.param.name); });

class ColourTo64 : public testing::TestWithParam<CodeRow> {};
TEST_P(ColourTo64, TwoLevelsPerChannel) {
    const CodeRow& row = GetParam();
    EXPECT_EQ(PixelCodes::ColourTo64(row.r, row.g, row.b), row.code);
}
INSTANTIATE_TEST_SUITE_P(
    Thresholds, ColourTo64,
    testing::Values(
        // Red steps at 37, 128 and 219 (its lower step is 36, not 42).
        CodeRow{"red_36", 36, 0, 0, 0x00}, CodeRow{"red_37", 37, 0, 0, 0x01},
        CodeRow{"red_127", 127, 0, 0, 0x01}, CodeRow{"red_128", 128, 0, 0, 0x10},
        CodeRow{"red_218", 218, 0, 0, 0x10}, CodeRow{"red_219", 219, 0, 0, 0x11},
        CodeRow{"green_42", 0, 42, 0, 0x00}, CodeRow{"green_43", 0, 43, 0, 0x02},
        CodeRow{"green_127", 0, 127, 0, 0x02}, CodeRow{"green_128", 0, 128, 0, 0x20},
        CodeRow{"green_218", 0, 218, 0, 0x20}, CodeRow{"green_219", 0, 219, 0, 0x22},
        // Blue's upper step is 213, not 219.
        CodeRow{"blue_42", 0, 0, 42, 0x00}, CodeRow{"blue_43", 0, 0, 43, 0x04},
        CodeRow{"blue_127", 0, 0, 127, 0x04}, CodeRow{"blue_128", 0, 0, 128, 0x40},
        CodeRow{"blue_212", 0, 0, 212, 0x40}, CodeRow{"blue_213", 0, 0, 213, 0x44},
        CodeRow{"white", 255, 255, 255, 0x77}, CodeRow{"mixed", 100, 200, 250, 0x65}),
    [](const auto& info) { return std::string(info.param.name); });

class ColourTo256 : public testing::TestWithParam<CodeRow> {};
TEST_P(ColourTo256, ThreeThreeTwo) {
    const CodeRow& row = GetParam();
    EXPECT_EQ(PixelCodes::ColourTo256(row.r, row.g, row.b), row.code);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, ColourTo256,
    testing::Values(CodeRow{"white", 255, 255, 255, 0xFF}, CodeRow{"black", 0, 0, 0, 0x00},
                    CodeRow{"r6_g3_b1", 200, 100, 50, 0xCD},
                    // A remainder of exactly half the step does not round up.
                    CodeRow{"red_18", 18, 0, 0, 0x00}, CodeRow{"red_19", 19, 0, 0, 0x20},
                    CodeRow{"red_54", 54, 0, 0, 0x20}, CodeRow{"red_55", 55, 0, 0, 0x40},
                    CodeRow{"green_19", 0, 19, 0, 0x04}, CodeRow{"blue_42", 0, 0, 42, 0x00},
                    CodeRow{"blue_43", 0, 0, 43, 0x01}, CodeRow{"blue_127", 0, 0, 127, 0x01},
                    CodeRow{"blue_128", 0, 0, 128, 0x02}),
    [](const auto& info) { return std::string(info.param.name); });

class ColourTo565 : public testing::TestWithParam<CodeRow> {};
TEST_P(ColourTo565, SixteenBits) {
    const CodeRow& row = GetParam();
    EXPECT_EQ(PixelCodes::ColourTo565(row.r, row.g, row.b), row.code);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, ColourTo565,
    testing::Values(CodeRow{"white", 255, 255, 255, 0xFFFF}, CodeRow{"red", 255, 0, 0, 0xF800},
                    CodeRow{"green", 0, 255, 0, 0x07E0}, CodeRow{"blue", 0, 0, 255, 0x001F},
                    // 128 * 31 / 255 = 15, 128 * 63 / 255 = 31
                    CodeRow{"grey_128", 128, 128, 128, 0x7BEF},
                    // 9 * 31 / 255 = 1, 5 * 63 / 255 = 1
                    CodeRow{"small", 9, 5, 9, 0x0821}, CodeRow{"truncated", 8, 4, 8, 0x0000}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
