#pragma once
// An arc: the part of a circle swept clockwise from its start point to its end point.

#include "items/CItemSweep.h"

class CItemArc : public CItemSweep {
public:
    CItemArc();
    // Created at the press point (the centre); the next two presses place the points.
    CItemArc(int x, int y, COLORREF colour);

    const char* ClassName() const override { return "CItemArc"; }
    std::unique_ptr<CItemBase> Clone() const override;
    void DrawHandles(Surface& dc) override;

protected:
    int32_t TypeCode() const override { return 40; }
    uint8_t Opcode() const override { return 0x16; }
    const char* Noun() const override { return "圆弧"; }
    bool ShowsMoveCursor(int handle) const override;
    void DrawCurve(Surface& dc) const override;
};
