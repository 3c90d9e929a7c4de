#pragma once
// Where the characters of a font come from besides typed text: a code range, the GB2312
// presets, and the sorted set of characters a project uses.

#include <string>
#include <vector>

#include "GbkText.h"

class CharSources {
public:
    // The codes from `first` to `last` in code order. One-byte ranges lie within
    // 0x00..0x7F. Two-byte ranges walk rows (lead bytes) like GB2312 does, 94 codes per
    // row with trail bytes 0xA1..0xFE, so a glyph's place in the file is
    // (row - first row) * 94 + (trail - 0xA1) minus the first code's offset; when the
    // first code's trail byte lies below 0xA1 the rows take every GBK trail byte
    // (0x40..0x7E, 0x80..0xFE) instead. Codes without a character stay in the range and
    // give blank glyphs, so places never shift. False with `error` set for a range whose
    // ends are not both one-byte or both two-byte codes, or run backwards.
    static bool Range(unsigned first, unsigned last, std::vector<GbkCode>& codes,
                      std::string& error);
    // "A-B" in hexadecimal ("20-7E", "0xB0A1-0xD7F9") as a range.
    static bool ParseRange(const std::string& text, std::vector<GbkCode>& codes,
                           std::string& error);
    // GB2312 level 1 (0xB0A1..0xD7F9, 3755 characters) and the whole GB2312 grid (rows
    // 0xA1..0xF7, 87 x 94 places, the layout of a 16 x 16 GB2312 dot font).
    static std::vector<GbkCode> Gb2312Level1();
    static std::vector<GbkCode> Gb2312All();
    // Sorted into GBK order, duplicates dropped.
    static void SortUnique(std::vector<GbkCode>& codes);
};
