// Fuzzes the BMP reader. A picture that reads must write as a BMP whose header matches
// its length and read back to the same pixels.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "images/CImageImplBMP.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CImageImplBMP image;
    if (!image.ReadMemory(std::span<const uint8_t>(data, size))) {
        if (image.HasDib()) __builtin_trap();
        return 0;
    }
    if (image.GetWidth() <= 0 || image.GetHeight() <= 0) __builtin_trap();
    char* buffer = nullptr;
    size_t length = 0;
    std::FILE* out = open_memstream(&buffer, &length);
    if (!out) return 0;
    const bool written = image.WriteStream(out);
    std::fclose(out);
    if (!written || static_cast<int64_t>(length) != image.FileBytes()) __builtin_trap();
    CImageImplBMP back;
    if (!back.ReadMemory(std::span<const uint8_t>(reinterpret_cast<uint8_t*>(buffer), length)))
        __builtin_trap();
    for (int y = 0; y < image.GetHeight(); y += 1 + image.GetHeight() / 8)
        for (int x = 0; x < image.GetWidth(); x += 1 + image.GetWidth() / 8)
            if (back.GetRGB(x, y) != image.GetRGB(x, y)) __builtin_trap();
    std::free(buffer);
    return 0;
}
