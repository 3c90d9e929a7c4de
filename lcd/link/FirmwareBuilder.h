#pragma once
// The firmware download: a binary or Intel HEX file wrapped into the firmware command.

#include <cstdint>
#include <string>

#include "base/ByteArray.h"

class Messenger;

class FirmwareBuilder {
public:
    // The largest binary firmware file read; a HEX file is limited by HexConverter.
    static constexpr uint64_t kMaxBinaryBytes = uint64_t{16} << 20;

    // True when the path names a HEX file: it contains ".hex" in any case anywhere.
    // Sending a HEX file's text as a binary image would put garbage into the module's
    // CPU; reading a binary as HEX is only refused.
    static bool IsHexPath(const std::string& path);
    // Reads the file (a HEX file is converted first) and appends the firmware command. On
    // failure the user has been told why and `bytes` is unchanged.
    static bool Build(const std::string& path, CByteArray& bytes, Messenger& messenger);
};
