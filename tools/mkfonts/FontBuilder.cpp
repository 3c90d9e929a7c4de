#include "FontBuilder.h"

#include <iconv.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Converts GB2312 codes to UTF-32LE for the lifetime of the object.
class Gb2312Converter {
public:
    Gb2312Converter() : m_cd(iconv_open("UTF-32LE", "GB2312")) {}
    ~Gb2312Converter() {
        if (Ok()) iconv_close(m_cd);
    }
    Gb2312Converter(const Gb2312Converter&) = delete;
    Gb2312Converter& operator=(const Gb2312Converter&) = delete;

    bool Ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    uint32_t Convert(uint8_t first, uint8_t second) {
        char in[2] = {static_cast<char>(first), static_cast<char>(second)};
        unsigned char out[8] = {};
        char* src = in;
        size_t srcLeft = sizeof in;
        char* dst = reinterpret_cast<char*>(out);
        size_t dstLeft = sizeof out;
        const size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        // Exactly one character of four bytes, or the code is empty in GB2312.
        if (rc == static_cast<size_t>(-1) || srcLeft != 0 || sizeof out - dstLeft != 4) return 0;
        return out[0] | (uint32_t{out[1]} << 8) | (uint32_t{out[2]} << 16) |
               (uint32_t{out[3]} << 24);
    }

private:
    iconv_t m_cd;
};

}  // namespace

bool FontBuilder::ParseLine(const std::string& line) {
    const size_t colon = line.find(':');
    if (colon < 4 || colon > 6 || colon == std::string::npos) return false;
    uint32_t cp = 0;
    for (size_t i = 0; i < colon; ++i) {
        const int d = HexDigit(line[i]);
        if (d < 0) return false;
        cp = cp * 16 + static_cast<uint32_t>(d);
    }
    std::string hex = line.substr(colon + 1);
    while (!hex.empty() && (hex.back() == '\r' || hex.back() == ' '))
        hex.pop_back();
    if (hex.size() % 2 != 0) return false;
    std::vector<uint8_t> glyph(hex.size() / 2);
    for (size_t i = 0; i < glyph.size(); ++i) {
        const int hi = HexDigit(hex[2 * i]), lo = HexDigit(hex[2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        glyph[i] = static_cast<uint8_t>(hi * 16 + lo);
    }
    // Wider glyphs (a few in the upper planes) are no use to a 16 x 16 grid.
    if (glyph.size() == 16 || glyph.size() == 32) m_glyphs[cp] = std::move(glyph);
    return true;
}

bool FontBuilder::ParseHex(std::istream& in, std::string& error) {
    std::string line;
    size_t number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        if (!ParseLine(line)) {
            error = "line " + std::to_string(number) + " is not a hex glyph line";
            return false;
        }
    }
    if (m_glyphs.empty()) {
        error = "no glyphs";
        return false;
    }
    return true;
}

const std::vector<uint8_t>* FontBuilder::Glyph(uint32_t codePoint) const {
    const auto it = m_glyphs.find(codePoint);
    return it == m_glyphs.end() ? nullptr : &it->second;
}

std::vector<uint8_t> FontBuilder::BuildAsc16() const {
    std::vector<uint8_t> font(kAsc16Size, 0);
    for (uint32_t code = 0x20; code <= 0x7E; ++code) {
        const std::vector<uint8_t>* g = Glyph(code);
        if (!g || g->size() != 16) continue;
        std::memcpy(font.data() + code * 16, g->data(), 16);
    }
    return font;
}

void FontBuilder::ToCell16(const std::vector<uint8_t>& glyph, uint8_t* cell) {
    if (glyph.size() == 32) {
        std::memcpy(cell, glyph.data(), 32);
        return;
    }
    std::memset(cell, 0, 32);
    if (glyph.size() != 16) return;
    for (int row = 0; row < 16; ++row) {
        cell[row * 2] = static_cast<uint8_t>(glyph[row] >> 4);
        cell[row * 2 + 1] = static_cast<uint8_t>((glyph[row] << 4) & 0xFF);
    }
}

uint32_t FontBuilder::Gb2312ToUnicode(uint8_t first, uint8_t second) {
    Gb2312Converter conv;
    return conv.Ok() ? conv.Convert(first, second) : 0;
}

bool FontBuilder::BuildHzk16(std::vector<uint8_t>& out, std::string& error) const {
    Gb2312Converter conv;
    if (!conv.Ok()) {
        error = std::string("iconv cannot convert GB2312: ") + std::strerror(errno);
        return false;
    }
    out.assign(kHzk16Size, 0);
    for (int row = 0; row < 94; ++row) {
        for (int col = 0; col < 94; ++col) {
            const uint32_t cp =
                conv.Convert(static_cast<uint8_t>(0xA1 + row), static_cast<uint8_t>(0xA1 + col));
            if (cp == 0) continue;
            const std::vector<uint8_t>* g = Glyph(cp);
            if (!g) continue;
            ToCell16(*g, out.data() + (static_cast<size_t>(row) * 94 + col) * 32);
        }
    }
    return true;
}

bool FontBuilder::WriteFile(const std::string& path, const std::vector<uint8_t>& bytes,
                            std::string& error) {
    const std::string tmp = path + ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) {
        error = tmp + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed || std::rename(tmp.c_str(), path.c_str()) != 0) {
        error = path + ": " + std::strerror(errno);
        unlink(tmp.c_str());
        return false;
    }
    return true;
}
