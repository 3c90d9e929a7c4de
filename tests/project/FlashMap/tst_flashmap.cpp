// The map picture: cells, grid, labels, reserved cell, runs across rows.

#include <gtest/gtest.h>

#include "gfx/Surface.h"
#include "project/FlashMap.h"

namespace {

constexpr COLORREF kWhite = Rgb(255, 255, 255), kBlack = Rgb(0, 0, 0), kGreen = Rgb(0, 255, 0),
                   kRed = Rgb(255, 0, 0), kBlue = Rgb(0, 0, 255), kGrey = Rgb(125, 125, 125);

struct CellRow {
    const char* name;
    int x, y;
    int cell;
};

void PrintTo(const CellRow& row, std::ostream* os) {
    *os << row.name;
}

class FlashMapCells : public testing::TestWithParam<CellRow> {};

TEST_P(FlashMapCells, CellUnderThePointer) {
    EXPECT_EQ(FlashMap::CellAt(GetParam().x, GetParam().y), GetParam().cell);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FlashMapCells,
    testing::Values(CellRow{"first", 20, 20, 0}, CellRow{"first_far", 39, 39, 0},
                    CellRow{"second", 40, 20, 1}, CellRow{"next_row", 20, 40, 16},
                    CellRow{"last", 339, 339, 255}, CellRow{"row_label", 19, 20, -1},
                    CellRow{"column_label", 20, 19, -1}, CellRow{"right_labels", 340, 100, -1},
                    CellRow{"bottom_labels", 100, 340, -1}, CellRow{"negative", -20, -20, -1}),
    [](const auto& info) { return std::string(info.param.name); });

// The dark pixels of the 20 x 20 square at (x, y), as offsets.
std::vector<std::pair<int, int>> Ink(const Surface& dc, int x, int y) {
    std::vector<std::pair<int, int>> ink;
    for (int dy = 0; dy < 20; ++dy)
        for (int dx = 0; dx < 20; ++dx)
            if (dc.GetPixel(x + dx, y + dy) == kBlack) ink.push_back({dx, dy});
    return ink;
}

// Offsets of the ink inside a square's own area, away from the grid lines.
std::vector<std::pair<int, int>> LabelInk(const Surface& dc, int x, int y) {
    std::vector<std::pair<int, int>> ink;
    for (auto [dx, dy] : Ink(dc, x, y))
        if (dx > 0 && dy > 0) ink.push_back({dx, dy});
    return ink;
}

TEST(FlashMap, BaseHasGridLabelsAndTheReservedCell) {
    Surface dc(FlashMap::kSize, FlashMap::kSize, kRed);
    FlashMap::DrawBase(dc, true);
    // Seventeen lines each way, from 20 to 340 inclusive.
    for (int i = 0; i <= 16; ++i) {
        const int at = 20 + 20 * i;
        EXPECT_EQ(dc.GetPixel(at, 25), kBlack) << i;
        EXPECT_EQ(dc.GetPixel(25, at), kBlack) << i;
        EXPECT_EQ(dc.GetPixel(at, 340), kBlack) << i;
        EXPECT_EQ(dc.GetPixel(340, at), kBlack) << i;
    }
    EXPECT_EQ(dc.GetPixel(30, 30), kWhite);
    EXPECT_EQ(dc.GetPixel(330, 330), kGrey);
    EXPECT_EQ(dc.GetPixel(310, 330), kWhite);  // cell 254
    EXPECT_EQ(dc.GetPixel(359, 359), kWhite);  // the whole surface is cleared
    EXPECT_EQ(dc.GetPixel(0, 0), kWhite);

    // Every label square holds ink; equal labels look alike wherever they stand.
    const auto row0Left = LabelInk(dc, 0, 20);  // "00"
    const auto col0Top = LabelInk(dc, 20, 0);   // "00"
    EXPECT_FALSE(row0Left.empty());
    EXPECT_EQ(row0Left, col0Top);
    EXPECT_EQ(LabelInk(dc, 0, 320), LabelInk(dc, 20, 340));  // "F0": row 15, column 0 below
    EXPECT_EQ(LabelInk(dc, 340, 20), LabelInk(dc, 320, 0));  // "0F": row 0 right, column 15
    EXPECT_NE(LabelInk(dc, 0, 40), row0Left);                // "10"
    EXPECT_NE(LabelInk(dc, 0, 200), LabelInk(dc, 0, 220));   // "90" and "A0"
    for (int i = 0; i < 16; ++i) {
        EXPECT_FALSE(LabelInk(dc, 0, 20 + 20 * i).empty()) << i;
        EXPECT_FALSE(LabelInk(dc, 340, 20 + 20 * i).empty()) << i;
        EXPECT_FALSE(LabelInk(dc, 20 + 20 * i, 0).empty()) << i;
        EXPECT_FALSE(LabelInk(dc, 20 + 20 * i, 340).empty()) << i;
    }
}

TEST(FlashMap, BitmapBaseHasNoReservedCell) {
    Surface dc(FlashMap::kSize, FlashMap::kSize);
    FlashMap::DrawBase(dc, false);
    EXPECT_EQ(dc.GetPixel(330, 330), kWhite);
}

TEST(FlashMap, RunWrapsToTheNextRowAndStopsAtTheLastCell) {
    Surface dc(FlashMap::kSize, FlashMap::kSize);
    FlashMap::DrawBase(dc, false);
    FlashMap::DrawOccupied(dc, 30, 20, false);  // 30..49: row 1 from column 14, rows 2, 3
    EXPECT_EQ(dc.GetPixel(20 + 13 * 20 + 10, 50), kWhite);  // cell 29
    EXPECT_EQ(dc.GetPixel(20 + 14 * 20 + 10, 50), kGreen);  // cell 30
    EXPECT_EQ(dc.GetPixel(30, 70), kGreen);                 // cell 32
    EXPECT_EQ(dc.GetPixel(20 + 1 * 20 + 10, 90), kGreen);   // cell 49
    EXPECT_EQ(dc.GetPixel(20 + 2 * 20 + 10, 90), kWhite);   // cell 50

    FlashMap::DrawOccupied(dc, 250, 10, true);
    EXPECT_EQ(dc.GetPixel(330, 330), kRed);
    EXPECT_EQ(dc.GetPixel(10, 350), kWhite);  // nothing past the grid
}

TEST(FlashMap, PickedRunIsHatchedWithABlueOutline) {
    Surface dc(FlashMap::kSize, FlashMap::kSize);
    FlashMap::DrawBase(dc, false);
    FlashMap::DrawOccupied(dc, 0, 1, false);
    FlashMap::DrawPicked(dc, 0, 1);
    int blue = 0, green = 0;
    for (int y = 23; y < 37; ++y) {
        for (int x = 23; x < 37; ++x) {
            blue += dc.GetPixel(x, y) == kBlue;
            green += dc.GetPixel(x, y) == kGreen;
        }
    }
    EXPECT_GT(blue, 0);
    EXPECT_GT(green, blue);
    EXPECT_EQ(dc.GetPixel(30, 20), kBlue);
    EXPECT_EQ(dc.GetPixel(30, 39), kBlue);
}

TEST(FlashMap, SurfaceMustHoldTheWholeMap) {
    EXPECT_TRUE(FlashMap::Fits(Surface(FlashMap::kSize, FlashMap::kSize)));
    EXPECT_FALSE(FlashMap::Fits(Surface(FlashMap::kSize, FlashMap::kSize - 1)));
    EXPECT_FALSE(FlashMap::Fits(Surface()));
}

}  // namespace
