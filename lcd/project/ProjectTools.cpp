#include "project/ProjectTools.h"

#include "base/AtomicFile.h"
#include "base/Messenger.h"
#include "link/CommandBuilder.h"
#include "project/CLedDoc.h"
#include "project/Workspace.h"

namespace {

// A flash image fills at most the module's areas: 32 MB of local bitmaps and change.
constexpr uint64_t kMaxImageBytes = uint64_t{64} << 20;

}  // namespace

namespace ProjectTools {

bool CrcTableOfFile(const std::string& path, const Workspace& ws, CByteArray& table) {
    std::vector<uint8_t> image;
    std::string error;
    if (!AtomicFile::Read(path, image, error, kMaxImageBytes)) {
        ws.GetMessenger().Tell("打开校验文件失败：" + error, "提示");
        return false;
    }
    const DownloadSettings& s = ws.Settings();
    int64_t fullScreen = 0;
    if (!ws.Pages().empty()) {
        const CLedDoc& first = *ws.Pages().front();
        fullScreen = CommandBuilder::FullScreenBytes(first.m_nLogWidth, first.m_nLogHeight,
                                                     first.m_nColours, s.pixels16);
    }
    CByteArray built;
    if (CommandBuilder::CrcTable(built, s.instructionMode, image, s.flashPageSize, fullScreen) <
        0) {
        ws.GetMessenger().Tell("校验表超过 65535 字节，无法发送", "提示");
        return false;
    }
    table.insert(table.end(), built.begin(), built.end());
    return true;
}

bool ConvertPage(CLedDoc& page, const ScreenParams& screen, Messenger& messenger) {
    if (page.m_bInProject) {
        messenger.Tell("工程中的页面与工程共用屏幕参数，不能单独转换", "提示");
        return false;
    }
    if (screen.colours != page.m_nColours) {
        messenger.Tell("颜色数不同的设备之间不能转换页面：页面中的颜色代码会改变含义", "提示");
        return false;
    }
    if (page.GetScreenParams() == screen) return false;
    page.SetScreenParams(screen);
    page.SetModified(true);
    page.Notify(true);
    return true;
}

}  // namespace ProjectTools
