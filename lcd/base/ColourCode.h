#pragma once
// The module's one-byte colour code: high nibble = palette row, low nibble = palette
// column. What a code looks like depends on the page's colour count.
//
//   colours  grid      cell  screen colour of row r, column c (code i = r * 16 + c)
//   8        1 x 8     16    R = 255 if c bit 2, G = 255 if c bit 1, B = 255 if c bit 0
//   16       1 x 16    16    the 16-colour VGA set in IRGB order: bit 3 bright, bit 2 red,
//                            bit 1 green, bit 0 blue (7 is silver, 8 grey, 15 white)
//   64       8 x 8     16    R = 182*(r&1) + 73*(c&1), G = 182*(r>>1&1) + 73*(c>>1&1),
//                            B = 170*(r>>2&1) + 85*(c>>2&1)
//   256      16 x 16   8     R = 36k + k/2, k = i/32; G = 36k + k/2, k = i/4 % 8;
//                            B = 85 * (i % 4)

#include <string>

#include "base/Colour.h"

class ColourCode {
public:
    // Screen colour of the code (hi, lo) at the colour count; black for cells outside the
    // grid and for unknown colour counts.
    static COLORREF ScreenColour(int colours, int hi, int lo);
    // Palette grid of the colour dialogs: rows, columns and the cell size in pixels.
    static int Rows(int colours);
    static int Columns(int colours);
    static int CellSize(int colours);
    // The default drawing code of a colour count (the highest code: white). Returns false
    // and leaves the nibbles alone for a colour count other than 8, 16, 64 and 256.
    static bool DefaultDrawCode(int colours, uint8_t& hi, uint8_t& lo);
    // "0X7F": the form of the colour dialogs and property panels.
    static std::string DialogForm(int hi, int lo);
    // "7F": the form of description lines.
    static std::string TreeForm(int hi, int lo);
    // The byte sent to the module.
    static uint8_t Byte(int hi, int lo) {
        return static_cast<uint8_t>(((hi & 15) << 4) | (lo & 15));
    }
};
