// The English of every Chinese text the programs show the person, one entry per string
// literal of the code (see Messages.h). Formats keep their conversions in the same order.
// Kept sorted by area, then as the texts appear in the code.

#include "base/Messages.h"

namespace Messages {

const std::vector<Entry>& Catalogue() {
    static const std::vector<Entry> entries = {
        // Captions and words used everywhere.
        {"提示", "Note"},
        {"警告：", "warning: "},
        {"超时", "Timeout"},
        // lcdtool's project commands.
        {"页面 %s 有 %d 个图元超出屏幕", "page %s has %d items off the screen"},
        // Files.
        {"打开文件失败", "Cannot open the file"},
    };
    return entries;
}

}  // namespace Messages
