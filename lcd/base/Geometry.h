#pragma once
// Integer geometry in module pixels.

#include <cstdint>

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
    static Rect Around(int32_t x, int32_t y) { return Rect{x - 4, y - 4, x + 4, y + 4}; }
    bool Contains(int32_t x, int32_t y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};
