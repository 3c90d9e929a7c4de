#include "items/CItemPie.h"

#include "gfx/Surface.h"
#include "items/ArcGeometry.h"

CItemPie::CItemPie() {
    m_nType = 30;
}

CItemPie::CItemPie(int x, int y, COLORREF colour) : CItemSweep(x, y, colour, 30) {}

std::unique_ptr<CItemBase> CItemPie::Clone() const {
    return FinishClone(std::make_unique<CItemPie>(*this));
}

// The pie shows the move cursor over its three handles only, the cross-hair elsewhere.
bool CItemPie::ShowsMoveCursor(int handle) const {
    return handle >= 1 && handle <= 3;
}

void CItemPie::DrawCurve(Surface& dc) const {
    if (m_nStep == 1) {
        DrawRays(dc, false, false);
        return;
    }
    // Outline only: the brush stays empty.
    const Rect box = CurveBox(ArcGeometry::TruncatedDistance(m_xCentre, m_yCentre, m_x1, m_y1));
    dc.Pie(box.left, box.top, box.right, box.bottom, StartDegrees(), EndDegrees());
}
