#include <gtest/gtest.h>

#include "CharSources.h"

namespace {

struct RangeRow {
    const char* name;
    std::string text;
    size_t count;  // 0: refused
    GbkCode first, last;
};

class CharSourcesRange : public testing::TestWithParam<RangeRow> {};

TEST_P(CharSourcesRange, WalksCodesInOrder) {
    const RangeRow& r = GetParam();
    std::vector<GbkCode> codes;
    std::string error;
    ASSERT_EQ(CharSources::ParseRange(r.text, codes, error), r.count != 0) << error;
    EXPECT_EQ(error.empty(), r.count != 0);
    if (r.count == 0) return;
    EXPECT_EQ(codes.size(), r.count);
    EXPECT_EQ(codes.front(), r.first);
    EXPECT_EQ(codes.back(), r.last);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, CharSourcesRange,
    testing::Values(RangeRow{"ascii_printable", "20-7E", 95, 0x20, 0x7E},
                    RangeRow{"gb2312_level1", "0xB0A1-0xD7F9", 3755, 0xB0A1, 0xD7F9},
                    RangeRow{"gbk_row_with_every_trail", "8140-81FE", 190, 0x8140, 0x81FE},
                    RangeRow{"one_code", "b0a1-B0A1", 1, 0xB0A1, 0xB0A1},
                    RangeRow{"backwards", "7E-20", 0, 0, 0},
                    RangeRow{"single_to_double", "20-B0A1", 0, 0, 0},
                    RangeRow{"high_single_bytes", "80-90", 0, 0, 0},
                    RangeRow{"bad_trail_byte", "817F-81FE", 0, 0, 0},
                    RangeRow{"not_hex", "zz-7E", 0, 0, 0}, RangeRow{"no_dash", "B0A1", 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CharSources, Gb2312PresetsKeepTheGridSoPlacesAreComputable) {
    const std::vector<GbkCode> all = CharSources::Gb2312All();
    ASSERT_EQ(all.size(), 87u * 94u);
    EXPECT_EQ(all[(0xB0 - 0xA1) * 94 + (0xA1 - 0xA1)], 0xB0A1);
    EXPECT_EQ(all.back(), 0xF7FE);
    EXPECT_EQ(CharSources::Gb2312Level1().size(), 3755u);
    std::vector<GbkCode> codes{0xD2BA, 0x41, 0xD2BA, 0x20};
    CharSources::SortUnique(codes);
    EXPECT_EQ(codes, (std::vector<GbkCode>{0x20, 0x41, 0xD2BA}));
}

}  // namespace
