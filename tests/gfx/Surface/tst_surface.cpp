#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "gfx/Region.h"
#include "gfx/Surface.h"

namespace {

constexpr COLORREF kBlack = Rgb(0, 0, 0);
constexpr COLORREF kRed = Rgb(255, 0, 0);
constexpr COLORREF kGreen = Rgb(0, 255, 0);
constexpr COLORREF kWhite = Rgb(255, 255, 255);

using Pen = Surface::Pen;
using Brush = Surface::Brush;
using PS = Surface::PenStyle;
using BS = Surface::BrushStyle;

const Pen kRedPen{PS::Solid, 1, kRed};
const Pen kNoPen{PS::None, 1, kRed};
const Brush kGreenBrush{BS::Solid, kGreen};
const Brush kNoBrush{BS::None, 0};

// The surface as text, one line per row: '.' black, '#' red (pen), 'o' green (brush).
std::string Art(const Surface& s) {
    std::string out;
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) {
            const COLORREF c = s.GetPixel(x, y);
            out += c == kBlack ? '.' : c == kRed ? '#' : c == kGreen ? 'o' : '?';
        }
        out += '\n';
    }
    return out;
}

std::string Lines(std::initializer_list<const char*> rows) {
    std::string out;
    for (const char* r : rows)
        out += std::string(r) + '\n';
    return out;
}

// --- exact pixels of small shapes -----------------------------------------------------

struct ShapeRow {
    const char* name;
    int width, height;
    std::function<void(Surface&)> draw;
    std::string expected;
};

void PrintTo(const ShapeRow& row, std::ostream* os) {
    *os << row.name;
}

class ShapePixels : public testing::TestWithParam<ShapeRow> {};

TEST_P(ShapePixels, MatchTheDrawing) {
    const ShapeRow& row = GetParam();
    Surface s(row.width, row.height, kBlack);
    row.draw(s);
    EXPECT_EQ("\n" + Art(s), "\n" + row.expected);
}

auto With(Pen pen, Brush brush, std::function<void(Surface&)> f) {
    return [=](Surface& s) {
        s.SetPen(pen);
        s.SetBrush(brush);
        f(s);
    };
}

const Pen kDotted{PS::Dotted, 1, kRed};

