#include "GbkText.h"

#include <iconv.h>

#include <cerrno>

#include <cstdio>

namespace {

// One iconv conversion descriptor, closed on scope exit.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (Ok()) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    // Converts all of `in` into `out`; false when a byte sequence has no conversion, with
    // `stop` the offset of the first one.
    bool Run(const std::string& in, std::string& out, size_t& stop) {
        out.clear();
        stop = 0;
        if (!Ok()) return false;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t left = in.size();
        char buffer[256];
        while (left > 0) {
            char* dst = buffer;
            size_t room = sizeof buffer;
            const size_t r = iconv(m_cd, &src, &left, &dst, &room);
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (r == static_cast<size_t>(-1) && errno != E2BIG) {
                stop = in.size() - left;
                return false;
            }
        }
        return true;
    }

private:
    iconv_t m_cd;
};

size_t Utf8Length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

std::string Hex(const char* format, unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The offset of the first byte that starts no valid UTF-8 sequence (a stray continuation,
// a cut or overlong sequence, a surrogate, past U+10FFFF); npos when there is none.
size_t FirstInvalidUtf8(const std::string& s) {
    static const uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const size_t n = Utf8Length(c);
        if (c >= 0x80 && (n == 1 || i + n > s.size())) return i;
        uint32_t point = n == 1 ? c : c & (0x7F >> n);
        for (size_t k = 1; k < n; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return i;
            point = point << 6 | (d & 0x3F);
        }
        if (n > 1 &&
            (point < kLeast[n] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)))
            return i;
        i += n;
    }
    return std::string::npos;
}

}  // namespace

std::vector<GbkCode> GbkText::Split(const std::string& gbk) {
    std::vector<GbkCode> codes;
    for (size_t i = 0; i < gbk.size(); ++i) {
        const auto lead = static_cast<uint8_t>(gbk[i]);
        if (lead < 0x80) {
            codes.push_back(lead);
        } else {
            const uint8_t trail = i + 1 < gbk.size() ? static_cast<uint8_t>(gbk[++i]) : 0;
            codes.push_back(static_cast<GbkCode>(lead << 8 | trail));
        }
    }
    return codes;
}

bool GbkText::FromUtf8(const std::string& utf8, std::vector<GbkCode>& codes, std::string& error) {
    if (const size_t bad = FirstInvalidUtf8(utf8); bad != std::string::npos) {
        error = "文字不是有效的 UTF-8：第 " + std::to_string(bad + 1) + " 个字节 " +
                Hex("0x%02X", static_cast<unsigned char>(utf8[bad])) + " 起无法解读";
        return false;
    }
    Converter toGbk("GBK", "UTF-8");
    std::string gbk;
    size_t stop = 0;
    if (!toGbk.Run(utf8, gbk, stop)) {
        const std::string bad =
            utf8.substr(stop, Utf8Length(static_cast<unsigned char>(utf8[stop])));
        error = "字符“" + bad + "”不在 GBK 字符集中，不能放进字库";
        return false;
    }
    codes = Split(gbk);
    return true;
}

std::vector<char32_t> GbkText::ToUnicode(const std::vector<GbkCode>& codes) {
    Converter toUtf32("UTF-32LE", "GBK");
    std::vector<char32_t> points;
    points.reserve(codes.size());
    std::string out;
    for (GbkCode code : codes) {
        size_t stop = 0;
        char32_t point = 0;
        if (!IsDouble(code)) {
            point = code < 0x80 ? code : 0;
        } else if (toUtf32.Run(std::string{static_cast<char>(code >> 8), static_cast<char>(code)},
                               out, stop) &&
                   out.size() == 4) {
            for (int i = 3; i >= 0; --i)
                point = point << 8 | static_cast<unsigned char>(out[i]);
        }
        points.push_back(point);
    }
    return points;
}

std::string GbkText::Name(GbkCode code) {
    if (code < 0x20 || code == 0x7F) return Hex("U+%04X", code);
    if (!IsDouble(code)) return code < 0x80 ? std::string(1, static_cast<char>(code)) : "?";
    Converter toUtf8("UTF-8", "GBK");
    std::string out;
    size_t stop = 0;
    if (!toUtf8.Run(std::string{static_cast<char>(code >> 8), static_cast<char>(code)}, out, stop))
        return Hex("0x%04X", code);
    return out;
}
