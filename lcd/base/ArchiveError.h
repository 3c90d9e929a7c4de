#pragma once

#include <cstddef>
#include <string>

// The first thing wrong with an archive being read: where it was noticed and what.
struct ArchiveError {
    size_t offset = 0;
    std::string message;  // UTF-8

    // "文件格式错误（偏移 123）：…", the one line callers show.
    std::string Describe() const;
};
