#pragma once
// A picture on a page. The picture is a local bitmap of g_arrLocalBitmaps, which owns it;
// the item refers to it by index, gives it its place and size on the page, and is its
// owning item (the bitmap's m_pItem) while it is the newest copy.
//
// Page record (class "CItemBmp", schema 1; the type code is not stored):
//   point (x1, y1), point (x2, y2), int32 index, then the local bitmap as an object
//   reference (class "CBmpObj" on its first appearance). Loading ignores the stored
//   index: the bitmap read is appended to g_arrLocalBitmaps and the item takes its index.
//
// Every live bitmap item is known to the class, so that removing a bitmap from the list
// renumbers all items that refer past it, undo copies included.

#include <memory>
#include <string>

#include "images/BmpOwner.h"
#include "images/PageFormat.h"
#include "items/CItemBase.h"

class CBmpObj;
class Messenger;

class CItemBmp : public CItemBase, public BmpOwner {
public:
    static constexpr int32_t kType = 16;
    // OnRButtonDown asks the view for the context menu with this single command.
    static constexpr int kReplaceCommand = 32825;
    static constexpr const char* kReplaceLabel = "替换";

    // Type 16, no bitmap; used when loading.
    CItemBmp();
    // Placed at (x, y) from the image file at `path` on a page of format `page`: the new
    // local bitmap (size check on, placed at `settings`) is appended to g_arrLocalBitmaps
    // and the box takes the picture's size (0 x 0 when the file could not be loaded).
    CItemBmp(int x, int y, const std::string& path, const PageFormat& page,
             const DownloadSettings& settings, Messenger& messenger);
    CItemBmp(const CItemBmp& other);
    CItemBmp& operator=(const CItemBmp&) = delete;
    // Leaves the bitmap in the list; it loses its owner only when that is this item.
    ~CItemBmp() override;

    const char* ClassName() const override { return "CItemBmp"; }
    void Serialize(Archive& ar) override;

    std::unique_ptr<CItemBase> Clone() const override;
    int MoveHandle(int ox, int oy, int nx, int ny) override;
    int OnLButtonDown(int x, int y) override;
    int OnLButtonUp(int x, int y) override;
    int OnMouseMove(CursorShape& cursor, int ox, int oy, int nx, int ny) override;
    // kReplaceCommand: the view shows the menu with kReplaceLabel at (x, y) and, when the
    // entry is chosen and an image file picked, calls ReplacePicture on this item.
    int OnRButtonDown(unsigned flags, int x, int y) override;
    void Draw(Surface& dc) override;
    void AddToTree(TreeNode& parent, int index) override;
    int Encode(int flashMode, CByteArray& bytes, const DownloadSettings& settings = {}) override;
    int GetEncodedLength() override;

    Rect BmpRect() const override { return m_rcDraw; }
    PageFormat BmpPage() const override { return m_page; }

    // The index lies inside g_arrLocalBitmaps.
    bool HasValidBitmap() const;
    // The local bitmap shown, or null with an invalid index.
    CBmpObj* Bitmap() const;
    // Makes this item the owner of its bitmap (the page calls it for its current list
    // after undo and redo, so the owner is the copy the user sees).
    void ClaimBitmap();
    // Replaces the picture by the image at `path` (size check on). The new bitmap keeps
    // the old one's path, block and start page and its index; the box does not change.
    // A file that gives no picture leaves the old one in place and returns false.
    bool ReplacePicture(const std::string& path, const DownloadSettings& settings,
                        Messenger& messenger);
    // Deletes this item's bitmap from g_arrLocalBitmaps and renumbers every bitmap item
    // that refers past it; items that showed the deleted bitmap get an invalid index.
    void ReleaseBitmap();

    int32_t m_nBitmap = -1;
    Rect m_rcDraw;
    // The page the item lies on; set by whoever creates or loads the item.
    PageFormat m_page;

private:
    void SetDrawFromBox();
    void Disown();
};
