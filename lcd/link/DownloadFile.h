#pragma once
// Reads a file to download whole, telling apart a file that cannot be opened from one
// that delivers fewer bytes than its length; each download names the two its own way.

#include <cstdint>
#include <string>

#include "base/ByteArray.h"

class Messenger;

class DownloadFile {
public:
    enum Result { Ok, CannotOpen, ShortRead, TooLarge };
    // Only regular files are read; anything else cannot be opened. A file longer than
    // `limit` bytes (the largest the kind of download can use) is refused before it is
    // read. `bytes` is empty unless the result is Ok; `reason` (when given) is then the
    // system's reason, or that the file is not a regular one.
    static Result Read(const std::string& path, CByteArray& bytes, uint64_t limit,
                       std::string* reason = nullptr);
    // Read, telling the user what went wrong as a raw file or firmware download does:
    // "打开文件失败" or "文件未读取完毕" with the file and the reason, or `what` +
    // "过大（最多 …）". True when read.
    static bool Read(const std::string& path, CByteArray& bytes, uint64_t limit,
                     const std::string& what, Messenger& messenger);
};
