#include "edit/PageController.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <string_view>

#include "base/Messenger.h"
#include "base/StringFormat.h"
#include "edit/ItemClipboard.h"
#include "images/PageFormat.h"
#include "items/CItemAnimationWidget.h"
#include "items/CItemArc.h"
#include "items/CItemBmp.h"
#include "items/CItemEllipse.h"
#include "items/CItemLine.h"
#include "items/CItemMultiLine.h"
#include "items/CItemNumberWidget.h"
#include "items/CItemPie.h"
#include "items/CItemPoly.h"
#include "items/CItemRectangle.h"
#include "items/CItemRound.h"
#include "project/CLedDoc.h"
#include "project/LocalBitmapStore.h"

namespace {

constexpr int kTextType = 15;
constexpr int kBitmapType = 16;
constexpr int kArrowStep = 1, kShiftArrowStep = 8;
constexpr int kPasteStep = 8;

// The move (dx, dy) of `box` cut short where it would leave a w x h screen further; a box
// already partly off the screen may still come back.
void KeepOnScreen(const Rect& box, int64_t w, int64_t h, int64_t& dx, int64_t& dy) {
    dx = std::clamp(dx, std::min<int64_t>(0, -int64_t{box.left}),
                    std::max<int64_t>(0, w - box.right));
    dy = std::clamp(dy, std::min<int64_t>(0, -int64_t{box.top}),
                    std::max<int64_t>(0, h - box.bottom));
}

int64_t Nearest(int64_t v, int grid) {
    return static_cast<int64_t>(std::floor(static_cast<double>(v) / grid + 0.5)) * grid;
}

EditResult Repaint() {
    EditResult r;
    r.repaint = true;
    return r;
}

EditResult Unhandled() {
    EditResult r;
    r.handled = false;
    return r;
}

bool IsTool(int tool) {
    switch (tool) {
        case 2:
        case 3:
        case 4:
        case 5:
        case 11:
        case 12:
        case 13:
        case 14:
        case 15:
        case 16:
        case 17:
        case 18:
        case 19:
        case 30:
        case 40:
        case 50:
        case 70:
        case 80:
        case 104:
            return true;
        default:
            return false;
    }
}

}  // namespace

PageController::PageController(CLedDoc& page, LocalBitmapStore& bitmaps, Dialogs dialogs)
    : m_page(page), m_bitmaps(bitmaps), m_dialogs(std::move(dialogs)) {}

CItemBase* PageController::Selected() const {
    const ItemList& items = m_page.CurrentItems();
    if (m_page.m_nSel < 0 || static_cast<size_t>(m_page.m_nSel) >= items.size()) return nullptr;
    return items[static_cast<size_t>(m_page.m_nSel)].get();
}

EditResult PageController::Finish(EditResult r) {
    m_page.Notify(m_bItemsChanged);
    m_bItemsChanged = false;
    return r;
}

EditResult PageController::SetTool(int tool) {
    if (!IsTool(tool)) return Unhandled();
    EndMoveRun();
    m_nTool = tool;
    m_bCreateNext = tool != kSelectTool;
    if (tool != kSelectTool)
        for (auto& item : m_page.CurrentItems())
            item->m_bSelected = 0;
    return Finish(Repaint());
}

EditResult PageController::ShowProperties(bool show) {
    m_bShowProperties = show;
    EditResult r;
    r.panel = Panel();
    return r;
}

PropertyPanel PageController::PanelForType(int type) {
    switch (type) {
        case 2:
        case 3:
        case 4:
        case 5:
        case 16:
        case 18:
        case 50:
            return PropertyPanel::TwoPoint;
        case 11:
            return PropertyPanel::Line;
        case 14:
        case 104:
            return PropertyPanel::Circle;
        case 15:
            return PropertyPanel::Text;
        case 30:
        case 40:
            return PropertyPanel::Arc;
        case 12:
            return PropertyPanel::Number;
        case 13:
            return PropertyPanel::Animation;
        default:
            return PropertyPanel::None;
    }
}

