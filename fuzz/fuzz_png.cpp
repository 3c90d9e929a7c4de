// Fuzzes the PNG reader: any input either fails and leaves no picture, or gives a
// picture whose pixels can all be read.

#include <cstddef>
#include <cstdint>
#include <span>

#include "images/CImageImplPNG.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CImageImplPNG image;
    const bool ok = image.ReadMemory(std::span<const uint8_t>(data, size));
    if (!ok && image.HasDib()) __builtin_trap();
    if (!image.HasDib()) return 0;
    if (image.GetWidth() <= 0 || image.GetHeight() <= 0) __builtin_trap();
    if (image.ImageBytes() != static_cast<size_t>(image.GetRowBytes()) * image.GetHeight())
        __builtin_trap();
    // Colours are 0x00BBGGRR: the top byte of a pixel read in bounds is always zero.
    for (int y = 0; y < image.GetHeight(); y += 1 + image.GetHeight() / 16)
        for (int x = 0; x < image.GetWidth(); x += 1 + image.GetWidth() / 16)
            if (image.GetRGB(x, y) >> 24) __builtin_trap();
    return 0;
}
