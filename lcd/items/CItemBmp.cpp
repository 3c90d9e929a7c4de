#include "items/CItemBmp.h"

#include "base/Archive.h"
#include "base/StringFormat.h"
#include "gfx/Surface.h"
#include "images/CBmpObj.h"

namespace {

constexpr uint8_t kEsc = 0x1B;
constexpr uint8_t kShowStored = 0x29;
constexpr uint8_t kShowPixels = 0x18;

}  // namespace

CItemBmp::CItemBmp() {
    m_nType = kType;
}

CItemBmp::CItemBmp(int x, int y, std::shared_ptr<CBmpObj> bitmap, const PageFormat& page)
    : m_pBitmap(std::move(bitmap)), m_page(page) {
    m_nType = kType;
    m_x1 = x, m_y1 = y;
    m_x2 = Saturate32(int64_t{x} + (m_pBitmap ? m_pBitmap->GetWidth() : 0));
    m_y2 = Saturate32(int64_t{y} + (m_pBitmap ? m_pBitmap->GetHeight() : 0));
    SetDrawFromBox();
}

void CItemBmp::SetDrawFromBox() {
    m_rcDraw = Rect{m_x1, m_y1, m_x2, m_y2};
}

void CItemBmp::Serialize(Archive& ar) {
    ar.Point(m_x1, m_y1);
    ar.Point(m_x2, m_y2);
    ar.Int32(m_nBitmap);
    if (ar.IsStoring()) {
        // An item without bitmap writes a null reference; the page refuses to save it
        // before it gets here.
        ar.WriteObject(Bitmap());
        return;
    }
    m_pBitmap.reset();
    std::unique_ptr<CBmpObj> bmp = ar.ReadObjectAs<CBmpObj>("局部位图");
    m_nType = kType;
    m_bCreating = 0;
    m_bSelected = 0;
    m_bDragging = 0;
    SetDrawFromBox();
    if (!ar.Ok() || !bmp) return;
    m_pBitmap = std::move(bmp);
}

std::unique_ptr<CItemBase> CItemBmp::Clone() const {
    auto copy = std::make_unique<CItemBmp>(*this);
    copy->m_nType = kType;
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
        // The pixels at this item's own size and page.
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

bool CItemBmp::ReplacePicture(const std::string& path, Messenger& messenger) {
    auto fresh = std::make_shared<CBmpObj>(path, true, m_page, messenger);
    if (!fresh->HasPicture()) return false;
    if (m_pBitmap)
        m_pBitmap->TakePicture(*fresh);
    else
        m_pBitmap = std::move(fresh);
    return true;
}
