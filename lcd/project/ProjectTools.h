#pragma once
// Small operations of the project dialogs that are not the layout's or the image's.

#include <string>

#include "base/ByteArray.h"
#include "project/ScreenParams.h"

class CLedDoc;
class Messenger;
class Workspace;

namespace ProjectTools {

// "CRC校验": the CRC table of the flash image in the file `path`, framed in the
// workspace's instruction mode with its flash page size; full-screen records are sized by
// the first open page. False, the user told why, when the file cannot be read or its
// table passes the 16-bit count.
bool CrcTableOfFile(const std::string& path, const Workspace& ws, CByteArray& table);

// "页面转换": a page opened on its own takes another device's screen parameters, so that
// it can be imported into a project of that device. Refused, with the reason, for a page
// of the project (it shares the project's screen) and across colour counts (every colour
// code would change its meaning). The items stay where they are.
bool ConvertPage(CLedDoc& page, const ScreenParams& screen, Messenger& messenger);

}  // namespace ProjectTools
