#include <gtest/gtest.h>

#include "gfx/Surface.h"
#include "items/CItemBase/ItemChecks.h"
#include "items/CItemEllipse.h"

using namespace itemchecks;

namespace {

CItemEllipse MakeEllipse(int x1, int y1, int x2, int y2, int solid, uint8_t hi = 0,
                         uint8_t lo = 7) {
    CItemEllipse e;
    e.m_x1 = x1, e.m_y1 = y1, e.m_x2 = x2, e.m_y2 = y2;
    e.m_bSolid = solid;
    e.m_codeHi = hi, e.m_codeLo = lo;
    return e;
}

struct EncodeRow {
    const char* name;
    int x1, y1, x2, y2, solid;
    const char* hex;
};

void PrintTo(const EncodeRow& row, std::ostream* os) {
    *os << row.name;
}

class EllipseEncode : public testing::TestWithParam<EncodeRow> {};

TEST_P(EllipseEncode, BytesAndLengthAgree) {
    const EncodeRow& r = GetParam();
    CItemEllipse e = MakeEllipse(r.x1, r.y1, r.x2, r.y2, r.solid);
    EXPECT_EQ(EncodedHex(e), r.hex);
    CByteArray bytes;
    e.Encode(1, bytes);
    EXPECT_EQ(e.GetEncodedLength(), static_cast<int>(bytes.size()));
}

// Scale pair, then colour, centre x1 + (x2 - x1) / 2 (toward zero) and radius h / 2.
INSTANTIATE_TEST_SUITE_P(
    Rows, EllipseEncode,
    testing::Values(
        EncodeRow{"WideHollow", 0, 0, 100, 50, 0, "1B 4E 64 32 1B 59 07 32 00 19 00 19 00"},
        EncodeRow{"TallHollow", 0, 0, 50, 100, 0, "1B 4E 32 64 1B 59 07 19 00 32 00 32 00"},
        EncodeRow{"WideSolid", 0, 0, 100, 50, 1, "1B 4E 64 32 1B 13 07 32 00 19 00 19 00"},
        EncodeRow{"Round", 10, 10, 30, 30, 0, "1B 4E 64 64 1B 59 07 14 00 14 00 0A 00"},
        EncodeRow{"CornersSwapped", 100, 50, 0, 0, 0, "1B 4E 64 32 1B 59 07 32 00 19 00 19 00"},
        // w 5, h 7: 500 / 7 = 71; centre 5 + (0 - 5) / 2 = 3, 9 + (2 - 9) / 2 = 6; radius 3.
        EncodeRow{"OddSizesTruncate", 5, 9, 0, 2, 0, "1B 4E 47 64 1B 59 07 03 00 06 00 03 00"},
        EncodeRow{"NoWidth", 10, 0, 10, 30, 0, ""}, EncodeRow{"NoHeight", 0, 4, 30, 4, 1, ""},
        EncodeRow{"Point", 3, 3, 3, 3, 1, ""}),
    [](const auto& info) { return info.param.name; });

TEST(CItemEllipse, CreationConstructorState) {
    CItemEllipse solid(7, 8, Rgb(1, 1, 1), Rgb(2, 2, 2), true);
    EXPECT_EQ(solid.m_nType, 4);
    EXPECT_EQ(solid.m_bSolid, 1);
    EXPECT_EQ(solid.m_x1, 7);
    EXPECT_EQ(solid.m_x2, 7);
    EXPECT_EQ(solid.m_y1, 8);
    EXPECT_EQ(solid.m_y2, 8);
    EXPECT_EQ(solid.m_crColor, Rgb(1, 1, 1));
    EXPECT_EQ(solid.m_crFill, Rgb(2, 2, 2));
    EXPECT_EQ(solid.m_nHandle, 5);
    EXPECT_EQ(solid.m_bCreating, 1);
    EXPECT_EQ(solid.m_bDragging, 1);
    EXPECT_EQ(solid.m_bSelected, 1);
    EXPECT_EQ(solid.m_pRgn.GetKind(), Region::Kind::Empty);
    CItemEllipse hollow(0, 0, 0, 0, false);
    EXPECT_EQ(hollow.m_nType, 5);
    EXPECT_EQ(hollow.m_bSolid, 0);
}

TEST(CItemEllipse, DrawnWithTheMouse) {
    CItemEllipse e(10, 10, 0, 0, false);
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(e.OnMouseMove(cursor, 10, 10, 60, 40), 1);
    EXPECT_EQ(e.m_x2, 60);
    EXPECT_EQ(e.m_y2, 40);
    EXPECT_EQ(e.OnLButtonUp(70, 45), 0);
    EXPECT_EQ(e.m_x2, 70);
    EXPECT_EQ(e.m_y2, 45);
    EXPECT_EQ(e.m_bCreating, 0);
    EXPECT_EQ(e.m_bDragging, 0);
}

TEST(CItemEllipse, ReleasedWhereItStartedIsRemoved) {
    CItemEllipse e(10, 10, 0, 0, true);
    CursorShape cursor = CursorShape::Unchanged;
    e.OnMouseMove(cursor, 10, 10, 50, 50);
    EXPECT_EQ(e.OnLButtonUp(10, 10), -1);
}

struct HitRow {
    const char* name;
    int x, y;
    int handle;
};

void PrintTo(const HitRow& row, std::ostream* os) {
    *os << row.name;
}

class EllipseHitTest : public testing::TestWithParam<HitRow> {};

// The ellipse in (0, 0)-(100, 50): centre (50, 25), semi-axes 50 and 25.
TEST_P(EllipseHitTest, Handle) {
    CItemEllipse e = MakeEllipse(0, 0, 100, 50, 0);
    EXPECT_EQ(e.HitTest(GetParam().x, GetParam().y), GetParam().handle);
}

INSTANTIATE_TEST_SUITE_P(Rows, EllipseHitTest,
                         testing::Values(HitRow{"Centre", 50, 25, 9}, HitRow{"TopLeft", 2, 2, 1},
                                         HitRow{"RightMiddle", 100, 25, 4},
                                         HitRow{"Inside", 20, 25, 0},
                                         HitRow{"InsideNearTop", 30, 3, 0},
                                         // In the box but outside the curve.
                                         HitRow{"BoxCorner", 8, 5, -1},
                                         HitRow{"BoxCornerRight", 92, 44, -1},
                                         HitRow{"BelowCurve", 30, 49, -1}),
                         [](const auto& info) { return info.param.name; });

TEST(CItemEllipse, FlatEllipseHasNoBody) {
    CItemEllipse e = MakeEllipse(0, 10, 100, 10, 0);
    EXPECT_EQ(e.HitTest(30, 10), -1);
    EXPECT_EQ(e.HitTest(50, 10), 2);  // its handles still work
}

TEST(CItemEllipse, InsideOutEllipseIsPicked) {
    CItemEllipse e = MakeEllipse(100, 50, 0, 0, 0);
    EXPECT_EQ(e.HitTest(20, 25), 0);
    EXPECT_EQ(e.HitTest(8, 5), -1);
}

TEST(CItemEllipse, DescriptionLines) {
    CItemEllipse solid = MakeEllipse(1, 2, 30, 40, 1, 0xF, 0x0);
    EXPECT_EQ(Description(solid), "实心椭圆：左上角(1,2),右下角(30,40),颜色代码 F0");
    CItemEllipse hollow = MakeEllipse(1, 2, 30, 40, 0, 0x0, 0x5);
    hollow.m_bSelected = 1;
    bool checked = false;
    EXPECT_EQ(Description(hollow, &checked), "空心椭圆：左上角(1,2),右下角(30,40),颜色代码 05");
    EXPECT_TRUE(checked);
}

TEST(CItemEllipse, CloneCopiesEveryFieldAndResetsType) {
    CItemEllipse e;
    Scatter(e);
    e.m_bSolid = 0;
    e.m_nType = 5;
    std::unique_ptr<CItemBase> copy = e.Clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->ClassName(), "CItemEllipse");
    EXPECT_EQ(copy->m_nType, 4);  // the clone value, even of a hollow ellipse
    EXPECT_EQ(copy->m_bSolid, 0);
    e.m_nType = 4;
    ExpectSameItem(e, *copy);
    EXPECT_EQ(copy->HitTest(40, 83), 0);  // the copy's own region
}

