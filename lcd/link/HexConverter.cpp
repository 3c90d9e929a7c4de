#include "link/HexConverter.h"

#include <algorithm>
#include <string>

#include "base/Messenger.h"
#include "base/StringFormat.h"

namespace {

int Digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

int Refuse(Messenger& messenger, const std::string& why) {
    messenger.Tell("*.Hex文件转换失败(" + why + ")!", HexConverter::kCaption);
    return 0;
}

int Refuse(Messenger& messenger, int line, const char* why) {
    return Refuse(messenger, StringFormat("第%d行：%s", line, why));
}

bool IsBlank(std::string_view line) {
    return std::all_of(line.begin(), line.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\x1A'; });
}

}  // namespace

int HexConverter::Convert(std::string_view text, CByteArray& image, Messenger& messenger) {
    image.assign(kImageSize, 0xFF);
    if (text.find(":00000001") == std::string_view::npos)
        return Refuse(messenger, "未找到\":00000001\"记录");

    int length = 0;
    bool ended = false;
    int lineNo = 0;
    CByteArray b;
    size_t pos = 0;
    while (pos < text.size()) {
        // One line: CR LF, LF or a lone CR ends it.
        const size_t stop = text.find_first_of("\r\n", pos);
        const size_t end = stop == std::string_view::npos ? text.size() : stop;
        const std::string_view line = text.substr(pos, end - pos);
        pos = end;
        if (pos < text.size()) pos += text.compare(pos, 2, "\r\n") == 0 ? 2 : 1;
        ++lineNo;
        if (line.empty()) continue;
        if (ended) {
            if (IsBlank(line)) continue;
            return Refuse(messenger, lineNo, "结束记录之后还有内容");
        }
        if (line[0] != ':')
            return Refuse(messenger, lineNo, Digit(line[0]) < 0 ? "错误的字符" : "错误的记录");
        b.clear();
        for (size_t i = 1; i < line.size(); i += 2) {
            const int hi = Digit(line[i]);
            const int lo = i + 1 < line.size() ? Digit(line[i + 1]) : -1;
            if (hi < 0 || lo < 0) return Refuse(messenger, lineNo, "错误的字符");
            b.push_back(static_cast<uint8_t>(hi * 16 + lo));
        }
        if (b.size() < 5) return Refuse(messenger, lineNo, "错误的记录");
        const size_t n = b[0];
        if (b.size() != n + 5) return Refuse(messenger, lineNo, "记录的字节数与数据不符");
        uint8_t sum = 0;
        for (uint8_t v : b)
            sum = static_cast<uint8_t>(sum + v);
        if (sum != 0) return Refuse(messenger, lineNo, "校验和错误");
        const uint8_t type = b[3];
        if (type == 2 || type == 4) return Refuse(messenger, lineNo, "不支持大于64k");
        if (type == 1) {
            if (n != 0) return Refuse(messenger, lineNo, "错误的记录");
            ended = true;
            continue;
        }
        if (type != 0) return Refuse(messenger, lineNo, "错误的记录");
        const size_t address = static_cast<size_t>(b[1]) * 256 + b[2];
        // Data running past the 64 KB image would be written outside it.
        if (address + n > static_cast<size_t>(kImageSize))
            return Refuse(messenger, lineNo, "错误的记录");
        std::copy(b.begin() + 4, b.begin() + 4 + static_cast<std::ptrdiff_t>(n),
                  image.begin() + static_cast<std::ptrdiff_t>(address));
        if (n > 0) length = std::max(length, static_cast<int>(address + n));
    }
    if (!ended) return Refuse(messenger, "未找到\":00000001\"记录");
    if (length == 0) return Refuse(messenger, "文件中没有数据记录");
    return length;
}
