#pragma once
// The flash maps in words: who owns the cell under the pointer and which runs collide.
// The dialog shows the first on hover and the second in its status line, so a red cell
// is never the only sign of trouble.

#include <string>

class FlashLayout;

namespace LayoutHints {

// "main.pg：第 0–2 页，共 3 页", "第 255 页：保留", "第 7 页：空闲"; "" off the grid.
// Several owners of one cell are listed, earliest first.
std::string PageCell(const FlashLayout& layout, int cell);
// The same for a cell of the shown block of the bitmap map.
std::string BitmapCell(const FlashLayout& layout, int cell);
// "" without collision, else every page in collision with the page it overlaps or the
// words that it passes the end of the area.
std::string PageCollisions(const FlashLayout& layout);
// The same for the local bitmaps of every block.
std::string BitmapCollisions(const FlashLayout& layout);

}  // namespace LayoutHints
