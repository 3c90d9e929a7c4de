#pragma once
// Dot fonts made from bytes for one test; an empty vector stands for a missing font file.

#include <memory>
#include <vector>

#include "items/DotFont.h"

inline std::shared_ptr<const DotFonts> MakeFonts(const std::vector<uint8_t>& asc,
                                                 const std::vector<uint8_t>& hz) {
    const auto font = [](const std::vector<uint8_t>& bytes, size_t glyph) {
        return bytes.empty() ? nullptr : std::make_shared<const DotFont>(bytes, glyph);
    };
    return std::make_shared<const DotFonts>(font(asc, DotFont::kAsciiGlyphBytes),
                                            font(hz, DotFont::kHanziGlyphBytes));
}
