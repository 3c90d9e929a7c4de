#pragma once
// The whole-degree angles and truncated radius the module's arc and pie commands carry.

#include <cstdint>

class ArcGeometry {
public:
    // The angle of (px, py) seen from (cx, cy) in whole degrees 0..359, clockwise on the
    // screen from the positive x axis, computed as the module firmware expects it: the
    // arctangent of |dy / dx| times 180 / 3.1415927, truncated, then placed in its
    // quadrant. Diagonals therefore come out one degree short (44, 136, 224, 316).
    static int WholeDegrees(int32_t cx, int32_t cy, int32_t px, int32_t py);
    // The distance between two points, square root truncated toward zero (exact for
    // every pair of 32-bit coordinates).
    static int64_t TruncatedDistance(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // The same distance rounded to the nearest integer.
    static int64_t RoundedDistance(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
};