PropertyPanel PageController::Panel() const {
    if (!m_bShowProperties) return PropertyPanel::None;
    if (!Selected()) return PropertyPanel::Page;
    return PanelForType(m_page.m_nSelType);
}

void PageController::RemoveEmptyTexts() {
    ItemList& items = m_page.CurrentItems();
    for (size_t i = items.size(); i-- > 0;) {
        const auto* text = dynamic_cast<const CItemFont*>(items[i].get());
        if (!text || !text->m_arrChars.empty()) continue;
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
        m_bItemsChanged = true;
        // The selection keeps pointing at its own item.
        const auto at = static_cast<int32_t>(i);
        if (m_page.m_nSel == at)
            m_page.m_nSel = m_page.m_nSelType = -1;
        else if (m_page.m_nSel > at)
            --m_page.m_nSel;
    }
}

EditResult PageController::MouseDown(const MouseEvent& e) {
    EndMoveRun();
    m_ptLast = e.point;
    m_bButtonDown = true;
    m_bDragCheckpointed = false;
    m_bMoveDrag = false;
    m_band.reset();
    RemoveEmptyTexts();
    if (m_nTool == kSelectTool) {
        if (e.modifiers & kControlKey) return ToggleAt(e.point);
        // A press on one of several selected items keeps them all, for a drag.
        bool onSelection = false;
        if (SelectedCount() > 1)
            for (auto& item : m_page.CurrentItems())
                onSelection =
                    onSelection || (item->m_bSelected && item->HitTest(e.point.x, e.point.y) >= 0);
        EditResult r = onSelection ? Finish(Repaint()) : SelectAt(e.point);
        CItemBase* item = Selected();
        if (!item) {
            m_band = Rect{e.point.x, e.point.y, e.point.x, e.point.y};
            return r;
        }
        // The body or the moving handle of an item that follows the mouse: the whole
        // selection moves, on the grid and within the screen.
        const bool whole = item->m_nHandle == 0 || item->m_nHandle == item->WholeMoveHandle();
        if (onSelection || (item->m_bDragging && !item->m_bTextFlag && whole)) {
            m_bMoveDrag = true;
            m_ptDragStart = e.point;
            m_rcDragStart = Arrange::Union(Arrange::Selected(m_page));
            m_ptApplied = Point{0, 0};
        }
        return r;
    }
    if (m_bCreateNext) return CreateItemAt(Place(e.point));
    // An item collecting points (a polyline, a polygon, an arc) takes the next one.
    if (CItemBase* item = Selected()) {
        const Point p = Place(e.point);
        item->OnLButtonDown(p.x, p.y);
        m_bItemsChanged = true;
    }
    return Finish(Repaint());
}

EditResult PageController::ToggleAt(Point p) {
    ItemList& items = m_page.CurrentItems();
    for (size_t i = items.size(); i-- > 0;) {
        CItemBase& item = *items[i];
        if (item.HitTest(p.x, p.y) < 0) continue;
        item.m_bSelected = !item.m_bSelected;
        item.m_bDragging = item.m_bTextFlag = 0;
        m_page.m_nSel = -1;
        if (item.m_bSelected) {
            m_page.m_nSel = static_cast<int32_t>(i);
        } else {
            // The last one still selected leads.
            for (size_t k = items.size(); k-- > 0 && m_page.m_nSel < 0;)
                if (items[k]->m_bSelected) m_page.m_nSel = static_cast<int32_t>(k);
        }
        m_page.m_nSelType =
            m_page.m_nSel < 0 ? -1 : items[static_cast<size_t>(m_page.m_nSel)]->m_nType;
        break;
    }
    EditResult r = Repaint();
    r.panel = Panel();
    return Finish(r);
}

int PageController::SelectedCount() const {
    return static_cast<int>(std::ranges::count_if(
        m_page.CurrentItems(), [](const auto& item) { return item->m_bSelected != 0; }));
}

std::optional<Rect> PageController::RubberBand() const {
    if (!m_band) return std::nullopt;
    return Rect{std::min(m_band->left, m_band->right), std::min(m_band->top, m_band->bottom),
                std::max(m_band->left, m_band->right), std::max(m_band->top, m_band->bottom)};
}

