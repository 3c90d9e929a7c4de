#include "items/CItemBase.h"

#include <algorithm>
#include <limits>

#include "base/Archive.h"
#include "gfx/Surface.h"

namespace {

constexpr COLORREF kMarkBlue = Rgb(0, 0, 255);

// Coordinates come from files too and may sit at the ends of the 32-bit range; sums are
// formed in 64 bits and kept at the range's ends instead of wrapping.
}  // namespace

int CItemBase::UpdateHandles() {
    const int64_t x1 = m_x1, y1 = m_y1, x2 = m_x2, y2 = m_y2;
    const int64_t mx = (x1 + x2) / 2;
    const int64_t my = (y1 + y2) / 2;
    m_rcHandles[0] =
        Rect{Saturate32(x1 - 1), Saturate32(y1 - 1), Saturate32(x2 + 1), Saturate32(y2 + 1)};
    m_rcHandles[1] = Rect::Around(x1, y1);
    m_rcHandles[2] = Rect::Around(mx, y1);
    m_rcHandles[3] = Rect::Around(x2, y1);
    m_rcHandles[4] = Rect::Around(x2, my);
    m_rcHandles[5] = Rect::Around(x2, y2);
    m_rcHandles[6] = Rect::Around(mx, y2);
    m_rcHandles[7] = Rect::Around(x1, y2);
    m_rcHandles[8] = Rect::Around(x1, my);
    m_rcHandles[9] = Rect::Around(mx, my);
    return 0;
}

int CItemBase::HitTest(int x, int y) {
    UpdateHandles();
    for (int k = 1; k <= 9; ++k) {
        if (m_rcHandles[k].Contains(x, y)) return m_nHandle = k;
    }
    // The outline rectangle as the canvas keeps it; a box dragged inside out still hits.
    Rect body = m_rcHandles[0];
    if (body.left > body.right) std::swap(body.left, body.right);
    if (body.top > body.bottom) std::swap(body.top, body.bottom);
    m_nHandle = body.Contains(x, y) ? 0 : -1;
    return m_nHandle;
}

void CItemBase::DrawHandles(Surface& dc) {
    UpdateHandles();
    DrawMarks(dc, true, 1, 9);
    m_bSelected = 1;
}

int CItemBase::MoveHandle(int ox, int oy, int nx, int ny) {
    const int64_t dx = int64_t{nx} - ox, dy = int64_t{ny} - oy;
    auto shift = [](int32_t& v, int64_t d) { v = Saturate32(v + d); };
    switch (m_nHandle) {
        case 0:
        case 9:
            shift(m_x1, dx), shift(m_x2, dx), shift(m_y1, dy), shift(m_y2, dy);
            break;
        case 1:
            m_x1 = nx, m_y1 = ny;
            break;
        case 2:
            shift(m_y1, dy);
            break;
        case 3:
            shift(m_y1, dy), shift(m_x2, dx);
            break;
        case 4:
            shift(m_x2, dx);
            break;
        case 5:
            m_x2 = nx, m_y2 = ny;
            break;
        case 6:
            shift(m_y2, dy);
            break;
        case 7:
            shift(m_x1, dx), shift(m_y2, dy);
            break;
        case 8:
            shift(m_x1, dx);
            break;
        default:
            break;
    }
    return 0;
}

Rect CItemBase::Bounds() const {
    return Rect{std::min(m_x1, m_x2), std::min(m_y1, m_y2), std::max(m_x1, m_x2),
                std::max(m_y1, m_y2)};
}

void CItemBase::MoveBy(int dx, int dy) {
    const int32_t handle = m_nHandle;
    m_nHandle = WholeMoveHandle();
    // Handles that take the pointer's place sit on (x1, y1); the others take the step.
    MoveHandle(m_x1, m_y1, Saturate32(int64_t{m_x1} + dx), Saturate32(int64_t{m_y1} + dy));
    m_nHandle = handle;
}

int CItemBase::OnLButtonDown(int x, int y) {
    const int h = HitTest(x, y);
    if (h < 0) {
        if (!m_bSelected) return 0;
        m_bSelected = 0;
        m_bDragging = 0;
        return 1;
    }
    if (!m_bSelected) {
        m_bSelected = 1;
        m_bDragging = 1;
        return 1;
    }
    m_bDragging = 1;
    return 0;
}