INSTANTIATE_TEST_SUITE_P(
    Rectangles, ShapePixels,
    testing::Values(
        ShapeRow{"Outline", 8, 8,
                 With(kRedPen, kNoBrush, [](Surface& s) { s.Rectangle(1, 1, 7, 6); }),
                 Lines({"........", ".######.", ".#....#.", ".#....#.", ".#....#.", ".######.",
                        "........", "........"})},
        ShapeRow{"Filled", 8, 8,
                 With(kRedPen, kGreenBrush, [](Surface& s) { s.Rectangle(1, 1, 7, 6); }),
                 Lines({"........", ".######.", ".#oooo#.", ".#oooo#.", ".#oooo#.", ".######.",
                        "........", "........"})},
        ShapeRow{"CornersReversed", 8, 8,
                 With(kRedPen, kNoBrush, [](Surface& s) { s.Rectangle(7, 6, 1, 1); }),
                 Lines({"........", ".######.", ".#....#.", ".#....#.", ".#....#.", ".######.",
                        "........", "........"})},
        ShapeRow{"BrushOnly", 6, 4,
                 With(kNoPen, kGreenBrush, [](Surface& s) { s.Rectangle(1, 1, 5, 3); }),
                 Lines({"......", ".oooo.", ".oooo.", "......"})},
        ShapeRow{"OneColumn", 6, 6,
                 With(kRedPen, kGreenBrush, [](Surface& s) { s.Rectangle(3, 1, 4, 5); }),
                 Lines({"......", "...#..", "...#..", "...#..", "...#..", "......"})},
        ShapeRow{"ZeroWidthDrawsNothing", 6, 6,
                 With(kRedPen, kGreenBrush, [](Surface& s) { s.Rectangle(2, 1, 2, 5); }),
                 Lines({"......", "......", "......", "......", "......", "......"})},
        ShapeRow{
            "PenWidth2", 8, 7,
            With(Pen{PS::Solid, 2, kRed}, kGreenBrush, [](Surface& s) { s.Rectangle(1, 1, 6, 5); }),
            Lines({"........", ".######.", ".######.", ".##oo##.", ".######.", ".######.",
                   "........"})},
        // 1 on, 1 off, carried round the corners clockwise from the top-left.
        ShapeRow{"Dotted", 8, 6,
                 With(kDotted, kNoBrush, [](Surface& s) { s.Rectangle(0, 0, 7, 5); }),
                 Lines({"#.#.#.#.", "........", "#.....#.", "........", "#.#.#.#.", "........"})},
        ShapeRow{"FillRectHasNoOutline", 6, 4,
                 With(kRedPen, kGreenBrush, [](Surface& s) { s.FillRect(4, 3, 1, 1); }),
                 Lines({"......", ".ooo..", ".ooo..", "......"})}),
    [](const testing::TestParamInfo<ShapeRow>& i) { return std::string(i.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Lines, ShapePixels,
    testing::Values(
        ShapeRow{"HorizontalStopsShortOfTheEnd", 8, 3,
                 With(kRedPen, kNoBrush, [](Surface& s) { s.Line(1, 1, 6, 1); }),
                 Lines({"........", ".#####..", "........"})},
        ShapeRow{"VerticalUpward", 5, 8,
                 With(kRedPen, kNoBrush, [](Surface& s) { s.Line(3, 6, 3, 1); }),
                 Lines({".....", ".....", "...#.", "...#.", "...#.", "...#.", "...#.", "....."})},
        ShapeRow{"Diagonal", 6, 6, With(kRedPen, kNoBrush, [](Surface& s) { s.Line(0, 0, 5, 5); }),
                 Lines({"#.....", ".#....", "..#...", "...#..", "....#.", "......"})},
        // Slope 1/4: the minor coordinate steps where i/4 rounds up (half way rounds up).
        ShapeRow{"Shallow", 10, 4, With(kRedPen, kNoBrush, [](Surface& s) { s.Line(0, 0, 8, 2); }),
                 Lines({"##........", "..####....", "......##..", ".........."})},
        ShapeRow{"ZeroLengthDrawsNothing", 4, 4,
                 With(kRedPen, kNoBrush, [](Surface& s) { s.Line(2, 2, 2, 2); }),
                 Lines({"....", "....", "....", "...."})},
        ShapeRow{"NoPenDrawsNothing", 4, 2,
                 With(kNoPen, kNoBrush, [](Surface& s) { s.Line(0, 0, 4, 0); }),
                 Lines({"....", "...."})},
        ShapeRow{"DottedOneOnOneOff", 8, 3,
                 With(kDotted, kNoBrush, [](Surface& s) { s.Line(0, 1, 8, 1); }),
                 Lines({"........", "#.#.#.#.", "........"})},
        ShapeRow{"DottedPolylineKeepsItsPhase", 5, 4,
                 With(kDotted, kNoBrush,
                      [](Surface& s) {
                          const Point p[] = {{0, 0}, {3, 0}, {3, 3}};
                          s.Polyline(p);
                      }),
                 Lines({"#.#..", "...#.", ".....", "....."})},
        ShapeRow{"PolylineLeavesOutItsLastPoint", 7, 6,
                 With(kRedPen, kNoBrush,
                      [](Surface& s) {
                          const Point p[] = {{1, 1}, {5, 1}, {5, 4}};
                          s.Polyline(p);
                      }),
                 Lines({".......", ".#####.", ".....#.", ".....#.", ".......", "......."})},
        // A pen of width 3 stamps a 3 x 3 square centred on every pixel.
        ShapeRow{"Width3", 8, 8,
                 With(Pen{PS::Solid, 3, kRed}, kNoBrush, [](Surface& s) { s.Line(2, 4, 6, 4); }),
                 Lines({"........", "........", "........", ".######.", ".######.", ".######.",
                        "........", "........"})},
        // Even widths extend right and down from the path.
        ShapeRow{"Width2", 8, 6,
                 With(Pen{PS::Solid, 2, kRed}, kNoBrush, [](Surface& s) { s.Line(2, 2, 6, 2); }),
                 Lines({"........", "........", "..#####.", "..#####.", "........", "........"})}),
    [](const testing::TestParamInfo<ShapeRow>& i) { return std::string(i.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Curves, ShapePixels,
    testing::Values(
        ShapeRow{"CircleOutline", 8, 8,
                 With(kRedPen, kNoBrush, [](Surface& s) { s.Ellipse(0, 0, 8, 8); }),
                 Lines({"..####..", ".#....#.", "#......#", "#......#", "#......#", "#......#",
                        ".#....#.", "..####.."})},
        ShapeRow{"CircleFilled", 8, 8,
                 With(kRedPen, kGreenBrush, [](Surface& s) { s.Ellipse(0, 0, 8, 8); }),
                 Lines({"..####..", ".#oooo#.", "#oooooo#", "#oooooo#", "#oooooo#", "#oooooo#",
                        ".#oooo#.", "..####.."})},
        ShapeRow{"OnePixelEllipse", 3, 3,
                 With(kRedPen, kGreenBrush, [](Surface& s) { s.Ellipse(1, 1, 2, 2); }),
                 Lines({"...", ".#.", "..."})},
        // The quarter from 0 degrees (right) clockwise to 90 (down): bottom-right only.
        // Odd size: the centre (4.5, 4.5) is a pixel centre's row and column, so (8, 4)
        // lies on the 0 degree ray and (4, 8) on the 90 degree ray; both belong to the arc.
        ShapeRow{"OddCircle", 9, 9,
                 With(kRedPen, kNoBrush, [](Surface& s) { s.Ellipse(0, 0, 9, 9); }),
                 Lines({"..#####..", ".#.....#.", "#.......#", "#.......#", "#.......#",
                        "#.......#", "#.......#", ".#.....#.", "..#####.."})},
        ShapeRow{"ArcIncludesPixelsOnItsRays", 9, 9,
                 With(kRedPen, kNoBrush, [](Surface& s) { s.Arc(0, 0, 9, 9, 0, 90); }),
                 Lines({".........", ".........", ".........", ".........", "........#",
                        "........#", "........#", ".......#.", "....###.."})},
        ShapeRow{"QuarterArc", 8, 8,
                 With(kRedPen, kNoBrush, [](Surface& s) { s.Arc(0, 0, 8, 8, 0, 90); }),
                 Lines({"........", "........", "........", "........", ".......#", ".......#",
                        "......#.", "....##.."})},
        // Three quarters: everything but the bottom-right.
        ShapeRow{"ThreeQuarterArc", 8, 8,
                 With(kRedPen, kNoBrush, [](Surface& s) { s.Arc(0, 0, 8, 8, 90, 0); }),
                 Lines({"..####..", ".#....#.", "#......#", "#......#", "#.......", "#.......",
                        ".#......", "..##...."})},
        ShapeRow{"EqualAnglesDrawTheWholeEllipse", 8, 8,
                 With(kRedPen, kNoBrush, [](Surface& s) { s.Arc(0, 0, 8, 8, 30, 390); }),
                 Lines({"..####..", ".#....#.", "#......#", "#......#", "#......#", "#......#",
                        ".#....#.", "..####.."})},
        // The radii start at the centre pixel (4, 4) and run right and down.
        ShapeRow{"QuarterPie", 8, 8,
                 With(kRedPen, kGreenBrush, [](Surface& s) { s.Pie(0, 0, 8, 8, 0, 90); }),
                 Lines({"........", "........", "........", "........", "....####", "....#oo#",
                        "....#o#.", "....##.."})},
        ShapeRow{"PolygonOnPixelEdges", 7, 6,
                 With(kRedPen, kGreenBrush,
                      [](Surface& s) {
                          const Point p[] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
                          s.Polygon(p);
                      }),
                 Lines({".......", ".#####.", ".#ooo#.", ".#ooo#.", ".#####.", "......."})},
        // Pixel centres inside the polygon: x 1..4, y 1..3, as FillRect(1, 1, 5, 4).
        ShapeRow{"PolygonFillOnly", 7, 6,
                 With(kNoPen, kGreenBrush,
                      [](Surface& s) {
                          const Point p[] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
                          s.Polygon(p);
                      }),
                 Lines({".......", ".oooo..", ".oooo..", ".oooo..", ".......", "......."})}),
    [](const testing::TestParamInfo<ShapeRow>& i) { return std::string(i.param.name); });

// Coordinates anywhere in the 32-bit range: clipped, exact, and quick.
INSTANTIATE_TEST_SUITE_P(
    Clipping, ShapePixels,
    testing::Values(
        ShapeRow{"LineAcrossTheWholeRange", 6, 6,
                 With(kRedPen, kNoBrush, [](Surface& s) { s.Line(INT_MIN, INT_MIN, INT_MAX, INT_MAX); }),
                 Lines({"#.....", ".#....", "..#...", "...#..", "....#.", ".....#"})},
        ShapeRow{"HorizontalLineFromFarAway", 6, 3,
                 With(kRedPen, kNoBrush, [](Surface& s) { s.Line(INT_MIN, 1, INT_MAX, 1); }),
                 Lines({"......", "######", "......"})},
        // 7 rows over 2^32 - 1 columns: at x = 0 the line is just past half way (3.5 + ε).
        ShapeRow{"ShallowLineAcrossTheRange", 6, 6,
                 With(kRedPen, kNoBrush, [](Surface& s) { s.Line(INT_MIN, 0, INT_MAX, 7); }),
                 Lines({"......", "......", "......", "......", "######", "......"})},
        // Width 20 covers rows y - 9 .. y + 10: only row 0 of the surface.
        ShapeRow{"ThickLineAcrossTheRange", 6, 3,
                 With(Pen{PS::Solid, 20, kRed}, kNoBrush,
                      [](Surface& s) { s.Line(INT_MIN, -10, INT_MAX, -10); }),
                 Lines({"######", "......", "......"})},
        ShapeRow{"DottedLineFromFarAway", 6, 2,
                 With(kDotted, kNoBrush, [](Surface& s) { s.Line(INT_MIN, 0, INT_MAX, 0); }),
                 Lines({"#.#.#.", "......"})},
        ShapeRow{"HugePenWidth", 4, 4,
                 With(Pen{PS::Solid, INT_MAX, kRed}, kNoBrush, [](Surface& s) { s.Line(-9, -9, 90, 99); }),
                 Lines({"####", "####", "####", "####"})},
        ShapeRow{"RectangleAroundEverything", 5, 3,
                 With(kRedPen, kGreenBrush, [](Surface& s) { s.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX); }),
                 Lines({"ooooo", "ooooo", "ooooo"})},
        ShapeRow{"RectangleFromNegative", 6, 5,
                 With(kRedPen, kNoBrush, [](Surface& s) { s.Rectangle(-5, -5, 4, 4); }),
                 Lines({"...#..", "...#..", "...#..", "####..", "......"})},
        ShapeRow{"EllipseAroundEverything", 5, 3,
                 With(kRedPen, kGreenBrush, [](Surface& s) { s.Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX); }),
                 Lines({"ooooo", "ooooo", "ooooo"})},
        ShapeRow{"ArcFarAway", 5, 3,
                 With(kRedPen, kGreenBrush,
                      [](Surface& s) { s.Arc(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 270); }),
                 Lines({".....", ".....", "....."})},
        // The centre is just above-left of the origin: the surface lies in the 0..90 sector.
        ShapeRow{"PieAroundEverything", 5, 3,
                 With(kRedPen, kGreenBrush,
                      [](Surface& s) { s.Pie(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 90); }),
                 Lines({"ooooo", "ooooo", "ooooo"})},
        // Hypotenuse y = x through the pixel centres; a centre on the left edge is inside.
        ShapeRow{"PolygonWithFarCorners", 5, 5,
                 With(kNoPen, kGreenBrush,
                      [](Surface& s) {
                          const Point p[] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}};
                          s.Polygon(p);
                      }),
                 Lines({"ooooo", ".oooo", "..ooo", "...oo", "....o"})},
        ShapeRow{"StretchOntoAHugeBox", 4, 4,
                 [](Surface& s) {
                     const uint32_t src[] = {Surface::ToPixel(kRed), Surface::ToPixel(kGreen)};
                     // 2^31 pixels wide, centred on x = 2.
                     s.StretchBlit(src, 2, 1, 2 - (1 << 30), 0, 2 + (1 << 30), 2);
                 },
                 Lines({"##oo", "##oo", "....", "...."})}),
    [](const testing::TestParamInfo<ShapeRow>& i) { return std::string(i.param.name); });

