// Fuzzes the CRC table scan over a flash image. The first byte picks the instruction mode,
// the board's flash page size and the screen; the rest is the image. The table's count
// must equal the entry bytes that follow it, and every entry must be a whole short head
// with its CRC.

#include <cstddef>
#include <cstdint>
#include <span>

#include "link/CommandBuilder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static constexpr int kPageSizes[] = {512, 512, 2048, 256};
    const int mode = data[0] % 3;
    const int pageSize = kPageSizes[(data[0] >> 2) & 3];
    const int64_t screen = (data[0] & 0x10) ? CommandBuilder::FullScreenBytes(320, 234, 8, false)
                                            : CommandBuilder::FullScreenBytes(8, 8, 256, false);
    const std::span<const uint8_t> image(data + 1, size - 1);

    CByteArray table;
    bool truncated = false;
    const int entries = CommandBuilder::CrcTable(table, mode, image, pageSize, screen, &truncated);
    if (entries < 0) {
        if (!table.empty()) __builtin_trap();
        return 0;
    }
    const size_t head = mode == CommandBuilder::ModeShort ? 3 : 6;
    if (table.size() < head + 2) __builtin_trap();
    const size_t count = (static_cast<size_t>(table[head]) << 8) | table[head + 1];
    if (count != table.size() - head - 2) __builtin_trap();
    size_t at = head + 2;
    int seen = 0;
    while (at < table.size()) {
        if (table[at] != 0x1B || at + 1 >= table.size()) __builtin_trap();
        const uint8_t command = table[at + 1];
        const size_t fields = command == 0x20 ? 1 : command == 0x28 ? 3 : command == 0x56 ? 2 : 0;
        if (fields == 0) __builtin_trap();
        at += 2 + fields + 2;
        ++seen;
    }
    if (at != table.size() || seen != entries) __builtin_trap();
    return 0;
}
