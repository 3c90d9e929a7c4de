#include <gtest/gtest.h>

#include <set>

#include "project/BackgroundIds.h"

namespace {

struct MapRow {
    int index, id;
};

void PrintTo(const MapRow& row, std::ostream* os) {
    *os << "index" << row.index << "_id" << row.id;
}

class BackgroundIdsMapping : public testing::TestWithParam<MapRow> {};

TEST_P(BackgroundIdsMapping, IndexAndIdBothWays) {
    EXPECT_EQ(BackgroundIds::IdOfIndex(GetParam().index), GetParam().id);
    EXPECT_EQ(BackgroundIds::IndexOfId(GetParam().id), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(Picker, BackgroundIdsMapping,
                         testing::Values(MapRow{0, 0}, MapRow{7, 7}, MapRow{8, 9}, MapRow{9, 11},
                                         MapRow{10, 12}, MapRow{62, 64}));

TEST(BackgroundIds, IdsThePickerNeverLists) {
    for (int id : {8, 10, 65, -1, 255})
        EXPECT_EQ(BackgroundIds::IndexOfId(id), -1) << id;
    for (int index : {-1, 63, 100})
        EXPECT_EQ(BackgroundIds::IdOfIndex(index), -1) << index;
}

TEST(BackgroundIds, AllocationSkipsEightAndTenAndStopsAfter63) {
    int next = 0;
    std::vector<int> got;
    for (int i = 0; i < BackgroundIds::kCount; ++i)
        got.push_back(BackgroundIds::Allocate(next));
    EXPECT_EQ(got[7], 7);
    EXPECT_EQ(got[8], 9);
    EXPECT_EQ(got[9], 11);
    EXPECT_EQ(got.back(), 64);
    const std::set<int> distinct(got.begin(), got.end());
    EXPECT_EQ(distinct.size(), 63u);
    EXPECT_EQ(distinct.count(8) + distinct.count(10), 0u);
    // Used up: refused, and the counter does not creep on.
    const int before = next;
    EXPECT_EQ(BackgroundIds::Allocate(next), -1);
    EXPECT_EQ(next, before);
}

TEST(BackgroundIds, ACounterOnAnUnlistedIdIsRefused) {
    int next = 8;  // a damaged project file could say so
    EXPECT_EQ(BackgroundIds::Allocate(next), -1);
    EXPECT_EQ(next, 8);
}

}  // namespace
