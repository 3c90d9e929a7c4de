#pragma once
// The page document: one screen of the module, its items and the attributes the module
// needs to show it, stored in one ".pg" file.
//
// Page file (archive format of base/Archive.h, little-endian, no header of its own):
//   #   field            encoding
//   1   m_strDevice      string (GBK)
//   2   m_nColours       int32
//   3   m_dPhysWidth     double (mm)
//   4   m_dPhysHeight    double (mm)
//   5   m_nLogWidth      int32
//   6   m_nLogHeight     int32
//   7   m_nDelay         int32, 0.25 s units
//   8   kind             int32: 0 main, 1 auxiliary, 2 + m_byBackId background bitmap
//   9   m_crBack         int32 COLORREF 0x00BBGGRR
//   10  m_backCodeLo     byte
//   11  m_backCodeHi     byte
//   12  background bmp   the bitmap's own record, only when field 8 >= 2 (no class tag,
//                        takes no archive index)
//   13  items            count, then one object reference per item of the current list

#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/ByteArray.h"
#include "base/Colour.h"
#include "images/DownloadSettings.h"
#include "items/CItemBase.h"
#include "project/Observers.h"
#include "project/ScreenParams.h"

class Archive;
class CBmpObj;
class Messenger;
class Surface;
struct PageFormat;

using ItemList = std::vector<std::unique_ptr<CItemBase>>;

class CLedDoc {
public:
    enum PageKind { PageKindMain = 0, PageKindAux = 1, PageKindBackground = 2 };
    // How much undo history a page keeps: the newest `steps` steps, and copies of at most
    // `bytes` (undo and redo together); the oldest go first.
    struct UndoLimits {
        int steps = 100;
        size_t bytes = size_t{64} << 20;
    };
    // The longest page file read: a page's pictures must fit the module's local-bitmap
    // area (64 blocks x 256 pages x 2 KB = 32 MB) and take at most 4 file bytes per
    // module byte.
    static constexpr uint64_t kMaxFileBytes = uint64_t{128} << 20;

    // A new page with the defaults: delay 10, main page, black background, next page none.
    CLedDoc();
    explicit CLedDoc(const ScreenParams& screen);
    ~CLedDoc();
    CLedDoc(const CLedDoc&) = delete;
    CLedDoc& operator=(const CLedDoc&) = delete;

    // Reads a page file. On failure the document keeps its previous state and `error`
    // holds one line (UTF-8) naming the problem and its byte offset. A logical size no
    // module of the device catalogue can have is refused.
    bool Load(std::span<const uint8_t> bytes, std::string& error);
    bool LoadFile(const std::string& path, std::string& error);
    // Writes the page file; SaveFile replaces `path` only once the whole file is written.
    bool Save(CByteArray& out, std::string& error);
    bool SaveFile(const std::string& path, std::string& error);
    // Reads or writes fields 1 to 13.
    void Serialize(Archive& ar);

    // The direct drawing stream: the background command of a main page, then every
    // item's direct-mode commands in list order; pixels go out as `settings` say.
    void EncodeDirect(CByteArray& bytes, const DownloadSettings& settings);
    // Flash pages of 128 bytes the page record needs; also stored in m_nPageCount.
    int ComputePageCount();
    // The page record stored in the module's page area, framed in the instruction mode
    // `mode`; false when the items' bytes disagree with their announced lengths (the user
    // has been told, the record stays as built).
    bool EncodeRecord(CByteArray& bytes, int mode);
    // Draws the page as the canvas shows it: the background by kind, the items in list
    // order and, when `marks` is set, the selection marks of the selected items. A dot
    // font the text could not be drawn with is told once per draw.
    void DrawPage(Surface& dc, bool marks);
    // The instruction tree: the screen line, the clear-screen line of a main page, then
    // every item's description lines; an item off the screen says so at the end of its line.
    void BuildTree(TreeNode& root);
    // Whether the item's box leaves the screen (an edge may sit just past the last pixel),
    // and how many of the current items do: older files may hold such items.
    bool OffScreen(const CItemBase& item) const;
    int CountOffScreen() const;
    static constexpr const char* kOffScreenMark = "（超出屏幕）";

