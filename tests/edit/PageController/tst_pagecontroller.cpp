// The canvas rules, from plain events: what each tool creates, which item a press
// selects, when undo steps are taken, point lists, keys and the bitmap size check.

#include <gtest/gtest.h>

#include "base/StringFormat.h"
#include "edit/ItemClipboard.h"
#include "edit/PageController.h"
#include "items/CItemBmp.h"
#include "items/CItemPointList.h"
#include "project/FlashLayout/FlashFixture.h"

using flashfixture::Project;

namespace {

constexpr COLORREF kRed = Rgb(255, 0, 0);

class Canvas : public testing::Test {
protected:
    void SetUp() override { page = project.AddPage("a"); }
    PageController& C() {
        if (!canvas)
            canvas = std::make_unique<PageController>(*page, project.ws.Bitmaps(), dialogs);
        return *canvas;
    }
    void Drag(int tool, Point from, Point to) {
        C().SetTool(tool);
        C().MouseDown(MouseEvent{from, kLeftButton});
        C().MouseMove(MouseEvent{to, kLeftButton});
        C().MouseUp(MouseEvent{to});
    }
    void Click(Point p) {
        C().MouseDown(MouseEvent{p, kLeftButton});
        C().MouseUp(MouseEvent{p});
    }
    ItemList& Items() { return page->CurrentItems(); }
    std::string Picture(int w, int h) {
        const std::string path = project.File("p" + std::to_string(w) + ".bmp");
        flashfixture::WriteSolidBmp(path, w, h, kRed);
        return path;
    }

