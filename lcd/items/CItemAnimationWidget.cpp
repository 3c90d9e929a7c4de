#include "items/CItemAnimationWidget.h"

#include "base/Archive.h"
#include "base/StringFormat.h"
#include "gfx/Surface.h"

namespace {

constexpr int32_t kType = 13;

}  // namespace

CItemAnimationWidget::CItemAnimationWidget() {
    m_nType = kType;
}

CItemAnimationWidget::CItemAnimationWidget(int x, int y, COLORREF colour) {
    m_nType = kType;
    m_x1 = x, m_y1 = y;
    m_x2 = Saturate32(int64_t{x} + 32), m_y2 = Saturate32(int64_t{y} + 16);
    m_crColor = colour;
    m_nPenWidth = 1;
    m_nHandle = 5;
    m_bDragging = 1;
    m_bCreating = 1;
}

void CItemAnimationWidget::Serialize(Archive& ar) {
    ar.Point(m_x1, m_y1);
    ar.Point(m_x2, m_y2);
    ar.Int32(m_nAnimValue);
    if (ar.IsLoading()) m_bCreating = 0;
}

std::unique_ptr<CItemBase> CItemAnimationWidget::Clone() const {
    auto copy = std::make_unique<CItemAnimationWidget>(*this);
    copy->m_nType = kType;
    copy->UpdateHandles();
    return copy;
}

void CItemAnimationWidget::DrawHandles(Surface& dc) {
    UpdateHandles();
    DrawMarks(dc, false, 1, 9);
    m_bSelected = 1;
}

int CItemAnimationWidget::OnLButtonUp(int x, int y) {
    // The release does not size the widget: it keeps the box it was placed with.
    (void)x;
    (void)y;
    m_bDragging = 0;
    m_bCreating = 0;
    return 0;
}

int CItemAnimationWidget::OnMouseMove(CursorShape& cursor, int ox, int oy, int nx, int ny) {
    if (m_bCreating) return 1;
    return CItemBase::OnMouseMove(cursor, ox, oy, nx, ny);
}

void CItemAnimationWidget::Draw(Surface& dc) {
    // The widget has no colour of its own (the module receives it as a line): its box is
    // a frame of black dots over white, seen on any page, where the pen left by the item
    // before could be the page's own colour and hide it.
    dc.SetBrush(Surface::Brush{Surface::BrushStyle::None, 0});
    dc.SetPen(Surface::Pen{Surface::PenStyle::Solid, 1, 0xFFFFFF});
    dc.Rectangle(m_x1, m_y1, m_x2, m_y2);
    dc.SetPen(Surface::Pen{Surface::PenStyle::Dotted, 1, 0});
    dc.Rectangle(m_x1, m_y1, m_x2, m_y2);
}

void CItemAnimationWidget::AddToTree(TreeNode& parent, int index) {
    (void)index;
    AddTreeLine(parent, StringFormat("直线：起点(%d,%d),终点(%d,%d)", m_x1, m_y1, m_x2, m_y2));
}

int CItemAnimationWidget::Encode(int flashMode, CByteArray& bytes, const DownloadSettings&) {
    (void)flashMode;
    return EncodeTwoPoint(bytes, 0x46);
}

int CItemAnimationWidget::GetEncodedLength() {
    return TwoPointLength();
}
