#pragma once
// A flood fill of the canvas from a seed point up to a border colour. Its box is the seed
// point itself, so the generic handles sit on the seed and a drag moves the seed.

#include <cstdint>
#include <functional>
#include <memory>

#include "items/CItemBase.h"

// What the fill colour dialog hands back: both colours as screen colour and code nibbles.
struct FillChoice {
    COLORREF fillColour, borderColour;
    uint8_t fillHi, fillLo, borderHi, borderLo;
};
// Runs the fill colour dialog; false when the user cancelled it.
using FillDialog = std::function<bool(FillChoice&)>;

class CItemFill : public CItemBase {
public:
    CItemFill();
    // Clicked at (x, y): asks `dialog` for the colours; m_bValid tells whether it was
    // confirmed (the caller drops the item otherwise).
    CItemFill(int x, int y, const FillDialog& dialog);

    const char* ClassName() const override { return "CItemFill"; }
    void Serialize(Archive& ar) override;

    std::unique_ptr<CItemBase> Clone() const override;
    int MoveHandle(int ox, int oy, int nx, int ny) override;
    void Draw(Surface& dc) override;
    void AddToTree(TreeNode& parent, int index) override;
    int Encode(int flashMode, CByteArray& bytes, const DownloadSettings& settings = {}) override;
    int GetEncodedLength() override;

    int32_t m_xSeed = 0;
    int32_t m_ySeed = 0;
    COLORREF m_crFillColor = 0;
    COLORREF m_crBorder = 0;
    uint8_t m_fillLo = 0;
    uint8_t m_fillHi = 0;
    uint8_t m_borderLo = 0;
    uint8_t m_borderHi = 0;
    int32_t m_bValid = 0;

private:
    // Puts the box on the seed.
    void BoxOnSeed();
};
