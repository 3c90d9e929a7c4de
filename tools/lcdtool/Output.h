#pragma once
// How lcdtool reports: one line on stderr for a failure; outputs written whole or not at
// all.

#include <string>

#include "base/ByteArray.h"

class Output {
public:
    // Prints "lcdtool: <message>" on stderr and returns the exit status 1.
    static int Fail(const std::string& message);
    // Prints the usage line and returns the exit status 1.
    static int Usage(const std::string& usage);
    // Writes `bytes` to `path` through a temporary file, or to stdout for "-".
    static bool WriteBytes(const std::string& path, const CByteArray& bytes);
};
