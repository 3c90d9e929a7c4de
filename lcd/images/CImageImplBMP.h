#pragma once
// BMP pictures: files with the 14-byte file header or bare DIBs, 12-byte (older), 16- to
// 39-byte (OS/2 2.x) and 40-byte or longer info headers, bottom-up or top-down rows;
// 1, 4, 8, 16, 24 and 32 bits per pixel without compression, 2 bits (widened to 8),
// run-length 4- and 8-bit pictures, and 16 and 32 bits with bit-field masks (widened to
// 24 bits). Writing gives a 40-byte header and the picture's own depth.

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

private:
    // Run-length codes (4 or 8 bits) into the zero-filled picture. Codes are byte pairs:
    // a count and an index (count pixels of it; for 4 bits the index byte's two nibbles
    // alternate), or 0 and an escape: 0 ends the row, 1 ends the picture, 2 moves right
    // and up by the next two bytes, 3..255 that many literal indices in bytes padded to
    // an even count. Every run and move stops at the picture's edge, and pixels the codes
    // never reach keep index 0. Data that ends before the end-of-picture code gives what
    // it holds, as paint programs that leave that code out expect.
    void DecodeRunLength(std::span<const uint8_t> codes, bool fourBits, bool topDown);
};
