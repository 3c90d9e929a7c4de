#pragma once
// printf-style formatting into a std::string; description lines and messages use the
// exact formats of the module's documentation, so they stay printf formats.

#include <string>

std::string StringFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
