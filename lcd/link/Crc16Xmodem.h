#pragma once
// CRC-16 with polynomial 0x1021, initial value 0, no reflection and no final XOR: the
// checksum the module computes over each stored record.

#include <cstdint>
#include <span>

// Continues `crc` over `data`, a nibble at a time (16-entry table, high nibble first).
uint16_t Crc16Xmodem(std::span<const uint8_t> data, uint16_t crc = 0);
