#include <gtest/gtest.h>

#include "base/ByteArray.h"
#include "base/GbkCodec.h"

namespace {

struct Row {
    const char* name;
    const char* utf8;
    const char* gbkHex;
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

class GbkCodecRoundTrip : public testing::TestWithParam<Row> {};

TEST_P(GbkCodecRoundTrip, BothWays) {
    const Row& row = GetParam();
    std::string gbk;
    ASSERT_TRUE(GbkCodec::FromUtf8(row.utf8, gbk));
    EXPECT_EQ(ToHex(CByteArray(gbk.begin(), gbk.end())), row.gbkHex);
    std::string back;
    ASSERT_TRUE(GbkCodec::ToUtf8(gbk, back));
    EXPECT_EQ(back, row.utf8);
}

INSTANTIATE_TEST_SUITE_P(Texts, GbkCodecRoundTrip,
                         testing::Values(Row{"empty", "", ""}, Row{"ascii", "Ab1", "41 62 31"},
                                         Row{"first_hanzi", "啊", "B0 A1"},
                                         Row{"none", "无", "CE DE"},
                                         Row{"fullwidth_comma", "，", "A3 AC"},
                                         Row{"mixed", "屏A", "C6 C1 41"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GbkCodec, RejectsBytesThatAreNotGbk) {
    std::string out = "stale";
    EXPECT_FALSE(GbkCodec::ToUtf8(std::string("\x81", 1), out));  // lead byte alone
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(GbkCodec::ToUtf8(std::string("A\xFF", 2)), "");
}

TEST(GbkCodec, RejectsCharactersGbkLacks) {
    std::string out;
    EXPECT_FALSE(GbkCodec::FromUtf8("\xF0\x9F\x98\x80", out));  // an emoji
    EXPECT_FALSE(GbkCodec::FromUtf8("\xC3", out));              // cut UTF-8
}

struct LossyRow {
    const char* name;
    std::string utf8;
    std::string gbk;
};

void PrintTo(const LossyRow& row, std::ostream* os) {
    *os << row.name;
}

class GbkCodecLossy : public testing::TestWithParam<LossyRow> {};

TEST_P(GbkCodecLossy, EachCharacterGbkLacksBecomesAQuestionMark) {
    EXPECT_EQ(GbkCodec::FromUtf8Lossy(GetParam().utf8), GetParam().gbk);
}

INSTANTIATE_TEST_SUITE_P(Rows, GbkCodecLossy,
                         testing::Values(LossyRow{"AllGbk", "a\xE5\x9B\xBE", "a\xCD\xBC"},  // a图
                                         LossyRow{"Emoji", "x\xF0\x9F\x98\x80y", "x?y"},
                                         LossyRow{"TwoMissing",
                                                  "\xE1\xBA\x9E\xE5\x9B\xBE\xE1\xBA\x9E",
                                                  "?\xCD\xBC?"},  // ẞ图ẞ
                                         LossyRow{"StrayByte",
                                                  std::string("a\x80"
                                                              "b"),
                                                  "a?b"},
                                         LossyRow{"CutAtTheEnd", "a\xE5\x9B", "a?"},
                                         LossyRow{"Empty", "", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
