// Fuzzes the "device.dll" reader. A catalogue that reads must write, read again and write
// to the same bytes, and every record must be found by its name and pass or fail the
// device-edit checks without fault.

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/Messenger.h"
#include "project/DeviceCatalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DeviceCatalogue catalogue("", Messenger::Stderr());
    std::string error;
    if (!catalogue.Read(std::span<const uint8_t>(data, size), error)) {
        if (error.empty() || catalogue.GetCount() != 0) __builtin_trap();
        return 0;
    }
    const CByteArray first = catalogue.Write();
    DeviceCatalogue again("", Messenger::Stderr());
    if (!again.Read(first, error) || again.GetCount() != catalogue.GetCount()) __builtin_trap();
    if (again.Write() != first) __builtin_trap();

    for (int i = 0; i < catalogue.GetCount(); ++i) {
        CDeviceObj device;
        if (!catalogue.GetAt(i, device)) __builtin_trap();
        const int found = catalogue.Find(device.m_strName);
        if (found < 0 || found > i) __builtin_trap();
        ScreenParams screen;
        int32_t bitmaps = 0;
        if (!catalogue.Lookup(device.m_strName, screen, bitmaps)) __builtin_trap();
        DeviceCatalogue::CheckDevice(device);
    }
    return 0;
}
