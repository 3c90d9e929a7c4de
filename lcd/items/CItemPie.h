#pragma once
// A pie sector: the arc's twin, drawn with its two radii and sent as a pie command.

#include "items/CItemSweep.h"

class CItemPie : public CItemSweep {
public:
    CItemPie();
    // Created at the press point (the centre); the next two presses place the points.
    CItemPie(int x, int y, COLORREF colour);

    const char* ClassName() const override { return "CItemPie"; }
    std::unique_ptr<CItemBase> Clone() const override;

protected:
    int32_t TypeCode() const override { return 30; }
    uint8_t Opcode() const override { return 0x17; }
    const char* Noun() const override { return "扇形"; }
    bool ShowsMoveCursor(int handle) const override;
    void DrawCurve(Surface& dc) const override;
};
