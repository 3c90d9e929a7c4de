// What only the arc does; the shared behaviour is tested in CItemSweep.
#include <gtest/gtest.h>

#include "gfx/Surface.h"
#include "items/CItemArc.h"

namespace {

constexpr COLORREF kWhite = Rgb(255, 255, 255);
constexpr COLORREF kRed = Rgb(255, 0, 0);

int CountNear(const Surface& dc, int x, int y, int reach) {
    int n = 0;
    for (int j = y - reach; j <= y + reach; ++j)
        for (int i = x - reach; i <= x + reach; ++i)
            n += dc.GetPixel(i, j) == kRed;
    return n;
}

TEST(CItemArc, DescriptionAndCommand) {
    CItemArc arc(100, 100, kRed);
    arc.OnLButtonDown(150, 100);
    arc.OnLButtonDown(100, 150);
    arc.m_codeHi = 7, arc.m_codeLo = 15;
    TreeNode root;
    arc.AddToTree(root, 0);
    EXPECT_EQ(root.children.at(0).text,
              "圆弧：圆心坐标(100,100),半径 50,起始角:0 终止角:90 颜色代码:7F");
    CByteArray bytes;
    arc.Encode(1, bytes);
    EXPECT_EQ(ToHex(bytes), "1B 16 7F 64 00 64 00 32 00 00 00 5A 00");
}

TEST(CItemArc, DrawGuidesThenTheSweptCurve) {
    CItemArc arc(100, 100, kRed);
    CursorShape cursor = CursorShape::Unchanged;
    arc.OnMouseMove(cursor, 0, 0, 160, 100);
    Surface guide(200, 200, kWhite);
    arc.Draw(guide);
    // Step 1: a dotted ray to the start point only.
    const int onRay = CountNear(guide, 130, 100, 10);
    EXPECT_GT(onRay, 0);
    EXPECT_LT(onRay, 21);
    EXPECT_EQ(CountNear(guide, 160, 130, 5), 0);

    arc.OnLButtonDown(150, 100);
    arc.OnLButtonDown(100, 150);
    arc.OnLButtonUp(100, 150);
    Surface dc(200, 200, kWhite);
    arc.Draw(dc);
    EXPECT_GT(CountNear(dc, 135, 135, 1), 0);  // the curve at 45 degrees
    EXPECT_EQ(CountNear(dc, 64, 135, 2), 0);   // not at 135 degrees
    EXPECT_EQ(CountNear(dc, 125, 100, 3), 0);  // no radii once finished
    // Selected: dotted rays to both points and blue squares.
    arc.DrawHandles(dc);
    EXPECT_GT(CountNear(dc, 125, 100, 10), 0);
    EXPECT_EQ(dc.GetPixel(149, 99), Rgb(0, 0, 255));
    EXPECT_EQ(arc.m_bSelected, 1);
}

}  // namespace
