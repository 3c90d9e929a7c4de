#include "items/CItemBmp.h"

#include <algorithm>
#include <vector>

#include "base/Archive.h"
#include "base/StringFormat.h"
#include "gfx/Surface.h"
#include "images/BitmapGlobals.h"
#include "images/CBmpObj.h"

namespace {

constexpr uint8_t kEsc = 0x1B;
constexpr uint8_t kShowStored = 0x29;
constexpr uint8_t kShowPixels = 0x18;

// Every bitmap item alive, undo copies of every open page included. Never destroyed, so
// an item outliving static destruction still finds it.
std::vector<CItemBmp*>& LiveItems() {
    static auto* items = new std::vector<CItemBmp*>;
    return *items;
}

void Enlist(CItemBmp* item) {
    LiveItems().push_back(item);
}

void Delist(CItemBmp* item) {
    std::vector<CItemBmp*>& items = LiveItems();
    const auto it = std::find(items.begin(), items.end(), item);
    if (it == items.end()) return;
    *it = items.back();
    items.pop_back();
}

}  // namespace

CItemBmp::CItemBmp() {
    Enlist(this);
    m_nType = kType;
}

CItemBmp::CItemBmp(int x, int y, const std::string& path, const PageFormat& page,
                   const DownloadSettings& settings, Messenger& messenger)
    : m_page(page) {
    Enlist(this);
    m_nType = kType;
    auto bmp = std::make_unique<CBmpObj>(path, this, true, page, settings, messenger);
    m_x1 = x, m_y1 = y;
    m_x2 = Saturate32(int64_t{x} + bmp->GetWidth());
    m_y2 = Saturate32(int64_t{y} + bmp->GetHeight());
    g_arrLocalBitmaps.push_back(std::move(bmp));
    m_nBitmap = static_cast<int32_t>(g_arrLocalBitmaps.size() - 1);
    SetDrawFromBox();
}

CItemBmp::CItemBmp(const CItemBmp& other)
    : CItemBase(other),
      BmpOwner(other),
      m_nBitmap(other.m_nBitmap),
      m_rcDraw(other.m_rcDraw),
      m_page(other.m_page) {
    Enlist(this);
}

CItemBmp::~CItemBmp() {
    Disown();
    Delist(this);
}

bool CItemBmp::HasValidBitmap() const {
    return Bitmap() != nullptr;
}

CBmpObj* CItemBmp::Bitmap() const {
    if (m_nBitmap < 0 || static_cast<size_t>(m_nBitmap) >= g_arrLocalBitmaps.size()) return nullptr;
    return g_arrLocalBitmaps[static_cast<size_t>(m_nBitmap)].get();
}

void CItemBmp::ClaimBitmap() {
    if (CBmpObj* bmp = Bitmap()) bmp->m_pItem = this;
}

// Only the owner lets go: an older undo copy going away must not orphan the bitmap of
// the copy the user sees.
void CItemBmp::Disown() {
    CBmpObj* bmp = Bitmap();
    if (bmp && bmp->m_pItem == this) bmp->m_pItem = nullptr;
}

void CItemBmp::SetDrawFromBox() {
    m_rcDraw = Rect{m_x1, m_y1, m_x2, m_y2};
}

void CItemBmp::Serialize(Archive& ar) {
    if (ar.IsLoading()) Disown();
    ar.Point(m_x1, m_y1);
    ar.Point(m_x2, m_y2);
    int32_t index = m_nBitmap;
    ar.Int32(index);
    if (ar.IsStoring()) {
        // An item without bitmap writes a null reference; the page refuses to save it
        // before it gets here.
        ar.WriteObject(Bitmap());
        return;
    }
    m_nBitmap = -1;
    std::unique_ptr<CBmpObj> bmp = ar.ReadObjectAs<CBmpObj>("局部位图");
    m_nType = kType;
    m_bCreating = 0;
    m_bSelected = 0;
    m_bDragging = 0;
    SetDrawFromBox();
    if (!ar.Ok() || !bmp) return;
    // The stored index is that of the session that wrote the file: the bitmap joins the
    // list of this session at its end.
    bmp->m_pItem = this;
    g_arrLocalBitmaps.push_back(std::move(bmp));
    m_nBitmap = static_cast<int32_t>(g_arrLocalBitmaps.size() - 1);
}

std::unique_ptr<CItemBase> CItemBmp::Clone() const {
    auto copy = std::make_unique<CItemBmp>(*this);
    copy->m_nType = kType;
    // The newest copy is the one in the page's current list.
    copy->ClaimBitmap();
    return copy;
}

int CItemBmp::MoveHandle(int ox, int oy, int nx, int ny) {
    // The body does not move a picture; its centre handle does.
    if (m_nHandle != 0) CItemBase::MoveHandle(ox, oy, nx, ny);
    SetDrawFromBox();
    return 0;
}

