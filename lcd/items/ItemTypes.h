#pragma once
// Values the items hand to their callers instead of touching a window.

#include <string>
#include <vector>

// The cursor an item asks the canvas to show; the numbers in the comments are the
// program's own cursor shapes.
enum class CursorShape {
    Unchanged,  // leave the cursor as it is
    Cross,      // the system cross-hair
    SizeNwSe,   // 130: diagonal, top-left to bottom-right
    SizeNs,     // 1330: vertical
    SizeNeSw,   // 1320: diagonal, bottom-left to top-right
    SizeWe,     // 134: horizontal
    Move,       // 135: four-way move
    Text,       // 1490: the text cursor over a text box being edited
};

// One line of the page instruction tree and the lines under it.
struct TreeNode {
    std::string text;  // UTF-8
    bool checked = false;
    std::vector<TreeNode> children;
};
