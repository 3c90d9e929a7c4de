// The panels' rules without widgets: typed numbers and codes, the circle, arc and text
// rules, the palette grid and the undo runs of panel edits.

#include <gtest/gtest.h>

#include "edit/PanelRules.h"
#include "items/ArcGeometry.h"
#include "items/CItemArc.h"
#include "items/CItemFont.h"
#include "items/CItemLine.h"
#include "items/CItemRound.h"
#include "project/CLedDoc.h"

using namespace PanelRules;

TEST(PanelRules, TypedNumbersAndCodes) {
    const std::pair<const char*, std::optional<int32_t>> numbers[] = {
        {"12", 12},
        {" -5 ", -5},
        {"+7", 7},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"12a", std::nullopt},
        {"0x10", std::nullopt},
        {"99999999999", std::nullopt}};
    for (const auto& [text, want] : numbers)
        EXPECT_EQ(ParseNumber(text), want) << text;
    // text, colour count, accepted, code byte
    const std::tuple<const char*, int, bool, int> codes[] = {
        {"0X3A", 256, true, 0x3A}, {"3a", 256, true, 0x3A}, {"0X3A", 64, false, 0},
        {"0X77", 64, true, 0x77},  {"0X07", 8, true, 0x07}, {"0X17", 8, false, 0},
        {"0X0F", 16, true, 0x0F},  {"3", 256, false, 0},    {"0XG1", 256, false, 0}};
    for (const auto& [text, colours, ok, byte] : codes) {
        uint8_t hi = 0, lo = 0;
        EXPECT_EQ(ParseCode(text, colours, hi, lo), ok) << text << " at " << colours;
        EXPECT_EQ(hi * 16 + lo, byte) << text;
    }
}

TEST(PanelRules, CircleCentreCarriesTheRadiusPoint) {
    CItemRound c(0, 0, 0, 0, false);
    c.m_x2 = 5, c.m_y2 = 0;
    SetCircleCentre(c, 10, 20);
    EXPECT_EQ((std::array{c.m_x1, c.m_y1, c.m_x2, c.m_y2}), (std::array{10, 20, 15, 20}));
    c.m_x2 = 13, c.m_y2 = 24;  // 3-4-5
    EXPECT_EQ(CircleRadius(c), 5);
    SetCircleRadius(c, 7);
    EXPECT_EQ((std::array{c.m_x2, c.m_y2}), (std::array{17, 20}));
}

TEST(PanelRules, ArcEdits) {
    struct Row {
        const char* name;
        std::function<void(CItemArc&)> edit;
        std::array<int32_t, 6> want;  // centre, start point, end point
    };
    const Row rows[] = {
        {"start angle 150 on the circle through the start point",
         [](CItemArc& a) { SetSweepAngle(a, false, 150); },
         {100, 100, 58, 125, 100, 150}},
        {"start angle 400 uses 359",
         [](CItemArc& a) { SetSweepAngle(a, false, 400); },
         {100, 100, 150, 100, 100, 150}},
        {"end angle 180 keeps the start point's radius, truncating toward zero",
         [](CItemArc& a) { SetSweepAngle(a, true, 180); },
         {100, 100, 150, 100, 51, 100}},  // trunc(-50 + 0.5) = -49
        {"radius 0 counts as 1",
         [](CItemArc& a) { SetSweepRadius(a, 0); },
         {100, 100, 101, 100, 100, 150}},
        {"radius 20 keeps the end point",
         [](CItemArc& a) { SetSweepRadius(a, 20); },
         {100, 100, 120, 100, 100, 150}},
        {"centre moves the whole arc",
         [](CItemArc& a) { SetSweepCentre(a, 110, 90); },
         {110, 90, 160, 90, 110, 140}},
    };
    EXPECT_EQ(ClampAngle(400), 359);
    EXPECT_EQ(ClampAngle(359), 359);
    for (const Row& row : rows) {
        CItemArc a;
        a.m_xCentre = a.m_yCentre = 100;
        a.m_x1 = 150, a.m_y1 = 100, a.m_x2 = 100, a.m_y2 = 150;
        row.edit(a);
        EXPECT_EQ((std::array{a.m_xCentre, a.m_yCentre, a.m_x1, a.m_y1, a.m_x2, a.m_y2}), row.want)
            << row.name;
        EXPECT_EQ(a.m_nRadius,
                  ArcGeometry::TruncatedDistance(a.m_xCentre, a.m_yCentre, a.m_x1, a.m_y1))
            << row.name;
    }
}

