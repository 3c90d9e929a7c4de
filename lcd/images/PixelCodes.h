#pragma once
// The module's pixel codes of a 24-bit colour. Divisions truncate; the thresholds are
// the module's own (red's lower 64-colour step is 36, blue's upper step 212).

#include <cstdint>

class PixelCodes {
public:
    // 3 bits: bit 0 red, bit 1 green, bit 2 blue, each on from 127.
    static uint8_t ColourTo8(uint8_t r, uint8_t g, uint8_t b);
    // 6 of 8 bits: two levels per channel, red in bits 4 and 0, green 5 and 1, blue 6 and 2.
    static uint8_t ColourTo64(uint8_t r, uint8_t g, uint8_t b);
    // 3-3-2: red in bits 7..5, green 4..2, blue 1..0, each rounded to its step.
    static uint8_t ColourTo256(uint8_t r, uint8_t g, uint8_t b);
    // RGB565.
    static uint16_t ColourTo565(uint8_t r, uint8_t g, uint8_t b);
};
