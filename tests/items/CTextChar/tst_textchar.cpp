// One text character: its size, its glyph load and its scaled drawing.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "base/ByteArray.h"
#include "gfx/Surface.h"
#include "items/CTextChar.h"
#include "items/DotFont.h"
#include "support/TestFonts.h"

namespace {

constexpr COLORREF kBlack = Rgb(0, 0, 0);
constexpr COLORREF kRed = Rgb(255, 0, 0);
constexpr COLORREF kWhite = Rgb(255, 255, 255);

// The fonts of one test, made from bytes (empty: the font is missing).
class FontFiles {
public:
    FontFiles(const std::vector<uint8_t>& asc, const std::vector<uint8_t>& hz)
        : fonts(MakeFonts(asc, hz)) {}
    std::shared_ptr<const DotFonts> fonts;
};

// Byte k of a file: shows in a glyph where it was read from.
std::vector<uint8_t> Ramp(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t k = 0; k < n; ++k)
        v[k] = static_cast<uint8_t>(k * 7 + k / 256);
    return v;
}

// Every 8 x 16 glyph: row r has one dot at column (r * 3) % 8; every 16 x 16 glyph: one
// dot per row at column (r * 5) % 16. Neither pattern is symmetric, so a flipped, shifted
// or mis-scaled glyph shows.
bool AsciiDot(int row, int col) {
    return col == (row * 3) % 8;
}
bool HanziDot(int row, int col) {
    return col == (row * 5) % 16;
}

std::vector<uint8_t> PatternAscii() {
    std::vector<uint8_t> v(4096);
    for (size_t g = 0; g < 256; ++g) {
        for (int r = 0; r < 16; ++r)
            v[g * 16 + r] = static_cast<uint8_t>(0x80 >> ((r * 3) % 8));
    }
    return v;
}

std::vector<uint8_t> PatternHanzi() {
    std::vector<uint8_t> v(282752);
    for (size_t g = 0; g < 94 * 94; ++g) {
        for (int r = 0; r < 16; ++r) {
            const int col = (r * 5) % 16;
            v[g * 32 + r * 2 + col / 8] = static_cast<uint8_t>(0x80 >> (col % 8));
        }
    }
    return v;
}

CTextChar Ascii(uint8_t code, int hmag = 1, int vmag = 1) {
    CTextChar c;
    c.m_lead = code;
    c.m_nHMag = hmag;
    c.m_nVMag = vmag;
    c.m_crColor = kRed;
    return c;
}

CTextChar Hanzi(uint8_t first, uint8_t second, int hmag = 1, int vmag = 1) {
    CTextChar c = Ascii(first, hmag, vmag);
    c.m_trail = second;
    c.m_bDouble = 1;
    return c;
}

struct SizeRow {
    const char* name;
    bool isDouble;
    int hmag, vmag, cellW, cellH;
    int64_t width, height;
};

void PrintTo(const SizeRow& row, std::ostream* os) {
    *os << row.name;
}

class LayoutSize : public ::testing::TestWithParam<SizeRow> {};

