// Change notifications: each change of a page or a workspace is told once, and nothing
// that changes nothing is told.

#include <gtest/gtest.h>

#include <functional>

#include "edit/PageController.h"
#include "project/FlashLayout/FlashFixture.h"

using flashfixture::Project;

namespace {

struct Counts {
    int items = 0, selection = 0, modified = 0, undo = 0;
    bool operator==(const Counts&) const = default;
};

void PrintTo(const Counts& c, std::ostream* os) {
    *os << "{" << c.items << "," << c.selection << "," << c.modified << "," << c.undo << "}";
}

class PageCounter : public PageObserver {
public:
    void ItemsChanged(CLedDoc&) override { ++counts.items; }
    void SelectionChanged(CLedDoc&) override { ++counts.selection; }
    void ModifiedChanged(CLedDoc&, bool) override { ++counts.modified; }
    void UndoRedoChanged(CLedDoc&, bool, bool) override { ++counts.undo; }
    Counts counts;
};

struct NotifyRow {
    const char* name;
    std::function<void(PageController&, CLedDoc&)> before, action;
    Counts told;
};

void PrintTo(const NotifyRow& row, std::ostream* os) {
    *os << row.name;
}

void Press(PageController& c, Point p) {
    c.MouseDown(MouseEvent{p, kLeftButton});
}
void Line(PageController& c, CLedDoc&) {
    c.SetTool(11);
    Press(c, {10, 10});
    c.MouseMove(MouseEvent{{40, 40}, kLeftButton});
    c.MouseUp(MouseEvent{{40, 40}});
}

class PageNotifications : public testing::TestWithParam<NotifyRow> {};

TEST_P(PageNotifications, OncePerChange) {
    Project project;
    CLedDoc* page = project.AddPage("a");
    page->SetModified(false);
    PageController canvas(*page, project.ws.Bitmaps(), {});
    if (GetParam().before) GetParam().before(canvas, *page);
    PageCounter counter;
    page->AddObserver(&counter);
    GetParam().action(canvas, *page);
    EXPECT_EQ(counter.counts, GetParam().told);
    page->RemoveObserver(&counter);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PageNotifications,
    testing::Values(
        NotifyRow{"CreatingByAPress",
                  nullptr,
                  [](PageController& c, CLedDoc&) {
                      c.SetTool(11);
                      Press(c, {10, 10});
                  },
                  {1, 1, 1, 1}},
        NotifyRow{"DraggingOutAndReleasing",
                  [](PageController& c, CLedDoc&) {
                      c.SetTool(11);
                      Press(c, {10, 10});
                  },
                  [](PageController& c, CLedDoc&) {
                      c.MouseMove(MouseEvent{{40, 40}, kLeftButton});
                      c.MouseUp(MouseEvent{{40, 40}});
                  },
                  {2, 0, 0, 0}},
        NotifyRow{"Undo", Line, [](PageController& c, CLedDoc&) { c.Undo(); }, {1, 1, 0, 1}},
        NotifyRow{"Saving",
                  Line,
                  [](PageController&, CLedDoc& page) {
                      std::string error;
                      page.SaveFile(page.m_strPath, error);
                  },
                  {0, 0, 1, 0}},
        NotifyRow{"ClickingTheSelectedItem",
                  [](PageController& c, CLedDoc& page) {
                      Line(c, page);
                      c.SetTool(PageController::kSelectTool);
                  },
                  [](PageController& c, CLedDoc&) {
                      Press(c, {25, 25});
                      c.MouseUp(MouseEvent{{25, 25}});
                  },
                  {0, 0, 0, 0}},
        NotifyRow{"Hovering",
                  Line,
                  [](PageController& c, CLedDoc&) {
                      c.MouseMove(MouseEvent{{90, 90}});
                  },
                  {0, 0, 0, 0}},
        NotifyRow{"ThreeArrowMoves",
                  Line,
                  [](PageController& c, CLedDoc&) {
                      for (int i = 0; i < 3; ++i)
                          c.KeyDown(KeyEvent{EditKey::Right});
                  },
                  {3, 0, 0, 0}},
        NotifyRow{"DeleteKey",
                  Line,
                  [](PageController& c, CLedDoc&) { c.KeyDown(KeyEvent{EditKey::Delete}); },
                  {1, 1, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

class WorkspaceLog : public WorkspaceObserver {
public:
    void PageOpened(CLedDoc& page) override { log.push_back("open " + page.m_strTitle); }
    void PageClosed(CLedDoc& page) override { log.push_back("close " + page.m_strTitle); }
    void ProjectOpened() override { log.push_back("project open"); }
    void ProjectClosed() override { log.push_back("project close"); }
    std::vector<std::string> log;
};

TEST(WorkspaceNotifications, PagesAndProjectOnceEach) {
    Project project;
    WorkspaceLog log;
    project.ws.AddObserver(&log);
    CLedDoc* a = project.AddPage("a");
    project.AddPage("b");
    project.ws.ClosePage(a);
    project.ws.CloseProject();
    project.ws.CloseProject();  // nothing open: nothing told
    ASSERT_TRUE(project.ws.OpenProjectFile(project.ProjectFile()));
    EXPECT_EQ(log.log, (std::vector<std::string>{"open a.pg", "open b.pg", "close a.pg",
                                                 "close b.pg", "project close", "open a.pg",
                                                 "open b.pg", "project open"}));
    project.ws.RemoveObserver(&log);
}

}  // namespace