EditResult PageController::SelectAll() {
    EndMoveRun();
    if (m_nTool != kSelectTool) SetTool(kSelectTool);
    ItemList& items = m_page.CurrentItems();
    for (auto& item : items) {
        item->m_bSelected = 1;
        item->m_bTextFlag = item->m_bDragging = 0;
    }
    m_page.m_nSel = items.empty() ? -1 : static_cast<int32_t>(items.size() - 1);
    m_page.m_nSelType = items.empty() ? -1 : items.back()->m_nType;
    EditResult r = Repaint();
    r.panel = Panel();
    return Finish(r);
}

void PageController::SetGrid(int pixels, bool snap) {
    m_nGrid = std::max(pixels, 0);
    m_bSnap = snap;
}

Point PageController::Place(Point p) const {
    int64_t x = p.x, y = p.y;
    if (Snaps()) x = Nearest(x, m_nGrid), y = Nearest(y, m_nGrid);
    return Point{static_cast<int32_t>(std::clamp<int64_t>(x, 0, m_page.m_nLogWidth)),
                 static_cast<int32_t>(std::clamp<int64_t>(y, 0, m_page.m_nLogHeight))};
}

void PageController::MoveSelection(int64_t dx, int64_t dy) {
    const Rect& box = m_rcDragStart;
    if (Snaps()) {
        dx = Nearest(box.left + dx, m_nGrid) - box.left;
        dy = Nearest(box.top + dy, m_nGrid) - box.top;
    }
    KeepOnScreen(box, m_page.m_nLogWidth, m_page.m_nLogHeight, dx, dy);
    if (dx == m_ptApplied.x && dy == m_ptApplied.y) return;
    for (CItemBase* item : Arrange::Selected(m_page))
        item->MoveBy(static_cast<int>(dx - m_ptApplied.x), static_cast<int>(dy - m_ptApplied.y));
    m_ptApplied = Point{static_cast<int32_t>(dx), static_cast<int32_t>(dy)};
    m_page.m_bModified = m_bItemsChanged = true;
}

EditResult PageController::SelectAt(Point p) {
    ItemList& items = m_page.CurrentItems();
    int32_t sel = -1, type = -1, lastHandle = -1;
    for (size_t i = 0; i < items.size(); ++i) {
        CItemBase& item = *items[i];
        item.OnLButtonDown(p.x, p.y);
        if (item.m_nHandle < 0) continue;
        // The last hit in list order is the topmost.
        sel = static_cast<int32_t>(i), type = item.m_nType;
        if (item.m_nHandle > 0) lastHandle = static_cast<int32_t>(i);
    }
    // A handle beats a body; of several hits the topmost is the one selected.
    if (lastHandle >= 0) sel = lastHandle, type = items[static_cast<size_t>(lastHandle)]->m_nType;
    for (size_t i = 0; i < items.size(); ++i) {
        if (static_cast<int32_t>(i) == sel) continue;
        items[i]->m_bSelected = items[i]->m_bTextFlag = items[i]->m_bDragging = 0;
    }
    m_page.m_nSel = sel;
    m_page.m_nSelType = type;
    EditResult r = Repaint();
    r.panel = Panel();
    return Finish(r);
}

