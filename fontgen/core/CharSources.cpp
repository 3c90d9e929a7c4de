#include "CharSources.h"

#include <algorithm>
#include <charconv>

namespace {

bool TrailInRow(unsigned trail, bool wholeGbk) {
    if (!wholeGbk) return trail >= 0xA1 && trail <= 0xFE;
    return (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFE);
}

bool ParseHex(std::string_view text, unsigned& value) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, value, 16);
    return !text.empty() && r.ec == std::errc() && r.ptr == end;
}

}  // namespace

bool CharSources::Range(unsigned first, unsigned last, std::vector<GbkCode>& codes,
                        std::string& error) {
    const auto isDouble = [](unsigned c) { return c >= 0x8140 && c <= 0xFEFE; };
    const bool single = first <= 0x7F && last <= 0x7F;
    if ((!single && !(isDouble(first) && isDouble(last))) || first > last ||
        (!single && !TrailInRow(first & 0xFF, true))) {
        error = "编码范围须为 00-7F 之内的单字节编码，或 8140-FEFE 之内的双字节编码，且由小到大";
        return false;
    }
    codes.clear();
    const bool wholeGbk = (first & 0xFF) < 0xA1;
    for (unsigned c = first; c <= last; ++c)
        if (single || TrailInRow(c & 0xFF, wholeGbk)) codes.push_back(static_cast<GbkCode>(c));
    return true;
}

bool CharSources::ParseRange(const std::string& text, std::vector<GbkCode>& codes,
                             std::string& error) {
    const size_t dash = text.find('-');
    unsigned first = 0, last = 0;
    if (dash == std::string::npos || !ParseHex(std::string_view(text).substr(0, dash), first) ||
        !ParseHex(std::string_view(text).substr(dash + 1), last)) {
        error = "编码范围须写成“起-止”的十六进制编码，如 20-7E 或 B0A1-D7F9，不是“" + text + "”";
        return false;
    }
    return Range(first, last, codes, error);
}

std::vector<GbkCode> CharSources::Gb2312Level1() {
    std::vector<GbkCode> codes;
    std::string error;
    Range(0xB0A1, 0xD7F9, codes, error);
    return codes;
}

std::vector<GbkCode> CharSources::Gb2312All() {
    std::vector<GbkCode> codes;
    std::string error;
    Range(0xA1A1, 0xF7FE, codes, error);
    return codes;
}

void CharSources::SortUnique(std::vector<GbkCode>& codes) {
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
}
