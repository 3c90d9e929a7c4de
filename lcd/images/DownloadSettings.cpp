#include "images/DownloadSettings.h"

DownloadSettings DownloadSettings::ForBoard(int boardType, int mode) {
    DownloadSettings s;
    s.instructionMode = mode;
    s.SetBoardType(boardType);
    return s;
}

int DownloadSettings::FlashPageSizeOf(int boardType) {
    switch (boardType) {
        case 2:
            return 2048;
        case 3:
            return 256;
        default:
            return 512;
    }
}

void DownloadSettings::SetBoardType(int board) {
    boardType = board;
    flashPageSize = FlashPageSizeOf(board);
    pixels16 = board == 1;
}
