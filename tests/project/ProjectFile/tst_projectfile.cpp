#include <gtest/gtest.h>

#include "base/ByteArray.h"
#include "project/ProjectFile.h"

namespace {

const std::string kTag = "FF FF 01 00 07 00 43 44 6F 63 4F 62 6A ";  // "CDocObj"

CByteArray Hex(const std::string& h) {
    CByteArray b;
    EXPECT_TRUE(FromHex(h, b)) << h;
    return b;
}

std::string WrittenHex(const std::vector<CDocObj>& entries) {
    CByteArray out;
    std::string error;
    EXPECT_TRUE(ProjectFile::Write(entries, out, error)) << error;
    return ToHex(out);
}

// The three-entry file, built from the format description.
const std::string kThree = "03 00 " + kTag +
                           "07 6D 61 69 6E 2E 70 67 00 00 00 00 02 00 00 00 "  // main.pg 0 2
                           "01 80 04 61 2E 70 67 02 00 00 00 01 00 00 00 "     // a.pg 2 1
                           "01 80 05 B2 CB 2E 70 67 03 00 00 00 05 00 00 00";  // 菜.pg 3 5

TEST(ProjectFile, ThreeEntriesByteExact) {
    const std::vector<CDocObj> entries = {{"main.pg", 0, 2}, {"a.pg", 2, 1}, {"菜.pg", 3, 5}};
    EXPECT_EQ(WrittenHex(entries), ToHex(Hex(kThree)));
}

// A name GBK cannot hold would make the file unreadable: nothing is written.
TEST(ProjectFile, ANameGbkCannotHoldIsRefused) {
    CByteArray out = {0xAB};
    std::string error;
    EXPECT_FALSE(ProjectFile::Write({{"a.pg", 0, 1}, {"ẞ.pg", 1, 1}}, out, error));
    EXPECT_NE(error.find("ẞ.pg"), std::string::npos) << error;
    EXPECT_EQ(ToHex(out), "AB");
}

TEST(ProjectFile, ReadsTheHandBuiltFile) {
    std::vector<CDocObj> entries;
    std::string error;
    ASSERT_TRUE(ProjectFile::Read(Hex(kThree), entries, error)) << error;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[2].m_strName, "菜.pg");
    EXPECT_EQ(entries[2].m_nStartPage, 3);
    EXPECT_EQ(entries[2].m_nPageCount, 5);
}

TEST(ProjectFile, BytesAfterTheCountedEntriesAreIgnored) {
    std::vector<CDocObj> entries;
    std::string error;
    ASSERT_TRUE(ProjectFile::Read(Hex("01 00 " + kTag + "01 78 00 00 00 00 01 00 00 00 01 80 99"),
                                  entries, error))
        << error;
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].m_strName, "x");
}

TEST(ProjectFile, AnEmptyFileIsAProjectWithoutEntries) {
    std::vector<CDocObj> entries = {{"stale", 0, 1}};
    std::string error;
    ASSERT_TRUE(ProjectFile::Read({}, entries, error));
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(WrittenHex({}), "00 00");
}

struct BadRow {
    const char* name;
    std::string hex;
};

void PrintTo(const BadRow& row, std::ostream* os) {
    *os << row.name;
}

class ProjectFileMalformed : public testing::TestWithParam<BadRow> {};

TEST_P(ProjectFileMalformed, RefusedAndEntriesKept) {
    std::vector<CDocObj> entries = {{"keep.pg", 1, 1}};
    std::string error;
    EXPECT_FALSE(ProjectFile::Read(Hex(GetParam().hex), entries, error));
    EXPECT_FALSE(error.empty());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].m_strName, "keep.pg");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProjectFileMalformed,
    testing::Values(BadRow{"count_only", "02 00"}, BadRow{"one_byte", "01"},
                    BadRow{"wrong_class", "01 00 FF FF 01 00 07 00 43 44 6F 63 4F 62 78 00"},
                    BadRow{"cut_entry", "01 00 " + kTag + "04 61 2E 70"},
                    BadRow{"null_entry", "01 00 00 00 00 00 00 00 00 00 00 00 00"},
                    BadRow{"huge_count", "FF FF FF FF FF 7F"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProjectFile, TruncatedAtEveryOffsetOfAValidFile) {
    const CByteArray full = Hex(kThree);
    for (size_t cut = 1; cut < full.size(); ++cut) {
        std::vector<CDocObj> entries;
        std::string error;
        EXPECT_FALSE(ProjectFile::Read(std::span<const uint8_t>(full.data(), cut), entries, error))
            << cut;
    }
}

}  // namespace
