#include "images/BmpArrayConverter.h"

#include <cstdio>

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
    std::string text = "{";
    text.reserve(1 + pixels.size() * 7 + pixels.size() / 4);
    char value[16];
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (i % 8 == 0) text += "\r\n";
        std::snprintf(value, sizeof value, i + 1 == pixels.size() ? "0x%02X }" : "0x%02X, ",
                      pixels[i]);
        text += value;
    }
    return text;
}
