#pragma once
// The process-wide local bitmap list and the download settings the pixel conversion
// reads. They are set by the page manager's download dialog; tests reset them.

#include <cstdint>
#include <memory>
#include <vector>

class CBmpObj;

// Every local bitmap of the open project; bitmap items refer to them by index.
extern std::vector<std::unique_ptr<CBmpObj>> g_arrLocalBitmaps;
// 0..3: "ARM7", "ARM9", the third board, "老板子".
extern int32_t g_nBoardType;
// Bytes per flash page: 512, 512, 2048, 256 by board type.
extern int32_t g_nFlashPageSize;
// Board type 1 only: every pixel goes out as RGB565 whatever the colour count.
extern bool g_b16BitPixels;
// 0 "短", 1 "校验和", 2 "长".
extern int32_t g_nInstructionMode;

class BitmapGlobals {
public:
    // Empties the list and restores the settings of board type 0, short instructions.
    static void Reset();
    // Sets the board type with the page size and pixel width that go with it.
    static void SetBoardType(int boardType);
    static int FlashPageSizeOf(int boardType);
};
