// lcdtool export, layout and report, run as a user runs them on projects made with the
// project commands.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "base/ByteArray.h"
#include "items/CItemLine.h"
#include "project/FlashImage.h"
#include "project/FlashLayout.h"
#include "project/FlashLayout/FlashFixture.h"
#include "support/RunTool.h"
#include "support/ScriptedMessenger.h"

using flashfixture::Project;

namespace {

constexpr COLORREF kRed = Rgb(255, 0, 0), kBlue = Rgb(0, 0, 255);
const ScreenParams kSmall{"T", 256, 10.0, 5.0, 16, 8};

std::string FileHex(const std::string& path) {
    const std::string s = Slurp(path);
    return ToHex(CByteArray(s.begin(), s.end()));
}
std::string Repeat(const std::string& hex, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += hex + " ";
    return out;
}
std::string Canonical(const std::string& hex) {
    CByteArray bytes;
    EXPECT_TRUE(FromHex(hex, bytes)) << hex;
    return ToHex(bytes);
}

// a.pg: main page at 0; b.pg: background page at 1 (id 0, 128 blue pixels).
class ProjectTool : public testing::Test {
public:
    ProjectTool() : project(kSmall) {}
    void SetUp() override {
        a = project.AddPage("a", 1, 0);
        b = project.AddPage("b", 1, 1);
        ASSERT_TRUE(project.MakeBackground(b, 4, 4, kBlue));
        Save();
    }
    void Save() { ASSERT_TRUE(project.ws.SaveProject()); }
    Result Run(const std::string& args) { return RunTool(project.File(""), args); }
    std::string Zkp() const { return "'" + project.ProjectFile() + "'"; }
    std::string Out(const std::string& name) const { return "'" + project.File(name) + "'"; }

