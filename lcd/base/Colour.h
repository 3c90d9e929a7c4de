#pragma once
// Screen colours as the canvas keeps them: 0x00BBGGRR, red in the low byte.

#include <cstdint>

using COLORREF = uint32_t;

constexpr COLORREF Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}
constexpr uint8_t RedOf(COLORREF c) {
    return static_cast<uint8_t>(c & 0xFF);
}
constexpr uint8_t GreenOf(COLORREF c) {
    return static_cast<uint8_t>((c >> 8) & 0xFF);
}
constexpr uint8_t BlueOf(COLORREF c) {
    return static_cast<uint8_t>((c >> 16) & 0xFF);
}
