// The project commands, driven as the main frame drives them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "base/AtomicFile.h"
#include "items/CItemLine.h"
#include "project/ProjectFile.h"
#include "project/Workspace.h"
#include "support/ScriptedMessenger.h"

namespace fs = std::filesystem;
using Answer = Messenger::Answer;

namespace {

const ScreenParams kScreen{"3.5寸", 256, 70.0, 52.5, 320, 240};

class WorkspaceTest : public testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/lcd-ws-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root = tmpl;
        ui.hasDevices = [] { return true; };
        ui.newProject = [this](NewProjectChoice& c) {
            c = NewProjectChoice{kScreen, true, "demo", root.string()};
            return true;
        };
        ui.pageName = [this](std::string& n) {
            n = nextName;
            return true;
        };
    }
    void TearDown() override { fs::remove_all(root); }

    std::vector<CDocObj> ProjectFileEntries() {
        std::vector<uint8_t> bytes;
        std::string error;
        EXPECT_TRUE(AtomicFile::Read((root / "demo" / "demo.zkp").string(), bytes, error));
        std::vector<CDocObj> entries;
        EXPECT_TRUE(ProjectFile::Read(bytes, entries, error)) << error;
        return entries;
    }

    CLedDoc* AddPage(const std::string& name) {
        nextName = name;
        return ws.NewPage(ui);
    }

    fs::path root;
    std::string nextName;
    WorkspaceUi ui;
    ScriptedMessenger messages;
    Workspace ws{messages};
};

TEST_F(WorkspaceTest, NewProjectMakesTheDirectoryAndAnEmptyProjectFile) {
    ASSERT_TRUE(ws.NewProject(ui));
    EXPECT_TRUE(fs::is_directory(root / "demo"));
    EXPECT_EQ(fs::file_size(root / "demo" / "demo.zkp"), 0u);
    EXPECT_TRUE(ws.GetProject().open);
    EXPECT_EQ(ws.GetProject().screen, kScreen);
    EXPECT_EQ(ws.GetProject().fileName, "demo.zkp");
    EXPECT_TRUE(ws.Pages().empty());
}

TEST_F(WorkspaceTest, NewProjectWithoutDevicesSaysSoAndOpensTheDeviceEditor) {
    bool edited = false;
    ui.hasDevices = [] { return false; };
    ui.editDevices = [&] { edited = true; };
    ui.newProject = [](NewProjectChoice&) { return false; };
    EXPECT_FALSE(ws.NewProject(ui));
    EXPECT_TRUE(edited);
    EXPECT_EQ(messages.told, std::vector<std::string>{"请先在系统中添加您所购买的设备"});
    EXPECT_EQ(messages.captions[0], "设备信息文件丢失");
}

struct ChoiceRow {
    const char* name;
    NewProjectChoice choice;
    const char* complaint;
};

void PrintTo(const ChoiceRow& row, std::ostream* os) {
    *os << row.name;
}

class WorkspaceNewProjectChecks : public testing::TestWithParam<ChoiceRow> {};

