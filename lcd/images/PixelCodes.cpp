#include "images/PixelCodes.h"

namespace {

// Two bits of one channel: `low` for the first step, `high` for the second.
uint8_t Levels(unsigned v, unsigned first, unsigned second, unsigned third, uint8_t low,
               uint8_t high) {
    if (v < first) return 0;
    if (v < second) return low;
    if (v < third) return high;
    return static_cast<uint8_t>(low | high);
}

unsigned Step(unsigned v, unsigned step) {
    return v / step + (v % step > step / 2 ? 1u : 0u);
}

}  // namespace

uint8_t PixelCodes::ColourTo8(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<uint8_t>((r >= 127 ? 1 : 0) | (g >= 127 ? 2 : 0) | (b >= 127 ? 4 : 0));
}

uint8_t PixelCodes::ColourTo64(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<uint8_t>(Levels(r, 37, 128, 219, 0x01, 0x10) |
                                Levels(g, 43, 128, 219, 0x02, 0x20) |
                                Levels(b, 43, 128, 213, 0x04, 0x40));
}

uint8_t PixelCodes::ColourTo256(uint8_t r, uint8_t g, uint8_t b) {
    // Rounding up happens when the remainder is over half the step (18 of 36, 42 of 85).
    return static_cast<uint8_t>(Step(r, 36) * 32 + Step(g, 36) * 4 + Step(b, 85));
}

uint16_t PixelCodes::ColourTo565(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<uint16_t>((r * 31 / 255) * 2048 + (g * 63 / 255) * 32 + b * 31 / 255);
}
