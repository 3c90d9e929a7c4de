#include "project/CLedDoc.h"

#include <algorithm>

#include "base/Archive.h"
#include "base/AtomicFile.h"
#include "base/ClassRegistry.h"
#include "base/ColourCode.h"
#include "base/Messenger.h"
#include "base/StringFormat.h"
#include "gfx/Surface.h"
#include "images/CBmpObj.h"
#include "items/CItemBmp.h"
#include "items/CItemFont.h"
#include "items/CItemPointList.h"
#include "items/ItemClasses.h"
#include "link/CommandBuilder.h"
#include "project/BackgroundIds.h"
#include "project/DeviceCatalogue.h"

namespace {

const ClassRegistry& PageClasses() {
    static const ClassRegistry registry = [] {
        ClassRegistry r;
        ItemClasses::Register(r);
        return r;
    }();
    return registry;
}

// Bytes of the page record that are not items: the head (3 bytes, main pages only) and
// the delay and next-page trailer (6 bytes).
constexpr int kRecordHead = 3;
constexpr int kRecordTrailer = 6;
constexpr int kFlashPageBytes = 128;

// Tells the page's observers when the operation ends, however it returns.
struct NotifyAtEnd {
    CLedDoc& page;
    bool items = false;
    ~NotifyAtEnd() { page.Notify(items); }
};

}  // namespace

CLedDoc::CLedDoc() {
    ApplyDefaultDrawCode();
}

CLedDoc::CLedDoc(const ScreenParams& screen) {
    SetScreenParams(screen);
    ApplyDefaultDrawCode();
}

CLedDoc::~CLedDoc() {
    // An observer may outlive the page (a window closed after its page): it hears of the
    // end instead of removing itself from a page that is gone.
    const std::vector<PageObserver*> observers = std::move(m_observers);
    m_observers.clear();
    for (PageObserver* o : observers)
        o->PageDestroyed(*this);
}

ScreenParams CLedDoc::GetScreenParams() const {
    return ScreenParams{m_strDevice,   m_nColours,  m_dPhysWidth,
                        m_dPhysHeight, m_nLogWidth, m_nLogHeight};
}

void CLedDoc::SetScreenParams(const ScreenParams& s) {
    m_strDevice = s.device;
    m_nColours = s.colours;
    m_dPhysWidth = s.physWidth;
    m_dPhysHeight = s.physHeight;
    m_nLogWidth = s.logWidth;
    m_nLogHeight = s.logHeight;
}

void CLedDoc::ApplyDefaultDrawCode() {
    ColourCode::DefaultDrawCode(m_nColours, m_drawCodeHi, m_drawCodeLo);
}

void CLedDoc::Serialize(Archive& ar) {
    ar.Text(m_strDevice);
    ar.Int32(m_nColours);
    ar.Double(m_dPhysWidth);
    ar.Double(m_dPhysHeight);
    ar.Int32(m_nLogWidth);
    ar.Int32(m_nLogHeight);
    if (ar.IsLoading() && ar.Ok()) {
        if (const std::string why = DeviceCatalogue::CheckLogicalSize(m_nLogWidth, m_nLogHeight);
            !why.empty()) {
            ar.Fail(StringFormat("页面逻辑尺寸 %d*%d 无效（%s）", m_nLogWidth, m_nLogHeight,
                                 why.c_str()));
            return;
        }
    }
    ar.Int32(m_nDelay);

    int32_t kind = m_nKind;
    if (ar.IsStoring() && m_nKind == PageKindBackground) kind = 2 + m_byBackId;
    const size_t kindOffset = ar.Offset();
    ar.Int32(kind);
    uint32_t back = m_crBack;
    ar.UInt32(back);
    m_crBack = back;
    ar.Byte(m_backCodeLo);
    ar.Byte(m_backCodeHi);

    if (ar.IsLoading()) {
        if (!ar.Ok()) return;
        if (kind < 0) {
            ar.Fail(StringFormat("页面类型 %d 无效（偏移 %zu）", kind, kindOffset));
            return;
        }
        m_backBitmaps.clear();
        if (kind >= PageKindBackground) {
            m_nKind = PageKindBackground;
            m_byBackId = static_cast<uint8_t>((kind & 0xFF) - 2);
            // The background bitmap's own record, without class tag or archive index.
            auto bmp = std::make_unique<CBmpObj>();
            bmp->Serialize(ar);
            if (!ar.Ok()) return;
            m_backBitmaps.push_back(std::move(bmp));
        } else {
            m_nKind = kind;
        }
    } else if (m_nKind == PageKindBackground && BackBitmap()) {
        BackBitmap()->Serialize(ar);
    }

    ItemList& items = CurrentItems();
    uint32_t count = static_cast<uint32_t>(items.size());
    ar.Count(count, 2);
    if (ar.IsStoring()) {
        for (const auto& item : items)
            ar.WriteObject(item.get());
        return;
    }
    items.clear();
    items.reserve(count);
    for (uint32_t i = 0; i < count && ar.Ok(); ++i) {
        std::unique_ptr<CItemBase> item = ar.ReadObjectAs<CItemBase>("页面图元");
        if (!ar.Ok()) break;
        if (!item) {
            ar.Fail("图元列表中有空图元");
            break;
        }
        items.push_back(std::move(item));
    }
}

