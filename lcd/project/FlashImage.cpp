#include "project/FlashImage.h"

#include "base/AtomicFile.h"
#include "base/Messenger.h"
#include "base/StringFormat.h"
#include "images/CBmpObj.h"
#include "link/CommandBuilder.h"
#include "project/CLedDoc.h"
#include "project/FlashLayout.h"
#include "project/Workspace.h"

namespace {

using CB = CommandBuilder;

constexpr const char* kCaption = "提示";
constexpr int kModes = 3;
constexpr int kBoards = 4;
// The record head's page count is one byte, 256 sent as 00.
constexpr int kMaxBitmapPages = 256;

void Tell(Messenger& messenger, const std::string& text, const char* caption = kCaption) {
    messenger.Tell(text, caption);
}

bool AskYes(Messenger& messenger, const std::string& text) {
    return messenger.Ask(text, kCaption, Messenger::Buttons::YesNo) == Messenger::Answer::Yes;
}

}  // namespace

const char* FlashImage::ModeName(int mode) {
    static const char* const names[kModes] = {"短", "校验和", "长"};
    return mode >= 0 && mode < kModes ? names[mode] : "";
}

FlashImage::FlashImage(FlashLayout& layout) : m_layout(layout) {}

DownloadSettings& FlashImage::Settings() const {
    return m_layout.GetWorkspace().Settings();
}

Messenger& FlashImage::GetMessenger() const {
    return m_layout.GetWorkspace().GetMessenger();
}

void FlashImage::Open() {
    const DownloadSettings& s = Settings();
    m_nModePicker = s.instructionMode >= 0 && s.instructionMode < kModes ? s.instructionMode : 0;
    ChooseBoardType(s.boardType >= 0 && s.boardType < kBoards ? s.boardType : 0);
}

bool FlashImage::ChooseInstructionMode(int mode, CByteArray& command) {
    if (mode < 0 || mode >= kModes) return false;
    // Whole sentences, so that each translates as one.
    static const char* const told[kModes] = {"修改lcd的写指令为: 短指令模式!",
                                             "修改lcd的写指令为: 校验和指令模式!",
                                             "修改lcd的写指令为: 长指令模式!"};
    Tell(GetMessenger(), told[mode]);
    const int previous = Settings().instructionMode;
    Settings().instructionMode = mode;
    m_nModePicker = mode;
    CB::ModeOption(command, previous, mode);
    return true;
}

bool FlashImage::ChooseBoardType(int boardType) {
    if (boardType < 0 || boardType >= kBoards) return false;
    Settings().SetBoardType(boardType);
    if (saveSettings) saveSettings();
    return true;
}

bool FlashImage::CheckDownload() {
    return Check(true);
}

bool FlashImage::CheckExport() {
    return Check(false);
}

bool FlashImage::Check(bool download) {
    Settings().instructionMode = m_nModePicker;
    const char* caption = download ? "不能写Flash" : "不能写文件";
    const char* pageText =
        download ? "页面区有地址重叠或越界，请重新设置" : "页面区有页面地址重叠或越界，请重新设置";
    const char* bitmapText = download ? "局部位图区有地址重叠或越界，请重新设置"
                                      : "局部位图区有位图地址重叠或越界，请重新设置";
    for (const LocalBitmapStore::Use& use : m_layout.GetWorkspace().Bitmaps().InUse()) {
        const CBmpObj* bmp = use.bitmap;
        // Without pixels its record would be left out and the module's copy stay stale.
        if (!bmp->HasPicture()) {
            Tell(GetMessenger(), "位图“" + bmp->m_strPath + "”没有图像数据，请替换它", caption);
            return false;
        }
        // The export makes this check too: such a bitmap's record would carry a wrong count.
        if (use.PageCount(Settings()) > kMaxBitmapPages) {
            Tell(GetMessenger(),
                 StringFormat(
                     "出错位图信息：\r\n\r\n起始块：%d 块，\r\n起始页：%d 页,\r\n位图名称：%s",
                     bmp->m_nBlock, bmp->m_nStartPage, bmp->m_strPath.c_str()),
                 "局部位图大小越限，请检查     ");
            return false;
        }
    }
    for (const auto& page : m_layout.GetWorkspace().Pages()) {
        const CBmpObj* back = page->BackBitmap();
        if (!back || back->HasPicture()) continue;
        Tell(GetMessenger(), "页面“" + page->m_strTitle + "”的背景位图没有图像数据，请重新选择",
             caption);
        return false;
    }
    // Both whole areas, whatever the maps showed: no overlap reaches the module.
    if (m_layout.AnyPageCollision()) {
        Tell(GetMessenger(), pageText, caption);
        return false;
    }
    if (m_layout.AnyBitmapCollision()) {
        Tell(GetMessenger(), bitmapText, caption);
        return false;
    }
    const std::vector<std::string>& order = m_layout.PageOrder();
    if (order.empty()) {
        Tell(GetMessenger(), "请您先排好画面的顺序");
        return false;
    }
    for (const std::string& title : order) {
        if (!m_layout.FindPage(title)) {
            Tell(GetMessenger(), "页面顺序中的页面“" + title + "”没有打开");
            return false;
        }
    }
    return true;
}

void FlashImage::Build(CByteArray& image) const {
    Build(image, Settings());
}

void FlashImage::Build(CByteArray& image, const DownloadSettings& settings) const {
    std::vector<FlashRecord> records;
    BuildRecords(records, settings, false);
    size_t size = 0;
    for (const FlashRecord& r : records)
        size += r.bytes.size();
    image.reserve(image.size() + size);
    for (const FlashRecord& r : records)
        image.insert(image.end(), r.bytes.begin(), r.bytes.end());
}

