// Fuzzes the readers of what a user types for a font: the characters (UTF-8 to GBK) and a
// code range. A refusal always says why; a range comes out in code order, inside its ends.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CharSources.h"
#include "GbkText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<GbkCode> codes;
    std::string error;
    if (!GbkText::FromUtf8(text, codes, error) && error.empty()) __builtin_trap();
    error.clear();
    if (CharSources::ParseRange(text, codes, error)) {
        if (codes.empty() || !std::is_sorted(codes.begin(), codes.end())) __builtin_trap();
    } else if (error.empty()) {
        __builtin_trap();
    }
    return 0;
}
