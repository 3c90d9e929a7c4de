#pragma once
// Integer geometry in module pixels.

#include <algorithm>
#include <cstdint>
#include <limits>

// Coordinates come from files too and may sit at the ends of the 32-bit range: sums are
// formed in 64 bits and kept at the range's ends instead of wrapping.
inline int32_t Saturate32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// A rectangle as the canvas keeps it: left and top inside, right and bottom outside.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    // The handle square of a point: 8 x 8 pixels centred on it.
    static Rect Around(int64_t x, int64_t y) {
        return Rect{Saturate32(x - 4), Saturate32(y - 4), Saturate32(x + 4), Saturate32(y + 4)};
    }
    bool Contains(int32_t x, int32_t y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};