std::unique_ptr<CItemBase> PageController::MakeItem(Point p) {
    const COLORREF draw = m_page.m_crDraw, back = m_page.m_crBack;
    const int x = p.x, y = p.y;
    switch (m_nTool) {
        case 11:
            return std::make_unique<CItemLine>(x, y, draw, m_nLinePen);
        case 2:
            return std::make_unique<CItemRectangle>(x, y, draw, draw, true);
        case 3:
        case 70:
        case 80:
            return std::make_unique<CItemRectangle>(x, y, draw, back, false);
        case 4:
        case 5:
            return std::make_unique<CItemEllipse>(x, y, draw, draw, m_nTool == 4);
        case 14:
        case 104:
            return std::make_unique<CItemRound>(x, y, draw, draw, m_nTool == 14);
        case 30:
            return std::make_unique<CItemPie>(x, y, draw);
        case 40:
            return std::make_unique<CItemArc>(x, y, draw);
        case 18:
            m_bCreateNext = false;
            return std::make_unique<CItemPoly>(x, y, draw);
        case 50:
            m_bCreateNext = false;
            return std::make_unique<CItemMultiLine>(x, y, draw);
        case 15:
            return std::make_unique<CItemFont>(x, y, draw);
        case 12: {
            auto item = std::make_unique<CItemNumberWidget>(x, y, draw);
            item->m_bSolid = 1;
            return item;
        }
        case 13: {
            auto item = std::make_unique<CItemAnimationWidget>(x, y, draw);
            item->m_bSolid = 1;
            return item;
        }
        case 16: {
            std::string path;
            if (!m_dialogs.choosePicture || !m_dialogs.choosePicture(path)) return nullptr;
            m_bCreateNext = true;
            return m_bitmaps.NewItem(x, y, path, m_page.Format(), m_page.GetMessenger());
        }
        case 17: {
            auto fill = std::make_unique<CItemFill>(x, y, m_dialogs.fillColours);
            if (!fill->m_bValid) return nullptr;
            return fill;
        }
        default:
            return nullptr;
    }
}

EditResult PageController::CreateItemAt(Point p) {
    for (auto& item : m_page.CurrentItems()) {
        item->m_bSelected = 0;
        item->m_bTextFlag = 0;
    }
    std::unique_ptr<CItemBase> item = MakeItem(p);
    if (!item) {
        // A cancelled fill drops the selection; a cancelled picture changes nothing.
        if (m_nTool == 17) m_page.m_nSel = -1;
        return Finish(Repaint());
    }
    if (m_nTool == 17) {
        m_bButtonDown = false;
    } else {
        item->m_codeHi = m_page.m_drawCodeHi;
        item->m_codeLo = m_page.m_drawCodeLo;
    }
    m_page.Checkpoint();
    ItemList& items = m_page.CurrentItems();
    items.push_back(std::move(item));
    m_page.m_nSel = static_cast<int32_t>(items.size() - 1);
    m_page.m_nSelType = m_nTool;
    m_page.m_bModified = true;
    m_bItemsChanged = true;
    return Finish(Repaint());
}

EditResult PageController::MouseMove(const MouseEvent& e) {
    EditResult r;
    r.cursor = CursorShape::Cross;
    if (m_band && m_bButtonDown) {
        m_band->right = e.point.x, m_band->bottom = e.point.y;
        r.repaint = true;
        return Finish(r);
    }
    CItemBase* item = Selected();
    if (!item) return Finish(r);
    if (m_nTool == kSelectTool && m_bButtonDown && !m_bDragCheckpointed) {
        // One undo step for the whole drag, taken at its first move.
        EndMoveRun();
        m_page.Checkpoint();
        m_bDragCheckpointed = true;
        item = Selected();
    }
    if (m_bMoveDrag && m_bButtonDown) {
        MoveSelection(int64_t{e.point.x} - m_ptDragStart.x, int64_t{e.point.y} - m_ptDragStart.y);
        m_ptLast = e.point;
        r.cursor = CursorShape::Move;
        r.repaint = true;
        r.panel = Panel();
        return Finish(r);
    }
    // Points being placed (a new item, a handle) land on the grid and on the screen.
    const bool placing = item->m_bDragging || item->m_bCreating || m_nTool != kSelectTool;
    const Point from = placing ? Place(m_ptLast) : m_ptLast;
    const Point to = placing ? Place(e.point) : e.point;
    r.repaint = item->OnMouseMove(r.cursor, from.x, from.y, to.x, to.y) != 0;
    m_bItemsChanged = r.repaint;
    m_ptLast = e.point;
    if (item->m_bDragging) {
        m_page.m_bModified = true;
        r.panel = Panel();
    }
    return Finish(r);
}

