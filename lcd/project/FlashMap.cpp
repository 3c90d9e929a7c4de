#include "project/FlashMap.h"

#include <algorithm>
#include <array>

#include "base/StringFormat.h"
#include "gfx/Surface.h"

namespace {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kLabelWidth = 2 * kGlyphWidth + 1;

// 0-9 and A-F, rows top to bottom, bit 4 the leftmost dot.
constexpr std::array<std::array<uint8_t, kGlyphHeight>, 16> kHexGlyphs = {{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E},
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E},
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E},
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
    {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},
    {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E},
    {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E},
    {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C},
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F},
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10},
}};

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A label centred in the 20-pixel square whose corner is (x, y).
void Label(Surface& dc, int x, int y, const std::string& text) {
    FlashMap::DrawHex(dc, x + (FlashMap::kCell - kLabelWidth + 1) / 2,
                      y + (FlashMap::kCell - kGlyphHeight) / 2, text.c_str(), FlashMap::kBlack);
}

}  // namespace

int FlashMap::CellAt(int x, int y) {
    if (!GridRect().Contains(x, y)) return -1;
    return (y - kOrigin) / kCell * kColumns + (x - kOrigin) / kCell;
}

bool FlashMap::Fits(const Surface& dc) {
    return dc.Width() >= kSize && dc.Height() >= kSize;
}

void FlashMap::DrawBase(Surface& dc, bool reservedCell) {
    dc.Clear(kWhite);
    const Surface::Pen pen = dc.GetPen();
    const Surface::Brush brush = dc.GetBrush();
    dc.SetPen(Surface::Pen{Surface::PenStyle::Solid, 1, kBlack});
    const int end = kOrigin + kGridSide;
    for (int i = 0; i <= kColumns; ++i) {
        const int at = kOrigin + i * kCell;
        dc.Line(kOrigin, at, end + 1, at);
        dc.Line(at, kOrigin, at, end + 1);
    }
    for (int i = 0; i < kColumns; ++i) {
        const int at = kOrigin + i * kCell;
        Label(dc, 0, at, StringFormat("%X0", i));
        Label(dc, end, at, StringFormat("%XF", i));
        Label(dc, at, 0, StringFormat("0%X", i));
        Label(dc, at, end, StringFormat("F%X", i));
    }
    if (reservedCell) {
        const int last = kCells - 1;
        const int x = kOrigin + last % kColumns * kCell, y = kOrigin + last / kColumns * kCell;
        dc.SetBrush(Surface::Brush{Surface::BrushStyle::Solid, kReserved});
        dc.FillRect(x + 1, y + 1, x + kCell, y + kCell);
    }
    dc.SetPen(pen);
    dc.SetBrush(brush);
}

void FlashMap::DrawRun(Surface& dc, int64_t start, int64_t count) {
    const int64_t total = start + count;
    const int64_t end = std::min<int64_t>(total, kCells);
    for (int64_t p = std::max<int64_t>(start, 0); p < end;) {
        const int row = static_cast<int>(p / kColumns);
        const int col = static_cast<int>(p % kColumns);
        const int64_t n = std::min<int64_t>(end - p, kColumns - col);
        const int left = kOrigin + col * kCell, top = kOrigin + row * kCell;
        dc.Rectangle(left, top, kOrigin + static_cast<int>(col + n) * kCell, top + kCell);
        p += n;
    }
}

void FlashMap::DrawOccupied(Surface& dc, int64_t start, int64_t count, bool collision) {
    const Surface::Pen pen = dc.GetPen();
    const Surface::Brush brush = dc.GetBrush();
    dc.SetPen(Surface::Pen{Surface::PenStyle::Solid, 1, kBlack});
    dc.SetBrush(Surface::Brush{Surface::BrushStyle::Solid, collision ? kRed : kGreen});
    DrawRun(dc, start, count);
    dc.SetPen(pen);
    dc.SetBrush(brush);
}

void FlashMap::DrawPicked(Surface& dc, int64_t start, int64_t count) {
    const Surface::Pen pen = dc.GetPen();
    const Surface::Brush brush = dc.GetBrush();
    dc.SetPen(Surface::Pen{Surface::PenStyle::Solid, 2, kBlue});
    dc.SetBrush(
        Surface::Brush{Surface::BrushStyle::Hatched, kBlue, Surface::Hatch::BackwardDiagonal});
    DrawRun(dc, start, count);
    dc.SetPen(pen);
    dc.SetBrush(brush);
}

void FlashMap::DrawHex(Surface& dc, int x, int y, const char* text, COLORREF colour) {
    for (; *text; ++text, x += kGlyphWidth + 1) {
        const int v = HexValue(*text);
        if (v < 0) continue;
        for (int row = 0; row < kGlyphHeight; ++row) {
            const uint8_t bits = kHexGlyphs[static_cast<size_t>(v)][static_cast<size_t>(row)];
            for (int col = 0; col < kGlyphWidth; ++col)
                if (bits & (0x10 >> col)) dc.SetPixel(x + col, y + row, colour);
        }
    }
}
