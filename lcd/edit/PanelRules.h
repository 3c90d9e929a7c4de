#pragma once
// What the item property panels and the palette pickers do to a page, without widgets:
// the numbers a panel accepts, the circle's, arc's, text's and number widget's own rules,
// the palette grid's geometry, and the undo runs of panel edits.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "base/Colour.h"

class CItemBase;
class CItemFont;
class CItemRound;
class CItemSweep;
class CLedDoc;

namespace PanelRules {

// A whole number typed into a panel: optional spaces around an optional sign and decimal
// digits. Anything else (empty, "-", "12a", too big for 32 bits) is not a number and the
// item keeps its value.
std::optional<int32_t> ParseNumber(std::string_view text);
// A colour code typed as the dialogs show it ("0X3A", "3a"): the nibbles, when the code is
// a cell of the palette of `colours`.
bool ParseCode(std::string_view text, int colours, uint8_t& hi, uint8_t& lo);

// Circle: (x1, y1) is the centre, (x2, y2) a point on the circle.
void SetCircleCentre(CItemRound& c, int32_t x, int32_t y);
void SetCircleRadius(CItemRound& c, int32_t r);
int32_t CircleRadius(const CItemRound& c);

// Arc and pie. The centre moves the whole item; the radius moves the start point along
// its ray (0 or less counts as 1); an angle puts its point on the circle through the
// start point. Angles of 360 or more become 359 (ClampAngle), negative ones 0.
int32_t ClampAngle(int32_t degrees);
void SetSweepCentre(CItemSweep& s, int32_t x, int32_t y);
void SetSweepRadius(CItemSweep& s, int32_t a);
void SetSweepAngle(CItemSweep& s, bool end, int32_t degrees);

// Text magnification (horizontal or vertical) of the highlighted characters, or of every
// character when none is highlighted; 0 and below change nothing. The magnification the
// panel shows is the one those characters share, 0 when they differ or there are none.
void SetTextMagnification(CItemFont& t, bool vertical, int32_t value);
int32_t TextMagnification(const CItemFont& t, bool vertical);

// Number widget: the module takes one byte of ID; digit counts 1..8 and 0..8.
constexpr int32_t kMaxWidgetId = 255;
bool WidgetIdFits(int32_t id);
constexpr int32_t kMaxDigits = 8;
int32_t ClampDigits(int32_t digits);
int32_t ClampDecimals(int32_t decimals);

// The palette grid of the colour pickers: its top-left corner at (15, 15) of the picker,
// cells of ColourCode::CellSize; nothing at 16 colours (no grid is drawn).
constexpr int kGridOrigin = 15;
constexpr int kGridExtent = 128;
bool HasGrid(int colours);
// The cell under a picker point and its screen colour; false outside the grid.
bool GridCell(int colours, int x, int y, uint8_t& hi, uint8_t& lo, COLORREF& colour);

}  // namespace PanelRules

// The edits one panel makes to the selected item of a page. A run of edits in one control
// on one item is one undo step: the first edit of the run takes the checkpoint, the
// following ones change the same copy. Any other change of the page ends the run.
class PanelEditor {
public:
    explicit PanelEditor(CLedDoc& page) : m_page(page) {}
    CLedDoc& Page() const { return m_page; }
    CItemBase* Selected() const;
    // Changes the selected item through `change` as an edit of `control` (any number
    // naming the control), marks the page modified and tells its observers. False (and
    // nothing done) when no item is selected.
    bool Edit(int control, const std::function<void(CItemBase&)>& change);
    // SetColour on the selection, one undo step when an item is selected.
    void SetColour(COLORREF colour, uint8_t hi, uint8_t lo);
    // The next edit starts a new undo step.
    void EndRun() { m_run = Run{}; }

private:
    struct Run {
        int control = 0;
        uint64_t step = ~uint64_t{0};
        const CItemBase* item = nullptr;
    };
    CLedDoc& m_page;
    Run m_run;
};