// --- hatch brushes ---------------------------------------------------------------------

struct HatchRow {
    const char* name;
    Surface::Hatch hatch;
    std::string expected;
};

void PrintTo(const HatchRow& row, std::ostream* os) {
    *os << row.name;
}

class HatchPixels : public testing::TestWithParam<HatchRow> {};

TEST_P(HatchPixels, RepeatEveryEightPixelsOverATransparentBackground) {
    const HatchRow& row = GetParam();
    Surface s(16, 16, kBlack);
    s.SetBrush(Brush{BS::Hatched, kGreen, row.hatch});
    s.FillRect(0, 0, 16, 16);
    const std::string art = Art(s);
    // The 8 x 8 cell at each corner of the 16 x 16 surface.
    for (int cy = 0; cy < 2; ++cy) {
        for (int cx = 0; cx < 2; ++cx) {
            std::string cell;
            for (int y = 0; y < 8; ++y)
                cell += art.substr((cy * 8 + y) * 17 + cx * 8, 8) + '\n';
            EXPECT_EQ("\n" + cell, "\n" + row.expected) << "cell " << cx << "," << cy;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, HatchPixels,
    testing::Values(HatchRow{"Horizontal", Surface::Hatch::Horizontal,
                             Lines({"oooooooo", "........", "........", "........", "........",
                                    "........", "........", "........"})},
                    HatchRow{"Vertical", Surface::Hatch::Vertical,
                             Lines({"o.......", "o.......", "o.......", "o.......", "o.......",
                                    "o.......", "o.......", "o......."})},
                    HatchRow{"ForwardDiagonal", Surface::Hatch::ForwardDiagonal,
                             Lines({"o.......", ".o......", "..o.....", "...o....", "....o...",
                                    ".....o..", "......o.", ".......o"})},
                    HatchRow{"BackwardDiagonal", Surface::Hatch::BackwardDiagonal,
                             Lines({".......o", "......o.", ".....o..", "....o...", "...o....",
                                    "..o.....", ".o......", "o......."})},
                    HatchRow{"Cross", Surface::Hatch::Cross,
                             Lines({"oooooooo", "o.......", "o.......", "o.......", "o.......",
                                    "o.......", "o.......", "o......."})},
                    HatchRow{"DiagonalCross", Surface::Hatch::DiagonalCross,
                             Lines({"o......o", ".o....o.", "..o..o..", "...oo...", "...oo...",
                                    "..o..o..", ".o....o.", "o......o"})}),
    [](const testing::TestParamInfo<HatchRow>& i) { return std::string(i.param.name); });

TEST(SurfaceHatch, IsAlignedToTheSurfaceOriginNotTheShape) {
    Surface s(12, 12, kBlack);
    s.SetBrush(Brush{BS::Hatched, kGreen, Surface::Hatch::Cross});
    s.FillRect(3, 2, 12, 12);
    EXPECT_EQ("\n" + Art(s),
              "\n" + Lines({"............", "............", "........o...", "........o...",
                            "........o...", "........o...", "........o...", "........o...",
                            "...ooooooooo", "........o...", "........o...", "........o..."}));
}

// --- curves against the hit-region geometry ----------------------------------------------

struct BoxRow {
    const char* name;
    int left, top, right, bottom;
};

void PrintTo(const BoxRow& row, std::ostream* os) {
    *os << row.name;
}

class EllipseGeometry : public testing::TestWithParam<BoxRow> {};

// The ellipse covers exactly the pixels whose centres its hit region contains, and its
// outline is the part of that set with a 4-neighbour outside it.
TEST_P(EllipseGeometry, FillMatchesTheRegionAndOutlineIsItsBoundary) {
    const BoxRow& b = GetParam();
    const Region region = Region::Ellipse(b.left, b.top, b.right, b.bottom);
    Surface fill(24, 16, kBlack);
    fill.SetPen(kNoPen);
    fill.SetBrush(kGreenBrush);
    fill.Ellipse(b.left, b.top, b.right, b.bottom);
    Surface outline(24, 16, kBlack);
    outline.SetPen(kRedPen);
    outline.SetBrush(kNoBrush);
    outline.Ellipse(b.left, b.top, b.right, b.bottom);
    int inside = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 24; ++x) {
            const bool in = region.Contains(x, y);
            inside += in;
            EXPECT_EQ(fill.GetPixel(x, y) == kGreen, in) << x << "," << y;
            const bool edge = in && (!region.Contains(x - 1, y) || !region.Contains(x + 1, y) ||
                                     !region.Contains(x, y - 1) || !region.Contains(x, y + 1));
            EXPECT_EQ(outline.GetPixel(x, y) == kRed, edge) << x << "," << y;
        }
    }
    EXPECT_GT(inside, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, EllipseGeometry,
    testing::Values(BoxRow{"Circle8", 0, 0, 8, 8}, BoxRow{"Circle15", 4, 0, 19, 15},
                    BoxRow{"Wide", 0, 2, 24, 11}, BoxRow{"Tall", 10, 0, 15, 16},
                    BoxRow{"OddEven", 1, 2, 12, 7}, BoxRow{"Thin", 2, 3, 22, 5},
                    BoxRow{"OneColumn", 5, 1, 6, 9}, BoxRow{"Reversed", 20, 14, 3, 1},
                    BoxRow{"ClippedTopLeft", -9, -5, 10, 9},
                    BoxRow{"ClippedBottomRight", 12, 6, 40, 30}),
    [](const testing::TestParamInfo<BoxRow>& i) { return std::string(i.param.name); });

struct SweepRow {
    const char* name;
    int left, top, right, bottom;
    double start, end;
};

void PrintTo(const SweepRow& row, std::ostream* os) {
    *os << row.name;
}

class ArcSweep : public testing::TestWithParam<SweepRow> {};

// An arc is the ellipse outline restricted to the clockwise sweep from start to end;
// angles are taken at pixel centres from the centre of the box.
TEST_P(ArcSweep, DrawsTheOutlineOnTheClockwiseSweepOnly) {
    const SweepRow& a = GetParam();
    const Region region = Region::Ellipse(a.left, a.top, a.right, a.bottom);
    Surface s(24, 16, kBlack);
    s.SetPen(kRedPen);
    s.Arc(a.left, a.top, a.right, a.bottom, a.start, a.end);
    const double cx = (a.left + a.right) / 2.0, cy = (a.top + a.bottom) / 2.0;
    int drawn = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 24; ++x) {
            const bool edge = region.Contains(x, y) &&
                              (!region.Contains(x - 1, y) || !region.Contains(x + 1, y) ||
                               !region.Contains(x, y - 1) || !region.Contains(x, y + 1));
            const bool inSweep =
                Region::InSweep(Region::AngleOf(x + 0.5 - cx, y + 0.5 - cy), a.start, a.end);
            drawn += s.GetPixel(x, y) == kRed;
            EXPECT_EQ(s.GetPixel(x, y) == kRed, edge && inSweep) << x << "," << y;
        }
    }
    EXPECT_GT(drawn, 0);
}