TEST_P(LayoutSize, FromCellAndMagnification) {
    const SizeRow& r = GetParam();
    const CTextChar c = r.isDouble ? Hanzi(0xB0, 0xA1, r.hmag, r.vmag) : Ascii('A', r.hmag, r.vmag);
    EXPECT_EQ(c.LayoutWidth(r.cellW), r.width);
    EXPECT_EQ(c.LayoutHeight(r.cellH), r.height);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LayoutSize,
    ::testing::Values(SizeRow{"Ascii1x1", false, 1, 1, 16, 16, 8, 16},
                      SizeRow{"Ascii3x1", false, 3, 1, 16, 16, 24, 16},
                      SizeRow{"Ascii1x2", false, 1, 2, 16, 16, 8, 32},
                      SizeRow{"Hanzi2x2", true, 2, 2, 16, 16, 32, 32},
                      SizeRow{"AsciiOddCellHalvesFirst", false, 3, 1, 15, 15, 21, 15},
                      SizeRow{"HanziOddCell", true, 3, 1, 15, 15, 45, 15},
                      SizeRow{"HugeMagnificationNoOverflow", true, 2000000000, 2000000000, 16, 16,
                              32000000000LL, 32000000000LL}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CTextChar, LoadsTheGlyphFromItsOffsetAndCachesIt) {
    const std::vector<uint8_t> asc = Ramp(4096), hz = Ramp(282752);
    {
        FontFiles files(asc, hz);
        CTextChar a = Ascii('A');
        CTextChar ah = Hanzi(0xB0, 0xA1);
        ASSERT_EQ(a.LoadGlyph(*files.fonts), CTextChar::GlyphState::Loaded);
        ASSERT_EQ(ah.LoadGlyph(*files.fonts), CTextChar::GlyphState::Loaded);
        EXPECT_TRUE(a.m_bGlyphLoaded);
        EXPECT_EQ(ToHex(CByteArray(a.m_glyphAsc, a.m_glyphAsc + 16)),
                  ToHex(CByteArray(&asc[1040], &asc[1056])));
        EXPECT_EQ(ToHex(CByteArray(ah.m_glyphHz, ah.m_glyphHz + 32)),
                  ToHex(CByteArray(&hz[45120], &hz[45152])));
        // Cached: the font going away later does not matter to this character.
        EXPECT_EQ(a.LoadGlyph(*MakeFonts({}, {})), CTextChar::GlyphState::Loaded);
        EXPECT_EQ(a.m_glyphAsc[0], asc[1040]);
    }
}

TEST(CTextChar, MissingFontLeavesTheCacheEmpty) {
    FontFiles files({}, {});
    CTextChar a = Ascii('A');
    CTextChar ah = Hanzi(0xB0, 0xA1);
    EXPECT_EQ(a.LoadGlyph(*files.fonts), CTextChar::GlyphState::FontMissing);
    EXPECT_EQ(ah.LoadGlyph(*files.fonts), CTextChar::GlyphState::FontMissing);
    EXPECT_FALSE(a.m_bGlyphLoaded);
    EXPECT_FALSE(ah.m_bGlyphLoaded);
}

TEST(CTextChar, CodesOutsideTheFileOrGridAreBlank) {
    // A file cut after the first glyph rows: anything later must read as blank.
    std::vector<uint8_t> hz = Ramp(45130);
    FontFiles files(Ramp(100), hz);
    struct {
        CTextChar c;
        size_t inside;
    } cases[] = {{Hanzi(0xB0, 0xA1), 10},
                 {Hanzi(0xF7, 0xFE), 0},
                 {Hanzi(0x81, 0x40), 0},
                 {Hanzi(0xB0, 0x0D), 0}};
    for (auto& k : cases) {
        std::fill(std::begin(k.c.m_glyphHz), std::end(k.c.m_glyphHz), 0xCC);
        ASSERT_EQ(k.c.LoadGlyph(*files.fonts), CTextChar::GlyphState::Loaded);
        for (size_t i = 0; i < 32; ++i) {
            EXPECT_EQ(k.c.m_glyphHz[i], i < k.inside ? hz[45120 + i] : 0) << i;
        }
    }
    CTextChar a = Ascii('A');  // ASC16 of 100 bytes: glyph 65 lies past the end
    ASSERT_EQ(a.LoadGlyph(*files.fonts), CTextChar::GlyphState::Loaded);
    EXPECT_EQ(ToHex(CByteArray(a.m_glyphAsc, a.m_glyphAsc + 16)), ToHex(CByteArray(16, 0)));
}

struct DrawRow {
    const char* name;
    bool isDouble;
    int hmag, vmag;
};

void PrintTo(const DrawRow& row, std::ostream* os) {
    *os << row.name;
}

class GlyphScaling : public ::testing::TestWithParam<DrawRow> {};

// With whole-number magnifications every source dot becomes an hmag x vmag block.
TEST_P(GlyphScaling, EveryDotBecomesABlock) {
    const DrawRow& r = GetParam();
    FontFiles files(PatternAscii(), PatternHanzi());
    CTextChar c = r.isDouble ? Hanzi(0xB0, 0xA1, r.hmag, r.vmag) : Ascii('A', r.hmag, r.vmag);
    c.m_x = 5;
    c.m_y = 7;
    ASSERT_EQ(c.LoadGlyph(*files.fonts), CTextChar::GlyphState::Loaded);
    Surface s(120, 120, kBlack);
    c.DrawGlyph(s, 16, 16);
    const int srcW = r.isDouble ? 16 : 8;
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 120; ++x) {
            const int dx = x - 5, dy = y - 7;
            bool ink = false;
            if (dx >= 0 && dy >= 0 && dx < srcW * r.hmag && dy < 16 * r.vmag) {
                ink = r.isDouble ? HanziDot(dy / r.vmag, dx / r.hmag)
                                 : AsciiDot(dy / r.vmag, dx / r.hmag);
            }
            ASSERT_EQ(s.GetPixel(x, y), ink ? kRed : kBlack) << "(" << x << "," << y << ")";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GlyphScaling,
    ::testing::Values(DrawRow{"Ascii1x1", false, 1, 1}, DrawRow{"Ascii2x1", false, 2, 1},
                      DrawRow{"Ascii1x2", false, 1, 2}, DrawRow{"Ascii3x1", false, 3, 1},
                      DrawRow{"Hanzi1x1", true, 1, 1}, DrawRow{"Hanzi2x2", true, 2, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CTextChar, ShrunkCellSkipsSourceRowsAndColumns) {
    // A cell of 8 x 8 draws a Hanzi in 8 x 8: column c takes source column 2c and row r
    // source row 2r.
    FontFiles files(PatternAscii(), PatternHanzi());
    CTextChar c = Hanzi(0xB0, 0xA1);
    ASSERT_EQ(c.LoadGlyph(*files.fonts), CTextChar::GlyphState::Loaded);
    Surface s(20, 20, kBlack);
    c.DrawGlyph(s, 8, 8);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool ink = x < 8 && y < 8 && HanziDot(2 * y, 2 * x);
            EXPECT_EQ(s.GetPixel(x, y), ink ? kRed : kBlack) << x << "," << y;
        }
    }
}

TEST(CTextChar, HighlightInvertsTheWholeBox) {
    FontFiles files(PatternAscii(), PatternHanzi());
    CTextChar c = Ascii('A', 2, 1);
    c.m_x = 3, c.m_y = 2;
    c.m_bHighlight = 1;
    ASSERT_EQ(c.LoadGlyph(*files.fonts), CTextChar::GlyphState::Loaded);
    Surface s(40, 40, kBlack);
    c.DrawGlyph(s, 16, 16);
    const COLORREF inverted = Rgb(0, 255, 255);  // red XOR white
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const int dx = x - 3, dy = y - 2;
            COLORREF want = kBlack;
            if (dx >= 0 && dx < 16 && dy >= 0 && dy < 16) {
                want = AsciiDot(dy, dx / 2) ? inverted : kWhite;
            }
            ASSERT_EQ(s.GetPixel(x, y), want) << x << "," << y;
        }
    }
}

