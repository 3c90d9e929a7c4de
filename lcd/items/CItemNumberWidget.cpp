#include "items/CItemNumberWidget.h"

#include <algorithm>

#include "base/Archive.h"
#include "base/StringFormat.h"
#include "gfx/Surface.h"
#include "items/CTextChar.h"

namespace {

constexpr int32_t kType = 12;

}  // namespace

CItemNumberWidget::CItemNumberWidget() {
    m_nType = kType;
}

CItemNumberWidget::CItemNumberWidget(int x, int y, COLORREF colour) {
    m_nType = kType;
    m_x1 = x, m_y1 = y;
    m_x2 = Saturate32(int64_t{x} + 32), m_y2 = Saturate32(int64_t{y} + 16);
    m_crColor = colour;
    m_nDigits = 4;
    m_crFore = Rgb(0, 0, 0);
    m_crBack = Rgb(255, 255, 255);
    m_backHi = 15, m_backLo = 15;
    m_nPenWidth = 1;
    m_nHandle = 5;
    m_bDragging = 1;
    m_bCreating = 1;
}

void CItemNumberWidget::Serialize(Archive& ar) {
    ar.Int32(m_nReserved);
    ar.Point(m_x1, m_y1);
    ar.Point(m_x2, m_y2);
    ar.Int32(m_nDigits);
    ar.Int32(m_nDecimals);
    ar.Int32(m_bLeadingZeros);
    ar.Int32(m_nSign);
    ar.Int32(m_nAlign);
    ar.Int32(m_nId);
    ar.UInt32(m_crFore);
    ar.UInt32(m_crBack);
    ar.Int32(m_nFontSize);
    ar.Byte(m_foreHi);
    ar.Byte(m_foreLo);
    ar.Byte(m_backHi);
    ar.Byte(m_backLo);
    if (ar.IsLoading()) m_bCreating = 0;
}

std::unique_ptr<CItemBase> CItemNumberWidget::Clone() const {
    auto copy = std::make_unique<CItemNumberWidget>(*this);
    copy->m_nType = kType;
    copy->UpdateHandles();
    return copy;
}

CItemNumberWidget::Cell CItemNumberWidget::CellOf(int fontSize) {
    switch (fontSize) {
        case 1:
            return Cell{16, 16};
        case 2:
            return Cell{16, 32};
        case 3:
            // Offered as "32X16" but shown as a 32 x 32 cell, as the editor always did.
            return Cell{32, 32};
        default:
            return Cell{8, 16};
    }
}

int64_t CItemNumberWidget::CharCount() const {
    const int64_t digits = std::max(0, m_nDigits);
    const int64_t decimals = std::max(0, m_nDecimals);
    return digits + decimals + (decimals > 0 ? 1 : 0);
}

void CItemNumberWidget::UpdateBox() {
    const Cell cell = CellOf(m_nFontSize);
    m_x2 = Saturate32(int64_t{m_x1} + CharCount() * cell.width);
    m_y2 = Saturate32(int64_t{m_y1} + cell.height);
}

int CItemNumberWidget::HitTest(int x, int y) {
    UpdateHandles();
    Rect body = m_rcHandles[0];
    if (body.left > body.right) std::swap(body.left, body.right);
    if (body.top > body.bottom) std::swap(body.top, body.bottom);
    m_nHandle = body.Contains(x, y) ? 0 : -1;
    return m_nHandle;
}

void CItemNumberWidget::DrawHandles(Surface& dc) {
    UpdateHandles();
    DrawMarks(dc, false, 1, 9);
    m_bSelected = 1;
}

int CItemNumberWidget::MoveHandle(int ox, int oy, int nx, int ny) {
    // The size follows the digits, so only a move of the whole box is taken.
    if (m_nHandle == 0 || m_nHandle == 9) CItemBase::MoveHandle(ox, oy, nx, ny);
    if (!m_bCreating) m_bModified = 1;
    return 0;
}

int CItemNumberWidget::OnLButtonUp(int x, int y) {
    (void)x;
    (void)y;
    m_bDragging = 0;
    m_bCreating = 0;
    return 0;
}

int CItemNumberWidget::OnMouseMove(CursorShape& cursor, int ox, int oy, int nx, int ny) {
    if (m_bCreating) return 1;
    if (m_bDragging) {
        MoveHandle(ox, oy, nx, ny);
        return 1;
    }
    const int h = HitTest(nx, ny);
    if (m_bSelected) cursor = h == 0 ? CursorShape::Move : CursorShape::Cross;
    return 0;
}

void CItemNumberWidget::Draw(Surface& dc) {
    UpdateBox();
    const Cell cell = CellOf(m_nFontSize);
    dc.SetPen(Surface::Pen{Surface::PenStyle::Solid, 1, m_crBack});
    dc.SetBrush(Surface::Brush{Surface::BrushStyle::Solid, m_crBack});
    dc.Rectangle(m_x1, m_y1, m_x2, m_y2);

    m_nMissingFonts = 0;
    const int64_t n = CharCount();
    if (n == 0) return;
    const std::shared_ptr<const DotFonts> fonts = m_pFonts ? m_pFonts : DotFonts::Shared();
    CTextChar zero, point;
    zero.m_lead = '0';
    point.m_lead = '.';
    zero.m_crColor = point.m_crColor = m_crFore;
    if (zero.LoadGlyph(*fonts) != CTextChar::GlyphState::Loaded ||
        point.LoadGlyph(*fonts) != CTextChar::GlyphState::Loaded) {
        m_nMissingFonts = kAsciiFontMissing;
        return;
    }
    // Character k sits at x1 + 4 + k * cw, half its cell wide but never narrower than the
    // font's 8 columns (an 8 x 16 digit squeezed to 4 is unreadable); such a digit fills
    // its cell from the left, so the last one stays inside the box. A damaged file may ask
    // for billions of them, so only the ones that can reach the surface are visited.
    const int glyphWidth = std::max(cell.width, 16) / 2;
    const int64_t left = int64_t{m_x1} + std::min(4, cell.width - glyphWidth);
    const int64_t first = std::max<int64_t>(0, (-left - cell.width / 2) / cell.width);
    const int64_t room = int64_t{dc.Width()} - left;
    const int64_t last = room > 0 ? std::min<int64_t>(n, room / cell.width + 1) : 0;
    const int64_t pointAt = m_nDecimals > 0 ? std::max(0, m_nDigits) : -1;
    for (int64_t k = first; k < last; ++k) {
        CTextChar& c = k == pointAt ? point : zero;
        c.m_x = static_cast<int32_t>(left + k * cell.width);
        c.m_y = m_y1;
        // DrawGlyph gives a single-byte glyph half the cell width it is handed.
        c.DrawGlyph(dc, glyphWidth * 2, cell.height);
    }
}

void CItemNumberWidget::AddToTree(TreeNode& parent, int index) {
    (void)index;
    AddTreeLine(parent, StringFormat("直线：起点(%d,%d),终点(%d,%d)", m_x1, m_y1, m_x2, m_y2));
}

int CItemNumberWidget::Encode(int flashMode, CByteArray& bytes, const DownloadSettings&) {
    (void)flashMode;
    return EncodeTwoPoint(bytes, 0x46);
}

int CItemNumberWidget::GetEncodedLength() {
    return TwoPointLength();
}
