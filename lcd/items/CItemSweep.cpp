#include "items/CItemSweep.h"

#include <algorithm>
#include <limits>

#include "base/Archive.h"
#include "base/Geometry.h"
#include "base/StringFormat.h"
#include "gfx/Surface.h"
#include "items/ArcGeometry.h"

CItemSweep::CItemSweep(int x, int y, COLORREF colour, int32_t type) {
    m_nType = type;
    m_xCentre = m_x1 = m_x2 = x;
    m_yCentre = m_y1 = m_y2 = y;
    m_crColor = colour;
    m_nStep = 1;
    m_bCreating = 1;
}

void CItemSweep::Serialize(Archive& ar) {
    SerializeHead(ar, {{&m_xCentre, &m_yCentre}, {&m_x1, &m_y1}, {&m_x2, &m_y2}});
    if (ar.IsLoading()) {
        // A stored item is finished; angles and radius are not stored but derived.
        m_bCreating = 0;
        m_nStep = 3;
        m_pRgn = Region();
        UpdateAngles();
    }
}

Rect CItemSweep::Bounds() const {
    const int64_t r = ArcGeometry::TruncatedDistance(m_xCentre, m_yCentre, m_x1, m_y1);
    return Rect{Saturate32(m_xCentre - r), Saturate32(m_yCentre - r), Saturate32(m_xCentre + r),
                Saturate32(m_yCentre + r)};
}

void CItemSweep::UpdateAngles() {
    m_nStartAngle =
        static_cast<uint16_t>(ArcGeometry::WholeDegrees(m_xCentre, m_yCentre, m_x1, m_y1));
    m_nEndAngle =
        static_cast<uint16_t>(ArcGeometry::WholeDegrees(m_xCentre, m_yCentre, m_x2, m_y2));
    m_nRadius =
        static_cast<uint16_t>(ArcGeometry::TruncatedDistance(m_xCentre, m_yCentre, m_x1, m_y1));
}

double CItemSweep::StartDegrees() const {
    return Region::AngleOf(static_cast<double>(m_x1) - m_xCentre,
                           static_cast<double>(m_y1) - m_yCentre);
}

double CItemSweep::EndDegrees() const {
    return Region::AngleOf(static_cast<double>(m_x2) - m_xCentre,
                           static_cast<double>(m_y2) - m_yCentre);
}

Rect CItemSweep::CurveBox(int64_t radius) const {
    return Rect{Saturate32(m_xCentre - radius), Saturate32(m_yCentre - radius),
                Saturate32(m_xCentre + radius), Saturate32(m_yCentre + radius)};
}

int CItemSweep::UpdateHandles() {
    m_rcHandles[0] = Rect::Around(m_xCentre, m_yCentre);
    m_rcHandles[1] = Rect::Around(m_x1, m_y1);
    m_rcHandles[2] = Rect::Around(m_x2, m_y2);
    const int64_t r = ArcGeometry::TruncatedDistance(m_xCentre, m_yCentre, m_x1, m_y1);
    m_pRgn = Region::Sector(m_xCentre, m_yCentre, Saturate32(r), StartDegrees(), EndDegrees());
    return 0;
}

int CItemSweep::HitTest(int x, int y) {
    UpdateHandles();
    m_nHandle = -1;
    for (int k = 1; k <= 3; ++k) {
        if (m_rcHandles[k - 1].Contains(x, y)) {
            m_nHandle = k;
            break;
        }
    }
    if (m_nHandle < 0 && m_pRgn.Contains(x, y)) m_nHandle = 0;
    return m_nHandle;
}

void CItemSweep::DrawHandles(Surface& dc) {
    UpdateHandles();
    for (int k = 0; k < 3; ++k)
        DrawSquare(dc, m_rcHandles[k]);
    m_bSelected = 1;
}

int CItemSweep::MoveHandle(int ox, int oy, int nx, int ny) {
    // 64-bit steps clamped to the 32-bit range: coordinates from a file may be extreme.
    const int64_t dx = int64_t{nx} - ox, dy = int64_t{ny} - oy;
    auto shift = [](int32_t& v, int64_t d) { v = Saturate32(v + d); };
    switch (m_nHandle) {
        case 1:
            // The centre handle carries the whole item.
            shift(m_xCentre, dx), shift(m_yCentre, dy);
            shift(m_x1, dx), shift(m_y1, dy);
            shift(m_x2, dx), shift(m_y2, dy);
            break;
        case 2:
            m_x1 = nx, m_y1 = ny;
            break;
        case 3:
            m_x2 = nx, m_y2 = ny;
            break;
        default:
            break;
    }
    return 0;
}

