#include "images/DibFormat.h"

#include "base/StringFormat.h"

namespace {

void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// 5-bit channel widened the way displays do it: the top bits repeated below.
uint8_t Widen5(unsigned v) {
    return static_cast<uint8_t>((v << 3) | (v >> 2));
}

}  // namespace

void BitmapInfoHeader::Pack(uint8_t* out) const {
    Put32(out, size);
    Put32(out + 4, static_cast<uint32_t>(width));
    Put32(out + 8, static_cast<uint32_t>(height));
    Put16(out + 12, planes);
    Put16(out + 14, bitCount);
    Put32(out + 16, compression);
    Put32(out + 20, sizeImage);
    Put32(out + 24, static_cast<uint32_t>(xPelsPerMeter));
    Put32(out + 28, static_cast<uint32_t>(yPelsPerMeter));
    Put32(out + 32, clrUsed);
    Put32(out + 36, clrImportant);
}

BitmapInfoHeader BitmapInfoHeader::Unpack(const uint8_t* in) {
    BitmapInfoHeader h;
    h.size = Get32(in);
    h.width = static_cast<int32_t>(Get32(in + 4));
    h.height = static_cast<int32_t>(Get32(in + 8));
    h.planes = Get16(in + 12);
    h.bitCount = Get16(in + 14);
    h.compression = Get32(in + 16);
    h.sizeImage = Get32(in + 20);
    h.xPelsPerMeter = static_cast<int32_t>(Get32(in + 24));
    h.yPelsPerMeter = static_cast<int32_t>(Get32(in + 28));
    h.clrUsed = Get32(in + 32);
    h.clrImportant = Get32(in + 36);
    return h;
}

int64_t DibFormat::RowBytes(int bits, int64_t width) {
    if (bits <= 0 || bits > 32 || width <= 0) return 0;
    return (bits * width + 31) / 32 * 4;
}

bool DibFormat::IsPlainDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

int64_t DibFormat::CheckSize(int64_t width, int64_t height, int bits, std::string& message) {
    message.clear();
    if (width <= 0 || height <= 0 || bits <= 0 || bits > 32) return -1;
    if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels) {
        message = StringFormat(
            "图像尺寸 %lld*%lld 超出上限（宽、高各不超过 %d 像素，像素总数不超过 %lld）",
            static_cast<long long>(width), static_cast<long long>(height), kMaxSide,
            static_cast<long long>(kMaxPixels));
        return -1;
    }
    return RowBytes(bits, width) * height;
}

COLORREF DibFormat::PixelColour(const uint8_t* row, int x, int bits,
                                std::span<const RgbQuad> table) {
    unsigned index = 0;
    switch (bits) {
        case 1:
            index = (row[x >> 3] >> (7 - (x & 7))) & 1u;
            break;
        case 4:
            index = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15u;
            break;
        case 8:
            index = row[x];
            break;
        case 16: {
            const unsigned v = Get16(row + 2 * x);
            return Rgb(Widen5((v >> 10) & 31), Widen5((v >> 5) & 31), Widen5(v & 31));
        }
        case 24:
            return Rgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
        case 32:
            return Rgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
        default:
            return 0;
    }
    return index < table.size() ? table[index].Colour() : 0;
}

RgbQuad DibFormat::StandardColour(int index) {
    // black, dark red, dark green, dark yellow, dark blue, dark magenta, dark cyan,
    // light grey, dark grey, red, green, yellow, blue, magenta, cyan, white
    static const COLORREF kColours[16] = {
        Rgb(0, 0, 0),       Rgb(128, 0, 0),   Rgb(0, 128, 0),   Rgb(128, 128, 0),
        Rgb(0, 0, 128),     Rgb(128, 0, 128), Rgb(0, 128, 128), Rgb(192, 192, 192),
        Rgb(128, 128, 128), Rgb(255, 0, 0),   Rgb(0, 255, 0),   Rgb(255, 255, 0),
        Rgb(0, 0, 255),     Rgb(255, 0, 255), Rgb(0, 255, 255), Rgb(255, 255, 255)};
    return RgbQuad::From(kColours[index & 15]);
}
