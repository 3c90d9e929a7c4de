// What the arc does differently from the pie; the shared behaviour is in CItemSweep's tests.
#include <gtest/gtest.h>

#include "gfx/Surface.h"
#include "items/CItemArc.h"

namespace {

constexpr COLORREF kWhite = Rgb(255, 255, 255);
constexpr COLORREF kRed = Rgb(255, 0, 0);

// Centre (100, 100), start east (150, 100), end south (100, 150): the lower-right quarter.
CItemArc Quarter() {
    CItemArc arc(100, 100, kRed);
    arc.OnLButtonDown(150, 100);
    arc.OnLButtonDown(100, 150);
    arc.OnLButtonUp(100, 150);
    return arc;
}

int CountNear(const Surface& dc, int x, int y, int reach, COLORREF colour) {
    int n = 0;
    for (int j = y - reach; j <= y + reach; ++j)
        for (int i = x - reach; i <= x + reach; ++i)
            n += dc.GetPixel(i, j) == colour;
    return n;
}

TEST(CItemArc, DefaultConstructedIsAFinishedArc) {
    CItemArc arc;
    EXPECT_EQ(arc.m_nType, 40);
    EXPECT_EQ(arc.m_bCreating, 0);
    EXPECT_EQ(arc.m_nHandle, -1);
    EXPECT_EQ(arc.m_pRgn.GetKind(), Region::Kind::Empty);
}

TEST(CItemArc, Description) {
    CItemArc arc = Quarter();
    arc.m_codeHi = 7, arc.m_codeLo = 15;
    TreeNode root;
    arc.AddToTree(root, 0);
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_EQ(root.children[0].text,
              "圆弧：圆心坐标(100,100),半径 50,起始角:0 终止角:90 颜色代码:7F");
    EXPECT_TRUE(root.children[0].children.empty());
}

TEST(CItemArc, Command) {
    CItemArc arc = Quarter();
    arc.m_codeHi = 1, arc.m_codeLo = 2;
    CByteArray bytes;
    arc.Encode(1, bytes);
    EXPECT_EQ(ToHex(bytes), "1B 16 12 64 00 64 00 32 00 00 00 5A 00");
}

struct CursorRow {
    const char* name;
    int x, y;
    CursorShape cursor;
};

class CItemArcCursor : public ::testing::TestWithParam<CursorRow> {};

TEST_P(CItemArcCursor, HoverOverSelectedArc) {
    CItemArc arc = Quarter();
    arc.m_bSelected = 1;
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(arc.OnMouseMove(cursor, 0, 0, GetParam().x, GetParam().y), 0);
    EXPECT_EQ(cursor, GetParam().cursor);
}

// The arc moves over its body, centre and start point; its end point shows the cross-hair.
INSTANTIATE_TEST_SUITE_P(Table, CItemArcCursor,
                         ::testing::Values(CursorRow{"Centre", 100, 100, CursorShape::Move},
                                           CursorRow{"Start", 150, 100, CursorShape::Move},
                                           CursorRow{"End", 100, 150, CursorShape::Cross},
                                           CursorRow{"Body", 120, 120, CursorShape::Move},
                                           CursorRow{"Outside", 60, 60, CursorShape::Cross}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(CItemArc, DrawsOnlyTheSweptCurve) {
    CItemArc arc = Quarter();
    Surface dc(200, 200, kWhite);
    arc.Draw(dc);
    // On the curve at 45 degrees: 100 + 50 / sqrt(2) = 135.4.
    EXPECT_GT(CountNear(dc, 135, 135, 1, kRed), 0);
    // Not at 135 degrees, nor at 270: outside the sweep.
    EXPECT_EQ(CountNear(dc, 64, 135, 2, kRed), 0);
    EXPECT_EQ(CountNear(dc, 100, 50, 2, kRed), 0);
    // No radii and no fill.
    EXPECT_EQ(dc.GetPixel(125, 100), kWhite);
    EXPECT_EQ(dc.GetPixel(120, 120), kWhite);
}

TEST(CItemArc, CreatingShowsGuides) {
    CItemArc arc(100, 100, kRed);
    CursorShape cursor = CursorShape::Unchanged;
    arc.OnMouseMove(cursor, 100, 100, 160, 100);
    Surface dc(200, 200, kWhite);
    arc.Draw(dc);
    // Step 1: a dotted ray to the start point and no curve yet.
    const int onRay = CountNear(dc, 130, 100, 10, kRed);
    EXPECT_GT(onRay, 0);
    EXPECT_LT(onRay, 20);  // dotted: not every pixel of the 21 on the ray
    EXPECT_EQ(CountNear(dc, 100, 160, 3, kRed), 0);
}

TEST(CItemArc, DrawHandlesAddsDottedRays) {
    CItemArc arc = Quarter();
    Surface dc(200, 200, kWhite);
    arc.DrawHandles(dc);
    EXPECT_GT(CountNear(dc, 125, 100, 10, kRed), 0);
    EXPECT_GT(CountNear(dc, 100, 125, 10, kRed), 0);
}

}  // namespace
