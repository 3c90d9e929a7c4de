#pragma once
// A straight line between a start and an end point, drawn with the mouse.

#include <memory>

#include "gfx/Region.h"
#include "items/CItemBase.h"

class CItemLine : public CItemBase {
public:
    CItemLine();
    // Pressed at (x, y): the end point follows the mouse until the release.
    CItemLine(int x, int y, COLORREF colour, int penWidth);

    const char* ClassName() const override { return "CItemLine"; }
    void Serialize(Archive& ar) override;

    std::unique_ptr<CItemBase> Clone() const override;
    int UpdateHandles() override;
    int HitTest(int x, int y) override;
    void DrawHandles(Surface& dc) override;
    int MoveHandle(int ox, int oy, int nx, int ny) override;
    int WholeMoveHandle() const override { return 2; }  // the middle
    int OnMouseMove(CursorShape& cursor, int ox, int oy, int nx, int ny) override;
    void Draw(Surface& dc) override;
    void AddToTree(TreeNode& parent, int index) override;
    int Encode(int flashMode, CByteArray& bytes, const DownloadSettings& settings = {}) override;
    int GetEncodedLength() override;

    // The band around the line that picks it; empty until the first UpdateHandles.
    Region m_pRgn;

private:
    void BuildRegion();
};
