#pragma once
// What a click on a line of the instruction tree selects: the tree widget hands over where
// the click landed.

class CLedDoc;

struct TreeClick {
    // 0: no line or the root line; 1: the clear-screen line or an item line; 2: a line
    // under an item line (a character of a text item, the point list of a polyline).
    int depth = 0;
    // Depth 1: the line's place under the root. Depth 2: its item line's place.
    int line = -1;
    // Depth 2: the line's place under its item line.
    int subLine = -1;
};

// Clears every selection mark of the page, then selects what the clicked line names: an
// item, or one character of a text item (the text then edits by characters). The
// clear-screen line of a main page names nothing. The page's observers hear of it. True
// when an item was selected.
bool SelectFromTree(CLedDoc& page, const TreeClick& click);
