#pragma once
// Shared by the font generator's tests: hex strings of bytes and the Debian fonts whose
// bits are known (misc-fixed 8x13 from xfonts-base, GNU Unifont from xfonts-unifont).

#include <cstdint>
#include <string>
#include <vector>

inline const char kFixed8x13[] = "/usr/share/fonts/X11/misc/8x13.pcf.gz";
inline const char kUnifont[] = "/usr/share/fonts/X11/misc/unifont.pcf.gz";

inline std::string Hex(const std::vector<uint8_t>& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : bytes)
        text += {digits[b >> 4], digits[b & 15]};
    return text;
}

inline std::string Repeat(const std::string& text, int times) {
    std::string out;
    while (times-- > 0)
        out += text;
    return out;
}
