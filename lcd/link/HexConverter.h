#pragma once
// Intel HEX text to a binary image of the 16-bit address space, for the firmware upgrade.
// Only data records (type 0) are applied; record checksums are not verified and a record
// may lack its checksum byte. Everything from the first ":00000001" on is ignored, and a
// text without it is refused.

#include <string_view>

#include "base/ByteArray.h"

class Messenger;

class HexConverter {
public:
    static constexpr int kImageSize = 65536;
    // Caption of the conversion messages: the application's title.
    static constexpr const char* kCaption = "lcdscreen";

    // Fills `image` with kImageSize bytes (FF where no record wrote) and returns the image
    // length: one past the highest address written, or 1 without data. On bad input tells
    // the user why and returns 0.
    static int Convert(std::string_view text, CByteArray& image, Messenger& messenger);
};
