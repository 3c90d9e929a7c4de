#include "project/FlashLayout.h"

#include <algorithm>

#include "base/Messenger.h"
#include "base/StringFormat.h"
#include "gfx/Surface.h"
#include "images/CBmpObj.h"
#include "project/CLedDoc.h"
#include "project/FlashMap.h"
#include "project/Workspace.h"

namespace {

constexpr const char* kCaption = "提示";

void Tell(Messenger& messenger, const std::string& text) {
    messenger.Tell(text, kCaption);
}

bool AskYes(Messenger& messenger, const std::string& text) {
    return messenger.Ask(text, kCaption, Messenger::Buttons::YesNo) == Messenger::Answer::Yes;
}

bool MapFits(const Surface& dc, Messenger& messenger) {
    if (FlashMap::Fits(dc)) return true;
    Tell(messenger, "创建兼容位图失败，可能是内存不足");
    return false;
}

}  // namespace

FlashLayout::FlashLayout(Workspace& workspace) : m_ws(workspace) {
    for (const auto& page : m_ws.Pages())
        m_order.push_back(page->m_strTitle);
    m_mode = LinkedMode();
}

FlashLayout::DisplayMode FlashLayout::LinkedMode() const {
    const size_t n = m_order.size();
    // Whether page i links to page i + step of the order (to none past the end, or round).
    auto links = [&](bool round) {
        for (size_t i = 0; i < n; ++i) {
            const CLedDoc* page = FindPage(m_order[i]);
            const bool last = i + 1 == n;
            const CLedDoc* next = last && !round ? nullptr : FindPage(m_order[(i + 1) % n]);
            if (!page) return false;
            if (next ? page->m_strNextPage != next->m_strTitle : page->m_strNextPage != kNoPage)
                return false;
        }
        return true;
    };
    const bool none = std::ranges::all_of(m_order, [&](const std::string& title) {
        const CLedDoc* page = FindPage(title);
        return page && page->m_strNextPage == kNoPage;
    });
    if (none) return DisplayIndependent;
    if (links(true)) return DisplayCyclic;
    if (links(false)) return DisplaySequential;
    return DisplayManual;
}

CLedDoc* FlashLayout::FindPage(const std::string& title) const {
    for (const auto& page : m_ws.Pages())
        if (page->m_strTitle == title) return page.get();
    return nullptr;
}

CLedDoc* FlashLayout::OwnerPage(const CBmpObj& bmp) const {
    const auto use = m_ws.Bitmaps().UseOf(bmp);
    return use ? use->page : nullptr;
}

std::vector<FlashLayout::PageRun> FlashLayout::PageRuns() const {
    std::vector<uint8_t> used(kAreaPages, 0);
    std::vector<PageRun> runs;
    for (const auto& page : m_ws.Pages()) {
        PageRun run{page.get(), page->m_nStartPage, page->ComputePageCount(), false};
        if (run.start < 0 || run.start + run.count >= kAreaPages) {
            run.collision = true;
        } else {
            // Earlier pages keep their marks; the rest of this run is still marked.
            for (int64_t p = run.start; p < run.start + run.count; ++p) {
                uint8_t& u = used[static_cast<size_t>(p)];
                if (u) run.collision = true;
                u = 1;
            }
        }
        runs.push_back(run);
    }
    return runs;
}

std::vector<FlashLayout::BitmapRun> FlashLayout::BitmapRuns(int block) const {
    std::vector<uint8_t> used(static_cast<size_t>(kBlocks) * kPagesPerBlock, 0);
    std::vector<BitmapRun> runs;
    for (const LocalBitmapStore::Use& use : m_ws.Bitmaps().InUse()) {
        CBmpObj* bmp = use.bitmap;
        if (block >= 0 && bmp->m_nBlock != block) continue;
        BitmapRun run{
            use.index, bmp, bmp->m_nBlock, bmp->m_nStartPage, use.PageCount(m_ws.Settings()),
            false};
        if (run.start < 0 || run.start + run.count > kPagesPerBlock || run.block < 0 ||
            run.block >= kBlocks) {
            run.collision = true;
        } else {
            for (int64_t p = run.start; p < run.start + run.count; ++p) {
                uint8_t& u = used[static_cast<size_t>(run.block * kPagesPerBlock + p)];
                if (u) run.collision = true;
                u = 1;
            }
        }
        runs.push_back(run);
    }
    return runs;
}

bool FlashLayout::AnyPageCollision() const {
    const auto runs = PageRuns();
    return std::any_of(runs.begin(), runs.end(), [](const PageRun& r) { return r.collision; });
}

