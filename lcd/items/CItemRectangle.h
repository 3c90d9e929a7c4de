#pragma once
// An axis-aligned rectangle, hollow or solid, between a press corner and the opposite
// corner. Handles, hit test and drags are the generic ones.

#include <memory>

#include "items/CItemBase.h"

class CItemRectangle : public CItemBase {
public:
    CItemRectangle();
    // Pressed at (x, y): the opposite corner follows the mouse as a drag of handle 5.
    CItemRectangle(int x, int y, COLORREF colour, COLORREF fill, bool solid);

    const char* ClassName() const override { return "CItemRectangle"; }
    void Serialize(Archive& ar) override;

    std::unique_ptr<CItemBase> Clone() const override;
    void Draw(Surface& dc) override;
    void AddToTree(TreeNode& parent, int index) override;
    int Encode(int flashMode, CByteArray& bytes, const DownloadSettings& settings = {}) override;
    int GetEncodedLength() override;
};
