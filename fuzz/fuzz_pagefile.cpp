// Fuzzes the page file reader. A page that loads must save, load again and save to the
// same bytes, and must encode, describe and draw without fault.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "gfx/Surface.h"
#include "project/CLedDoc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CLedDoc doc;
    std::string error;
    if (!doc.Load(std::span<const uint8_t>(data, size), error)) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    CByteArray stream;
    doc.EncodeDirect(stream, DownloadSettings{});
    doc.ComputePageCount();
    TreeNode root;
    doc.BuildTree(root);
    for (auto& item : doc.CurrentItems()) {
        CByteArray flash;
        item->Encode(1, flash);
        if (static_cast<int>(flash.size()) != item->GetEncodedLength()) __builtin_trap();
        auto copy = item->Clone();
        if (copy) {
            CByteArray copied;
            copy->Encode(1, copied);
            if (copied != flash) __builtin_trap();
        }
    }
    Surface surface(64, 48);
    doc.DrawPage(surface, true);

    // Saved, loaded alone and saved again, the page is the same bytes.
    CByteArray first, second;
    if (!doc.Save(first, error)) return 0;  // a bitmap item without its bitmap is refused
    CLedDoc again;
    if (!again.Load(first, error)) __builtin_trap();
    if (!again.Save(second, error) || first != second) __builtin_trap();
    return 0;
}
