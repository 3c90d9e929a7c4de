#include "project/ProjectFile.h"

#include "base/Archive.h"
#include "base/ClassRegistry.h"

namespace {

// A name length byte, an empty name and two int32: the smallest entry after its tag.
constexpr size_t kMinEntryBytes = 2 + 1 + 8;

}  // namespace

bool ProjectFile::Write(const std::vector<CDocObj>& entries, CByteArray& out, std::string& error) {
    Archive ar;
    uint32_t count = static_cast<uint32_t>(entries.size());
    ar.Count(count, 0);
    for (const CDocObj& e : entries)
        ar.WriteObject(&e);
    if (!ar.Ok()) {
        error = "页面名称" + ar.Error().message;
        return false;
    }
    out = ar.TakeBytes();
    return true;
}

bool ProjectFile::Read(std::span<const uint8_t> bytes, std::vector<CDocObj>& entries,
                       std::string& error) {
    if (bytes.empty()) {
        entries.clear();
        return true;
    }
    static const ClassRegistry registry = [] {
        ClassRegistry r;
        r.Register<CDocObj>();
        return r;
    }();
    Archive ar(bytes, registry);
    std::vector<CDocObj> read = ar.ReadObjects<CDocObj>(kMinEntryBytes, "工程页面项");
    if (!ar.Ok()) {
        error = ar.Error().Describe();
        return false;
    }
    entries = std::move(read);
    return true;
}
