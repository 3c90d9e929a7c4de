#pragma once
// Every file the program writes goes to a temporary file in the same folder first and is
// renamed over the old one, so a crash never leaves a half-written file.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class AtomicFile {
public:
    // Returns false, with `error` set (UTF-8) and the old file untouched, on failure.
    static bool Write(const std::string& path, std::span<const uint8_t> bytes, std::string& error);
    // Reads the whole file; false with `error` set when it cannot.
    static bool Read(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);
};