void PageController::CheckBitmapSize(CItemBase& item) {
    if (item.m_nType != kBitmapType) return;
    const int64_t area = (int64_t{item.m_x2} - item.m_x1) * (int64_t{item.m_y2} - item.m_y1);
    const int64_t limit = m_page.Format().Is8Colour320x234() ? 262144 : 131072;
    if (area <= limit) return;
    m_page.GetMessenger().Tell(StringFormat("单个局部位图的 宽度*高度<=%lld,\r\n\r\n"
                                            "请用全屏位图或者缩小位图",
                                            static_cast<long long>(limit)),
                               "位图大小越限");
    item.m_bSelected = 1;
}

EditResult PageController::MouseUp(const MouseEvent& e) {
    m_bButtonDown = false;
    EditResult r = Repaint();
    if (const std::optional<Rect> band = RubberBand()) {
        m_band.reset();
        ItemList& items = m_page.CurrentItems();
        for (size_t i = 0; i < items.size(); ++i) {
            const Rect b = items[i]->Bounds();
            if (b.left < band->left || b.top < band->top || b.right > band->right ||
                b.bottom > band->bottom)
                continue;
            items[i]->m_bSelected = 1;
            m_page.m_nSel = static_cast<int32_t>(i);
            m_page.m_nSelType = items[i]->m_nType;
        }
        r.panel = Panel();
        return Finish(r);
    }
    CItemBase* item = Selected();
    if (!item) return Finish(r);
    if (m_bMoveDrag) {
        m_bMoveDrag = false;
        for (CItemBase* moved : Arrange::Selected(m_page))
            if (moved != item) moved->m_bDragging = 0;
    }
    const Point at = item->m_bDragging || item->m_bCreating ? Place(e.point) : e.point;
    const int done = item->OnLButtonUp(at.x, at.y);
    // A release ends a creation or a point; a drag with the selection tool has already
    // been reported move by move.
    m_bItemsChanged = m_nTool != kSelectTool || done == -1;
    if (done == -1) {
        // A degenerate item just created (a click without drag) is dropped.
        ItemList& items = m_page.CurrentItems();
        items.erase(items.begin() + m_page.m_nSel);
        m_page.m_nSel = -1;
        m_bCreateNext = true;
        return Finish(r);
    }
    // 0: the item is finished; otherwise it goes on taking clicks.
    m_bCreateNext = done == 0;
    CheckBitmapSize(*item);
    return Finish(r);
}

EditResult PageController::RightDown(const MouseEvent& e) {
    EndMoveRun();
    EditResult r = Repaint();
    CItemBase* item = Selected();
    if (!item) return Finish(r);
    m_bCreateNext = true;
    const int answer = item->OnRButtonDown(0, e.point.x, e.point.y);
    m_bItemsChanged = true;
    if (answer == -1) {
        // A point list with too few points is dropped.
        ItemList& items = m_page.CurrentItems();
        items.erase(items.begin() + m_page.m_nSel);
        m_page.m_nSel = m_page.m_nSelType = -1;
    } else if (answer == CItemBmp::kReplaceCommand) {
        r.menu = answer;
    }
    return Finish(r);
}

EditResult PageController::Char(uint8_t byte) {
    EndMoveRun();
    auto* text = dynamic_cast<CItemFont*>(Selected());
    if (m_page.m_nSelType != kTextType || !text) return Unhandled();
    const size_t before = text->m_arrChars.size();
    text->InsertChar(byte, m_page.m_drawCodeLo, m_page.m_drawCodeHi);
    // Typed text is a change of the page: closing it asks to save.
    if (text->m_arrChars.size() != before) m_page.m_bModified = m_bItemsChanged = true;
    return Finish(Repaint());
}

