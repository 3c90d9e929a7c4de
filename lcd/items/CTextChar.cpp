#include "items/CTextChar.h"

#include <algorithm>
#include <limits>

#include "base/GbkCodec.h"
#include "gfx/Surface.h"
#include "items/DotFont.h"

namespace {

int32_t Clamp32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace

int64_t CTextChar::LayoutWidth(int cellWidth) const {
    if (m_bDouble) return int64_t{cellWidth} * m_nHMag;
    return int64_t{m_nHMag} * (cellWidth / 2);
}

int64_t CTextChar::LayoutHeight(int cellHeight) const {
    return int64_t{cellHeight} * m_nVMag;
}

CTextChar::GlyphState CTextChar::LoadGlyph(const DotFonts& fonts) {
    if (m_bGlyphLoaded) return GlyphState::Loaded;
    if (m_bDouble) {
        const DotFont* font = fonts.Hanzi();
        if (!font) return GlyphState::FontMissing;
        font->CopyGlyph(DotFont::HanziOffset(m_lead, m_trail), m_glyphHz);
    } else {
        const DotFont* font = fonts.Ascii();
        if (!font) return GlyphState::FontMissing;
        font->CopyGlyph(DotFont::AsciiOffset(m_lead), m_glyphAsc);
    }
    m_bGlyphLoaded = 1;
    return GlyphState::Loaded;
}

void CTextChar::DrawGlyph(Surface& dc, int cellWidth, int cellHeight) const {
    const int srcWidth = m_bDouble ? 16 : 8;
    const int64_t w = m_bDouble ? int64_t{cellWidth} * m_nHMag : int64_t{cellWidth} * m_nHMag / 2;
    const int64_t h = int64_t{cellHeight} * m_nVMag;
    if (m_bGlyphLoaded && w > 0 && h > 0) {
        // The error-accumulating scaler puts destination column c on source column
        // c * srcWidth / w (its accumulator is back at zero after every row), and row r on
        // r * 16 / h; computing that directly lets us skip the part off the surface.
        const int64_t c0 = std::max<int64_t>(0, -int64_t{m_x});
        const int64_t c1 = std::min<int64_t>(w, int64_t{dc.Width()} - m_x);
        const int64_t r0 = std::max<int64_t>(0, -int64_t{m_y});
        const int64_t r1 = std::min<int64_t>(h, int64_t{dc.Height()} - m_y);
        for (int64_t r = r0; r < r1; ++r) {
            const int64_t row = r * 16 / h;
            for (int64_t c = c0; c < c1; ++c) {
                const int64_t col = c * srcWidth / w;
                const uint8_t bits = m_bDouble ? m_glyphHz[row * 2 + col / 8] : m_glyphAsc[row];
                if (bits & (0x80 >> (col % 8))) {
                    dc.SetPixel(static_cast<int>(m_x + c), static_cast<int>(m_y + r), m_crColor);
                }
            }
        }
    }
    if (m_bHighlight) {
        const int64_t boxW = int64_t{m_bDouble ? cellWidth : cellWidth / 2} * m_nHMag;
        const int64_t boxH = int64_t{cellHeight} * m_nVMag;
        const Surface::Brush saved = dc.GetBrush();
        dc.SetBrush(Surface::Brush{Surface::BrushStyle::Solid, Rgb(255, 255, 255)});
        dc.PatternInvert(m_x, m_y, Clamp32(m_x + boxW), Clamp32(m_y + boxH));
        dc.SetBrush(saved);
    }
}

std::string CTextChar::Utf8() const {
    if (IsReturn()) return "\r";
    if (m_bDouble) {
        std::string out;
        const std::string gbk{static_cast<char>(m_lead), static_cast<char>(m_trail)};
        return GbkCodec::ToUtf8(gbk, out) ? out : "?";
    }
    if (m_lead >= 32 && m_lead <= 126) return std::string(1, static_cast<char>(m_lead));
    return "?";
}
