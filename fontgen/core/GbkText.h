#pragma once
// The characters of a font: codes of the GBK double-byte code page. A code below 0x100 is
// a one-byte character; a two-byte character is lead * 256 + trail (lead >= 0x80), so
// numeric order is GBK code order with the one-byte characters first.

#include <cstdint>
#include <string>
#include <vector>

using GbkCode = uint16_t;

class GbkText {
public:
    static bool IsDouble(GbkCode code) { return code > 0xFF; }
    // Splits GBK bytes into characters: a byte of 0x80 or above starts a two-byte
    // character (it and the next byte), any other byte is one character. Line breaks and
    // spaces are characters too. A lead byte at the very end stands alone as lead * 256.
    static std::vector<GbkCode> Split(const std::string& gbk);
    // UTF-8 text as GBK characters; false with `error` naming the first character GBK
    // lacks (or the first byte that is not UTF-8).
    static bool FromUtf8(const std::string& utf8, std::vector<GbkCode>& codes, std::string& error);
    // The Unicode code point of every code, 0 for a code that is no GBK character.
    static std::vector<char32_t> ToUnicode(const std::vector<GbkCode>& codes);
    // One code as UTF-8 text for messages ("?" when it is no GBK character); control
    // characters are shown as "U+000D"-style names.
    static std::string Name(GbkCode code);
};
