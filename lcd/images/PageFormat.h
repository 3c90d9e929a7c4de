#pragma once
// What the pixel conversion needs of a page: its colour count and logical size.

#include <cstdint>

struct PageFormat {
    int32_t colours = 256;
    int32_t width = 320;
    int32_t height = 240;

    // The 8-colour 320 x 234 module packs two pixels per byte and sizes rows in bytes.
    bool Is8Colour320x234() const { return colours == 8 && width == 320 && height == 234; }
};
