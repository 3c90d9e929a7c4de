#pragma once
// The firmware download: a binary or Intel HEX file wrapped into the firmware command.

#include <string>

#include "base/ByteArray.h"

class Messenger;

class FirmwareBuilder {
public:
    // True when the path names a HEX file: it contains ".hex" in lower case anywhere.
    static bool IsHexPath(const std::string& path);
    // Reads the file (a HEX file is converted first) and appends the firmware command. On
    // failure the user has been told why and `bytes` is unchanged.
    static bool Build(const std::string& path, CByteArray& bytes, Messenger& messenger);
};
