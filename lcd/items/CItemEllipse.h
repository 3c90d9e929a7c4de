#pragma once
// An ellipse, hollow or solid, inscribed in the box between a press corner and the
// opposite corner. Handles and drags are the generic ones; the body is the ellipse.

#include <memory>

#include "gfx/Region.h"
#include "items/CItemBase.h"

class CItemEllipse : public CItemBase {
public:
    CItemEllipse();
    // Pressed at (x, y): the opposite corner follows the mouse until the release.
    CItemEllipse(int x, int y, COLORREF colour, COLORREF fill, bool solid);

    const char* ClassName() const override { return "CItemEllipse"; }
    void Serialize(Archive& ar) override;

    std::unique_ptr<CItemBase> Clone() const override;
    int UpdateHandles() override;
    int HitTest(int x, int y) override;
    void Draw(Surface& dc) override;
    void AddToTree(TreeNode& parent, int index) override;
    int Encode(int flashMode, CByteArray& bytes, const DownloadSettings& settings = {}) override;
    int GetEncodedLength() override;

    // The ellipse's interior; empty until the first UpdateHandles and for a flat box.
    Region m_pRgn;
};
