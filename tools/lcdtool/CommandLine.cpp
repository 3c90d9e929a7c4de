#include "CommandLine.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

CommandLine::CommandLine(int argc, char** argv, int first, const std::vector<std::string>& flags) {
    for (int i = first; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool isOption = (arg.size() > 1 && arg[0] == '-' && arg != "-");
        if (!isOption) {
            m_positional.push_back(arg);
            continue;
        }
        if (std::find(flags.begin(), flags.end(), arg) != flags.end()) {
            m_options[arg] = "";
            continue;
        }
        if (i + 1 >= argc) {
            if (m_error.empty()) m_error = "选项 " + arg + " 缺少参数";
            continue;
        }
        m_options[arg] = argv[++i];
    }
}

std::string CommandLine::Value(const std::string& name, const std::string& fallback) const {
    const auto it = m_options.find(name);
    return it == m_options.end() ? fallback : it->second;
}

bool CommandLine::IntValue(const std::string& name, int fallback, int lo, int hi, int& out) const {
    const auto it = m_options.find(name);
    if (it == m_options.end()) {
        out = fallback;
        return true;
    }
    const std::string& text = it->second;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || errno != 0 || v < lo || v > hi) return false;
    out = static_cast<int>(v);
    return true;
}
