// The generated fonts against Unifont's own hex lines, and the builder's parts.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "FontBuilder.h"

namespace {

std::string Hex(const uint8_t* p, size_t n) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The glyph text of a code point as Unifont's file spells it ("" when absent).
std::string UnifontLine(const std::string& code) {
    std::ifstream in(LCD_UNIFONT_HEX);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, code.size() + 1, code + ":") == 0) return line.substr(code.size() + 1);
    }
    return "";
}

// An 8-wide Unifont glyph as a 16 x 16 cell: four blank columns on each side.
std::string Centred(const std::string& hex8) {
    std::string cell;
    for (size_t row = 0; row < 16; ++row) {
        cell += '0';
        cell += hex8[row * 2];
        cell += hex8[row * 2 + 1];
        cell += '0';
    }
    return cell;
}

size_t HzOffset(int b1, int b2) {
    return ((b1 - 0xA1) * 94 + (b2 - 0xA1)) * 32;
}

class GeneratedFonts : public ::testing::Test {
protected:
    void SetUp() override {
        asc = ReadAll(std::string(LCD_FONT_BUILD_DIR) + "/ASC16");
        hzk = ReadAll(std::string(LCD_FONT_BUILD_DIR) + "/hzk16");
        if (asc.empty() || hzk.empty()) GTEST_SKIP() << "fonts not generated (no Unifont)";
    }
    std::vector<uint8_t> asc, hzk;
};

TEST_F(GeneratedFonts, Sizes) {
    EXPECT_EQ(asc.size(), 4096u);
    EXPECT_EQ(hzk.size(), 282752u);
}

struct AsciiRow {
    const char* name;
    int code;
    const char* unifont;  // code point in Unifont's spelling, or null for a blank glyph
};

void PrintTo(const AsciiRow& row, std::ostream* os) {
    *os << row.name;
}

class AsciiGlyphs : public GeneratedFonts, public ::testing::WithParamInterface<AsciiRow> {};

