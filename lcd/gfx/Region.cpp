#include "gfx/Region.h"

#include <cmath>
#include <cstdint>
#include <utility>

Region Region::Polygon(std::vector<Point> corners) {
    Region r;
    if (corners.size() >= 3) {
        r.m_kind = Kind::Polygon;
        r.m_corners = std::move(corners);
    }
    return r;
}

Region Region::Ellipse(int left, int top, int right, int bottom) {
    Region r;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    // Boxes may span the whole 32-bit range: widths are taken in 64 bits.
    if (int64_t{right} - left < 1 || int64_t{bottom} - top < 1) return r;
    r.m_kind = Kind::Ellipse;
    r.m_left = left, r.m_top = top, r.m_right = right, r.m_bottom = bottom;
    return r;
}

Region Region::Sector(int cx, int cy, int radius, double startDeg, double endDeg) {
    Region r;
    if (radius <= 0) return r;
    r.m_kind = Kind::Sector;
    r.m_cx = cx, r.m_cy = cy, r.m_radius = radius;
    r.m_start = startDeg, r.m_end = endDeg;
    return r;
}

double Region::AngleOf(double dx, double dy) {
    double deg = std::atan2(dy, dx) * 180.0 / M_PI;
    if (deg < 0) deg += 360.0;
    if (deg >= 360.0) deg -= 360.0;
    return deg;
}

bool Region::InSweep(double deg, double start, double end) {
    auto norm = [](double a) {
        a = std::fmod(a, 360.0);
        if (a < 0) a += 360.0;
        // A tiny negative angle rounds up to 360 when shifted; that ray is 0.
        return a >= 360.0 ? 0.0 : a;
    };
    const double s = norm(start), e = norm(end), d = norm(deg);
    if (s == e) return true;  // equal rays: the whole turn
    if (s < e) return d >= s && d <= e;
    return d >= s || d <= e;
}

bool Region::Contains(int x, int y) const {
    const double px = x + 0.5, py = y + 0.5;
    switch (m_kind) {
        case Kind::Empty:
            return false;
        case Kind::Polygon: {
            bool inside = false;
            const size_t n = m_corners.size();
            for (size_t i = 0, j = n - 1; i < n; j = i++) {
                const double xi = m_corners[i].x, yi = m_corners[i].y;
                const double xj = m_corners[j].x, yj = m_corners[j].y;
                if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi)
                    inside = !inside;
            }
            return inside;
        }
        case Kind::Ellipse: {
            const double a = (static_cast<double>(m_right) - m_left) / 2.0;
            const double b = (static_cast<double>(m_bottom) - m_top) / 2.0;
            const double dx = (px - (m_left + a)) / a, dy = (py - (m_top + b)) / b;
            return dx * dx + dy * dy <= 1.0;
        }
        case Kind::Sector: {
            const double dx = px - m_cx, dy = py - m_cy;
            if (dx * dx + dy * dy > static_cast<double>(m_radius) * m_radius) return false;
            return InSweep(AngleOf(dx, dy), m_start, m_end);
        }
    }
    return false;
}
