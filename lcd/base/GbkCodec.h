#pragma once
// GBK <-> UTF-8 through iconv. Files and the module carry GBK; the program keeps UTF-8.

#include <string>

class GbkCodec {
public:
    // Returns false (and leaves `out` empty) when `gbk` is not valid GBK text.
    static bool ToUtf8(const std::string& gbk, std::string& out);
    // Returns false (and leaves `out` empty) when `utf8` holds a character GBK lacks.
    static bool FromUtf8(const std::string& utf8, std::string& out);
    // Conveniences for texts known to be valid: invalid input gives "".
    static std::string ToUtf8(const std::string& gbk);
    static std::string FromUtf8(const std::string& utf8);
    // GBK of UTF-8 text where each character GBK lacks (or stray byte) becomes "?".
    static std::string FromUtf8Lossy(const std::string& utf8);
};