bool PageController::MoveCaret(CItemFont& text, EditKey key) {
    const auto count = static_cast<int32_t>(text.m_arrChars.size());
    switch (key) {
        case EditKey::Left:
            text.m_nCaret = std::max(text.m_nCaret - 1, 0);
            return true;
        case EditKey::Right:
            if (text.m_nCaret < count) ++text.m_nCaret;
            if (text.m_nCaret == count && count > 0) {
                // Behind the last character.
                const CTextChar& last = text.m_arrChars.back();
                text.m_xCaret = last.m_x + (last.m_bDouble ? 16 : 8) * last.m_nHMag;
                text.m_yCaret = last.m_y;
            }
            return true;
        case EditKey::Up:
        case EditKey::Down: {
            // The nearest character before (after) the caret in the caret's column.
            const bool up = key == EditKey::Up;
            for (int32_t i = up ? text.m_nCaret - 1 : text.m_nCaret + 1; i >= 0 && i < count;
                 i += up ? -1 : 1) {
                const CTextChar& c = text.m_arrChars[static_cast<size_t>(i)];
                if (c.m_x < text.m_xCaret || int64_t{c.m_x} >= int64_t{text.m_xCaret} + c.m_nWidth)
                    continue;
                text.m_nCaret = i;
                text.m_xCaret = c.m_x, text.m_yCaret = c.m_y;
                break;
            }
            return true;
        }
        default:
            return false;
    }
}

EditResult PageController::KeyDown(const KeyEvent& e) {
    CItemBase* item = Selected();
    if (!item) return Unhandled();
    if (e.key == EditKey::Delete || e.key == EditKey::KeypadDecimal) return DeleteSelection();
    if (e.key == EditKey::Other) return Unhandled();
    auto* text = dynamic_cast<CItemFont*>(item);
    if (text && m_page.m_nSelType == kTextType && text->m_bTextFlag) {
        EndMoveRun();
        MoveCaret(*text, e.key);
        return Finish(Repaint());
    }
    const int step = (e.modifiers & kShiftKey) ? kShiftArrowStep : kArrowStep;
    int64_t dx = e.key == EditKey::Left ? -step : e.key == EditKey::Right ? step : 0;
    int64_t dy = e.key == EditKey::Up ? -step : e.key == EditKey::Down ? step : 0;
    std::vector<CItemBase*> moving = Arrange::Selected(m_page);
    if (std::ranges::find(moving, item) == moving.end()) moving.push_back(item);
    KeepOnScreen(Arrange::Union(moving), m_page.m_nLogWidth, m_page.m_nLogHeight, dx, dy);
    if (dx == 0 && dy == 0) return Finish(EditResult{});
    if (m_pMoveRun != item || m_nMoveRunStep != m_page.UndoStep()) {
        // The first move of a run is the run's one undo step.
        m_page.Checkpoint();
        item = Selected();
    }
    for (CItemBase* each : moving)
        each->MoveBy(static_cast<int>(dx), static_cast<int>(dy));
    m_pMoveRun = item;
    m_nMoveRunStep = m_page.UndoStep();
    m_page.m_bModified = m_bItemsChanged = true;
    EditResult r = Repaint();
    r.panel = Panel();
    return Finish(r);
}

EditResult PageController::Undo() {
    EndMoveRun();
    if (!m_page.CanUndo()) return Unhandled();
    m_page.Undo();
    EditResult r = Repaint();
    r.panel = Panel();
    return Finish(r);
}

EditResult PageController::Redo() {
    EndMoveRun();
    if (!m_page.CanRedo()) return Unhandled();
    m_page.Redo();
    EditResult r = Repaint();
    r.panel = Panel();
    return Finish(r);
}

EditResult PageController::DeleteSelection() {
    EndMoveRun();
    if (SelectedCount() > 1) return DeleteAll();
    const int type = m_page.m_nSelType;
    if (!Selected() || type < 0 || type == kSelectTool || type == 20) return Unhandled();
    m_page.DeleteSelection();
    EditResult r = Repaint();
    r.panel = Panel();
    return Finish(r);
}

EditResult PageController::DeleteAll() {
    if (SelectedCount() == 0) return Unhandled();
    m_page.Checkpoint();
    std::erase_if(m_page.CurrentItems(), [](const auto& item) { return item->m_bSelected != 0; });
    m_page.m_nSel = m_page.m_nSelType = -1;
    m_page.m_bModified = m_bItemsChanged = true;
    EditResult r = Repaint();
    r.panel = Panel();
    return Finish(r);
}

