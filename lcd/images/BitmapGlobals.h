#pragma once
// The process-wide local bitmap list; tests reset it.

#include <memory>
#include <vector>

class CBmpObj;

// Every local bitmap of the open project; bitmap items refer to them by index.
extern std::vector<std::unique_ptr<CBmpObj>> g_arrLocalBitmaps;

class BitmapGlobals {
public:
    // Empties the list.
    static void Reset();
};
