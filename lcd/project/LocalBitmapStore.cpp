#include "project/LocalBitmapStore.h"

#include <algorithm>

#include "images/CBmpObj.h"
#include "items/CItemBmp.h"
#include "project/CLedDoc.h"

namespace {

constexpr int64_t kPagesPerBlock = CBmpObj::kPagesPerBlock;

}  // namespace

Rect LocalBitmapStore::Use::Box() const {
    return item ? item->m_rcDraw : Rect{};
}

PageFormat LocalBitmapStore::Use::Format() const {
    return item ? item->m_page : PageFormat{};
}

int LocalBitmapStore::Use::PageCount(const DownloadSettings& settings) const {
    return CBmpObj::PageCount(Box(), Format(), settings);
}

LocalBitmapStore::LocalBitmapStore(PageSource pages, const DownloadSettings* settings)
    : m_pages(std::move(pages)), m_pSettings(settings) {}

void LocalBitmapStore::Prune() const {
    std::erase_if(m_list, [](const std::weak_ptr<CBmpObj>& w) { return w.expired(); });
}

void LocalBitmapStore::Register(const std::shared_ptr<CBmpObj>& bitmap) {
    if (!bitmap || IndexOf(*bitmap) >= 0) return;
    m_list.push_back(bitmap);
}

void LocalBitmapStore::RegisterPage(const CLedDoc& page) {
    for (const auto& item : page.CurrentItems())
        if (const auto* bmp = dynamic_cast<const CItemBmp*>(item.get())) Register(bmp->m_pBitmap);
}

std::vector<std::shared_ptr<CBmpObj>> LocalBitmapStore::Bitmaps() const {
    Prune();
    std::vector<std::shared_ptr<CBmpObj>> all;
    for (const auto& w : m_list)
        if (auto p = w.lock()) all.push_back(std::move(p));
    return all;
}

CBmpObj* LocalBitmapStore::At(int index) const {
    const auto all = Bitmaps();
    if (index < 0 || static_cast<size_t>(index) >= all.size()) return nullptr;
    return all[static_cast<size_t>(index)].get();
}

int LocalBitmapStore::IndexOf(const CBmpObj& bitmap) const {
    const auto all = Bitmaps();
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].get() == &bitmap) return static_cast<int>(i);
    return -1;
}

std::vector<LocalBitmapStore::Use> LocalBitmapStore::InUse() const {
    const auto all = Bitmaps();
    std::vector<Use> uses(all.size());
    for (size_t i = 0; i < all.size(); ++i)
        uses[i] = Use{i, all[i].get(), nullptr, nullptr};
    // The first item of the open pages that shows each bitmap.
    for (CLedDoc* page : m_pages ? m_pages() : std::vector<CLedDoc*>{}) {
        for (const auto& item : page->CurrentItems()) {
            auto* bmp = dynamic_cast<CItemBmp*>(item.get());
            if (!bmp || !bmp->m_pBitmap) continue;
            for (Use& use : uses) {
                if (use.bitmap == bmp->Bitmap() && !use.item) {
                    use.item = bmp;
                    use.page = page;
                }
            }
        }
    }
    std::erase_if(uses, [](const Use& u) { return !u.item; });
    return uses;
}

std::optional<LocalBitmapStore::Use> LocalBitmapStore::UseOf(const CBmpObj& bitmap) const {
    for (const Use& use : InUse())
        if (use.bitmap == &bitmap) return use;
    return std::nullopt;
}

std::unique_ptr<CItemBmp> LocalBitmapStore::NewItem(int x, int y, const std::string& path,
                                                    const PageFormat& page, Messenger& messenger) {
    auto bmp = std::make_shared<CBmpObj>(path, true, page, messenger);
    Place(bmp, page);
    auto item = std::make_unique<CItemBmp>(x, y, bmp, page);
    item->m_nBitmap = IndexOf(*bmp);
    return item;
}

void LocalBitmapStore::Place(const std::shared_ptr<CBmpObj>& bmp, const PageFormat& page) {
    const DownloadSettings settings = m_pSettings ? *m_pSettings : DownloadSettings{};
    const std::vector<Use> uses = InUse();
    if (!uses.empty()) {
        const Use& last = uses.back();
        const int64_t end = int64_t{last.bitmap->m_nStartPage} + last.PageCount(settings);
        if (end + bmp->PlacementPages(page) <= kPagesPerBlock) {
            bmp->m_nBlock = last.bitmap->m_nBlock;
            bmp->m_nStartPage = static_cast<int32_t>(end);
        } else {
            bmp->m_nBlock = last.bitmap->m_nBlock + 1;
            bmp->m_nStartPage = 0;
        }
    } else {
        bmp->m_nBlock = bmp->m_nStartPage = 0;
    }
    Register(bmp);
}

bool LocalBitmapStore::ReplacePicture(CItemBmp& item, const std::string& path,
                                      Messenger& messenger) {
    if (!item.ReplacePicture(path, messenger)) return false;
    Register(item.m_pBitmap);
    return true;
}
