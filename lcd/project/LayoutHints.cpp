#include "project/LayoutHints.h"

#include "base/StringFormat.h"
#include "images/CBmpObj.h"
#include "project/CLedDoc.h"
#include "project/FlashLayout.h"

namespace {

std::string Run(int64_t start, int64_t count) {
    if (count <= 1) return StringFormat("第 %lld 页", static_cast<long long>(start));
    return StringFormat("第 %lld–%lld 页，共 %lld 页", static_cast<long long>(start),
                        static_cast<long long>(start + count - 1), static_cast<long long>(count));
}

bool Holds(int64_t start, int64_t count, int64_t cell) {
    return cell >= start && cell < start + count;
}

bool Overlap(int64_t s1, int64_t n1, int64_t s2, int64_t n2) {
    return s1 < s2 + n2 && s2 < s1 + n1;
}

void Join(std::string& text, const std::string& part) {
    if (!text.empty()) text += "；";
    text += part;
}

}  // namespace

namespace LayoutHints {

std::string PageCell(const FlashLayout& layout, int cell) {
    if (cell < 0 || cell >= FlashLayout::kAreaPages) return "";
    std::string owners;
    for (const FlashLayout::PageRun& run : layout.PageRuns())
        if (Holds(run.start, run.count, cell))
            Join(owners, run.page->m_strTitle + "：" + Run(run.start, run.count));
    if (!owners.empty()) return owners;
    if (cell == FlashLayout::kReservedPage) return StringFormat("第 %d 页：保留", cell);
    return StringFormat("第 %d 页：空闲", cell);
}

std::string BitmapCell(const FlashLayout& layout, int cell) {
    if (cell < 0 || cell >= FlashLayout::kPagesPerBlock) return "";
    std::string owners;
    for (const FlashLayout::BitmapRun& run : layout.BitmapRuns(layout.ShownBlock()))
        if (Holds(run.start, run.count, cell))
            Join(owners, run.bitmap->m_strPath + "：" + Run(run.start, run.count));
    if (!owners.empty()) return StringFormat("第 %d 块 ", layout.ShownBlock()) + owners;
    return StringFormat("第 %d 块第 %d 页：空闲", layout.ShownBlock(), cell);
}

std::string PageCollisions(const FlashLayout& layout) {
    const auto runs = layout.PageRuns();
    std::string text;
    for (size_t i = 0; i < runs.size(); ++i) {
        const FlashLayout::PageRun& r = runs[i];
        if (!r.collision) continue;
        const std::string what = r.page->m_strTitle + "（" + Run(r.start, r.count) + "）";
        if (r.start < 0 || r.start + r.count >= FlashLayout::kAreaPages) {
            Join(text, what + "越界");
            continue;
        }
        for (size_t j = 0; j < i; ++j) {
            if (!Overlap(r.start, r.count, runs[j].start, runs[j].count)) continue;
            Join(text, what + "与 " + runs[j].page->m_strTitle + " 重叠");
            break;
        }
    }
    return text;
}

std::string BitmapCollisions(const FlashLayout& layout) {
    const auto runs = layout.BitmapRuns(-1);
    std::string text;
    for (size_t i = 0; i < runs.size(); ++i) {
        const FlashLayout::BitmapRun& r = runs[i];
        if (!r.collision) continue;
        const std::string what = r.bitmap->m_strPath +
                                 StringFormat("（第 %lld 块，", static_cast<long long>(r.block)) +
                                 Run(r.start, r.count) + "）";
        if (r.start < 0 || r.start + r.count > FlashLayout::kPagesPerBlock || r.block < 0 ||
            r.block >= FlashLayout::kBlocks) {
            Join(text, what + "越界");
            continue;
        }
        for (size_t j = 0; j < i; ++j) {
            if (runs[j].block != r.block ||
                !Overlap(r.start, r.count, runs[j].start, runs[j].count))
                continue;
            Join(text, what + "与 " + runs[j].bitmap->m_strPath + " 重叠");
            break;
        }
    }
    return text;
}

}  // namespace LayoutHints