TEST_P(WorkspaceNewProjectChecks, FirstComplaint) {
    EXPECT_EQ(Workspace::CheckNewProject(GetParam().choice), GetParam().complaint);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WorkspaceNewProjectChecks,
    testing::Values(
        ChoiceRow{"no_device", {ScreenParams{"", 8, 1, 1, 1, 1}, true, "", ""}, "请选择设备类型"},
        ChoiceRow{"no_name", {kScreen, true, "", ""}, "请填写工程名称"},
        ChoiceRow{"no_path", {kScreen, true, "p", ""}, "请选择工程存放目录"},
        ChoiceRow{"name_with_separator",
                  {kScreen, true, "a/b", "/tmp"},
                  "工程名称不能包含路径分隔符或“..”"},
        ChoiceRow{"fine", {kScreen, true, "p", "/tmp"}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct NameRow {
    const char* typed;
    const char* completed;
};

void PrintTo(const NameRow& row, std::ostream* os) {
    *os << row.typed;
}

class WorkspacePageNames : public testing::TestWithParam<NameRow> {};

TEST_P(WorkspacePageNames, CompletedWithPg) {
    EXPECT_EQ(Workspace::CompletePageName(GetParam().typed), GetParam().completed);
}

INSTANTIATE_TEST_SUITE_P(Rows, WorkspacePageNames,
                         testing::Values(NameRow{"main", "main.pg"}, NameRow{"main.pg", "main.pg"},
                                         NameRow{"MAIN.PG", "MAIN.PG"}, NameRow{"a.b", "a.b.pg"},
                                         NameRow{"x.pgg", "x.pgg.pg"},
                                         NameRow{"v1.2.pg", "v1.2.pg"}));

TEST_F(WorkspaceTest, NewPagesTakeStartPagesFromThePageBefore) {
    ASSERT_TRUE(ws.NewProject(ui));
    CLedDoc* first = AddPage("main");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->m_strTitle, "main.pg");
    EXPECT_EQ(first->m_nStartPage, 0);
    EXPECT_TRUE(fs::exists(root / "demo" / "main.pg"));
    // Make the first page need two flash pages: 12 lines of 11 bytes.
    for (int i = 0; i < 12; ++i) {
        auto line = std::make_unique<CItemLine>(0, 0, 0, 1);
        line->m_x2 = 5, line->m_bCreating = 0;
        first->CurrentItems().push_back(std::move(line));
    }
    CLedDoc* second = AddPage("menu");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->m_nStartPage, 2);
    const auto entries = ProjectFileEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].m_strName, "main.pg");
    EXPECT_EQ(entries[1].m_strName, "menu.pg");
    EXPECT_EQ(entries[1].m_nStartPage, 2);
    EXPECT_EQ(entries[1].m_nPageCount, 1);
    EXPECT_EQ(ws.PagePicker(), (std::vector<std::string>{"main.pg", "menu.pg"}));
}

TEST_F(WorkspaceTest, NewPageRefusesEmptyDuplicateAndEscapingNames) {
    ASSERT_TRUE(ws.NewProject(ui));
    ASSERT_NE(AddPage("main"), nullptr);
    EXPECT_EQ(AddPage(""), nullptr);
    EXPECT_EQ(AddPage("main.pg"), nullptr);
    EXPECT_EQ(AddPage("../evil"), nullptr);
    // GBK has no capital sharp s: the project file could not hold the name.
    EXPECT_EQ(AddPage("ẞ"), nullptr);
    EXPECT_EQ(messages.told, (std::vector<std::string>{"页面名称不能为空", "页面名称不能重复",
                                                       "页面名称不能包含路径分隔符或“..”",
                                                       "页面名称含有 GBK 编码无法表示的字符"}));
    EXPECT_EQ(ws.GetProject().entries.size(), 1u);
    EXPECT_FALSE(fs::exists(root / "evil.pg"));
    EXPECT_FALSE(fs::exists(root / "demo" / "ẞ.pg"));
    Workspace other(messages);
    EXPECT_TRUE(other.OpenProjectFile((root / "demo" / "demo.zkp").string()));
}

