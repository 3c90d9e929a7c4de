// What the closed polygon does differently; the shared behaviour is in CItemPointList's tests.
#include <gtest/gtest.h>

#include "gfx/Surface.h"
#include "items/CItemMultiLine.h"

namespace {

constexpr COLORREF kWhite = Rgb(255, 255, 255);
constexpr COLORREF kRed = Rgb(255, 0, 0);

CItemMultiLine Triangle() {
    CItemMultiLine polygon(0, 0, kRed);
    polygon.OnLButtonDown(10, 0);
    polygon.OnLButtonDown(10, 10);
    polygon.OnRButtonDown(0, 50, 50);
    return polygon;
}

TEST(CItemMultiLine, CommandsEndWithTheClosingEdge) {
    CItemMultiLine polygon = Triangle();
    polygon.m_codeHi = 3, polygon.m_codeLo = 0xE;
    CByteArray bytes;
    polygon.Encode(1, bytes);
    EXPECT_EQ(ToHex(bytes),
              "1B 46 3E 00 00 00 00 0A 00 00 00 "
              "1B 46 3E 0A 00 00 00 0A 00 0A 00 "
              "1B 46 3E 0A 00 0A 00 00 00 00 00");
    EXPECT_EQ(polygon.GetEncodedLength(), 33);
}

struct LengthRow {
    const char* name;
    int points;
    int length;
};

class CItemMultiLineLength : public ::testing::TestWithParam<LengthRow> {};

TEST_P(CItemMultiLineLength, ElevenBytesPerEdge) {
    CItemMultiLine polygon;
    for (int i = 0; i < GetParam().points; ++i)
        polygon.m_arrPoints.push_back({i, 2 * i});
    CByteArray bytes;
    polygon.Encode(0, bytes);
    EXPECT_EQ(polygon.GetEncodedLength(), GetParam().length);
    EXPECT_EQ(static_cast<int>(bytes.size()), GetParam().length);
}

// A single point still closes on itself: one zero-length edge.
INSTANTIATE_TEST_SUITE_P(Table, CItemMultiLineLength,
                         ::testing::Values(LengthRow{"Empty", 0, 0}, LengthRow{"OnePoint", 1, 11},
                                           LengthRow{"TwoPoints", 2, 22},
                                           LengthRow{"FivePoints", 5, 55}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(CItemMultiLine, OnePointClosesOnItself) {
    CItemMultiLine polygon;
    polygon.m_arrPoints = {{300, -2}};
    CByteArray bytes;
    polygon.Encode(1, bytes);
    EXPECT_EQ(ToHex(bytes), "1B 46 00 2C 01 FE FF 2C 01 FE FF");
}

TEST(CItemMultiLine, RightClickAfterTwoPointsAsksForRemoval) {
    CItemMultiLine polygon(5, 5, kRed);
    polygon.OnLButtonDown(20, 5);
    EXPECT_EQ(polygon.OnRButtonDown(0, 9, 9), -1);
    EXPECT_EQ(polygon.m_bTracking, 0);
    EXPECT_EQ(polygon.m_bDragging, 0);
    EXPECT_EQ(polygon.m_arrPoints.size(), 2u);
}

TEST(CItemMultiLine, Description) {
    CItemMultiLine polygon = Triangle();
    polygon.m_codeHi = 0, polygon.m_codeLo = 5;
    TreeNode root;
    polygon.AddToTree(root, 0);
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_EQ(root.children[0].text, "多边形 左上角(0,0),右下角(10,10) 颜色代码:05");
    ASSERT_EQ(root.children[0].children.size(), 1u);
    EXPECT_EQ(root.children[0].children[0].text, "点队列:(0,0) (10,0) (10,10) ");
}

TEST(CItemMultiLine, DrawClosesTheOutlineWhenFinished) {
    CItemMultiLine polygon(10, 10, kRed);
    polygon.OnLButtonDown(60, 10);
    polygon.OnLButtonDown(60, 60);
    CursorShape cursor = CursorShape::Unchanged;
    polygon.OnMouseMove(cursor, 0, 0, 90, 60);
    {
        // Tracking: the rubber band to the mouse, no closing edge yet.
        Surface dc(100, 100, kWhite);
        polygon.Draw(dc);
        EXPECT_EQ(dc.GetPixel(75, 60), kRed);
        EXPECT_EQ(dc.GetPixel(35, 35), kWhite);
    }
    polygon.OnRButtonDown(0, 0, 0);
    Surface dc(100, 100, kWhite);
    polygon.Draw(dc);
    EXPECT_EQ(dc.GetPixel(30, 10), kRed);
    EXPECT_EQ(dc.GetPixel(60, 30), kRed);
    EXPECT_EQ(dc.GetPixel(35, 35), kRed);  // the closing diagonal
    EXPECT_EQ(dc.GetPixel(75, 60), kWhite);
    EXPECT_EQ(dc.GetPixel(50, 20), kWhite);  // outline only
}

}  // namespace
