#include "link/DownloadFile.h"

#include <sys/stat.h>

#include <cstdio>

DownloadFile::Result DownloadFile::Read(const std::string& path, CByteArray& bytes) {
    bytes.clear();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return CannotOpen;
    struct stat st {};
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
        std::fclose(f);
        return CannotOpen;
    }
    // The length is taken once, as the download announces it; a file that shrinks while
    // it is read is a short read.
    bytes.resize(static_cast<size_t>(st.st_size));
    const size_t got = bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    if (got != bytes.size()) {
        bytes.clear();
        return ShortRead;
    }
    return Ok;
}
