// Baud rates termios has no Bxxx constant for (14400, 128000, 256000, ...), set through the
// kernel's termios2 interface. Kept apart from SerialPort because <asm/termbits.h> and
// <termios.h> cannot share a translation unit.
#pragma once

#include <cstdint>

namespace kvx {

class CustomBaudRate {
public:
    // Sets both directions of the open line `fd` to `baudRate` (BOTHER). Returns false,
    // errno set, when the driver refuses.
    static bool Apply(int fd, uint32_t baudRate);
    // The output rate the driver reports for `fd`; 0 when it cannot be read.
    static uint32_t Read(int fd);
};

}  // namespace kvx
