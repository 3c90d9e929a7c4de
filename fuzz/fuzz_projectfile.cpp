// Fuzzes the ".zkp" reader: a file that reads must write back to a prefix-equal file
// (bytes after the counted entries are ignored on reading).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "project/ProjectFile.h"
#include "project/Workspace.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<CDocObj> entries;
    std::string error;
    if (!ProjectFile::Read(std::span<const uint8_t>(data, size), entries, error)) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    // What was read as GBK can always be written back.
    CByteArray again;
    if (!ProjectFile::Write(entries, again, error)) __builtin_trap();
    std::vector<CDocObj> back;
    if (!ProjectFile::Read(again, back, error) || back.size() != entries.size()) __builtin_trap();
    for (size_t i = 0; i < back.size(); ++i) {
        if (back[i].m_strName != entries[i].m_strName) __builtin_trap();
        Workspace::IsSafeEntryName(back[i].m_strName);
    }
    return 0;
}
