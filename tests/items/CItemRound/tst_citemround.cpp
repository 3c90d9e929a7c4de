#include <gtest/gtest.h>

#include <limits>

#include "gfx/Surface.h"
#include "items/CItemBase/ItemChecks.h"
#include "items/CItemRound.h"

using namespace itemchecks;

namespace {

CItemRound MakeCircle(int cx, int cy, int px, int py, int solid, uint8_t hi = 0, uint8_t lo = 7) {
    CItemRound c;
    c.m_x1 = c.m_xCentre = cx, c.m_y1 = c.m_yCentre = cy;
    c.m_x2 = px, c.m_y2 = py;
    c.m_bSolid = solid;
    c.m_codeHi = hi, c.m_codeLo = lo;
    return c;
}

struct EncodeRow {
    const char* name;
    int cx, cy, px, py, solid;
    const char* hex;
};

void PrintTo(const EncodeRow& row, std::ostream* os) {
    *os << row.name;
}

class CircleEncode : public testing::TestWithParam<EncodeRow> {};

TEST_P(CircleEncode, BytesAndLengthAgree) {
    const EncodeRow& r = GetParam();
    CItemRound c = MakeCircle(r.cx, r.cy, r.px, r.py, r.solid);
    EXPECT_EQ(EncodedHex(c), r.hex);
    CByteArray bytes;
    c.Encode(1, bytes);
    EXPECT_EQ(c.GetEncodedLength(), static_cast<int>(bytes.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CircleEncode,
    testing::Values(
        EncodeRow{"Solid", 100, 100, 103, 104, 1, "1B 4E 64 64 1B 13 07 64 00 64 00 05 00"},
        EncodeRow{"Hollow", 100, 100, 103, 104, 0, "1B 4E 64 64 1B 59 07 64 00 64 00 05 00"},
        // sqrt(13) = 3.6 goes out as 3.
        EncodeRow{"RadiusTruncated", 10, 10, 8, 7, 0, "1B 4E 64 64 1B 59 07 0A 00 0A 00 03 00"},
        // The radius 2^32 - 1 is cut to 16 bits.
        EncodeRow{"HugeRadius", std::numeric_limits<int32_t>::min(), 0,
                  std::numeric_limits<int32_t>::max(), 0, 0,
                  "1B 4E 64 64 1B 59 07 00 00 00 00 FF FF"},
        EncodeRow{"NoRadius", 5, 5, 5, 5, 1, ""}),
    [](const auto& info) { return info.param.name; });

TEST(CItemRound, CreationConstructorState) {
    CItemRound solid(30, 40, Rgb(1, 1, 1), Rgb(2, 2, 2), true);
    EXPECT_EQ(solid.m_nType, 14);
    EXPECT_EQ(solid.m_x1, 30);
    EXPECT_EQ(solid.m_y1, 40);
    EXPECT_EQ(solid.m_x2, 30);
    EXPECT_EQ(solid.m_y2, 40);
    EXPECT_EQ(solid.m_xCentre, 30);
    EXPECT_EQ(solid.m_yCentre, 40);
    EXPECT_EQ(solid.m_nRadius, 0);
    EXPECT_EQ(solid.m_bSolid, 1);
    EXPECT_EQ(solid.m_crFill, Rgb(2, 2, 2));
    EXPECT_EQ(solid.m_nHandle, 2);
    EXPECT_EQ(solid.m_bSelected, 1);
    EXPECT_EQ(solid.m_bDragging, 1);
    EXPECT_EQ(solid.m_bCreating, 0);
    EXPECT_EQ(solid.m_pRgn.GetKind(), Region::Kind::Empty);
    CItemRound hollow(0, 0, 0, 0, false);
    EXPECT_EQ(hollow.m_nType, 104);
    EXPECT_EQ(hollow.m_bSolid, 0);
}

TEST(CItemRound, DrawnAsADragOfTheRadiusHandle) {
    CItemRound c(50, 50, 0, 0, false);
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(c.OnMouseMove(cursor, 50, 50, 53, 54), 1);
    EXPECT_EQ(c.m_x2, 53);
    EXPECT_EQ(c.m_y2, 54);
    c.UpdateHandles();
    EXPECT_EQ(c.m_nRadius, 5);
    EXPECT_EQ(c.m_rcHandles[2], Rect::Around(53, 54));  // follows the mouse while dragged
    EXPECT_EQ(c.OnLButtonUp(53, 54), 0);
    c.UpdateHandles();
    EXPECT_EQ(c.m_rcHandles[1], Rect::Around(50, 50));
    EXPECT_EQ(c.m_rcHandles[2], Rect::Around(55, 50));  // at rest: the rightmost point
}

TEST(CItemRound, ReleasedWhereItStartedStays) {
    CItemRound c(50, 50, 0, 0, true);
    EXPECT_EQ(c.OnLButtonUp(50, 50), 0);
    EXPECT_EQ(c.GetEncodedLength(), 0);
}

struct HitRow {
    const char* name;
    int x, y;
    int handle;
    CursorShape cursor;
};

void PrintTo(const HitRow& row, std::ostream* os) {
    *os << row.name;
}

class CircleHitTest : public testing::TestWithParam<HitRow> {};

// Centre (100, 100), radius point (70, 140): radius 50, radius handle at (150, 100).
TEST_P(CircleHitTest, HandleAndCursor) {
    CItemRound c = MakeCircle(100, 100, 70, 140, 0);
    EXPECT_EQ(c.HitTest(GetParam().x, GetParam().y), GetParam().handle);
    c.m_bSelected = 1;
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(c.OnMouseMove(cursor, 0, 0, GetParam().x, GetParam().y), 0);
    EXPECT_EQ(cursor, GetParam().cursor);
}

INSTANTIATE_TEST_SUITE_P(Rows, CircleHitTest,
                         testing::Values(HitRow{"Centre", 103, 97, 1, CursorShape::Move},
                                         HitRow{"RadiusHandle", 150, 100, 2, CursorShape::SizeWe},
                                         HitRow{"NearRadiusPointIsNoHandle", 72, 138, 0,
                                                CursorShape::Cross},
                                         HitRow{"Body", 100, 60, 0, CursorShape::Cross},
                                         HitRow{"JustInsideLeft", 50, 99, 0, CursorShape::Cross},
                                         HitRow{"JustOutsideLeft", 49, 99, -1, CursorShape::Cross},
                                         HitRow{"BoxCorner", 60, 60, -1, CursorShape::Cross}),
                         [](const auto& info) { return info.param.name; });

TEST(CItemRound, CentreHandleWinsOverRadiusHandle) {
    CItemRound c = MakeCircle(0, 0, 3, 0, 0);  // squares at x -4..3 and -1..6
    EXPECT_EQ(c.HitTest(1, 0), 1);
    EXPECT_EQ(c.HitTest(5, 0), 2);
}

TEST(CItemRound, HoverOverAnUnselectedCircleLeavesTheCursor) {
    CItemRound c = MakeCircle(100, 100, 150, 100, 0);
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(c.OnMouseMove(cursor, 0, 0, 100, 100), 0);
    EXPECT_EQ(cursor, CursorShape::Unchanged);
}

struct MoveRow {
    const char* name;
    int handle;
    int x1, y1, x2, y2, xc, yc;  // after moving from (100, 100) to (110, 95)
};

void PrintTo(const MoveRow& row, std::ostream* os) {
    *os << row.name;
}

class CircleMoveHandle : public testing::TestWithParam<MoveRow> {};

TEST_P(CircleMoveHandle, Effect) {
    const MoveRow& r = GetParam();
    CItemRound c = MakeCircle(100, 100, 130, 140, 0);
    c.m_nHandle = r.handle;
    c.MoveHandle(100, 100, 110, 95);
    EXPECT_EQ(c.m_x1, r.x1);
    EXPECT_EQ(c.m_y1, r.y1);
    EXPECT_EQ(c.m_x2, r.x2);
    EXPECT_EQ(c.m_y2, r.y2);
    EXPECT_EQ(c.m_xCentre, r.xc);
    EXPECT_EQ(c.m_yCentre, r.yc);
}

INSTANTIATE_TEST_SUITE_P(Rows, CircleMoveHandle,
                         testing::Values(MoveRow{"Centre", 1, 110, 95, 140, 135, 110, 95},
                                         MoveRow{"Radius", 2, 100, 100, 110, 95, 100, 100},
                                         MoveRow{"BodyDoesNothing", 0, 100, 100, 130, 140, 100,
                                                 100},
                                         MoveRow{"Nothing", -1, 100, 100, 130, 140, 100, 100}),
                         [](const auto& info) { return info.param.name; });

TEST(CItemRound, DragOfTheCentreKeepsTheRadius) {
    CItemRound c = MakeCircle(100, 100, 130, 140, 0);
    EXPECT_EQ(c.OnLButtonDown(100, 100), 1);
    EXPECT_EQ(c.m_nHandle, 1);
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(c.OnMouseMove(cursor, 100, 100, 200, 50), 1);
    EXPECT_EQ(c.OnLButtonUp(200, 50), 0);
    EXPECT_EQ(c.m_x1, 200);
    EXPECT_EQ(c.m_y1, 50);
    EXPECT_EQ(c.m_xCentre, 200);
    EXPECT_EQ(c.m_x2, 230);
    EXPECT_EQ(c.Radius(), 50);
    EXPECT_EQ(c.HitTest(100, 100), -1);
}

TEST(CItemRound, DescriptionLines) {
    CItemRound c = MakeCircle(100, 100, 103, 104, 1, 0x3, 0xC);
    EXPECT_EQ(Description(c), "实心圆：圆心(100,100),半径:5,颜色代码 3C");
    c.m_bSolid = 0;
    c.m_codeHi = 0, c.m_codeLo = 5;
    c.m_bSelected = 1;
    bool checked = false;
    EXPECT_EQ(Description(c, &checked), "空心圆：圆心(100,100),半径:5,颜色代码 05");
    EXPECT_TRUE(checked);
}

TEST(CItemRound, CloneCopiesEveryFieldAndResetsType) {
    CItemRound c;
    Scatter(c);
    c.m_xCentre = -8, c.m_yCentre = 9;
    c.m_nType = 104;
    std::unique_ptr<CItemBase> copy = c.Clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->ClassName(), "CItemRound");
    EXPECT_EQ(copy->m_nType, 14);
    c.m_nType = 14;
    ExpectSameItem(c, *copy);
    auto* copied = static_cast<CItemRound*>(copy.get());
    EXPECT_EQ(copied->m_xCentre, -8);
    EXPECT_EQ(copied->m_yCentre, 9);
    EXPECT_EQ(copied->m_nRadius, 172);  // (11, 22) to (133, 144): 122 * sqrt(2) = 172.5
}

TEST(CItemRound, StoredRecordMatchesTheFormat) {
    CItemRound c = MakeCircle(100, 200, 103, 204, 1, 0x6, 0x9);
    c.m_nType = 104;
    c.m_xCentre = 99, c.m_yCentre = -1;
    c.m_crColor = Rgb(0x0A, 0x0B, 0x0C);
    c.m_crFill = Rgb(0xFF, 0xFF, 0xFF);  // not stored
    const CByteArray expected = Record("CItemRound")
                                    .Int(104)
                                    .Int(100)
                                    .Int(200)
                                    .Int(103)
                                    .Int(204)
                                    .Int(99)
                                    .Int(-1)
                                    .Int(0x000C0B0A)
                                    .Byte(0x9)
                                    .Byte(0x6)
                                    .Int(1)
                                    .Bytes();
    EXPECT_EQ(ToHex(Stored(c)), ToHex(expected));
}

TEST(CItemRound, LoadsBackAsIdle) {
    CItemRound c(10, 20, Rgb(1, 2, 3), Rgb(4, 5, 6), false);
    c.m_x2 = 40, c.m_y2 = 60;
    c.UpdateHandles();
    std::unique_ptr<CItemRound> back = Load<CItemRound>(Stored(c));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(ToHex(Stored(*back)), ToHex(Stored(c)));
    EXPECT_EQ(back->m_nType, 104);
    EXPECT_EQ(back->m_xCentre, 10);
    EXPECT_EQ(back->m_yCentre, 20);
    EXPECT_EQ(back->m_bCreating, 0);
    EXPECT_EQ(back->m_bSelected, 0);
    EXPECT_EQ(back->m_bDragging, 0);
    EXPECT_EQ(back->m_nHandle, -1);
    EXPECT_EQ(back->m_pRgn.GetKind(), Region::Kind::Empty);
}

TEST(CItemRound, SolidFillsWithTheOutlineColour) {
    const COLORREF bg = Rgb(0, 0, 0), pen = Rgb(255, 0, 0);
    Surface dc(40, 40, bg);
    CItemRound c = MakeCircle(20, 20, 30, 20, 1);
    c.m_crColor = pen;
    c.m_crFill = Rgb(0, 255, 0);
    c.Draw(dc);
    EXPECT_EQ(c.m_nRadius, 10);
    EXPECT_EQ(dc.GetPixel(20, 20), pen);
    EXPECT_EQ(dc.GetPixel(15, 20), pen);
    EXPECT_EQ(dc.GetPixel(2, 2), bg);
    EXPECT_EQ(dc.GetPixel(32, 20), bg);
}

TEST(CItemRound, GuideLineOnlyWhileTheRadiusIsDragged) {
    const COLORREF bg = Rgb(0, 0, 0), blue = Rgb(0, 0, 255);
    CItemRound c = MakeCircle(20, 20, 30, 20, 0);
    c.m_crColor = Rgb(255, 0, 0);
    Surface idle(40, 40, bg);
    c.Draw(idle);
    EXPECT_EQ(idle.GetPixel(25, 20), bg);
    c.m_nHandle = 2, c.m_bDragging = 1;
    Surface dragging(40, 40, bg);
    c.Draw(dragging);
    EXPECT_EQ(dragging.GetPixel(25, 20), blue);
    c.m_nHandle = 1;
    Surface movingCentre(40, 40, bg);
    c.Draw(movingCentre);
    EXPECT_EQ(movingCentre.GetPixel(25, 20), bg);
}

TEST(CItemRound, DrawHandlesDrawsTwoSquares) {
    Surface dc(60, 40, Rgb(255, 255, 255));
    CItemRound c = MakeCircle(20, 20, 20, 35, 0);  // radius 15, handle 2 at (35, 20)
    c.DrawHandles(dc);
    EXPECT_EQ(c.m_bSelected, 1);
    EXPECT_EQ(dc.GetPixel(20, 20), Rgb(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(35, 20), Rgb(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(20, 35), Rgb(255, 255, 255));
}

}  // namespace
