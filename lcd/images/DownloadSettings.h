#pragma once
// The settings project management chooses for a download: the instruction mode that
// frames the records, the board type and what follows from it, the flash page size of
// the local-bitmap area and whether every pixel goes out as 16-bit colour.
//
// A value: the pixel conversion, the records and the image builder take a copy, so a
// change made while an image is built or sent changes nothing of its bytes.

#include <cstdint>

struct DownloadSettings {
    // 0 "短", 1 "校验和", 2 "长".
    int32_t instructionMode = 0;
    // 0..3: "ARM7", "ARM9", the third board, "老板子".
    int32_t boardType = 0;
    // Bytes per flash page of the local-bitmap area: 512, 512, 2048, 256 by board type.
    int32_t flashPageSize = 512;
    // Board type 1 only: every pixel goes out as RGB565 whatever the colour count.
    bool pixels16 = false;

    // The settings of `boardType` (its page size and pixel width) in instruction mode `mode`.
    static DownloadSettings ForBoard(int boardType, int mode = 0);
    static int FlashPageSizeOf(int boardType);
    // Sets the board type with the page size and pixel width that go with it.
    void SetBoardType(int board);
    // Board type 1 takes 16-bit pixels low byte first; the others high byte first.
    bool LowByteFirst() const { return boardType == 1; }

    bool operator==(const DownloadSettings&) const = default;
};
