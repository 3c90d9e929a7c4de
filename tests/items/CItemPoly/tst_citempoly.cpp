// What the open polyline does differently; the shared behaviour is in CItemPointList's tests.
#include <gtest/gtest.h>

#include "gfx/Surface.h"
#include "items/CItemPoly.h"

namespace {

constexpr COLORREF kWhite = Rgb(255, 255, 255);
constexpr COLORREF kRed = Rgb(255, 0, 0);

CItemPoly Corner() {
    CItemPoly poly(0, 0, kRed);
    poly.OnLButtonDown(10, 0);
    poly.OnLButtonDown(10, 10);
    poly.OnRButtonDown(0, 50, 50);
    return poly;
}

TEST(CItemPoly, CommandsForTheOpenChain) {
    CItemPoly poly = Corner();
    poly.m_codeHi = 0, poly.m_codeLo = 7;
    CByteArray bytes;
    poly.Encode(1, bytes);
    EXPECT_EQ(ToHex(bytes),
              "1B 46 07 00 00 00 00 0A 00 00 00 "
              "1B 46 07 0A 00 00 00 0A 00 0A 00");
    EXPECT_EQ(poly.GetEncodedLength(), 22);
}

struct LengthRow {
    const char* name;
    int points;
    int length;
};

class CItemPolyLength : public ::testing::TestWithParam<LengthRow> {};

TEST_P(CItemPolyLength, ElevenBytesPerSegment) {
    CItemPoly poly;
    for (int i = 0; i < GetParam().points; ++i)
        poly.m_arrPoints.push_back({i, 2 * i});
    CByteArray bytes;
    poly.Encode(0, bytes);
    EXPECT_EQ(poly.GetEncodedLength(), GetParam().length);
    EXPECT_EQ(static_cast<int>(bytes.size()), GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(Table, CItemPolyLength,
                         ::testing::Values(LengthRow{"Empty", 0, 0}, LengthRow{"OnePoint", 1, 0},
                                           LengthRow{"TwoPoints", 2, 11},
                                           LengthRow{"FivePoints", 5, 44}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(CItemPoly, RightClickAfterOnePointAsksForRemoval) {
    CItemPoly poly(5, 5, kRed);
    EXPECT_EQ(poly.OnRButtonDown(0, 9, 9), -1);
    EXPECT_EQ(poly.m_bTracking, 0);
    CItemPoly two(5, 5, kRed);
    two.OnLButtonDown(20, 5);
    EXPECT_EQ(two.OnRButtonDown(0, 9, 9), 2);
}

TEST(CItemPoly, Description) {
    CItemPoly poly = Corner();
    poly.m_codeHi = 0xC, poly.m_codeLo = 0;
    TreeNode root;
    poly.AddToTree(root, 0);
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_EQ(root.children[0].text, "折线 左上角(0,0),右下角(10,10) 颜色代码:C0");
    ASSERT_EQ(root.children[0].children.size(), 1u);
    EXPECT_EQ(root.children[0].children[0].text, "点队列:(0,0) (10,0) (10,10) ");
}

TEST(CItemPoly, DrawLeavesTheChainOpen) {
    CItemPoly poly(10, 10, kRed);
    poly.OnLButtonDown(60, 10);
    poly.OnLButtonDown(60, 60);
    poly.OnRButtonDown(0, 0, 0);
    Surface dc(100, 100, kWhite);
    poly.Draw(dc);
    EXPECT_EQ(dc.GetPixel(30, 10), kRed);
    EXPECT_EQ(dc.GetPixel(60, 30), kRed);
    EXPECT_EQ(dc.GetPixel(35, 35), kWhite);  // no closing diagonal
}

TEST(CItemPoly, TrackingDrawsTheRubberBand) {
    CItemPoly poly(10, 10, kRed);
    CursorShape cursor = CursorShape::Unchanged;
    poly.OnMouseMove(cursor, 0, 0, 10, 80);
    Surface dc(100, 100, kWhite);
    poly.Draw(dc);
    EXPECT_EQ(dc.GetPixel(10, 50), kRed);
}

}  // namespace
