#include "items/CItemRectangle.h"

#include "base/Archive.h"
#include "base/StringFormat.h"
#include "gfx/Surface.h"

namespace {

constexpr int32_t kCloneType = 2;
constexpr int32_t kDrawnType = 3;

}  // namespace

CItemRectangle::CItemRectangle() {
    m_nType = kCloneType;
}

CItemRectangle::CItemRectangle(int x, int y, COLORREF colour, COLORREF fill, bool solid) {
    m_nType = kDrawnType;
    m_x1 = m_x2 = x;
    m_y1 = m_y2 = y;
    m_crColor = colour;
    m_crFill = fill;
    m_bSolid = solid ? 1 : 0;
    m_nHandle = 5;
    m_bSelected = 1;
    m_bDragging = 1;
}

void CItemRectangle::Serialize(Archive& ar) {
    SerializeBox(ar);
    if (ar.IsLoading()) m_bCreating = 0;
}

std::unique_ptr<CItemBase> CItemRectangle::Clone() const {
    auto copy = std::make_unique<CItemRectangle>(*this);
    copy->m_nType = kCloneType;
    copy->UpdateHandles();
    return copy;
}

void CItemRectangle::Draw(Surface& dc) {
    dc.SetPen(Surface::Pen{Surface::PenStyle::Solid, 1, m_crColor});
    dc.SetBrush(m_bSolid ? Surface::Brush{Surface::BrushStyle::Solid, m_crFill}
                         : Surface::Brush{Surface::BrushStyle::None, 0});
    dc.Rectangle(m_x1, m_y1, m_x2, m_y2);
}

void CItemRectangle::AddToTree(TreeNode& parent, int index) {
    (void)index;
    // Any non-zero flag is drawn and encoded solid, so it is described so too.
    AddTreeLine(parent, StringFormat("%s矩形：左上角(%d,%d),右下角(%d,%d),颜色代码 %X%X",
                                     m_bSolid ? "实心" : "空心", m_x1, m_y1, m_x2, m_y2,
                                     unsigned{m_codeHi}, unsigned{m_codeLo}));
}

int CItemRectangle::Encode(int flashMode, CByteArray& bytes, const DownloadSettings&) {
    (void)flashMode;
    // The module fills a solid rectangle with the item's one colour code.
    return EncodeTwoPoint(bytes, m_bSolid ? 0x41 : 0x5A);
}

int CItemRectangle::GetEncodedLength() {
    return TwoPointLength();
}
