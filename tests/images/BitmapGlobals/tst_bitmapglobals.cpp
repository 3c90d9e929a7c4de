#include <gtest/gtest.h>

#include "images/BitmapGlobals.h"
#include "images/CBmpObj.h"

namespace {

struct BoardRow {
    int board;
    int pageSize;
    bool sixteenBit;
};

void PrintTo(const BoardRow& row, std::ostream* os) {
    *os << "board" << row.board;
}

class BoardTypes : public testing::TestWithParam<BoardRow> {
protected:
    void TearDown() override { BitmapGlobals::Reset(); }
};

TEST_P(BoardTypes, PageSizeAndPixelWidth) {
    BitmapGlobals::SetBoardType(GetParam().board);
    EXPECT_EQ(g_nBoardType, GetParam().board);
    EXPECT_EQ(g_nFlashPageSize, GetParam().pageSize);
    EXPECT_EQ(g_b16BitPixels, GetParam().sixteenBit);
}
INSTANTIATE_TEST_SUITE_P(Boards, BoardTypes,
                         testing::Values(BoardRow{0, 512, false}, BoardRow{1, 512, true},
                                         BoardRow{2, 2048, false}, BoardRow{3, 256, false}));

TEST(BitmapGlobals, ResetEmptiesTheListAndRestoresBoardZero) {
    BitmapGlobals::SetBoardType(2);
    g_nInstructionMode = 2;
    g_arrLocalBitmaps.push_back(std::make_unique<CBmpObj>());
    BitmapGlobals::Reset();
    EXPECT_TRUE(g_arrLocalBitmaps.empty());
    EXPECT_EQ(g_nBoardType, 0);
    EXPECT_EQ(g_nFlashPageSize, 512);
    EXPECT_FALSE(g_b16BitPixels);
    EXPECT_EQ(g_nInstructionMode, 0);
}

}  // namespace
