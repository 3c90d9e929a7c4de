#pragma once
// The flash image of a project and the module settings of project management.
//
// The image, in the order of transfer (every record carries its own place, so this is
// not the order of flash addresses):
//   1. the page record of every title of the page order, in that order;
//   2. the record of every local bitmap that still has its bitmap item, in list order:
//      head with block, start page and page count, the pixel stream, then FF up to whole
//      flash pages of the board's flash page size;
//   3. the page-image record of every open page holding a background bitmap, in
//      document order, stored under the page's background id.
// Records are framed in the instruction mode the mode picker sets. The settings are the
// workspace's; an image is built from one copy of them taken when it starts.
//
// Immediate commands (show page, options) are appended to a caller's buffer; the caller
// sends it over the link.

#include <functional>
#include <string>
#include <vector>

#include "base/ByteArray.h"
#include "images/DownloadSettings.h"

class FlashLayout;
class Messenger;

// One record of the image, with the place it is written to: what an incremental download
// compares with what the module last received.
struct FlashRecord {
    enum class Kind { Page, Bitmap, Background, CrcTable };
    Kind kind = Kind::Page;
    // Page: the start page; bitmap: block * 256 + start page in the block; background:
    // the background id; CRC table: 0.
    int place = 0;
    std::string name;  // the page title or the bitmap's source, for listings
    CByteArray bytes;
};

class FlashImage {
public:
    // The picker "指令模式" by instruction mode.
    static const char* ModeName(int mode);

    explicit FlashImage(FlashLayout& layout);

    // The dialog opens: the mode picker shows the instruction mode and the board type is
    // applied again (which saves the settings).
    void Open();
    int ModePicker() const { return m_nModePicker; }
    // Picker "指令模式": tells the user, sets the instruction mode and appends the option-00
    // command announcing the mode (framed as the previous mode requires).
    bool ChooseInstructionMode(int mode, CByteArray& command);
    // Radios "板子类型": the flash page size and the pixel width follow the board; every
    // change is saved through `saveSettings`.
    bool ChooseBoardType(int boardType);
    std::function<void()> saveSettings;
    // Check box "crc": exports get the CRC table appended.
    bool m_bCrc = false;

    // "下载" and "导出" first: true when the image may be written, else the user has been
    // told why.
    bool CheckDownload();
    bool CheckExport();
    // The image in the order of transfer, at the workspace's settings or at `settings`.
    void Build(CByteArray& image) const;
    void Build(CByteArray& image, const DownloadSettings& settings) const;
    // The same image cut into its records, in the same order; `crc` adds the CRC table of
    // the whole image as the last record (what ExportBytes appends).
    void BuildRecords(std::vector<FlashRecord>& records, const DownloadSettings& settings,
                      bool crc) const;
    // The workspace's settings the dialog edits.
    DownloadSettings& Settings() const;
    // What the download takes along: the order's titles.
    std::vector<std::string> DownloadPages() const;
    // "导出": the checks, the file name (`chooseFile` false: cancelled), the image and, with
    // "crc", its CRC table. "创建文件失败" and the reason when the file cannot be written.
    bool Export(const std::function<bool(std::string&)>& chooseFile);
    // The bytes Export writes, after CheckExport: the image and, with "crc", its table.
    void ExportBytes(CByteArray& image) const;

    // "显示": the show-page command of the picked page; without one the user is told.
    bool ShowPicked(CByteArray& command) const;

    // The toggles. True with the option command appended when the user said Yes; on No the
    // state stays as it was and nothing is appended.
    bool ToggleCharacterSwitch(CByteArray& command);
    bool ToggleParallelSwitch(CByteArray& command);
    bool TogglePageSize(CByteArray& command);
    bool CharacterSwitchOn() const { return m_bCharacterSwitch; }
    bool ParallelSwitchOn() const { return m_bParallelSwitch; }
    bool PageSize512() const { return m_bPage512; }
    // The toggles' labels: "关" / "开", and "512" / "256".
    std::string CharacterSwitchLabel() const { return OnOff(m_bCharacterSwitch); }
    std::string ParallelSwitchLabel() const { return OnOff(m_bParallelSwitch); }
    std::string PageSizeLabel() const { return m_bPage512 ? "512" : "256"; }

private:
    static std::string OnOff(bool on) { return on ? "开" : "关"; }
    bool Check(bool download);
    Messenger& GetMessenger() const;

    FlashLayout& m_layout;
    int m_nModePicker = 0;
    bool m_bCharacterSwitch = false;
    bool m_bParallelSwitch = false;
    bool m_bPage512 = true;
};
