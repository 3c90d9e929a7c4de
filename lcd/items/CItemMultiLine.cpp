#include "items/CItemMultiLine.h"

CItemMultiLine::CItemMultiLine() {
    m_nType = 50;
}

CItemMultiLine::CItemMultiLine(int x, int y, COLORREF colour) : CItemPointList(x, y, colour, 50) {}

std::unique_ptr<CItemBase> CItemMultiLine::Clone() const {
    return FinishClone(std::make_unique<CItemMultiLine>(*this));
}
