#pragma once
// One of the two dot-matrix font files the canvas draws text with, read once and kept in
// memory:
//   ASC16: 256 glyphs of 8 x 16, glyph b at b * 16, one byte per row, bit 7 leftmost.
//   hzk16: the GB2312 grid of 94 x 94 glyphs of 16 x 16, glyph (b1, b2) at
//          ((b1 - 0xA1) * 94 + (b2 - 0xA1)) * 32, two bytes per row.
// A glyph that lies outside the file, or a code outside the grid, is blank: a short or
// damaged file never makes a reader go past its end.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class DotFont {
public:
    static constexpr size_t kAsciiGlyphBytes = 16;
    static constexpr size_t kHanziGlyphBytes = 32;

    DotFont(std::string fileName, size_t glyphBytes);

    // The process's two fonts, found through AppPaths on first use.
    static DotFont& Ascii();
    static DotFont& Hanzi();

    // File offsets of a glyph; -1 for a code outside the font's grid.
    static int64_t AsciiOffset(uint8_t code) { return int64_t{code} * 16; }
    static int64_t HanziOffset(uint8_t first, uint8_t second);

    // Loads the file unless it is loaded already; false when it cannot be read. A failed
    // attempt is tried again on the next call (the user may restore the file).
    bool EnsureLoaded();
    bool IsLoaded() const { return m_loaded; }
    // Reads the font from `path` now; false (and unloaded) when it cannot be read.
    bool LoadFile(const std::string& path);
    // Takes the font's bytes directly.
    void LoadBytes(std::vector<uint8_t> bytes);
    // Forgets the loaded bytes; the next EnsureLoaded reads the file again.
    void Unload();
    // Reads from this path instead of searching the font directories ("" searches again).
    void SetPath(const std::string& path) { m_path = path; }

    const std::string& FileName() const { return m_fileName; }
    size_t GlyphBytes() const { return m_glyphBytes; }
    size_t Size() const { return m_bytes.size(); }

    // Copies GlyphBytes() bytes of the glyph at `offset` into `out`; every byte outside
    // the file (or a negative offset) is 0. Returns false when nothing of the glyph lay
    // inside the file.
    bool CopyGlyph(int64_t offset, uint8_t* out) const;

private:
    std::string m_fileName;
    size_t m_glyphBytes;
    std::string m_path;
    bool m_loaded = false;
    std::vector<uint8_t> m_bytes;
};