void CLedDoc::SwapContents(CLedDoc& other) {
    std::swap(m_items, other.m_items);
    std::swap(m_nSel, other.m_nSel);
    std::swap(m_nSelType, other.m_nSelType);
    std::swap(m_crBack, other.m_crBack);
    std::swap(m_nDelay, other.m_nDelay);
    std::swap(m_nKind, other.m_nKind);
    std::swap(m_backBitmaps, other.m_backBitmaps);
    std::swap(m_byBackId, other.m_byBackId);
    std::swap(m_backCodeHi, other.m_backCodeHi);
    std::swap(m_backCodeLo, other.m_backCodeLo);
    std::swap(m_strDevice, other.m_strDevice);
    std::swap(m_nColours, other.m_nColours);
    std::swap(m_dPhysWidth, other.m_dPhysWidth);
    std::swap(m_dPhysHeight, other.m_dPhysHeight);
    std::swap(m_nLogWidth, other.m_nLogWidth);
    std::swap(m_nLogHeight, other.m_nLogHeight);
}

bool CLedDoc::Load(std::span<const uint8_t> bytes, std::string& error) {
    CLedDoc fresh;
    Archive ar(bytes, PageClasses());
    fresh.Serialize(ar);
    if (!ar.Ok()) {
        error = ar.Error().Describe();
        return false;
    }
    SwapContents(fresh);
    ClearHistory();
    m_nSel = m_nSelType = -1;
    ApplyDefaultDrawCode();
    AdoptCurrentItems();
    m_bModified = false;
    Notify(true);
    return true;
}

bool CLedDoc::LoadFile(const std::string& path, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!AtomicFile::Read(path, bytes, error, kMaxFileBytes)) return false;
    if (!Load(bytes, error)) {
        error = path + "：" + error;
        return false;
    }
    return true;
}

bool CLedDoc::Save(CByteArray& out, std::string& error) {
    for (const auto& item : CurrentItems()) {
        const auto* bmp = dynamic_cast<const CItemBmp*>(item.get());
        if (bmp && !bmp->HasValidBitmap()) {
            error = "页面中有位图图元没有对应的局部位图，无法保存";
            return false;
        }
    }
    Archive ar;
    Serialize(ar);
    if (!ar.Ok()) {
        error = "页面无法保存：" + ar.Error().message;
        return false;
    }
    out = ar.TakeBytes();
    return true;
}

bool CLedDoc::SaveFile(const std::string& path, std::string& error) {
    CByteArray bytes;
    if (!Save(bytes, error)) return false;
    if (!AtomicFile::Write(path, bytes, error)) return false;
    SetModified(false);
    return true;
}

Messenger& CLedDoc::GetMessenger() const {
    return m_pMessenger ? *m_pMessenger : Messenger::Stderr();
}

