#pragma once
// A circle, hollow or solid: (x1, y1) is the centre and (x2, y2) a point on the circle.
// It is moved by its centre handle and sized by its radius handle.

#include <memory>

#include "gfx/Region.h"
#include "items/CItemBase.h"

class CItemRound : public CItemBase {
public:
    CItemRound();
    // Pressed at (x, y): the radius point follows the mouse as a drag of handle 2.
    CItemRound(int x, int y, COLORREF colour, COLORREF fill, bool solid);

    const char* ClassName() const override { return "CItemRound"; }
    void Serialize(Archive& ar) override;

    std::unique_ptr<CItemBase> Clone() const override;
    int UpdateHandles() override;
    int HitTest(int x, int y) override;
    void DrawHandles(Surface& dc) override;
    int MoveHandle(int ox, int oy, int nx, int ny) override;
    int WholeMoveHandle() const override { return 1; }  // the centre
    int OnMouseMove(CursorShape& cursor, int ox, int oy, int nx, int ny) override;
    void Draw(Surface& dc) override;
    void AddToTree(TreeNode& parent, int index) override;
    int Encode(int flashMode, CByteArray& bytes, const DownloadSettings& settings = {}) override;
    int GetEncodedLength() override;

    // The distance from (x1, y1) to (x2, y2), square root truncated.
    int64_t Radius() const;
    Rect Bounds() const override;

    Region m_pRgn;
    int32_t m_xCentre = 0;
    int32_t m_yCentre = 0;
    int32_t m_nRadius = 0;  // as last drawn or hit-tested

private:
    bool DraggingRadius() const { return m_bDragging && m_nHandle == 2; }
};
