// The generic behaviour every item with a box inherits, seen through the rectangle.
#include <gtest/gtest.h>

#include <limits>

#include "gfx/Surface.h"
#include "items/CItemBase/ItemChecks.h"
#include "items/CItemRectangle.h"

using namespace itemchecks;

namespace {

// The box (10, 20)-(110, 80): middle (60, 50).
CItemRectangle Box() {
    CItemRectangle rect;
    rect.m_x1 = 10, rect.m_y1 = 20, rect.m_x2 = 110, rect.m_y2 = 80;
    return rect;
}

TEST(CItemBase, GenericHandlesAndOutline) {
    CItemRectangle rect = Box();
    EXPECT_EQ(rect.UpdateHandles(), 0);
    EXPECT_EQ(rect.m_rcHandles[0], (Rect{9, 19, 111, 81}));
    const Point centres[10] = {{},        {10, 20}, {60, 20}, {110, 20}, {110, 50},
                               {110, 80}, {60, 80}, {10, 80}, {10, 50},  {60, 50}};
    for (int k = 1; k <= 9; ++k) {
        EXPECT_EQ(rect.m_rcHandles[k],
                  (Rect{centres[k].x - 4, centres[k].y - 4, centres[k].x + 4, centres[k].y + 4}))
            << "handle " << k;
    }
}

TEST(CItemBase, MiddleTruncatesTowardZero) {
    CItemRectangle rect;
    rect.m_x1 = -7, rect.m_y1 = -7, rect.m_x2 = 0, rect.m_y2 = 2;
    rect.UpdateHandles();
    EXPECT_EQ(rect.m_rcHandles[9], Rect::Around(-3, -2));
}

TEST(CItemBase, HandlesAtTheEndsOfTheRangeStayInRange) {
    CItemRectangle rect;
    rect.m_x1 = rect.m_y1 = std::numeric_limits<int32_t>::min();
    rect.m_x2 = rect.m_y2 = std::numeric_limits<int32_t>::max();
    rect.UpdateHandles();
    EXPECT_EQ(rect.m_rcHandles[0].left, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(rect.m_rcHandles[5].right, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(rect.m_rcHandles[9], Rect::Around(0, 0));
    EXPECT_EQ(rect.HitTest(0, 0), 9);
    EXPECT_EQ(rect.HitTest(12345, -999), 0);
}

struct HitRow {
    const char* name;
    int x, y;
    int handle;
};

void PrintTo(const HitRow& row, std::ostream* os) {
    *os << row.name;
}

class GenericHitTest : public testing::TestWithParam<HitRow> {};

TEST_P(GenericHitTest, Handle) {
    CItemRectangle rect = Box();
    EXPECT_EQ(rect.HitTest(GetParam().x, GetParam().y), GetParam().handle);
    EXPECT_EQ(rect.m_nHandle, GetParam().handle);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GenericHitTest,
    testing::Values(HitRow{"TopLeft", 10, 20, 1}, HitRow{"TopMiddle", 63, 17, 2},
                    HitRow{"TopRight", 113, 23, 3}, HitRow{"RightMiddle", 106, 46, 4},
                    HitRow{"BottomRight", 110, 80, 5}, HitRow{"BottomMiddle", 60, 83, 6},
                    HitRow{"BottomLeft", 6, 76, 7}, HitRow{"LeftMiddle", 13, 53, 8},
                    HitRow{"Centre", 60, 50, 9}, HitRow{"Body", 30, 40, 0},
                    HitRow{"OutlineRingTop", 30, 19, 0}, HitRow{"OutlineRingRight", 110, 35, 0},
                    HitRow{"AboveOutline", 30, 18, -1}, HitRow{"RightOfOutline", 111, 35, -1},
                    HitRow{"FarAway", 500, 500, -1}),
    [](const auto& info) { return info.param.name; });

// A small box where all nine squares overlap: the lowest handle number wins.
class GenericHandleOrder : public testing::TestWithParam<HitRow> {};

TEST_P(GenericHandleOrder, FirstHitWins) {
    CItemRectangle rect;
    rect.m_x1 = 0, rect.m_y1 = 0, rect.m_x2 = 6, rect.m_y2 = 6;  // middle (3, 3)
    EXPECT_EQ(rect.HitTest(GetParam().x, GetParam().y), GetParam().handle);
}

INSTANTIATE_TEST_SUITE_P(Rows, GenericHandleOrder,
                         testing::Values(HitRow{"AllNine", 3, 3, 1}, HitRow{"NotFirst", 4, 3, 2},
                                         HitRow{"RightColumn", 8, 0, 3},
                                         HitRow{"RightBelow", 8, 4, 4},
                                         HitRow{"BottomRightOnly", 9, 9, 5},
                                         HitRow{"BottomRowBeforeLeft", 1, 8, 6},
                                         HitRow{"LeftBottom", -2, 9, 7}),
                         [](const auto& info) { return info.param.name; });

struct MoveRow {
    const char* name;
    int handle;
    int x1, y1, x2, y2;  // after moving from (200, 300) to (207, 295)
};

void PrintTo(const MoveRow& row, std::ostream* os) {
    *os << row.name;
}

class GenericMoveHandle : public testing::TestWithParam<MoveRow> {};

TEST_P(GenericMoveHandle, Effect) {
    const MoveRow& r = GetParam();
    CItemRectangle rect = Box();
    rect.m_nHandle = r.handle;
    EXPECT_EQ(rect.MoveHandle(200, 300, 207, 295), 0);
    EXPECT_EQ(rect.m_x1, r.x1);
    EXPECT_EQ(rect.m_y1, r.y1);
    EXPECT_EQ(rect.m_x2, r.x2);
    EXPECT_EQ(rect.m_y2, r.y2);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GenericMoveHandle,
    testing::Values(
        MoveRow{"Body", 0, 17, 15, 117, 75}, MoveRow{"TopLeftToPoint", 1, 207, 295, 110, 80},
        MoveRow{"Top", 2, 10, 15, 110, 80}, MoveRow{"TopRight", 3, 10, 15, 117, 80},
        MoveRow{"Right", 4, 10, 20, 117, 80}, MoveRow{"BottomRightToPoint", 5, 10, 20, 207, 295},
        MoveRow{"Bottom", 6, 10, 20, 110, 75}, MoveRow{"BottomLeft", 7, 17, 20, 110, 75},
        MoveRow{"Left", 8, 17, 20, 110, 80}, MoveRow{"Centre", 9, 17, 15, 117, 75},
        MoveRow{"Nothing", -1, 10, 20, 110, 80}, MoveRow{"Unknown", 10, 10, 20, 110, 80}),
    [](const auto& info) { return info.param.name; });

struct PressRow {
    const char* name;
    int selected;
    int x, y;
    int result, selectedAfter, draggingAfter;
};

void PrintTo(const PressRow& row, std::ostream* os) {
    *os << row.name;
}

class GenericPress : public testing::TestWithParam<PressRow> {};

TEST_P(GenericPress, Case) {
    const PressRow& r = GetParam();
    CItemRectangle rect = Box();
    rect.m_bSelected = r.selected;
    rect.m_bDragging = r.selected;  // a stale drag flag must be cleared by a miss
    EXPECT_EQ(rect.OnLButtonDown(r.x, r.y), r.result);
    EXPECT_EQ(rect.m_bSelected, r.selectedAfter);
    EXPECT_EQ(rect.m_bDragging, r.draggingAfter);
    EXPECT_EQ(rect.m_x1, 10);  // a press never moves anything
}

INSTANTIATE_TEST_SUITE_P(Rows, GenericPress,
                         testing::Values(PressRow{"MissSelectedDeselects", 1, 500, 500, 1, 0, 0},
                                         PressRow{"MissUnselectedNothing", 0, 500, 500, 0, 0, 0},
                                         PressRow{"HitUnselectedSelects", 0, 30, 40, 1, 1, 1},
                                         PressRow{"HitSelectedStartsDrag", 1, 30, 40, 0, 1, 1}),
                         [](const auto& info) { return info.param.name; });

TEST(CItemBase, PressOnAHandleMakesItActive) {
    CItemRectangle rect = Box();
    rect.OnLButtonDown(110, 50);
    EXPECT_EQ(rect.m_nHandle, 4);
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(rect.OnMouseMove(cursor, 110, 50, 130, 55), 1);
    EXPECT_EQ(rect.m_x2, 130);
    EXPECT_EQ(rect.m_y2, 80);
    EXPECT_EQ(cursor, CursorShape::Unchanged);
    EXPECT_EQ(rect.OnLButtonUp(130, 55), 0);
    EXPECT_EQ(rect.m_bDragging, 0);
    EXPECT_EQ(rect.m_x2, 130);
}

struct CursorRow {
    const char* name;
    int x, y;
    CursorShape cursor;
};

void PrintTo(const CursorRow& row, std::ostream* os) {
    *os << row.name;
}

class GenericHoverCursor : public testing::TestWithParam<CursorRow> {};

TEST_P(GenericHoverCursor, Shape) {
    CItemRectangle rect = Box();
    rect.m_bSelected = 1;
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(rect.OnMouseMove(cursor, 0, 0, GetParam().x, GetParam().y), 0);
    EXPECT_EQ(cursor, GetParam().cursor);
}

INSTANTIATE_TEST_SUITE_P(Rows, GenericHoverCursor,
                         testing::Values(CursorRow{"H1", 10, 20, CursorShape::SizeNwSe},
                                         CursorRow{"H2", 60, 20, CursorShape::SizeNs},
                                         CursorRow{"H3", 110, 20, CursorShape::SizeNeSw},
                                         CursorRow{"H4", 110, 50, CursorShape::SizeWe},
                                         CursorRow{"H5", 110, 80, CursorShape::SizeNwSe},
                                         CursorRow{"H6", 60, 80, CursorShape::SizeNs},
                                         CursorRow{"H7", 10, 80, CursorShape::SizeNeSw},
                                         CursorRow{"H8", 10, 50, CursorShape::SizeWe},
                                         CursorRow{"H9", 60, 50, CursorShape::Move},
                                         CursorRow{"Body", 30, 40, CursorShape::Move},
                                         CursorRow{"Outside", 300, 40, CursorShape::Cross}),
                         [](const auto& info) { return info.param.name; });

TEST(CItemBase, HoverOverAnUnselectedItemLeavesTheCursor) {
    CItemRectangle rect = Box();
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(rect.OnMouseMove(cursor, 0, 0, 10, 20), 0);
    EXPECT_EQ(cursor, CursorShape::Unchanged);
    EXPECT_EQ(rect.m_nHandle, 1);  // the hit test still ran
}

TEST(CItemBase, HandleOnePastTheRightEdgeFlipsTheBox) {
    CItemRectangle rect;
    rect.m_x1 = 10, rect.m_y1 = 10, rect.m_x2 = 50, rect.m_y2 = 50;
    rect.m_codeLo = 7;
    rect.m_bSelected = 1;
    EXPECT_EQ(rect.OnLButtonDown(10, 10), 0);
    EXPECT_EQ(rect.m_nHandle, 1);
    CursorShape cursor = CursorShape::Unchanged;
    rect.OnMouseMove(cursor, 10, 10, 80, 20);
    rect.OnLButtonUp(80, 20);
    EXPECT_EQ(rect.m_x1, 80);  // not re-normalised
    EXPECT_EQ(rect.m_x2, 50);
    EXPECT_EQ(EncodedHex(rect), "1B 5A 07 50 00 14 00 32 00 32 00");
    // The inside-out box can still be picked by its body and its handles.
    EXPECT_EQ(rect.HitTest(70, 45), 0);
    EXPECT_EQ(rect.HitTest(48, 45), -1);
    EXPECT_EQ(rect.HitTest(80, 20), 1);
    EXPECT_EQ(rect.HitTest(50, 50), 5);
}

TEST(CItemBase, DrawHandlesMarksAndSelects) {
    Surface dc(40, 40, Rgb(255, 255, 255));
    CItemRectangle rect;
    rect.m_x1 = 10, rect.m_y1 = 10, rect.m_x2 = 30, rect.m_y2 = 30;
    rect.DrawHandles(dc);
    EXPECT_EQ(rect.m_bSelected, 1);
    EXPECT_EQ(dc.GetPixel(10, 10), Rgb(0, 0, 255));  // square on handle 1
    EXPECT_EQ(dc.GetPixel(20, 20), Rgb(0, 0, 255));  // square on handle 9
    EXPECT_EQ(dc.GetPixel(15, 15), Rgb(255, 255, 255));
    EXPECT_EQ(dc.GetPixel(17, 9), Rgb(0, 0, 255));  // dotted outline, first dot at its corner
}

}  // namespace
