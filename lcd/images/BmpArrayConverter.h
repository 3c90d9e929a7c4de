#pragma once
// The bitmap-to-array conversion: a picture's module pixel stream written as a C array
// initialiser for firmware and host programs that draw the picture themselves.
//
// Text: "{", then every byte as "0x%02X, " ("0x%02X }" for the last), with CR LF before
// the 1st, 9th, 17th... byte.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "base/ByteArray.h"

class Messenger;

class BmpArrayConverter {
public:
    // The two control bits (h, l) a 64-colour stream can carry in bits 5 and 2.
    enum Control { kNoControl = -1, kOr = 0, kAnd = 1, kXor = 2, kCover = 3 };

    struct Options {
        // Output size; both -1 for the picture's own size.
        int width = -1;
        int height = -1;
        // The colour choice: 8, 64, 256, 16 (16-bit: every pixel RGB565) or 14.
        int colours = 8;
        int control = kNoControl;
        // 0..3: board type 1 takes 16-bit pixels low byte first.
        int boardType = 0;
    };

    // Loads the picture without size check and appends its pixel stream; the
    // 16-bit choice sends every pixel as RGB565. Returns the bytes appended, or -1 when
    // the picture cannot be loaded (its message has been told) or the options are not
    // valid.
    static int Convert(const std::string& path, const Options& options, CByteArray& pixels,
                       Messenger& messenger);
    // (byte AND 0xDB) OR h x 32 OR l x 4 for every byte.
    static void ApplyControl(std::span<uint8_t> pixels, int control);
    static std::string FormatText(const CByteArray& pixels);
    // The same text handed to `sink` in pieces of about 64 KB, so that a large picture's
    // text (seven bytes per pixel byte) is never held whole. Stops when `sink` fails.
    static bool FormatText(const CByteArray& pixels,
                           const std::function<bool(std::string_view)>& sink);
    // True for the colour choices above.
    static bool IsColourChoice(int colours);
};
