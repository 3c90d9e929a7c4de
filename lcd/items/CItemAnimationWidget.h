#pragma once
// A rectangle standing for an animation of the module. Handles, hit test and drags are the
// generic ones; the module gets the line command over the box.

#include <cstdint>
#include <memory>

#include "items/CItemBase.h"

// Its page records name the class "CitemAnimationWidget", with a lower-case "i": the name
// is part of the page file format.
class CItemAnimationWidget : public CItemBase {
public:
    CItemAnimationWidget();
    // Placed at the press point with the page's screen colour; keeps its 32 x 16 box.
    CItemAnimationWidget(int x, int y, COLORREF colour);

    const char* ClassName() const override { return "CitemAnimationWidget"; }
    void Serialize(Archive& ar) override;

    std::unique_ptr<CItemBase> Clone() const override;
    void DrawHandles(Surface& dc) override;
    int OnLButtonUp(int x, int y) override;
    int OnMouseMove(CursorShape& cursor, int ox, int oy, int nx, int ny) override;
    // The box with the surface's current pen and brush.
    void Draw(Surface& dc) override;
    void AddToTree(TreeNode& parent, int index) override;
    int Encode(int flashMode, CByteArray& bytes, const DownloadSettings& settings = {}) override;
    int GetEncodedLength() override;

    int32_t m_nAnimValue = 0;
};
