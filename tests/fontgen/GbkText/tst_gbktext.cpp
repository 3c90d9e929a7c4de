#include <gtest/gtest.h>

#include "GbkText.h"

namespace {

struct SplitRow {
    const char* name;
    std::string utf8;
    std::vector<GbkCode> codes;
};

class GbkTextSplit : public testing::TestWithParam<SplitRow> {};

TEST_P(GbkTextSplit, EveryCharacterIsOneGlyph) {
    std::vector<GbkCode> codes;
    std::string error;
    ASSERT_TRUE(GbkText::FromUtf8(GetParam().utf8, codes, error)) << error;
    EXPECT_EQ(codes, GetParam().codes);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, GbkTextSplit,
    testing::Values(SplitRow{"two_hanzi_and_a_letter", "液晶A", {0xD2BA, 0xBEA7, 0x41}},
                    SplitRow{"line_break_adds_two", "液晶\r\nA", {0xD2BA, 0xBEA7, 13, 10, 0x41}},
                    SplitRow{"space_is_a_glyph", "A B", {0x41, 0x20, 0x42}},
                    SplitRow{"empty_text", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GbkText, LeadByteAtTheEndStandsAloneAndUnicodeOfEachCode) {
    EXPECT_EQ(GbkText::Split("A\xD2"), (std::vector<GbkCode>{0x41, 0xD200}));
    EXPECT_EQ(GbkText::ToUnicode({0x41, 0xD2BA, 0xD200, 0xD7FA}),
              (std::vector<char32_t>{U'A', U'液', 0, 0}));
    EXPECT_EQ(GbkText::Name(0xD2BA) + GbkText::Name(13) + GbkText::Name(0xD7FA), "液U+000D0xD7FA");
}

TEST(GbkText, RefusesACharacterGbkLacksAndNamesIt) {
    std::vector<GbkCode> codes;
    std::string error;
    EXPECT_FALSE(GbkText::FromUtf8("A\xF0\x9F\x98\x80", codes, error));
    EXPECT_NE(error.find("\xF0\x9F\x98\x80"), std::string::npos) << error;
    // Bytes that are no UTF-8 at all are called that, with where they start.
    for (const auto& [text, at] : {std::pair{"\xC3", "第 1 个字节 0xC3"},
                                   {"AB\xFF", "第 3 个字节 0xFF"},
                                   {"A\xC0\xAF", "第 2 个字节 0xC0"},
                                   {"\xED\xA0\x80", "第 1 个字节 0xED"}}) {
        EXPECT_FALSE(GbkText::FromUtf8(text, codes, error));
        EXPECT_NE(error.find("不是有效的 UTF-8：" + std::string(at)), std::string::npos) << error;
    }
}

}  // namespace