INSTANTIATE_TEST_SUITE_P(Sweeps, ArcSweep,
                         testing::Values(SweepRow{"FirstQuarter", 0, 0, 16, 16, 0, 90},
                                         SweepRow{"AllButFirstQuarter", 0, 0, 16, 16, 90, 0},
                                         SweepRow{"AcrossZero", 0, 0, 16, 16, 300, 30},
                                         SweepRow{"NarrowSlice", 0, 0, 16, 16, 100, 130},
                                         SweepRow{"WideSweep", 2, 0, 24, 12, 10, 350},
                                         SweepRow{"NegativeAngles", 0, 0, 16, 16, -90, -10},
                                         SweepRow{"BeyondOneTurn", 0, 0, 16, 16, 370, 460},
                                         SweepRow{"EllipseUpperHalf", 0, 2, 24, 14, 180, 0},
                                         SweepRow{"Clipped", -10, -6, 14, 14, 20, 250}),
                         [](const testing::TestParamInfo<SweepRow>& i) {
                             return std::string(i.param.name);
                         });

class PieSector : public testing::TestWithParam<SweepRow> {};

// Without a pen the pie's brush covers exactly its sector; with one, the arc and both
// radii lie on top of it and the rest of the sector keeps the brush.
TEST_P(PieSector, FillsTheSectorAndOutlinesIt) {
    const SweepRow& p = GetParam();
    const int r = (p.right - p.left) / 2, cx = p.left + r, cy = p.top + r;
    const Region sector = Region::Sector(cx, cy, r, p.start, p.end);

    Surface bare(24, 16, kBlack);
    bare.SetPen(kNoPen);
    bare.SetBrush(kGreenBrush);
    bare.Pie(p.left, p.top, p.right, p.bottom, p.start, p.end);
    Surface full(24, 16, kBlack);
    full.SetPen(kRedPen);
    full.SetBrush(kGreenBrush);
    full.Pie(p.left, p.top, p.right, p.bottom, p.start, p.end);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 24; ++x) {
            const bool in = sector.Contains(x, y);
            EXPECT_EQ(bare.GetPixel(x, y) == kGreen, in) << x << "," << y;
            if (full.GetPixel(x, y) != kRed) {
                EXPECT_EQ(full.GetPixel(x, y) == kGreen, in) << x << "," << y;
            }
        }
    }
    // Both radii leave the centre pixel and run towards their angles.
    EXPECT_EQ(full.GetPixel(cx, cy), kRed);
    for (double deg : {p.start, p.end}) {
        const double rad = deg * M_PI / 180.0;
        const int x = cx + static_cast<int>(std::lround(std::cos(rad) * r / 2.0));
        const int y = cy + static_cast<int>(std::lround(std::sin(rad) * r / 2.0));
        bool near = false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                near |= full.GetPixel(x + dx, y + dy) == kRed;
        EXPECT_TRUE(near) << "radius at " << deg;
    }
}

