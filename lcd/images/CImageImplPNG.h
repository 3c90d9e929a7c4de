#pragma once
// PNG pictures through libpng: transparency and alpha blended onto a background, which
// is the light blue (31, 127, 255) for truecolour and palette pictures and black (grey 0)
// for grey ones of every depth; 16-bit channels reduced to 8, interlace passes filled in
// place. The picture keeps 1, 4 or 8 bits for palettes (2 bits become 8), 8 bits with a
// grey ramp for grey, and 24 bits for truecolour.

#include "images/CImageImpl.h"

class CImageImplPNG : public CImageImpl {
public:
    bool ReadMemory(std::span<const uint8_t> data) override;
};
