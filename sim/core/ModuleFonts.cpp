#include "core/ModuleFonts.h"

#include "core/ModuleConfig.h"
#include "items/DotFont.h"

std::string ModuleFonts::Use(ModuleConfig& config) {
    DotFont& ascii = DotFont::Ascii();
    DotFont& hanzi = DotFont::Hanzi();
    config.ascii = &ascii;
    config.hanzi = &hanzi;
    const bool a = ascii.EnsureLoaded(), h = hanzi.EnsureLoaded();
    if (a && h) return "";
    return std::string("找不到字库文件 ") + (a ? "" : "ASC16 ") + (h ? "" : "hzk16") +
           "，文字不会显示";
}
