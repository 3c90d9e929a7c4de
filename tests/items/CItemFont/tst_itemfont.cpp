// The text item: module commands, layout, caret, typing, deleting, mouse, tree lines,
// page-file record, clone and drawing.

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "base/Archive.h"
#include "base/ClassRegistry.h"
#include "base/GbkCodec.h"
#include "gfx/Surface.h"
#include "items/CItemFont.h"
#include "items/DotFont.h"
#include "support/TestFonts.h"

namespace {

constexpr COLORREF kBlack = Rgb(0, 0, 0);
constexpr COLORREF kRed = Rgb(255, 0, 0);
constexpr COLORREF kGreen = Rgb(0, 255, 0);
constexpr COLORREF kWhite = Rgb(255, 255, 255);
constexpr COLORREF kBlue = Rgb(0, 0, 255);

// A text box dragged out from (x1, y1) to (x2, y2) and released: ready for typing.
CItemFont Box(int x1, int y1, int x2, int y2, COLORREF colour = kRed) {
    CItemFont t(x1, y1, colour);
    CursorShape cursor = CursorShape::Unchanged;
    t.OnMouseMove(cursor, x1, y1, x2, y2);
    EXPECT_EQ(t.OnLButtonUp(x2, y2), 0);
    return t;
}

// Types UTF-8 text as the canvas delivers it: GBK bytes one by one, a redraw (layout)
// after each. "\r" is the Enter key.
void Type(CItemFont& t, const std::string& utf8, uint8_t code = 0x07) {
    std::string gbk;
    ASSERT_TRUE(GbkCodec::FromUtf8(utf8, gbk)) << utf8;
    for (char ch : gbk) {
        t.InsertChar(static_cast<uint8_t>(ch), code & 15, code >> 4);
        t.LayoutAndDraw(nullptr, 16, 16);
    }
}

std::string Encoded(CItemFont& t) {
    CByteArray bytes;
    t.Encode(1, bytes);
    return ToHex(bytes);
}

// The characters as their code bytes: "41 B0A1 0D".
std::string Codes(const CItemFont& t) {
    std::string s;
    for (const CTextChar& c : t.m_arrChars) {
        if (!s.empty()) s += ' ';
        CByteArray b{c.m_lead};
        if (c.m_bDouble) b.push_back(c.m_trail);
        std::string h = ToHex(b);
        h.erase(std::remove(h.begin(), h.end(), ' '), h.end());
        s += h;
    }
    return s;
}

std::vector<Point> Positions(const CItemFont& t) {
    std::vector<Point> p;
    for (const CTextChar& c : t.m_arrChars)
        p.push_back(Point{c.m_x, c.m_y});
    return p;
}

// Every 8 x 16 glyph: row r has one dot at column (r * 3) % 8; every 16 x 16 glyph: one
// dot per row at column (r * 5) % 16.
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

// The fonts of one test, made from bytes (an empty vector: that font is missing).
class FontTest : public ::testing::Test {
protected:
    void UseFonts(const std::vector<uint8_t>& asc, const std::vector<uint8_t>& hz) {
        fonts = MakeFonts(asc, hz);
    }
    std::shared_ptr<const DotFonts> fonts;
};

// ---------------------------------------------------------------------------------------
// Module commands

struct EncodeRow {
    const char* name;
    std::function<void(CItemFont&)> build;  // on a box whose first character lands at
                                            // (10, 20) unless the row moves the box
    const char* hex;
};

void PrintTo(const EncodeRow& row, std::ostream* os) {
    *os << row.name;
}

class Encoding : public ::testing::TestWithParam<EncodeRow> {};

TEST_P(Encoding, ByteExactAndLengthAgrees) {
    CItemFont t = Box(9, 20, 300, 200);
    GetParam().build(t);
    EXPECT_EQ(Encoded(t), GetParam().hex);
    CByteArray direct;
    t.Encode(0, direct);
    EXPECT_EQ(ToHex(direct), GetParam().hex) << "the direct stream sends the same text";
    EXPECT_EQ(t.GetEncodedLength(), static_cast<int>(direct.size()));
}

void MoveBox(CItemFont& t, int x1, int y1, int x2, int y2) {
    t.m_x1 = x1, t.m_y1 = y1, t.m_x2 = x2, t.m_y2 = y2;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Encoding,
    ::testing::Values(
        EncodeRow{"TwoAsciiCharacters", [](CItemFont& t) { Type(t, "AB"); },
                  "1B 48 0A 00 14 00 1B 43 07 1B 4D 51 1B 24 41 42"},
        EncodeRow{"RowZeroSendsNoPosition",
                  [](CItemFont& t) {
                      MoveBox(t, 9, 0, 300, 200);
                      Type(t, "AB");
                  },
                  "1B 43 07 1B 4D 51 1B 24 41 42"},
        EncodeRow{"HanziThenAscii", [](CItemFont& t) { Type(t, "啊A"); },
                  "1B 48 0A 00 14 00 1B 43 07 1B 4D 51 1B 23 B0 A1 1B 24 41"},
        EncodeRow{"KindSwitchesOnlyOnChange", [](CItemFont& t) { Type(t, "A啊啊BC"); },
                  "1B 48 0A 00 14 00 1B 43 07 1B 4D 51 1B 24 41 1B 23 B0 A1 B0 A1 1B 24 42 43"},
        EncodeRow{"Magnification3x1",
                  [](CItemFont& t) {
                      t.m_nHMag = 3, t.m_nVMag = 1;
                      Type(t, "A");
                  },
                  "1B 48 0A 00 14 00 1B 43 07 1B 4D 55 03 01 1B 24 41"},
        EncodeRow{"MagnificationForms",
                  [](CItemFont& t) {
                      t.m_nHMag = 2, t.m_nVMag = 1;
                      Type(t, "A");
                      t.m_nHMag = 1, t.m_nVMag = 2;
                      Type(t, "B");
                      t.m_nHMag = 2, t.m_nVMag = 2;
                      Type(t, "C");
                      t.m_nHMag = 1, t.m_nVMag = 1;
                      Type(t, "D");
                      t.m_nHMag = 4, t.m_nVMag = 3;
                      Type(t, "E");
                  },
                  "1B 48 0A 00 14 00 1B 43 07 1B 4D 52 1B 24 41 1B 4D 53 1B 24 42 1B 4D 54 1B 24 "
                  "43 1B 4D 51 1B 24 44 1B 4D 55 04 03 1B 24 45"},
        EncodeRow{"LineBreakSendsNothingButTheNextPosition", [](CItemFont& t) { Type(t, "A\rB"); },
                  "1B 48 0A 00 14 00 1B 43 07 1B 4D 51 1B 24 41 1B 48 0A 00 24 00 1B 24 42"},
        EncodeRow{"ScreenColourChangeSendsColour",
                  [](CItemFont& t) {
                      Type(t, "A", 0x04);
                      t.m_crColor = kGreen;
                      Type(t, "B", 0x02);
                  },
                  "1B 48 0A 00 14 00 1B 43 04 1B 4D 51 1B 24 41 1B 43 02 1B 24 42"},
        EncodeRow{"CodeChangeAloneSendsNoColour",
                  [](CItemFont& t) {
                      Type(t, "A", 0x04);
                      Type(t, "B", 0x02);
                  },
                  "1B 48 0A 00 14 00 1B 43 04 1B 4D 51 1B 24 41 42"},
        EncodeRow{"WrapSendsAPosition",
                  [](CItemFont& t) {
                      MoveBox(t, 0, 0, 30, 100);
                      Type(t, "ABCD");
                  },
                  "1B 43 07 1B 4D 51 1B 24 41 42 43 1B 48 01 00 10 00 1B 24 44"},
        EncodeRow{"CoordinatesCutTo16Bits",
                  [](CItemFont& t) {
                      MoveBox(t, -11, 70000, 300, 70100);
                      Type(t, "A");
                  },
                  "1B 48 F6 FF 70 11 1B 43 07 1B 4D 51 1B 24 41"},
        EncodeRow{"Empty", [](CItemFont&) {}, ""},
        EncodeRow{"OnlyLineBreaks", [](CItemFont& t) { Type(t, "\r\r"); }, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CItemFontEncode, LengthAgreesInEveryState) {
    std::mt19937 rng(20240611);
    CItemFont t = Box(5, 5, 90, 200);
    const uint8_t keys[] = {'A', 'z', ' ', 0xB0, 0xA1, 0xD6, 0xD0, 0x0D, 0x08, 0x09, 0xFF, 0x80};
    const COLORREF colours[] = {kRed, kGreen, kWhite};
    for (int step = 0; step < 400; ++step) {
        switch (rng() % 7) {
            case 0:
            case 1:
            case 2:
                t.InsertChar(keys[rng() % std::size(keys)], rng() % 16, rng() % 16);
                break;
            case 3:
                t.m_nHMag = 1 + static_cast<int>(rng() % 4);
                t.m_nVMag = 1 + static_cast<int>(rng() % 4);
                t.m_crColor = colours[rng() % 3];
                break;
            case 4:
                t.HighlightRange(rng() % 100, rng() % 200, rng() % 100, rng() % 200);
                if (rng() % 2) t.DeleteChar(static_cast<int>(rng() % 2));
                break;
            case 5:
                t.PlaceCaret(rng() % 100, rng() % 200);
                break;
            default:
                t.LayoutAndDraw(nullptr, 16, 16);
                break;
        }
        CByteArray bytes;
        t.Encode(1, bytes);
        ASSERT_EQ(t.GetEncodedLength(), static_cast<int>(bytes.size())) << "step " << step;
    }
}

// ---------------------------------------------------------------------------------------
// Layout

TEST(CItemFontLayout, WrapsAtTheFrameAndGrowsIt) {
    CItemFont t = Box(0, 0, 40, 10);
    Type(t, "ABCDEF");
    // 8 pixels per character from x = 1; E would end at 41, past the frame's 40.
    EXPECT_EQ(Positions(t),
              (std::vector<Point>{{1, 0}, {9, 0}, {17, 0}, {25, 0}, {1, 16}, {9, 16}}));
    EXPECT_EQ(t.m_y2, 32);
    EXPECT_EQ(t.m_nCellHeight, 16);
    const CItemFont::Caret c = t.GetCaret();
    EXPECT_TRUE(c.visible);
    EXPECT_EQ(c.x, 17);
    EXPECT_EQ(c.y, 16);
    EXPECT_EQ(c.height, 16);
}

TEST(CItemFontLayout, HanziTakeAFullCell) {
    CItemFont t = Box(0, 0, 40, 10);
    Type(t, "啊啊啊");
    EXPECT_EQ(Positions(t), (std::vector<Point>{{1, 0}, {17, 0}, {1, 16}}));
}

TEST(CItemFontLayout, LineBreakStepsByTheTallestCharacter) {
    CItemFont t = Box(0, 0, 200, 10);
    Type(t, "A");
    t.m_nHMag = 1, t.m_nVMag = 2;
    Type(t, "B");
    t.m_nVMag = 1;
    Type(t, "\rC");
    EXPECT_EQ(Positions(t)[3], (Point{1, 32}));
}

TEST(CItemFontLayout, WrapTakesTheLineFactorFromTheHorizontalMagnification) {
    CItemFont t = Box(0, 0, 40, 10);
    Type(t, "ABCD");
    t.m_nHMag = 2, t.m_nVMag = 1;
    Type(t, "E");  // 16 wide at x = 33: wraps to y = 16, line factor 2
    Type(t, "\r");
    // The layout leaves its last line factor in the current vertical magnification.
    EXPECT_EQ(t.m_nVMag, 2);
    t.m_nHMag = 1, t.m_nVMag = 1;
    Type(t, "F");
    const auto p = Positions(t);
    EXPECT_EQ(p[4], (Point{1, 16}));
    EXPECT_EQ(p[6], (Point{1, 48})) << "the line after the wrap is two cells high";
    // The frame grows by each overflowing character's height.
    EXPECT_EQ(t.m_y2, 48);
}

TEST(CItemFontLayout, TrailingLineBreakLeavesRoomAndPutsTheCaretOnTheNewLine) {
    CItemFont t = Box(30, 40, 200, 50);
    Type(t, "A\r");
    EXPECT_EQ(t.m_y2, 40 + 32);
    EXPECT_EQ(t.m_xCaret, 30);
    EXPECT_EQ(t.m_yCaret, 56);
}

TEST(CItemFontLayout, CaretInsideTakesThePreviousCharactersMagnification) {
    CItemFont t = Box(0, 0, 200, 10);
    t.m_nHMag = 1, t.m_nVMag = 2;
    Type(t, "A");
    t.m_nHMag = 3, t.m_nVMag = 1;
    Type(t, "BC");
    t.m_nCaret = 1;
    t.LayoutAndDraw(nullptr, 16, 16);
    EXPECT_EQ(t.m_xCaret, 9);
    EXPECT_EQ(t.m_yCaret, 0);
    EXPECT_EQ(t.m_nCaretHeight, 32);
    EXPECT_EQ(t.m_nHMag, 1);
    t.m_nCaret = 0;
    t.LayoutAndDraw(nullptr, 16, 16);
    EXPECT_EQ(t.m_xCaret, 1);
    EXPECT_EQ(t.m_nCaretHeight, 32) << "at index 0 the first character's";
}

TEST(CItemFontLayout, CellSizeScalesPositions) {
    CItemFont t = Box(0, 0, 300, 10);
    Type(t, "A啊B");
    t.LayoutAndDraw(nullptr, 32, 24);
    EXPECT_EQ(Positions(t), (std::vector<Point>{{1, 0}, {17, 0}, {49, 0}}));
    EXPECT_EQ(t.m_nCellHeight, 24);
    EXPECT_EQ(t.m_y2, 24);
}

TEST(CItemFontLayout, EmptyTextKeepsFrameAndCaret) {
    CItemFont t = Box(10, 20, 100, 80);
    t.LayoutAndDraw(nullptr, 16, 16);
    EXPECT_EQ(t.m_y2, 80);
    EXPECT_EQ(t.m_xCaret, 11);
    EXPECT_EQ(t.m_yCaret, 21);
}

TEST(CItemFontLayout, HugeMagnificationsDoNotOverflow) {
    CItemFont t = Box(0, 0, 100, 10);
    t.m_nHMag = 2000000000, t.m_nVMag = 2000000000;
    Type(t, "AB");
    EXPECT_EQ(t.m_y2, INT32_MAX);
    CByteArray bytes;
    t.Encode(1, bytes);
    EXPECT_EQ(t.GetEncodedLength(), static_cast<int>(bytes.size()));
}

struct CellRow {
    int view, logical, want;
};

void PrintTo(const CellRow& row, std::ostream* os) {
    *os << "view" << row.view << "_logical" << row.logical;
}

class CellSizes : public ::testing::TestWithParam<CellRow> {};

TEST_P(CellSizes, RoundedHalfDown) {
    EXPECT_EQ(CItemFont::CellSize(GetParam().view, GetParam().logical), GetParam().want);
}

INSTANTIATE_TEST_SUITE_P(Rows, CellSizes,
                         ::testing::Values(CellRow{320, 320, 16}, CellRow{640, 320, 32},
                                           CellRow{330, 320, 16},  // 16.5 rounds down
                                           CellRow{331, 320, 17}, CellRow{309, 320, 15},
                                           CellRow{0, 320, 0}, CellRow{320, 0, 16}));

// ---------------------------------------------------------------------------------------
// Caret placement and highlighting

struct CaretRow {
    const char* name;
    int px, py;
    int index, x, y, height, hmag;
    COLORREF colour;
};

void PrintTo(const CaretRow& row, std::ostream* os) {
    *os << row.name;
}

class PlaceCaretRows : public ::testing::TestWithParam<CaretRow> {};

// A at (1, 0) 1x1 red; B at (9, 0) 2x2 green (16 x 32).
CItemFont TwoCharacters() {
    CItemFont t = Box(0, 0, 200, 10, kRed);
    Type(t, "A");
    t.m_crColor = kGreen;
    t.m_nHMag = 2, t.m_nVMag = 2;
    Type(t, "B");
    t.m_crColor = kBlue;
    t.m_nHMag = t.m_nVMag = 3;
    t.m_yCaret = 777;
    return t;
}

TEST_P(PlaceCaretRows, NearestCharacterEdge) {
    const CaretRow& r = GetParam();
    CItemFont t = TwoCharacters();
    EXPECT_EQ(t.PlaceCaret(r.px, r.py), r.index);
    EXPECT_EQ(t.m_nCaret, r.index);
    EXPECT_EQ(t.m_xCaret, r.x);
    EXPECT_EQ(t.m_yCaret, r.y);
    EXPECT_EQ(t.m_nCaretHeight, r.height);
    EXPECT_EQ(t.m_nHMag, r.hmag);
    EXPECT_EQ(t.m_crColor, r.colour);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlaceCaretRows,
    ::testing::Values(CaretRow{"LeftHalfOfFirst", 2, 3, 0, 1, 0, 16, 1, kRed},
                      CaretRow{"RightHalfOfFirstKeepsRow", 6, 3, 1, 9, 777, 16, 1, kRed},
                      CaretRow{"LeftHalfOfSecondTakesFirstsLook", 10, 20, 1, 9, 0, 32, 1, kRed},
                      CaretRow{"RightHalfOfSecond", 20, 20, 2, 25, 777, 32, 2, kGreen},
                      CaretRow{"TopEdgeOfRightHalfMisses", 5, 0, 2, 25, 0, 32, 3, kBlue},
                      CaretRow{"FarAwayGoesToTheEnd", 300, 300, 2, 25, 0, 32, 3, kBlue}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CItemFontCaret, EmptyTextPutsTheCaretAtTheCorner) {
    CItemFont t = Box(10, 20, 100, 80);
    t.m_nHMag = 3;
    EXPECT_EQ(t.PlaceCaret(50, 50), 0);
    EXPECT_EQ(t.m_xCaret, 10);
    EXPECT_EQ(t.m_yCaret, 20);
    EXPECT_EQ(t.m_nHMag, 1);
}

TEST(CItemFontCaret, HighlightRangeCoversTheCharactersBetween) {
    CItemFont t = Box(0, 0, 200, 10);
    Type(t, "ABCDE");  // A at 1, B 9, C 17, D 25, E 33
    auto marks = [&t] {
        std::string s;
        for (const CTextChar& c : t.m_arrChars)
            s += c.m_bHighlight ? '#' : '.';
        return s;
    };
    t.HighlightRange(2, 5, 26, 5);
    EXPECT_EQ(marks(), "###..");
    EXPECT_EQ(t.m_nCaret, 3) << "the caret ends at the second point";
    t.HighlightRange(26, 5, 2, 5);
    EXPECT_EQ(marks(), "###..");
    EXPECT_EQ(t.m_nCaret, 0);
    t.HighlightRange(14, 5, 14, 5);
    EXPECT_EQ(marks(), ".....");
    t.HighlightRange(14, 5, 300, 300);
    EXPECT_EQ(marks(), "..###");
}

// ---------------------------------------------------------------------------------------
// Typing

struct TypingRow {
    const char* name;
    std::vector<uint8_t> bytes;
    std::vector<int> results;
    const char* codes;
    bool expectLead;
};

void PrintTo(const TypingRow& row, std::ostream* os) {
    *os << row.name;
}

class Typing : public ::testing::TestWithParam<TypingRow> {};

TEST_P(Typing, ByteStateMachine) {
    const TypingRow& r = GetParam();
    CItemFont t = Box(0, 0, 300, 10);
    std::vector<int> results;
    for (uint8_t b : r.bytes)
        results.push_back(t.InsertChar(b, 7, 0));
    EXPECT_EQ(results, r.results);
    EXPECT_EQ(Codes(t), r.codes);
    EXPECT_EQ(t.m_bExpectLead != 0, r.expectLead);
    EXPECT_EQ(t.m_nCaret, static_cast<int>(t.m_arrChars.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Typing,
    ::testing::Values(
        TypingRow{"HanziThenAscii", {0xB0, 0xA1, 0x41}, {0, 1, 1}, "B0A1 41", true},
        TypingRow{"PendingFirstByte", {0xB0}, {0}, "", false},
        TypingRow{"StrayTrailByteIgnored", {0x80, 0x41}, {1, 1}, "41", true},
        TypingRow{"ByteFFIgnored", {0xFF}, {1}, "", true},
        TypingRow{"ControlBytesIgnored", {0x01, 0x1B, 0x09, 0x41}, {1, 1, 1, 1}, "41", true},
        TypingRow{"DelIgnored", {0x7F}, {1}, "", true},
        TypingRow{"Return", {0x41, 0x0D, 0x42}, {1, 1, 1}, "41 0D 42", true},
        TypingRow{"ControlByteDropsPendingFirstByte",
                  {0xB0, 0x09, 0xA1, 0xA2},
                  {0, 1, 0, 1},
                  "A1A2",
                  true},
        TypingRow{"FFDropsPendingFirstByte", {0xB0, 0xFF, 0x41}, {0, 1, 1}, "41", true},
        TypingRow{
            "AsciiEndsPendingFirstByte", {0xB0, 0x41, 0xB1, 0xA1}, {0, 1, 0, 1}, "41 B1A1", true},
        TypingRow{"ReturnEndsPendingFirstByte", {0xB0, 0x0D}, {0, 1}, "0D", true},
        TypingRow{"GbkSecondByte80", {0x81, 0x80}, {0, 1}, "8180", true},
        TypingRow{"Backspace", {0x41, 0x42, 0x08}, {1, 1, 1}, "41", true},
        TypingRow{
            "BackspaceEndsPendingFirstByte", {0x41, 0xB0, 0x08, 0xA1}, {1, 0, 1, 0}, "", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CItemFontTyping, Utf8TextFedAsGbkBytesComesBackWhole) {
    const std::string text = "你好, World!\r第二行：ＡＢ、。";
    std::string gbk;
    ASSERT_TRUE(GbkCodec::FromUtf8(text, gbk));
    CItemFont t = Box(0, 0, 300, 10);
    for (char ch : gbk) {
        const auto b = static_cast<uint8_t>(ch);
        const int result = t.InsertChar(b, 7, 0);
        // A first byte waits for its second; everything else completes a character.
        EXPECT_EQ(result, (t.m_bExpectLead ? 1 : 0));
    }
    std::string back;
    for (const CTextChar& c : t.m_arrChars) {
        back += static_cast<char>(c.m_lead);
        if (c.m_bDouble) back += static_cast<char>(c.m_trail);
    }
    EXPECT_EQ(back, gbk);
    EXPECT_EQ(GbkCodec::ToUtf8(back), text);
    EXPECT_EQ(t.m_arrChars.size(), 19u);
}

TEST(CItemFontTyping, NewCharacterTakesTheCurrentLookAndCode) {
    CItemFont t = Box(0, 0, 300, 10, kGreen);
    t.m_nHMag = 2, t.m_nVMag = 3;
    t.InsertChar('A', 0x5, 0xC);
    t.InsertChar(13, 0x5, 0xC);
    const CTextChar& a = t.m_arrChars[0];
    EXPECT_EQ(a.m_crColor, kGreen);
    EXPECT_EQ(a.m_nHMag, 2);
    EXPECT_EQ(a.m_nVMag, 3);
    EXPECT_EQ(a.m_codeLo, 0x5);
    EXPECT_EQ(a.m_codeHi, 0xC);
    EXPECT_EQ(a.m_x, 1);
    EXPECT_EQ(a.m_y, 1);
    const CTextChar& cr = t.m_arrChars[1];
    EXPECT_TRUE(cr.IsReturn());
    EXPECT_EQ(cr.m_codeLo, 0);
    EXPECT_EQ(cr.m_codeHi, 0);
    EXPECT_EQ(cr.m_trail, 0);
}

TEST(CItemFontTyping, TypingAtIndexZeroInsertsBeforeTheFirst) {
    CItemFont t = Box(0, 0, 300, 10);
    Type(t, "BC");
    t.m_nCaret = 0;
    EXPECT_EQ(t.InsertChar('A', 7, 0), 1);
    EXPECT_EQ(Codes(t), "41 42 43");
    EXPECT_EQ(t.m_nCaret, 1);
}

TEST(CItemFontTyping, WithoutACaretTypingAppends) {
    CItemFont t = Box(0, 0, 300, 10);
    Type(t, "AB");
    t.m_nCaret = -1;
    t.InsertChar('C', 7, 0);
    EXPECT_EQ(Codes(t), "41 42 43");
    t.m_nCaret = 99;
    t.InsertChar('D', 7, 0);
    EXPECT_EQ(Codes(t), "41 42 43 44");
}

// ---------------------------------------------------------------------------------------
// Deleting

struct DeleteRow {
    const char* name;
    int caret;
    const char* highlight;  // '#' marks a highlighted character of "ABCDE"
    int backward;
    int result;
    const char* codes;
    int caretAfter;
};

void PrintTo(const DeleteRow& row, std::ostream* os) {
    *os << row.name;
}

class Deleting : public ::testing::TestWithParam<DeleteRow> {};

TEST_P(Deleting, RemovesTheRightCharacters) {
    const DeleteRow& r = GetParam();
    CItemFont t = Box(0, 0, 300, 10);
    Type(t, "ABCDE");
    const std::vector<Point> before = Positions(t);
    for (size_t i = 0; i < 5; ++i)
        t.m_arrChars[i].m_bHighlight = r.highlight[i] == '#';
    t.m_nCaret = r.caret;
    EXPECT_EQ(t.DeleteChar(r.backward), r.result);
    EXPECT_EQ(Codes(t), r.codes);
    EXPECT_EQ(t.m_nCaret, r.caretAfter);
    if (r.result && std::string(r.highlight) == ".....") {
        // The caret takes the deleted character's place.
        EXPECT_EQ(t.m_xCaret, before[static_cast<size_t>(r.caretAfter)].x);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Deleting,
    ::testing::Values(DeleteRow{"BackspaceAtEnd", 5, ".....", 1, 1, "41 42 43 44", 4},
                      DeleteRow{"BackspaceInside", 2, ".....", 1, 1, "41 43 44 45", 1},
                      DeleteRow{"BackspaceAtStart", 0, ".....", 1, 0, "41 42 43 44 45", 0},
                      DeleteRow{"DeleteInside", 1, ".....", 0, 1, "41 43 44 45", 1},
                      DeleteRow{"DeleteAtEnd", 5, ".....", 0, 0, "41 42 43 44 45", 5},
                      DeleteRow{"NoCaret", -1, ".....", 1, 0, "41 42 43 44 45", -1},
                      DeleteRow{"ThreeHighlighted", 5, ".###.", 1, 1, "41 45", 1},
                      DeleteRow{"ScatteredHighlightsWithDeleteKey", 2, "#.#.#", 0, 1, "42 44", 0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// Mouse

TEST(CItemFontMouse, CreationConstructorState) {
    CItemFont t(50, 60, kRed);
    EXPECT_EQ(t.m_nType, 15);
    EXPECT_EQ(t.m_x1, 50);
    EXPECT_EQ(t.m_x2, 50);
    EXPECT_EQ(t.m_y1, 60);
    EXPECT_EQ(t.m_y2, 60);
    EXPECT_EQ(t.m_crColor, kRed);
    EXPECT_EQ(t.m_xCaret, 51);
    EXPECT_EQ(t.m_yCaret, 61);
    EXPECT_EQ(t.m_nCaret, 0);
    EXPECT_EQ(t.m_nCaretHeight, 16);
    EXPECT_EQ(t.m_nHMag, 1);
    EXPECT_EQ(t.m_nVMag, 1);
    EXPECT_TRUE(t.m_bCreating);
    EXPECT_TRUE(t.m_bTextFlag);
    EXPECT_FALSE(t.m_bSelected);
    EXPECT_FALSE(t.m_bDragging);
    EXPECT_TRUE(t.m_bExpectLead);
    EXPECT_TRUE(t.m_arrChars.empty());
}

TEST(CItemFontMouse, DragOutAFrame) {
    CItemFont t(50, 60, kRed);
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(t.OnMouseMove(cursor, 50, 60, 150, 100), 1);
    EXPECT_EQ(t.m_x2, 150);
    EXPECT_EQ(t.m_y2, 100);
    EXPECT_EQ(cursor, CursorShape::Unchanged);
    EXPECT_EQ(t.OnLButtonUp(150, 100), 0);
    EXPECT_FALSE(t.m_bCreating);
    EXPECT_TRUE(t.GetCaret().visible) << "typing starts right away";
}

TEST(CItemFontMouse, FrameDraggedUpAndLeftIsTurnedUpright) {
    CItemFont t(150, 100, kRed);
    CursorShape cursor = CursorShape::Unchanged;
    t.OnMouseMove(cursor, 150, 100, 50, 60);
    EXPECT_EQ(t.OnLButtonUp(50, 60), 0);
    EXPECT_EQ((Rect{t.m_x1, t.m_y1, t.m_x2, t.m_y2}), (Rect{50, 60, 150, 100}));
    EXPECT_EQ(t.m_xCaret, 51);
    EXPECT_EQ(t.m_yCaret, 61);
}

TEST(CItemFontMouse, ClickWithoutDragIsRemoved) {
    CItemFont t(50, 60, kRed);
    EXPECT_EQ(t.OnLButtonUp(50, 60), -1);
}

TEST(CItemFontMouse, EmptyBoxIsRemovedAtTheNextRelease) {
    CItemFont t = Box(50, 60, 150, 100);
    EXPECT_EQ(t.OnLButtonDown(10, 10), 1);  // a miss ends the editing
    EXPECT_FALSE(t.m_bTextFlag);
    EXPECT_EQ(t.m_nCaret, -1);
    EXPECT_EQ(t.OnLButtonUp(10, 10), -1);
}

TEST(CItemFontMouse, SelectThenEditThenHighlightThenLeave) {
    CItemFont t = Box(50, 60, 150, 100);
    Type(t, "AB");  // A at (51, 60), B at (59, 60)
    EXPECT_EQ(t.OnLButtonDown(10, 10), 1);
    EXPECT_EQ(t.OnLButtonUp(10, 10), 1) << "a box with text stays";
    EXPECT_EQ(t.OnLButtonDown(10, 10), 0) << "a miss on an idle box changes nothing";

    // First click on the body selects.
    EXPECT_EQ(t.OnLButtonDown(60, 65), 1);
    EXPECT_TRUE(t.m_bSelected);
    EXPECT_FALSE(t.m_bTextFlag);
    EXPECT_FALSE(t.m_bDragging);
    EXPECT_EQ(t.m_nCaret, -1);
    EXPECT_FALSE(t.GetCaret().visible);
    EXPECT_EQ(t.OnLButtonUp(60, 65), 1);

    // Second click on the body edits, caret at the click (left half of B).
    EXPECT_EQ(t.OnLButtonDown(60, 65), 1);
    EXPECT_FALSE(t.m_bSelected);
    EXPECT_TRUE(t.m_bTextFlag);
    EXPECT_TRUE(t.m_bDragging);
    EXPECT_EQ(t.m_nCaret, 1);
    EXPECT_EQ(t.OnLButtonUp(60, 65), 1);
    EXPECT_FALSE(t.m_bDragging);

    // A press while editing anchors a drag selection.
    EXPECT_EQ(t.OnLButtonDown(52, 65), 0);
    EXPECT_TRUE(t.m_bDragging);
    EXPECT_EQ(t.m_nCaret, 0);
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(t.OnMouseMove(cursor, 52, 65, 70, 65), 1);
    EXPECT_EQ(cursor, CursorShape::Text);
    EXPECT_TRUE(t.m_arrChars[0].m_bHighlight);
    EXPECT_TRUE(t.m_arrChars[1].m_bHighlight);
    t.OnLButtonUp(70, 65);

    // Typing after a press forgets a half-typed character; a press clears highlights.
    t.InsertChar(0xB0, 7, 0);
    EXPECT_FALSE(t.m_bExpectLead);
    EXPECT_EQ(t.OnLButtonDown(52, 65), 0);
    EXPECT_TRUE(t.m_bExpectLead);
    EXPECT_FALSE(t.HasHighlight());

    // A miss leaves editing.
    EXPECT_EQ(t.OnLButtonDown(10, 10), 1);
    EXPECT_FALSE(t.m_bTextFlag);
    EXPECT_FALSE(t.m_bSelected);
    EXPECT_EQ(t.m_nCaret, -1);
}

TEST(CItemFontMouse, HandleDragsResizeAndTheCentreMoves) {
    CItemFont t = Box(50, 60, 150, 100);
    Type(t, "A");
    t.OnLButtonDown(10, 10);
    t.OnLButtonDown(60, 65);  // select
    t.OnLButtonUp(60, 65);
    // The layout has fitted the frame to the one line: (50, 60, 150, 76).
    EXPECT_EQ(t.OnLButtonDown(150, 76), 0);  // handle 5
    EXPECT_TRUE(t.m_bDragging);
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(t.OnMouseMove(cursor, 150, 76, 170, 120), 1);
    EXPECT_EQ(cursor, CursorShape::SizeNwSe);
    EXPECT_EQ((Rect{t.m_x1, t.m_y1, t.m_x2, t.m_y2}), (Rect{50, 60, 170, 120}));
    t.OnLButtonUp(170, 120);
    EXPECT_EQ(t.OnLButtonDown(110, 90), 0);  // handle 9, the centre
    EXPECT_EQ(t.OnMouseMove(cursor, 110, 90, 120, 95), 1);
    EXPECT_EQ((Rect{t.m_x1, t.m_y1, t.m_x2, t.m_y2}), (Rect{60, 65, 180, 125}));
    // The body moves nothing.
    t.m_nHandle = 0;
    t.MoveHandle(0, 0, 30, 30);
    EXPECT_EQ((Rect{t.m_x1, t.m_y1, t.m_x2, t.m_y2}), (Rect{60, 65, 180, 125}));
}

struct HoverRow {
    const char* name;
    int x, y;
    CursorShape cursor;
};

void PrintTo(const HoverRow& row, std::ostream* os) {
    *os << row.name;
}

class HoverSelected : public ::testing::TestWithParam<HoverRow> {};

TEST_P(HoverSelected, CursorByHandle) {
    CItemFont t = Box(50, 60, 150, 100);  // fitted to (50, 60, 150, 76) by the layout
    Type(t, "A");
    t.OnLButtonDown(10, 10);
    t.OnLButtonDown(60, 65);
    t.OnLButtonUp(60, 65);
    ASSERT_TRUE(t.m_bSelected);
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(t.OnMouseMove(cursor, 0, 0, GetParam().x, GetParam().y), 0);
    EXPECT_EQ(cursor, GetParam().cursor);
}

INSTANTIATE_TEST_SUITE_P(Rows, HoverSelected,
                         ::testing::Values(HoverRow{"BodyIsNoMove", 60, 65, CursorShape::Cross},
                                           HoverRow{"Centre", 100, 68, CursorShape::Move},
                                           HoverRow{"TopLeft", 50, 60, CursorShape::SizeNwSe},
                                           HoverRow{"TopMiddle", 100, 60, CursorShape::SizeNs},
                                           HoverRow{"TopRight", 150, 60, CursorShape::SizeNeSw},
                                           HoverRow{"RightMiddle", 150, 68, CursorShape::SizeWe},
                                           HoverRow{"BottomRight", 150, 76, CursorShape::SizeNwSe},
                                           HoverRow{"Outside", 10, 10, CursorShape::Cross}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CItemFontMouse, HoverWhileEditingAndIdle) {
    CItemFont t = Box(50, 60, 150, 100);
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(t.OnMouseMove(cursor, 0, 0, 70, 70), 0);
    EXPECT_EQ(cursor, CursorShape::Text);
    EXPECT_EQ(t.OnMouseMove(cursor, 0, 0, 10, 10), 0);
    EXPECT_EQ(cursor, CursorShape::Cross);
    Type(t, "A");
    t.OnLButtonDown(10, 10);  // idle now
    cursor = CursorShape::Unchanged;
    EXPECT_EQ(t.OnMouseMove(cursor, 0, 0, 70, 70), 0);
    EXPECT_EQ(cursor, CursorShape::Unchanged);
}

// ---------------------------------------------------------------------------------------
// Tree lines

CTextChar Char(uint8_t lead, uint8_t trail, int x, int y, int h, int v, uint8_t lo, uint8_t hi) {
    CTextChar c;
    c.m_lead = lead, c.m_trail = trail, c.m_bDouble = trail != 0;
    c.m_x = x, c.m_y = y, c.m_nHMag = h, c.m_nVMag = v, c.m_codeLo = lo, c.m_codeHi = hi;
    return c;
}

TEST(CItemFontTree, TextLineAndOneLinePerCharacter) {
    CItemFont t;
    t.m_x1 = 9, t.m_y1 = 20, t.m_x2 = 200, t.m_y2 = 100;
    t.m_arrChars = {Char('A', 0, 10, 20, 1, 1, 7, 0), Char(0xB0, 0xA1, 18, 20, 2, 1, 0, 15),
                    Char(13, 0, 34, 20, 1, 1, 0, 0)};
    TreeNode root;
    t.AddToTree(root, 0);
    ASSERT_EQ(root.children.size(), 1u);
    const TreeNode& n = root.children[0];
    EXPECT_EQ(n.text, "文字: 边框左上角(9,20),右下角(200,100)");
    EXPECT_FALSE(n.checked);
    ASSERT_EQ(n.children.size(), 3u);
    EXPECT_EQ(n.children[0].text, "A:起始点(10,20) 横向放大:1 纵向放大:1 颜色代码:07");
    EXPECT_EQ(n.children[1].text, "啊:起始点(18,20) 横向放大:2 纵向放大:1 颜色代码:F0");
    EXPECT_EQ(n.children[2].text, "\r:起始点(34,20) 横向放大:1 纵向放大:1 颜色代码:00");
    for (const TreeNode& c : n.children)
        EXPECT_FALSE(c.checked);

    t.m_arrChars[1].m_bHighlight = 1;
    TreeNode again;
    t.AddToTree(again, 0);
    EXPECT_TRUE(again.children[0].checked);
    EXPECT_FALSE(again.children[0].children[0].checked);
    EXPECT_TRUE(again.children[0].children[1].checked);

    t.m_arrChars[1].m_bHighlight = 0;
    t.m_bSelected = 1;
    TreeNode selected;
    t.AddToTree(selected, 0);
    EXPECT_TRUE(selected.children[0].checked);
}

// ---------------------------------------------------------------------------------------
// Page-file record and clone

CItemFont Sample() {
    CItemFont t;
    t.m_x1 = 9, t.m_y1 = 20, t.m_x2 = 200, t.m_y2 = 100;
    CTextChar a = Char('A', 0, 10, 20, 1, 1, 7, 0);
    a.m_crColor = kRed;
    CTextChar ah = Char(0xB0, 0xA1, 18, 20, 2, 1, 0, 15);
    ah.m_crColor = kGreen;
    t.m_arrChars = {a, ah};
    return t;
}

const char* kSampleRecord =
    "FF FF 01 00 09 00 43 49 74 65 6D 46 6F 6E 74 "     // new class CItemFont, schema 1
    "0F 00 00 00 "                                      // type 15
    "09 00 00 00 14 00 00 00 C8 00 00 00 64 00 00 00 "  // frame
    "02 00 00 00 "                                      // two characters
    "41 00 0A 00 00 00 14 00 00 00 01 00 00 00 01 00 00 00 FF 00 00 00 07 00 00 00 00 00 "
    "B0 A1 12 00 00 00 14 00 00 00 02 00 00 00 01 00 00 00 00 FF 00 00 00 0F 01 00 00 00";

ClassRegistry Registry() {
    ClassRegistry r;
    r.Register<CItemFont>();
    return r;
}

TEST(CItemFontRecord, WrittenByteExact) {
    CItemFont t = Sample();
    Archive ar;
    ar.WriteObject(&t);
    EXPECT_EQ(ToHex(ar.Bytes()), kSampleRecord);
}

TEST(CItemFontRecord, HandBuiltRecordReadsBack) {
    CByteArray bytes;
    ASSERT_TRUE(FromHex(kSampleRecord, bytes));
    const ClassRegistry registry = Registry();
    Archive in(bytes, registry);
    auto t = in.ReadObjectAs<CItemFont>("文字");
    ASSERT_TRUE(in.Ok()) << in.Error().message;
    ASSERT_TRUE(t);
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_EQ(t->m_nType, 15);
    EXPECT_EQ((Rect{t->m_x1, t->m_y1, t->m_x2, t->m_y2}), (Rect{9, 20, 200, 100}));
    ASSERT_EQ(t->m_arrChars.size(), 2u);
    const CTextChar& ah = t->m_arrChars[1];
    EXPECT_EQ(ah.m_lead, 0xB0);
    EXPECT_EQ(ah.m_trail, 0xA1);
    EXPECT_EQ(ah.m_x, 18);
    EXPECT_EQ(ah.m_nHMag, 2);
    EXPECT_EQ(ah.m_crColor, kGreen);
    EXPECT_EQ(ah.m_codeHi, 15);
    EXPECT_TRUE(ah.m_bDouble);
    EXPECT_EQ(Encoded(*t),
              "1B 48 0A 00 14 00 1B 43 07 1B 4D 51 1B 24 41 1B 43 F0 1B 4D 52 1B 23 B0 A1");
}

TEST(CItemFontRecord, RoundTripKeepsTheRecordAndResetsState) {
    CItemFont t = Box(-5, 7, 300, 90, Rgb(1, 2, 3));
    t.m_nHMag = 3, t.m_nVMag = 2;
    Type(t, "文字\rAb", 0x3C);
    t.m_arrChars[0].m_bHighlight = 1;
    t.m_arrChars[1].m_crColor = 0x00123456;
    Archive ar;
    ar.WriteObject(&t);
    const ClassRegistry registry = Registry();
    Archive in(ar.Bytes(), registry);
    auto back = in.ReadObjectAs<CItemFont>("文字");
    ASSERT_TRUE(in.Ok()) << in.Error().message;
    ASSERT_TRUE(back);
    Archive again;
    again.WriteObject(back.get());
    EXPECT_EQ(ToHex(again.Bytes()), ToHex(ar.Bytes()));
    EXPECT_FALSE(back->m_bCreating);
    EXPECT_FALSE(back->m_bTextFlag);
    EXPECT_FALSE(back->m_bSelected);
    EXPECT_EQ(back->m_nCaret, -1);
    EXPECT_FALSE(back->HasHighlight());
    for (const CTextChar& c : back->m_arrChars)
        EXPECT_FALSE(c.m_bGlyphLoaded);
}

struct BadRecordRow {
    const char* name;
    const char* hex;
};

void PrintTo(const BadRecordRow& row, std::ostream* os) {
    *os << row.name;
}

class BadRecords : public ::testing::TestWithParam<BadRecordRow> {};

TEST_P(BadRecords, FailWithoutReadingOn) {
    CByteArray bytes;
    ASSERT_TRUE(FromHex(GetParam().hex, bytes));
    const ClassRegistry registry = Registry();
    Archive in(bytes, registry);
    auto t = in.ReadObjectAs<CItemFont>("文字");
    EXPECT_FALSE(in.Ok());
    EXPECT_LE(in.Offset(), bytes.size());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BadRecords,
    ::testing::Values(
        BadRecordRow{"NegativeCount",
                     "FF FF 01 00 09 00 43 49 74 65 6D 46 6F 6E 74 0F 00 00 00 09 00 00 00 14 00 "
                     "00 00 C8 00 00 00 64 00 00 00 FF FF FF FF"},
        BadRecordRow{"CountBeyondTheFile",
                     "FF FF 01 00 09 00 43 49 74 65 6D 46 6F 6E 74 0F 00 00 00 09 00 00 00 14 00 "
                     "00 00 C8 00 00 00 64 00 00 00 00 00 00 40 41 00 0A 00 00 00 14 00 00 00 01 "
                     "00 00 00 01 00 00 00 FF 00 00 00 07 00 00 00 00 00"},
        BadRecordRow{"CutInsideACharacter",
                     "FF FF 01 00 09 00 43 49 74 65 6D 46 6F 6E 74 0F 00 00 00 09 00 00 00 14 00 "
                     "00 00 C8 00 00 00 64 00 00 00 01 00 00 00 41 00 0A 00 00 00"},
        BadRecordRow{"CutInTheFrame",
                     "FF FF 01 00 09 00 43 49 74 65 6D 46 6F 6E 74 0F 00 00 00 09 00"}),
    [](const auto& info) { return std::string(info.param.name); });

void ExpectSameChar(const CTextChar& a, const CTextChar& b) {
    EXPECT_EQ(a.m_lead, b.m_lead);
    EXPECT_EQ(a.m_trail, b.m_trail);
    EXPECT_EQ(a.m_crColor, b.m_crColor);
    EXPECT_EQ(a.m_x, b.m_x);
    EXPECT_EQ(a.m_y, b.m_y);
    EXPECT_EQ(a.m_nHMag, b.m_nHMag);
    EXPECT_EQ(a.m_nVMag, b.m_nVMag);
    EXPECT_EQ(a.m_nWidth, b.m_nWidth);
    EXPECT_EQ(a.m_nHeight, b.m_nHeight);
    EXPECT_EQ(a.m_bHighlight, b.m_bHighlight);
    EXPECT_EQ(a.m_bDouble, b.m_bDouble);
    EXPECT_EQ(a.m_codeLo, b.m_codeLo);
    EXPECT_EQ(a.m_codeHi, b.m_codeHi);
    EXPECT_EQ(ToHex(CByteArray(a.m_glyphAsc, a.m_glyphAsc + 16)),
              ToHex(CByteArray(b.m_glyphAsc, b.m_glyphAsc + 16)));
    EXPECT_EQ(ToHex(CByteArray(a.m_glyphHz, a.m_glyphHz + 32)),
              ToHex(CByteArray(b.m_glyphHz, b.m_glyphHz + 32)));
    EXPECT_EQ(a.m_bGlyphLoaded, b.m_bGlyphLoaded);
}

TEST(CItemFontClone, CopiesEverythingDeeply) {
    CItemFont t = Box(10, 20, 200, 100, kGreen);
    t.m_nHMag = 2;
    Type(t, "A啊B", 0x5A);
    t.HighlightRange(12, 25, 40, 25);
    t.m_arrChars[0].m_bGlyphLoaded = 1;
    t.m_arrChars[0].m_glyphAsc[3] = 0x5A;
    t.m_arrChars[1].m_glyphHz[31] = 0xA5;
    t.m_crFill = kBlue;
    t.m_codeLo = 3, t.m_codeHi = 9;
    t.m_bModified = 1;
    t.m_nHandle = 4;
    t.m_bSolid = 1;
    t.m_xAnchor = 31, t.m_yAnchor = 32;
    t.m_bExpectLead = 0;
    t.m_pending[0] = 0xB0;
    t.m_nType = 99;
    auto copy = t.Clone();
    auto* c = dynamic_cast<CItemFont*>(copy.get());
    ASSERT_TRUE(c);
    EXPECT_EQ(c->m_nType, 15);
    c->m_nType = t.m_nType;
    Archive a, b;
    t.Serialize(a);
    c->Serialize(b);
    EXPECT_EQ(ToHex(a.Bytes()), ToHex(b.Bytes()));
    EXPECT_EQ(c->m_crColor, t.m_crColor);
    EXPECT_EQ(c->m_crFill, t.m_crFill);
    EXPECT_EQ(c->m_codeLo, t.m_codeLo);
    EXPECT_EQ(c->m_codeHi, t.m_codeHi);
    EXPECT_EQ(c->m_bSelected, t.m_bSelected);
    EXPECT_EQ(c->m_bDragging, t.m_bDragging);
    EXPECT_EQ(c->m_bCreating, t.m_bCreating);
    EXPECT_EQ(c->m_bModified, t.m_bModified);
    EXPECT_EQ(c->m_bTextFlag, t.m_bTextFlag);
    EXPECT_EQ(c->m_nHandle, t.m_nHandle);
    EXPECT_EQ(c->m_nPenWidth, t.m_nPenWidth);
    EXPECT_EQ(c->m_bSolid, t.m_bSolid);
    EXPECT_EQ(c->m_nCellHeight, t.m_nCellHeight);
    EXPECT_EQ(c->m_xCaret, t.m_xCaret);
    EXPECT_EQ(c->m_yCaret, t.m_yCaret);
    EXPECT_EQ(c->m_xAnchor, t.m_xAnchor);
    EXPECT_EQ(c->m_yAnchor, t.m_yAnchor);
    EXPECT_EQ(c->m_nHMag, t.m_nHMag);
    EXPECT_EQ(c->m_nVMag, t.m_nVMag);
    EXPECT_EQ(c->m_nCaret, t.m_nCaret);
    EXPECT_EQ(c->m_bCaretValid, t.m_bCaretValid);
    EXPECT_EQ(c->m_nCaretHeight, t.m_nCaretHeight);
    EXPECT_EQ(c->m_bExpectLead, t.m_bExpectLead);
    EXPECT_EQ(c->m_pending[0], t.m_pending[0]);
    ASSERT_EQ(c->m_arrChars.size(), t.m_arrChars.size());
    for (size_t i = 0; i < t.m_arrChars.size(); ++i)
        ExpectSameChar(c->m_arrChars[i], t.m_arrChars[i]);
    // A deep copy: the copy's characters are its own.
    c->m_arrChars[0].m_lead = 'Z';
    c->InsertChar('Q', 0, 0);
    EXPECT_EQ(t.m_arrChars[0].m_lead, 'A');
    EXPECT_EQ(t.m_arrChars.size(), 3u);
}

// ---------------------------------------------------------------------------------------
// Drawing

using CItemFontDraw = FontTest;

TEST_F(CItemFontDraw, MissingFontsAreToldOncePerDraw) {
    UseFonts({}, {});
    CItemFont t = Box(9, 20, 200, 100);
    t.m_pFonts = fonts;
    Type(t, "AB啊啊C");
    Surface s(220, 120, kBlack);
    t.Draw(s);
    EXPECT_EQ(t.MissingFonts(), CItemBase::kAsciiFontMissing | CItemBase::kHanziFontMissing);
    t.Draw(s);
    EXPECT_EQ(t.MissingFonts(), CItemBase::kAsciiFontMissing | CItemBase::kHanziFontMissing)
        << "again at the next draw";
    // Layout goes on as if the glyphs were there; nothing red is drawn.
    EXPECT_EQ(Positions(t).back(), (Point{58, 20}));
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 220; ++x)
            ASSERT_NE(s.GetPixel(x, y), kRed);
    }
}

TEST_F(CItemFontDraw, OnlyTheMissingFileIsTold) {
    UseFonts({}, PatternHanzi());
    CItemFont t = Box(9, 20, 200, 100);
    t.m_pFonts = fonts;
    Type(t, "A啊");
    Surface s(220, 120, kBlack);
    t.Draw(s);
    EXPECT_EQ(t.MissingFonts(), CItemBase::kAsciiFontMissing);
    // 啊 at (18, 20): row 1 has its dot at column 5.
    EXPECT_EQ(s.GetPixel(18 + 5, 21), kRed);
    EXPECT_EQ(s.GetPixel(18 + 4, 21), kBlack);
}

TEST_F(CItemFontDraw, ShortFontFileDrawsBlankGlyphsSilently) {
    std::vector<uint8_t> hz = PatternHanzi();
    hz.resize(45120 + 10);  // 啊 is cut after five rows; later codes are gone
    UseFonts(PatternAscii(), hz);
    CItemFont t = Box(9, 20, 200, 100);
    t.m_pFonts = fonts;
    Type(t, "啊行");
    t.OnLButtonDown(5, 5);  // stop editing: no frame over the glyphs
    Surface s(220, 120, kBlack);
    t.Draw(s);
    EXPECT_EQ(t.MissingFonts(), 0);
    EXPECT_EQ(s.GetPixel(10 + 0, 20), kRed);    // row 0 of 啊 is in the file
    EXPECT_EQ(s.GetPixel(10 + 4, 24), kRed);    // row 4 (dot at column 4) is the last one
    EXPECT_EQ(s.GetPixel(10 + 9, 25), kBlack);  // row 5 (dot at column 9) was cut off
    for (int y = 20; y < 36; ++y) {
        for (int x = 26; x < 42; ++x)
            ASSERT_EQ(s.GetPixel(x, y), kBlack) << "行 is past the end";
    }
}

TEST_F(CItemFontDraw, GlyphsInTheCharactersColourAtTheirPlace) {
    UseFonts(PatternAscii(), PatternHanzi());
    CItemFont t = Box(9, 20, 200, 100, kRed);
    t.m_pFonts = fonts;
    Type(t, "A");
    t.m_crColor = kGreen;
    t.m_nHMag = 2;
    Type(t, "B");
    t.OnLButtonDown(5, 5);  // stop editing: no frame, no caret
    Surface s(220, 120, kBlack);
    t.Draw(s);
    // A at (10, 20): row r has its dot at column (3r) % 8.
    EXPECT_EQ(s.GetPixel(10, 20), kRed);
    EXPECT_EQ(s.GetPixel(13, 21), kRed);
    EXPECT_EQ(s.GetPixel(12, 21), kBlack);
    // B at (18, 20), twice as wide: row 1's dot covers columns 6 and 7.
    EXPECT_EQ(s.GetPixel(18 + 6, 21), kGreen);
    EXPECT_EQ(s.GetPixel(18 + 7, 21), kGreen);
    EXPECT_EQ(s.GetPixel(18 + 8, 21), kBlack);
}

TEST_F(CItemFontDraw, CreatingShowsOnlyTheRubberBand) {
    UseFonts(PatternAscii(), PatternHanzi());
    CItemFont t(10, 10, kRed);
    CursorShape cursor = CursorShape::Unchanged;
    t.OnMouseMove(cursor, 10, 10, 30, 20);
    Surface s(40, 40, kBlack);
    t.Draw(s);
    EXPECT_EQ(s.GetPixel(10, 10), kWhite);
    EXPECT_EQ(s.GetPixel(20, 10), kWhite);
    EXPECT_EQ(s.GetPixel(10, 15), kWhite);
    EXPECT_EQ(s.GetPixel(20, 15), kBlack);
}

TEST_F(CItemFontDraw, EditingKeepsHighlightsAndIdleClearsThem) {
    UseFonts(PatternAscii(), PatternHanzi());
    CItemFont t = Box(9, 20, 200, 100);
    t.m_pFonts = fonts;
    Type(t, "AB");
    t.m_arrChars[1].m_bHighlight = 1;
    Surface s(220, 120, kBlack);
    t.Draw(s);
    EXPECT_TRUE(t.m_arrChars[1].m_bHighlight);
    EXPECT_EQ(s.GetPixel(18 + 1, 20), kWhite) << "inverted box";
    EXPECT_EQ(s.GetPixel(9, 30), kWhite) << "editing frame, fitted to the line";
    const CItemFont::Caret caret = t.GetCaret();
    EXPECT_TRUE(caret.visible);
    EXPECT_EQ(caret.x, 26);
    EXPECT_EQ(caret.y, 20);
    t.m_bTextFlag = 0;
    t.Draw(s);
    EXPECT_FALSE(t.HasHighlight());
}

TEST_F(CItemFontDraw, SelectedShowsHandlesAndStopsEditing) {
    UseFonts(PatternAscii(), PatternHanzi());
    CItemFont t = Box(20, 20, 100, 80);
    t.m_pFonts = fonts;
    Type(t, "A");
    t.m_bSelected = 1;
    Surface s(120, 120, kBlack);
    t.Draw(s);
    EXPECT_EQ(s.GetPixel(20 - 4, 20 - 4), kBlue);  // handle 1's square
    EXPECT_EQ(s.GetPixel(60, 28 - 4), kBlue);      // handle 9's square (frame is 20..36 now)
    EXPECT_FALSE(t.m_bTextFlag);
    EXPECT_EQ(t.m_rcHandles[0], (Rect{20, 20, 100, 36}));
}

}  // namespace