INSTANTIATE_TEST_SUITE_P(Sectors, PieSector,
                         testing::Values(SweepRow{"Quarter", 0, 0, 16, 16, 0, 90},
                                         SweepRow{"ThreeQuarters", 0, 0, 16, 16, 90, 0},
                                         SweepRow{"AcrossZero", 2, 0, 18, 16, 300, 30},
                                         SweepRow{"Narrow", 0, 0, 16, 16, 100, 130},
                                         SweepRow{"Half", 4, 0, 20, 16, 180, 0}),
                         [](const testing::TestParamInfo<SweepRow>& i) {
                             return std::string(i.param.name);
                         });

// --- polygons ---------------------------------------------------------------------------

struct PolygonRow {
    const char* name;
    std::vector<Point> corners;
};

void PrintTo(const PolygonRow& row, std::ostream* os) {
    *os << row.name;
}

class PolygonFill : public testing::TestWithParam<PolygonRow> {};

TEST_P(PolygonFill, CoversThePixelCentresOfTheEvenOddInterior) {
    const PolygonRow& row = GetParam();
    const Region region = Region::Polygon(row.corners);
    Surface s(24, 16, kBlack);
    s.SetPen(kNoPen);
    s.SetBrush(kGreenBrush);
    s.Polygon(row.corners);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            EXPECT_EQ(s.GetPixel(x, y) == kGreen, region.Contains(x, y)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, PolygonFill,
    testing::Values(PolygonRow{"Triangle", {{1, 1}, {20, 3}, {9, 15}}},
                    PolygonRow{"Concave", {{0, 0}, {20, 0}, {10, 6}, {20, 14}, {0, 14}}},
                    // A five-pointed star drawn in one stroke: its centre is outside.
                    PolygonRow{"Pentagram", {{12, 0}, {19, 15}, {1, 5}, {23, 5}, {5, 15}}},
                    PolygonRow{"Bowtie", {{0, 0}, {22, 14}, {22, 0}, {0, 14}}},
                    PolygonRow{"Clipped", {{-30, -5}, {30, 2}, {5, 40}}},
                    PolygonRow{"Degenerate", {{2, 2}, {10, 2}, {18, 2}}}),
    [](const testing::TestParamInfo<PolygonRow>& i) { return std::string(i.param.name); });

TEST(SurfacePolygon, PentagramLeavesItsCentreEmpty) {
    Surface s(24, 16, kBlack);
    s.SetPen(kNoPen);
    s.SetBrush(kGreenBrush);
    const Point star[] = {{12, 0}, {19, 15}, {1, 5}, {23, 5}, {5, 15}};
    s.Polygon(star);
    EXPECT_EQ(s.GetPixel(12, 8), kBlack);
    EXPECT_EQ(s.GetPixel(12, 3), kGreen);  // a point
}

// --- wide pens ----------------------------------------------------------------------------

struct WideRow {
    const char* name;
    int width;
    int x1, y1, x2, y2;
};

void PrintTo(const WideRow& row, std::ostream* os) {
    *os << row.name;
}

class WidePen : public testing::TestWithParam<WideRow> {};

// A wide line is the union of w x w squares centred on the pixels of the thin line.
TEST_P(WidePen, IsTheThinLineStampedWithSquares) {
    const WideRow& row = GetParam();
    Surface thin(40, 30, kBlack);
    thin.SetPen(kRedPen);
    thin.Line(row.x1, row.y1, row.x2, row.y2);
    // The thin line drawn far larger, so squares of pixels beyond the edge are known.
    Surface big(40 + 2 * 64, 30 + 2 * 64, kBlack);
    big.SetPen(kRedPen);
    big.Line(row.x1 + 64, row.y1 + 64, row.x2 + 64, row.y2 + 64);
    Surface expected(40, 30, kBlack);
    const int off = (row.width - 1) / 2;
    for (int y = 0; y < big.Height(); ++y)
        for (int x = 0; x < big.Width(); ++x)
            if (big.GetPixel(x, y) == kRed)
                for (int dy = 0; dy < row.width; ++dy)
                    for (int dx = 0; dx < row.width; ++dx)
                        expected.SetPixel(x - 64 - off + dx, y - 64 - off + dy, kRed);
    Surface wide(40, 30, kBlack);
    wide.SetPen(Pen{PS::Solid, row.width, kRed});
    wide.Line(row.x1, row.y1, row.x2, row.y2);
    EXPECT_EQ("\n" + Art(wide), "\n" + Art(expected));
}

INSTANTIATE_TEST_SUITE_P(Widths, WidePen,
                         testing::Values(WideRow{"Two", 2, 3, 4, 30, 20},
                                         WideRow{"Three", 3, 35, 2, 5, 27},
                                         WideRow{"Four", 4, 10, 28, 14, 1},
                                         WideRow{"SeventeenShallow", 17, -5, 10, 45, 19},
                                         WideRow{"SeventeenSteep", 17, 20, -8, 12, 40},
                                         WideRow{"TwentyFiveDiagonal", 25, 0, 0, 30, 30},
                                         WideRow{"TwentyFourReverse", 24, 38, 25, 2, 6},
                                         WideRow{"NineteenHorizontal", 19, 5, 12, 30, 12},
                                         WideRow{"NineteenVertical", 19, 20, 2, 20, 28}),
                         [](const testing::TestParamInfo<WideRow>& i) {
                             return std::string(i.param.name);
                         });

// --- flood fill -----------------------------------------------------------------------------

Surface Boxed() {
    Surface s(10, 8, kBlack);
    s.SetPen(kRedPen);
    s.Rectangle(1, 1, 9, 7);
    return s;
}

struct FillRow {
    const char* name;
    std::function<void(Surface&)> draw;
    std::string expected;
};

void PrintTo(const FillRow& row, std::ostream* os) {
    *os << row.name;
}

class FloodFillPixels : public testing::TestWithParam<FillRow> {};

TEST_P(FloodFillPixels, StayWithinTheBorder) {
    Surface s = Boxed();
    GetParam().draw(s);
    EXPECT_EQ("\n" + Art(s), "\n" + GetParam().expected);
}

const std::string kBoxedArt = Lines({"..........", ".########.", ".#......#.", ".#......#.",
                                     ".#......#.", ".#......#.", ".########.", ".........."});

auto Fill(Brush brush, int x, int y, COLORREF border) {
    return [=](Surface& s) {
        s.SetBrush(brush);
        s.FloodFill(x, y, border);
    };
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FloodFillPixels,
    testing::Values(
        FillRow{"Inside", Fill(kGreenBrush, 4, 3, kRed),
                Lines({"..........", ".########.", ".#oooooo#.", ".#oooooo#.", ".#oooooo#.",
                       ".#oooooo#.", ".########.", ".........."})},
        FillRow{"Outside", Fill(kGreenBrush, 0, 0, kRed),
                Lines({"oooooooooo", "o########o", "o#......#o", "o#......#o", "o#......#o",
                       "o#......#o", "o########o", "oooooooooo"})},
        // More fills than the visited marks have values before they start over.
        FillRow{"AfterManyFills",
                [](Surface& s) {
                    for (int i = 0; i <= 70000; ++i)
                        Fill(i % 2 ? Brush{BS::Solid, kWhite} : kGreenBrush, 4, 3, kRed)(s);
                },
                Lines({"..........", ".########.", ".#oooooo#.", ".#oooooo#.", ".#oooooo#.",
                       ".#oooooo#.", ".########.", ".........."})},
        FillRow{"SeedOnTheBorder", Fill(kGreenBrush, 1, 3, kRed), kBoxedArt},
        FillRow{"SeedOffTheSurface", Fill(kGreenBrush, -1, 3, kRed), kBoxedArt},
        FillRow{"NoBrush", Fill(kNoBrush, 4, 3, kRed), kBoxedArt},
        // Painting the colour already there, or the border colour itself, still ends.
        FillRow{"SameColourAsTheArea", Fill(Brush{BS::Solid, kBlack}, 4, 3, kRed), kBoxedArt},
        FillRow{"BorderColour", Fill(Brush{BS::Solid, kRed}, 4, 3, kRed),
                Lines({"..........", ".########.", ".########.", ".########.", ".########.",
                       ".########.", ".########.", ".........."})},
        // A border of another colour than the one asked for does not stop the fill.
        FillRow{"OtherBorderColour", Fill(kGreenBrush, 4, 3, kWhite),
                Lines({"oooooooooo", "oooooooooo", "oooooooooo", "oooooooooo", "oooooooooo",
                       "oooooooooo", "oooooooooo", "oooooooooo"})},
        FillRow{"Hatched", Fill(Brush{BS::Hatched, kGreen, Surface::Hatch::Vertical}, 4, 3, kRed),
                Lines({"..........", ".########.", ".#......#.", ".#......#.", ".#......#.",
                       ".#......#.", ".########.", ".........."})},
        FillRow{"HatchedCross",
                Fill(Brush{BS::Hatched, kGreen, Surface::Hatch::DiagonalCross}, 4, 3, kRed),
                Lines({"..........", ".########.", ".#o..o..#.", ".#.oo...#.", ".#.oo...#.",
                       ".#o..o..#.", ".########.", ".........."})}),
    [](const testing::TestParamInfo<FillRow>& i) { return std::string(i.param.name); });

TEST(SurfaceFloodFill, DoesNotLeakThroughADiagonalBorder) {
    Surface s(8, 8, kBlack);
    s.SetPen(kRedPen);
    s.Line(0, 0, 8, 8);
    s.SetBrush(kGreenBrush);
    s.FloodFill(6, 1, kRed);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(s.GetPixel(x, y), x > y ? kGreen : x == y ? kRed : kBlack) << x << "," << y;
}

TEST(SurfaceFloodFill, FillsAWindingCorridor) {
    // A spiral-like maze: the fill has to turn back up and down several times.
    Surface s(11, 7, kBlack);
    s.SetPen(kRedPen);
    s.Line(2, 0, 2, 5);
    s.Line(4, 1, 4, 7);
    s.Line(6, 0, 6, 5);
    s.Line(8, 1, 8, 7);
    s.SetBrush(kGreenBrush);
    s.FloodFill(0, 0, kRed);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 11; ++x)
            if (s.GetPixel(x, y) != kRed) {
                EXPECT_EQ(s.GetPixel(x, y), kGreen) << x << "," << y;
            }
}

