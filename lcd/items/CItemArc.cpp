#include "items/CItemArc.h"

#include "gfx/Surface.h"
#include "items/ArcGeometry.h"

CItemArc::CItemArc() {
    m_nType = 40;
}

CItemArc::CItemArc(int x, int y, COLORREF colour) : CItemSweep(x, y, colour, 40) {}

std::unique_ptr<CItemBase> CItemArc::Clone() const {
    return FinishClone(std::make_unique<CItemArc>(*this));
}

void CItemArc::DrawHandles(Surface& dc) {
    DrawRays(dc, true, true);
    CItemSweep::DrawHandles(dc);
}

// The arc has always shown the move cursor over its body, centre and start point, and
// the cross-hair over its end point.
bool CItemArc::ShowsMoveCursor(int handle) const {
    return handle >= 0 && handle <= 2;
}

void CItemArc::DrawCurve(Surface& dc) const {
    if (m_nStep == 1) {
        DrawRays(dc, true, false);
        return;
    }
    if (m_nStep == 2) DrawRays(dc, true, true);
    dc.SetPen(Surface::Pen{Surface::PenStyle::Solid, 1, m_crColor});
    const Rect box = CurveBox(ArcGeometry::RoundedDistance(m_xCentre, m_yCentre, m_x1, m_y1));
    dc.Arc(box.left, box.top, box.right, box.bottom, StartDegrees(), EndDegrees());
}
