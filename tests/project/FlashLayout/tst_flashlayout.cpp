// The flash areas of a project made with the project commands: collisions, the maps,
// picking and moving by map cell, the page order and the display modes.

#include <gtest/gtest.h>

#include "gfx/Surface.h"
#include "project/FlashLayout.h"
#include "project/FlashLayout/FlashFixture.h"
#include "project/FlashMap.h"
#include "support/ScriptedMessenger.h"

using flashfixture::Project;
using Answer = Messenger::Answer;

namespace {

constexpr COLORREF kWhite = Rgb(255, 255, 255), kGreen = Rgb(0, 255, 0), kRed = Rgb(255, 0, 0),
                   kBlue = Rgb(0, 0, 255), kGrey = Rgb(0x7D, 0x7D, 0x7D);

// The middle of the map cell of page p, where no outline or label reaches.
Point Centre(int p) {
    return Point{20 + p % 16 * 20 + 10, 20 + p / 16 * 20 + 10};
}
COLORREF CellColour(const Surface& dc, int p) {
    const Point c = Centre(p);
    return dc.GetPixel(c.x, c.y);
}
// Any pixel of the cell's inside (the outline excluded) in `colour`.
bool CellHas(const Surface& dc, int p, COLORREF colour) {
    const int x0 = 20 + p % 16 * 20, y0 = 20 + p / 16 * 20;
    for (int y = y0 + 2; y < y0 + 18; ++y)
        for (int x = x0 + 2; x < x0 + 18; ++x)
            if (dc.GetPixel(x, y) == colour) return true;
    return false;
}

// ---- page collisions ------------------------------------------------------------------

struct PagePlace {
    int start;
    int pages;
};
struct PageCollisionRow {
    const char* name;
    std::vector<PagePlace> pages;  // in document order
    std::vector<bool> collision;
};

void PrintTo(const PageCollisionRow& row, std::ostream* os) {
    *os << row.name;
}

class FlashLayoutPageCollisions : public testing::TestWithParam<PageCollisionRow> {};

TEST_P(FlashLayoutPageCollisions, RunsAndFlag) {
    Project project;
    ScriptedMessenger& messages = project.messages;
    int n = 0;
    for (const PagePlace& p : GetParam().pages) {
        CLedDoc* page = project.AddPage("p" + std::to_string(n++), p.pages);
        ASSERT_NE(page, nullptr);
        project.SetStart(page, p.start);
    }
    FlashLayout layout(project.ws);
    const auto runs = layout.PageRuns();
    ASSERT_EQ(runs.size(), GetParam().collision.size());
    bool any = false;
    for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].start, GetParam().pages[i].start) << i;
        EXPECT_EQ(runs[i].count, GetParam().pages[i].pages) << i;
        EXPECT_EQ(runs[i].collision, GetParam().collision[i]) << "page " << i;
        any = any || GetParam().collision[i];
    }
    EXPECT_EQ(layout.AnyPageCollision(), any);

    // The map shows the same, where no later run is drawn over it.
    Surface dc(FlashMap::kSize, FlashMap::kSize);
    ASSERT_TRUE(layout.DrawPageMap(dc));
    const auto& pages = GetParam().pages;
    for (size_t i = 0; i < pages.size(); ++i) {
        for (int cell = std::max(pages[i].start, 0);
             cell < std::min(pages[i].start + pages[i].pages, 256); ++cell) {
            bool covered = false;
            for (size_t j = i + 1; j < pages.size(); ++j)
                covered =
                    covered || (cell >= pages[j].start && cell < pages[j].start + pages[j].pages);
            if (!covered) {
                EXPECT_EQ(CellColour(dc, cell), GetParam().collision[i] ? kRed : kGreen)
                    << "page " << i << " cell " << cell;
            }
        }
    }
    EXPECT_TRUE(messages.told.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FlashLayoutPageCollisions,
    testing::Values(
        PageCollisionRow{"ends_on_254_fits", {{250, 5}}, {false}},
        PageCollisionRow{"reaches_reserved_page", {{250, 6}}, {true}},
        PageCollisionRow{"single_page_on_254", {{254, 1}}, {false}},
        PageCollisionRow{"single_page_on_reserved", {{255, 1}}, {true}},
        PageCollisionRow{"adjacent_runs", {{0, 3}, {3, 2}}, {false, false}},
        PageCollisionRow{"earlier_page_wins", {{0, 3}, {2, 2}}, {false, true}},
        PageCollisionRow{"later_first_in_flash_still_loses", {{4, 2}, {3, 2}}, {false, true}},
        // The run of a losing page is still marked: the third meets it.
        PageCollisionRow{"loser_keeps_its_marks", {{0, 2}, {1, 3}, {3, 1}}, {false, true, true}},
        PageCollisionRow{"same_start", {{10, 1}, {10, 1}}, {false, true}},
        PageCollisionRow{"negative_start", {{-1, 1}}, {true}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FlashLayout, MovingTheLaterPageClearTurnsBothGreenAndClearsTheFlag) {
    Project project;
    CLedDoc* a = project.AddPage("a", 3, 0);
    CLedDoc* b = project.AddPage("b", 2, 1);
    FlashLayout layout(project.ws);
    Surface dc(FlashMap::kSize, FlashMap::kSize);
    ASSERT_TRUE(layout.DrawPageMap(dc));
    EXPECT_TRUE(layout.AnyPageCollision());
    EXPECT_EQ(CellColour(dc, 0), kGreen);
    EXPECT_EQ(CellColour(dc, 2), kRed);  // b's run is drawn over a's

    project.SetStart(b, 3);
    ASSERT_TRUE(layout.DrawPageMap(dc));
    EXPECT_FALSE(layout.AnyPageCollision());
    for (int p : {0, 1, 2, 3, 4})
        EXPECT_EQ(CellColour(dc, p), kGreen) << p;
    EXPECT_EQ(CellColour(dc, 5), kWhite);
    EXPECT_EQ(a->m_nStartPage, 0);
}

TEST(FlashLayout, PageMapDrawsTheReservedCellGreyAndARunAcrossRows) {
    Project project;
    project.AddPage("a", 4, 14);
    FlashLayout layout(project.ws);
    Surface dc(FlashMap::kSize, FlashMap::kSize);
    ASSERT_TRUE(layout.DrawPageMap(dc));
    EXPECT_EQ(CellColour(dc, 255), kGrey);
    for (int p : {14, 15, 16, 17})
        EXPECT_EQ(CellColour(dc, p), kGreen) << p;
    for (int p : {13, 18, 30, 31})
        EXPECT_EQ(CellColour(dc, p), kWhite) << p;
}

TEST(FlashLayout, AReservedPageRunIsDrawnRedOverTheGreyCell) {
    Project project;
    project.AddPage("a", 6, 250);
    FlashLayout layout(project.ws);
    Surface dc(FlashMap::kSize, FlashMap::kSize);
    ASSERT_TRUE(layout.DrawPageMap(dc));
    EXPECT_EQ(CellColour(dc, 250), kRed);
    EXPECT_EQ(CellColour(dc, 255), kRed);
}

TEST(FlashLayout, PickedPageIsHatchedBlue) {
    Project project;
    CLedDoc* a = project.AddPage("a", 2, 0);
    project.AddPage("b", 1, 2);
    a->m_bPicked = 1;
    FlashLayout layout(project.ws);
    Surface dc(FlashMap::kSize, FlashMap::kSize);
    ASSERT_TRUE(layout.DrawPageMap(dc));
    EXPECT_TRUE(CellHas(dc, 0, kBlue));
    EXPECT_TRUE(CellHas(dc, 0, kGreen));  // the hatch leaves the fill between its lines
    EXPECT_TRUE(CellHas(dc, 1, kBlue));
    EXPECT_FALSE(CellHas(dc, 2, kBlue));
    // The 2-pixel outline: the run's top edge is blue.
    EXPECT_EQ(dc.GetPixel(30, 20), kBlue);
}

TEST(FlashLayout, MapOnATooSmallSurfaceIsRefused) {
    Project project;
    ScriptedMessenger& messages = project.messages;
    project.AddPage("a", 1, 255);
    FlashLayout layout(project.ws);
    Surface small(FlashMap::kSize - 1, FlashMap::kSize);
    EXPECT_FALSE(layout.DrawPageMap(small));
    EXPECT_FALSE(layout.DrawBitmapMap(small));
    ASSERT_EQ(messages.told.size(), 2u);
    EXPECT_EQ(messages.told[0], "创建兼容位图失败，可能是内存不足");
    EXPECT_EQ(small.GetPixel(100, 100), Rgb(0, 0, 0));  // nothing drawn
}

TEST(FlashLayout, CloseBoxIsRefusedWhileAnAreaHasACollisionDrawnOrNot) {
    Project project;
    ScriptedMessenger& messages = project.messages;
    CLedDoc* a = project.AddPage("a", 1, 0);
    project.AddPage("b", 1, 0);
    CLedDoc* c = project.AddPage("c", 1, 5);
    project.AddBitmap(c, 0, 0, 2, 2, kRed, 32, 16, 0, 0);
    project.AddBitmap(c, 0, 0, 2, 2, kRed, 32, 16, 0, 0);
    FlashLayout layout(project.ws);
    EXPECT_FALSE(layout.CanClose());
    project.SetStart(a, 1);
    EXPECT_FALSE(layout.CanClose());
    ASSERT_EQ(messages.told.size(), 2u);
    EXPECT_EQ(messages.told[0], "页面区有地址重叠或越界，请重新设置");
    EXPECT_EQ(messages.told[1], "局部位图区有地址重叠或越界，请重新设置");
    EXPECT_EQ(messages.captions[1], "提示");
}

// ---- bitmap collisions ----------------------------------------------------------------

struct BitmapPlace {
    int block;
    int start;
    int pages;
    bool owned = true;
};
struct BitmapCollisionRow {
    const char* name;
    std::vector<BitmapPlace> bitmaps;  // in list order
    std::vector<bool> collision;       // of the placed ones, in list order
};

void PrintTo(const BitmapCollisionRow& row, std::ostream* os) {
    *os << row.name;
}

class FlashLayoutBitmapCollisions : public testing::TestWithParam<BitmapCollisionRow> {};

TEST_P(FlashLayoutBitmapCollisions, RunsAndFlag) {
    Project project;
    CLedDoc* page = project.AddPage("a", 1, 0);
    for (const BitmapPlace& b : GetParam().bitmaps) {
        // Board 0, 256 colours: 512 pixels a flash page.
        CItemBmp* item =
            project.AddBitmap(page, 0, 0, 2, 2, kRed, 32, 16 * b.pages, b.block, b.start);
        if (!b.owned) {
            auto& items = page->CurrentItems();
            std::erase_if(items, [&](const auto& i) { return i.get() == item; });
        }
    }
    FlashLayout layout(project.ws);
    const auto runs = layout.BitmapRuns(-1);
    ASSERT_EQ(runs.size(), GetParam().collision.size());
    bool any = false;
    for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].collision, GetParam().collision[i]) << "bitmap " << i;
        any = any || GetParam().collision[i];
    }
    EXPECT_EQ(layout.AnyBitmapCollision(), any);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FlashLayoutBitmapCollisions,
    testing::Values(
        BitmapCollisionRow{"full_block_fits", {{0, 0, 256}}, {false}},
        BitmapCollisionRow{"full_block_from_page_1", {{0, 1, 256}}, {true}},
        BitmapCollisionRow{"ends_on_255_fits", {{0, 250, 6}}, {false}},
        BitmapCollisionRow{"adjacent", {{0, 0, 3}, {0, 3, 1}}, {false, false}},
        BitmapCollisionRow{"earlier_bitmap_wins", {{0, 0, 3}, {0, 2, 1}}, {false, true}},
        BitmapCollisionRow{
            "other_blocks_never_collide", {{0, 0, 3}, {1, 0, 3}, {2, 1, 3}}, {false, false, false}},
        BitmapCollisionRow{"unowned_is_not_placed", {{0, 0, 3, false}, {0, 0, 3}}, {false}},
        BitmapCollisionRow{"block_outside_the_area", {{64, 0, 1}}, {true}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FlashLayout, BitmapMapShowsTheShownBlockAndCollisionsNeedNoDrawing) {
    Project project;
    CLedDoc* page = project.AddPage("a", 1, 0);
    project.AddBitmap(page, 0, 0, 2, 2, kRed, 32, 16, 0, 0);
    project.AddBitmap(page, 0, 0, 2, 2, kRed, 32, 32, 1, 0);
    project.AddBitmap(page, 0, 0, 2, 2, kRed, 32, 16, 1, 1);
    FlashLayout layout(project.ws);
    EXPECT_TRUE(layout.AnyBitmapCollision());
    layout.OpenBitmapTab();
    EXPECT_EQ(layout.ShownBlock(), 0);
    Surface dc(FlashMap::kSize, FlashMap::kSize);
    ASSERT_TRUE(layout.DrawBitmapMap(dc));
    EXPECT_EQ(CellColour(dc, 0), kGreen);
    EXPECT_EQ(CellColour(dc, 1), kWhite);
    ASSERT_TRUE(layout.ChooseBitmapBlock(1));
    ASSERT_TRUE(layout.DrawBitmapMap(dc));
    EXPECT_EQ(CellColour(dc, 0), kGreen);
    EXPECT_EQ(CellColour(dc, 1), kRed);
}

TEST(FlashLayout, BitmapTabOpensOnTheFirstBitmapsBlock) {
    Project project;
    FlashLayout empty(project.ws);
    empty.OpenBitmapTab();
    EXPECT_EQ(empty.ShownBlock(), 0);
    CLedDoc* page = project.AddPage("a", 1, 0);
    project.AddBitmap(page, 0, 0, 2, 2, kRed, 32, 16, 7, 0);
    project.AddBitmap(page, 0, 0, 2, 2, kRed, 32, 16, 3, 0);
    FlashLayout layout(project.ws);
    layout.OpenBitmapTab();
    EXPECT_EQ(layout.ShownBlock(), 7);
}

// ---- picking and moving pages ---------------------------------------------------------

TEST(FlashLayout, PressPicksThePagesUnderTheCell) {
    Project project;
    CLedDoc* a = project.AddPage("a", 3, 0);
    CLedDoc* b = project.AddPage("b", 2, 2);  // overlaps a on page 2
    CLedDoc* c = project.AddPage("c", 1, 20);
    FlashLayout layout(project.ws);
    const Point on2 = Centre(2);
    ASSERT_TRUE(layout.PressPageMap(on2.x, on2.y));
    EXPECT_EQ(a->m_bPicked, 1);
    EXPECT_EQ(b->m_bPicked, 1);
    EXPECT_EQ(c->m_bPicked, 0);
    EXPECT_EQ(layout.PickedPage(), b);  // the fields show the last one

    const Point on20 = Centre(20);
    ASSERT_TRUE(layout.PressPageMap(on20.x, on20.y));
    EXPECT_EQ(a->m_bPicked + b->m_bPicked, 0);
    EXPECT_EQ(layout.PickedPage(), c);

    const Point empty = Centre(100);
    ASSERT_TRUE(layout.PressPageMap(empty.x, empty.y));
    EXPECT_EQ(layout.PickedPage(), nullptr);

    c->m_bPicked = 1;
    EXPECT_FALSE(layout.PressPageMap(5, 5));  // the label margin is not the map
    EXPECT_EQ(layout.PickedPage(), c);
}

TEST(FlashLayout, DraggingMovesThePickedPageAndItsEntry) {
    Project project;
    CLedDoc* a = project.AddPage("a", 2, 0);
    a->m_bModified = false;
    FlashLayout layout(project.ws);
    const Point from = Centre(1), to = Centre(37);
    ASSERT_TRUE(layout.PressPageMap(from.x, from.y));
    EXPECT_TRUE(layout.DragPageMap(to.x, to.y));
    EXPECT_EQ(a->m_nStartPage, 37);
    EXPECT_TRUE(a->m_bModified);
    const CDocObj& e = project.ws.GetProject().entries.at(0);
    EXPECT_EQ(e.m_nStartPage, 37);
    EXPECT_EQ(e.m_nPageCount, 2);

    // Off the grid the page stays; after the release nothing follows the mouse.
    EXPECT_FALSE(layout.DragPageMap(345, 100));
    EXPECT_EQ(a->m_nStartPage, 37);
    layout.ReleasePageMap();
    const Point later = Centre(50);
    EXPECT_FALSE(layout.DragPageMap(later.x, later.y));
    EXPECT_EQ(a->m_nStartPage, 37);
}

TEST(FlashLayout, DraggingFindsTheEntryNamedTitlePlusPg) {
    Project project;
    CLedDoc* a = project.AddPage("a", 1, 0);
    a->m_strTitle = "a";  // the entry is "a.pg"
    FlashLayout layout(project.ws);
    const Point from = Centre(0), to = Centre(9);
    layout.PressPageMap(from.x, from.y);
    layout.DragPageMap(to.x, to.y);
    EXPECT_EQ(project.ws.GetProject().entries.at(0).m_nStartPage, 9);
}

TEST(FlashLayout, DraggingWithoutAPickedPageMovesNothing) {
    Project project;
    CLedDoc* a = project.AddPage("a", 1, 0);
    FlashLayout layout(project.ws);
    const Point empty = Centre(100), to = Centre(3);
    layout.PressPageMap(empty.x, empty.y);
    EXPECT_FALSE(layout.DragPageMap(to.x, to.y));
    EXPECT_EQ(a->m_nStartPage, 0);
}

TEST(FlashLayout, SelectingATitleMakesItTheOnlyPickedPage) {
    Project project;
    CLedDoc* a = project.AddPage("a", 1, 0);
    CLedDoc* b = project.AddPage("b", 1, 1);
    a->m_bPicked = 1;
    FlashLayout layout(project.ws);
    EXPECT_EQ(layout.SelectTitle("b.pg"), b);
    EXPECT_EQ(a->m_bPicked, 0);
    EXPECT_EQ(b->m_bPicked, 1);
    EXPECT_EQ(layout.SelectTitle("zz.pg"), nullptr);
    EXPECT_EQ(b->m_bPicked, 1);
}

// ---- page order and display modes -----------------------------------------------------

TEST(FlashLayout, PageOrderStartsInDocumentOrder) {
    Project project;
    project.AddPage("one");
    project.AddPage("two");
    project.AddPage("three");
    FlashLayout layout(project.ws);
    EXPECT_EQ(layout.PageOrder(), (std::vector<std::string>{"one.pg", "two.pg", "three.pg"}));
}

struct Link {
    std::string title;
    int number;
};
struct DisplayRow {
    const char* name;
    FlashLayout::DisplayMode mode;
    std::vector<Link> next;  // of the order c, a, b
    bool pickerEnabled;
};

void PrintTo(const DisplayRow& row, std::ostream* os) {
    *os << row.name;
}

class FlashLayoutDisplayModes : public testing::TestWithParam<DisplayRow> {};

TEST_P(FlashLayoutDisplayModes, LinksFollowThePageOrder) {
    Project project;
    CLedDoc* a = project.AddPage("a", 1, 10);
    CLedDoc* b = project.AddPage("b", 1, 20);
    CLedDoc* c = project.AddPage("c", 1, 30);
    // Links before: every page points at a, so that "unchanged" is visible.
    for (CLedDoc* p : {a, b, c})
        p->m_strNextPage = "a.pg", p->m_byNextPage = 10;
    FlashLayout layout(project.ws);
    layout.SetPageOrder({"c.pg", "a.pg", "b.pg"});
    layout.SetDisplayMode(GetParam().mode);
    EXPECT_EQ(layout.NextPagePickerEnabled(), GetParam().pickerEnabled);
    const CLedDoc* inOrder[] = {c, a, b};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(inOrder[i]->m_strNextPage, GetParam().next[i].title) << i;
        EXPECT_EQ(inOrder[i]->m_byNextPage, GetParam().next[i].number) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, FlashLayoutDisplayModes,
                         testing::Values(DisplayRow{"cyclic",
                                                    FlashLayout::DisplayCyclic,
                                                    {{"a.pg", 10}, {"b.pg", 20}, {"c.pg", 30}},
                                                    false},
                                         DisplayRow{"sequential",
                                                    FlashLayout::DisplaySequential,
                                                    {{"a.pg", 10}, {"b.pg", 20}, {"无", 255}},
                                                    false},
                                         DisplayRow{"independent",
                                                    FlashLayout::DisplayIndependent,
                                                    {{"无", 255}, {"无", 255}, {"无", 255}},
                                                    false},
                                         DisplayRow{"manual",
                                                    FlashLayout::DisplayManual,
                                                    {{"a.pg", 10}, {"a.pg", 10}, {"a.pg", 10}},
                                                    true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FlashLayout, CyclicWithOnePageLinksThePageToItself) {
    Project project;
    CLedDoc* a = project.AddPage("a", 1, 42);
    FlashLayout layout(project.ws);
    layout.SetDisplayMode(FlashLayout::DisplayCyclic);
    EXPECT_EQ(a->m_strNextPage, "a.pg");
    EXPECT_EQ(a->m_byNextPage, 42);
}

TEST(FlashLayout, NextPageNumbersAreTakenWhenTheModeIsChosen) {
    Project project;
    CLedDoc* a = project.AddPage("a", 1, 0);
    CLedDoc* b = project.AddPage("b", 1, 5);
    FlashLayout layout(project.ws);
    layout.SetDisplayMode(FlashLayout::DisplaySequential);
    EXPECT_EQ(a->m_byNextPage, 5);
    project.SetStart(b, 9);
    EXPECT_EQ(a->m_byNextPage, 5);
}

TEST(FlashLayout, ManualNextPageChoice) {
    Project project;
    ScriptedMessenger& messages = project.messages;
    CLedDoc* a = project.AddPage("a", 1, 0);
    project.AddPage("b", 1, 7);
    FlashLayout layout(project.ws);
    EXPECT_EQ(layout.NextPageChoices(), (std::vector<std::string>{"a.pg", "b.pg", "无"}));
    // Outside manual mode the picker is disabled.
    EXPECT_FALSE(layout.ChooseNextPage("a.pg", "b.pg"));
    layout.SetDisplayMode(FlashLayout::DisplayManual);
    EXPECT_TRUE(layout.ChooseNextPage("a.pg", "b.pg"));
    EXPECT_EQ(a->m_strNextPage, "b.pg");
    EXPECT_EQ(a->m_byNextPage, 7);
    EXPECT_TRUE(layout.ChooseNextPage("a.pg", "无"));
    EXPECT_EQ(a->m_strNextPage, "无");
    EXPECT_EQ(a->m_byNextPage, 255);
    EXPECT_TRUE(messages.told.empty());
    EXPECT_FALSE(layout.ChooseNextPage("", "b.pg"));
    EXPECT_EQ(messages.told, std::vector<std::string>{"请选择你要修改的页面"});
    EXPECT_EQ(messages.captions[0], "提示");
}

// ---- the bitmap tab -------------------------------------------------------------------

class FlashLayoutBitmapTab : public testing::Test {
protected:
    void SetUp() override {
        page = project.AddPage("a", 1, 0);
        other = project.AddPage("b", 1, 1);
        // Block 2: a 3-page bitmap from page 4 and a 1-page one on page 20 of page b.
        project.AddBitmap(page, 10, 20, 2, 2, kRed, 32, 48, 2, 4);
        project.AddBitmap(other, 0, 0, 2, 2, kRed, 32, 16, 2, 20);
        page->m_bModified = other->m_bModified = false;
        layout = std::make_unique<FlashLayout>(project.ws);
        layout->OpenBitmapTab();
    }
    CBmpObj& Bmp(int i) { return *project.ws.Bitmaps().At(i); }

    Project project;
    ScriptedMessenger& messages = project.messages;
    CLedDoc* page = nullptr;
    CLedDoc* other = nullptr;
    std::unique_ptr<FlashLayout> layout;
};

TEST_F(FlashLayoutBitmapTab, PressHighlightsAndSelectsTheBitmapUnderThePointer) {
    const Point on5 = Centre(5);
    EXPECT_TRUE(layout->PressBitmapMap(on5.x, on5.y));
    EXPECT_EQ(layout->SelectedBitmap(), 0);
    EXPECT_TRUE(layout->IsHighlighted(Bmp(0)));
    EXPECT_FALSE(layout->PressBitmapMap(on5.x, on5.y));  // no change, no redraw

    Surface dc(FlashMap::kSize, FlashMap::kSize);
    layout->DrawBitmapMap(dc);
    EXPECT_TRUE(CellHas(dc, 4, kBlue));
    EXPECT_FALSE(CellHas(dc, 20, kBlue));

    const Point empty = Centre(100);
    EXPECT_TRUE(layout->PressBitmapMap(empty.x, empty.y));
    EXPECT_EQ(layout->SelectedBitmap(), -1);
}

TEST_F(FlashLayoutBitmapTab, DragMovesTheHighlightedBitmapWithinItsBlock) {
    const Point on20 = Centre(20), to = Centre(40);
    layout->PressBitmapMap(on20.x, on20.y);
    ASSERT_EQ(layout->SelectedBitmap(), 1);
    EXPECT_TRUE(layout->DragBitmapMap(to.x, to.y));
    EXPECT_EQ(Bmp(1).m_nStartPage, 40);
    EXPECT_EQ(Bmp(1).m_nBlock, 2);
    EXPECT_TRUE(other->m_bModified);
    EXPECT_FALSE(page->m_bModified);
    EXPECT_FALSE(layout->DragBitmapMap(-5, 100));
    EXPECT_EQ(Bmp(1).m_nStartPage, 40);
    layout->ReleaseBitmapMap();
    EXPECT_FALSE(layout->DragBitmapMap(on20.x, on20.y));
}

TEST_F(FlashLayoutBitmapTab, ChoosingADeletedBitmapIsRefused) {
    project.AddBitmap(page, 0, 0, 2, 2, kRed, 32, 16, 9, 0);
    const auto undoCopy = page->CurrentItems().back()->Clone();
    page->CurrentItems().pop_back();  // the item goes; its undo copy keeps the bitmap listed
    ASSERT_EQ(project.ws.Bitmaps().Bitmaps().size(), 3u);
    EXPECT_FALSE(layout->ChooseBitmapName(2));
    EXPECT_EQ(messages.told, std::vector<std::string>{"该位图已经被删除"});
    EXPECT_EQ(layout->ShownBlock(), 2);
    EXPECT_EQ(layout->SelectedBitmap(), -1);
    FlashLayout::BitmapFields f;
    EXPECT_FALSE(layout->GetBitmapFields(2, f));
}

TEST_F(FlashLayoutBitmapTab, ChoosingANameShowsItsBlockAndFields) {
    ASSERT_TRUE(layout->ChooseBitmapBlock(0));
    ASSERT_TRUE(layout->ChooseBitmapName(1));
    EXPECT_EQ(layout->ShownBlock(), 2);
    EXPECT_EQ(layout->SelectedBitmap(), 1);
    FlashLayout::BitmapFields f;
    ASSERT_TRUE(layout->GetBitmapFields(0, f));
    EXPECT_EQ(f.block, 2);
    EXPECT_EQ(f.start, 4);
    EXPECT_EQ(f.pageCount, 3);
    EXPECT_EQ(f.size, "32 * 48");
    EXPECT_EQ(f.owner, "a.pg");
}

TEST_F(FlashLayoutBitmapTab, BlockPickerWithoutSelectionShowsTheBlock) {
    EXPECT_TRUE(layout->ChooseBitmapBlock(12));
    EXPECT_EQ(layout->ShownBlock(), 12);
    EXPECT_TRUE(messages.asked.empty());
    EXPECT_FALSE(layout->ChooseBitmapBlock(64));
    EXPECT_EQ(layout->ShownBlock(), 12);
}

TEST_F(FlashLayoutBitmapTab, BlockPickerAsksBeforeMovingTheSelectedBitmap) {
    ASSERT_TRUE(layout->ChooseBitmapName(0));
    const std::string name = Bmp(0).m_strPath;
    messages.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(layout->ChooseBitmapBlock(5));
    EXPECT_EQ(Bmp(0).m_nBlock, 2);
    EXPECT_FALSE(page->m_bModified);
    EXPECT_TRUE(layout->ChooseBitmapBlock(5));
    EXPECT_EQ(Bmp(0).m_nBlock, 5);
    EXPECT_EQ(Bmp(0).m_nStartPage, 4);
    EXPECT_EQ(layout->ShownBlock(), 5);
    EXPECT_TRUE(page->m_bModified);
    EXPECT_EQ(messages.asked, std::vector<std::string>(2, "确认要修改" + name + "的起始块吗"));
    EXPECT_EQ(messages.captions[0], "提示");
}

TEST_F(FlashLayoutBitmapTab, StartPickerAsksBeforeMovingTheSelectedBitmap) {
    EXPECT_FALSE(layout->ChooseBitmapStart(9));  // nothing selected: the picker is cleared
    EXPECT_TRUE(messages.asked.empty());
    ASSERT_TRUE(layout->ChooseBitmapName(1));
    const std::string name = Bmp(1).m_strPath;
    messages.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(layout->ChooseBitmapStart(9));
    EXPECT_EQ(Bmp(1).m_nStartPage, 20);
    EXPECT_TRUE(layout->ChooseBitmapStart(9));
    EXPECT_EQ(Bmp(1).m_nStartPage, 9);
    EXPECT_TRUE(other->m_bModified);
    EXPECT_EQ(messages.asked, std::vector<std::string>(2, "确认要修改" + name + "的起始页吗"));
}

}  // namespace
