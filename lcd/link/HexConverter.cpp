#include "link/HexConverter.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/Messenger.h"

namespace {

int Digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

int Refuse(Messenger& messenger, const char* why) {
    messenger.Tell(std::string("*.Hex文件转换失败(") + why + ")!", HexConverter::kCaption);
    return 0;
}

struct Span {
    size_t begin, end;
};

}  // namespace

int HexConverter::Convert(std::string_view text, CByteArray& image, Messenger& messenger) {
    image.assign(kImageSize, 0xFF);
    const size_t stop = text.find(":00000001");
    if (stop == std::string_view::npos) return Refuse(messenger, "未找到\":00000001\"记录");

    // Every record's bytes, kept as ranges of one buffer.
    CByteArray data;
    std::vector<Span> records;
    size_t i = 0;
    while (i < stop) {
        const char c = text[i];
        if (c == ':') {
            records.push_back({data.size(), data.size()});
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        // A pair of digits; the second one must lie before the end record too.
        const int hi = Digit(c);
        const int lo = i + 1 < stop ? Digit(text[i + 1]) : -1;
        if (hi < 0 || lo < 0) return Refuse(messenger, "错误的字符");
        // Digits before the first ':' belong to no record.
        if (records.empty()) return Refuse(messenger, "错误的记录");
        data.push_back(static_cast<uint8_t>(hi * 16 + lo));
        records.back().end = data.size();
        i += 2;
    }

    int length = 0;
    for (const Span& r : records) {
        const size_t size = r.end - r.begin;
        const uint8_t* b = data.data() + r.begin;
        if (size < 5) return Refuse(messenger, "错误的记录");
        const uint8_t type = b[3];
        if (type == 2 || type == 4) return Refuse(messenger, "不支持大于64k");
        if (type != 0) return Refuse(messenger, "错误的记录");
        const size_t n = b[0];
        if (size < n + 4) return Refuse(messenger, "错误的记录");
        const size_t address = static_cast<size_t>(b[1]) * 256 + b[2];
        // Data running past the 64 KB image would be written outside it.
        if (address + n > static_cast<size_t>(kImageSize)) return Refuse(messenger, "错误的记录");
        std::copy(b + 4, b + 4 + n, image.begin() + static_cast<std::ptrdiff_t>(address));
        if (n > 0) length = std::max(length, static_cast<int>(address + n));
    }
    return length > 0 ? length : 1;
}