// Saving the project and closing it place a page by the one rule: its title, completed
// with ".pg", in the project directory (they once disagreed: "bare.pg" and "bare").
// Closing asks about the modified page: Cancel keeps the project open, Yes saves.
TEST_F(WorkspaceTest, SaveAndCloseAgreeOnThePageFile) {
    ASSERT_TRUE(ws.NewProject(ui));
    CLedDoc* page = AddPage("main");
    page->m_strTitle = "bare";
    page->m_bModified = true;
    ASSERT_TRUE(ws.SaveProject());
    EXPECT_TRUE(fs::exists(root / "demo" / "bare.pg"));
    fs::remove(root / "demo" / "bare.pg");
    page->m_bModified = true;
    messages.answers = {Messenger::Answer::Cancel};
    EXPECT_FALSE(ws.CloseProject());
    EXPECT_TRUE(ws.GetProject().open);
    messages.answers = {Messenger::Answer::Yes};
    EXPECT_TRUE(ws.CloseProject());
    EXPECT_EQ(messages.asked.back(), "bare已被修改，是否保存？");
    EXPECT_TRUE(fs::exists(root / "demo" / "bare.pg"));
    EXPECT_FALSE(fs::exists(root / "demo" / "bare"));
    EXPECT_FALSE(ws.GetProject().open);
    EXPECT_TRUE(ws.Pages().empty());
}

// A page an earlier version stored under its bare entry name is still found there.
TEST_F(WorkspaceTest, EntryFileKeepsTheBareNameAnEarlierVersionWrote) {
    ASSERT_TRUE(ws.NewProject(ui));
    const fs::path dir = root / "demo";
    for (const std::string made : {"", "menu.pg1", "menu.pg1.pg"}) {
        if (!made.empty()) std::ofstream(dir / made) << "x";
        EXPECT_EQ(ws.EntryFile("menu.pg1"),
                  (dir / (made == "menu.pg1" ? made : "menu.pg1.pg")).string());
    }
}

// A page made without a project has no file: Yes asks where it goes, and a cancelled
// choice keeps it (and the editor) open.
TEST_F(WorkspaceTest, OfferToSaveAsksWhereAPageWithoutAFileGoes) {
    ui.newPage = [](NewPageChoice& c) { return c.screen = kScreen, c.name = "loose", true; };
    ws.NewPage(ui)->m_bModified = true;
    std::string chosen;
    ws.SetSaveAs([&](const CLedDoc&, std::string& path) { return !(path = chosen).empty(); });
    for (const std::string& choice : {std::string(), (root / "loose.pg").string()}) {
        chosen = choice;
        messages.answers = {Messenger::Answer::Yes};
        EXPECT_EQ(ws.OfferToSaveModified(), !choice.empty());
    }
    EXPECT_TRUE(fs::exists(chosen) && messages.told.empty());
}

TEST_F(WorkspaceTest, OpenProjectOpensEveryEntrysPage) {
    ASSERT_TRUE(ws.NewProject(ui));
    AddPage("main");
    AddPage("menu");
    ws.CloseProject();

    Workspace other(messages);
    ASSERT_TRUE(other.OpenProjectFile((root / "demo" / "demo.zkp").string()));
    ASSERT_EQ(other.Pages().size(), 2u);
    EXPECT_EQ(other.Pages()[1]->m_strTitle, "menu.pg");
    EXPECT_EQ(other.Pages()[1]->m_bInProject, 1);
    EXPECT_EQ(other.GetProject().screen, kScreen);
    EXPECT_TRUE(messages.told.empty());
}

TEST_F(WorkspaceTest, EscapingOrMissingEntriesAreSkippedAndKept) {
    fs::create_directories(root / "demo");
    std::string error;
    CLedDoc page(kScreen);
    ASSERT_TRUE(page.SaveFile((root / "demo" / "ok.pg").string(), error));
    ASSERT_TRUE(page.SaveFile((root / "secret.pg").string(), error));
    const std::vector<CDocObj> entries = {
        {"../secret.pg", 0, 1}, {"/etc/passwd", 1, 1}, {"gone.pg", 2, 1}, {"ok.pg", 3, 1}};
    CByteArray zkp;
    ASSERT_TRUE(ProjectFile::Write(entries, zkp, error)) << error;
    ASSERT_TRUE(AtomicFile::Write((root / "demo" / "demo.zkp").string(), zkp, error));

    ASSERT_TRUE(ws.OpenProjectFile((root / "demo" / "demo.zkp").string()));
    ASSERT_EQ(ws.Pages().size(), 1u);
    EXPECT_EQ(ws.Pages()[0]->m_strTitle, "ok.pg");
    EXPECT_EQ(ws.Pages()[0]->m_nStartPage, 3);
    // One message names the first bad entry and counts the others.
    ASSERT_EQ(messages.told.size(), 1u);
    EXPECT_NE(messages.told[0].find("../secret.pg"), std::string::npos);
    EXPECT_NE(messages.told[0].find("另有 2 个页面项"), std::string::npos);
    // Nothing the user made is dropped: the project file keeps every entry.
    ASSERT_TRUE(ws.SaveProject());
    EXPECT_EQ(ProjectFileEntries().size(), 4u);
}

