#pragma once
// One character of a text item: its code, its place and size from the last layout, its
// magnifications and colour, and its glyph once it has been read from the font.

#include <cstdint>
#include <string>

#include "base/Colour.h"

class DotFonts;
class Surface;

class CTextChar {
public:
    // What a character's glyph load found.
    enum class GlyphState { Loaded, FontMissing };

    CTextChar() = default;

    // A carriage return breaks the line; it is never drawn nor sent to the module.
    bool IsReturn() const { return !m_bDouble && m_lead == 13; }
    // Width of the laid-out character for a cell of W x H (a GB2312 character takes a full
    // cell per horizontal magnification, an ASCII one half a cell), and its height.
    int64_t LayoutWidth(int cellWidth) const;
    int64_t LayoutHeight(int cellHeight) const;
    // Reads the glyph from `fonts` into the cache unless it is cached. A glyph outside the
    // font file is blank; only a missing font leaves the cache empty.
    GlyphState LoadGlyph(const DotFonts& fonts);
    // Draws the cached glyph into the character's box at (m_x, m_y), scaled from 8 x 16 or
    // 16 x 16 to the box, then inverts the box when highlighted. Only the part of the box
    // on the surface is visited.
    void DrawGlyph(Surface& dc, int cellWidth, int cellHeight) const;
    // The character's one or two bytes as UTF-8 text (a carriage return is "\r"); bytes
    // that are no character give "?".
    std::string Utf8() const;

    uint8_t m_lead = 0;
    uint8_t m_trail = 0;
    COLORREF m_crColor = 0;
    int32_t m_x = 0;
    int32_t m_y = 0;
    int32_t m_nHMag = 1;
    int32_t m_nVMag = 1;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_bHighlight = 0;
    int32_t m_bDouble = 0;
    uint8_t m_codeLo = 0;
    uint8_t m_codeHi = 0;
    uint8_t m_glyphAsc[16] = {};
    uint8_t m_glyphHz[32] = {};
    int32_t m_bGlyphLoaded = 0;
};
