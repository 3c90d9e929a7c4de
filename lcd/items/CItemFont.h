#pragma once
// A text box: the user drags out a frame and types into it. Every character keeps its own
// magnifications and colour; the text flows inside the frame's width and the frame grows
// downward. The canvas draws the glyphs from the dot-matrix fonts; the module receives
// the character codes.

#include <cstdint>
#include <memory>
#include <vector>

#include "items/CItemBase.h"
#include "items/CTextChar.h"
#include "items/DotFont.h"

class CItemFont : public CItemBase {
public:
    // Where the view shows the text caret (a 1-pixel-wide bar); shown only while editing.
    struct Caret {
        bool visible = false;
        int32_t x = 0;
        int32_t y = 0;
        int32_t height = 0;
    };

    CItemFont();
    // Starts a text box at the press point with the page's screen colour.
    CItemFont(int x, int y, COLORREF colour);

    const char* ClassName() const override { return "CItemFont"; }
    void Serialize(Archive& ar) override;

    std::unique_ptr<CItemBase> Clone() const override;
    int UpdateHandles() override;
    void DrawHandles(Surface& dc) override;
    int MoveHandle(int ox, int oy, int nx, int ny) override;
    int OnLButtonDown(int x, int y) override;
    int OnLButtonUp(int x, int y) override;
    int OnMouseMove(CursorShape& cursor, int ox, int oy, int nx, int ny) override;
    // Lays the text out with the cell size of a one-to-one canvas (16 x 16) and draws it.
    void Draw(Surface& dc) override;
    void AddToTree(TreeNode& parent, int index) override;
    int Encode(int flashMode, CByteArray& bytes, const DownloadSettings& settings = {}) override;
    int GetEncodedLength() override;

    // Draw with an explicit cell size, for a surface that is not the page's own size.
    void DrawCells(Surface& dc, int cellWidth, int cellHeight);
    // The cell size along one axis for a view `viewExtent` pixels long showing a page
    // `logicalExtent` pixels long: 16 * view / logical, rounded to nearest with an exact
    // half rounding down; 16 when the page extent is not positive.
    static int CellSize(int viewExtent, int logicalExtent);

    // One typed byte (GBK) with the page's current colour code. 1 when a character was
    // inserted or the byte was dealt with, 0 when a GB2312 first byte is now pending.
    int InsertChar(uint8_t b, uint8_t codeLo, uint8_t codeHi);
    // Backspace (backward = 1) or delete (0). Highlighted characters go first, all of
    // them. 1 when something was deleted.
    int DeleteChar(int backward);
    // Puts the caret at the character edge nearest a canvas point; returns its index.
    int PlaceCaret(int px, int py);
    // Highlights the characters between the caret places of two points.
    void HighlightRange(int ax, int ay, int bx, int by);
    // Flows the characters inside the frame, grows the frame, places the caret and draws
    // (dc may be null: layout only), noting the fonts it could not find.
    void LayoutAndDraw(Surface* dc, int cellWidth, int cellHeight);
    int MissingFonts() const override { return m_nMissingFonts; }
    void ClearHighlights();
    bool HasHighlight() const;
    Caret GetCaret() const;

    std::vector<CTextChar> m_arrChars;
    int32_t m_nCellHeight = 16;
    int32_t m_xCaret = 0;
    int32_t m_yCaret = 0;
    int32_t m_xAnchor = 0;
    int32_t m_yAnchor = 0;
    // Magnifications given to new characters; the layout also runs its line height factor
    // in m_nVMag, so it is left at the last line's factor.
    int32_t m_nHMag = 1;
    int32_t m_nVMag = 1;
    int32_t m_nCaret = -1;
    int32_t m_bCaretValid = 0;
    int32_t m_nCaretHeight = 16;
    int32_t m_bExpectLead = 1;
    uint8_t m_pending[2] = {};
    // The fonts the glyphs come from; null: the program's (DotFonts::Shared()).
    std::shared_ptr<const DotFonts> m_pFonts;
    int32_t m_nMissingFonts = 0;

private:
    // The command stream of Encode; appends to `out` when given and returns the length.
    int Emit(CByteArray* out) const;
    void Insert(const CTextChar& ch);
    void WhiteFrame(Surface& dc) const;
    void TakeCurrent(const CTextChar& ch);
};