bool FlashLayout::AnyBitmapCollision() const {
    const auto runs = BitmapRuns(-1);
    return std::any_of(runs.begin(), runs.end(), [](const BitmapRun& r) { return r.collision; });
}

bool FlashLayout::DrawPageMap(Surface& dc) {
    if (!MapFits(dc, m_ws.GetMessenger())) return false;
    FlashMap::DrawBase(dc, true);
    for (const PageRun& run : PageRuns()) {
        FlashMap::DrawOccupied(dc, run.start, run.count, run.collision);
        if (run.page->m_bPicked) FlashMap::DrawPicked(dc, run.start, run.count);
    }
    return true;
}

bool FlashLayout::DrawBitmapMap(Surface& dc) {
    if (!MapFits(dc, m_ws.GetMessenger())) return false;
    FlashMap::DrawBase(dc, false);
    for (const BitmapRun& run : BitmapRuns(m_nShownBlock)) {
        // A run before the block's first page has no cell to start in.
        if (run.start < 0) continue;
        FlashMap::DrawOccupied(dc, run.start, run.count, run.collision);
        if (IsHighlighted(*run.bitmap)) FlashMap::DrawPicked(dc, run.start, run.count);
    }
    return true;
}

bool FlashLayout::CanClose() const {
    if (AnyPageCollision()) {
        Tell(m_ws.GetMessenger(), "页面区有地址重叠或越界，请重新设置");
        return false;
    }
    if (AnyBitmapCollision()) {
        Tell(m_ws.GetMessenger(), "局部位图区有地址重叠或越界，请重新设置");
        return false;
    }
    return true;
}

bool FlashLayout::PressPageMap(int x, int y) {
    const int cell = FlashMap::CellAt(x, y);
    if (cell < 0) return false;
    for (const auto& page : m_ws.Pages()) {
        const int64_t s = page->m_nStartPage;
        page->m_bPicked = (cell >= s && cell < s + page->ComputePageCount()) ? 1 : 0;
    }
    m_bPagePressed = true;
    return true;
}

bool FlashLayout::DragPageMap(int x, int y) {
    CLedDoc* page = m_bPagePressed ? PickedPage() : nullptr;
    const int cell = FlashMap::CellAt(x, y);
    // Off the map the page stays where it was last put.
    if (!page || cell < 0) return false;
    page->m_nStartPage = cell;
    const int count = page->ComputePageCount();
    for (CDocObj& e : m_ws.GetProject().entries) {
        if (e.m_strName == page->m_strTitle || e.m_strName == page->m_strTitle + ".pg") {
            e.m_nStartPage = cell;
            e.m_nPageCount = count;
            break;
        }
    }
    page->SetModified(true);
    return true;
}

CLedDoc* FlashLayout::SelectTitle(const std::string& title) {
    CLedDoc* chosen = FindPage(title);
    if (!chosen) return nullptr;
    for (const auto& page : m_ws.Pages())
        page->m_bPicked = page.get() == chosen ? 1 : 0;
    return chosen;
}

CLedDoc* FlashLayout::PickedPage() const {
    CLedDoc* picked = nullptr;
    for (const auto& page : m_ws.Pages())
        if (page->m_bPicked) picked = page.get();
    return picked;
}

void FlashLayout::SetDisplayMode(DisplayMode mode) {
    m_mode = mode;
    if (mode == DisplayManual) return;
    const size_t n = m_order.size();
    for (size_t i = 0; i < n; ++i) {
        CLedDoc* page = FindPage(m_order[i]);
        if (!page) continue;
        CLedDoc* next = nullptr;
        if (mode == DisplayCyclic) {
            next = FindPage(m_order[(i + 1) % n]);
        } else if (mode == DisplaySequential && i + 1 < n) {
            next = FindPage(m_order[i + 1]);
        }
        if (next) {
            page->m_strNextPage = next->m_strTitle;
            page->m_byNextPage = static_cast<uint8_t>(next->m_nStartPage & 0xFF);
        } else {
            page->m_strNextPage = kNoPage;
            page->m_byNextPage = kNoPageNumber;
        }
    }
}

std::vector<std::string> FlashLayout::NextPageChoices() const {
    std::vector<std::string> choices;
    for (const auto& page : m_ws.Pages())
        choices.push_back(page->m_strTitle);
    choices.push_back(kNoPage);
    return choices;
}

