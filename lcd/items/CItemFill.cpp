#include "items/CItemFill.h"

#include <algorithm>
#include <limits>

#include "base/Archive.h"
#include "base/ColourCode.h"
#include "base/StringFormat.h"
#include "gfx/Surface.h"

namespace {

constexpr int32_t kFillType = 17;

}  // namespace

CItemFill::CItemFill() {
    m_nType = kFillType;
}

CItemFill::CItemFill(int x, int y, const FillDialog& dialog) {
    m_nType = kFillType;
    FillChoice choice{};
    if (!dialog || !dialog(choice)) return;
    m_xSeed = x;
    m_ySeed = y;
    m_crFillColor = choice.fillColour;
    m_crBorder = choice.borderColour;
    m_fillHi = choice.fillHi;
    m_fillLo = choice.fillLo;
    m_borderHi = choice.borderHi;
    m_borderLo = choice.borderLo;
    m_bValid = 1;
    BoxOnSeed();
}

void CItemFill::BoxOnSeed() {
    m_x1 = m_x2 = m_xSeed;
    m_y1 = m_y2 = m_ySeed;
}

void CItemFill::Serialize(Archive& ar) {
    ar.Int32(m_nType);
    ar.UInt32(m_crFillColor);
    ar.UInt32(m_crBorder);
    ar.Point(m_xSeed, m_ySeed);
    ar.Byte(m_borderLo);
    ar.Byte(m_borderHi);
    ar.Byte(m_fillLo);
    ar.Byte(m_fillHi);
    if (ar.IsLoading()) {
        m_bCreating = 0;
        // A stored fill was confirmed when it was made.
        m_bValid = 1;
        BoxOnSeed();
    }
}

std::unique_ptr<CItemBase> CItemFill::Clone() const {
    auto copy = std::make_unique<CItemFill>(*this);
    copy->m_nType = kFillType;
    copy->UpdateHandles();
    return copy;
}

int CItemFill::MoveHandle(int ox, int oy, int nx, int ny) {
    // Every handle sits on the seed, so any of them, or the body, moves it.
    if (m_nHandle < 0 || m_nHandle > 9) return 0;
    m_xSeed = Saturate32(int64_t{m_xSeed} + nx - ox);
    m_ySeed = Saturate32(int64_t{m_ySeed} + ny - oy);
    BoxOnSeed();
    return 0;
}

void CItemFill::Draw(Surface& dc) {
    dc.SetBrush(Surface::Brush{Surface::BrushStyle::Solid, m_crFillColor});
    dc.FloodFill(m_xSeed, m_ySeed, m_crBorder);
}

void CItemFill::AddToTree(TreeNode& parent, int index) {
    (void)index;
    TreeNode node;
    node.text = StringFormat("填充：填充点(%d,%d)填充色代码 %X%X ,边界颜色代码 %X%X", m_xSeed,
                             m_ySeed, unsigned{m_fillHi}, unsigned{m_fillLo}, unsigned{m_borderHi},
                             unsigned{m_borderLo});
    parent.children.push_back(std::move(node));
}

int CItemFill::Encode(int flashMode, CByteArray& bytes, const DownloadSettings&) {
    (void)flashMode;
    bytes.push_back(0x1B);
    bytes.push_back(0x2A);
    AppendWord(bytes, m_xSeed);
    AppendWord(bytes, m_ySeed);
    bytes.push_back(ColourCode::Byte(m_fillHi, m_fillLo));
    bytes.push_back(ColourCode::Byte(m_borderHi, m_borderLo));
    return 8;
}

int CItemFill::GetEncodedLength() {
    return 8;
}