// --- stretch, invert and pixels -------------------------------------------------------------

TEST(SurfaceStretch, NearestNeighbourSamplesUnderEachPixelCentre) {
    const uint32_t a = 0xFF000001, b = 0xFF000002, c = 0xFF000003;
    struct Case {
        const char* name;
        std::vector<uint32_t> src;
        int sw, sh;
        int l, t, r, b;
        std::vector<uint32_t> expected;  // the 5 x 1 top row of the surface
    };
    const Case cases[] = {
        {"Grow3To5", {a, b, c}, 3, 1, 0, 0, 5, 1, {a, a, b, c, c}},
        {"Shrink4To2", {a, b, c, a}, 4, 1, 0, 0, 2, 1, {b, a, 0, 0, 0}},
        {"Reversed", {a, b, c}, 3, 1, 5, 1, 0, 0, {a, a, b, c, c}},
        {"ClippedLeft", {a, b}, 2, 1, -2, 0, 2, 1, {b, b, 0, 0, 0}},
        {"Offset", {a}, 1, 1, 2, 0, 4, 1, {0, 0, a, a, 0}},
        {"NoSource", {}, 0, 1, 0, 0, 5, 1, {0, 0, 0, 0, 0}},
    };
    for (const Case& k : cases) {
        Surface s(5, 2, kBlack);
        s.StretchBlit(k.src.empty() ? nullptr : k.src.data(), k.sw, k.sh, k.l, k.t, k.r, k.b);
        for (int x = 0; x < 5; ++x) {
            const uint32_t want = k.expected[x] ? k.expected[x] : 0xFF000000u;
            EXPECT_EQ(s.Pixels()[x], want) << k.name << " x=" << x;
            EXPECT_EQ(s.Pixels()[5 + x], 0xFF000000u) << k.name << " second row, x=" << x;
        }
    }
}

