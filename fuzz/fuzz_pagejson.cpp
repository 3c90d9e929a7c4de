// Fuzzes the JSON reader of pages, projects and device catalogues. A JSON that loads gives
// bytes its file's reader takes (Load checks that itself); dumped again, those bytes give
// a JSON that loads to the same bytes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "project/ArchiveJson.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    ArchiveJson::Kind kind = ArchiveJson::Kind::Page;
    CByteArray bytes;
    std::string error;
    if (!ArchiveJson::Load(text, kind, bytes, error)) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    std::string json;
    if (!ArchiveJson::Dump(kind, bytes, json, error)) __builtin_trap();
    ArchiveJson::Kind again = kind;
    CByteArray back;
    if (!ArchiveJson::Load(json, again, back, error) || again != kind || back != bytes)
        __builtin_trap();
    return 0;
}
