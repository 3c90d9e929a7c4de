// The words of the flash maps, the test display's steps, the CRC table of a file and the
// page conversion.

#include <gtest/gtest.h>

#include <fstream>

#include "link/CommandBuilder.h"
#include "project/FlashLayout.h"
#include "project/FlashLayout/FlashFixture.h"
#include "project/LayoutHints.h"
#include "project/ProjectTools.h"
#include "project/SlideShow.h"

using flashfixture::Project;

namespace {

struct HintRow {
    const char* name;
    std::vector<std::pair<int, int>> pages;  // start, count, in document order
    int cell;
    std::string cellText, collisions;
};

void PrintTo(const HintRow& row, std::ostream* os) {
    *os << row.name;
}

class LayoutHintsPages : public testing::TestWithParam<HintRow> {};

TEST_P(LayoutHintsPages, CellAndCollisions) {
    Project project;
    for (size_t i = 0; i < GetParam().pages.size(); ++i)
        ASSERT_TRUE(project.AddPage("p" + std::to_string(i), GetParam().pages[i].second,
                                    GetParam().pages[i].first));
    FlashLayout layout(project.ws);
    EXPECT_EQ(LayoutHints::PageCell(layout, GetParam().cell), GetParam().cellText);
    EXPECT_EQ(LayoutHints::PageCollisions(layout), GetParam().collisions);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LayoutHintsPages,
    testing::Values(HintRow{"owner", {{0, 1}, {3, 3}}, 4, "p1.pg：第 3–5 页，共 3 页", ""},
                    HintRow{"free", {{0, 1}}, 7, "第 7 页：空闲", ""},
                    HintRow{"reserved", {{0, 1}}, 255, "第 255 页：保留", ""},
                    HintRow{"off the grid", {{0, 1}}, -1, "", ""},
                    HintRow{"overlap",
                            {{0, 3}, {2, 2}},
                            2,
                            "p0.pg：第 0–2 页，共 3 页；p1.pg：第 2–3 页，共 2 页",
                            "p1.pg（第 2–3 页，共 2 页）与 p0.pg 重叠"},
                    HintRow{"past the end",
                            {{250, 6}},
                            250,
                            "p0.pg：第 250–255 页，共 6 页",
                            "p0.pg（第 250–255 页，共 6 页）越界"}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& c : n)
            if (!isalnum(static_cast<unsigned char>(c))) c = '_';
        return n;
    });

TEST(LayoutHintsBitmaps, NamesTheBitmapsOfTheShownBlock) {
    Project project;
    CLedDoc* page = project.AddPage("a");
    // 32 x 32 at 256 colours: 1024 bytes, two 512-byte pages.
    CItemBmp* first = project.AddBitmap(page, 0, 0, 32, 32, Rgb(255, 0, 0), -1, -1, 1, 0);
    CItemBmp* second = project.AddBitmap(page, 40, 0, 32, 32, Rgb(0, 255, 0), -1, -1, 1, 1);
    FlashLayout layout(project.ws);
    layout.OpenBitmapTab();
    const std::string a = first->Bitmap()->m_strPath, b = second->Bitmap()->m_strPath;
    EXPECT_EQ(LayoutHints::BitmapCell(layout, 1),
              "第 1 块 " + a + "：第 0–1 页，共 2 页；" + b + "：第 1–2 页，共 2 页");
    EXPECT_EQ(LayoutHints::BitmapCell(layout, 9), "第 1 块第 9 页：空闲");
    EXPECT_EQ(LayoutHints::BitmapCollisions(layout),
              b + "（第 1 块，第 1–2 页，共 2 页）与 " + a + " 重叠");
}

// The show-page commands of every open page in document order, then the show stops.
TEST(SlideShow, ShowsEveryPageOnceInDocumentOrder) {
    Project project;
    project.AddPage("a", 1, 0);
    project.AddPage("b", 1, 7);
    SlideShow show(project.ws);
    std::vector<int> shown;
    CByteArray all, expected;
    for (int i = show.Start(all); i >= 0; i = show.Next(all))
        shown.push_back(i);
    EXPECT_EQ(shown, (std::vector<int>{0, 1}));
    EXPECT_FALSE(show.Running());
    CommandBuilder::ShowPage(expected, 0, 0);
    CommandBuilder::ShowPage(expected, 0, 7);
    EXPECT_EQ(all, expected);
    EXPECT_EQ(SlideShow::IntervalMs(SlideShow::kFirstPeriod), 2000);
}

TEST(ProjectTools, CrcTableOfAFileAndItsRefusal) {
    Project project;
    CLedDoc* page = project.AddPage("a", 2, 0);
    CByteArray record, expected, table;
    page->EncodeRecord(record, 0);
    const std::string path = project.File("image.bin");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(record.data()), std::streamsize(record.size()));
    ASSERT_TRUE(ProjectTools::CrcTableOfFile(path, project.ws, table));
    CommandBuilder::CrcTable(expected, 0, record, 512,
                             CommandBuilder::FullScreenBytes(320, 240, 256, false));
    EXPECT_EQ(table, expected);
    EXPECT_FALSE(ProjectTools::CrcTableOfFile(project.File("missing.bin"), project.ws, table));
    EXPECT_EQ(project.messages.told.back().rfind("打开校验文件失败：", 0), 0u);
}

struct ConvertRow {
    const char* name;
    bool inProject;
    int colours;
    bool converted;
    const char* told;
};

void PrintTo(const ConvertRow& row, std::ostream* os) {
    *os << row.name;
}

class ProjectToolsConvert : public testing::TestWithParam<ConvertRow> {};

TEST_P(ProjectToolsConvert, TakesTheDeviceOrSaysWhyNot) {
    ScriptedMessenger messages;
    CLedDoc page(ScreenParams{"old", 256, 70, 52.5, 320, 240});
    page.m_bInProject = GetParam().inProject;
    const ScreenParams target{"new", GetParam().colours, 80, 60, 400, 300};
    EXPECT_EQ(ProjectTools::ConvertPage(page, target, messages), GetParam().converted);
    EXPECT_EQ(page.GetScreenParams() == target, GetParam().converted);
    EXPECT_EQ(page.m_bModified, GetParam().converted);
    EXPECT_EQ(messages.told, GetParam().told[0] ? std::vector<std::string>{GetParam().told}
                                                : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProjectToolsConvert,
    testing::Values(ConvertRow{"standalone", false, 256, true, ""},
                    ConvertRow{"project_page", true, 256, false,
                               "工程中的页面与工程共用屏幕参数，不能单独转换"},
                    ConvertRow{"other_colours", false, 64, false,
                               "颜色数不同的设备之间不能转换页面：页面中的颜色代码会改变含义"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