    Project project;
    CLedDoc* page = nullptr;
    std::string picture;
    bool fillConfirmed = true;
    PageController::Dialogs dialogs{[this](FillChoice& c) {
                                        c = FillChoice{kRed, kRed, 0, 1, 0, 2};
                                        return fillConfirmed;
                                    },
                                    [this](std::string& p) {
                                        p = picture;
                                        return !p.empty();
                                    }};
    std::unique_ptr<PageController> canvas;
};

struct ToolRow {
    const char* name;
    int tool;
    const char* cls;
    bool createsNext;  // after the drag
};

void PrintTo(const ToolRow& row, std::ostream* os) {
    *os << row.name;
}

class CanvasTools : public Canvas, public testing::WithParamInterface<ToolRow> {};

TEST_P(CanvasTools, APressCreatesTheToolsItemWithThePagesColour) {
    const ToolRow& r = GetParam();
    picture = Picture(8, 4);
    page->m_crDraw = Rgb(0, 255, 0), page->m_crBack = Rgb(0, 0, 9);
    page->m_drawCodeHi = 3, page->m_drawCodeLo = 12;
    Drag(r.tool, {10, 10}, {50, 40});
    ASSERT_EQ(Items().size(), 1u);
    const CItemBase& item = *Items()[0];
    EXPECT_STREQ(item.ClassName(), r.cls);
    EXPECT_EQ(page->m_nSel, 0);
    EXPECT_EQ(page->m_nSelType, r.tool);
    EXPECT_EQ(C().CreatesNext(), r.createsNext);
    EXPECT_TRUE(page->m_bModified);
    EXPECT_EQ(page->UndoCount(), 1);
    if (r.tool == 17) return;  // the fill takes its dialog's colours
    EXPECT_EQ(item.ColourByte(), 0x3C);
    if (r.tool == 16) return;  // a picture has its own
    EXPECT_EQ(item.m_crColor, Rgb(0, 255, 0));
    if (r.tool == 3 || r.tool == 70) {
        EXPECT_EQ(item.m_crFill, Rgb(0, 0, 9));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, CanvasTools,
                         testing::Values(ToolRow{"Line", 11, "CItemLine", true},
                                         ToolRow{"SolidRectangle", 2, "CItemRectangle", true},
                                         ToolRow{"HollowRectangle", 3, "CItemRectangle", true},
                                         ToolRow{"Button", 70, "CItemRectangle", true},
                                         ToolRow{"InputBox", 80, "CItemRectangle", true},
                                         ToolRow{"SolidEllipse", 4, "CItemEllipse", true},
                                         ToolRow{"HollowEllipse", 5, "CItemEllipse", true},
                                         ToolRow{"SolidCircle", 14, "CItemRound", true},
                                         ToolRow{"HollowCircle", 104, "CItemRound", true},
                                         ToolRow{"PieTakesMoreClicks", 30, "CItemPie", false},
                                         ToolRow{"ArcTakesMoreClicks", 40, "CItemArc", false},
                                         ToolRow{"PolylineTakesMorePoints", 18, "CItemPoly", false},
                                         ToolRow{"PolygonTakesMorePoints", 50, "CItemMultiLine",
                                                 false},
                                         ToolRow{"Text", 15, "CItemFont", true},
                                         ToolRow{"Number", 12, "CItemNumberWidget", true},
                                         ToolRow{"Animation", 13, "CitemAnimationWidget", true},
                                         ToolRow{"Bitmap", 16, "CItemBmp", true},
                                         ToolRow{"Fill", 17, "CItemFill", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Canvas, ACancelledDialogOrAClickWithoutDragCreatesNothing) {
    Drag(16, {10, 10}, {20, 20});  // no picture chosen
    fillConfirmed = false;
    Drag(17, {10, 10}, {20, 20});
    EXPECT_EQ(page->m_nSel, -1);
    Drag(11, {30, 30}, {30, 30});  // the line reports a point and is removed
    EXPECT_TRUE(Items().empty());
    EXPECT_TRUE(C().CreatesNext()) << "the next press creates again";
}

struct SelectRow {
    const char* name;
    std::vector<Rect> boxes;  // rectangles in list order
    Point press;
    int selected;
    std::vector<int> marked;  // m_bSelected of each afterwards
};

void PrintTo(const SelectRow& row, std::ostream* os) {
    *os << row.name;
}

class CanvasSelect : public Canvas, public testing::WithParamInterface<SelectRow> {};

TEST_P(CanvasSelect, TopmostWinsAndAHandleBeatsABody) {
    const SelectRow& r = GetParam();
    for (const Rect& b : r.boxes)
        Drag(3, {b.left, b.top}, {b.right, b.bottom});
    C().SetTool(PageController::kSelectTool);
    const EditResult result = C().MouseDown(MouseEvent{r.press, kLeftButton});
    EXPECT_EQ(page->m_nSel, r.selected);
    std::vector<int> marked;
    for (const auto& item : Items())
        marked.push_back(item->m_bSelected);
    EXPECT_EQ(marked, r.marked);
    EXPECT_EQ(result.panel, r.selected < 0 ? PropertyPanel::Page : PropertyPanel::TwoPoint);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CanvasSelect,
    testing::Values(
        // Of overlapping items only the topmost is selected.
        SelectRow{"TopmostBody", {{10, 10, 100, 100}, {20, 20, 90, 90}}, {50, 40}, 1, {0, 1}},
        // The press lies on the first box's corner handle and inside the second's body.
        SelectRow{"HandleUnderABody", {{30, 30, 60, 60}, {10, 10, 100, 100}}, {60, 60}, 0, {1, 0}},
        SelectRow{"Nothing", {{10, 10, 20, 20}}, {200, 200}, -1, {0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Canvas, ADragIsOneUndoStepTakenAtItsFirstMove) {
    Drag(2, {10, 10}, {30, 30});
    C().SetTool(PageController::kSelectTool);
    const int32_t before = page->UndoCount();
    C().MouseDown(MouseEvent{{20, 14}, kLeftButton});  // the body
    EXPECT_EQ(page->UndoCount(), before) << "a press alone changes nothing";
    for (int x : {21, 25, 30})
        C().MouseMove(MouseEvent{{x, 14}, kLeftButton});
    C().MouseUp(MouseEvent{{30, 14}});
    C().MouseMove(MouseEvent{{40, 40}});  // hovering after the release
    EXPECT_EQ(page->UndoCount(), before + 1);
    EXPECT_EQ(Items()[0]->m_x1, 20);
    C().Undo();
    EXPECT_EQ(Items()[0]->m_x1, 10);
}

TEST_F(Canvas, APolylineTakesPointsUntilTheRightButton) {
    C().SetTool(18);
    for (Point p : {Point{10, 10}, Point{40, 10}, Point{40, 40}}) {
        C().MouseMove(MouseEvent{p});
        Click(p);
    }
    auto* poly = dynamic_cast<CItemPointList*>(Items().at(0).get());
    ASSERT_NE(poly, nullptr);
    EXPECT_TRUE(poly->m_bTracking);
    EXPECT_FALSE(C().CreatesNext());
    C().RightDown(MouseEvent{{40, 40}, kRightButton});
    EXPECT_FALSE(poly->m_bTracking);
    EXPECT_EQ(poly->m_arrPoints.size(), 3u);
    EXPECT_TRUE(C().CreatesNext());
    // A polygon of two points is too few: the right button drops it.
    C().SetTool(50);
    Click({100, 100});
    Click({120, 100});
    C().RightDown(MouseEvent{{120, 100}, kRightButton});
    EXPECT_EQ(Items().size(), 1u);
    EXPECT_EQ(page->m_nSel, -1);
}

struct ArrowRow {
    const char* name;
    EditKey key;
    unsigned modifiers;
    int dx, dy;
};

void PrintTo(const ArrowRow& row, std::ostream* os) {
    *os << row.name;
}

class CanvasArrows : public Canvas, public testing::WithParamInterface<ArrowRow> {};

TEST_P(CanvasArrows, MoveTheSelectionAndARunIsOneUndoStep) {
    const ArrowRow& r = GetParam();
    Drag(11, {10, 20}, {30, 40});
    const int32_t before = page->UndoCount();
    for (int i = 0; i < 3; ++i)
        C().KeyDown(KeyEvent{r.key, r.modifiers});
    const CItemBase& line = *Items()[0];
    EXPECT_EQ((Rect{line.m_x1, line.m_y1, line.m_x2, line.m_y2}),
              (Rect{10 + 3 * r.dx, 20 + 3 * r.dy, 30 + 3 * r.dx, 40 + 3 * r.dy}));
    EXPECT_EQ(page->UndoCount(), before + 1);
    C().Undo();
    EXPECT_EQ(Items()[0]->m_x1, 10);
    EXPECT_EQ(Items()[0]->m_y1, 20);
}

INSTANTIATE_TEST_SUITE_P(Rows, CanvasArrows,
                         testing::Values(ArrowRow{"Left", EditKey::Left, 0, -1, 0},
                                         ArrowRow{"Right", EditKey::Right, 0, 1, 0},
                                         ArrowRow{"Up", EditKey::Up, 0, 0, -1},
                                         ArrowRow{"ShiftDown", EditKey::Down, kShiftKey, 0, 8}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Canvas, TypedBytesGoToTheTextAndArrowsMoveItsCaret) {
    Drag(15, {10, 10}, {200, 40});
    for (uint8_t b : {'A', 'B', 'C'})
        C().Char(b);
    auto& text = dynamic_cast<CItemFont&>(*Items()[0]);
    ASSERT_EQ(text.m_arrChars.size(), 3u);
    C().KeyDown(KeyEvent{EditKey::Left});
    C().KeyDown(KeyEvent{EditKey::Left});
    EXPECT_EQ(text.m_nCaret, 1);
    EXPECT_EQ(text.m_x1, 10) << "the box stays while it is typed into";
    C().KeyDown(KeyEvent{EditKey::Delete});
    EXPECT_EQ(text.m_arrChars.size(), 3u) << "no highlighted characters: nothing goes";
    EXPECT_FALSE(C().KeyDown(KeyEvent{EditKey::Other}).handled);
}

struct SizeRow {
    const char* name;
    int colours, logWidth, logHeight;
    Point corner;  // where the picture's bottom-right handle is dragged
    int limit;     // told, 0: nothing told
};

void PrintTo(const SizeRow& row, std::ostream* os) {
    *os << row.name;
}

class CanvasBitmapSize : public Canvas, public testing::WithParamInterface<SizeRow> {};

TEST_P(CanvasBitmapSize, ABitmapResizedOverTheLimitIsToldAndKept) {
    const SizeRow& r = GetParam();
    page->SetScreenParams(ScreenParams{"L", r.colours, 1, 1, r.logWidth, r.logHeight});
    picture = Picture(8, 8);
    Drag(16, {0, 0}, {0, 0});
    Drag(PageController::kSelectTool, {8, 8}, r.corner);
    EXPECT_EQ(Items().size(), 1u);
    std::vector<std::string> told;
    if (r.limit)
        told.push_back(
            StringFormat("单个局部位图的 宽度*高度<=%d,\r\n\r\n请用全屏位图或者缩小位图", r.limit));
    EXPECT_EQ(project.messages.told, told);
    EXPECT_EQ(project.messages.captions, std::vector<std::string>(told.size(), "位图大小越限"));
}

INSTANTIATE_TEST_SUITE_P(Rows, CanvasBitmapSize,
                         testing::Values(SizeRow{"Eight800x600Below", 8, 800, 600, {513, 254}, 0},
                                         SizeRow{
                                             "SixtyFourAbove", 64, 800, 600, {513, 511}, 131072},
                                         // The handle stops at the screen's edge.
                                         SizeRow{"Eight320x234Edge", 8, 320, 234, {513, 512}, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Canvas, TheBitmapsMenuReplacesItsPicture) {
    picture = Picture(8, 4);
    Drag(16, {10, 10}, {10, 10});
    const CBmpObj* bitmap = dynamic_cast<CItemBmp&>(*Items()[0]).Bitmap();
    EXPECT_EQ(C().RightDown(MouseEvent{{12, 12}, kRightButton}).menu, CItemBmp::kReplaceCommand);
    picture = Picture(16, 16);
    C().ReplacePicture();
    EXPECT_EQ(bitmap->GetWidth(), 16);
    EXPECT_EQ(Items()[0]->m_x2, 18) << "the box stays";
}

// "x1,y1,x2,y2" of every item's screen box.
std::string Boxes(const ItemList& items) {
    std::string out;
    for (const auto& item : items) {
        const Rect b = item->Bounds();
        out +=
            StringFormat("%s%d,%d,%d,%d", out.empty() ? "" : " ", b.left, b.top, b.right, b.bottom);
    }
    return out;
}

std::string Marks(const ItemList& items) {
    std::string out;
    for (const auto& item : items)
        out += item->m_bSelected ? '1' : '0';
    return out;
}

// Several items: Ctrl-clicks, rubber bands, a drag of the selection (one undo step), the
// grid and the screen's edges. Each row starts from hollow rectangles at (10,10)-(30,30)
// and (50,50)-(70,70) on a 320 x 240 page, none selected, with the selection tool.
struct GestureRow {
    const char* name;
    int grid;  // snapping grid, 0: none
    std::vector<std::tuple<char, Point, Point>>
        gestures;  // 'c' ctrl-click, 'd' drag, 'k' right arrow
    const char* boxes;
    const char* marks;
    int undoSteps;  // taken by the gestures
};

void PrintTo(const GestureRow& row, std::ostream* os) {
    *os << row.name;
}

class CanvasGestures : public Canvas, public testing::WithParamInterface<GestureRow> {};

TEST_P(CanvasGestures, SelectMoveAndKeepOnScreen) {
    const GestureRow& r = GetParam();
    Drag(3, {10, 10}, {30, 30});
    Drag(3, {50, 50}, {70, 70});
    C().SetTool(PageController::kSelectTool);
    C().SetGrid(r.grid, r.grid > 0);
    Click({200, 200});  // nothing selected
    const int before = page->UndoCount();
    for (const auto& [kind, from, to] : r.gestures) {
        if (kind == 'c') {
            C().MouseDown(MouseEvent{from, kLeftButton, kControlKey});
            C().MouseUp(MouseEvent{from});
        } else if (kind == 'k') {
            C().KeyDown(KeyEvent{EditKey::Right, kShiftKey});
        } else {
            C().MouseDown(MouseEvent{from, kLeftButton});
            C().MouseMove(MouseEvent{to, kLeftButton});
            C().MouseUp(MouseEvent{to});
        }
    }
    EXPECT_EQ(Boxes(Items()), r.boxes);
    EXPECT_EQ(Marks(Items()), r.marks);
    EXPECT_EQ(page->UndoCount() - before, r.undoSteps);
    EXPECT_FALSE(C().RubberBand());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, CanvasGestures, testing::Values(
    GestureRow{"CtrlAddsAndRemoves", 0, {{'c', {12, 12}, {}}, {'c', {60, 60}, {}}, {'c', {12, 12}, {}}},
               "10,10,30,30 50,50,70,70", "01", 0},
    GestureRow{"BandSelectsWhatLiesInside", 0, {{'d', {5, 5}, {40, 40}}},
               "10,10,30,30 50,50,70,70", "10", 0},
    GestureRow{"DragMovesTheWholeSelection", 0, {{'d', {5, 5}, {80, 80}}, {'d', {20, 20}, {25, 30}}},
               "15,20,35,40 55,60,75,80", "11", 1},
    GestureRow{"DragLandsOnTheGrid", 10, {{'d', {20, 20}, {24, 27}}},
               "10,20,30,40 50,50,70,70", "10", 1},
    GestureRow{"DragStopsAtTheEdge", 0, {{'d', {60, 60}, {400, 60}}},
               "10,10,30,30 300,50,320,70", "01", 1},
    GestureRow{"HandleStopsAtTheEdge", 0, {{'c', {60, 60}, {}}, {'d', {70, 70}, {500, 300}}},
               "10,10,30,30 50,50,320,240", "01", 1},
    GestureRow{"ArrowsMoveTheSelectionWithinTheScreen", 0,
               {{'d', {5, 5}, {80, 80}}, {'k', {}, {}}, {'k', {}, {}}},
               "26,10,46,30 66,50,86,70", "11", 1}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(Canvas, NewItemsOnTheGridAndTheScreen) {
    C().SetGrid(10, true);
    Drag(3, {12, 13}, {48, 52});
    Drag(3, {300, 200}, {999, 999});
    EXPECT_EQ(Boxes(Items()), "10,10,50,50 300,200,320,240");
}

// Each line-up of three boxes: (0,0)-(10,10), (20,30)-(40,40), (60,5)-(65,25); the first
// is the reference of the same-size ones.
TEST_F(Canvas, ArrangeLinesUpTheSelection) {
    struct Row {
        Arrangement how;
        const char* boxes;
    };
    for (const Row& r : {
             Row{Arrangement::AlignLeft, "0,0,10,10 0,30,20,40 0,5,5,25"},
             Row{Arrangement::AlignRight, "55,0,65,10 45,30,65,40 60,5,65,25"},
             Row{Arrangement::AlignTop, "0,0,10,10 20,0,40,10 60,0,65,20"},
             Row{Arrangement::AlignBottom, "0,30,10,40 20,30,40,40 60,20,65,40"},
             Row{Arrangement::AlignCentreH, "27,0,37,10 22,30,42,40 30,5,35,25"},
             Row{Arrangement::AlignCentreV, "0,15,10,25 20,15,40,25 60,10,65,30"},
             Row{Arrangement::SameWidth, "0,0,10,10 20,30,30,40 60,5,70,25"},
             Row{Arrangement::SameHeight, "0,0,10,10 20,30,40,40 60,5,65,15"},
             Row{Arrangement::DistributeH, "0,0,10,10 25,30,45,40 60,5,65,25"},
             Row{Arrangement::DistributeV, "0,0,10,10 20,30,40,40 60,10,65,30"},
         }) {
        Items().clear();
        Drag(3, {0, 0}, {10, 10});
        Drag(3, {20, 30}, {40, 40});
        Drag(3, {60, 5}, {65, 25});
        C().SelectAll();
        const int before = page->UndoCount();
        C().Arrange(r.how);
        EXPECT_EQ(Boxes(Items()), r.boxes) << int(r.how);
        EXPECT_EQ(page->UndoCount(), before + 1) << int(r.how);
    }
    Items().resize(1);
    C().SelectAll();
    EXPECT_FALSE(C().Arrange(Arrangement::AlignLeft).handled) << "one item lines up with nothing";
}

// Cut, copy and paste: pasted items are copies that step on with each paste, keep to the
// screen, are selected, take one undo step, and a pasted picture gets its own flash place.
TEST_F(Canvas, ClipboardPastesSteppedSelectedCopies) {
    picture = Picture(8, 4);
    Drag(16, {10, 10}, {10, 10});
    Drag(3, {300, 220}, {318, 238});
    C().SelectAll();
    const CByteArray bytes = C().CopySelection();
    const int before = page->UndoCount();
    C().Paste(bytes);
    C().Paste(bytes);
    EXPECT_EQ(
        Boxes(Items()),
        "10,10,18,14 300,220,318,238 12,12,20,16 302,222,320,240 12,12,20,16 302,222,320,240");
    EXPECT_EQ(Marks(Items()), "000011");
    EXPECT_EQ(page->UndoCount(), before + 2);
    const auto bitmapOf = [&](size_t i) { return dynamic_cast<CItemBmp&>(*Items()[i]).Bitmap(); };
    EXPECT_NE(bitmapOf(2), bitmapOf(0));
    EXPECT_NE(bitmapOf(2)->m_nStartPage, bitmapOf(0)->m_nStartPage);
    // What a paste reads is what was copied: the same page records.
    CLedDoc other(page->GetScreenParams());
    ItemList read;
    std::string error;
    ASSERT_TRUE(ItemClipboard::Read(bytes, page->m_nColours, read, error)) << error;
    other.CurrentItems() = std::move(read);
    other.CurrentItems()[0]->m_bSelected = other.CurrentItems()[1]->m_bSelected = 1;
    EXPECT_EQ(ItemClipboard::Copy(other), bytes);
    // Cut leaves the page without the selection, in one step.
    C().Cut();
    EXPECT_EQ(Items().size(), 4u);
    EXPECT_EQ(page->UndoCount(), before + 3);
}

TEST_F(Canvas, PasteRefusesWhatIsNotItemsOfThisColourCount) {
    Drag(3, {10, 10}, {30, 30});
    C().SelectAll();
    const CByteArray bytes = C().CopySelection();
    CLedDoc eight(ScreenParams{"L", 8, 1, 1, 320, 240});
    PageController other(eight, project.ws.Bitmaps(), dialogs);
    eight.SetMessenger(project.messages);
    EXPECT_FALSE(other.Paste(bytes).handled);
    EXPECT_FALSE(C().Paste(CByteArray{1, 2, 3}).handled);
    EXPECT_TRUE(eight.CurrentItems().empty());
    EXPECT_EQ(Items().size(), 1u);
    ASSERT_EQ(project.messages.told.size(), 2u);
    EXPECT_EQ(project.messages.told[0],
              "图元来自 256 色的页面，不能粘贴到 8 色的页面：颜色代码会改变含义");
    EXPECT_EQ(project.messages.told[1].rfind("剪贴板中的内容不是页面图元：", 0), 0u);
}

}  // namespace
