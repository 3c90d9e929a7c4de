// The two text reports, byte for byte against lines built by hand from their columns.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/ByteArray.h"
#include "project/FlashLayout/FlashFixture.h"
#include "project/LayoutReport.h"
#include "support/ScriptedMessenger.h"

using flashfixture::Project;

namespace {

constexpr COLORREF kRed = Rgb(255, 0, 0);

// GBK of the fixed texts.
const std::string kJuBuWeiTuXinXi = "\xBE\xD6\xB2\xBF\xCE\xBB\xCD\xBC\xD0\xC5\xCF\xA2";
const std::string kMingCheng = "\xC3\xFB\xB3\xC6";
const std::string kSuoZaiKuai = "\xCB\xF9\xD4\xDA\xBF\xE9";
const std::string kDiaoYongYeMian = "\xB5\xF7\xD3\xC3\xD2\xB3\xC3\xE6";
const std::string kTu = "\xCD\xBC";  // 图

std::string Spaces(int n) {
    return std::string(static_cast<size_t>(n), ' ');
}
std::string Hex(const std::string& s) {
    return ToHex(CByteArray(s.begin(), s.end()));
}
std::string Slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

const std::string kLocalHead = Spaces(12) + kJuBuWeiTuXinXi + "\r\n" + "BLOCK" + Spaces(3) +
                               "PAGE" + Spaces(4) + "X" + Spaces(4) + "Y" + Spaces(5) + "W" +
                               Spaces(5) + "H" + Spaces(5) + kMingCheng + "\r\n";
const std::string kBackHead =
    " " + kMingCheng + Spaces(14) + kSuoZaiKuai + Spaces(4) + kDiaoYongYeMian + "\r\n";

struct LocalRow {
    const char* name;
    int block, start, x, y, w, h;
    std::string path;  // UTF-8
    std::string line;  // GBK, without CR LF
};

void PrintTo(const LocalRow& row, std::ostream* os) {
    *os << row.name;
}

class LayoutReportLocalBitmaps : public testing::TestWithParam<LocalRow> {};

TEST_P(LayoutReportLocalBitmaps, OneLineAtItsColumns) {
    const LocalRow& r = GetParam();
    Project project;
    CLedDoc* page = project.AddPage("a");
    CItemBmp* item = project.AddBitmap(page, r.x, r.y, 2, 2, kRed, r.w, r.h, r.block, r.start);
    item->Bitmap()->m_strPath = r.path;
    EXPECT_EQ(Hex(LayoutReport::LocalBitmaps(project.ws)), Hex(kLocalHead + r.line + "\r\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LayoutReportLocalBitmaps,
    testing::Values(LocalRow{"columns", 0, 3, 10, 20, 32, 16, "pic.bmp",
                             " 0," + Spaces(5) + "3," + Spaces(6) + "10," + Spaces(2) + "20," +
                                 Spaces(3) + "32," + Spaces(3) + "16," + Spaces(3) + "pic.bmp"},
                    // A field longer than its room pushes the rest along; nothing is cut.
                    LocalRow{"long_fields_push", 1234567, 200, -100000, 7, 1, 1234567, "a.bmp",
                             " 1234567,200," + Spaces(3) + "-100000,7," + Spaces(1) + "1," +
                                 Spaces(4) + "1234567,a.bmp"},
                    LocalRow{"gbk_name", 63, 255, 0, 0, 1, 1, "D:\\图\\a.bmp",
                             " 63," + Spaces(4) + "255," + Spaces(4) + "0," + Spaces(3) + "0," +
                                 Spaces(4) + "1," + Spaces(4) + "1," + Spaces(4) + "D:\\" + kTu +
                                 "\\a.bmp"},
                    LocalRow{"name_gbk_lacks", 0, 0, 0, 0, 1, 1, "x\xF0\x9F\x98\x80y",
                             " 0," + Spaces(5) + "0," + Spaces(6) + "0," + Spaces(3) + "0," +
                                 Spaces(4) + "1," + Spaces(4) + "1," + Spaces(4) + "x?y"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LayoutReport, LocalBitmapsInListOrderWithoutDeletedOnes) {
    Project project;
    CLedDoc* page = project.AddPage("a");
    project.AddBitmap(page, 1, 2, 2, 2, kRed, 3, 4, 5, 6)->Bitmap()->m_strPath = "first";
    project.AddBitmap(page, 0, 0, 2, 2, kRed, 1, 1, 0, 0)->Bitmap()->m_strPath = "gone";
    page->CurrentItems().pop_back();
    project.AddBitmap(page, 7, 8, 2, 2, kRed, 9, 10, 11, 12)->Bitmap()->m_strPath = "third";
    const std::string expected =
        kLocalHead + " 5," + Spaces(5) + "6," + Spaces(6) + "1," + Spaces(3) + "2," + Spaces(4) +
        "3," + Spaces(4) + "4," + Spaces(4) + "first\r\n" + " 11," + Spaces(4) + "12," + Spaces(5) +
        "7," + Spaces(3) + "8," + Spaces(4) + "9," + Spaces(4) + "10," + Spaces(3) + "third\r\n";
    EXPECT_EQ(Hex(LayoutReport::LocalBitmaps(project.ws)), Hex(expected));
}

TEST(LayoutReport, EmptyProjectGivesTheHeadingsOnly) {
    Project project;
    EXPECT_EQ(Hex(LayoutReport::LocalBitmaps(project.ws)), Hex(kLocalHead));
    EXPECT_EQ(Hex(LayoutReport::Backgrounds(project.ws)), Hex(kBackHead));
}

TEST(LayoutReport, BackgroundsOfPagesInDocumentOrder) {
    Project project;
    CLedDoc* a = project.AddPage("a");
    project.AddPage("plain");
    CLedDoc* c = project.AddPage("背景");
    ASSERT_TRUE(project.MakeBackground(a, 4, 4, kRed));
    ASSERT_TRUE(project.MakeBackground(c, 4, 4, kRed));
    a->BackBitmap()->m_strPath = "C:\\b.bmp";
    c->BackBitmap()->m_strPath = "C:\\a-very-long-picture-name.bmp";  // past column 20
    c->m_byBackId = 9;
    const std::string expected = kBackHead + "C:\\b.bmp" + Spaces(12) + "0" + Spaces(9) +
                                 "a.pg\r\n" + "C:\\a-very-long-picture-name.bmp9" +
                                 "\xB1\xB3\xBE\xB0.pg\r\n";
    EXPECT_EQ(Hex(LayoutReport::Backgrounds(project.ws)), Hex(expected));
}

struct NameRow {
    const char* chosen;
    const char* written;
};

void PrintTo(const NameRow& row, std::ostream* os) {
    *os << row.chosen;
}

class LayoutReportNames : public testing::TestWithParam<NameRow> {};

TEST_P(LayoutReportNames, TxtAppendedUnlessPresent) {
    EXPECT_EQ(LayoutReport::ReportName(GetParam().chosen), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(Rows, LayoutReportNames,
                         testing::Values(NameRow{"out", "out.txt"}, NameRow{"out.txt", "out.txt"},
                                         NameRow{"out.TXT", "out.TXT.txt"},
                                         NameRow{"a.txt.bak", "a.txt.bak.txt"}));

TEST(LayoutReport, WriteCreatesTheFileWithExactlyTheText) {
    Project project;
    ScriptedMessenger& messages = project.messages;
    const std::string text = "x\r\n" + kTu + "\r\n";
    ASSERT_TRUE(LayoutReport::Write(
        text,
        [&](std::string& name) {
            name = project.File("report");
            return true;
        },
        messages));
    EXPECT_EQ(Hex(Slurp(project.File("report.txt"))), Hex(text));
    // An existing file is replaced.
    ASSERT_TRUE(LayoutReport::Write(
        "y",
        [&](std::string& name) {
            name = project.File("report.txt");
            return true;
        },
        messages));
    EXPECT_EQ(Slurp(project.File("report.txt")), "y");
    EXPECT_TRUE(messages.told.empty());
}

TEST(LayoutReport, WriteThatCannotCreateTheFileSaysSo) {
    Project project;
    ScriptedMessenger& messages = project.messages;
    EXPECT_FALSE(LayoutReport::Write(
        "x",
        [&](std::string& name) {
            name = project.File("no-such-folder/report");
            return true;
        },
        messages));
    EXPECT_NE(messages.told.at(0).find(project.File("no-such-folder/report.txt")),
              std::string::npos);
    EXPECT_FALSE(LayoutReport::Write(
        "x", [](std::string&) { return false; }, messages));
    EXPECT_EQ(messages.told.size(), 1u);
}

}  // namespace
