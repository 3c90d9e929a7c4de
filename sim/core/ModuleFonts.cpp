#include "core/ModuleFonts.h"

#include "core/ModuleConfig.h"
#include "items/DotFont.h"

std::string ModuleFonts::Use(ModuleConfig& config) {
    config.fonts = DotFonts::Shared();
    const bool a = config.fonts && config.fonts->Ascii(), h = config.fonts && config.fonts->Hanzi();
    if (a && h) return "";
    return std::string("找不到字库文件 ") + (a ? "" : "ASC16 ") + (h ? "" : "hzk16") +
           "，文字不会显示";
}
