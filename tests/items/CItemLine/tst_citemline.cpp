#include <gtest/gtest.h>

#include <vector>

#include "gfx/Surface.h"
#include "items/CItemBase/ItemChecks.h"
#include "items/CItemLine.h"

using namespace itemchecks;

namespace {

CItemLine MakeLine(int x1, int y1, int x2, int y2, uint8_t hi = 0, uint8_t lo = 7) {
    CItemLine line;
    line.m_x1 = x1, line.m_y1 = y1, line.m_x2 = x2, line.m_y2 = y2;
    line.m_codeHi = hi, line.m_codeLo = lo;
    return line;
}

// ---- module command -------------------------------------------------------------------

struct EncodeRow {
    const char* name;
    int x1, y1, x2, y2;
    uint8_t hi, lo;
    const char* hex;
};

void PrintTo(const EncodeRow& row, std::ostream* os) {
    *os << row.name;
}

class LineEncode : public testing::TestWithParam<EncodeRow> {};

TEST_P(LineEncode, BytesAndLengthAgree) {
    const EncodeRow& r = GetParam();
    CItemLine line = MakeLine(r.x1, r.y1, r.x2, r.y2, r.hi, r.lo);
    CByteArray bytes = {0xEE};  // appends, never replaces
    line.Encode(1, bytes);
    EXPECT_EQ(ToHex(bytes), r.hex[0] ? std::string("EE ") + r.hex : std::string("EE"));
    EXPECT_EQ(line.GetEncodedLength(), static_cast<int>(bytes.size()) - 1);
    CByteArray direct;
    line.Encode(0, direct);
    EXPECT_EQ(direct.size() + 1, bytes.size());
}

INSTANTIATE_TEST_SUITE_P(Rows, LineEncode,
                         testing::Values(EncodeRow{"Horizontal", 10, 20, 300, 20, 0, 7,
                                                   "1B 46 07 0A 00 14 00 2C 01 14 00"},
                                         EncodeRow{"CodeNibblesHighFirst", 1, 2, 3, 4, 0xA, 0x5,
                                                   "1B 46 A5 01 00 02 00 03 00 04 00"},
                                         EncodeRow{"CutTo16BitsAndNegative", -1, 65536 + 5, 70000,
                                                   2, 0xF, 0xF, "1B 46 FF FF FF 05 00 70 11 02 00"},
                                         EncodeRow{"EndEqualsStart", 5, 5, 5, 5, 0, 7, ""},
                                         EncodeRow{"OnlyYDiffers", 5, 5, 5, 6, 0, 7,
                                                   "1B 46 07 05 00 05 00 05 00 06 00"}),
                         [](const auto& info) { return info.param.name; });

// ---- hit region -----------------------------------------------------------------------

struct RegionRow {
    const char* name;
    int x1, y1, x2, y2;
    std::vector<Point> corners;
};

void PrintTo(const RegionRow& row, std::ostream* os) {
    *os << row.name;
}

class LineRegion : public testing::TestWithParam<RegionRow> {};

TEST_P(LineRegion, QuadrilateralCorners) {
    const RegionRow& r = GetParam();
    CItemLine line = MakeLine(r.x1, r.y1, r.x2, r.y2);
    EXPECT_EQ(line.m_pRgn.GetKind(), Region::Kind::Empty);
    line.UpdateHandles();
    ASSERT_EQ(line.m_pRgn.GetKind(), Region::Kind::Polygon);
    EXPECT_EQ(line.m_pRgn.Corners(), r.corners);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LineRegion,
    testing::Values(
        RegionRow{"Horizontal", 10, 20, 300, 20, {{5, 16}, {5, 24}, {305, 24}, {305, 16}}},
        RegionRow{"Vertical", 50, 10, 50, 100, {{46, 5}, {54, 5}, {54, 105}, {46, 105}}},
        RegionRow{"RisingFromLeft", 0, 100, 100, 0, {{-9, 100}, {-1, 110}, {109, 10}, {101, 0}}},
        RegionRow{"RisingFromRight", 100, 0, 0, 100, {{-9, 100}, {-1, 110}, {109, 10}, {101, 0}}},
        RegionRow{"FallingFromLeft", 0, 0, 100, 100, {{99, 90}, {91, 100}, {1, 10}, {9, 0}}},
        RegionRow{"FallingFromRight", 100, 100, 0, 0, {{99, 90}, {91, 100}, {1, 10}, {9, 0}}},
        // Both axis cases apply; the horizontal one is tried last and wins.
        RegionRow{"SinglePoint", 7, 7, 7, 7, {{2, 3}, {2, 11}, {12, 11}, {12, 3}}}),
    [](const auto& info) { return info.param.name; });

struct HitRow {
    const char* name;
    int x, y;
    int handle;
};

void PrintTo(const HitRow& row, std::ostream* os) {
    *os << row.name;
}

class HorizontalLineHit : public testing::TestWithParam<HitRow> {};

// The line (10, 20)-(300, 20): band x 5..305, y 16..24; handle squares at both ends and
// at the midpoint (155, 20).
TEST_P(HorizontalLineHit, Handle) {
    CItemLine line = MakeLine(10, 20, 300, 20);
    EXPECT_EQ(line.HitTest(GetParam().x, GetParam().y), GetParam().handle);
    EXPECT_EQ(line.m_nHandle, GetParam().handle);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HorizontalLineHit,
    testing::Values(HitRow{"LeftEdgeInside", 5, 20, 0}, HitRow{"LeftEdgeOutside", 4, 20, -1},
                    HitRow{"TopEdgeInside", 100, 16, 0}, HitRow{"TopEdgeOutside", 100, 15, -1},
                    HitRow{"BottomEdgeInside", 100, 23, 0},
                    HitRow{"BottomEdgeOutside", 100, 24, -1}, HitRow{"RightEdgeInside", 304, 20, 0},
                    HitRow{"RightEdgeOutside", 305, 20, -1}, HitRow{"StartSquare", 6, 16, 1},
                    HitRow{"MidSquare", 158, 23, 2}, HitRow{"EndSquare", 303, 20, 3}),
    [](const auto& info) { return info.param.name; });

class VerticalLineHit : public testing::TestWithParam<HitRow> {};

TEST_P(VerticalLineHit, Handle) {
    CItemLine line = MakeLine(50, 10, 50, 100);
    EXPECT_EQ(line.HitTest(GetParam().x, GetParam().y), GetParam().handle);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, VerticalLineHit,
    testing::Values(HitRow{"TopInside", 50, 5, 0}, HitRow{"TopOutside", 50, 4, -1},
                    HitRow{"LeftInside", 46, 30, 0}, HitRow{"LeftOutside", 45, 30, -1},
                    HitRow{"RightInside", 53, 30, 0}, HitRow{"RightOutside", 54, 30, -1},
                    HitRow{"BottomInside", 50, 104, 0}, HitRow{"BottomOutside", 50, 105, -1}),
    [](const auto& info) { return info.param.name; });

// On a short line the three squares overlap: the first in the order start, middle, end
// wins. Squares: start x -4..3, middle (2, 0) x -2..5, end x 0..7.
class ShortLineHandleOrder : public testing::TestWithParam<HitRow> {};

TEST_P(ShortLineHandleOrder, FirstHitWins) {
    CItemLine line = MakeLine(0, 0, 4, 0);
    EXPECT_EQ(line.HitTest(GetParam().x, GetParam().y), GetParam().handle);
}

INSTANTIATE_TEST_SUITE_P(Rows, ShortLineHandleOrder,
                         testing::Values(HitRow{"AllThree", 1, 0, 1},
                                         HitRow{"MiddleAndEnd", 4, 0, 2},
                                         HitRow{"EndOnly", 6, 0, 3}, HitRow{"BeyondEnd", 8, 0, 0},
                                         HitRow{"Outside", 10, 0, -1}),
                         [](const auto& info) { return info.param.name; });

TEST(CItemLine, HandleSquaresSitOnStartMiddleEnd) {
    CItemLine line = MakeLine(-3, 10, 20, 31);
    line.UpdateHandles();
    EXPECT_EQ(line.m_rcHandles[0], (Rect{-7, 6, 1, 14}));
    EXPECT_EQ(line.m_rcHandles[1], (Rect{4, 16, 12, 24}));  // (8, 20): -3 + 20 = 17, 17 / 2
    EXPECT_EQ(line.m_rcHandles[2], (Rect{16, 27, 24, 35}));
}

// ---- handle drags ---------------------------------------------------------------------

struct MoveRow {
    const char* name;
    int handle;
    int x1, y1, x2, y2;  // after moving from (100, 100) to (107, 95)
};

void PrintTo(const MoveRow& row, std::ostream* os) {
    *os << row.name;
}

class LineMoveHandle : public testing::TestWithParam<MoveRow> {};

TEST_P(LineMoveHandle, Effect) {
    const MoveRow& r = GetParam();
    CItemLine line = MakeLine(10, 20, 30, 40);
    line.m_nHandle = r.handle;
    line.MoveHandle(100, 100, 107, 95);
    EXPECT_EQ(line.m_x1, r.x1);
    EXPECT_EQ(line.m_y1, r.y1);
    EXPECT_EQ(line.m_x2, r.x2);
    EXPECT_EQ(line.m_y2, r.y2);
    EXPECT_EQ(line.m_bModified, 1);
}

INSTANTIATE_TEST_SUITE_P(Rows, LineMoveHandle,
                         testing::Values(MoveRow{"Start", 1, 107, 95, 30, 40},
                                         MoveRow{"Middle", 2, 17, 15, 37, 35},
                                         MoveRow{"End", 3, 10, 20, 107, 95},
                                         MoveRow{"Body", 0, 10, 20, 30, 40},
                                         MoveRow{"Nothing", -1, 10, 20, 30, 40}),
                         [](const auto& info) { return info.param.name; });

// ---- mouse ----------------------------------------------------------------------------

TEST(CItemLine, CreationConstructorState) {
    CItemLine line(12, 34, Rgb(1, 2, 3), 2);
    EXPECT_EQ(line.m_nType, 11);
    EXPECT_EQ(line.m_x1, 12);
    EXPECT_EQ(line.m_y1, 34);
    EXPECT_EQ(line.m_x2, 12);
    EXPECT_EQ(line.m_y2, 34);
    EXPECT_EQ(line.m_crColor, Rgb(1, 2, 3));
    EXPECT_EQ(line.m_nPenWidth, 2);
    EXPECT_EQ(line.m_nHandle, 3);
    EXPECT_EQ(line.m_bDragging, 1);
    EXPECT_EQ(line.m_bCreating, 1);
    EXPECT_EQ(line.m_bSelected, 0);
    EXPECT_EQ(line.m_bModified, 0);
    EXPECT_EQ(line.m_pRgn.GetKind(), Region::Kind::Empty);
}

TEST(CItemLine, DrawnWithTheMouse) {
    CItemLine line(10, 10, Rgb(255, 0, 0), 1);
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(line.OnMouseMove(cursor, 10, 10, 40, 25), 1);
    EXPECT_EQ(line.m_x2, 40);
    EXPECT_EQ(line.m_y2, 25);
    EXPECT_EQ(line.m_x1, 10);
    EXPECT_EQ(line.m_bModified, 0);  // following the mouse while created is no change
    EXPECT_EQ(cursor, CursorShape::Unchanged);
    EXPECT_EQ(line.OnLButtonUp(60, 70), 0);
    EXPECT_EQ(line.m_x2, 60);
    EXPECT_EQ(line.m_y2, 70);
    EXPECT_EQ(line.m_bCreating, 0);
    EXPECT_EQ(line.m_bDragging, 0);
    EXPECT_EQ(line.GetEncodedLength(), 11);
}

TEST(CItemLine, ReleasedWhereItStartedIsRemoved) {
    CItemLine line(10, 10, 0, 1);
    CursorShape cursor = CursorShape::Unchanged;
    line.OnMouseMove(cursor, 10, 10, 50, 50);
    EXPECT_EQ(line.OnLButtonUp(10, 10), -1);
    EXPECT_EQ(line.m_bCreating, 0);
}

TEST(CItemLine, DragOfTheEndHandle) {
    CItemLine line = MakeLine(10, 20, 300, 20);
    EXPECT_EQ(line.OnLButtonDown(300, 20), 1);  // unselected: selects and starts a drag
    EXPECT_EQ(line.m_nHandle, 3);
    EXPECT_EQ(line.m_bSelected, 1);
    EXPECT_EQ(line.m_bDragging, 1);
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(line.OnMouseMove(cursor, 300, 20, 310, 60), 1);
    EXPECT_EQ(line.m_x2, 310);
    EXPECT_EQ(line.m_y2, 60);
    EXPECT_EQ(line.m_bModified, 1);
    EXPECT_EQ(line.OnLButtonUp(310, 60), 0);
    EXPECT_EQ(line.m_bDragging, 0);
    EXPECT_EQ(line.m_bSelected, 1);
}

struct CursorRow {
    const char* name;
    int selected;
    int x, y;
    CursorShape cursor;
};

void PrintTo(const CursorRow& row, std::ostream* os) {
    *os << row.name;
}

class LineHoverCursor : public testing::TestWithParam<CursorRow> {};

TEST_P(LineHoverCursor, Shape) {
    CItemLine line = MakeLine(10, 20, 300, 20);
    line.m_bSelected = GetParam().selected;
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(line.OnMouseMove(cursor, 0, 0, GetParam().x, GetParam().y), 0);
    EXPECT_EQ(cursor, GetParam().cursor);
}

INSTANTIATE_TEST_SUITE_P(Rows, LineHoverCursor,
                         testing::Values(CursorRow{"StartHandle", 1, 10, 20, CursorShape::Move},
                                         CursorRow{"MidHandle", 1, 155, 20, CursorShape::Move},
                                         CursorRow{"EndHandle", 1, 300, 20, CursorShape::Move},
                                         CursorRow{"Body", 1, 100, 20, CursorShape::Cross},
                                         CursorRow{"Outside", 1, 100, 50, CursorShape::Cross},
                                         CursorRow{"UnselectedLeavesCursor", 0, 300, 20,
                                                   CursorShape::Unchanged}),
                         [](const auto& info) { return info.param.name; });

// ---- copy, storage, description, drawing ----------------------------------------------

TEST(CItemLine, CloneCopiesEveryFieldAndResetsType) {
    CItemLine line;
    Scatter(line);
    line.m_nType = 77;  // as a damaged file could leave it
    std::unique_ptr<CItemBase> copy = line.Clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->ClassName(), "CItemLine");
    EXPECT_EQ(copy->m_nType, 11);
    line.m_nType = 11;
    ExpectSameItem(line, *copy);
    // The copy has handles and a region of its own.
    auto* copied = static_cast<CItemLine*>(copy.get());
    EXPECT_EQ(copied->m_rcHandles[2], Rect::Around(133, 144));
    EXPECT_EQ(copied->m_pRgn.GetKind(), Region::Kind::Polygon);
    copied->m_x2 = 500;
    copied->UpdateHandles();
    line.UpdateHandles();
    EXPECT_NE(line.m_pRgn.Corners(), copied->m_pRgn.Corners());
}