int CItemBmp::OnLButtonDown(int x, int y) {
    m_bDragging = 1;
    if (HitTest(x, y) < 0) {
        if (!m_bSelected) return 0;
        m_bSelected = 0;
        m_bDragging = 0;
        return 1;
    }
    if (m_bSelected) return 0;
    m_bSelected = 1;
    return 1;
}

int CItemBmp::OnLButtonUp(int x, int y) {
    (void)x;
    (void)y;
    m_bDragging = 0;
    return 0;
}

int CItemBmp::OnMouseMove(CursorShape& cursor, int ox, int oy, int nx, int ny) {
    if (m_bDragging) {
        MoveHandle(ox, oy, nx, ny);
        return 1;
    }
    const int h = HitTest(nx, ny);
    if (!m_bSelected) return 0;
    cursor = h == 0 ? CursorShape::Cross : HandleCursor(h);
    return 0;
}

int CItemBmp::OnRButtonDown(unsigned flags, int x, int y) {
    (void)flags;
    (void)x;
    (void)y;
    return kReplaceCommand;
}

void CItemBmp::Draw(Surface& dc) {
    CBmpObj* bmp = Bitmap();
    if (!bmp || !bmp->HasPicture()) return;
    if (!bmp->m_pItem) bmp->m_pItem = this;
    bmp->Draw(dc, m_rcDraw);
}

void CItemBmp::AddToTree(TreeNode& parent, int index) {
    (void)index;
    TreeNode node;
    node.text = StringFormat("位图：左上角(%d,%d)，右下角(%d,%d)", m_x1, m_y1, m_x2, m_y2);
    node.checked = m_bSelected != 0;
    parent.children.push_back(std::move(node));
}

int CItemBmp::Encode(int flashMode, CByteArray& bytes, const DownloadSettings& settings) {
    const CBmpObj* bmp = Bitmap();
    if (!bmp) return 0;
    const int64_t w = int64_t{m_rcDraw.right} - m_rcDraw.left;
    const int64_t h = int64_t{m_rcDraw.bottom} - m_rcDraw.top;
    // Two pixels a byte: the row goes out as its byte count, rows as one byte.
    const bool packed = m_page.Is8Colour320x234();
    if (!flashMode) {
        // The module takes exactly the pixels the header announces; a size the header
        // cannot carry would make it read the following commands as pixels.
        const int64_t maxW = packed ? 511 : 0xFFFF, maxH = packed ? 255 : 0xFFFF;
        if (w < 0 || h < 0 || w > maxW || h > maxH) return 0;
    }
    const size_t before = bytes.size();
    bytes.push_back(kEsc);
    if (flashMode) {
        bytes.push_back(kShowStored);
        bytes.push_back(static_cast<uint8_t>(bmp->m_nBlock));
        bytes.push_back(static_cast<uint8_t>(bmp->m_nStartPage));
    } else {
        bytes.push_back(kShowPixels);
    }
    AppendWord(bytes, m_x1);
    AppendWord(bytes, m_y1);
    if (packed) {
        bytes.push_back(static_cast<uint8_t>(w / 2));
        bytes.push_back(static_cast<uint8_t>(h));
    } else {
        AppendWord(bytes, w);
        AppendWord(bytes, h);
    }
    if (!flashMode && w > 0 && h > 0) {
        // The pixels at this item's own size and page, whichever copy owns the bitmap.
        if (bmp->AppendPixels(bytes, m_page.colours, static_cast<int>(w), static_cast<int>(h),
                              settings) < 0) {
            bytes.resize(before);
            return 0;
        }
    }
    return static_cast<int>(bytes.size() - before);
}

int CItemBmp::GetEncodedLength() {
    if (!HasValidBitmap()) return 0;
    return m_page.Is8Colour320x234() ? 10 : 12;
}

bool CItemBmp::ReplacePicture(const std::string& path, const DownloadSettings& settings,
                              Messenger& messenger) {
    auto fresh = std::make_unique<CBmpObj>(path, this, true, m_page, settings, messenger);
    if (!fresh->HasPicture()) return false;
    CBmpObj* old = Bitmap();
    if (!old) {
        g_arrLocalBitmaps.push_back(std::move(fresh));
        m_nBitmap = static_cast<int32_t>(g_arrLocalBitmaps.size() - 1);
        return true;
    }
    fresh->m_strPath = old->m_strPath;
    fresh->m_nBlock = old->m_nBlock;
    fresh->m_nStartPage = old->m_nStartPage;
    g_arrLocalBitmaps[static_cast<size_t>(m_nBitmap)] = std::move(fresh);
    return true;
}

void CItemBmp::ReleaseBitmap() {
    const int64_t size = static_cast<int64_t>(g_arrLocalBitmaps.size());
    const int32_t gone = m_nBitmap;
    if (gone < 0 || gone >= size) return;
    g_arrLocalBitmaps.erase(g_arrLocalBitmaps.begin() + gone);
    for (CItemBmp* item : LiveItems()) {
        const int32_t i = item->m_nBitmap;
        if (i == gone || i >= size)
            item->m_nBitmap = -1;
        else if (i > gone)
            item->m_nBitmap = i - 1;
    }
}
