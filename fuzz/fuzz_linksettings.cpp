// Fuzzes the readers of link settings: the --link option of the command line, link.conf,
// conf.dll and the parallel ports of /proc/ioports. A refused input changes nothing; an
// accepted link.conf writes back to itself, an accepted CAN adapter formats back to itself.

#include <cstddef>
#include <cstdint>
#include <string>

#include "link/LinkSettings.h"
#include "link/ParallelLink.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const LinkSettings initial;
    LinkSettings s;
    std::string error;
    if (!ParseLinkOption(text, s, error) && s.Encode() != initial.Encode()) __builtin_trap();
    CanTarget target, again;
    if (ParseCanTarget(text, target, error) &&
        (!ParseCanTarget(FormatCanTarget(target), again, error) || !(again == target)))
        __builtin_trap();
    LinkSettings extras;
    if (extras.DecodeExtras(text, error)) {
        const std::string written = extras.EncodeExtras();
        LinkSettings back;
        if (!back.DecodeExtras(written, error) || back.EncodeExtras() != written) __builtin_trap();
    } else if (extras.EncodeExtras() != initial.EncodeExtras()) {
        __builtin_trap();
    }
    LinkSettings conf;
    if (conf.Decode({data, size}, error) != (size == LinkSettings::kFileBytes)) __builtin_trap();
    if (size == LinkSettings::kFileBytes && conf.Encode() != CByteArray(data, data + size))
        __builtin_trap();
    for (const auto& [base, name] : ParallelLink::KernelPorts(text))
        if (!name.starts_with("parport")) __builtin_trap();
    return 0;
}
