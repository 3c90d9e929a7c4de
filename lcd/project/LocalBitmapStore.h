#pragma once
// The local bitmaps of one project (one workspace): the list the flash layout, the flash
// image and the reports walk, in the order the bitmaps were made or read.
//
// A bitmap lives as long as some bitmap item holds it (undo copies included); the list
// keeps no bitmap alive and forgets one nobody holds. A bitmap is in use while an item
// of the current item list of an open page shows it: only those take flash pages, and
// the first such item (in page order) gives the size it is downloaded at. Nothing points
// back from a bitmap to its item, so undo, redo and closing pages need no bookkeeping.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Geometry.h"
#include "images/DownloadSettings.h"
#include "images/PageFormat.h"

class CBmpObj;
class CItemBmp;
class CLedDoc;
class Messenger;

class LocalBitmapStore {
public:
    // One bitmap in use.
    struct Use {
        size_t index = 0;  // place in the list
        CBmpObj* bitmap = nullptr;
        CItemBmp* item = nullptr;  // the first item showing it
        CLedDoc* page = nullptr;   // the page of that item
        // The rectangle the picture is shown in, and the page's format.
        Rect Box() const;
        PageFormat Format() const;
        // Flash pages the bitmap takes at `settings`.
        int PageCount(const DownloadSettings& settings) const;
    };
    // The open pages, in document order.
    using PageSource = std::function<std::vector<CLedDoc*>()>;

    // `settings` (not owned; null: board 0) gives the page counts new bitmaps are placed by.
    explicit LocalBitmapStore(PageSource pages, const DownloadSettings* settings = nullptr);

    // Lists the bitmap at the end unless it is listed already.
    void Register(const std::shared_ptr<CBmpObj>& bitmap);
    // Lists the bitmaps the page's current items show, in item order (a page just read).
    void RegisterPage(const CLedDoc& page);
    // Every listed bitmap some item still holds, in list order.
    std::vector<std::shared_ptr<CBmpObj>> Bitmaps() const;
    // The bitmap at `index` of Bitmaps(), or null.
    CBmpObj* At(int index) const;
    int IndexOf(const CBmpObj& bitmap) const;
    // The bitmaps in use, in list order.
    std::vector<Use> InUse() const;
    std::optional<Use> UseOf(const CBmpObj& bitmap) const;

    // A new bitmap item at (x, y) on a page of format `page`, showing the picture at `path`
    // at its own size: the user is told when the picture is too big for a local bitmap,
    // the bitmap takes the flash place after the last bitmap in use (block 0, page 0 for
    // the first; the next block when the rest of the block cannot hold it) and joins the
    // list. A file that cannot be read gives a 0 x 0 item, told.
    std::unique_ptr<CItemBmp> NewItem(int x, int y, const std::string& path, const PageFormat& page,
                                      Messenger& messenger);
    // Gives `bitmap` the flash place after the last bitmap in use (as NewItem does) and
    // lists it: a pasted copy must not share its original's place.
    void Place(const std::shared_ptr<CBmpObj>& bitmap, const PageFormat& page);
    // Replaces the picture of `item` (CItemBmp::ReplacePicture) and lists a new bitmap.
    bool ReplacePicture(CItemBmp& item, const std::string& path, Messenger& messenger);

private:
    void Prune() const;

    PageSource m_pages;
    const DownloadSettings* m_pSettings;
    mutable std::vector<std::weak_ptr<CBmpObj>> m_list;
};
