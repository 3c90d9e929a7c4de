#pragma once
// Intel HEX text to a binary image of the 16-bit address space, for the firmware upgrade.
//
// A text without ":00000001" is refused first. Then every record is checked in file
// order, and the first fault refuses the whole file with the record's line number, so
// that no image other than the one the file describes can reach the module's CPU:
// characters other than hexadecimal digits, ':' and line breaks; digits outside a
// record; a byte count that disagrees with the record's data; a wrong checksum; data
// past 64 KB or extended address records (types 2, 4); any other type than data (0)
// and end (1); anything but blank lines after the end record; no data at all.

#include <cstdint>
#include <string_view>

#include "base/ByteArray.h"

class Messenger;

class HexConverter {
public:
    static constexpr int kImageSize = 65536;
    // The longest HEX text read: 64 KB of data in one-byte records takes under 1 MB.
    static constexpr uint64_t kMaxTextBytes = uint64_t{16} << 20;
    // Caption of the conversion messages: the application's title.
    static constexpr const char* kCaption = "lcdscreen";

    // Fills `image` with kImageSize bytes (FF where no record wrote) and returns the image
    // length: one past the highest address written. On bad input tells the user why and
    // returns 0.
    static int Convert(std::string_view text, CByteArray& image, Messenger& messenger);
};
