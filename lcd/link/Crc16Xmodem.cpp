#include "link/Crc16Xmodem.h"

namespace {

// CRC of each nibble value shifted into the top of the register.
constexpr uint16_t kNibbleTable[16] = {0x0000, 0x1021, 0x2042, 0x3063, 0x4084, 0x50A5,
                                       0x60C6, 0x70E7, 0x8108, 0x9129, 0xA14A, 0xB16B,
                                       0xC18C, 0xD1AD, 0xE1CE, 0xF1EF};

}  // namespace

uint16_t Crc16Xmodem(std::span<const uint8_t> data, uint16_t crc) {
    for (const uint8_t b : data) {
        crc = static_cast<uint16_t>((crc << 4) ^ kNibbleTable[(crc >> 12) ^ (b >> 4)]);
        crc = static_cast<uint16_t>((crc << 4) ^ kNibbleTable[(crc >> 12) ^ (b & 0x0F)]);
    }
    return crc;
}
