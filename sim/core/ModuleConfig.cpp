#include "core/ModuleConfig.h"

#include "base/ColourCode.h"
#include "base/StringFormat.h"
#include "images/DownloadSettings.h"
#include "images/PixelCodes.h"

namespace {

uint8_t Widen(unsigned v, unsigned max) {
    return static_cast<uint8_t>(v * 255 / max);
}

}  // namespace

std::string ModuleConfig::Check() const {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return StringFormat("屏幕尺寸 %dx%d 须在 1x1 到 %dx%d 之间", width, height, kMaxSide,
                            kMaxSide);
    if (colours != 8 && colours != 16 && colours != 64 && colours != 256)
        return StringFormat("颜色数 %d 须为 8、16、64 或 256", colours);
    if (board < 0 || board > 3) return StringFormat("板子类型 %d 须为 0 到 3", board);
    return "";
}

int ModuleConfig::FlashPageSize() const {
    return DownloadSettings::FlashPageSizeOf(board);
}

int64_t ModuleConfig::PixelBytes(int64_t w, int64_t h) const {
    if (w <= 0 || h <= 0) return 0;
    if (Pixels16()) return w * h * 2;
    if (colours == 8) return w / 2 * h;
    return w * h;
}

COLORREF ModuleConfig::CodeColour(uint8_t code) const {
    return ColourCode::ScreenColour(colours, code >> 4, code & 15);
}

COLORREF ModuleConfig::PixelColour(uint32_t value) const {
    if (Pixels16())
        return Rgb(Widen((value >> 11) & 31, 31), Widen((value >> 5) & 63, 63),
                   Widen(value & 31, 31));
    if (colours == 8)
        return Rgb((value & 1) ? 255 : 0, (value & 2) ? 255 : 0, (value & 4) ? 255 : 0);
    return CodeColour(static_cast<uint8_t>(value));
}

COLORREF ModuleConfig::Quantize(COLORREF c) const {
    const uint8_t r = RedOf(c), g = GreenOf(c), b = BlueOf(c);
    if (Pixels16()) return PixelColour(PixelCodes::ColourTo565(r, g, b));
    if (colours == 8) return PixelColour(PixelCodes::ColourTo8(r, g, b));
    if (colours == 64) return PixelColour(PixelCodes::ColourTo64(r, g, b));
    return PixelColour(PixelCodes::ColourTo256(r, g, b));
}

const char* ModuleConfig::FramingName(Framing f) {
    switch (f) {
        case Framing::Short:
            return "short";
        case Framing::Checksum:
            return "checksum";
        case Framing::Long:
            return "long";
        default:
            return "auto";
    }
}

bool ModuleConfig::ParseFraming(const std::string& text, Framing& out) {
    for (Framing f : {Framing::Auto, Framing::Short, Framing::Checksum, Framing::Long}) {
        if (text == FramingName(f)) {
            out = f;
            return true;
        }
    }
    return false;
}
