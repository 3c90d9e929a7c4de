#pragma once
// The picture of one flash area as the project-management dialog shows it: 16 x 16 cells
// of 20 pixels on white, page p at column p % 16 and row p / 16, the grid's corner at
// (20, 20), rows labelled "%X0" / "%XF" and columns "0%X" / "F%X" around it.

#include <cstdint>

#include "base/Colour.h"
#include "base/Geometry.h"

class Surface;

class FlashMap {
public:
    static constexpr int kCell = 20;
    static constexpr int kOrigin = 20;
    static constexpr int kColumns = 16;
    static constexpr int kCells = kColumns * kColumns;
    static constexpr int kGridSide = kColumns * kCell;
    // The surface a map needs: the grid and a label margin on every side.
    static constexpr int kSize = 2 * kOrigin + kGridSide;

    static constexpr COLORREF kWhite = Rgb(255, 255, 255);
    static constexpr COLORREF kBlack = Rgb(0, 0, 0);
    static constexpr COLORREF kGreen = Rgb(0, 255, 0);
    static constexpr COLORREF kRed = Rgb(255, 0, 0);
    static constexpr COLORREF kBlue = Rgb(0, 0, 255);
    static constexpr COLORREF kReserved = Rgb(0x7D, 0x7D, 0x7D);

    // The grid in surface coordinates; its width is what the bitmap runs wrap at.
    static Rect GridRect() {
        return Rect{kOrigin, kOrigin, kOrigin + kGridSide, kOrigin + kGridSide};
    }
    static Point Origin() { return Point{kOrigin, kOrigin}; }
    // The cell under (x, y), or -1 off the grid.
    static int CellAt(int x, int y);

    // False when the surface cannot hold a map: the caller tells the user, nothing is drawn.
    static bool Fits(const Surface& dc);
    // White, the grid lines, the labels and, for the page area, the grey reserved cell.
    static void DrawBase(Surface& dc, bool reservedCell);
    // A run of `count` cells from `start`, one rectangle per map row, with the current pen
    // and brush; cells past the last one are not drawn.
    static void DrawRun(Surface& dc, int64_t start, int64_t count);
    // Green (red in collision) with a black outline.
    static void DrawOccupied(Surface& dc, int64_t start, int64_t count, bool collision);
    // The blue hatch and 2-pixel blue outline of the picked run.
    static void DrawPicked(Surface& dc, int64_t start, int64_t count);
    // Hexadecimal digits in a 5 x 7 dot font; other characters leave a gap.
    static void DrawHex(Surface& dc, int x, int y, const char* text, COLORREF colour);
};
