// What only the closed polygon does; the shared behaviour is tested in CItemPointList.
#include <gtest/gtest.h>

#include "gfx/Surface.h"
#include "items/CItemMultiLine.h"

namespace {

constexpr COLORREF kWhite = Rgb(255, 255, 255);
constexpr COLORREF kRed = Rgb(255, 0, 0);

TEST(CItemMultiLine, CommandsEndWithTheClosingEdge) {
    CItemMultiLine polygon(0, 0, kRed);
    polygon.OnLButtonDown(10, 0);
    polygon.OnLButtonDown(10, 10);
    EXPECT_EQ(polygon.OnRButtonDown(0, 50, 50), 3);
    polygon.m_codeHi = 0, polygon.m_codeLo = 5;
    CByteArray bytes;
    polygon.Encode(1, bytes);
    EXPECT_EQ(ToHex(bytes),
              "1B 46 05 00 00 00 00 0A 00 00 00 "
              "1B 46 05 0A 00 00 00 0A 00 0A 00 "
              "1B 46 05 0A 00 0A 00 00 00 00 00");
    EXPECT_EQ(polygon.GetEncodedLength(), 33);
    TreeNode root;
    polygon.AddToTree(root, 0);
    EXPECT_EQ(root.children.at(0).text, "多边形 左上角(0,0),右下角(10,10) 颜色代码:05");
    // A single point still closes on itself.
    polygon.m_arrPoints = {{300, -2}};
    bytes.clear();
    polygon.Encode(1, bytes);
    EXPECT_EQ(ToHex(bytes), "1B 46 05 2C 01 FE FF 2C 01 FE FF");
}

TEST(CItemMultiLine, TwoPointsAreTooFew) {
    CItemMultiLine polygon(5, 5, kRed);
    polygon.OnLButtonDown(20, 5);
    EXPECT_EQ(polygon.OnRButtonDown(0, 9, 9), -1);
    EXPECT_EQ(polygon.m_arrPoints.size(), 2u);
}

TEST(CItemMultiLine, DrawClosesTheOutlineWhenFinished) {
    CItemMultiLine polygon(10, 10, kRed);
    polygon.OnLButtonDown(60, 10);
    polygon.OnLButtonDown(60, 60);
    CursorShape cursor = CursorShape::Unchanged;
    polygon.OnMouseMove(cursor, 0, 0, 90, 60);
    Surface tracking(100, 100, kWhite);
    polygon.Draw(tracking);
    EXPECT_EQ(tracking.GetPixel(75, 60), kRed);    // the rubber band
    EXPECT_EQ(tracking.GetPixel(35, 35), kWhite);  // not closed yet
    polygon.OnRButtonDown(0, 0, 0);
    Surface dc(100, 100, kWhite);
    polygon.Draw(dc);
    EXPECT_EQ(dc.GetPixel(35, 35), kRed);  // the closing diagonal
    EXPECT_EQ(dc.GetPixel(75, 60), kWhite);
    EXPECT_EQ(dc.GetPixel(50, 20), kWhite);  // outline only
}

}  // namespace
