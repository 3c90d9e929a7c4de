#include "items/CItemLine.h"

#include <algorithm>
#include <limits>

#include "base/Archive.h"
#include "base/StringFormat.h"
#include "gfx/Surface.h"

namespace {

constexpr int32_t kLineType = 11;

Point At(int64_t x, int64_t y) {
    return Point{Saturate32(x), Saturate32(y)};
}

}  // namespace

CItemLine::CItemLine() {
    m_nType = kLineType;
}

CItemLine::CItemLine(int x, int y, COLORREF colour, int penWidth) {
    m_nType = kLineType;
    m_x1 = m_x2 = x;
    m_y1 = m_y2 = y;
    m_crColor = colour;
    m_nPenWidth = penWidth;
    m_nHandle = 3;
    m_bDragging = 1;
    m_bCreating = 1;
}

void CItemLine::Serialize(Archive& ar) {
    SerializeHead(ar, {{&m_x1, &m_y1}, {&m_x2, &m_y2}});
    ar.Int32(m_nPenWidth);
    if (ar.IsLoading()) {
        m_bCreating = 0;
        m_pRgn = Region();
    }
}

std::unique_ptr<CItemBase> CItemLine::Clone() const {
    auto copy = std::make_unique<CItemLine>(*this);
    copy->m_pRgn = Region();
    copy->m_nType = kLineType;
    copy->UpdateHandles();
    return copy;
}

void CItemLine::BuildRegion() {
    const int64_t X1 = m_x1, Y1 = m_y1, X2 = m_x2, Y2 = m_y2;
    // Only the sign of (X1 - X2) * (Y1 - Y2) matters; the product itself can exceed 64 bits.
    auto sign = [](int64_t v) { return (v > 0) - (v < 0); };
    const int slope = sign(X1 - X2) * sign(Y1 - Y2);
    std::vector<Point> p;
    // A band a few pixels wide around the line; the four cases are tried in this order
    // and a later one replaces an earlier result.
    if (slope < 0) {
        // Rising to the right: (h, g) is the end with the smaller x.
        const bool first = X1 <= X2;
        const int64_t h = first ? X1 : X2, g = first ? Y1 : Y2;
        const int64_t l = first ? X2 : X1, m = first ? Y2 : Y1;
        p = {At(h - 9, g), At(h - 1, g + 10), At(l + 9, m + 10), At(l + 1, m)};
    }
    if (slope > 0) {
        // Falling to the right: (h, g) is the end with the larger x.
        const bool first = X1 > X2;
        const int64_t h = first ? X1 : X2, g = first ? Y1 : Y2;
        const int64_t l = first ? X2 : X1, m = first ? Y2 : Y1;
        p = {At(h - 1, g - 10), At(h - 9, g), At(l + 1, m + 10), At(l + 9, m)};
    }
    if (X1 == X2)
        p = {At(X1 - 4, Y1 - 5), At(X1 + 4, Y1 - 5), At(X2 + 4, Y2 + 5), At(X2 - 4, Y2 + 5)};
    if (Y1 == Y2)
        p = {At(X1 - 5, Y1 - 4), At(X1 - 5, Y1 + 4), At(X2 + 5, Y2 + 4), At(X2 + 5, Y2 - 4)};
    m_pRgn = Region::Polygon(std::move(p));
}

int CItemLine::UpdateHandles() {
    const int64_t x1 = m_x1, y1 = m_y1, x2 = m_x2, y2 = m_y2;
    m_rcHandles[0] = Rect::Around(x1, y1);
    m_rcHandles[1] = Rect::Around((x1 + x2) / 2, (y1 + y2) / 2);
    m_rcHandles[2] = Rect::Around(x2, y2);
    BuildRegion();
    return 0;
}

int CItemLine::HitTest(int x, int y) {
    UpdateHandles();
    for (int k = 0; k < 3; ++k) {
        if (m_rcHandles[k].Contains(x, y)) return m_nHandle = k + 1;
    }
    m_nHandle = m_pRgn.Contains(x, y) ? 0 : -1;
    return m_nHandle;
}

void CItemLine::DrawHandles(Surface& dc) {
    UpdateHandles();
    for (int k = 0; k < 3; ++k)
        DrawSquare(dc, m_rcHandles[k]);
    m_bSelected = 1;
}

int CItemLine::MoveHandle(int ox, int oy, int nx, int ny) {
    switch (m_nHandle) {
        case 1:
            m_x1 = nx, m_y1 = ny;
            break;
        case 2: {
            const int64_t dx = int64_t{nx} - ox, dy = int64_t{ny} - oy;
            m_x1 = Saturate32(m_x1 + dx), m_x2 = Saturate32(m_x2 + dx);
            m_y1 = Saturate32(m_y1 + dy), m_y2 = Saturate32(m_y2 + dy);
            break;
        }
        case 3:
            m_x2 = nx, m_y2 = ny;
            break;
        default:
            break;
    }
    if (!m_bCreating) m_bModified = 1;
    return 0;
}

int CItemLine::OnMouseMove(CursorShape& cursor, int ox, int oy, int nx, int ny) {
    if (m_bCreating) {
        m_x2 = nx, m_y2 = ny;
        return 1;
    }
    if (m_bDragging) {
        MoveHandle(ox, oy, nx, ny);
        return 1;
    }
    const int h = HitTest(nx, ny);
    if (!m_bSelected) return 0;
    cursor = h < 1 ? CursorShape::Cross : CursorShape::Move;
    return 0;
}

void CItemLine::Draw(Surface& dc) {
    dc.SetPen(Surface::Pen{Surface::PenStyle::Solid, std::max(m_nPenWidth, 1), m_crColor});
    dc.Line(m_x1, m_y1, m_x2, m_y2);
}

void CItemLine::AddToTree(TreeNode& parent, int index) {
    (void)index;
    AddTreeLine(parent, StringFormat("直线：起点(%d,%d),终点(%d,%d) 颜色代码 %X%X", m_x1, m_y1,
                                     m_x2, m_y2, unsigned{m_codeHi}, unsigned{m_codeLo}));
}

int CItemLine::Encode(int flashMode, CByteArray& bytes, const DownloadSettings&) {
    (void)flashMode;
    return EncodeTwoPoint(bytes, 0x46);
}

int CItemLine::GetEncodedLength() {
    return TwoPointLength();
}
