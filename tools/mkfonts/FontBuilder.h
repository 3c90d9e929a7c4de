#pragma once
// Builds the two dot-matrix fonts of the module from GNU Unifont's hex file:
//   ASC16: 256 glyphs of 8 x 16 (4096 bytes), glyph b at b * 16, one byte per row, bit 7
//          leftmost; codes 0x20..0x7E from Unifont, the rest blank.
//   hzk16: the GB2312 grid of 94 x 94 glyphs of 16 x 16 (282,752 bytes), glyph (b1, b2) at
//          ((b1 - 0xA1) * 94 + (b2 - 0xA1)) * 32, two bytes per row, bit 7 of the first
//          byte leftmost; every code mapped to Unicode through iconv and drawn from Unifont
//          (8-wide glyphs centred); codes GB2312 leaves empty are blank.

#include <cstdint>
#include <istream>
#include <string>
#include <unordered_map>
#include <vector>

class FontBuilder {
public:
    static constexpr size_t kAsc16Size = 256 * 16;
    static constexpr size_t kHzk16Size = 94 * 94 * 32;

    // Reads "XXXX:hex" lines (4 to 6 hex digits of code point, 32 or 64 hex digits of
    // glyph). Other glyph widths are skipped; a malformed line fails with `error` set.
    bool ParseHex(std::istream& in, std::string& error);
    // Adds one line; false for a malformed one.
    bool ParseLine(const std::string& line);
    // The glyph of a code point: 16 bytes (8 x 16) or 32 bytes (16 x 16); null when absent.
    const std::vector<uint8_t>* Glyph(uint32_t codePoint) const;
    size_t GlyphCount() const { return m_glyphs.size(); }

    std::vector<uint8_t> BuildAsc16() const;
    // False (with `error`) when iconv has no GB2312 converter.
    bool BuildHzk16(std::vector<uint8_t>& out, std::string& error) const;
    // The Unicode code point of a GB2312 code through iconv; 0 for an empty code.
    static uint32_t Gb2312ToUnicode(uint8_t first, uint8_t second);

    // A glyph as the 32 bytes of a 16 x 16 cell: 16-wide glyphs as they are, 8-wide ones
    // centred (four blank columns either side).
    static void ToCell16(const std::vector<uint8_t>& glyph, uint8_t* cell);

    // Writes through a temporary file renamed over `path`.
    static bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes,
                          std::string& error);

private:
    std::unordered_map<uint32_t, std::vector<uint8_t>> m_glyphs;
};
