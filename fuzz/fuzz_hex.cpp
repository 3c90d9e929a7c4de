// Fuzzes the Intel HEX converter. Whatever the text, the image keeps its 64 KB, the length
// stays inside it, a refusal is always told, and an accepted image wraps into a firmware
// command of the announced length.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Messenger.h"
#include "link/CommandBuilder.h"
#include "link/HexConverter.h"

namespace {

class Counter final : public Messenger {
public:
    void Tell(const std::string&, const std::string&) override { ++told; }
    Answer Ask(const std::string&, const std::string&, Buttons) override { return Answer::No; }
    int told = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Counter counter;
    CByteArray image;
    const int length = HexConverter::Convert(
        std::string_view(reinterpret_cast<const char*>(data), size), image, counter);
    if (image.size() != static_cast<size_t>(HexConverter::kImageSize)) __builtin_trap();
    if (length == 0) {
        if (counter.told != 1) __builtin_trap();
        return 0;
    }
    if (counter.told != 0 || length < 1 || length > HexConverter::kImageSize) __builtin_trap();
    CByteArray bytes;
    if (!CommandBuilder::FirmwareImage(bytes, std::span<const uint8_t>(image.data(), length)))
        __builtin_trap();
    const size_t rounded = (static_cast<size_t>(length) + 4095) / 4096 * 4096;
    if (bytes.size() != 6 + rounded + 2) __builtin_trap();
    return 0;
}
