#pragma once
// The one place the module model meets the process's dot fonts: ASC16 and hzk16, found
// where the canvas finds them and read once.

#include <string>

struct ModuleConfig;

class ModuleFonts {
public:
    // Points the config at the built-in fonts. Returns "" when both are there, else the
    // line to tell the user (text is then not drawn).
    static std::string Use(ModuleConfig& config);
};
