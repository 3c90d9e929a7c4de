#include "items/CItemRound.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <limits>

#include "base/Archive.h"
#include "base/StringFormat.h"
#include "gfx/Surface.h"

namespace {

constexpr int32_t kSolidType = 14;  // also every clone
constexpr int32_t kHollowType = 104;

}  // namespace

CItemRound::CItemRound() {
    m_nType = kSolidType;
}

CItemRound::CItemRound(int x, int y, COLORREF colour, COLORREF fill, bool solid) {
    m_nType = solid ? kSolidType : kHollowType;
    m_x1 = m_x2 = m_xCentre = x;
    m_y1 = m_y2 = m_yCentre = y;
    m_crColor = colour;
    m_crFill = fill;
    m_bSolid = solid ? 1 : 0;
    m_nHandle = 2;
    m_bSelected = 1;
    m_bDragging = 1;
}

void CItemRound::Serialize(Archive& ar) {
    SerializeHead(ar, {{&m_x1, &m_y1}, {&m_x2, &m_y2}, {&m_xCentre, &m_yCentre}});
    ar.Int32(m_bSolid);
    if (ar.IsLoading()) {
        m_bCreating = 0;
        m_pRgn = Region();
    }
}

std::unique_ptr<CItemBase> CItemRound::Clone() const {
    auto copy = std::make_unique<CItemRound>(*this);
    copy->m_pRgn = Region();
    copy->m_nType = kSolidType;
    copy->UpdateHandles();
    return copy;
}

Rect CItemRound::Bounds() const {
    const int64_t r = Radius();
    return Rect{Saturate32(m_x1 - r), Saturate32(m_y1 - r), Saturate32(m_x1 + r),
                Saturate32(m_y1 + r)};
}

int64_t CItemRound::Radius() const {
    // Exact integer square root: the squares of two 32-bit differences overflow 64 bits.
    const uint64_t ax = static_cast<uint64_t>(std::llabs(int64_t{m_x2} - m_x1));
    const uint64_t ay = static_cast<uint64_t>(std::llabs(int64_t{m_y2} - m_y1));
    const unsigned __int128 sum =
        static_cast<unsigned __int128>(ax) * ax + static_cast<unsigned __int128>(ay) * ay;
    auto r = static_cast<unsigned __int128>(std::sqrt(static_cast<long double>(sum)));
    while (r * r > sum)
        --r;
    while ((r + 1) * (r + 1) <= sum)
        ++r;
    return static_cast<int64_t>(r);
}

int CItemRound::UpdateHandles() {
    const int64_t r = Radius();
    m_nRadius = Saturate32(r);
    const int64_t x1 = m_x1, y1 = m_y1;
    m_rcHandles[1] = Rect::Around(x1, y1);
    // While it is dragged the radius handle follows the mouse; at rest it sits on the
    // circle's rightmost point.
    m_rcHandles[2] = DraggingRadius() ? Rect::Around(m_x2, m_y2) : Rect::Around(x1 + r, y1);
    m_pRgn = Region::Ellipse(Saturate32(x1 - r), Saturate32(y1 - r), Saturate32(x1 + r),
                             Saturate32(y1 + r));
    return 0;
}

int CItemRound::HitTest(int x, int y) {
    UpdateHandles();
    for (int k = 1; k <= 2; ++k) {
        if (m_rcHandles[k].Contains(x, y)) return m_nHandle = k;
    }
    m_nHandle = m_pRgn.Contains(x, y) ? 0 : -1;
    return m_nHandle;
}

void CItemRound::DrawHandles(Surface& dc) {
    UpdateHandles();
    DrawSquare(dc, m_rcHandles[1]);
    DrawSquare(dc, m_rcHandles[2]);
    m_bSelected = 1;
}

int CItemRound::MoveHandle(int ox, int oy, int nx, int ny) {
    switch (m_nHandle) {
        case 1: {
            const int64_t dx = int64_t{nx} - ox, dy = int64_t{ny} - oy;
            m_x1 = m_xCentre = nx;
            m_y1 = m_yCentre = ny;
            m_x2 = Saturate32(m_x2 + dx);
            m_y2 = Saturate32(m_y2 + dy);
            break;
        }
        case 2:
            m_x2 = nx, m_y2 = ny;
            break;
        default:
            // The body does not move a circle: only its centre handle does.
            break;
    }
    return 0;
}

int CItemRound::OnMouseMove(CursorShape& cursor, int ox, int oy, int nx, int ny) {
    if (m_bDragging) {
        MoveHandle(ox, oy, nx, ny);
        return 1;
    }
    const int h = HitTest(nx, ny);
    if (!m_bSelected) return 0;
    cursor = h == 1 ? CursorShape::Move : h == 2 ? CursorShape::SizeWe : CursorShape::Cross;
    return 0;
}

void CItemRound::Draw(Surface& dc) {
    const int64_t r = Radius();
    m_nRadius = Saturate32(r);
    const int64_t x1 = m_x1, y1 = m_y1;
    // A solid circle fills with its outline colour; m_crFill is not used.
    dc.SetPen(Surface::Pen{Surface::PenStyle::Solid, 1, m_crColor});
    dc.SetBrush(m_bSolid ? Surface::Brush{Surface::BrushStyle::Solid, m_crColor}
                         : Surface::Brush{Surface::BrushStyle::None, 0});
    dc.Ellipse(Saturate32(x1 - r), Saturate32(y1 - r), Saturate32(x1 + r), Saturate32(y1 + r));
    if (DraggingRadius()) {
        dc.SetPen(Surface::Pen{Surface::PenStyle::Solid, 1, Rgb(0, 0, 255)});
        dc.Line(m_x1, m_y1, m_x2, m_y2);
    }
}

void CItemRound::AddToTree(TreeNode& parent, int index) {
    (void)index;
    AddTreeLine(parent, StringFormat("%s圆：圆心(%d,%d),半径:%d,颜色代码 %X%X",
                                     m_bSolid ? "实心" : "空心", m_x1, m_y1, Saturate32(Radius()),
                                     unsigned{m_codeHi}, unsigned{m_codeLo}));
}

int CItemRound::Encode(int flashMode, CByteArray& bytes, const DownloadSettings&) {
    (void)flashMode;
    if (m_x1 == m_x2 && m_y1 == m_y2) return 0;
    const uint8_t head[] = {
        0x1B, 0x4E, 100, 100, 0x1B, static_cast<uint8_t>(m_bSolid ? 0x13 : 0x59), ColourByte()};
    bytes.insert(bytes.end(), std::begin(head), std::end(head));
    AppendWord(bytes, m_x1);
    AppendWord(bytes, m_y1);
    AppendWord(bytes, Radius());
    return 13;
}

int CItemRound::GetEncodedLength() {
    return (m_x1 == m_x2 && m_y1 == m_y2) ? 0 : 13;
}
