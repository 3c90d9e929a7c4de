#pragma once
// BMP pictures: files with the 14-byte file header or bare DIBs, 12-byte (older) and
// 40-byte or longer info headers, 1, 4, 8, 16, 24 and 32 bits per pixel without
// compression, and 16 and 32 bits with bit-field masks (widened to 24 bits). Writing
// gives a 40-byte header and the picture's own depth.

#include <cstdio>

#include "images/CImageImpl.h"

class CImageImplBMP : public CImageImpl {
public:
    bool ReadMemory(std::span<const uint8_t> data) override;
    // Writes through a temporary file beside `path`, renamed over it once complete.
    bool Write(const std::string& path) override;
    // Writes the whole BMP file to an open stream; false on a write error or when there
    // is no picture.
    bool WriteStream(std::FILE* file) const;
    // The exact length WriteStream produces (0 without picture).
    int64_t FileBytes() const;
};
