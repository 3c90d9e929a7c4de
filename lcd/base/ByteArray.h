#pragma once
// The growable byte buffer every module command is appended to.

#include <cstdint>
#include <string>
#include <vector>

using CByteArray = std::vector<uint8_t>;

// A 16-bit command value, low byte first; larger values keep their low 16 bits and
// negative ones go out in two's complement.
inline void AppendWord(CByteArray& bytes, int64_t value) {
    const auto v = static_cast<uint16_t>(static_cast<uint64_t>(value) & 0xFFFFu);
    bytes.push_back(static_cast<uint8_t>(v & 0xFF));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
}

// Upper-case hex digits separated by spaces ("1B 46 07"), for messages and tests.
std::string ToHex(const CByteArray& bytes);
// Parses "1B 46 07" (spaces optional); returns false on anything but hex digit pairs.
bool FromHex(const std::string& text, CByteArray& out);
