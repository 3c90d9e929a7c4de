#include "images/BitmapGlobals.h"

#include "images/CBmpObj.h"

std::vector<std::unique_ptr<CBmpObj>> g_arrLocalBitmaps;
int32_t g_nBoardType = 0;
int32_t g_nFlashPageSize = 512;
bool g_b16BitPixels = false;
int32_t g_nInstructionMode = 0;

void BitmapGlobals::Reset() {
    g_arrLocalBitmaps.clear();
    SetBoardType(0);
    g_nInstructionMode = 0;
}

void BitmapGlobals::SetBoardType(int boardType) {
    g_nBoardType = boardType;
    g_nFlashPageSize = FlashPageSizeOf(boardType);
    g_b16BitPixels = boardType == 1;
}

int BitmapGlobals::FlashPageSizeOf(int boardType) {
    switch (boardType) {
        case 2:
            return 2048;
        case 3:
            return 256;
        default:
            return 512;
    }
}
