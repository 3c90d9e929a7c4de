#include "base/GbkCodec.h"

#include <iconv.h>

#include <algorithm>

namespace {

bool Convert(const char* to, const char* from, const std::string& in, std::string& out) {
    out.clear();
    if (in.empty()) return true;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string result(in.size() * 4 + 8, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = result.data();
    size_t dstLeft = result.size();
    const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || srcLeft != 0) return false;
    result.resize(result.size() - dstLeft);
    out = std::move(result);
    return true;
}

// Number of bytes of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

}  // namespace

bool GbkCodec::ToUtf8(const std::string& gbk, std::string& out) {
    return Convert("UTF-8", "GBK", gbk, out);
}

bool GbkCodec::FromUtf8(const std::string& utf8, std::string& out) {
    return Convert("GBK", "UTF-8", utf8, out);
}

std::string GbkCodec::ToUtf8(const std::string& gbk) {
    std::string out;
    ToUtf8(gbk, out);
    return out;
}

std::string GbkCodec::FromUtf8(const std::string& utf8) {
    std::string out;
    FromUtf8(utf8, out);
    return out;
}

std::string GbkCodec::FromUtf8Lossy(const std::string& utf8) {
    std::string out;
    if (FromUtf8(utf8, out)) return out;
    for (size_t i = 0; i < utf8.size();) {
        const size_t n =
            std::min(SequenceLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        std::string one;
        out += FromUtf8(utf8.substr(i, n), one) ? one : "?";
        i += n;
    }
    return out;
}
