#pragma once
// The module's two flash areas as project management lays them out:
// - the page area, 256 pages of 128 bytes (page 255 reserved): every open page takes
//   pages m_nStartPage .. m_nStartPage + page count - 1;
// - the local-bitmap area, 64 blocks of 256 flash pages: every local bitmap in use (shown
//   by an item of an open page) takes the pages its item's box needs from its start page
//   in its block.
// It finds collisions from the runs (whether or not a map was drawn), draws both maps,
// picks and moves pages and bitmaps by map cell,
// keeps the page order (the order of the page records in the flash image) and links the
// pages by display mode. Nothing moves by itself to resolve a collision.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

class CBmpObj;
class CLedDoc;
class Surface;
class Workspace;

class FlashLayout {
public:
    static constexpr int kAreaPages = 256;
    static constexpr int kReservedPage = 255;
    static constexpr int kBlocks = 64;
    static constexpr int kPagesPerBlock = 256;
    // The next page of a page that has none.
    static constexpr const char* kNoPage = "无";
    static constexpr uint8_t kNoPageNumber = 255;

    enum DisplayMode { DisplayCyclic, DisplaySequential, DisplayIndependent, DisplayManual };

    struct PageRun {
        CLedDoc* page = nullptr;
        int64_t start = 0;
        int64_t count = 0;
        bool collision = false;
    };
    struct BitmapRun {
        size_t index = 0;  // in the workspace's LocalBitmapStore
        CBmpObj* bitmap = nullptr;
        int64_t block = 0;
        int64_t start = 0;
        int64_t count = 0;
        bool collision = false;
    };
    // What the bitmap tab shows of one bitmap.
    struct BitmapFields {
        int block = 0;
        int start = 0;
        int pageCount = 0;
        std::string size;   // "%d * %d" of the bitmap item
        std::string owner;  // title of the page holding the item, "" when not open
    };

    // The page order starts as the titles of the open pages in document order.
    explicit FlashLayout(Workspace& workspace);

    Workspace& GetWorkspace() const { return m_ws; }
    CLedDoc* FindPage(const std::string& title) const;
    // The open page whose current item list shows the bitmap; null when not in use.
    CLedDoc* OwnerPage(const CBmpObj& bmp) const;

    // Every open page in document order. In collision: s + n >= 256 (the reserved page
    // counts as used), a negative start, or a page already taken by an earlier page.
    std::vector<PageRun> PageRuns() const;
    // The placed bitmaps of `block` (of every block for -1) in list order. In collision:
    // start + count > 256, a place outside the area, or a page taken by an earlier bitmap
    // of the same block.
    std::vector<BitmapRun> BitmapRuns(int block) const;
    bool AnyPageCollision() const;
    bool AnyBitmapCollision() const;

    // The maps, drawn on a surface of at least FlashMap::kSize on each side (else the user
    // is told and nothing is drawn): every run green, red in collision, the picked page
    // and the highlighted bitmaps hatched blue. The bitmap map shows the shown block.
    bool DrawPageMap(Surface& dc);
    bool DrawBitmapMap(Surface& dc);
    // The close box: refused, with the reason, while either area has a collision.
    bool CanClose() const;

    // Page map mouse. A press inside the map picks every page whose run holds the cell and
    // unpicks the others (false outside the map: nothing changes). Moving with the button
    // down puts the picked page's start at the cell under the pointer and updates its
    // project entry; true when the page moved.
    bool PressPageMap(int x, int y);
    bool DragPageMap(int x, int y);
    void ReleasePageMap() { m_bPagePressed = false; }
    // Choosing a title in the page list: that page becomes the only picked one.
    CLedDoc* SelectTitle(const std::string& title);
    // The page the fields show: the last picked one in document order.
    CLedDoc* PickedPage() const;

    const std::vector<std::string>& PageOrder() const { return m_order; }
    // What the reorder list box leaves; the pages' start pages stay as they are.
    void SetPageOrder(std::vector<std::string> order) { m_order = std::move(order); }

    // Links every page of the order by the mode; manual leaves the links alone.
    void SetDisplayMode(DisplayMode mode);
    // The mode the pages' links show in the current order (manual for any other links):
    // what a layout starts with, so that project management shows the mode it last set.
    DisplayMode LinkedMode() const;
    DisplayMode GetDisplayMode() const { return m_mode; }
    bool NextPagePickerEnabled() const { return m_mode == DisplayManual; }
    // The next-page picker: every open title, then "无".
    std::vector<std::string> NextPageChoices() const;
    // Manual mode: the page named `pageName` ("名称:") is followed by `choice`.
    bool ChooseNextPage(const std::string& pageName, const std::string& choice);

    // The bitmap tab opens on the block of the first local bitmap (0 without any).
    void OpenBitmapTab();
    int ShownBlock() const { return m_nShownBlock; }
    // The bitmap in the name picker, -1 for none.
    int SelectedBitmap() const { return m_nSelected; }
    // Bitmap map mouse: a press inside the map highlights the bitmaps of the shown block
    // under the pointer (and no others) and selects the first (or clears the selection);
    // true when the map must be redrawn. Moving with the button down moves the highlighted
    // bitmap's start page; true when it moved.
    bool PressBitmapMap(int x, int y);
    bool DragBitmapMap(int x, int y);
    void ReleaseBitmapMap() { m_bBitmapPressed = false; }
    // The pickers. False when the picker goes back to what it showed (or is cleared).
    bool ChooseBitmapName(int index);
    bool ChooseBitmapBlock(int block);
    bool ChooseBitmapStart(int start);
    bool GetBitmapFields(int index, BitmapFields& fields) const;
    bool IsHighlighted(const CBmpObj& bmp) const { return m_highlighted.count(&bmp) != 0; }

private:
    CBmpObj* Bitmap(int index) const;
    // The first highlighted bitmap of the shown block, or -1.
    int HighlightedBitmap() const;
    void MarkOwnerModified(const CBmpObj& bmp) const;

    Workspace& m_ws;
    std::vector<std::string> m_order;
    DisplayMode m_mode = DisplayIndependent;
    // The bitmaps under the pointer at the last press on the bitmap map.
    std::set<const CBmpObj*> m_highlighted;
    bool m_bPagePressed = false;
    bool m_bBitmapPressed = false;
    int m_nShownBlock = 0;
    int m_nSelected = -1;
};