TEST(PanelRules, TextMagnificationGoesToHighlightedCharactersOrAll) {
    // highlighted characters -> horizontal magnifications after typing 2, shown value
    const std::pair<std::vector<int>, std::array<int, 5>> rows[] = {{{1, 2, 3}, {1, 2, 2, 2, 1}},
                                                                    {{}, {2, 2, 2, 2, 2}}};
    for (const auto& [marked, want] : rows) {
        CItemFont t;
        t.m_arrChars.resize(5);
        for (int i : marked)
            t.m_arrChars[i].m_bHighlight = 1;
        SetTextMagnification(t, false, 2);
        SetTextMagnification(t, false, 0);  // "0" changes nothing
        std::array<int, 5> got{};
        for (int i = 0; i < 5; ++i)
            got[i] = t.m_arrChars[i].m_nHMag;
        EXPECT_EQ(got, want);
        EXPECT_EQ(TextMagnification(t, false), 2);
        EXPECT_EQ(TextMagnification(t, true), 1);
        t.ClearHighlights();
        EXPECT_EQ(TextMagnification(t, false), marked.empty() ? 2 : 0) << "mixed shows 0";
    }
}

TEST(PanelRules, PaletteGridCells) {
    struct Row {
        const char* name;
        int colours, x, y;
        bool hit;
        int hi, lo;
        COLORREF colour;
    };
    const Row rows[] = {
        {"256: row 3 column 10", 256, 15 + 80 + 3, 15 + 24 + 3, true, 3, 10, Rgb(36, 219, 170)},
        {"256: the white outline picks the cell's own colour", 256, 95, 39, true, 3, 10,
         Rgb(36, 219, 170)},
        {"256: last cell", 256, 142, 142, true, 15, 15, Rgb(255, 255, 255)},
        {"256: right of the grid", 256, 143, 20, false, 0, 0, 0},
        {"64: row 1 column 2", 64, 15 + 32, 15 + 16, true, 1, 2, Rgb(182, 73, 0)},
        {"8: red", 8, 15 + 64 + 8, 20, true, 0, 4, Rgb(255, 0, 0)},
        {"8: below the one row", 8, 20, 31, false, 0, 0, 0},
        {"16: no grid", 16, 20, 20, false, 0, 0, 0},
    };
    for (const Row& r : rows) {
        uint8_t hi = 0, lo = 0;
        COLORREF c = 0;
        ASSERT_EQ(GridCell(r.colours, r.x, r.y, hi, lo, c), r.hit) << r.name;
        EXPECT_EQ((std::tuple{int{hi}, int{lo}, c}), (std::tuple{r.hi, r.lo, r.colour})) << r.name;
    }
}

TEST(PanelRules, ARunOfEditsInOneControlIsOneUndoStep) {
    // controls edited in turn -> undo steps taken
    const std::pair<std::vector<int>, int> rows[] = {
        {{1010, 1010, 1010}, 1}, {{1010, 10152, 1010}, 3}, {{1010, 0 /* run ended */, 1010}, 2}};
    for (const auto& [controls, steps] : rows) {
        CLedDoc page;
        page.CurrentItems().push_back(std::make_unique<CItemLine>(5, 6, 0, 1));
        PanelEditor editor(page);
        EXPECT_FALSE(editor.Edit(1010, [](CItemBase& it) { it.m_x1 = 1; })) << "no selection";
        page.m_nSel = 0;
        int value = 0;
        for (int control : controls) {
            if (!control) {
                editor.EndRun();
                continue;
            }
            editor.Edit(control, [&](CItemBase& it) { it.m_x1 = ++value; });
        }
        EXPECT_EQ(page.UndoCount(), steps);
        EXPECT_TRUE(page.m_bModified);
        for (int i = 0; i < steps; ++i)
            page.Undo();
        EXPECT_EQ(page.CurrentItems()[0]->m_x1, 5);
    }
}
