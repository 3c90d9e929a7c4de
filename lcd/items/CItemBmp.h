#pragma once
// A picture on a page. The picture is a local bitmap shared by the item and its undo
// copies; the project's LocalBitmapStore lists the bitmaps and places new ones. The item
// gives the bitmap its place and size on the page.
//
// Page record (class "CItemBmp", schema 1; the type code is not stored):
//   point (x1, y1), point (x2, y2), int32 number, then the local bitmap as an object
//   reference (class "CBmpObj" on its first appearance). The number is the bitmap's place
//   in its project's list when the item was made; readers ignore it, and a page read and
//   written again keeps the number it had.

#include <memory>
#include <string>

#include "images/PageFormat.h"
#include "items/CItemBase.h"

class CBmpObj;
class Messenger;

class CItemBmp : public CItemBase {
public:
    static constexpr int32_t kType = 16;
    // OnRButtonDown asks the view for the context menu with this single command.
    static constexpr int kReplaceCommand = 32825;
    static constexpr const char* kReplaceLabel = "替换";

    // Type 16, no bitmap; used when loading.
    CItemBmp();
    // Placed at (x, y) on a page of format `page`, showing `bitmap` at the picture's size
    // (0 x 0 for a bitmap without picture).
    CItemBmp(int x, int y, std::shared_ptr<CBmpObj> bitmap, const PageFormat& page);

    const char* ClassName() const override { return "CItemBmp"; }
    void Serialize(Archive& ar) override;

    // The copy shows the same bitmap.
    std::unique_ptr<CItemBase> Clone() const override;
    int MoveHandle(int ox, int oy, int nx, int ny) override;
    int OnLButtonDown(int x, int y) override;
    int OnLButtonUp(int x, int y) override;
    int OnMouseMove(CursorShape& cursor, int ox, int oy, int nx, int ny) override;
    // kReplaceCommand: the view shows the menu with kReplaceLabel at (x, y) and, when the
    // entry is chosen and an image file picked, replaces the picture (ReplacePicture).
    int OnRButtonDown(unsigned flags, int x, int y) override;
    void Draw(Surface& dc) override;
    void AddToTree(TreeNode& parent, int index) override;
    int Encode(int flashMode, CByteArray& bytes, const DownloadSettings& settings = {}) override;
    int GetEncodedLength() override;

    bool HasValidBitmap() const { return m_pBitmap != nullptr; }
    // The local bitmap shown, or null.
    CBmpObj* Bitmap() const { return m_pBitmap.get(); }
    // Replaces the picture by the image at `path` (size check on). The bitmap keeps its
    // path, block and start page, and every copy of the item shows the new picture; the
    // box does not change. An item without bitmap gets a new one (the caller lists it in
    // its store). A file that gives no picture changes nothing and returns false.
    bool ReplacePicture(const std::string& path, Messenger& messenger);

    // The number written in the record (see above).
    int32_t m_nBitmap = -1;
    std::shared_ptr<CBmpObj> m_pBitmap;
    Rect m_rcDraw;
    // The page the item lies on; set by whoever creates or loads the item.
    PageFormat m_page;

private:
    void SetDrawFromBox();
};