int CItemBase::OnLButtonUp(int x, int y) {
    m_bDragging = 0;
    if (!m_bCreating) return 0;
    m_x2 = x, m_y2 = y;
    m_bCreating = 0;
    return (m_x1 == m_x2 && m_y1 == m_y2) ? -1 : 0;
}

int CItemBase::OnMouseMove(CursorShape& cursor, int ox, int oy, int nx, int ny) {
    if (m_bDragging) {
        MoveHandle(ox, oy, nx, ny);
        return 1;
    }
    const int h = HitTest(nx, ny);
    if (!m_bSelected) return 0;
    cursor = HandleCursor(h);
    return 0;
}

CursorShape CItemBase::HandleCursor(int handle) {
    switch (handle) {
        case 1:
        case 5:
            return CursorShape::SizeNwSe;
        case 2:
        case 6:
            return CursorShape::SizeNs;
        case 3:
        case 7:
            return CursorShape::SizeNeSw;
        case 4:
        case 8:
            return CursorShape::SizeWe;
        case 0:
        case 9:
            return CursorShape::Move;
        default:
            return CursorShape::Cross;
    }
}

void CItemBase::DrawSquare(Surface& dc, const Rect& r) {
    const Surface::Brush saved = dc.GetBrush();
    dc.SetBrush(Surface::Brush{Surface::BrushStyle::Solid, kMarkBlue});
    dc.FillRect(r.left, r.top, r.right, r.bottom);
    dc.SetBrush(saved);
}

void CItemBase::DrawMarks(Surface& dc, bool outline, int first, int last) const {
    if (outline) {
        const Surface::Pen savedPen = dc.GetPen();
        const Surface::Brush savedBrush = dc.GetBrush();
        dc.SetPen(Surface::Pen{Surface::PenStyle::Dotted, 1, kMarkBlue});
        dc.SetBrush(Surface::Brush{Surface::BrushStyle::None, 0});
        const Rect& r = m_rcHandles[0];
        dc.Rectangle(r.left, r.top, r.right, r.bottom);
        dc.SetPen(savedPen);
        dc.SetBrush(savedBrush);
    }
    for (int k = first; k <= last; ++k)
        DrawSquare(dc, m_rcHandles[k]);
}

void CItemBase::AppendTwoPointCommand(CByteArray& bytes, uint8_t opcode, uint8_t colour, int64_t xa,
                                      int64_t ya, int64_t xb, int64_t yb) {
    bytes.push_back(0x1B);
    bytes.push_back(opcode);
    bytes.push_back(colour);
    AppendWord(bytes, xa);
    AppendWord(bytes, ya);
    AppendWord(bytes, xb);
    AppendWord(bytes, yb);
}

int CItemBase::EncodeTwoPoint(CByteArray& bytes, uint8_t opcode) const {
    if (TwoPointLength() == 0) return 0;
    AppendTwoPointCommand(bytes, opcode, ColourByte(), m_x1, m_y1, m_x2, m_y2);
    return kTwoPointCommandBytes;
}

void CItemBase::SerializeBox(Archive& ar) {
    ar.Int32(m_nType);
    ar.Point(m_x1, m_y1);
    ar.Point(m_x2, m_y2);
    ar.UInt32(m_crColor);
    ar.UInt32(m_crFill);
    ar.Int32(m_bSolid);
    ar.Byte(m_codeLo);
    ar.Byte(m_codeHi);
}

void CItemBase::SerializeHead(Archive& ar, std::initializer_list<PointRef> points) {
    ar.Int32(m_nType);
    for (const PointRef& p : points)
        ar.Point(*p.first, *p.second);
    ar.UInt32(m_crColor);
    ar.Byte(m_codeLo);
    ar.Byte(m_codeHi);
}

TreeNode& CItemBase::AddTreeLine(TreeNode& parent, std::string text) const {
    parent.children.push_back(TreeNode{std::move(text), m_bSelected != 0, {}});
    return parent.children.back();
}
