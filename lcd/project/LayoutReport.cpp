#include "project/LayoutReport.h"

#include <algorithm>

#include "base/AtomicFile.h"
#include "base/GbkCodec.h"
#include "base/Messenger.h"
#include "base/StringFormat.h"
#include "images/CBmpObj.h"
#include "project/CLedDoc.h"
#include "project/Workspace.h"

namespace {

constexpr const char* kLineEnd = "\r\n";

}  // namespace

void LayoutReport::PlaceField(std::string& line, size_t column, const std::string& field) {
    if (line.size() < column) line.resize(column, ' ');
    line += field;
}

std::string LayoutReport::LocalBitmaps(const Workspace& ws) {
    std::string text = GbkCodec::FromUtf8Lossy("            局部位图信息") + kLineEnd;
    text += GbkCodec::FromUtf8Lossy("BLOCK   PAGE    X    Y     W     H     名称") + kLineEnd;
    for (const LocalBitmapStore::Use& use : ws.Bitmaps().InUse()) {
        const CBmpObj* bmp = use.bitmap;
        const Rect rc = use.Box();
        const auto number = [](int64_t v) {
            return StringFormat("%lld,", static_cast<long long>(v));
        };
        std::string line;
        PlaceField(line, 1, number(bmp->m_nBlock));
        PlaceField(line, 8, number(bmp->m_nStartPage));
        PlaceField(line, 16, number(rc.left));
        PlaceField(line, 21, number(rc.top));
        PlaceField(line, 27, number(int64_t{rc.right} - rc.left));
        PlaceField(line, 33, number(int64_t{rc.bottom} - rc.top));
        PlaceField(line, 39, GbkCodec::FromUtf8Lossy(bmp->m_strPath));
        text += line + kLineEnd;
    }
    return text;
}

std::string LayoutReport::Backgrounds(const Workspace& ws) {
    std::string text = GbkCodec::FromUtf8Lossy(" 名称              所在块    调用页面") + kLineEnd;
    for (const auto& page : ws.Pages()) {
        const CBmpObj* bmp = page->BackBitmap();
        if (!bmp) continue;
        std::string line;
        PlaceField(line, 0, GbkCodec::FromUtf8Lossy(bmp->m_strPath));
        PlaceField(line, 20, StringFormat("%d", page->m_byBackId));
        PlaceField(line, 30, GbkCodec::FromUtf8Lossy(page->m_strTitle));
        text += line + kLineEnd;
    }
    return text;
}

std::string LayoutReport::ReportName(const std::string& chosen) {
    const std::string tail = ".txt";
    const bool has = chosen.size() >= tail.size() &&
                     chosen.compare(chosen.size() - tail.size(), tail.size(), tail) == 0;
    return has ? chosen : chosen + tail;
}

bool LayoutReport::Write(const std::string& text,
                         const std::function<bool(std::string&)>& chooseFile,
                         Messenger& messenger) {
    std::string chosen;
    if (!chooseFile || !chooseFile(chosen)) return false;
    std::string error;
    const auto* data = reinterpret_cast<const uint8_t*>(text.data());
    if (!AtomicFile::Write(ReportName(chosen), {data, text.size()}, error)) {
        messenger.Tell("创建文件失败：" + error, "提示");
        return false;
    }
    return true;
}
