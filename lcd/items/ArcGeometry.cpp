#include "items/ArcGeometry.h"

#include <cmath>
#include <cstdlib>

namespace {

// 180 / 3.1415927: the firmware's own conversion factor, kept so that the angles we
// send agree with what the module computes.
constexpr double kDegreesPerRadian = 57.29577866666166;

using Wide = unsigned __int128;

Wide SquaredDistance(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    // Differences of 32-bit values need 33 bits and their squares 66, hence 128 bits.
    const uint64_t ax = static_cast<uint64_t>(std::llabs(static_cast<int64_t>(x2) - x1));
    const uint64_t ay = static_cast<uint64_t>(std::llabs(static_cast<int64_t>(y2) - y1));
    return static_cast<Wide>(ax) * ax + static_cast<Wide>(ay) * ay;
}

}  // namespace

int ArcGeometry::WholeDegrees(int32_t cx, int32_t cy, int32_t px, int32_t py) {
    const int64_t dx = static_cast<int64_t>(px) - cx;
    const int64_t dy = static_cast<int64_t>(py) - cy;
    if (dx == 0) return dy > 0 ? 90 : 270;
    const double t = static_cast<double>(dy) / static_cast<double>(dx);
    const int d = static_cast<int>(std::atan(std::fabs(t)) * kDegreesPerRadian);
    // The sign of dy * dx without forming the product.
    const bool sameSign = dy != 0 && ((dy > 0) == (dx > 0));
    int deg;
    if (sameSign)
        deg = dx > 0 ? d : 180 + d;
    else
        deg = dx > 0 ? 360 - d : 180 - d;
    return deg == 360 ? 0 : deg;
}

int64_t ArcGeometry::TruncatedDistance(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const Wide d2 = SquaredDistance(x1, y1, x2, y2);
    // The floating root can be one off for large values; settle it on the integers.
    uint64_t r = static_cast<uint64_t>(std::sqrt(static_cast<long double>(d2)));
    while (r > 0 && static_cast<Wide>(r) * r > d2)
        --r;
    while (static_cast<Wide>(r + 1) * (r + 1) <= d2)
        ++r;
    return static_cast<int64_t>(r);
}

int64_t ArcGeometry::RoundedDistance(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const int64_t r = TruncatedDistance(x1, y1, x2, y2);
    // r + 0.5 <= root exactly when (2r + 1)^2 <= 4 d2.
    const Wide d2 = SquaredDistance(x1, y1, x2, y2);
    const Wide twice = static_cast<Wide>(2 * r + 1);
    return twice * twice <= 4 * d2 ? r + 1 : r;
}
