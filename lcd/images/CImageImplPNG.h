#pragma once
// PNG pictures through libpng: transparency and alpha blended onto the light blue
// background (31, 127, 255) (grey pictures onto grey 0, palette pictures onto entry 0),
// 16-bit channels reduced to 8, interlace passes filled in place. The picture keeps 1, 4
// or 8 bits for palettes (2 bits become 8), 8 bits with a grey ramp for grey, and 24 bits
// for truecolour.

#include "images/CImageImpl.h"

class CImageImplPNG : public CImageImpl {
public:
    bool ReadMemory(std::span<const uint8_t> data) override;
};
