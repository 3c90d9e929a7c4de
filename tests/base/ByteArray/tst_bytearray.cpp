#include <gtest/gtest.h>

#include "base/ByteArray.h"

namespace {

struct WordRow {
    const char* name;
    int64_t value;
    const char* hex;
};

void PrintTo(const WordRow& row, std::ostream* os) {
    *os << row.name;
}

class AppendWordRows : public testing::TestWithParam<WordRow> {};

TEST_P(AppendWordRows, LowByteFirstCutTo16Bits) {
    CByteArray bytes;
    AppendWord(bytes, GetParam().value);
    EXPECT_EQ(ToHex(bytes), GetParam().hex);
}

INSTANTIATE_TEST_SUITE_P(Values, AppendWordRows,
                         testing::Values(WordRow{"zero", 0, "00 00"},
                                         WordRow{"three_hundred", 300, "2C 01"},
                                         WordRow{"largest", 65535, "FF FF"},
                                         WordRow{"wraps_above_65535", 65536 + 5, "05 00"},
                                         WordRow{"minus_one", -1, "FF FF"},
                                         WordRow{"minus_two_hundred", -200, "38 FF"},
                                         WordRow{"int32_max", 2147483647, "FF FF"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Hex, ParsesWithOrWithoutSpaces) {
    CByteArray b;
    ASSERT_TRUE(FromHex("1b46 07", b));
    EXPECT_EQ(ToHex(b), "1B 46 07");
    ASSERT_TRUE(FromHex("", b));
    EXPECT_TRUE(b.empty());
}

TEST(Hex, RejectsHalfBytesAndOtherCharacters) {
    CByteArray b;
    EXPECT_FALSE(FromHex("1B 4", b));
    EXPECT_FALSE(FromHex("1 B", b));
    EXPECT_FALSE(FromHex("GG", b));
}

}  // namespace