TEST(CItemLine, StoredRecordMatchesTheFormat) {
    CItemLine line = MakeLine(-2, 3, 70000, 5, 0xC, 0x3);
    line.m_crColor = Rgb(0x11, 0x22, 0x33);
    line.m_nPenWidth = 4;
    const CByteArray expected = Record("CItemLine")
                                    .Int(11)
                                    .Int(-2)
                                    .Int(3)
                                    .Int(70000)
                                    .Int(5)
                                    .Int(0x00332211)
                                    .Byte(0x3)  // low nibble first
                                    .Byte(0xC)
                                    .Int(4)
                                    .Bytes();
    EXPECT_EQ(ToHex(Stored(line)), ToHex(expected));
}

TEST(CItemLine, LoadsBackAsIdle) {
    CItemLine line(1, 2, Rgb(9, 8, 7), 3);  // creating, dragging
    line.m_x2 = 40, line.m_y2 = 50;
    line.m_codeHi = 1, line.m_codeLo = 2;
    line.m_bSelected = 1;
    line.UpdateHandles();
    std::unique_ptr<CItemLine> back = Load<CItemLine>(Stored(line));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(ToHex(Stored(*back)), ToHex(Stored(line)));
    EXPECT_EQ(back->m_bCreating, 0);
    EXPECT_EQ(back->m_bSelected, 0);
    EXPECT_EQ(back->m_bDragging, 0);
    EXPECT_EQ(back->m_nHandle, -1);
    EXPECT_EQ(back->m_pRgn.GetKind(), Region::Kind::Empty);
}

