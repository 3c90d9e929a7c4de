#pragma once
// A 32-bit pixel buffer with the raster operations the items and the module need.
//
// Conventions, the same as the canvas has always had:
// - Colours in the API are COLORREF (0x00BBGGRR); pixels are kept as 0xFFRRGGBB so the
//   buffer can be shown or written as RGB32 without conversion.
// - Rectangles given as (left, top, right, bottom) cover left..right-1 and top..bottom-1;
//   a rectangle whose corners come in the other order is normalised first.
// - Lines cover the start point and stop one pixel short of the end point.
// - Angles are whole or fractional degrees measured clockwise on the screen from the
//   positive x axis (y grows downward); arcs and pies run clockwise from the start angle
//   to the end angle, which is the same as counterclockwise from the end ray to the
//   start ray.
// - Everything is clipped to the surface; coordinates may be any 32-bit value.

#include <cstdint>
#include <span>
#include <vector>

#include "base/Colour.h"
#include "base/Geometry.h"

class Surface {
public:
    enum class PenStyle { Solid, Dotted, None };
    enum class BrushStyle { None, Solid, Hatched };
    // Hatch patterns of 8 x 8 cells, aligned to the surface origin.
    enum class Hatch {
        Horizontal,
        Vertical,
        ForwardDiagonal,
        BackwardDiagonal,
        Cross,
        DiagonalCross
    };

    struct Pen {
        PenStyle style = PenStyle::Solid;
        int width = 1;
        COLORREF colour = 0;
    };
    struct Brush {
        BrushStyle style = BrushStyle::None;
        COLORREF colour = 0;
        Hatch hatch = Hatch::DiagonalCross;
    };

    // Module coordinates are 16-bit: sizes beyond kMaxSide on a side or kMaxPixels in all
    // (say from a damaged file) give an empty surface instead of a huge allocation.
    static constexpr int kMaxSide = 65535;
    static constexpr int64_t kMaxPixels = int64_t{1} << 28;

    Surface() = default;
    Surface(int width, int height, COLORREF fill = 0);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Row-major 0xFFRRGGBB pixels, Width() per row.
    const uint32_t* Pixels() const { return m_pixels.data(); }
    uint32_t* Pixels() { return m_pixels.data(); }

    void Clear(COLORREF colour);
    // Outside the surface: GetPixel returns 0xFFFFFFFF (an impossible COLORREF) and
    // SetPixel does nothing.
    COLORREF GetPixel(int x, int y) const;
    void SetPixel(int x, int y, COLORREF colour);

    void SetPen(const Pen& pen) { m_pen = pen; }
    void SetBrush(const Brush& brush) { m_brush = brush; }
    const Pen& GetPen() const { return m_pen; }
    const Brush& GetBrush() const { return m_brush; }

    // Outline with the pen (a pen of width w is a w x w square stamped along the path).
    void Line(int x1, int y1, int x2, int y2);
    void Polyline(std::span<const Point> points);
    // Filled with the brush, outlined with the pen.
    void Rectangle(int left, int top, int right, int bottom);
    void Ellipse(int left, int top, int right, int bottom);
    // Even-odd interior.
    void Polygon(std::span<const Point> points);
    // The part of the ellipse inscribed in the rectangle between the two angles.
    void Arc(int left, int top, int right, int bottom, double startDeg, double endDeg);
    // Arc plus the two radii, filled with the brush.
    void Pie(int left, int top, int right, int bottom, double startDeg, double endDeg);
    // Fills the brush colour over every pixel 4-connected to (x, y) that is not `border`.
    // Nothing happens when (x, y) is outside or is itself the border colour.
    void FloodFill(int x, int y, COLORREF border);
    // Fills the rectangle with the brush, no outline.
    void FillRect(int left, int top, int right, int bottom);
    // XORs every pixel of the rectangle with the brush colour (white inverts).
    void PatternInvert(int left, int top, int right, int bottom);
    // Nearest-neighbour stretch of a block of 0xFFRRGGBB pixels (srcWidth x srcHeight,
    // row-major) onto the destination rectangle.
    void StretchBlit(const uint32_t* src, int srcWidth, int srcHeight, int left, int top, int right,
                     int bottom);

    // A shape Line, Rectangle or FillRect was asked for, with the pen and brush of the time.
    struct Shape {
        enum class Kind { Line, Rectangle, FillRect };
        Kind kind = Kind::Line;
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        Pen pen;
        Brush brush;
    };
    // While a record is attached, Line, Rectangle and FillRect append their shape to it
    // instead of drawing: the canvas paints selection marks from them at screen
    // resolution, whatever the zoom. Other operations draw as usual. Null detaches.
    void Record(std::vector<Shape>* into) { m_record = into; }

    // Pixel conversions.
    static uint32_t ToPixel(COLORREF c) {
        return 0xFF000000u | (static_cast<uint32_t>(RedOf(c)) << 16) |
               (static_cast<uint32_t>(GreenOf(c)) << 8) | BlueOf(c);
    }
    static COLORREF FromPixel(uint32_t p) {
        return Rgb(static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                   static_cast<uint8_t>(p));
    }

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<uint32_t> m_pixels;
    Pen m_pen;
    Brush m_brush;
    std::vector<Shape>* m_record = nullptr;
};
