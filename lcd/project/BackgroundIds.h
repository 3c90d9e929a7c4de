#pragma once
// The one-byte ids the module gives background bitmaps: 0 to 7, 9 and 11 to 64 (8 and 10
// are never used), 63 in all. The page-properties picker lists them in that order.

class BackgroundIds {
public:
    static constexpr int kCount = 63;
    static constexpr int kFirst = 0;
    static constexpr int kLast = 64;

    // Picker index 0..62 -> id; -1 for an index outside the list.
    static int IdOfIndex(int index);
    // Id -> picker index; -1 for an id the picker does not list.
    static int IndexOfId(int id);
    // The id after `id` in the allocation order (7 -> 9, 9 -> 11); -1 after 64.
    static int Next(int id);
    // Takes the next free id from the project's counter and advances it. Returns -1, with
    // the counter left as it was, once the 63 ids are used up.
    static int Allocate(int& nextFree);
};