TEST_P(AsciiGlyphs, MatchUnifont) {
    const AsciiRow& row = GetParam();
    const std::string got = Hex(asc.data() + row.code * 16, 16);
    const std::string want = row.unifont ? UnifontLine(row.unifont) : std::string(32, '0');
    ASSERT_EQ(want.size(), 32u);
    EXPECT_EQ(got, want);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AsciiGlyphs,
    ::testing::Values(AsciiRow{"A", 'A', "0041"}, AsciiRow{"Zero", '0', "0030"},
                      AsciiRow{"Tilde", '~', "007E"}, AsciiRow{"Space", ' ', "0020"},
                      AsciiRow{"ControlBlank", 0x1F, nullptr},
                      AsciiRow{"DeleteBlank", 0x7F, nullptr}, AsciiRow{"HighBlank", 0xB0, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

struct HanziRow {
    const char* name;
    int b1, b2;
    const char* unifont;  // null: blank cell
    bool halfWidth;       // Unifont's glyph is 8 wide and must be centred
};

void PrintTo(const HanziRow& row, std::ostream* os) {
    *os << row.name;
}

class HanziGlyphs : public GeneratedFonts, public ::testing::WithParamInterface<HanziRow> {};

TEST_P(HanziGlyphs, MatchUnifont) {
    const HanziRow& row = GetParam();
    const std::string got = Hex(hzk.data() + HzOffset(row.b1, row.b2), 32);
    std::string want(64, '0');
    if (row.unifont) {
        const std::string line = UnifontLine(row.unifont);
        ASSERT_EQ(line.size(), row.halfWidth ? 32u : 64u);
        want = row.halfWidth ? Centred(line) : line;
    }
    EXPECT_EQ(got, want);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HanziGlyphs,
    ::testing::Values(HanziRow{"Ah_B0A1", 0xB0, 0xA1, "554A", false},
                      HanziRow{"FullWidthComma_A3AC", 0xA3, 0xAC, "FF0C", false},
                      HanziRow{"IdeographicComma_A1A2", 0xA1, 0xA2, "3001", false},
                      HanziRow{"FullWidthA_A3C1", 0xA3, 0xC1, "FF21", false},
                      HanziRow{"LastHanzi_F7FE", 0xF7, 0xFE, "9F44", false},
                      HanziRow{"PinyinAMacron_A8A1", 0xA8, 0xA1, "0101", true},
                      HanziRow{"EmptyCell_A2A1", 0xA2, 0xA1, nullptr, false},
                      HanziRow{"EmptyRow_AA", 0xAA, 0xB0, nullptr, false},
                      HanziRow{"LastCell_FEFE", 0xFE, 0xFE, nullptr, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FontBuilderIconv, MapsGb2312CodesAndLeavesEmptyOnes) {
    EXPECT_EQ(FontBuilder::Gb2312ToUnicode(0xB0, 0xA1), 0x554Au);
    EXPECT_EQ(FontBuilder::Gb2312ToUnicode(0xA3, 0xAC), 0xFF0Cu);
    EXPECT_EQ(FontBuilder::Gb2312ToUnicode(0xA2, 0xA1), 0u);
    EXPECT_EQ(FontBuilder::Gb2312ToUnicode(0xAA, 0xA1), 0u);
}

struct LineRow {
    const char* name;
    const char* line;
    bool ok;
    bool stored;
};

void PrintTo(const LineRow& row, std::ostream* os) {
    *os << row.name;
}

class ParseLines : public ::testing::TestWithParam<LineRow> {};

TEST_P(ParseLines, AcceptOrReject) {
    FontBuilder b;
    EXPECT_EQ(b.ParseLine(GetParam().line), GetParam().ok);
    EXPECT_EQ(b.GlyphCount(), GetParam().stored ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseLines,
    ::testing::Values(
        LineRow{"Narrow", "0041:0000000018242442427E424242420000", true, true},
        LineRow{"Wide", "554A:00000EFCEA08AA08AAE8AAA8ACA8AAA8AAA8AAA8EAE8AAA80C08080808280810",
                true, true},
        LineRow{"SixDigitCode", "1F600:0000000018242442427E424242420000", true, true},
        LineRow{"CrlfEnding", "0041:0000000018242442427E424242420000\r", true, true},
        LineRow{"OddDigits", "0041:00000000182424424", false, false},
        LineRow{"OtherWidthSkipped", "0041:000000000000000000000000", true, false},
        LineRow{"WiderGlyphSkipped",
                "0041:0000000000000000000000000000000000000000000000000000000000000000"
                "00000000000000000000000000000000",
                true, false},
        LineRow{"NoColon", "00410000000018242442427E424242420000", false, false},
        LineRow{"ShortCode", "41:0000000018242442427E424242420000", false, false},
        LineRow{"BadDigit", "0041:000000001824244242XE424242420000", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FontBuilderParse, EmptyInputFails) {
    FontBuilder b;
    std::istringstream in("# nothing\n");
    std::string error;
    EXPECT_FALSE(b.ParseHex(in, error));
    EXPECT_FALSE(error.empty());
}

TEST(FontBuilderParse, ReportsTheBadLine) {
    FontBuilder b;
    std::istringstream in("0041:0000000018242442427E424242420000\nrubbish\n");
    std::string error;
    EXPECT_FALSE(b.ParseHex(in, error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
}

TEST(FontBuilderBuild, UsesOnlyPrintableAsciiAndCentresNarrowHanzi) {
    FontBuilder b;
    // A control code with a glyph must stay blank in ASC16.
    ASSERT_TRUE(b.ParseLine("0041:0000000018242442427E424242420000"));
    ASSERT_TRUE(b.ParseLine("0001:FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"));
    // U+0101 is GB2312 A8A1; an 8-wide glyph there is centred in its cell.
    ASSERT_TRUE(b.ParseLine("0101:80808080808080808080808080808001"));
    const std::vector<uint8_t> asc = b.BuildAsc16();
    ASSERT_EQ(asc.size(), 4096u);
    EXPECT_EQ(Hex(asc.data() + 65 * 16, 16), "0000000018242442427E424242420000");
    EXPECT_EQ(Hex(asc.data() + 16, 16), std::string(32, '0'));
    std::vector<uint8_t> hzk;
    std::string error;
    ASSERT_TRUE(b.BuildHzk16(hzk, error)) << error;
    ASSERT_EQ(hzk.size(), 282752u);
    const size_t at = HzOffset(0xA8, 0xA1);
    // Row 0: 0x80 -> bit 4 of the first byte; row 15: 0x01 -> bit 3 of the second.
    std::string want;
    for (int row = 0; row < 15; ++row)
        want += "0800";
    want += "0010";
    EXPECT_EQ(Hex(hzk.data() + at, 32), want);
    size_t inked = 0;
    for (uint8_t v : hzk)
        inked += v != 0;
    EXPECT_EQ(inked, 16u);  // the 16 inked bytes of that one cell, nothing else
}

TEST(FontBuilderWrite, WritesThroughATemporaryFile) {
    const std::string dir = ::testing::TempDir();
    const std::string path = dir + "/mkfonts_out";
    std::string error;
    ASSERT_TRUE(FontBuilder::WriteFile(path, {1, 2, 3}, error)) << error;
    EXPECT_EQ(ReadAll(path), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_FALSE(std::ifstream(path + ".tmp").good());
    std::remove(path.c_str());
    EXPECT_FALSE(FontBuilder::WriteFile(dir + "/no/such/dir/x", {1}, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
