#include "items/CItemEllipse.h"

#include <cstdlib>

#include "base/Archive.h"
#include "base/StringFormat.h"
#include "gfx/Surface.h"

namespace {

constexpr int32_t kSolidType = 4;  // also every clone
constexpr int32_t kHollowType = 5;

}  // namespace

CItemEllipse::CItemEllipse() {
    m_nType = kSolidType;
}

CItemEllipse::CItemEllipse(int x, int y, COLORREF colour, COLORREF fill, bool solid) {
    m_nType = solid ? kSolidType : kHollowType;
    m_x1 = m_x2 = x;
    m_y1 = m_y2 = y;
    m_crColor = colour;
    m_crFill = fill;
    m_bSolid = solid ? 1 : 0;
    m_nHandle = 5;
    m_bSelected = 1;
    m_bDragging = 1;
    m_bCreating = 1;
}

void CItemEllipse::Serialize(Archive& ar) {
    SerializeBox(ar);
    if (ar.IsLoading()) {
        m_bCreating = 0;
        m_pRgn = Region();
    }
}

std::unique_ptr<CItemBase> CItemEllipse::Clone() const {
    auto copy = std::make_unique<CItemEllipse>(*this);
    copy->m_pRgn = Region();
    copy->m_nType = kSolidType;
    copy->UpdateHandles();
    return copy;
}

int CItemEllipse::UpdateHandles() {
    CItemBase::UpdateHandles();
    m_pRgn = Region::Ellipse(m_x1, m_y1, m_x2, m_y2);
    return 0;
}

int CItemEllipse::HitTest(int x, int y) {
    UpdateHandles();
    for (int k = 1; k <= 9; ++k) {
        if (m_rcHandles[k].Contains(x, y)) return m_nHandle = k;
    }
    m_nHandle = m_pRgn.Contains(x, y) ? 0 : -1;
    return m_nHandle;
}

void CItemEllipse::Draw(Surface& dc) {
    dc.SetPen(Surface::Pen{Surface::PenStyle::Solid, 1, m_crColor});
    dc.SetBrush(m_bSolid ? Surface::Brush{Surface::BrushStyle::Solid, m_crFill}
                         : Surface::Brush{Surface::BrushStyle::None, 0});
    dc.Ellipse(m_x1, m_y1, m_x2, m_y2);
}

void CItemEllipse::AddToTree(TreeNode& parent, int index) {
    (void)index;
    AddTreeLine(parent, StringFormat("%s椭圆：左上角(%d,%d),右下角(%d,%d),颜色代码 %X%X",
                                     m_bSolid ? "实心" : "空心", m_x1, m_y1, m_x2, m_y2,
                                     unsigned{m_codeHi}, unsigned{m_codeLo}));
}

int CItemEllipse::Encode(int flashMode, CByteArray& bytes, const DownloadSettings&) {
    (void)flashMode;
    const int64_t x1 = m_x1, y1 = m_y1, x2 = m_x2, y2 = m_y2;
    const int64_t w = std::llabs(x2 - x1), h = std::llabs(y2 - y1);
    if (w == 0 || h == 0) return 0;
    // The module draws a circle of radius h / 2 stretched by the two percentages.
    const int64_t a = w < h ? w * 100 / h : 100;
    const int64_t b = w < h ? 100 : h * 100 / w;
    bytes.push_back(0x1B);
    bytes.push_back(0x4E);
    bytes.push_back(static_cast<uint8_t>(a));
    bytes.push_back(static_cast<uint8_t>(b));
    bytes.push_back(0x1B);
    bytes.push_back(m_bSolid ? 0x13 : 0x59);
    bytes.push_back(ColourByte());
    AppendWord(bytes, x1 + (x2 - x1) / 2);
    AppendWord(bytes, y1 + (y2 - y1) / 2);
    AppendWord(bytes, h / 2);
    return 13;
}

int CItemEllipse::GetEncodedLength() {
    return (m_x1 == m_x2 || m_y1 == m_y2) ? 0 : 13;
}
