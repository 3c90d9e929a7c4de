#pragma once
// A numeric field of the module: digit counts, font size, sign, alignment, leading zeros,
// an ID and its own foreground and background colours. The canvas shows it as a row of
// zeros from the ASC16 font; the box follows the digits on every draw. The module gets the
// line command over the box.

#include <cstdint>
#include <memory>

#include "items/CItemBase.h"
#include "items/DotFont.h"

class CItemNumberWidget : public CItemBase {
public:
    struct Cell {
        int width;
        int height;
    };

    CItemNumberWidget();
    // Placed at the press point with the page's screen colour; keeps its 32 x 16 box.
    CItemNumberWidget(int x, int y, COLORREF colour);

    const char* ClassName() const override { return "CItemNumberWidget"; }
    void Serialize(Archive& ar) override;

    std::unique_ptr<CItemBase> Clone() const override;
    // Only the outline counts: 0 inside, -1 outside.
    int HitTest(int x, int y) override;
    void DrawHandles(Surface& dc) override;
    int MoveHandle(int ox, int oy, int nx, int ny) override;
    int OnLButtonUp(int x, int y) override;
    int OnMouseMove(CursorShape& cursor, int ox, int oy, int nx, int ny) override;
    // Recomputes the box, fills it with the background colour and draws the zeros (and the
    // point) in the foreground colour; without ASC16 no digits, and the font is missing.
    void Draw(Surface& dc) override;
    int MissingFonts() const override { return m_nMissingFonts; }
    void AddToTree(TreeNode& parent, int index) override;
    int Encode(int flashMode, CByteArray& bytes, const DownloadSettings& settings = {}) override;
    int GetEncodedLength() override;

    // The canvas cell of a font-size choice; a choice no panel offers gets the 8 x 16 cell.
    static Cell CellOf(int fontSize);
    // Characters shown: the digits, the decimals and the point when there are decimals.
    // Negative counts (from a damaged file) count as none.
    int64_t CharCount() const;
    // x2, y2 from x1, y1, the character count and the cell.
    void UpdateBox();

    int32_t m_nReserved = 1;
    int32_t m_nDigits = 2;
    int32_t m_nDecimals = 0;
    int32_t m_bLeadingZeros = 0;
    int32_t m_nFontSize = 0;
    int32_t m_nSign = 0;
    int32_t m_nAlign = 0;
    int32_t m_nId = 0;
    COLORREF m_crFore = 0;
    COLORREF m_crBack = 0;
    uint8_t m_foreHi = 0;
    uint8_t m_foreLo = 0;
    uint8_t m_backHi = 0;
    uint8_t m_backLo = 0;
    // The font the zeros come from; null: the program's (DotFonts::Shared()).
    std::shared_ptr<const DotFonts> m_pFonts;
    int32_t m_nMissingFonts = 0;
};
