#include "edit/Arrange.h"

#include <algorithm>

#include "items/CItemBase.h"
#include "project/CLedDoc.h"

namespace {

bool IsBox(int type) {
    switch (type) {
        case 2:
        case 3:
        case 4:
        case 5:
        case 12:
        case 13:
        case 15:
        case 16:
        case 70:
        case 80:
            return true;
        default:
            return false;
    }
}

// Sets the box's right (or bottom) edge so that it spans `size` pixels from its left (top).
bool Resize(CItemBase& item, int size, bool width) {
    const Rect b = item.Bounds();
    const int now = width ? b.right - b.left : b.bottom - b.top;
    if (!IsBox(item.m_nType) || now == size) return false;
    int32_t& far = width ? (item.m_x2 >= item.m_x1 ? item.m_x2 : item.m_x1)
                         : (item.m_y2 >= item.m_y1 ? item.m_y2 : item.m_y1);
    far += size - now;
    item.UpdateHandles();
    return true;
}

}  // namespace

namespace Arrange {

std::vector<CItemBase*> Selected(CLedDoc& page) {
    std::vector<CItemBase*> items;
    for (auto& item : page.CurrentItems())
        if (item->m_bSelected) items.push_back(item.get());
    return items;
}

int Needs(Arrangement how) {
    return how == Arrangement::DistributeH || how == Arrangement::DistributeV ? 3 : 2;
}

Rect Union(const std::vector<CItemBase*>& items) {
    Rect u{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const CItemBase* item : items) {
        const Rect b = item->Bounds();
        u = Rect{std::min(u.left, b.left), std::min(u.top, b.top), std::max(u.right, b.right),
                 std::max(u.bottom, b.bottom)};
    }
    return u;
}

bool Apply(const std::vector<CItemBase*>& items, Arrangement how) {
    if (static_cast<int>(items.size()) < Needs(how)) return false;
    const Rect u = Union(items);
    const Rect first = items.front()->Bounds();
    bool moved = false;
    auto move = [&moved](CItemBase& item, int64_t dx, int64_t dy) {
        if (dx == 0 && dy == 0) return;
        item.MoveBy(static_cast<int>(dx), static_cast<int>(dy));
        moved = true;
    };
    if (how == Arrangement::DistributeH || how == Arrangement::DistributeV) {
        const bool h = how == Arrangement::DistributeH;
        std::vector<CItemBase*> order = items;
        std::ranges::stable_sort(order, [h](CItemBase* a, CItemBase* b) {
            return h ? a->Bounds().left < b->Bounds().left : a->Bounds().top < b->Bounds().top;
        });
        int64_t sizes = 0;
        for (CItemBase* item : order) {
            const Rect b = item->Bounds();
            sizes += h ? b.right - b.left : b.bottom - b.top;
        }
        const int64_t span = h ? int64_t{u.right} - u.left : int64_t{u.bottom} - u.top;
        const int64_t gaps = static_cast<int64_t>(order.size()) - 1;
        const int64_t free = span - sizes;
        int64_t at = h ? u.left : u.top;
        for (size_t i = 0; i < order.size(); ++i) {
            const Rect b = order[i]->Bounds();
            // The spare pixels of an uneven share go to the first gaps.
            const int64_t gap = free / gaps + (int64_t(i) < free % gaps ? 1 : 0);
            if (h)
                move(*order[i], at - b.left, 0);
            else
                move(*order[i], 0, at - b.top);
            at += (h ? b.right - b.left : b.bottom - b.top) + gap;
        }
        return moved;
    }
    for (CItemBase* item : items) {
        const Rect b = item->Bounds();
        switch (how) {
            case Arrangement::AlignLeft:
                move(*item, int64_t{u.left} - b.left, 0);
                break;
            case Arrangement::AlignRight:
                move(*item, int64_t{u.right} - b.right, 0);
                break;
            case Arrangement::AlignTop:
                move(*item, 0, int64_t{u.top} - b.top);
                break;
            case Arrangement::AlignBottom:
                move(*item, 0, int64_t{u.bottom} - b.bottom);
                break;
            case Arrangement::AlignCentreH:
                move(*item, (int64_t{u.left} + u.right) / 2 - (int64_t{b.left} + b.right) / 2, 0);
                break;
            case Arrangement::AlignCentreV:
                move(*item, 0, (int64_t{u.top} + u.bottom) / 2 - (int64_t{b.top} + b.bottom) / 2);
                break;
            case Arrangement::SameWidth:
                moved = Resize(*item, first.right - first.left, true) || moved;
                break;
            case Arrangement::SameHeight:
                moved = Resize(*item, first.bottom - first.top, false) || moved;
                break;
            default:
                break;
        }
    }
    return moved;
}

}  // namespace Arrange
