// Fuzzes the virtual module's stream interpreter. The first byte picks the module (framing,
// colours, board, screen), the second where the transfer is cut in two. Whatever the
// bytes: no fault, a transfer cut anywhere reads as it reads whole, and the flash saved
// to a file restores to the same flash.

#include <cstddef>
#include <cstdint>

#include "core/DisplayModule.h"
#include "core/ModuleFonts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static const int kColours[] = {8, 16, 64, 256};
    ModuleConfig config;
    config.framing = static_cast<Framing>(data[0] & 3);
    config.colours = kColours[(data[0] >> 2) & 3];
    config.board = (data[0] >> 4) & 3;
    const bool packed = (data[0] & 0x40) && config.colours == 8;
    config.width = packed ? 320 : 64;
    config.height = packed ? 234 : 48;
    ModuleFonts::Use(config);
    const std::span<const uint8_t> stream(data + 2, size - 2);
    const size_t cut = stream.empty() ? 0 : data[1] % stream.size();

    DisplayModule whole(config), pieces(config);
    whole.Execute(stream);
    pieces.Feed(stream.subspan(0, cut));
    pieces.Feed(stream.subspan(cut));
    pieces.Finish();
    if (!(whole.Flash() == pieces.Flash())) __builtin_trap();
    const Surface& a = whole.Screen();
    const Surface& b = pieces.Screen();
    for (int i = 0; i < a.Width() * a.Height(); ++i)
        if (a.Pixels()[i] != b.Pixels()[i]) __builtin_trap();

    // Every stored page, and the slideshow a while.
    for (int page = 0; page < 256; page += 37)
        whole.ShowPage(page);
    whole.Advance(30);

    CByteArray file;
    whole.SaveFlash(file);
    DisplayModule restored(config);
    std::string error;
    if (!restored.RestoreFlash(file, error) || !(restored.Flash() == whole.Flash()))
        __builtin_trap();
    return 0;
}