void CLedDoc::AddObserver(PageObserver* observer) {
    if (observer &&
        std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
    // A new observer starts from the page as it is.
    m_heard = Heard{m_nSel, m_nSelType, m_bModified, CanUndo(), CanRedo()};
}

void CLedDoc::RemoveObserver(PageObserver* observer) {
    std::erase(m_observers, observer);
}

void CLedDoc::Notify(bool itemsChanged) {
    const Heard now{m_nSel, m_nSelType, m_bModified, CanUndo(), CanRedo()};
    const Heard was = m_heard;
    m_heard = now;
    // An observer may remove itself while it is told.
    const std::vector<PageObserver*> observers = m_observers;
    for (PageObserver* o : observers) {
        if (itemsChanged) o->ItemsChanged(*this);
        if (now.sel != was.sel || now.selType != was.selType) o->SelectionChanged(*this);
        if (now.modified != was.modified) o->ModifiedChanged(*this, now.modified);
        if (now.canUndo != was.canUndo || now.canRedo != was.canRedo)
            o->UndoRedoChanged(*this, now.canUndo, now.canRedo);
    }
}

void CLedDoc::SetModified(bool modified) {
    m_bModified = modified;
    Notify(false);
}

void CLedDoc::EncodeDirect(CByteArray& bytes, const DownloadSettings& settings) {
    if (m_nKind == PageKindMain) {
        bytes.push_back(0x1B);
        bytes.push_back(0x42);
        bytes.push_back(ColourCode::Byte(m_backCodeHi, m_backCodeLo));
    } else if (m_nKind == PageKindBackground && BackBitmap()) {
        BackBitmap()->AppendFullScreenBitmap(bytes, Format(), settings);
    }
    for (auto& item : CurrentItems())
        item->Encode(0, bytes, settings);
}

int CLedDoc::ComputePageCount() {
    int64_t n = (m_nKind == PageKindAux) ? 0 : kRecordHead;
    for (auto& item : CurrentItems())
        n += item->GetEncodedLength();
    n += kRecordTrailer;
    m_nPageCount = static_cast<int32_t>((n + kFlashPageBytes - 1) / kFlashPageBytes);
    return m_nPageCount;
}

bool CLedDoc::EncodeRecord(CByteArray& bytes, int mode) {
    CommandBuilder::PageFields page;
    page.name = m_strTitle;
    page.startPage = m_nStartPage;
    page.pageCount = ComputePageCount();
    page.kind = m_nKind;
    page.backCode = ColourCode::Byte(m_backCodeHi, m_backCodeLo);
    page.backId = m_byBackId;
    page.delay = m_nDelay;
    page.nextPage = m_byNextPage;
    return CommandBuilder::PageRecord(bytes, mode, page, CurrentItems(), GetMessenger());
}

void CLedDoc::DrawPage(Surface& dc, bool marks) {
    // A main page shows its background colour; an auxiliary page draws over whatever the
    // module shows, which the canvas leaves black.
    dc.Clear(m_nKind == PageKindMain ? m_crBack : Rgb(0, 0, 0));
    if (m_nKind == PageKindBackground && BackBitmap() && BackBitmap()->HasPicture())
        BackBitmap()->Draw(dc, Rect{0, 0, dc.Width(), dc.Height()});
    int missing = 0;
    for (auto& item : CurrentItems()) {
        item->Draw(dc);
        missing |= item->MissingFonts();
    }
    if (missing & CItemBase::kAsciiFontMissing) GetMessenger().Tell("字库文件丢失", "提示");
    if (missing & CItemBase::kHanziFontMissing) GetMessenger().Tell("找不到字库文件", "提示");
    if (!marks) return;
    for (auto& item : CurrentItems())
        if (item->m_bSelected) item->DrawHandles(dc);
}

void CLedDoc::BuildTree(TreeNode& root) {
    root = TreeNode{};
    root.text = StringFormat("设备类型:%s 颜色数:%d 物理尺寸(%.1f*%.1f) 逻辑尺寸(%d*%d)",
                             m_strDevice.c_str(), m_nColours, m_dPhysWidth, m_dPhysHeight,
                             m_nLogWidth, m_nLogHeight);
    if (m_nKind == PageKindMain) {
        root.children.push_back(TreeNode{
            StringFormat("清屏    颜色代码：%X%X", m_backCodeHi, m_backCodeLo), false, {}});
    }
    int index = 0;
    for (auto& item : CurrentItems()) {
        item->AddToTree(root, index++);
        if (OffScreen(*item) && !root.children.empty()) root.children.back().text += kOffScreenMark;
    }
}

bool CLedDoc::OffScreen(const CItemBase& item) const {
    const Rect b = item.Bounds();
    return b.left < 0 || b.top < 0 || b.right > m_nLogWidth || b.bottom > m_nLogHeight;
}

int CLedDoc::CountOffScreen() const {
    return static_cast<int>(std::ranges::count_if(
        CurrentItems(), [this](const auto& item) { return OffScreen(*item); }));
}

namespace {

// What a copy of the items holds: a share for each item and its lists (the pictures of
// bitmap items are shared, not copied).
size_t Footprint(const ItemList& items) {
    constexpr size_t kItemBytes = 512;
    size_t bytes = 0;
    for (const auto& item : items) {
        bytes += kItemBytes;
        if (const auto* text = dynamic_cast<const CItemFont*>(item.get()))
            bytes += text->m_arrChars.size() * sizeof(CTextChar);
        else if (const auto* points = dynamic_cast<const CItemPointList*>(item.get()))
            bytes += points->m_arrPoints.size() * (sizeof(Point) + sizeof(Rect));
    }
    return bytes;
}

}  // namespace

void CLedDoc::Checkpoint() {
    Snapshot copy;
    for (const auto& item : m_items)
        if (std::unique_ptr<CItemBase> clone = item->Clone())
            copy.items.push_back(std::move(clone));
    copy.bytes = Footprint(copy.items);
    for (const Snapshot& s : m_redo)
        m_historyBytes -= s.bytes;
    m_redo.clear();
    m_historyBytes += copy.bytes;
    m_undo.push_back(std::move(copy));
    ++m_undoStep;
    TrimHistory();
}

void CLedDoc::ClearHistory() {
    m_undo.clear();
    m_redo.clear();
    m_historyBytes = 0;
    ++m_undoStep;
}

void CLedDoc::TrimHistory() {
    while (!m_undo.empty() && (m_undo.size() > size_t(std::max(m_undoLimits.steps, 0)) ||
                               m_historyBytes > m_undoLimits.bytes)) {
        m_historyBytes -= m_undo.front().bytes;
        m_undo.pop_front();
    }
}

void CLedDoc::SetUndoLimits(UndoLimits limits) {
    m_undoLimits = limits;
    TrimHistory();
    Notify(false);
}

void CLedDoc::Step(std::deque<Snapshot>& from, std::deque<Snapshot>& to) {
    Snapshot current{std::move(m_items), 0};
    current.bytes = Footprint(current.items);
    m_historyBytes += current.bytes;
    to.push_back(std::move(current));
    m_items = std::move(from.back().items);
    m_historyBytes -= from.back().bytes;
    from.pop_back();
    ++m_undoStep;
}

void CLedDoc::FindSelection() {
    m_nSel = -1;
    const ItemList& items = CurrentItems();
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i]->m_bSelected) {
            m_nSel = static_cast<int32_t>(i);
            m_nSelType = items[i]->m_nType;
            return;
        }
    }
}