TEST(CItemLine, TruncatedRecordFailsCleanly) {
    CItemLine line = MakeLine(1, 2, 3, 4);
    CByteArray bytes = Stored(line);
    bytes.resize(bytes.size() - 1);
    std::string error;
    EXPECT_EQ(Load<CItemLine>(bytes, &error), nullptr);
    EXPECT_FALSE(error.empty());
}

TEST(CItemLine, DescriptionLine) {
    CItemLine line = MakeLine(10, 20, 300, -4, 0x0, 0x5);
    line.m_bSelected = 1;
    bool checked = false;
    EXPECT_EQ(Description(line, &checked), "直线：起点(10,20),终点(300,-4) 颜色代码 05");
    EXPECT_TRUE(checked);
    line.m_bSelected = 0;
    Description(line, &checked);
    EXPECT_FALSE(checked);
}

TEST(CItemLine, DrawsFromStartToJustBeforeEnd) {
    Surface dc(20, 10, Rgb(0, 0, 0));
    CItemLine line = MakeLine(2, 5, 15, 5);
    line.m_crColor = Rgb(255, 0, 0);
    line.Draw(dc);
    EXPECT_EQ(dc.GetPixel(2, 5), Rgb(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(14, 5), Rgb(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(15, 5), Rgb(0, 0, 0));
    EXPECT_EQ(dc.GetPixel(8, 4), Rgb(0, 0, 0));
}

TEST(CItemLine, DrawsOnlyThreeHandleSquares) {
    Surface dc(40, 20, Rgb(255, 255, 255));
    CItemLine line = MakeLine(5, 10, 35, 10);
    line.DrawHandles(dc);
    EXPECT_EQ(line.m_bSelected, 1);
    EXPECT_EQ(dc.GetPixel(5, 10), Rgb(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(20, 10), Rgb(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(35, 10), Rgb(0, 0, 255));
    // No outline rectangle and nothing between the squares.
    EXPECT_EQ(dc.GetPixel(12, 10), Rgb(255, 255, 255));
    EXPECT_EQ(dc.GetPixel(4, 9), Rgb(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(12, 9), Rgb(255, 255, 255));
}

}  // namespace
