// Fuzzes the font viewer's reading of a font file. The first two bytes are the cell width
// and height the user typed, the rest the file. Whatever the bytes: a refused size is
// told, the count never overruns the file, every whole glyph unpacks inside its cell and
// a glyph past the last shows nothing and says so.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "GlyphFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int width = data[0], height = data[1];
    if (!GlyphFile::CheckCellSize(width, height).empty()) {
        if (width >= 1 && height >= 1) std::abort();  // 1..255 must be accepted
        return 0;
    }
    GlyphFile file;
    file.SetBytes(std::vector<uint8_t>(data + 2, data + size), width, height);
    const size_t glyph = GlyphFile::GlyphBytes(width, height);
    if (file.Count() * glyph > size - 2 || (file.Count() + 1) * glyph <= size - 2) std::abort();
    if (file.Note().empty() != ((size - 2) % glyph == 0)) std::abort();
    Cell cell;
    for (size_t i = 0; i < file.Count() && i < 64; ++i)
        if (!file.Glyph(i, cell) || cell.width != width || cell.height != height ||
            !file.Missing(i).empty())
            std::abort();
    for (size_t past : {file.Count(), file.Count() + 1, SIZE_MAX / 2})
        if (file.Glyph(past, cell) || !cell.ink.empty() || file.Missing(past).empty()) std::abort();
    return 0;
}
