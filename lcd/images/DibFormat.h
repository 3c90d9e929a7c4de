#pragma once
// The device-independent bitmap layout shared by the image layer and the local bitmap
// object: the 40-byte info header, colour table entries, row sizes, pixel colours and the
// size limits every reader checks before it allocates.

#include <cstdint>
#include <span>
#include <string>

#include "base/Colour.h"

// The 40-byte bitmap info header, little-endian on disk.
struct BitmapInfoHeader {
    uint32_t size = 40;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 1;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;

    static constexpr size_t kBytes = 40;
    void Pack(uint8_t* out) const;
    // `in` holds at least kBytes.
    static BitmapInfoHeader Unpack(const uint8_t* in);
};

// One colour table entry as bitmaps store it: blue, green, red, reserved.
struct RgbQuad {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;
    COLORREF Colour() const { return Rgb(red, green, blue); }
    static RgbQuad From(COLORREF c) { return RgbQuad{BlueOf(c), GreenOf(c), RedOf(c), 0}; }
};

class DibFormat {
public:
    // A picture wider or higher than kMaxSide, or with more than kMaxPixels pixels, is
    // refused before anything is allocated. Modules are at most a few hundred pixels a
    // side, so this only has to let a 64-megapixel camera photo (9248 x 6936) through;
    // it keeps every decoded picture within 256 MB even at 32 bits per pixel.
    static constexpr int kMaxSide = 16384;
    static constexpr int64_t kMaxPixels = int64_t{1} << 26;
    static constexpr uint32_t kBiRgb = 0;
    static constexpr uint32_t kBiBitfields = 3;

    // Bytes per row, padded to 4 bytes; 0 for widths or depths that make no sense.
    static int64_t RowBytes(int bits, int64_t width);
    // True for the depths a bitmap without compression can have.
    static bool IsPlainDepth(int bits);
    // Checks width, height and depth against the limits. Returns the pixel array size, or
    // -1 with `message` set (UTF-8, empty when the sizes are merely invalid rather than
    // too large).
    static int64_t CheckSize(int64_t width, int64_t height, int bits, std::string& message);
    // The colour of pixel x of one row of a plain bitmap; `table` holds 2^bits entries
    // for depths up to 8 (indices past its end give black).
    static COLORREF PixelColour(const uint8_t* row, int x, int bits,
                                std::span<const RgbQuad> table);
    // The 16 standard colours that fill a new colour table (repeated for 8 bits).
    static RgbQuad StandardColour(int index);
};
