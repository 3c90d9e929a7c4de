#pragma once
// The two dot-matrix fonts the canvas draws text with:
//   ASC16: 256 glyphs of 8 x 16, glyph b at b * 16, one byte per row, bit 7 leftmost.
//   hzk16: the GB2312 grid of 94 x 94 glyphs of 16 x 16, glyph (b1, b2) at
//          ((b1 - 0xA1) * 94 + (b2 - 0xA1)) * 32, two bytes per row.
// A glyph that lies outside the file, or a code outside the grid, is blank: a short or
// damaged file never makes a reader go past its end.
//
// Fonts are read once and never change afterwards, so any thread (the canvas, a
// download worker, the module simulator) may share them without locks.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class DotFont {
public:
    static constexpr size_t kAsciiGlyphBytes = 16;
    static constexpr size_t kHanziGlyphBytes = 32;

    DotFont(std::vector<uint8_t> bytes, size_t glyphBytes);
    // The font in the file at `path`; null when it cannot be read.
    static std::shared_ptr<const DotFont> ReadFile(const std::string& path, size_t glyphBytes);

    // File offsets of a glyph; -1 for a code outside the font's grid.
    static int64_t AsciiOffset(uint8_t code) { return int64_t{code} * 16; }
    static int64_t HanziOffset(uint8_t first, uint8_t second);

    size_t GlyphBytes() const { return m_glyphBytes; }
    size_t Size() const { return m_bytes.size(); }
    // Copies GlyphBytes() bytes of the glyph at `offset` into `out`; every byte outside
    // the file (or a negative offset) is 0. Returns false when nothing of the glyph lay
    // inside the file.
    bool CopyGlyph(int64_t offset, uint8_t* out) const;

private:
    std::vector<uint8_t> m_bytes;
    size_t m_glyphBytes;
};

// The pair of fonts text is drawn with; either may be missing (its file could not be read).
class DotFonts {
public:
    DotFonts(std::shared_ptr<const DotFont> ascii, std::shared_ptr<const DotFont> hanzi);

    const DotFont* Ascii() const { return m_ascii.get(); }
    const DotFont* Hanzi() const { return m_hanzi.get(); }
    bool Complete() const { return m_ascii && m_hanzi; }

    // Reads both files.
    static std::shared_ptr<const DotFonts> Load(const std::string& asciiPath,
                                                const std::string& hanziPath);
    // The program's fonts "ASC16" and "hzk16", found through AppPaths and read on first
    // use. A pair with a font missing is looked for again on the next call (the user may
    // restore the file); a complete pair is kept for the life of the process.
    static std::shared_ptr<const DotFonts> Shared();

private:
    std::shared_ptr<const DotFont> m_ascii;
    std::shared_ptr<const DotFont> m_hanzi;
};
