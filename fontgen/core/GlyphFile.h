#pragma once
// The dot-matrix font file the generator writes and the editor's custom font download
// sends as it is. No header, no index, no trailer: the glyphs of the characters one after
// the other, in the order of the characters.
//
//   glyph size   ((W + 7) / 8) * H bytes, W x H the cell in pixels (1..255 each); the
//                reader must be told W and H, the file does not carry them
//   one glyph    H rows, top to bottom; each row (W + 7) / 8 bytes, left to right
//   one byte     bit 7 is the leftmost pixel, a set bit is ink; the bits of a row's last
//                byte beyond column W - 1 are 0

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// One W x H one-bit cell, rows top to bottom, one byte (0 or 1) per pixel.
struct Cell {
    Cell() = default;
    Cell(int w, int h) : width(w), height(h), ink(static_cast<size_t>(w) * h, 0) {}
    bool At(int x, int y) const { return ink[static_cast<size_t>(y) * width + x] != 0; }
    void Set(int x, int y) { ink[static_cast<size_t>(y) * width + x] = 1; }

    int width = 0;
    int height = 0;
    std::vector<uint8_t> ink;
};

class GlyphFile {
public:
    static constexpr int kMaxSide = 255;
    // The viewer reads a whole file; anything larger than this is not a font file.
    static constexpr size_t kMaxFileBytes = 64u << 20;

    // "" when W x H is a cell size the file format allows, else the complaint. A side of
    // 0 would make the glyph size 0, which the viewer divides by.
    static std::string CheckCellSize(int width, int height);
    static size_t GlyphBytes(int width, int height) {
        return static_cast<size_t>((width + 7) / 8) * static_cast<size_t>(height);
    }
    // Appends the packed bytes of `cell` to `out`.
    static void Pack(const Cell& cell, std::vector<uint8_t>& out);

    // The viewer's side. Reads the file at `path` for cells of W x H; false with `error`
    // set (and the previous contents kept) when the size is refused or the file cannot be
    // read.
    bool Load(const std::string& path, int width, int height, std::string& error);
    // Takes a file's bytes (the cell size must be valid).
    void SetBytes(std::vector<uint8_t> bytes, int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Whole glyphs in the file: a length that is not a multiple of the glyph size is
    // rounded down.
    size_t Count() const { return m_count; }
    size_t FileBytes() const { return m_bytes.size(); }
    // "" or a note about the bytes after the last whole glyph.
    std::string Note() const;
    // Glyph `index` unpacked into `cell`; false (and an empty cell) past the last glyph.
    bool Glyph(size_t index, Cell& cell) const;
    // "" when glyph `index` exists, else what the viewer says instead of drawing.
    std::string Missing(size_t index) const;

private:
    std::vector<uint8_t> m_bytes;
    int m_width = 0;
    int m_height = 0;
    size_t m_count = 0;
};