TEST(SurfaceStretch, TwoByTwoIntoFourByFourAndOpaque) {
    const uint32_t src[] = {0x00000011, 0x00000022, 0x00000033, 0x00000044};
    Surface s(4, 4, kBlack);
    s.StretchBlit(src, 2, 2, 0, 0, 4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(s.Pixels()[y * 4 + x], 0xFF000000u | src[(y / 2) * 2 + x / 2])
                << x << "," << y;
}

TEST(SurfaceInvert, XorsTheBrushColourAndUndoesItself) {
    Surface s(4, 2, Rgb(0x12, 0x34, 0x56));
    s.SetPixel(1, 0, Rgb(0xFF, 0x00, 0x80));
    s.SetBrush(Brush{BS::Solid, kWhite});
    s.PatternInvert(3, 2, 1, 0);  // corners reversed: x 1..2, y 0..1
    EXPECT_EQ(s.GetPixel(0, 0), Rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(s.GetPixel(1, 0), Rgb(0x00, 0xFF, 0x7F));
    EXPECT_EQ(s.GetPixel(2, 1), Rgb(0xED, 0xCB, 0xA9));
    EXPECT_EQ(s.GetPixel(3, 1), Rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(s.Pixels()[1] >> 24, 0xFFu);
    s.PatternInvert(1, 0, 3, 2);
    EXPECT_EQ(s.GetPixel(1, 0), Rgb(0xFF, 0x00, 0x80));
    EXPECT_EQ(s.GetPixel(2, 1), Rgb(0x12, 0x34, 0x56));

    s.SetBrush(Brush{BS::Solid, Rgb(0xFF, 0, 0)});
    s.PatternInvert(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(s.GetPixel(3, 1), Rgb(0xED, 0x34, 0x56));
}

TEST(SurfacePixels, ConvertAndStayInside) {
    Surface s(3, 2, Rgb(1, 2, 3));
    EXPECT_EQ(s.Pixels()[0], 0xFF010203u);
    s.SetPixel(2, 1, Rgb(0xAA, 0xBB, 0xCC));
    EXPECT_EQ(s.Pixels()[5], 0xFFAABBCCu);
    EXPECT_EQ(s.GetPixel(2, 1), Rgb(0xAA, 0xBB, 0xCC));
    for (auto [x, y] : {std::pair{-1, 0}, {3, 0}, {0, -1}, {0, 2}, {INT_MIN, INT_MAX}}) {
        s.SetPixel(x, y, kWhite);
        EXPECT_EQ(s.GetPixel(x, y), 0xFFFFFFFFu);
    }
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(s.Pixels()[i], 0xFF010203u);
    s.Clear(kRed);
    EXPECT_EQ(s.GetPixel(1, 1), kRed);
}

TEST(SurfacePixels, SizesBeyondAModuleScreenGiveAnEmptySurface) {
    EXPECT_EQ(Surface(Surface::kMaxSide + 1, 1).Width(), 0);
    EXPECT_EQ(Surface(1, INT_MAX).Height(), 0);
    EXPECT_EQ(Surface(Surface::kMaxSide, Surface::kMaxSide).Width(), 0);  // too many pixels
    EXPECT_EQ(Surface(Surface::kMaxSide, 2).Width(), Surface::kMaxSide);
}

TEST(SurfacePixels, EmptySurfacesTakeEveryCall) {
    for (Surface s : {Surface(), Surface(-3, 4), Surface(5, 0), Surface(INT_MAX, INT_MAX)}) {
        EXPECT_EQ(s.Width() * s.Height(), 0);
        s.SetPen(kRedPen);
        s.SetBrush(kGreenBrush);
        const Point p[] = {{0, 0}, {5, 5}, {0, 5}};
        s.Line(0, 0, 5, 5);
        s.Polyline(p);
        s.Polygon(p);
        s.Rectangle(0, 0, 5, 5);
        s.Ellipse(0, 0, 5, 5);
        s.Arc(0, 0, 5, 5, 0, 90);
        s.Pie(0, 0, 5, 5, 0, 90);
        s.FloodFill(0, 0, kRed);
        s.FillRect(0, 0, 5, 5);
        s.PatternInvert(0, 0, 5, 5);
        const uint32_t src[] = {1};
        s.StretchBlit(src, 1, 1, 0, 0, 5, 5);
        s.Clear(kRed);
        EXPECT_EQ(s.GetPixel(0, 0), 0xFFFFFFFFu);
    }
}

}  // namespace
