#pragma once
// What a virtual display module is: its screen, its board (which fixes the flash page size
// and the pixel format) and the framing it expects of command heads.
//
// Pixel formats of the bitmap data the module takes (rows top to bottom, x left to right):
//   16-bit   board 1 (any colour count), and the 16- and 14-bit colour counts: RGB565 in
//            two bytes, low byte first on board 1, else high byte first
//   8        two pixels a byte, even x in bits 0..2, odd x in bits 4..6 (bit 0 red, bit 1
//            green, bit 2 blue); width / 2 bytes a row, an odd row's last pixel is not sent
//   64, 256  one byte a pixel: the colour code of the same palette as the drawing colours

#include <cstdint>
#include <memory>
#include <string>

#include "base/Colour.h"

class DotFonts;

// How the head of a command is framed: short (1B cmd p..), checksum (1B cmd n p.. S S),
// long (1B cmd 0A A0 0A p.., flash writes only) or recognised per command.
enum class Framing { Auto, Short, Checksum, Long };

struct ModuleConfig {
    int width = 320;
    int height = 240;
    int colours = 256;  // 8, 16, 64 or 256
    int board = 0;      // 0..3
    Framing framing = Framing::Auto;
    // The module's built-in 8 x 16 and 16 x 16 dot fonts; without them text is not drawn.
    // Shared, immutable: any number of modules and threads may hold the same pair.
    std::shared_ptr<const DotFonts> fonts;

    // No module is larger; it also bounds the flash kept for full-screen bitmaps.
    static constexpr int kMaxSide = 2048;
    // Pixels the drawing commands of one transfer (or one Advance) may touch: some 250
    // fills of the largest screen, a few seconds of work.
    static constexpr int64_t kMaxDrawWork = int64_t{1} << 30;
    int64_t drawWork = kMaxDrawWork;

    // "" when the module can be built, else why not (one line).
    std::string Check() const;
    // Bytes of one flash page of the local-bitmap area (512, 512, 2048, 256 by board).
    int FlashPageSize() const;
    bool Pixels16() const { return board == 1 || colours == 16 || colours == 14; }
    bool LowByteFirst() const { return board == 1; }
    // The 8-colour 320 x 234 module sizes bitmap rows in bytes and rows as one byte.
    bool Packed() const { return colours == 8 && width == 320 && height == 234; }
    // Bytes of a w x h pixel block in the module's pixel format.
    int64_t PixelBytes(int64_t w, int64_t h) const;
    int64_t FullScreenBytes() const { return PixelBytes(width, height); }
    // The screen colour of a drawing colour code (the canvas palettes).
    COLORREF CodeColour(uint8_t code) const;
    // The screen colour of one decoded pixel value of the pixel format.
    COLORREF PixelColour(uint32_t value) const;
    // What a canvas colour looks like on the module: converted to the pixel format and
    // back. Palette colours come back unchanged.
    COLORREF Quantize(COLORREF c) const;

    static const char* FramingName(Framing f);
    // "short", "checksum", "long" or "auto"; false for anything else.
    static bool ParseFraming(const std::string& text, Framing& out);
};
