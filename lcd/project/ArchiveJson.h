#pragma once
// Page, project and device catalogue files as JSON text, and back, byte for byte.
//
// The JSON names every stored field as the code names it (m_x1, m_crColor, ...), in file
// order; docs/page-json.md describes the format. Colours are "#rrggbb" next to their
// colour code bytes, texts UTF-8, bitmap data hex. A file that holds something its writer
// would not have written the same way (a long length prefix, a class tag given again,
// bytes after the end) keeps it in an "@..." member, so that every file the readers
// accept comes back identical.
//
// Both ways are checked by the file's own reader: Dump refuses bytes the reader refuses,
// Load refuses JSON whose bytes it would refuse, naming the JSON path (RFC 6901) of the
// first bad value: "/items/2/m_x1：须为整数".

#include <cstdint>
#include <span>
#include <string>

#include "base/ByteArray.h"

class ArchiveJson {
public:
    enum class Kind { Page, Project, Devices };
    // The "format" member: "lcdscreen-page", "lcdscreen-project", "lcdscreen-devices".
    static const char* FormatName(Kind kind);
    // The kind a file name stands for: .pg, .zkp, .dll (any case); false for others.
    static bool KindOfName(const std::string& path, Kind& kind);

    // The file's JSON, two-space indented, ending in a newline. False with `error` (UTF-8)
    // when the bytes are not a file of that kind.
    static bool Dump(Kind kind, std::span<const uint8_t> bytes, std::string& json,
                     std::string& error);
    // The file the JSON describes, of the kind its "format" names. False with `error`
    // ("PATH：why") when it describes no valid file.
    static bool Load(const std::string& json, Kind& kind, CByteArray& bytes, std::string& error);
};
