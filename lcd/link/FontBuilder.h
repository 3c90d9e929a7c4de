#pragma once
// The font downloads: a standard font stored at block 0A, or a custom font stored under a
// kind number 0..9 at block 08. The file's content is sent as it is.

#include <cstdint>
#include <string>

#include "base/ByteArray.h"

class Messenger;

class FontBuilder {
public:
    static constexpr int kMaxKind = 9;
    // The largest standard font file read (a 32 x 32 GB2312 font takes about 1 MB); a
    // custom font is limited by its K byte to 255 units of 8192 bytes.
    static constexpr uint64_t kMaxStandardBytes = uint64_t{16} << 20;

    // Each appends the font's flash block record in the instruction mode. On failure the
    // user has been told why and `bytes` is unchanged.
    static bool BuildStandard(const std::string& path, int mode, CByteArray& bytes,
                              Messenger& messenger);
    static bool BuildCustom(const std::string& path, int kind, int mode, CByteArray& bytes,
                            Messenger& messenger);
};
