// The number widget: line command over its box, box from the digits, drawing from ASC16,
// outline-only hit test, moves, tree line, page-file record and clone.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "gfx/Surface.h"
#include "items/CItemBase/ItemChecks.h"
#include "items/CItemNumberWidget.h"
#include "items/DotFont.h"
#include "support/TestFonts.h"

using namespace itemchecks;

namespace {

constexpr COLORREF kPaper = Rgb(10, 20, 30);
constexpr COLORREF kFore = Rgb(200, 0, 0);
constexpr COLORREF kBack = Rgb(0, 0, 120);

CItemNumberWidget Widget(int x1, int y1, int digits, int decimals, int fontSize) {
    CItemNumberWidget w;
    w.m_x1 = x1, w.m_y1 = y1;
    w.m_nDigits = digits, w.m_nDecimals = decimals, w.m_nFontSize = fontSize;
    w.m_crFore = kFore, w.m_crBack = kBack;
    w.UpdateBox();
    return w;
}

// ---------------------------------------------------------------- module command

struct EncodeRow {
    const char* name;
    int x1, y1, x2, y2;
    uint8_t hi, lo;
    const char* hex;
};

void PrintTo(const EncodeRow& row, std::ostream* os) {
    *os << row.name;
}

class NumberWidgetEncode : public testing::TestWithParam<EncodeRow> {};

TEST_P(NumberWidgetEncode, LineOverTheBox) {
    const EncodeRow& r = GetParam();
    CItemNumberWidget w;
    w.m_x1 = r.x1, w.m_y1 = r.y1, w.m_x2 = r.x2, w.m_y2 = r.y2;
    w.m_codeHi = r.hi, w.m_codeLo = r.lo;
    EXPECT_EQ(EncodedHex(w), r.hex);
    CByteArray bytes;
    w.Encode(0, bytes);
    EXPECT_EQ(ToHex(bytes), r.hex) << "the direct stream differs from the flash record";
    EXPECT_EQ(w.GetEncodedLength(), static_cast<int>(bytes.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NumberWidgetEncode,
    testing::Values(
        EncodeRow{"PlacedBox", 10, 20, 42, 36, 0x7, 0xF, "1B 46 7F 0A 00 14 00 2A 00 24 00"},
        EncodeRow{"CodeFromItsNibbles", 0, 0, 1, 0, 0x0, 0x5, "1B 46 05 00 00 00 00 01 00 00 00"},
        EncodeRow{"NegativeAndWide", -1, 2, 70000, 300, 0xF, 0xF,
                  "1B 46 FF FF FF 02 00 70 11 2C 01"},
        EncodeRow{"FlatBoxStillSent", 5, 5, 5, 21, 0x3, 0x1, "1B 46 31 05 00 05 00 05 00 15 00"},
        EncodeRow{"SinglePointSendsNothing", 9, 9, 9, 9, 0x7, 0x7, ""}),
    [](const auto& info) { return info.param.name; });

TEST(NumberWidget, LengthEqualsBytesInRandomStates) {
    std::mt19937 rng(4242);
    std::uniform_int_distribution<int> small(-2, 2), count(-1, 9), font(-1, 5), nib(0, 15);
    std::uniform_int_distribution<int> any(std::numeric_limits<int>::min(),
                                           std::numeric_limits<int>::max());
    for (int i = 0; i < 400; ++i) {
        CItemNumberWidget w;
        const bool near = i % 2 == 0;  // small boxes often collapse to a point
        w.m_x1 = near ? small(rng) : any(rng), w.m_y1 = near ? small(rng) : any(rng);
        w.m_x2 = near ? small(rng) : any(rng), w.m_y2 = near ? small(rng) : any(rng);
        w.m_codeHi = static_cast<uint8_t>(nib(rng)), w.m_codeLo = static_cast<uint8_t>(nib(rng));
        w.m_nDigits = count(rng), w.m_nDecimals = count(rng), w.m_nFontSize = font(rng);
        if (i % 3 == 0) w.UpdateBox();
        CByteArray bytes;
        w.Encode(1, bytes);
        ASSERT_EQ(w.GetEncodedLength(), static_cast<int>(bytes.size()))
            << "state " << i << ": " << ToHex(bytes);
    }
}

// ---------------------------------------------------------------- box from the digits

struct BoxRow {
    const char* name;
    int x1, y1, digits, decimals, fontSize;
    int x2, y2;
};

void PrintTo(const BoxRow& row, std::ostream* os) {
    *os << row.name;
}

class NumberWidgetBox : public testing::TestWithParam<BoxRow> {};

TEST_P(NumberWidgetBox, FollowsDigitsAndCell) {
    const BoxRow& r = GetParam();
    CItemNumberWidget w;
    w.m_x1 = r.x1, w.m_y1 = r.y1, w.m_x2 = 1, w.m_y2 = 1;
    w.m_nDigits = r.digits, w.m_nDecimals = r.decimals, w.m_nFontSize = r.fontSize;
    Surface dc(8, 8, kPaper);
    w.Draw(dc);  // the canvas recomputes the box on every draw
    EXPECT_EQ(w.m_x2, r.x2);
    EXPECT_EQ(w.m_y2, r.y2);
}

constexpr int kMax = std::numeric_limits<int32_t>::max();

INSTANTIATE_TEST_SUITE_P(Rows, NumberWidgetBox,
                         testing::Values(
                             // Six cells: three digits, the point, two decimals.
                             BoxRow{"ThreeDotTwoAt16x16", 0, 0, 3, 2, 1, 96, 16},
                             BoxRow{"FourAt32x16Choice", 10, 5, 4, 0, 3, 138, 37},
                             BoxRow{"TwoAt8x16", -20, -3, 2, 0, 0, -4, 13},
                             BoxRow{"OneDotEightAt16x32", 0, 0, 1, 8, 2, 160, 32},
                             BoxRow{"NoDigitsNoDecimals", 7, 7, 0, 0, 1, 7, 23},
                             BoxRow{"UnknownFontSizeIs8x16", 0, 0, 2, 0, 9, 16, 16},
                             BoxRow{"NegativeDecimalsCountAsNone", 0, 0, 3, -4, 0, 24, 16},
                             BoxRow{"NegativeDigitsCountAsNone", 0, 0, -5, 1, 0, 16, 16},
                             BoxRow{"HugeCountStopsAtTheRangeEnd", 100, kMax - 3, kMax, kMax, 3,
                                    kMax, kMax}),
                         [](const auto& info) { return info.param.name; });

// ---------------------------------------------------------------- drawing

// A made-up ASC16: "0" inks the left half of rows 0..7 and the right half of rows 8..15;
// "." inks only the leftmost column. Every other glyph is blank.
std::vector<uint8_t> TestFont() {
    std::vector<uint8_t> v(4096, 0);
    for (int r = 0; r < 16; ++r) {
        v['0' * 16 + r] = r < 8 ? 0xF0 : 0x0F;
        v['.' * 16 + r] = 0x80;
    }
    return v;
}

class NumberWidgetDraw : public testing::Test {
protected:
    void UseTestFont() { fonts = MakeFonts(TestFont(), {}); }
    void UseNoFont() { fonts = MakeFonts({}, {}); }
    void Draw(CItemNumberWidget& w, Surface& dc) {
        w.m_pFonts = fonts;
        w.Draw(dc);
    }
    std::shared_ptr<const DotFonts> fonts;
};

TEST_F(NumberWidgetDraw, ZerosAndPointInTheirCells) {
    UseTestFont();
    Surface dc(120, 30, kPaper);
    CItemNumberWidget w = Widget(2, 3, 3, 2, 1);  // cells of 16 x 16, glyphs 8 wide
    Draw(w, dc);
    EXPECT_EQ(w.MissingFonts(), 0);
    for (int k = 0; k < 6; ++k) {
        const int x = 2 + 16 * k + 4;
        SCOPED_TRACE("cell " + std::to_string(k));
        if (k == 3) {
            EXPECT_EQ(dc.GetPixel(x, 3), kFore);  // the point's one column
            EXPECT_EQ(dc.GetPixel(x + 1, 3), kBack);
            EXPECT_EQ(dc.GetPixel(x, 18), kFore);
            continue;
        }
        EXPECT_EQ(dc.GetPixel(x, 3), kFore);  // top row, left half ink
        EXPECT_EQ(dc.GetPixel(x + 3, 10), kFore);
        EXPECT_EQ(dc.GetPixel(x + 4, 10), kBack);  // right half of the upper rows
        EXPECT_EQ(dc.GetPixel(x + 4, 11), kFore);  // lower rows: right half
        EXPECT_EQ(dc.GetPixel(x + 7, 18), kFore);
        EXPECT_EQ(dc.GetPixel(x + 3, 11), kBack);
        EXPECT_EQ(dc.GetPixel(x - 1, 3), kBack);   // the 4-pixel lead of the cell
        EXPECT_EQ(dc.GetPixel(x + 8, 18), kBack);  // glyph is half a cell wide
    }
    EXPECT_EQ(dc.GetPixel(2, 3), kBack);
    EXPECT_EQ(dc.GetPixel(97, 18), kBack);  // last pixel of the box
    EXPECT_EQ(dc.GetPixel(98, 18), kPaper);
    EXPECT_EQ(dc.GetPixel(50, 19), kPaper);
    EXPECT_EQ(dc.GetPixel(1, 3), kPaper);
}

TEST_F(NumberWidgetDraw, ThirtyTwoChoiceScalesIntoA32x32Cell) {
    UseTestFont();
    Surface dc(80, 40, kPaper);
    CItemNumberWidget w = Widget(0, 0, 2, 0, 3);  // glyph box 16 x 32, source 8 x 16
    Draw(w, dc);
    EXPECT_EQ(w.m_x2, 64);
    EXPECT_EQ(w.m_y2, 32);
    for (int left : {4, 36}) {
        EXPECT_EQ(dc.GetPixel(left, 0), kFore);
        EXPECT_EQ(dc.GetPixel(left + 7, 15), kFore);  // source rows 0..7 become 0..15
        EXPECT_EQ(dc.GetPixel(left + 8, 15), kBack);
        EXPECT_EQ(dc.GetPixel(left + 7, 16), kBack);
        EXPECT_EQ(dc.GetPixel(left + 8, 16), kFore);
        EXPECT_EQ(dc.GetPixel(left + 15, 31), kFore);
        EXPECT_EQ(dc.GetPixel(left + 16, 31), kBack);
    }
    EXPECT_EQ(dc.GetPixel(63, 31), kBack);
    EXPECT_EQ(dc.GetPixel(64, 31), kPaper);
    EXPECT_EQ(dc.GetPixel(10, 32), kPaper);
}

TEST_F(NumberWidgetDraw, BoxPartlyOffTheSurface) {
    UseTestFont();
    Surface dc(20, 20, kPaper);
    // Thousands of cells to the left and right: only the visible ones are drawn.
    CItemNumberWidget w = Widget(-8 * 1000, 0, 100000, 0, 0);
    Draw(w, dc);
    // An 8 x 16 digit keeps its 8 columns and fills its 8-pixel cell (readable at 1x): the
    // top row (0xF0) inks the cell's left half.
    for (int x = 0; x < 16; x += 8) {
        EXPECT_EQ(dc.GetPixel(x, 0), kFore) << x;
        EXPECT_EQ(dc.GetPixel(x + 3, 0), kFore) << x;
        EXPECT_EQ(dc.GetPixel(x + 4, 0), kBack) << x;
    }
    // The last digit ends at the box's edge, not past it.
    Surface small(20, 20, kPaper);
    CItemNumberWidget two = Widget(0, 0, 2, 0, 0);
    Draw(two, small);
    EXPECT_EQ(small.GetPixel(15, 11), kFore);
    EXPECT_EQ(small.GetPixel(16, 11), kPaper);
}

TEST_F(NumberWidgetDraw, MissingFontToldOncePerDrawNothingDrawn) {
    UseNoFont();
    Surface dc(60, 20, kPaper);
    CItemNumberWidget w = Widget(0, 0, 4, 1, 0);
    Draw(w, dc);
    EXPECT_EQ(w.MissingFonts(), CItemBase::kAsciiFontMissing);
    EXPECT_EQ(w.m_x2, 48);                // the box is still recomputed...
    EXPECT_EQ(dc.GetPixel(4, 0), kBack);  // ...and filled, without digits
    EXPECT_EQ(dc.GetPixel(47, 15), kBack);
    Draw(w, dc);
    EXPECT_EQ(w.MissingFonts(), CItemBase::kAsciiFontMissing) << "again at the next draw";
}

TEST_F(NumberWidgetDraw, NothingToShowNeedsNoFont) {
    UseNoFont();
    Surface dc(20, 20, kPaper);
    CItemNumberWidget w = Widget(0, 0, 0, 0, 0);
    Draw(w, dc);
    EXPECT_EQ(w.MissingFonts(), 0);
}

TEST(NumberWidget, HandlesWithoutOutline) {
    Surface dc(90, 40, kPaper);
    CItemNumberWidget w = Widget(10, 10, 8, 0, 0);  // box 10,10 - 74,26
    w.DrawHandles(dc);
    EXPECT_EQ(w.m_bSelected, 1);
    EXPECT_EQ(dc.GetPixel(10, 10), Rgb(0, 0, 255));  // handle 1
    EXPECT_EQ(dc.GetPixel(42, 18), Rgb(0, 0, 255));  // handle 9
    EXPECT_EQ(dc.GetPixel(77, 29), Rgb(0, 0, 255));  // handle 5
    // Where an outline would run, between the squares of handles 1 and 2 and of 7 and 6.
    for (int x = 14; x < 38; ++x) {
        EXPECT_EQ(dc.GetPixel(x, 9), kPaper) << x;
        EXPECT_EQ(dc.GetPixel(x, 26), kPaper) << x;
    }
}

// ---------------------------------------------------------------- mouse

TEST(NumberWidget, ClickPlacesA32x16BoxThatStays) {
    CItemNumberWidget w(10, 20, Rgb(1, 2, 3));
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(w.OnMouseMove(cursor, 10, 20, 80, 90), 1);
    EXPECT_EQ(w.m_x2, 42);
    EXPECT_EQ(w.m_y2, 36);
    EXPECT_EQ(cursor, CursorShape::Unchanged);
    EXPECT_EQ(w.OnLButtonUp(10, 20), 0);  // released at the press point: kept
    EXPECT_EQ(w.m_x2, 42);
    EXPECT_EQ(w.m_y2, 36);
    EXPECT_EQ(w.m_bCreating, 0);
    EXPECT_EQ(w.m_bDragging, 0);
    EXPECT_EQ(w.m_bModified, 0);
    EXPECT_EQ(w.GetEncodedLength(), 11);
}

struct HitRow {
    const char* name;
    int x, y, want;
};

void PrintTo(const HitRow& row, std::ostream* os) {
    *os << row.name;
}

class NumberWidgetHit : public testing::TestWithParam<HitRow> {};

TEST_P(NumberWidgetHit, OutlineOnly) {
    CItemNumberWidget w = Widget(10, 10, 4, 0, 0);  // box 10,10 - 42,26
    EXPECT_EQ(w.HitTest(GetParam().x, GetParam().y), GetParam().want);
    EXPECT_EQ(w.m_nHandle, GetParam().want);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NumberWidgetHit,
    testing::Values(HitRow{"TopLeftCornerIsBody", 10, 10, 0}, HitRow{"CentreIsBody", 26, 18, 0},
                    HitRow{"BottomRightCornerIsBody", 42, 26, 0},
                    HitRow{"OutlineLeftEdge", 9, 18, 0}, HitRow{"JustLeft", 8, 18, -1},
                    HitRow{"JustAbove", 26, 8, -1}, HitRow{"JustRight", 43, 18, -1},
                    HitRow{"JustBelow", 26, 27, -1},
                    // Inside handle 5's square, outside the outline.
                    HitRow{"NearACornerOutside", 44, 28, -1}),
    [](const auto& info) { return info.param.name; });

TEST(NumberWidget, PressMoveReleaseMovesTheWholeBox) {
    CItemNumberWidget w = Widget(10, 10, 4, 0, 0);
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(w.OnLButtonDown(42, 26), 1);  // the corner: the body, not a handle
    EXPECT_EQ(w.m_nHandle, 0);
    EXPECT_EQ(w.m_bSelected, 1);
    EXPECT_EQ(w.m_bDragging, 1);
    EXPECT_EQ(w.OnMouseMove(cursor, 42, 26, 47, 23), 1);
    EXPECT_EQ(cursor, CursorShape::Unchanged);
    EXPECT_EQ(w.m_x1, 15);
    EXPECT_EQ(w.m_y1, 7);
    EXPECT_EQ(w.m_x2, 47);
    EXPECT_EQ(w.m_y2, 23);
    EXPECT_EQ(w.m_bModified, 1);
    EXPECT_EQ(w.OnLButtonUp(47, 23), 0);
    EXPECT_EQ(w.m_bDragging, 0);
    EXPECT_EQ(w.m_x2, 47);
    // Pressed again while selected: drag without a redraw; outside: deselected.
    EXPECT_EQ(w.OnLButtonDown(20, 20), 0);
    EXPECT_EQ(w.m_bDragging, 1);
    w.OnLButtonUp(20, 20);
    EXPECT_EQ(w.OnLButtonDown(100, 100), 1);
    EXPECT_EQ(w.m_bSelected, 0);
}

TEST(NumberWidget, OnlyTheBodyAndCentreMoveIt) {
    for (int handle : {1, 2, 3, 4, 5, 6, 7, 8, -1}) {
        CItemNumberWidget w = Widget(10, 10, 4, 0, 0);
        w.m_nHandle = handle;
        w.MoveHandle(42, 26, 60, 70);
        EXPECT_EQ(w.m_x1, 10) << handle;
        EXPECT_EQ(w.m_y1, 10) << handle;
        EXPECT_EQ(w.m_x2, 42) << handle;
        EXPECT_EQ(w.m_y2, 26) << handle;
        EXPECT_EQ(w.m_bModified, 1) << handle;
    }
    CItemNumberWidget w = Widget(10, 10, 4, 0, 0);
    w.m_nHandle = 9;
    w.m_bCreating = 1;
    w.MoveHandle(0, 0, -3, 4);
    EXPECT_EQ(w.m_x1, 7);
    EXPECT_EQ(w.m_y2, 30);
    EXPECT_EQ(w.m_bModified, 0) << "a move while creating is no modification";
}

TEST(NumberWidget, HoverCursors) {
    CItemNumberWidget w = Widget(10, 10, 4, 0, 0);
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(w.OnMouseMove(cursor, 0, 0, 10, 10), 0);
    EXPECT_EQ(cursor, CursorShape::Unchanged) << "an unselected item leaves the cursor";
    w.m_bSelected = 1;
    EXPECT_EQ(w.OnMouseMove(cursor, 0, 0, 10, 10), 0);
    EXPECT_EQ(cursor, CursorShape::Move) << "a corner is body, not a resize handle";
    EXPECT_EQ(w.OnMouseMove(cursor, 0, 0, 100, 10), 0);
    EXPECT_EQ(cursor, CursorShape::Cross);
}

// ---------------------------------------------------------------- construction, tree, file

TEST(NumberWidget, ConstructorStates) {
    CItemNumberWidget loaded;
    EXPECT_EQ(loaded.m_nType, 12);
    EXPECT_EQ(loaded.m_nReserved, 1);
    EXPECT_EQ(loaded.m_nDigits, 2);
    EXPECT_EQ(loaded.m_nDecimals, 0);
    EXPECT_EQ(loaded.m_crBack, 0u);
    EXPECT_EQ(loaded.m_backHi, 0);
    EXPECT_EQ(loaded.m_bSelected, 0);
    EXPECT_EQ(loaded.m_bCreating, 0);

    CItemNumberWidget w(-5, 7, Rgb(9, 8, 7));
    EXPECT_EQ(w.m_nType, 12);
    EXPECT_EQ(w.m_x1, -5);
    EXPECT_EQ(w.m_y1, 7);
    EXPECT_EQ(w.m_x2, 27);
    EXPECT_EQ(w.m_y2, 23);
    EXPECT_EQ(w.m_crColor, Rgb(9, 8, 7));
    EXPECT_EQ(w.m_nReserved, 1);
    EXPECT_EQ(w.m_nDigits, 4);
    EXPECT_EQ(w.m_nDecimals + w.m_bLeadingZeros + w.m_nFontSize + w.m_nSign + w.m_nAlign + w.m_nId,
              0);
    EXPECT_EQ(w.m_crFore, Rgb(0, 0, 0));
    EXPECT_EQ(w.m_foreHi + w.m_foreLo, 0);
    EXPECT_EQ(w.m_crBack, Rgb(255, 255, 255));
    EXPECT_EQ(w.m_backHi, 15);
    EXPECT_EQ(w.m_backLo, 15);
    EXPECT_EQ(w.m_nPenWidth, 1);
    EXPECT_EQ(w.m_nHandle, 5);
    EXPECT_EQ(w.m_bDragging, 1);
    EXPECT_EQ(w.m_bCreating, 1);
    EXPECT_EQ(w.m_bSelected, 0);
    EXPECT_EQ(w.m_bModified, 0);
}

TEST(NumberWidget, DescribedAsALine) {
    CItemNumberWidget w = Widget(-3, 4, 3, 2, 1);
    bool checked = true;
    EXPECT_EQ(Description(w, &checked), "直线：起点(-3,4),终点(93,20)");
    EXPECT_FALSE(checked);
    w.m_bSelected = 1;
    Description(w, &checked);
    EXPECT_TRUE(checked);
}

void SetWidgetFields(CItemNumberWidget& w) {
    w.m_nReserved = 1;
    w.m_nDigits = 5, w.m_nDecimals = 3, w.m_bLeadingZeros = 1, w.m_nSign = 1, w.m_nAlign = 1;
    w.m_nId = 300;
    w.m_crFore = Rgb(0x11, 0x22, 0x33), w.m_crBack = Rgb(0x44, 0x55, 0x66);
    w.m_nFontSize = 2;
    w.m_foreHi = 1, w.m_foreLo = 2, w.m_backHi = 3, w.m_backLo = 4;
}

CByteArray HandRecord() {
    return Record("CItemNumberWidget")
        .Int(1)
        .Int(-7)
        .Int(8)
        .Int(90000)
        .Int(-100)
        .Int(5)
        .Int(3)
        .Int(1)
        .Int(1)
        .Int(1)
        .Int(300)
        .Int(0x00332211)
        .Int(0x00665544)
        .Int(2)
        .Byte(1)
        .Byte(2)
        .Byte(3)
        .Byte(4)
        .Bytes();
}

TEST(NumberWidget, StoredRecordMatchesTheFormat) {
    CItemNumberWidget w;
    SetWidgetFields(w);
    w.m_x1 = -7, w.m_y1 = 8, w.m_x2 = 90000, w.m_y2 = -100;
    // Neither the type, the item colour nor the state goes into the record.
    w.m_nType = 99, w.m_crColor = Rgb(1, 1, 1), w.m_codeHi = 7, w.m_bSelected = 1;
    EXPECT_EQ(ToHex(Stored(w)), ToHex(HandRecord()));
}

TEST(NumberWidget, LoadsEveryFieldAndIdles) {
    std::unique_ptr<CItemNumberWidget> w = Load<CItemNumberWidget>(HandRecord());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(ToHex(Stored(*w)), ToHex(HandRecord()));  // every stored field came back
    EXPECT_EQ(w->m_nId, 300);
    EXPECT_EQ(w->m_crBack, Rgb(0x44, 0x55, 0x66));
    EXPECT_EQ(w->m_backLo, 4);
    EXPECT_EQ(w->m_nType, 12);
    EXPECT_EQ(w->m_bCreating, 0);
    EXPECT_EQ(w->m_bSelected, 0);
    EXPECT_EQ(w->m_nHandle, -1);
    // The stored box goes out until the next draw recomputes it: 9 cells of 16 x 32.
    EXPECT_EQ(EncodedHex(*w), "1B 46 00 F9 FF 08 00 90 5F 9C FF");
    Surface dc(4, 4);
    w->Draw(dc);
    EXPECT_EQ(w->m_x2, -7 + 9 * 16);
    EXPECT_EQ(w->m_y2, 8 + 32);
}

TEST(NumberWidget, RoundTripAndTruncatedRecord) {
    CItemNumberWidget w(3, 4, Rgb(5, 6, 7));
    SetWidgetFields(w);
    std::unique_ptr<CItemNumberWidget> back = Load<CItemNumberWidget>(Stored(w));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(ToHex(Stored(*back)), ToHex(Stored(w)));
    EXPECT_EQ(back->m_bCreating, 0);
    EXPECT_EQ(back->m_bDragging, 0);

    CByteArray cut = Stored(w);
    cut.pop_back();
    std::string error;
    EXPECT_EQ(Load<CItemNumberWidget>(cut, &error), nullptr);
    EXPECT_FALSE(error.empty());
}

TEST(NumberWidget, CloneCopiesEveryField) {
    CItemNumberWidget w;
    Scatter(w);
    SetWidgetFields(w);
    w.m_nType = 5;
    std::unique_ptr<CItemBase> copy = w.Clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->ClassName(), "CItemNumberWidget");
    EXPECT_EQ(copy->m_nType, 12);
    w.m_nType = 12;
    ExpectSameItem(w, *copy);
    EXPECT_EQ(copy->m_rcHandles[0], (Rect{10, 21, 134, 145}));
    EXPECT_EQ(copy->m_rcHandles[5], Rect::Around(133, 144));
}

}  // namespace