    Project project;
    ScriptedMessenger& messages = project.messages;
    CLedDoc* a = nullptr;
    CLedDoc* b = nullptr;
};

// Page records without items: head, body, delay 10, next page, FF to 128 bytes.
std::string PageRecord(const std::string& head, const std::string& body,
                       const std::string& next = "FF") {
    return head + " " + body + " 1B 53 0A 1B 50 " + next + " " + Repeat("FF", 119);
}
std::string Background(const std::string& head, int pageSize) {
    return head + " 00 " + Repeat("03", 128) + Repeat("FF", pageSize - 128);
}

struct ExportRow {
    const char* name;
    const char* options;
    std::string image;
};

void PrintTo(const ExportRow& row, std::ostream* os) {
    *os << row.name;
}

class ProjectToolExport : public ProjectTool, public testing::WithParamInterface<ExportRow> {};

TEST_P(ProjectToolExport, WritesTheImage) {
    const Result r = Run("export " + Zkp() + " -o " + Out("img") + " " + GetParam().options);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(FileHex(project.File("img.bin")), Canonical(GetParam().image));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProjectToolExport,
    testing::Values(
        ExportRow{"defaults", "",
                  PageRecord("1B 56 00 01", "1B 42 00") + PageRecord("1B 56 01 01", "1B 19 00") +
                      Background("1B 20 00", 512)},
        ExportRow{"order", "--order b.pg,a.pg",
                  PageRecord("1B 56 01 01", "1B 19 00") + PageRecord("1B 56 00 01", "1B 42 00") +
                      Background("1B 20 00", 512)},
        ExportRow{"cyclic", "--display cyclic",
                  PageRecord("1B 56 00 01", "1B 42 00", "01") +
                      PageRecord("1B 56 01 01", "1B 19 00", "00") + Background("1B 20 00", 512)},
        ExportRow{"sequential_reordered", "--display sequential --order b.pg,a.pg",
                  PageRecord("1B 56 01 01", "1B 19 00", "00") +
                      PageRecord("1B 56 00 01", "1B 42 00", "FF") + Background("1B 20 00", 512)},
        ExportRow{"checksum_board_2", "--mode checksum --board 2",
                  PageRecord("1B 56 02 00 01 00 74", "1B 42 00") +
                      PageRecord("1B 56 02 01 01 00 75", "1B 19 00") +
                      Background("1B 20 01 00 00 3C", 2048)},
        ExportRow{"long_board_3", "--mode long --board 3",
                  PageRecord("1B 56 0A A0 0A 00 01", "1B 42 00") +
                      PageRecord("1B 56 0A A0 0A 01 01", "1B 19 00") +
                      Background("1B 20 0A A0 0A 00", 256)}),
    [](const auto& info) { return std::string(info.param.name); });

// An item off the screen (older files hold such) goes out as it is, with one warning line
// per page; the instruction tree marks it.
TEST_F(ProjectTool, ExportWarnsOfItemsOffTheScreen) {
    auto line = std::make_unique<CItemLine>(300, 10, 0, 1);
    line->m_x2 = a->m_nLogWidth + 80, line->m_bCreating = 0;
    a->CurrentItems().push_back(std::move(line));
    a->m_bModified = true;
    Save();
    const Result r = Run("export " + Zkp() + " -o " + Out("img"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "lcdtool: 警告：页面 a.pg 有 1 个图元超出屏幕\n");
    TreeNode tree;
    a->BuildTree(tree);
    EXPECT_TRUE(tree.children.back().text.ends_with(CLedDoc::kOffScreenMark));
}

TEST_F(ProjectToolExport, NameEndingInBinIsKept) {
    ASSERT_EQ(Run("export " + Zkp() + " -o " + Out("img.BIN")).status, 0);
    EXPECT_TRUE(std::filesystem::exists(project.File("img.BIN")));
    EXPECT_FALSE(std::filesystem::exists(project.File("img.BIN.bin")));
}

TEST_F(ProjectTool, ExportMatchesTheExportButtonWithBitmapsAndCrc) {
    CLedDoc* c = project.AddPage("c", 1, 2);
    project.AddBitmap(c, 1, 1, 2, 2, kRed, 20, 10);
    Save();
    const Result r = Run("export " + Zkp() + " -o " + Out("tool.bin") + " --crc --board 1");
    ASSERT_EQ(r.status, 0) << r.err;

    FlashLayout layout(project.ws);
    FlashImage image(layout);
    project.ws.Settings().boardType = 1;
    image.Open();
    image.m_bCrc = true;
    ASSERT_TRUE(image.Export([&](std::string& name) {
        name = project.File("button.bin");
        return true;
    }));
    EXPECT_EQ(FileHex(project.File("tool.bin")), FileHex(project.File("button.bin")));
    // The bitmap record is there, and the CRC table's head ends the records.
    EXPECT_NE(FileHex(project.File("tool.bin")).find("1B 28 00 00 01"), std::string::npos);
    EXPECT_NE(FileHex(project.File("tool.bin")).find("1B 3F 00 00"), std::string::npos);
}

struct RefusalRow {
    const char* name;
    std::function<void(ProjectTool&)> setup;
    const char* options;
    const char* line;  // on stderr
};

void PrintTo(const RefusalRow& row, std::ostream* os) {
    *os << row.name;
}

class ProjectToolRefusals : public ProjectTool, public testing::WithParamInterface<RefusalRow> {};

TEST_P(ProjectToolRefusals, OneLineAndNoFile) {
    if (GetParam().setup) GetParam().setup(*this);
    const Result r = Run("export " + Zkp() + " -o " + Out("img") + " " + GetParam().options);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(GetParam().line), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(project.File("img.bin")));
}

// b onto a's page: the layout is in collision.
void Overlap(ProjectTool& t) {
    t.project.SetStart(t.b, 0);
    t.Save();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProjectToolRefusals,
    testing::Values(
        RefusalRow{"collision", Overlap, "", "页面区有页面地址重叠或越界，请重新设置"},
        RefusalRow{"unknown_page", nullptr, "--order a.pg,x.pg", "页面顺序中的页面“x.pg”没有打开"},
        RefusalRow{"empty_order", nullptr, "--order ,", "--order 须列出页面名称"},
        RefusalRow{"bad_display", nullptr, "--display manual", "--display 须为"},
        RefusalRow{"bad_mode", nullptr, "--mode fast", "--mode 须为 short、checksum 或 long"},
        RefusalRow{"bad_board", nullptr, "--board 4", "--board 须为 0 到 3 的整数"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProjectTool, ExportWithoutOutputShowsTheUsage) {
    const Result r = Run("export " + Zkp());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("用法：lcdtool export PROJECT.zkp -o IMAGE.bin"), std::string::npos);
}

TEST_F(ProjectTool, ExportOfAMissingProjectSaysSo) {
    const Result r = Run("export " + Out("none.zkp") + " -o " + Out("img"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("none.zkp"), std::string::npos) << r.err;
}

TEST_F(ProjectTool, LayoutListsRunsAndCollisions) {
    CLedDoc* c = project.AddPage("c", 2, 1);  // over b
    project.AddBitmap(c, 0, 0, 2, 2, kRed, 32, 48, 4, 10);
    project.AddBitmap(c, 0, 0, 2, 2, kRed, 32, 16, 4, 12);
    Save();
    const std::string first = project.ws.Bitmaps().At(0)->m_strPath;
    const std::string second = project.ws.Bitmaps().At(1)->m_strPath;
    const Result r = Run("layout " + Zkp());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "# 页面区：256 页，每页 128 字节，第 255 页保留\n"
              "页面\t起始页\t页数\t末页\t状态\n"
              "a.pg\t0\t1\t0\t正常\n"
              "b.pg\t1\t1\t1\t正常\n"
              "c.pg\t1\t2\t2\t冲突\n"
              "# 局部位图区：64 块，每块 256 页，每页 512 字节\n"
              "位图\t块\t起始页\t页数\t末页\t状态\t调用页面\n" +
                  first + "\t4\t10\t3\t12\t正常\tc.pg\n" + second +
                  "\t4\t12\t1\t12\t冲突\tc.pg\n"
                  "页面区：有地址重叠或越界\n"
                  "局部位图区：有地址重叠或越界\n");

    const Result other = Run("layout " + Zkp() + " --block 5 --board 3");
    ASSERT_EQ(other.status, 0) << other.err;
    EXPECT_NE(other.out.find("每页 256 字节"), std::string::npos);
    EXPECT_EQ(other.out.find(first), std::string::npos);
    EXPECT_NE(other.out.find("局部位图区第5块：正常"), std::string::npos);
}

TEST_F(ProjectTool, LayoutDrawsTheMapAsPng) {
    const Result r = Run("layout " + Zkp() + " --png " + Out("map.png"));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string png = Slurp(project.File("map.png"));
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1A\n");
    // IHDR: 360 x 360.
    EXPECT_EQ(ToHex(CByteArray(png.begin() + 16, png.begin() + 24)), "00 00 01 68 00 00 01 68");

    const Result bad = Run("layout " + Zkp() + " --block 64");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("--block 须为 0 到 63 的整数"), std::string::npos);
}

TEST_F(ProjectTool, ReportsAreWrittenAsTheButtonsWriteThem) {
    const std::string path = b->BackBitmap()->m_strPath;  // longer than 20: pushes the id
    ASSERT_GT(path.size(), 30u);
    Result r = Run("report backgrounds " + Zkp() + " -o " + Out("back"));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string heading = " \xC3\xFB\xB3\xC6" + std::string(14, ' ') +
                                "\xCB\xF9\xD4\xDA\xBF\xE9" + std::string(4, ' ') +
                                "\xB5\xF7\xD3\xC3\xD2\xB3\xC3\xE6\r\n";
    EXPECT_EQ(Slurp(project.File("back.txt")), heading + path + "0b.pg\r\n");

    r = Run("report bitmaps " + Zkp() + " -o " + Out("bits.txt"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Slurp(project.File("bits.txt")),
              std::string(12, ' ') + "\xBE\xD6\xB2\xBF\xCE\xBB\xCD\xBC\xD0\xC5\xCF\xA2\r\n" +
                  "BLOCK   PAGE    X    Y     W     H     \xC3\xFB\xB3\xC6\r\n");

    r = Run("report pages " + Zkp() + " -o " + Out("x"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("report 没有子命令 pages（可用：bitmaps、backgrounds）"),
              std::string::npos);
    r = Run("report bitmaps " + Zkp() + " -o " + Out("no-folder/x"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("创建文件失败"), std::string::npos);
}

}  // namespace
