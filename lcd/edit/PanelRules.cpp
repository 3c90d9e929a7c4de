#include "edit/PanelRules.h"

#include <charconv>
#include <cmath>

#include "base/ColourCode.h"
#include "base/Geometry.h"
#include "items/ArcGeometry.h"
#include "items/CItemFont.h"
#include "items/CItemRound.h"
#include "items/CItemSweep.h"
#include "project/CLedDoc.h"

namespace PanelRules {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The characters the panel works on: the highlighted ones, or all when none is.
template <typename F>
void ForTextTargets(const CItemFont& t, F f) {
    const bool any = t.HasHighlight();
    for (const CTextChar& c : t.m_arrChars)
        if (!any || c.m_bHighlight) f(c);
}

}  // namespace

std::optional<int32_t> ParseNumber(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

bool ParseCode(std::string_view text, int colours, uint8_t& hi, uint8_t& lo) {
    text = Trim(text);
    if (text.size() == 4 && text[0] == '0' && (text[1] == 'X' || text[1] == 'x'))
        text.remove_prefix(2);
    if (text.size() != 2) return false;
    const int h = HexDigit(text[0]), l = HexDigit(text[1]);
    if (h < 0 || l < 0 || h >= ColourCode::Rows(colours) || l >= ColourCode::Columns(colours))
        return false;
    hi = static_cast<uint8_t>(h);
    lo = static_cast<uint8_t>(l);
    return true;
}

void SetCircleCentre(CItemRound& c, int32_t x, int32_t y) {
    const int64_t dx = int64_t{x} - c.m_x1, dy = int64_t{y} - c.m_y1;
    c.m_x1 = x;
    c.m_y1 = y;
    c.m_x2 = Saturate32(c.m_x2 + dx);
    c.m_y2 = Saturate32(c.m_y2 + dy);
}

void SetCircleRadius(CItemRound& c, int32_t r) {
    c.m_x2 = Saturate32(int64_t{c.m_x1} + r);
    c.m_y2 = c.m_y1;
}

int32_t CircleRadius(const CItemRound& c) {
    return Saturate32(ArcGeometry::TruncatedDistance(c.m_x1, c.m_y1, c.m_x2, c.m_y2));
}

int32_t ClampAngle(int32_t degrees) {
    return degrees >= 360 ? 359 : degrees < 0 ? 0 : degrees;
}

void SetSweepCentre(CItemSweep& s, int32_t x, int32_t y) {
    s.m_nHandle = 1;
    s.MoveHandle(s.m_xCentre, s.m_yCentre, x, y);
    s.UpdateAngles();
}

void SetSweepRadius(CItemSweep& s, int32_t a) {
    const int64_t r = a <= 0 ? 1 : a;
    const int64_t cx = s.m_xCentre, cy = s.m_yCentre;
    const int64_t d = std::max<int64_t>(
        1, ArcGeometry::TruncatedDistance(s.m_xCentre, s.m_yCentre, s.m_x1, s.m_y1));
    // Integer steps along the ray, truncating toward zero as the module's geometry does.
    s.m_x1 = Saturate32(cx - r * (cx - s.m_x1) / d);
    s.m_y1 = Saturate32(cy - r * (cy - s.m_y1) / d);
    s.UpdateAngles();
}

void SetSweepAngle(CItemSweep& s, bool end, int32_t degrees) {
    s.UpdateAngles();
    const double r = static_cast<double>(
        ArcGeometry::TruncatedDistance(s.m_xCentre, s.m_yCentre, s.m_x1, s.m_y1));
    const double rad = ClampAngle(degrees) * 3.1415927 / 180;
    const int32_t x =
        Saturate32(s.m_xCentre + static_cast<int64_t>(std::trunc(r * std::cos(rad) + 0.5)));
    const int32_t y =
        Saturate32(s.m_yCentre + static_cast<int64_t>(std::trunc(r * std::sin(rad) + 0.5)));
    (end ? s.m_x2 : s.m_x1) = x;
    (end ? s.m_y2 : s.m_y1) = y;
    s.UpdateAngles();
}

void SetTextMagnification(CItemFont& t, bool vertical, int32_t value) {
    if (value <= 0) return;
    const bool any = t.HasHighlight();
    for (CTextChar& c : t.m_arrChars)
        if (!any || c.m_bHighlight) (vertical ? c.m_nVMag : c.m_nHMag) = value;
}

int32_t TextMagnification(const CItemFont& t, bool vertical) {
    std::optional<int32_t> shared;
    bool differ = false;
    ForTextTargets(t, [&](const CTextChar& c) {
        const int32_t m = vertical ? c.m_nVMag : c.m_nHMag;
        if (shared && *shared != m) differ = true;
        shared = m;
    });
    return shared && !differ ? *shared : 0;
}

bool WidgetIdFits(int32_t id) {
    return id >= 0 && id <= kMaxWidgetId;
}

int32_t ClampDigits(int32_t digits) {
    return std::clamp<int32_t>(digits, 1, kMaxDigits);
}

int32_t ClampDecimals(int32_t decimals) {
    return std::clamp<int32_t>(decimals, 0, kMaxDigits);
}

bool HasGrid(int colours) {
    return colours == 8 || colours == 64 || colours == 256;
}

bool GridCell(int colours, int x, int y, uint8_t& hi, uint8_t& lo, COLORREF& colour) {
    if (!HasGrid(colours)) return false;
    const int size = ColourCode::CellSize(colours);
    const int bottom = kGridOrigin + ColourCode::Rows(colours) * size;
    if (x < kGridOrigin || x >= kGridOrigin + kGridExtent || y < kGridOrigin || y >= bottom)
        return false;
    hi = static_cast<uint8_t>((y - kGridOrigin) / size);
    lo = static_cast<uint8_t>((x - kGridOrigin) / size);
    // The cell's own colour, also on its white outline: the colour shown is the colour
    // the code stands for.
    colour = ColourCode::ScreenColour(colours, hi, lo);
    return true;
}

}  // namespace PanelRules

CItemBase* PanelEditor::Selected() const {
    const ItemList& items = m_page.CurrentItems();
    if (m_page.m_nSel < 0 || static_cast<size_t>(m_page.m_nSel) >= items.size()) return nullptr;
    return items[static_cast<size_t>(m_page.m_nSel)].get();
}

bool PanelEditor::Edit(int control, const std::function<void(CItemBase&)>& change) {
    CItemBase* item = Selected();
    if (!item) return false;
    if (m_run.control != control || m_run.step != m_page.UndoStep() || m_run.item != item) {
        m_page.Checkpoint();
        item = Selected();
        m_run = Run{control, m_page.UndoStep(), item};
    }
    change(*item);
    m_page.m_bModified = true;
    m_page.Notify(true);
    return true;
}

void PanelEditor::SetColour(COLORREF colour, uint8_t hi, uint8_t lo) {
    EndRun();
    if (Selected()) m_page.Checkpoint();
    m_page.SetColour(colour, hi, lo, 1);
}