void FlashImage::BuildRecords(std::vector<FlashRecord>& records, const DownloadSettings& settings,
                              bool crc) const {
    // The whole image follows one copy of the settings, whatever changes them meanwhile.
    const DownloadSettings s = settings;
    const int mode = s.instructionMode;
    using Kind = FlashRecord::Kind;
    const auto add = [&](Kind kind, int place, std::string name) -> CByteArray& {
        records.push_back(FlashRecord{kind, place, std::move(name), {}});
        return records.back().bytes;
    };
    for (const std::string& title : m_layout.PageOrder())
        if (CLedDoc* page = m_layout.FindPage(title)) {
            CByteArray& bytes = add(Kind::Page, page->m_nStartPage & 0xFF, title);
            bytes.reserve(static_cast<size_t>(page->ComputePageCount()) * CB::kPageBytes + 8);
            page->EncodeRecord(bytes, mode);
        }
    for (const LocalBitmapStore::Use& use : m_layout.GetWorkspace().Bitmaps().InUse()) {
        const CBmpObj& bmp = *use.bitmap;
        CByteArray& bytes = add(Kind::Bitmap, bmp.m_nBlock * 256 + bmp.m_nStartPage, bmp.m_strPath);
        bytes.reserve(static_cast<size_t>(use.PageCount(s)) * static_cast<size_t>(s.flashPageSize) +
                      8);
        CB::BitmapRecord(bytes, s, bmp, use.Box(), use.Format());
    }
    for (const auto& page : m_layout.GetWorkspace().Pages()) {
        if (const CBmpObj* back = page->BackBitmap())
            CB::PageImageRecord(add(Kind::Background, page->m_byBackId, page->m_strTitle), s, *back,
                                page->Format(), page->m_byBackId);
    }
    if (!crc) return;
    // The table is built from the image's own bytes, as the written file holds them.
    CByteArray image;
    for (const FlashRecord& r : records)
        image.insert(image.end(), r.bytes.begin(), r.bytes.end());
    const auto& pages = m_layout.GetWorkspace().Pages();
    int64_t fullScreen = 0;
    if (!pages.empty()) {
        const CLedDoc& first = *pages.front();
        fullScreen = CB::FullScreenBytes(first.m_nLogWidth, first.m_nLogHeight, first.m_nColours,
                                         s.pixels16);
    }
    CByteArray table;
    if (CB::CrcTable(table, mode, image, s.flashPageSize, fullScreen) < 0)
        Tell(GetMessenger(), "校验表超过 65535 字节，文件中没有附加校验表");
    else
        add(Kind::CrcTable, 0, "CRC").swap(table);
}

std::vector<std::string> FlashImage::DownloadPages() const {
    return m_layout.PageOrder();
}

bool FlashImage::Export(const std::function<bool(std::string&)>& chooseFile) {
    if (!CheckExport()) return false;
    std::string chosen;
    if (!chooseFile || !chooseFile(chosen)) return false;
    CByteArray image;
    ExportBytes(image);
    std::string error;
    if (!AtomicFile::Write(CLedDoc::BinaryName(chosen), image, error)) {
        Tell(GetMessenger(), "创建文件失败：" + error);
        return false;
    }
    return true;
}

void FlashImage::ExportBytes(CByteArray& image) const {
    std::vector<FlashRecord> records;
    BuildRecords(records, Settings(), m_bCrc);
    for (const FlashRecord& r : records)
        image.insert(image.end(), r.bytes.begin(), r.bytes.end());
}

bool FlashImage::ShowPicked(CByteArray& command) const {
    const CLedDoc* page = m_layout.PickedPage();
    if (!page) {
        Tell(GetMessenger(), "请选择你要显示的页面", "你没有指定要显示哪个页面哦");
        return false;
    }
    CB::ShowPage(command, Settings().instructionMode,
                 static_cast<uint8_t>(page->m_nStartPage & 0xFF));
    return true;
}

namespace {

// The question before a switch changes, whole so that it translates as one.
std::string SwitchQuestion(bool on) {
    return on ? "是否要: 开字符开关？" : "是否要: 关字符开关？";
}

}  // namespace

bool FlashImage::ToggleCharacterSwitch(CByteArray& command) {
    // The label changes at once and goes back on No.
    m_bCharacterSwitch = !m_bCharacterSwitch;
    if (!AskYes(GetMessenger(), SwitchQuestion(m_bCharacterSwitch))) {
        m_bCharacterSwitch = !m_bCharacterSwitch;
        return false;
    }
    CB::Option(command, Settings().instructionMode, 0x01, m_bCharacterSwitch ? 1 : 0);
    return true;
}

bool FlashImage::ToggleParallelSwitch(CByteArray& command) {
    // This one asks first; the module's question names the character switch here too.
    const bool next = !m_bParallelSwitch;
    if (!AskYes(GetMessenger(), SwitchQuestion(next))) return false;
    m_bParallelSwitch = next;
    CB::Option(command, Settings().instructionMode, 0x02, next ? 1 : 0);
    return true;
}

bool FlashImage::TogglePageSize(CByteArray& command) {
    m_bPage512 = !m_bPage512;
    if (!AskYes(GetMessenger(), "是否要把局部位图的每页的字节数改为: " + PageSizeLabel() + "？")) {
        m_bPage512 = !m_bPage512;
        return false;
    }
    CB::PageSizeOption(command, m_bPage512);
    return true;
}
