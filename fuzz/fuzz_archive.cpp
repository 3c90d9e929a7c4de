// Fuzzes the archive reader with the page item classes: strings, counts and object
// references in any order, driven by the input's first byte.

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/Archive.h"
#include "base/ClassRegistry.h"
#include "items/ItemClasses.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ClassRegistry registry = [] {
        ClassRegistry r;
        ItemClasses::Register(r);
        return r;
    }();
    if (size == 0) return 0;
    const uint8_t plan = data[0];
    Archive ar(std::span<const uint8_t>(data + 1, size - 1), registry);
    for (int step = 0; step < 64 && ar.Ok() && ar.Remaining() > 0; ++step) {
        switch ((plan >> (step % 4 * 2)) & 3) {
            case 0: {
                std::string s;
                ar.Text(s);
                break;
            }
            case 1: {
                uint32_t n = 0;
                ar.Count(n, 2);
                for (uint32_t i = 0; i < n && ar.Ok(); ++i)
                    ar.ReadObject();
                break;
            }
            case 2:
                ar.ReadObject();
                break;
            default: {
                double d;
                ar.Double(d);
                break;
            }
        }
    }
    if (!ar.Ok() && ar.Error().offset > size) __builtin_trap();
    return 0;
}
