#pragma once
// A polyline: an open chain of segments through its points.

#include "items/CItemPointList.h"

class CItemPoly : public CItemPointList {
public:
    CItemPoly();
    // Created with its first point at the press; more presses add points, a right click ends.
    CItemPoly(int x, int y, COLORREF colour);

    const char* ClassName() const override { return "CItemPoly"; }
    std::unique_ptr<CItemBase> Clone() const override;

protected:
    int32_t TypeCode() const override { return 18; }
    bool IsClosed() const override { return false; }
    const char* Noun() const override { return "折线"; }
};