EditResult PageController::Cut() {
    EndMoveRun();
    if (SelectedCount() == 0) return Unhandled();
    return DeleteAll();
}

EditResult PageController::Arrange(Arrangement how) {
    EndMoveRun();
    const std::vector<CItemBase*> selected = Arrange::Selected(m_page);
    if (static_cast<int>(selected.size()) < Arrange::Needs(how)) return Unhandled();
    // Tried on copies first: a line-up that moves nothing takes no undo step.
    std::vector<std::unique_ptr<CItemBase>> copies;
    std::vector<CItemBase*> trial;
    for (CItemBase* item : selected) {
        copies.push_back(item->Clone());
        trial.push_back(copies.back().get());
    }
    if (std::ranges::find(trial, nullptr) != trial.end() || !Arrange::Apply(trial, how))
        return Finish(EditResult{});
    m_page.Checkpoint();
    Arrange::Apply(Arrange::Selected(m_page), how);
    m_page.m_bModified = m_bItemsChanged = true;
    EditResult r = Repaint();
    r.panel = Panel();
    return Finish(r);
}

CByteArray PageController::CopySelection() const {
    return ItemClipboard::Copy(m_page);
}

EditResult PageController::Paste(std::span<const uint8_t> bytes) {
    EndMoveRun();
    ItemList items;
    std::string error;
    if (!ItemClipboard::Read(bytes, m_page.m_nColours, items, error)) {
        m_page.GetMessenger().Tell(error, "提示");
        return Unhandled();
    }
    if (items.empty()) return Unhandled();
    const size_t hash = std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    m_nPasteRun = hash == m_nPasteHash ? m_nPasteRun + 1 : 1;
    m_nPasteHash = hash;
    std::vector<CItemBase*> pasted;
    for (auto& item : items)
        pasted.push_back(item.get());
    int64_t dx = int64_t{Snaps() ? m_nGrid : kPasteStep} * m_nPasteRun, dy = dx;
    KeepOnScreen(Arrange::Union(pasted), m_page.m_nLogWidth, m_page.m_nLogHeight, dx, dy);
    m_page.Checkpoint();
    ItemList& current = m_page.CurrentItems();
    for (auto& item : current)
        item->m_bSelected = item->m_bTextFlag = item->m_bDragging = 0;
    std::set<const CBmpObj*> placed;
    for (auto& item : items) {
        item->MoveBy(static_cast<int>(dx), static_cast<int>(dy));
        item->m_bSelected = 1;
        if (auto* bmp = dynamic_cast<CItemBmp*>(item.get()); bmp && bmp->m_pBitmap) {
            bmp->m_page = m_page.Format();
            if (placed.insert(bmp->m_pBitmap.get()).second)
                m_bitmaps.Place(bmp->m_pBitmap, m_page.Format());
            bmp->m_nBitmap = m_bitmaps.IndexOf(*bmp->m_pBitmap);
        }
        current.push_back(std::move(item));
    }
    m_page.m_nSel = static_cast<int32_t>(current.size() - 1);
    m_page.m_nSelType = current.back()->m_nType;
    if (m_nTool != kSelectTool) m_nTool = kSelectTool, m_bCreateNext = false;
    m_page.m_bModified = m_bItemsChanged = true;
    EditResult r = Repaint();
    r.panel = Panel();
    return Finish(r);
}

EditResult PageController::ReplacePicture() {
    EndMoveRun();
    auto* item = dynamic_cast<CItemBmp*>(Selected());
    std::string path;
    if (!item || !m_dialogs.choosePicture || !m_dialogs.choosePicture(path)) return EditResult{};
    if (m_bitmaps.ReplacePicture(*item, path, m_page.GetMessenger()))
        m_page.m_bModified = m_bItemsChanged = true;
    return Finish(Repaint());
}

std::optional<CItemFont::Caret> PageController::TextCaret() const {
    const auto* text = dynamic_cast<const CItemFont*>(Selected());
    if (!text || m_page.m_nSelType != kTextType) return std::nullopt;
    const CItemFont::Caret caret = text->GetCaret();
    if (!caret.visible) return std::nullopt;
    return caret;
}
