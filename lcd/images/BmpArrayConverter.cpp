#include "images/BmpArrayConverter.h"

#include <array>
#include <cstring>

#include "images/CBmpObj.h"

bool BmpArrayConverter::IsColourChoice(int colours) {
    return colours == 8 || colours == 64 || colours == 256 || colours == 16 || colours == 14;
}

int BmpArrayConverter::Convert(const std::string& path, const Options& options, CByteArray& pixels,
                               Messenger& messenger) {
    if (!IsColourChoice(options.colours)) return -1;
    DownloadSettings settings = DownloadSettings::ForBoard(options.boardType);
    settings.pixels16 = options.colours == 16;
    const int colours = options.colours == 16 ? 14 : options.colours;
    CBmpObj picture(path, false, PageFormat{}, messenger);
    const size_t before = pixels.size();
    const int n = picture.AppendPixels(pixels, colours, options.width, options.height, settings);
    if (n > 0 && colours == 64)
        ApplyControl(std::span<uint8_t>(pixels).subspan(before), options.control);
    return n;
}

void BmpArrayConverter::ApplyControl(std::span<uint8_t> pixels, int control) {
    if (control < 0 || control > 3) return;
    const uint8_t h = static_cast<uint8_t>((control >> 1) & 1),
                  l = static_cast<uint8_t>(control & 1);
    for (uint8_t& b : pixels)
        b = static_cast<uint8_t>((b & 0xDB) | (h << 5) | (l << 2));
}

std::string BmpArrayConverter::FormatText(const CByteArray& pixels) {
    std::string text;
    text.reserve(1 + pixels.size() * 7 + pixels.size() / 4);
    FormatText(pixels, [&](std::string_view piece) {
        text += piece;
        return true;
    });
    return text;
}

bool BmpArrayConverter::FormatText(const CByteArray& pixels,
                                   const std::function<bool(std::string_view)>& sink) {
    // "0xHH, " of every byte value, copied whole.
    static const auto kValues = [] {
        static const char kDigits[] = "0123456789ABCDEF";
        std::array<std::array<char, 6>, 256> t{};
        for (int v = 0; v < 256; ++v)
            t[v] = {'0', 'x', kDigits[v >> 4], kDigits[v & 15], ',', ' '};
        return t;
    }();
    constexpr size_t kPiece = 65536;
    std::array<char, kPiece + 16> buf;
    size_t n = 0;
    buf[n++] = '{';
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (i % 8 == 0) {
            buf[n++] = '\r';
            buf[n++] = '\n';
        }
        std::memcpy(buf.data() + n, kValues[pixels[i]].data(), 6);
        n += 6;
        // The last value keeps its place in the buffer: its ", " becomes " }".
        if (n >= kPiece && i + 1 < pixels.size()) {
            if (!sink({buf.data(), n})) return false;
            n = 0;
        }
    }
    if (!pixels.empty()) {
        buf[n - 2] = ' ';
        buf[n - 1] = '}';
    }
    return sink({buf.data(), n});
}
