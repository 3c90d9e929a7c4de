#include "items/CItemPoly.h"

CItemPoly::CItemPoly() {
    m_nType = 18;
}

CItemPoly::CItemPoly(int x, int y, COLORREF colour) : CItemPointList(x, y, colour, 18) {}

std::unique_ptr<CItemBase> CItemPoly::Clone() const {
    return FinishClone(std::make_unique<CItemPoly>(*this));
}
