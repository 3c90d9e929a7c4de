#include <gtest/gtest.h>

#include "images/DownloadSettings.h"

namespace {

struct BoardRow {
    int board;
    int pageSize;
    bool sixteenBit;
};

void PrintTo(const BoardRow& row, std::ostream* os) {
    *os << "board" << row.board;
}

class BoardTypes : public testing::TestWithParam<BoardRow> {};

TEST_P(BoardTypes, PageSizeAndPixelWidth) {
    const DownloadSettings s = DownloadSettings::ForBoard(GetParam().board, 2);
    EXPECT_EQ(s.boardType, GetParam().board);
    EXPECT_EQ(s.flashPageSize, GetParam().pageSize);
    EXPECT_EQ(s.pixels16, GetParam().sixteenBit);
    EXPECT_EQ(s.instructionMode, 2);
}
INSTANTIATE_TEST_SUITE_P(Boards, BoardTypes,
                         testing::Values(BoardRow{0, 512, false}, BoardRow{1, 512, true},
                                         BoardRow{2, 2048, false}, BoardRow{3, 256, false}));

TEST(DownloadSettings, DefaultIsBoardZeroShortInstructions) {
    EXPECT_EQ(DownloadSettings{}, DownloadSettings::ForBoard(0, 0));
}

}  // namespace