    // Undo history: a copy of the current items becomes the step Undo goes back to; the
    // caller then changes the current items (they stay the same objects). Drops the redo
    // steps, then the oldest steps beyond the limits.
    void Checkpoint();
    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    int UndoCount() const { return static_cast<int>(m_undo.size()); }
    int RedoCount() const { return static_cast<int>(m_redo.size()); }
    void Undo();
    void Redo();
    void SetUndoLimits(UndoLimits limits);
    const UndoLimits& GetUndoLimits() const { return m_undoLimits; }
    // Bytes the undo and redo copies take (an estimate of what they hold).
    size_t HistoryBytes() const { return m_historyBytes; }
    // Changes with every checkpoint, undo, redo and load: a run of edits that makes one
    // undo step (arrow moves, typing in one panel field) compares it.
    uint64_t UndoStep() const { return m_undoStep; }
    // Deletes the selected item, or the highlighted characters of the selected text.
    void DeleteSelection();
    // toSelection 0: the page background. Otherwise the selected item's colour (a text's
    // highlighted characters only, when some but not all are highlighted) and the
    // drawing colour.
    void SetColour(COLORREF colour, uint8_t hi, uint8_t lo, int toSelection);
    // Writes the direct drawing stream to a file the caller chooses (`chooseFile` returns
    // false when cancelled); ".bin" is appended unless the name ends in ".bin" or ".BIN".
    // "创建文件失败" and the reason when the file cannot be written.
    bool ExportBinary(const std::function<bool(std::string&)>& chooseFile,
                      const DownloadSettings& settings);
    // The ".bin" naming rule of the export.
    static std::string BinaryName(const std::string& chosen);

    ItemList& CurrentItems() { return m_items; }
    const ItemList& CurrentItems() const { return m_items; }
    ScreenParams GetScreenParams() const;
    void SetScreenParams(const ScreenParams& screen);
    // Sets the drawing colour nibbles to the default of the colour count.
    void ApplyDefaultDrawCode();

    // The page kind picker: 0 main, 1 auxiliary, 2 background bitmap. Choosing 2 asks
    // `chooseImage` for a picture (cancelled: the page becomes a main page) and gives a
    // page that had no background bitmap a new id from the project's `nextBackId`;
    // choosing 0 or 1 drops the bitmap. False when the page ends up without the kind
    // asked for.
    bool ChooseKind(int kind, const std::function<bool(std::string&)>& chooseImage,
                    int& nextBackId);
    // The background bitmap of a kind-2 page, or nullptr.
    CBmpObj* BackBitmap() const;
    // The page's format for pixel conversion: colour count and logical size.
    PageFormat Format() const;
    // Where the page reports (its workspace's messenger; stderr for a page on its own).
    Messenger& GetMessenger() const;
    void SetMessenger(Messenger& messenger) { m_pMessenger = &messenger; }

    // Observers hear of every change once. The page's own operations tell them; whoever
    // changes the fields directly (the canvas, a property panel) calls Notify afterwards,
    // with `itemsChanged` when items changed; selection, modified flag and undo state are
    // compared with what the observers heard last.
    void AddObserver(PageObserver* observer);
    void RemoveObserver(PageObserver* observer);
    void Notify(bool itemsChanged);
    void SetModified(bool modified);

    // Empty, or the page's one background bitmap.
    std::vector<std::unique_ptr<CBmpObj>> m_backBitmaps;
    int32_t m_nSel = -1;
    int32_t m_nSelType = -1;
    COLORREF m_crDraw = Rgb(255, 255, 255);
    COLORREF m_crBack = Rgb(0, 0, 0);
    int32_t m_nDelay = 10;
    int32_t m_nStartPage = 0;
    int32_t m_nPageCount = 1;
    std::string m_strNextPage = "无";
    uint8_t m_byNextPage = 255;
    int32_t m_nKind = PageKindMain;
    uint8_t m_byBackId = 255;
    uint8_t m_drawCodeHi = 0;
    uint8_t m_drawCodeLo = 0;
    uint8_t m_backCodeHi = 0;
    uint8_t m_backCodeLo = 0;
    std::string m_strDevice;
    int32_t m_nColours = 256;
    double m_dPhysWidth = 0;
    double m_dPhysHeight = 0;
    int32_t m_nLogWidth = 320;
    int32_t m_nLogHeight = 240;
    int32_t m_bPicked = 0;
    int32_t m_bInProject = 0;
    // The document title: the page's name ("main.pg").
    std::string m_strTitle;
    // The file the page was read from or last saved to ("" for a page never saved).
    std::string m_strPath;
    bool m_bModified = false;

private:
    // What the observers heard last.
    struct Heard {
        int32_t sel = -1, selType = -1;
        bool modified = false, canUndo = false, canRedo = false;
    };

    struct Snapshot {
        ItemList items;
        size_t bytes = 0;
    };
    void ClearHistory();
    void TrimHistory();
    // Moves the current items onto `to` and takes the newest of `from` as current.
    void Step(std::deque<Snapshot>& from, std::deque<Snapshot>& to);

    ItemList m_items;
    std::deque<Snapshot> m_undo, m_redo;
    size_t m_historyBytes = 0;
    UndoLimits m_undoLimits;
    uint64_t m_undoStep = 0;
    Messenger* m_pMessenger = nullptr;
    std::vector<PageObserver*> m_observers;
    Heard m_heard;
    void SwapContents(CLedDoc& other);
    // m_nSel becomes the first selected item of the current list (or -1).
    void FindSelection();
    // After loading or moving through the undo ring: the bitmap items of the current list
    // know their page's format.
    void AdoptCurrentItems();
};
