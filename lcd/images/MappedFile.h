#pragma once
// A whole file seen as read-only bytes without copying it (mapped into memory), so the
// readers work on one span whether the bytes come from a file or from a buffer.

#include <cstdint>
#include <span>
#include <string>

class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // False when the file cannot be opened or is not a regular file.
    bool Open(const std::string& path);
    void Close();
    std::span<const uint8_t> Bytes() const { return {m_data, m_size}; }

private:
    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    bool m_mapped = false;
};
