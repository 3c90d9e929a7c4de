// What the pie does differently from the arc; the shared behaviour is in CItemSweep's tests.
#include <gtest/gtest.h>

#include "gfx/Surface.h"
#include "items/CItemPie.h"

namespace {

constexpr COLORREF kWhite = Rgb(255, 255, 255);
constexpr COLORREF kGreen = Rgb(0, 255, 0);

// Centre (100, 100), start east (150, 100), end south (100, 150): the lower-right quarter.
CItemPie Quarter() {
    CItemPie pie(100, 100, kGreen);
    pie.OnLButtonDown(150, 100);
    pie.OnLButtonDown(100, 150);
    pie.OnLButtonUp(100, 150);
    return pie;
}

TEST(CItemPie, DefaultConstructedIsAFinishedPie) {
    CItemPie pie;
    EXPECT_EQ(pie.m_nType, 30);
    EXPECT_EQ(pie.m_bCreating, 0);
    EXPECT_EQ(pie.m_pRgn.GetKind(), Region::Kind::Empty);
}

TEST(CItemPie, Description) {
    CItemPie pie = Quarter();
    pie.m_codeHi = 0, pie.m_codeLo = 5;
    TreeNode root;
    pie.AddToTree(root, 3);
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_EQ(root.children[0].text,
              "扇形：圆心坐标(100,100),半径 50,起始角:0 终止角:90 颜色代码:05");
}

TEST(CItemPie, Command) {
    CItemPie pie = Quarter();
    pie.m_codeHi = 15, pie.m_codeLo = 15;
    CByteArray bytes;
    pie.Encode(1, bytes);
    EXPECT_EQ(ToHex(bytes), "1B 17 FF 64 00 64 00 32 00 00 00 5A 00");
}

struct CursorRow {
    const char* name;
    int x, y;
    CursorShape cursor;
};

class CItemPieCursor : public ::testing::TestWithParam<CursorRow> {};

TEST_P(CItemPieCursor, HoverOverSelectedPie) {
    CItemPie pie = Quarter();
    pie.m_bSelected = 1;
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(pie.OnMouseMove(cursor, 0, 0, GetParam().x, GetParam().y), 0);
    EXPECT_EQ(cursor, GetParam().cursor);
}

// The pie moves over its three handles; its body shows the cross-hair.
INSTANTIATE_TEST_SUITE_P(Table, CItemPieCursor,
                         ::testing::Values(CursorRow{"Centre", 100, 100, CursorShape::Move},
                                           CursorRow{"Start", 150, 100, CursorShape::Move},
                                           CursorRow{"End", 100, 150, CursorShape::Move},
                                           CursorRow{"Body", 120, 120, CursorShape::Cross},
                                           CursorRow{"Outside", 60, 60, CursorShape::Cross}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(CItemPie, DrawsRadiiAndCurveUnfilled) {
    CItemPie pie = Quarter();
    Surface dc(200, 200, kWhite);
    pie.Draw(dc);
    // Both radii, solid.
    for (int d = 10; d <= 40; d += 5) {
        EXPECT_EQ(dc.GetPixel(100 + d, 100), kGreen) << d;
        EXPECT_EQ(dc.GetPixel(100, 100 + d), kGreen) << d;
    }
    // Unfilled inside; nothing on the other side of the centre.
    EXPECT_EQ(dc.GetPixel(120, 120), kWhite);
    EXPECT_EQ(dc.GetPixel(75, 100), kWhite);
    EXPECT_EQ(dc.GetPixel(100, 75), kWhite);
}

TEST(CItemPie, CreatingShowsSolidRay) {
    CItemPie pie(100, 100, kGreen);
    CursorShape cursor = CursorShape::Unchanged;
    pie.OnMouseMove(cursor, 100, 100, 160, 100);
    Surface dc(200, 200, kWhite);
    pie.Draw(dc);
    for (int x = 101; x < 159; ++x)
        EXPECT_EQ(dc.GetPixel(x, 100), kGreen) << x;
    EXPECT_EQ(dc.GetPixel(100, 140), kWhite);
}

}  // namespace