int CItemSweep::OnLButtonDown(int x, int y) {
    if (m_bCreating) {
        if (m_nStep == 1) {
            m_x1 = x, m_y1 = y;
            m_nStep = 2;
        } else if (m_nStep == 2) {
            m_x2 = x, m_y2 = y;
            m_nStep = 3;
        }
        return 1;
    }
    HitTest(x, y);
    if (m_nHandle < 0) {
        if (!m_bSelected) return 0;
        m_bSelected = 0;
        m_bDragging = 0;
        return 1;
    }
    m_bSelected = 1;
    m_bDragging = 1;
    return 1;
}

int CItemSweep::OnLButtonUp(int x, int y) {
    (void)x;
    (void)y;
    m_bDragging = 0;
    if (!m_bCreating || m_nStep != 3) return 1;
    m_bCreating = 0;
    const bool startOnCentre = m_x1 == m_xCentre && m_y1 == m_yCentre;
    const bool endOnStart = m_x2 == m_x1 && m_y2 == m_y1;
    const bool endOnCentre = m_x2 == m_xCentre && m_y2 == m_yCentre;
    return (startOnCentre || endOnStart || endOnCentre) ? -1 : 0;
}

int CItemSweep::OnMouseMove(CursorShape& cursor, int ox, int oy, int nx, int ny) {
    if (m_bCreating) {
        if (m_nStep == 1)
            m_x1 = nx, m_y1 = ny;
        else if (m_nStep == 2)
            m_x2 = nx, m_y2 = ny;
        return 1;
    }
    if (m_bDragging) {
        MoveHandle(ox, oy, nx, ny);
        return 1;
    }
    HitTest(nx, ny);  // rebuilds the region first
    if (!m_bSelected) return 0;
    cursor = ShowsMoveCursor(m_nHandle) ? CursorShape::Move : CursorShape::Cross;
    return 0;
}

void CItemSweep::Draw(Surface& dc) {
    dc.SetBrush(Surface::Brush{Surface::BrushStyle::None, 0});
    dc.SetPen(Surface::Pen{Surface::PenStyle::Solid, 1, m_crColor});
    DrawCurve(dc);
}

void CItemSweep::DrawRays(Surface& dc, bool dotted, bool toEnd) const {
    const auto style = dotted ? Surface::PenStyle::Dotted : Surface::PenStyle::Solid;
    dc.SetPen(Surface::Pen{style, 1, m_crColor});
    dc.Line(m_xCentre, m_yCentre, m_x1, m_y1);
    if (toEnd) dc.Line(m_xCentre, m_yCentre, m_x2, m_y2);
}

void CItemSweep::AddToTree(TreeNode& parent, int index) {
    (void)index;
    UpdateAngles();
    AddTreeLine(parent,
                StringFormat("%s：圆心坐标(%d,%d),半径 %d,起始角:%d 终止角:%d 颜色代码:%X%X",
                             Noun(), m_xCentre, m_yCentre, m_nRadius, m_nStartAngle, m_nEndAngle,
                             m_codeHi & 15, m_codeLo & 15));
}

int CItemSweep::Encode(int flashMode, CByteArray& bytes, const DownloadSettings&) {
    (void)flashMode;
    if (GetEncodedLength() == 0) return 0;
    UpdateAngles();
    bytes.push_back(0x1B);
    bytes.push_back(Opcode());
    bytes.push_back(ColourByte());
    AppendWord(bytes, m_xCentre);
    AppendWord(bytes, m_yCentre);
    AppendWord(bytes, m_nRadius);
    AppendWord(bytes, m_nStartAngle);
    AppendWord(bytes, m_nEndAngle);
    return 0;
}

int CItemSweep::GetEncodedLength() {
    return (m_x1 == m_x2 && m_y1 == m_y2) ? 0 : 13;
}

std::unique_ptr<CItemBase> CItemSweep::FinishClone(std::unique_ptr<CItemSweep> copy) const {
    copy->m_nType = TypeCode();
    copy->m_pRgn = Region();
    copy->UpdateHandles();
    return copy;
}