void CLedDoc::Undo() {
    if (!CanUndo()) return;
    Step(m_undo, m_redo);
    AdoptCurrentItems();
    FindSelection();
    m_bModified = true;
    Notify(true);
}

void CLedDoc::Redo() {
    if (!CanRedo()) return;
    Step(m_redo, m_undo);
    AdoptCurrentItems();
    FindSelection();
    m_bModified = true;
    Notify(true);
}

void CLedDoc::DeleteSelection() {
    NotifyAtEnd notify{*this};
    if (m_nSelType < 0 || m_nSel < 0) return;
    if (static_cast<size_t>(m_nSel) >= CurrentItems().size()) {
        m_nSel = -1;
        return;
    }
    Checkpoint();
    ItemList& items = CurrentItems();
    CItemBase* item = items[static_cast<size_t>(m_nSel)].get();
    if (auto* text = dynamic_cast<CItemFont*>(item); m_nSelType == 15 && text) {
        // Selected as a whole the box goes; while it is being edited only its highlighted
        // characters do, and a bare caret deletes nothing.
        if (!text->m_bSelected) {
            if (text->HasHighlight()) {
                text->DeleteChar(0);
                m_bModified = true;
            }
            notify.items = true;
            return;
        }
    }
    items.erase(items.begin() + m_nSel);
    m_nSel = -1;
    m_bModified = true;
    notify.items = true;
}

