#pragma once
// A polygon: the closed chain of edges through its points, the last joined to the first.

#include "items/CItemPointList.h"

class CItemMultiLine : public CItemPointList {
public:
    CItemMultiLine();
    // Created with its first point at the press; more presses add points, a right click ends.
    CItemMultiLine(int x, int y, COLORREF colour);

    const char* ClassName() const override { return "CItemMultiLine"; }
    std::unique_ptr<CItemBase> Clone() const override;

protected:
    int32_t TypeCode() const override { return 50; }
    bool IsClosed() const override { return true; }
    const char* Noun() const override { return "多边形"; }
};