TEST(CTextChar, DrawsOnlyTheVisiblePartOfAnyBox) {
    FontFiles files(PatternAscii(), PatternHanzi());
    // Half off the top-left corner.
    CTextChar c = Hanzi(0xB0, 0xA1, 2, 2);
    c.m_x = -9, c.m_y = -11;
    ASSERT_EQ(c.LoadGlyph(*files.fonts), CTextChar::GlyphState::Loaded);
    Surface s(30, 30, kBlack);
    c.DrawGlyph(s, 16, 16);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 30; ++x) {
            const int dx = x + 9, dy = y + 11;
            const bool ink = dx < 32 && dy < 32 && HanziDot(dy / 2, dx / 2);
            ASSERT_EQ(s.GetPixel(x, y), ink ? kRed : kBlack) << x << "," << y;
        }
    }
    // A magnification of a million is drawn in no time: only the surface is visited.
    CTextChar huge = Ascii('A', 1000000, 1000000);
    ASSERT_EQ(huge.LoadGlyph(*files.fonts), CTextChar::GlyphState::Loaded);
    Surface t(16, 16, kBlack);
    huge.DrawGlyph(t, 16, 16);
    // Source row 0 (dot at column 0) covers the whole surface's left edge.
    EXPECT_EQ(t.GetPixel(0, 15), kRed);
    EXPECT_EQ(t.GetPixel(15, 0), kRed);
}

TEST(CTextChar, EmptyBoxesDrawNothing) {
    FontFiles files(PatternAscii(), PatternHanzi());
    Surface s(20, 20, kBlack);
    CTextChar a = Ascii('A');
    ASSERT_EQ(a.LoadGlyph(*files.fonts), CTextChar::GlyphState::Loaded);
    a.DrawGlyph(s, 1, 16);  // half of a one-pixel cell is no column at all
    CTextChar z = Ascii('A', 0, 1);
    z.LoadGlyph(*files.fonts);
    z.DrawGlyph(s, 16, 16);
    CTextChar neg = Hanzi(0xB0, 0xA1, -2, 1);
    neg.LoadGlyph(*files.fonts);
    neg.DrawGlyph(s, 16, 16);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(s.GetPixel(x, y), kBlack);
    }
}

TEST(CTextChar, UnloadedGlyphIsNotDrawn) {
    Surface s(20, 20, kBlack);
    CTextChar a = Ascii('A');
    std::fill(std::begin(a.m_glyphAsc), std::end(a.m_glyphAsc), 0xFF);  // not marked loaded
    a.DrawGlyph(s, 16, 16);
    EXPECT_EQ(s.GetPixel(0, 0), kBlack);
}

struct TextRow {
    const char* name;
    CTextChar c;
    const char* utf8;
};

void PrintTo(const TextRow& row, std::ostream* os) {
    *os << row.name;
}

class Utf8Text : public ::testing::TestWithParam<TextRow> {};

TEST_P(Utf8Text, AsTheTreeShowsIt) {
    EXPECT_EQ(GetParam().c.Utf8(), GetParam().utf8);
}

CTextChar Return() {
    return Ascii(13);
}

INSTANTIATE_TEST_SUITE_P(Rows, Utf8Text,
                         ::testing::Values(TextRow{"Ascii", Ascii('A'), "A"},
                                           TextRow{"Hanzi", Hanzi(0xB0, 0xA1), "啊"},
                                           TextRow{"FullWidthComma", Hanzi(0xA3, 0xAC), "，"},
                                           TextRow{"Return", Return(), "\r"},
                                           TextRow{"BrokenPair", Hanzi(0xB0, 0x0D), "?"},
                                           TextRow{"ControlByte", Ascii(5), "?"},
                                           TextRow{"HighByte", Ascii(0xB0), "?"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CTextChar, OnlyASingleByteThirteenIsALineBreak) {
    EXPECT_TRUE(Ascii(13).IsReturn());
    EXPECT_FALSE(Hanzi(13, 0xA1).IsReturn());
    EXPECT_FALSE(Ascii(10).IsReturn());
}

}  // namespace
