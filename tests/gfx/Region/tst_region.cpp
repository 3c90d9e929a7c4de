#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "gfx/Region.h"

namespace {

struct AngleRow {
    const char* name;
    double dx, dy;
    double expected;
};

void PrintTo(const AngleRow& row, std::ostream* os) {
    *os << row.name;
}

class RegionAngle : public testing::TestWithParam<AngleRow> {};

TEST_P(RegionAngle, IsClockwiseOnTheScreenFromTheRight) {
    EXPECT_NEAR(Region::AngleOf(GetParam().dx, GetParam().dy), GetParam().expected, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Directions, RegionAngle,
                         testing::Values(AngleRow{"Right", 5, 0, 0}, AngleRow{"Down", 0, 5, 90},
                                         AngleRow{"Left", -5, 0, 180}, AngleRow{"Up", 0, -5, 270},
                                         AngleRow{"DownRight", 3, 3, 45},
                                         AngleRow{"UpRight", 3, -3, 315},
                                         AngleRow{"UpLeft", -2, -2, 225}),
                         [](const testing::TestParamInfo<AngleRow>& i) {
                             return std::string(i.param.name);
                         });

struct SweepRow {
    const char* name;
    double deg, start, end;
    bool inside;
};

void PrintTo(const SweepRow& row, std::ostream* os) {
    *os << row.name;
}

class RegionSweep : public testing::TestWithParam<SweepRow> {};

TEST_P(RegionSweep, RunsClockwiseFromStartToEnd) {
    const SweepRow& r = GetParam();
    EXPECT_EQ(Region::InSweep(r.deg, r.start, r.end), r.inside);
}

INSTANTIATE_TEST_SUITE_P(Cases, RegionSweep,
                         testing::Values(SweepRow{"InsideQuarter", 45, 0, 90, true},
                                         SweepRow{"PastQuarter", 135, 0, 90, false},
                                         SweepRow{"StartRay", 0, 0, 90, true},
                                         SweepRow{"EndRay", 90, 0, 90, true},
                                         SweepRow{"ReverseCoversTheRest", 200, 90, 0, true},
                                         SweepRow{"ReverseLeavesOutTheQuarter", 45, 90, 0, false},
                                         SweepRow{"WrapsThroughZero", 350, 300, 30, true},
                                         SweepRow{"WrapsThroughZeroAfter", 10, 300, 30, true},
                                         SweepRow{"OutsideWrap", 100, 300, 30, false},
                                         SweepRow{"EqualRaysAreAWholeTurn", 123, 50, 50, true},
                                         SweepRow{"EqualAfterATurn", 200, 10, 370, true},
                                         SweepRow{"NegativeAngle", -10, 300, 30, true},
                                         SweepRow{"NegativeBounds", 300, -90, -10, true},
                                         SweepRow{"BeyondOneTurn", 370, 0, 90, true},
                                         SweepRow{"TinyNegativeIsZero", -1e-20, 0, 90, true}),
                         [](const testing::TestParamInfo<SweepRow>& i) {
                             return std::string(i.param.name);
                         });

struct ContainsRow {
    const char* name;
    Region region;
    std::vector<Point> inside, outside;
};

void PrintTo(const ContainsRow& row, std::ostream* os) {
    *os << row.name;
}

class RegionContains : public testing::TestWithParam<ContainsRow> {};

TEST_P(RegionContains, SamplesPixelCentres) {
    const ContainsRow& r = GetParam();
    for (const Point& p : r.inside)
        EXPECT_TRUE(r.region.Contains(p.x, p.y)) << p.x << "," << p.y;
    for (const Point& p : r.outside)
        EXPECT_FALSE(r.region.Contains(p.x, p.y)) << p.x << "," << p.y;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, RegionContains,
    testing::Values(
        // Pixel centres (x + 0.5, y + 0.5): the right and bottom edges are outside.
        ContainsRow{"Square",
                    Region::Polygon({{1, 1}, {5, 1}, {5, 4}, {1, 4}}),
                    {{1, 1}, {4, 1}, {1, 3}, {4, 3}},
                    {{0, 1}, {5, 1}, {1, 0}, {1, 4}}},
        ContainsRow{"PentagramHole",
                    Region::Polygon({{12, 0}, {19, 15}, {1, 5}, {23, 5}, {5, 15}}),
                    {{12, 3}, {3, 5}, {20, 5}},
                    {{12, 8}, {0, 0}}},
        ContainsRow{"Circle",
                    Region::Ellipse(0, 0, 8, 8),
                    {{3, 0}, {4, 0}, {0, 3}, {4, 4}, {7, 4}},
                    {{0, 0}, {1, 0}, {7, 7}, {8, 4}, {-1, 4}}},
        ContainsRow{"ReversedBox", Region::Ellipse(8, 8, 0, 0), {{3, 0}, {4, 4}}, {{0, 0}, {7, 7}}},
        ContainsRow{"WholeRangeEllipse",
                    Region::Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX),
                    {{0, 0}, {-1000, 1000}, {INT_MAX / 2, 0}},
                    {{INT_MAX - 1, INT_MAX - 1}, {INT_MIN, INT_MIN}}},
        ContainsRow{"QuarterSector",
                    Region::Sector(10, 10, 5, 0, 90),
                    {{10, 10}, {12, 12}, {14, 10}},
                    {{7, 12}, {12, 7}, {14, 14}, {9, 9}}},
        ContainsRow{"ThreeQuarterSector",
                    Region::Sector(10, 10, 5, 90, 0),
                    {{7, 12}, {12, 7}, {8, 8}},
                    {{12, 12}, {4, 10}}},
        ContainsRow{"TooFewCorners", Region::Polygon({{0, 0}, {9, 9}}), {}, {{0, 0}, {4, 4}}},
        ContainsRow{"FlatEllipse", Region::Ellipse(0, 3, 9, 3), {}, {{4, 3}}},
        ContainsRow{"NoRadius", Region::Sector(3, 3, 0, 0, 90), {}, {{3, 3}}},
        ContainsRow{"Empty", Region(), {}, {{0, 0}}}),
    [](const testing::TestParamInfo<ContainsRow>& i) { return std::string(i.param.name); });

TEST(RegionKind, ReportsWhatWasBuilt) {
    EXPECT_EQ(Region().GetKind(), Region::Kind::Empty);
    EXPECT_EQ(Region::Polygon({{0, 0}, {1, 0}}).GetKind(), Region::Kind::Empty);
    const Region tri = Region::Polygon({{0, 0}, {4, 0}, {0, 4}});
    EXPECT_EQ(tri.GetKind(), Region::Kind::Polygon);
    EXPECT_EQ(tri.Corners().size(), 3u);
    EXPECT_EQ(Region::Ellipse(0, 0, 1, 1).GetKind(), Region::Kind::Ellipse);
    EXPECT_EQ(Region::Ellipse(INT_MAX, 0, INT_MIN, 5).GetKind(), Region::Kind::Ellipse);
    EXPECT_EQ(Region::Ellipse(4, 0, 4, 5).GetKind(), Region::Kind::Empty);
    EXPECT_EQ(Region::Sector(0, 0, 1, 0, 0).GetKind(), Region::Kind::Sector);
    EXPECT_EQ(Region::Sector(0, 0, -3, 0, 0).GetKind(), Region::Kind::Empty);
}

}  // namespace
