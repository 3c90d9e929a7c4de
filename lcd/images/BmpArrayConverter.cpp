#include "images/BmpArrayConverter.h"


#include "images/BitmapGlobals.h"
#include "images/CBmpObj.h"

bool BmpArrayConverter::IsColourChoice(int colours) {
    return colours == 8 || colours == 64 || colours == 256 || colours == 16 || colours == 14;
}

int BmpArrayConverter::Convert(const std::string& path, const Options& options,
                               CByteArray& pixels) {
    if (!IsColourChoice(options.colours)) return -1;
    const bool saved = g_b16BitPixels;
    g_b16BitPixels = options.colours == 16;
    const int colours = options.colours == 16 ? 14 : options.colours;
    int n = -1;
    {
        CBmpObj picture(path, nullptr, false, PageFormat{});
        const size_t before = pixels.size();
        n = picture.AppendPixels(pixels, colours, options.width, options.height);
        if (n > 0 && colours == 64)
            ApplyControl(std::span<uint8_t>(pixels).subspan(before), options.control);
    }
    g_b16BitPixels = saved;
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
    constexpr size_t kPiece = 65536;
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text = "{";
    text.reserve(kPiece + 64);
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (i % 8 == 0) text += "\r\n";
        const char value[] = {'0', 'x', kDigits[pixels[i] >> 4], kDigits[pixels[i] & 15]};
        text.append(value, sizeof value);
        text += i + 1 == pixels.size() ? " }" : ", ";
        if (text.size() >= kPiece) {
            if (!sink(text)) return false;
            text.clear();
        }
    }
    return text.empty() || sink(text);
}
