#pragma once
// Items on the clipboard: the selected items of a page written as a page file of that
// page's screen holding only them (the pictures of bitmap items nested in their records,
// as in any page file), so that a paste reads them with the page reader and every field
// round-trips. Other programs get a picture of them besides (the editor's business).

#include <span>
#include <string>

#include "base/ByteArray.h"
#include "project/CLedDoc.h"

namespace ItemClipboard {

// The private clipboard format of the bytes.
inline constexpr const char* kMimeType = "application/x-lcdscreen-items";

// The selected items of `page` as page-file bytes; empty when none is selected.
CByteArray Copy(const CLedDoc& page);
// The items of bytes made by Copy, into `items`; false with `error` (UTF-8) when they are
// not such bytes or come from a page of another colour count than `colours` (the colour
// codes would change their meaning).
bool Read(std::span<const uint8_t> bytes, int colours, ItemList& items, std::string& error);

}  // namespace ItemClipboard
