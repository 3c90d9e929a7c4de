// What only the open polyline does; the shared behaviour is tested in CItemPointList.
#include <gtest/gtest.h>

#include "gfx/Surface.h"
#include "items/CItemPoly.h"

namespace {

constexpr COLORREF kWhite = Rgb(255, 255, 255);
constexpr COLORREF kRed = Rgb(255, 0, 0);

TEST(CItemPoly, CommandsAndDescription) {
    CItemPoly poly(0, 0, kRed);
    poly.OnLButtonDown(10, 0);
    poly.OnLButtonDown(10, 10);
    EXPECT_EQ(poly.OnRButtonDown(0, 50, 50), 3);
    poly.m_codeHi = 0xC, poly.m_codeLo = 7;
    CByteArray bytes;
    poly.Encode(1, bytes);
    EXPECT_EQ(ToHex(bytes), "1B 46 C7 00 00 00 00 0A 00 00 00 1B 46 C7 0A 00 00 00 0A 00 0A 00");
    EXPECT_EQ(poly.GetEncodedLength(), 22);
    TreeNode root;
    poly.AddToTree(root, 0);
    EXPECT_EQ(root.children.at(0).text, "折线 左上角(0,0),右下角(10,10) 颜色代码:C7");
}

TEST(CItemPoly, TwoPointsAreEnough) {
    CItemPoly one(5, 5, kRed);
    EXPECT_EQ(one.OnRButtonDown(0, 9, 9), -1);
    CItemPoly two(5, 5, kRed);
    two.OnLButtonDown(20, 5);
    EXPECT_EQ(two.OnRButtonDown(0, 9, 9), 2);
}

TEST(CItemPoly, DrawRubberBandThenOpenChain) {
    CItemPoly poly(10, 10, kRed);
    poly.OnLButtonDown(60, 10);
    poly.OnLButtonDown(60, 60);
    CursorShape cursor = CursorShape::Unchanged;
    poly.OnMouseMove(cursor, 0, 0, 90, 60);
    Surface tracking(100, 100, kWhite);
    poly.Draw(tracking);
    EXPECT_EQ(tracking.GetPixel(75, 60), kRed);
    poly.OnRButtonDown(0, 0, 0);
    Surface dc(100, 100, kWhite);
    poly.Draw(dc);
    EXPECT_EQ(dc.GetPixel(30, 10), kRed);
    EXPECT_EQ(dc.GetPixel(60, 30), kRed);
    EXPECT_EQ(dc.GetPixel(75, 60), kWhite);
    EXPECT_EQ(dc.GetPixel(35, 35), kWhite);  // no closing edge
}

}  // namespace
