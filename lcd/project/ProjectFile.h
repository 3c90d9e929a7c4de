#pragma once
// The ".zkp" project file: the entries array and nothing else.
//
//   count     u16 (or 0xFFFF and a u32)
//   entries   object references to CDocObj: the first carries the class tag
//             FF FF 01 00 07 00 "CDocObj", every later one the tag 01 80; then the
//             entry's fields (see CDocObj.h)
//
// Readers read exactly the counted entries and ignore bytes after the last one (a longer
// list written earlier may leave them). An empty file is a project without entries.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/ByteArray.h"
#include "project/CDocObj.h"

class ProjectFile {
public:
    // The longest project file read: far beyond the entries the 256-page area can hold.
    static constexpr uint64_t kMaxFileBytes = uint64_t{16} << 20;
    // False, with `error`, when an entry name cannot be written in GBK; `out` untouched.
    static bool Write(const std::vector<CDocObj>& entries, CByteArray& out, std::string& error);
    // False, with `error` naming the offset, when the bytes are not a project file;
    // `entries` is left as it was then.
    static bool Read(std::span<const uint8_t> bytes, std::vector<CDocObj>& entries,
                     std::string& error);
};
