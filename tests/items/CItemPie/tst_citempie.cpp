// What only the pie does; the shared behaviour is tested in CItemSweep.
#include <gtest/gtest.h>

#include "gfx/Surface.h"
#include "items/CItemPie.h"

namespace {

constexpr COLORREF kWhite = Rgb(255, 255, 255);
constexpr COLORREF kGreen = Rgb(0, 255, 0);

TEST(CItemPie, DescriptionAndCommand) {
    CItemPie pie(100, 100, kGreen);
    pie.OnLButtonDown(150, 100);
    pie.OnLButtonDown(100, 150);
    pie.m_codeHi = 0, pie.m_codeLo = 5;
    TreeNode root;
    pie.AddToTree(root, 3);
    EXPECT_EQ(root.children.at(0).text,
              "扇形：圆心坐标(100,100),半径 50,起始角:0 终止角:90 颜色代码:05");
    CByteArray bytes;
    pie.Encode(1, bytes);
    EXPECT_EQ(ToHex(bytes), "1B 17 05 64 00 64 00 32 00 00 00 5A 00");
}

TEST(CItemPie, DrawSolidRayThenUnfilledOutline) {
    CItemPie pie(100, 100, kGreen);
    CursorShape cursor = CursorShape::Unchanged;
    pie.OnMouseMove(cursor, 0, 0, 160, 100);
    Surface guide(200, 200, kWhite);
    pie.Draw(guide);
    for (int x = 101; x < 159; ++x)
        EXPECT_EQ(guide.GetPixel(x, 100), kGreen) << x;

    pie.OnLButtonDown(150, 100);
    pie.OnLButtonDown(100, 150);
    pie.OnLButtonUp(100, 150);
    Surface dc(200, 200, kWhite);
    pie.Draw(dc);
    for (int d = 10; d <= 40; d += 10) {
        EXPECT_EQ(dc.GetPixel(100 + d, 100), kGreen) << d;  // both radii
        EXPECT_EQ(dc.GetPixel(100, 100 + d), kGreen) << d;
    }
    EXPECT_EQ(dc.GetPixel(120, 120), kWhite);  // not filled
    EXPECT_EQ(dc.GetPixel(75, 100), kWhite);   // nothing behind the centre
}

}  // namespace
