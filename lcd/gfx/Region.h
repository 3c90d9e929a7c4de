#pragma once
// Hit regions as geometry. A pixel (x, y) belongs to a region when its centre
// (x + 0.5, y + 0.5) lies inside the shape, which matches how the canvas fills the
// same shapes.

#include <vector>

#include "base/Geometry.h"

class Region {
public:
    enum class Kind { Empty, Polygon, Ellipse, Sector };

    Region() = default;
    // Even-odd interior of a closed polygon.
    static Region Polygon(std::vector<Point> corners);
    // The ellipse inscribed in (left, top, right, bottom).
    static Region Ellipse(int left, int top, int right, int bottom);
    // The pie slice of the circle (cx, cy, radius) running clockwise on the screen from
    // startDeg to endDeg (screen-clockwise degrees from the positive x axis).
    static Region Sector(int cx, int cy, int radius, double startDeg, double endDeg);

    Kind GetKind() const { return m_kind; }
    const std::vector<Point>& Corners() const { return m_corners; }
    bool Contains(int x, int y) const;

    // Screen-clockwise angle in degrees, [0, 360), of the point (dx, dy) from a centre.
    static double AngleOf(double dx, double dy);
    // True when `deg` lies on the clockwise sweep from `start` to `end` (all in degrees).
    static bool InSweep(double deg, double start, double end);

private:
    Kind m_kind = Kind::Empty;
    std::vector<Point> m_corners;
    int m_left = 0, m_top = 0, m_right = 0, m_bottom = 0;  // ellipse box
    int m_cx = 0, m_cy = 0, m_radius = 0;                  // sector
    double m_start = 0, m_end = 0;
};
