#include "edit/TreeSelection.h"

#include "items/CItemFont.h"
#include "project/CLedDoc.h"

namespace {

bool Select(CLedDoc& page, const TreeClick& click) {
    ItemList& items = page.CurrentItems();
    for (auto& item : items) {
        item->m_bSelected = 0;
        item->m_bTextFlag = 0;
        if (auto* text = dynamic_cast<CItemFont*>(item.get())) text->ClearHighlights();
    }
    // Nothing stays selected, so nothing may be deleted by a later Delete either.
    page.m_nSel = -1;
    page.m_nSelType = -1;
    if (click.depth < 1 || click.depth > 2) return false;
    // On a main page the first line under the root is the clear-screen command.
    const int index = click.line - (page.m_nKind == CLedDoc::PageKindMain ? 1 : 0);
    if (index < 0 || static_cast<size_t>(index) >= items.size()) return false;
    CItemBase* item = items[static_cast<size_t>(index)].get();
    item->m_bSelected = 1;
    page.m_nSel = index;
    page.m_nSelType = item->m_nType;
    auto* text = dynamic_cast<CItemFont*>(item);
    if (click.depth == 2 && text) {
        text->m_bSelected = 0;
        text->m_bTextFlag = 1;
        if (click.subLine >= 0 && static_cast<size_t>(click.subLine) < text->m_arrChars.size())
            text->m_arrChars[static_cast<size_t>(click.subLine)].m_bHighlight = 1;
    }
    return true;
}

}  // namespace

bool SelectFromTree(CLedDoc& page, const TreeClick& click) {
    const bool selected = Select(page, click);
    // The marks changed even where the selected index did not.
    page.Notify(true);
    return selected;
}
