// The canvas rules, from plain events: what each tool creates, which item a press
// selects, when undo steps are taken, point lists, keys and the bitmap size check.

#include <gtest/gtest.h>

#include "base/StringFormat.h"
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
        SelectRow{"TopmostBody", {{10, 10, 100, 100}, {20, 20, 90, 90}}, {50, 40}, 1, {1, 1}},
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
    int colours, logHeight;
    Point corner;  // where the picture's bottom-right handle is dragged
    int limit;     // told, 0: nothing told
};

void PrintTo(const SizeRow& row, std::ostream* os) {
    *os << row.name;
}

class CanvasBitmapSize : public Canvas, public testing::WithParamInterface<SizeRow> {};

TEST_P(CanvasBitmapSize, ABitmapResizedOverTheLimitIsToldAndKept) {
    const SizeRow& r = GetParam();
    page->SetScreenParams(ScreenParams{"L", r.colours, 1, 1, 320, r.logHeight});
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
                         testing::Values(SizeRow{"Eight320x234Below", 8, 234, {513, 511}, 0},
                                         SizeRow{"Eight320x234Above", 8, 234, {513, 512}, 262144},
                                         SizeRow{"SixtyFourAbove", 64, 240, {513, 511}, 131072}),
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

}  // namespace
