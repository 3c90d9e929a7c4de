// Fuzzes the local bitmap's archive record. A record that loads must store, load again
// and store to the same bytes, and its picture must convert and draw without fault.

#include <cstddef>
#include <cstdint>
#include <span>

#include "base/Archive.h"
#include "base/ClassRegistry.h"
#include "gfx/Surface.h"
#include "images/CBmpObj.h"
#include "images/ImageClasses.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ClassRegistry registry = [] {
        ClassRegistry r;
        ImageClasses::Register(r);
        return r;
    }();
    Archive in(std::span<const uint8_t>(data, size), registry);
    CBmpObj bmp;
    bmp.Serialize(in);
    if (!in.Ok()) {
        if (bmp.HasPicture()) __builtin_trap();
        return 0;
    }
    Archive first;
    bmp.Serialize(first);
    Archive again(first.Bytes(), registry);
    CBmpObj copy;
    copy.Serialize(again);
    if (!again.Ok() || again.Remaining() != 0 || copy.HasPicture() != bmp.HasPicture())
        __builtin_trap();
    Archive second;
    copy.Serialize(second);
    if (second.Bytes() != first.Bytes()) __builtin_trap();

    if (bmp.HasPicture()) {
        const int colours[] = {8, 64, 256, 14};
        CByteArray pixels;
        const int n = bmp.AppendPixels(pixels, colours[size % 4], 17, 9, DownloadSettings{});
        if (n < 0 || static_cast<size_t>(n) != pixels.size()) __builtin_trap();
        Surface surface(24, 16);
        bmp.Draw(surface, Rect{-3, 2, 30, 11});
    }
    return 0;
}