bool FlashLayout::ChooseNextPage(const std::string& pageName, const std::string& choice) {
    if (m_mode != DisplayManual) return false;
    CLedDoc* page = pageName.empty() ? nullptr : FindPage(pageName);
    if (!page) {
        Tell(m_ws.GetMessenger(), "请选择你要修改的页面");
        return false;
    }
    if (choice == kNoPage) {
        page->m_strNextPage = kNoPage;
        page->m_byNextPage = kNoPageNumber;
        return true;
    }
    const CLedDoc* next = FindPage(choice);
    if (!next) return false;
    page->m_strNextPage = next->m_strTitle;
    page->m_byNextPage = static_cast<uint8_t>(next->m_nStartPage & 0xFF);
    return true;
}

void FlashLayout::OpenBitmapTab() {
    const CBmpObj* first = m_ws.Bitmaps().At(0);
    m_nShownBlock = first ? first->m_nBlock : 0;
}

CBmpObj* FlashLayout::Bitmap(int index) const {
    return m_ws.Bitmaps().At(index);
}

int FlashLayout::HighlightedBitmap() const {
    for (const LocalBitmapStore::Use& use : m_ws.Bitmaps().InUse())
        if (use.bitmap->m_nBlock == m_nShownBlock && IsHighlighted(*use.bitmap))
            return static_cast<int>(use.index);
    return -1;
}

void FlashLayout::MarkOwnerModified(const CBmpObj& bmp) const {
    if (CLedDoc* page = OwnerPage(bmp)) page->SetModified(true);
}

bool FlashLayout::PressBitmapMap(int x, int y) {
    const int cell = FlashMap::CellAt(x, y);
    if (cell < 0) return false;
    bool redraw = false;
    for (const BitmapRun& run : BitmapRuns(m_nShownBlock)) {
        const bool inside = cell >= run.start && cell <= run.start + run.count - 1;
        if (inside == IsHighlighted(*run.bitmap)) continue;
        if (inside)
            m_highlighted.insert(run.bitmap);
        else
            m_highlighted.erase(run.bitmap);
        redraw = true;
    }
    m_nSelected = HighlightedBitmap();
    m_bBitmapPressed = true;
    return redraw;
}

bool FlashLayout::DragBitmapMap(int x, int y) {
    const int index = m_bBitmapPressed ? HighlightedBitmap() : -1;
    CBmpObj* bmp = Bitmap(index);
    const int cell = FlashMap::CellAt(x, y);
    if (!bmp || cell < 0) return false;
    bmp->m_nStartPage = cell;
    MarkOwnerModified(*bmp);
    return true;
}

bool FlashLayout::ChooseBitmapName(int index) {
    CBmpObj* bmp = Bitmap(index);
    if (!bmp) return false;
    if (!m_ws.Bitmaps().UseOf(*bmp)) {
        Tell(m_ws.GetMessenger(), "该位图已经被删除");
        return false;
    }
    m_nShownBlock = bmp->m_nBlock;
    m_nSelected = index;
    return true;
}

bool FlashLayout::ChooseBitmapBlock(int block) {
    if (block < 0 || block >= kBlocks) return false;
    CBmpObj* bmp = Bitmap(m_nSelected);
    if (!bmp) {
        m_nShownBlock = block;
        return true;
    }
    if (!AskYes(m_ws.GetMessenger(), "确认要修改" + bmp->m_strPath + "的起始块吗")) return false;
    bmp->m_nBlock = block;
    m_nShownBlock = block;
    MarkOwnerModified(*bmp);
    return true;
}

bool FlashLayout::ChooseBitmapStart(int start) {
    CBmpObj* bmp = Bitmap(m_nSelected);
    if (!bmp || start < 0 || start >= kPagesPerBlock) return false;
    if (!AskYes(m_ws.GetMessenger(), "确认要修改" + bmp->m_strPath + "的起始页吗")) return false;
    bmp->m_nStartPage = start;
    MarkOwnerModified(*bmp);
    return true;
}

bool FlashLayout::GetBitmapFields(int index, BitmapFields& fields) const {
    const CBmpObj* bmp = Bitmap(index);
    const auto use = bmp ? m_ws.Bitmaps().UseOf(*bmp) : std::nullopt;
    if (!use) return false;
    const Rect rc = use->Box();
    fields.block = bmp->m_nBlock;
    fields.start = bmp->m_nStartPage;
    fields.pageCount = use->PageCount(m_ws.Settings());
    fields.size = StringFormat("%lld * %lld", static_cast<long long>(int64_t{rc.right} - rc.left),
                               static_cast<long long>(int64_t{rc.bottom} - rc.top));
    fields.owner = use->page->m_strTitle;
    return true;
}
