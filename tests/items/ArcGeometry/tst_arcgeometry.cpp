#include <gtest/gtest.h>

#include <limits>

#include "items/ArcGeometry.h"

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

struct AngleRow {
    const char* name;
    int32_t px, py;
    int degrees;
};

class WholeDegrees : public ::testing::TestWithParam<AngleRow> {};

TEST_P(WholeDegrees, AroundCentre100) {
    const AngleRow& r = GetParam();
    EXPECT_EQ(ArcGeometry::WholeDegrees(100, 100, r.px, r.py), r.degrees);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WholeDegrees,
    ::testing::Values(
        // The axes.
        AngleRow{"East", 150, 100, 0}, AngleRow{"South", 100, 150, 90},
        AngleRow{"West", 50, 100, 180}, AngleRow{"North", 100, 50, 270},
        // Diagonals: 44.9999993 before truncation.
        AngleRow{"SouthEast", 150, 150, 44}, AngleRow{"SouthWest", 50, 150, 136},
        AngleRow{"NorthWest", 50, 50, 224}, AngleRow{"NorthEast", 150, 50, 316},
        // atan(1/2) = 26.565 degrees, in each quadrant.
        AngleRow{"Shallow1", 200, 150, 26}, AngleRow{"Shallow2", 0, 150, 154},
        AngleRow{"Shallow3", 0, 50, 206}, AngleRow{"Shallow4", 200, 50, 334},
        // One pixel off an axis stays within the first whole degree.
        AngleRow{"JustBelowEast", 1000, 101, 0}, AngleRow{"JustAboveEast", 1000, 99, 0},
        // The centre itself counts as straight up.
        AngleRow{"Centre", 100, 100, 270}),
    [](const ::testing::TestParamInfo<AngleRow>& i) { return std::string(i.param.name); });

TEST(WholeDegreesRange, JustAboveEastWrapsToZero) {
    // 360 - 0 is folded to 0, never sent as 360.
    EXPECT_EQ(ArcGeometry::WholeDegrees(0, 0, 1000, -1), 0);
    EXPECT_EQ(ArcGeometry::WholeDegrees(0, 0, 1000, -20), 360 - 1);
}

TEST(WholeDegreesRange, ExtremeCoordinatesStayInRange) {
    const int32_t values[] = {kMin, -1, 0, 1, kMax};
    for (int32_t cx : values)
        for (int32_t cy : values)
            for (int32_t px : values)
                for (int32_t py : values) {
                    const int d = ArcGeometry::WholeDegrees(cx, cy, px, py);
                    EXPECT_GE(d, 0);
                    EXPECT_LT(d, 360);
                }
    // Opposite corners of the coordinate space: a true diagonal.
    EXPECT_EQ(ArcGeometry::WholeDegrees(kMin, kMin, kMax, kMax), 44);
}

struct DistanceRow {
    const char* name;
    int32_t x1, y1, x2, y2;
    int64_t truncated, rounded;
};

class Distance : public ::testing::TestWithParam<DistanceRow> {};

TEST_P(Distance, TruncatedAndRounded) {
    const DistanceRow& r = GetParam();
    EXPECT_EQ(ArcGeometry::TruncatedDistance(r.x1, r.y1, r.x2, r.y2), r.truncated);
    EXPECT_EQ(ArcGeometry::RoundedDistance(r.x1, r.y1, r.x2, r.y2), r.rounded);
    // Symmetric in its two points.
    EXPECT_EQ(ArcGeometry::TruncatedDistance(r.x2, r.y2, r.x1, r.y1), r.truncated);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Distance,
    ::testing::Values(DistanceRow{"Zero", 7, 7, 7, 7, 0, 0},
                      DistanceRow{"ThreeFourFive", 0, 0, 3, 4, 5, 5},
                      DistanceRow{"CircleExample", 100, 100, 103, 104, 5, 5},
                      DistanceRow{"RootFiveDown", 0, 0, 1, 2, 2, 2},
                      DistanceRow{"RootEightUp", 0, 0, 2, 2, 2, 3},
                      DistanceRow{"Negative", -10, -10, -13, -14, 5, 5},
                      // sqrt(2) * (2^32 - 1) = 6074000998.54
                      DistanceRow{"WholeSpace", kMin, kMin, kMax, kMax, 6074000998LL, 6074000999LL},
                      // k^2 - 1 for k = 3200000001: a float root rounds up to k.
                      DistanceRow{"JustUnderSquare", -1600000000, 0, 1600000000, 80000,
                                  3200000000LL, 3200000001LL}),
    [](const ::testing::TestParamInfo<DistanceRow>& i) { return std::string(i.param.name); });

}  // namespace