TEST_F(WorkspaceTest, ADamagedProjectFileIsRefusedAndTheOpenProjectStays) {
    ASSERT_TRUE(ws.NewProject(ui));
    AddPage("main");
    std::string error;
    const std::string bad = (root / "bad.zkp").string();
    ASSERT_TRUE(AtomicFile::Write(bad, std::vector<uint8_t>{3, 0, 0xFF}, error));
    EXPECT_FALSE(ws.OpenProjectFile(bad));
    EXPECT_EQ(messages.told.size(), 1u);
    EXPECT_EQ(ws.GetProject().name, "demo");
    EXPECT_EQ(ws.GetProject().entries.size(), 1u);
}

TEST_F(WorkspaceTest, OpeningAnotherProjectOffersToSaveModifiedPages) {
    ASSERT_TRUE(ws.NewProject(ui));
    CLedDoc* page = AddPage("main");
    page->m_bModified = true;
    ui.projectFile = [this](std::string& p) {
        p = (root / "demo" / "demo.zkp").string();
        return true;
    };
    // Yes to closing, Cancel to saving: nothing changes.
    messages.answers = {Answer::Yes, Answer::Cancel};
    EXPECT_FALSE(ws.OpenProject(ui));
    EXPECT_EQ(ws.Pages().size(), 1u);
    EXPECT_TRUE(ws.GetProject().open);
    ASSERT_EQ(messages.asked.size(), 2u);
    EXPECT_EQ(messages.asked[1], "main.pg已被修改，是否保存？");
    // Yes to closing, Yes to saving: the page is saved, then the project reopens.
    page->CurrentItems().push_back(std::make_unique<CItemLine>(1, 1, 0, 1));
    page->CurrentItems().back()->m_x2 = 9;
    messages.answers = {Answer::Yes, Answer::Yes};
    ASSERT_TRUE(ws.OpenProject(ui));
    ASSERT_EQ(ws.Pages().size(), 1u);
    EXPECT_EQ(ws.Pages()[0]->CurrentItems().size(), 1u);
}

TEST_F(WorkspaceTest, DeletePageAsksAndKeepsTheFile) {
    ASSERT_TRUE(ws.NewProject(ui));
    AddPage("main");
    CLedDoc* menu = AddPage("menu");
    messages.answers = {Answer::No};
    EXPECT_FALSE(ws.DeletePage(menu));
    EXPECT_EQ(ws.GetProject().entries.size(), 2u);
    messages.answers = {Answer::Yes};
    ASSERT_TRUE(ws.DeletePage(menu));
    EXPECT_EQ(messages.asked.back(), "确认要从工程中删menu.pg？");
    ASSERT_EQ(ws.GetProject().entries.size(), 1u);
    EXPECT_EQ(ws.Pages().size(), 1u);
    EXPECT_TRUE(fs::exists(root / "demo" / "menu.pg"));
}