TEST(CItemEllipse, StoredRecordMatchesTheFormat) {
    CItemEllipse e = MakeEllipse(1, -2, 3, 40000, 0, 0x1, 0xE);
    e.m_nType = 5;
    e.m_crColor = Rgb(0x10, 0x20, 0x30);
    e.m_crFill = Rgb(0x40, 0x50, 0x60);
    const CByteArray expected = Record("CItemEllipse")
                                    .Int(5)
                                    .Int(1)
                                    .Int(-2)
                                    .Int(3)
                                    .Int(40000)
                                    .Int(0x00302010)
                                    .Int(0x00605040)
                                    .Int(0)
                                    .Byte(0xE)
                                    .Byte(0x1)
                                    .Bytes();
    EXPECT_EQ(ToHex(Stored(e)), ToHex(expected));
}

TEST(CItemEllipse, LoadsBackAsIdle) {
    CItemEllipse e(4, 5, Rgb(1, 2, 3), Rgb(4, 5, 6), false);
    e.m_x2 = 40, e.m_y2 = 50;
    e.HitTest(10, 10);
    std::unique_ptr<CItemEllipse> back = Load<CItemEllipse>(Stored(e));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(ToHex(Stored(*back)), ToHex(Stored(e)));
    EXPECT_EQ(back->m_nType, 5);
    EXPECT_EQ(back->m_bCreating, 0);
    EXPECT_EQ(back->m_bSelected, 0);
    EXPECT_EQ(back->m_bDragging, 0);
    EXPECT_EQ(back->m_nHandle, -1);
    EXPECT_EQ(back->m_pRgn.GetKind(), Region::Kind::Empty);
}

TEST(CItemEllipse, SolidIsFilledWithTheFillColour) {
    const COLORREF bg = Rgb(0, 0, 0), pen = Rgb(255, 0, 0), fill = Rgb(0, 255, 0);
    Surface dc(30, 20, bg);
    CItemEllipse e = MakeEllipse(0, 0, 20, 10, 1);
    e.m_crColor = pen, e.m_crFill = fill;
    e.Draw(dc);
    EXPECT_EQ(dc.GetPixel(10, 5), fill);
    EXPECT_EQ(dc.GetPixel(0, 0), bg);
    EXPECT_EQ(dc.GetPixel(25, 5), bg);
    Surface hollowDc(30, 20, bg);
    e.m_bSolid = 0;
    e.Draw(hollowDc);
    EXPECT_EQ(hollowDc.GetPixel(10, 5), bg);
}

}  // namespace
