// Fuzzes the reader of the download memory files of the state directory. A file that
// reads plans without fault, and written again reads back the same.

#include <cstddef>
#include <cstdint>
#include <string>

#include "project/DownloadMemory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DownloadMemory::Saved saved;
    std::string why;
    if (!DownloadMemory::Parse(std::string(reinterpret_cast<const char*>(data), size), saved,
                               why)) {
        if (why.empty()) __builtin_trap();
        return 0;
    }
    // Entries stand for records of their length; Format writes them as records would.
    std::vector<FlashRecord> records;
    for (const DownloadMemory::Entry& e : saved.entries)
        if (e.length < 4096)
            records.push_back({e.kind, e.place, "", CByteArray(size_t(e.length), 0)});
    DownloadMemory::Saved again;
    if (!DownloadMemory::Parse(DownloadMemory::Format(saved.target, records), again, why) ||
        again.target.link != saved.target.link || again.entries.size() != records.size())
        __builtin_trap();
    return 0;
}
