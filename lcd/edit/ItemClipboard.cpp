#include "edit/ItemClipboard.h"

#include "base/StringFormat.h"

namespace ItemClipboard {

CByteArray Copy(const CLedDoc& page) {
    CLedDoc copy(page.GetScreenParams());
    for (const auto& item : page.CurrentItems()) {
        if (!item->m_bSelected) continue;
        if (std::unique_ptr<CItemBase> clone = item->Clone()) {
            clone->m_bSelected = clone->m_bDragging = clone->m_bTextFlag = 0;
            copy.CurrentItems().push_back(std::move(clone));
        }
    }
    CByteArray bytes;
    std::string error;
    if (copy.CurrentItems().empty() || !copy.Save(bytes, error)) bytes.clear();
    return bytes;
}

bool Read(std::span<const uint8_t> bytes, int colours, ItemList& items, std::string& error) {
    CLedDoc page;
    if (!page.Load(bytes, error)) {
        error = "剪贴板中的内容不是页面图元：" + error;
        return false;
    }
    if (page.m_nColours != colours) {
        error = StringFormat("图元来自 %d 色的页面，不能粘贴到 %d 色的页面：颜色代码会改变含义",
                             page.m_nColours, colours);
        return false;
    }
    items = std::move(page.CurrentItems());
    return true;
}

}  // namespace ItemClipboard