void CLedDoc::SetColour(COLORREF colour, uint8_t hi, uint8_t lo, int toSelection) {
    NotifyAtEnd notify{*this, true};
    m_bModified = true;
    if (!toSelection) {
        m_crBack = colour;
        m_backCodeHi = hi;
        m_backCodeLo = lo;
        return;
    }
    ItemList& items = CurrentItems();
    if (m_nSel >= 0 && static_cast<size_t>(m_nSel) < items.size()) {
        CItemBase* item = items[static_cast<size_t>(m_nSel)].get();
        bool whole = true;
        // The type code comes from the file: the class decides.
        if (auto* text = dynamic_cast<CItemFont*>(item)) {
            size_t marked = 0;
            for (const CTextChar& c : text->m_arrChars)
                marked += c.m_bHighlight ? 1 : 0;
            whole = marked == 0 || marked == text->m_arrChars.size();
            for (CTextChar& c : text->m_arrChars) {
                if (c.m_bHighlight || marked == 0) {
                    c.m_crColor = colour;
                    c.m_codeHi = hi;
                    c.m_codeLo = lo;
                }
            }
        }
        if (whole) {
            item->m_crColor = colour;
            if (!dynamic_cast<CItemFont*>(item)) item->m_crFill = colour;
            item->m_codeHi = hi;
            item->m_codeLo = lo;
        }
    }
    m_crDraw = colour;
    m_drawCodeHi = hi;
    m_drawCodeLo = lo;
}

std::string CLedDoc::BinaryName(const std::string& chosen) {
    const auto endsWith = [&](const char* tail) {
        const size_t n = std::char_traits<char>::length(tail);
        return chosen.size() >= n && chosen.compare(chosen.size() - n, n, tail) == 0;
    };
    return endsWith(".bin") || endsWith(".BIN") ? chosen : chosen + ".bin";
}

bool CLedDoc::ExportBinary(const std::function<bool(std::string&)>& chooseFile,
                           const DownloadSettings& settings) {
    std::string chosen;
    if (!chooseFile || !chooseFile(chosen)) return false;
    CByteArray stream;
    EncodeDirect(stream, settings);
    std::string error;
    if (!AtomicFile::Write(BinaryName(chosen), stream, error)) {
        GetMessenger().Tell("创建文件失败：" + error, "提示");
        return false;
    }
    return true;
}

CBmpObj* CLedDoc::BackBitmap() const {
    return m_backBitmaps.empty() ? nullptr : m_backBitmaps.front().get();
}

PageFormat CLedDoc::Format() const {
    return PageFormat{m_nColours, m_nLogWidth, m_nLogHeight};
}

bool CLedDoc::ChooseKind(int kind, const std::function<bool(std::string&)>& chooseImage,
                         int& nextBackId) {
    NotifyAtEnd notify{*this};
    if (kind != PageKindBackground) {
        m_backBitmaps.clear();
        m_nKind = kind == PageKindAux ? PageKindAux : PageKindMain;
        m_bModified = notify.items = true;
        return m_nKind == kind;
    }
    const bool hadBitmap = BackBitmap() != nullptr;
    std::string path;
    if (!chooseImage || !chooseImage(path)) {
        // A page that already shows a background keeps it; any other falls back to a
        // main page.
        if (hadBitmap && m_nKind == PageKindBackground) return false;
        m_nKind = PageKindMain;
        m_backBitmaps.clear();
        m_bModified = notify.items = true;
        return false;
    }
    // A background picture is no local bitmap: it takes no place in the local-bitmap area.
    auto bmp = std::make_unique<CBmpObj>(path, false, Format(), GetMessenger());
    if (!bmp->HasPicture()) return false;  // the user has been told; nothing changes
    int id = m_byBackId;
    if (!hadBitmap) {
        id = BackgroundIds::Allocate(nextBackId);
        if (id < 0) {
            GetMessenger().Tell("背景位图编号已经用完（最多 63 个），无法再添加背景位图", "提示");
            return false;
        }
    }
    m_backBitmaps.clear();
    m_backBitmaps.push_back(std::move(bmp));
    m_byBackId = static_cast<uint8_t>(id);
    m_nKind = PageKindBackground;
    m_bModified = notify.items = true;
    return true;
}

void CLedDoc::AdoptCurrentItems() {
    for (auto& item : CurrentItems())
        if (auto* bmp = dynamic_cast<CItemBmp*>(item.get())) bmp->m_page = Format();
}