TEST_F(WorkspaceTest, ClosingAPageRefreshesItsEntry) {
    ASSERT_TRUE(ws.NewProject(ui));
    CLedDoc* page = AddPage("main");
    page->m_nStartPage = 7;
    for (int i = 0; i < 12; ++i) {
        auto line = std::make_unique<CItemLine>(0, 0, 0, 1);
        line->m_x2 = 3, line->m_bCreating = 0;
        page->CurrentItems().push_back(std::move(line));
    }
    page->m_bModified = true;
    messages.answers = {Answer::Cancel};
    EXPECT_FALSE(ws.ClosePage(page));
    EXPECT_EQ(ws.Pages().size(), 1u);
    messages.answers = {Answer::No};
    ASSERT_TRUE(ws.ClosePage(page));
    EXPECT_TRUE(ws.Pages().empty());
    EXPECT_EQ(ws.GetProject().entries[0].m_nStartPage, 7);
    EXPECT_EQ(ws.GetProject().entries[0].m_nPageCount, 2);
}

TEST_F(WorkspaceTest, ImportChecksTheScreenAndRenamesADuplicate) {
    ASSERT_TRUE(ws.NewProject(ui));
    AddPage("main");
    std::string error;
    CLedDoc loose(kScreen);
    loose.m_strTitle = "main.pg";
    ScreenParams wrong = kScreen;
    wrong.logWidth = 800;
    CLedDoc other(wrong);
    EXPECT_FALSE(ws.ImportIntoProject(&other, ui));
    wrong = kScreen;
    wrong.physWidth = 70.01;
    CLedDoc other2(wrong);
    EXPECT_FALSE(ws.ImportIntoProject(&other2, ui));
    messages.answers = {Answer::Yes};
    ASSERT_TRUE(ws.ImportIntoProject(&loose, ui));
    EXPECT_EQ(messages.told, (std::vector<std::string>{"屏幕逻辑尺寸参数不一致，无法导入",
                                                       "屏幕物理尺寸参数不一致，无法导入"}));
    EXPECT_EQ(messages.asked.back(), "工程中已经存在main.pg 页面导入后将修改为main.pg1.pg");
    EXPECT_EQ(loose.m_strTitle, "main.pg1.pg");
    EXPECT_EQ(loose.m_bInProject, 1);
    EXPECT_TRUE(fs::exists(root / "demo" / "main.pg1.pg"));
    ASSERT_EQ(ws.GetProject().entries.size(), 2u);
    EXPECT_EQ(ws.GetProject().entries[1].m_nStartPage, 1);
}

// A page file the project does not list is someone's work: importing over it asks, and
// No keeps it (new-project and new-page ask the same way; the lcdtool tests run them).
TEST_F(WorkspaceTest, ImportOverAPageFileAsksAndNoKeepsIt) {
    ASSERT_TRUE(ws.NewProject(ui));
    std::string error;
    ASSERT_TRUE(AtomicFile::Write((root / "demo" / "solo.pg").string(), {{'k'}}, error));
    CLedDoc solo(kScreen);
    solo.m_strTitle = "solo.pg";
    EXPECT_FALSE(ws.ImportIntoProject(&solo, ui));
    EXPECT_EQ(messages.asked.at(0).rfind((root / "demo" / "solo.pg").string() + " 已经存在", 0),
              0u);
    EXPECT_EQ(fs::file_size(root / "demo" / "solo.pg"), 1u);
}

TEST_F(WorkspaceTest, NewPageIsUndoneWhenTheProjectFileCannotBeWritten) {
    ASSERT_TRUE(ws.NewProject(ui));
    AddPage("main");
    fs::remove(root / "demo" / "demo.zkp");
    fs::create_directory(root / "demo" / "demo.zkp");
    EXPECT_EQ(AddPage("menu"), nullptr);
    EXPECT_FALSE(fs::exists(root / "demo" / "menu.pg"));
    EXPECT_EQ(ws.GetProject().entries.size(), 1u);
    EXPECT_EQ(ws.Pages().size(), 1u);
    EXPECT_EQ(ws.ActivePage(), ws.Pages()[0].get());
}

}  // namespace
