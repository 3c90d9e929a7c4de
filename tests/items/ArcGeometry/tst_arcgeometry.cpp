#include <gtest/gtest.h>

#include <limits>

#include "items/ArcGeometry.h"

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

TEST(ArcGeometry, WholeDegreesAroundACentre) {
    struct Row {
        int32_t px, py;
        int degrees;
    };
    const Row rows[] = {
        {150, 100, 0},   {100, 150, 90}, {50, 100, 180}, {100, 50, 270},  // axes
        {150, 150, 44},  {50, 150, 136}, {50, 50, 224},  {150, 50, 316},  // 44.9999993
        {200, 150, 26},  {0, 150, 154},  {0, 50, 206},   {200, 50, 334},  // atan(1/2)
        {1000, 99, 0},                                                    // 360 - 0 folds to 0
        {1000, 80, 359},  // 1.27 degrees above the axis
        {100, 100, 270},  // the centre itself counts as straight up
    };
    for (const Row& r : rows)
        EXPECT_EQ(ArcGeometry::WholeDegrees(100, 100, r.px, r.py), r.degrees)
            << r.px << "," << r.py;
}

TEST(ArcGeometry, WholeDegreesAtTheLimits) {
    const int32_t values[] = {kMin, -1, 0, 1, kMax};
    for (int32_t cx : values)
        for (int32_t cy : values)
            for (int32_t px : values)
                for (int32_t py : values) {
                    const int d = ArcGeometry::WholeDegrees(cx, cy, px, py);
                    EXPECT_TRUE(d >= 0 && d < 360) << d;
                }
    EXPECT_EQ(ArcGeometry::WholeDegrees(kMin, kMin, kMax, kMax), 44);
}

TEST(ArcGeometry, Distances) {
    struct Row {
        int32_t x1, y1, x2, y2;
        int64_t truncated, rounded;
    };
    const Row rows[] = {
        {7, 7, 7, 7, 0, 0},
        {100, 100, 103, 104, 5, 5},
        {0, 0, 1, 2, 2, 2},                                    // 2.236
        {0, 0, 2, 2, 2, 3},                                    // 2.828
        {kMin, kMin, kMax, kMax, 6074000998LL, 6074000999LL},  // 6074000998.54
        // 3200000001^2 - 1: a floating root alone rounds up to 3200000001.
        {-1600000000, 0, 1600000000, 80000, 3200000000LL, 3200000001LL},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ArcGeometry::TruncatedDistance(r.x1, r.y1, r.x2, r.y2), r.truncated);
        EXPECT_EQ(ArcGeometry::TruncatedDistance(r.x2, r.y2, r.x1, r.y1), r.truncated);
        EXPECT_EQ(ArcGeometry::RoundedDistance(r.x1, r.y1, r.x2, r.y2), r.rounded);
    }
}

}  // namespace
