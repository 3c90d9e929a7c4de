#include "base/ColourCode.h"

#include "base/StringFormat.h"

namespace {

uint8_t Level256(int k) {
    return static_cast<uint8_t>(36 * k + k / 2);
}

COLORREF Vga16(int c) {
    if (c == 7) return Rgb(192, 192, 192);
    if (c == 8) return Rgb(128, 128, 128);
    const uint8_t on = (c & 8) ? 255 : 128;
    return Rgb((c & 4) ? on : 0, (c & 2) ? on : 0, (c & 1) ? on : 0);
}

}  // namespace

int ColourCode::Rows(int colours) {
    switch (colours) {
        case 8:
        case 16:
            return 1;
        case 64:
            return 8;
        case 256:
            return 16;
        default:
            return 0;
    }
}

int ColourCode::Columns(int colours) {
    switch (colours) {
        case 8:
            return 8;
        case 16:
            return 16;
        case 64:
            return 8;
        case 256:
            return 16;
        default:
            return 0;
    }
}

int ColourCode::CellSize(int colours) {
    return colours == 256 ? 8 : 16;
}

COLORREF ColourCode::ScreenColour(int colours, int hi, int lo) {
    if (hi < 0 || lo < 0 || hi >= Rows(colours) || lo >= Columns(colours)) return Rgb(0, 0, 0);
    switch (colours) {
        case 8:
            return Rgb((lo & 4) ? 255 : 0, (lo & 2) ? 255 : 0, (lo & 1) ? 255 : 0);
        case 16:
            return Vga16(lo);
        case 64:
            return Rgb(static_cast<uint8_t>(((hi & 1) ? 182 : 0) + ((lo & 1) ? 73 : 0)),
                       static_cast<uint8_t>(((hi & 2) ? 182 : 0) + ((lo & 2) ? 73 : 0)),
                       static_cast<uint8_t>(((hi & 4) ? 170 : 0) + ((lo & 4) ? 85 : 0)));
        case 256: {
            const int i = hi * 16 + lo;
            return Rgb(Level256(i / 32), Level256((i / 4) % 8), static_cast<uint8_t>(85 * (i % 4)));
        }
        default:
            return Rgb(0, 0, 0);
    }
}

bool ColourCode::DefaultDrawCode(int colours, uint8_t& hi, uint8_t& lo) {
    switch (colours) {
        case 8:
            hi = 0, lo = 7;
            return true;
        case 16:
            hi = 0, lo = 15;
            return true;
        case 64:
            hi = 7, lo = 7;
            return true;
        case 256:
            hi = 15, lo = 15;
            return true;
        default:
            return false;
    }
}

std::string ColourCode::DialogForm(int hi, int lo) {
    return StringFormat("0X%X%X", hi, lo);
}

std::string ColourCode::TreeForm(int hi, int lo) {
    return StringFormat("%X%X", hi, lo);
}
