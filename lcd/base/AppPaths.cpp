#include "base/AppPaths.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

// Set by the build: the configured install location of the data files and the build
// tree's generated font directory (for running uninstalled).
#ifndef LCD_INSTALL_DATA_DIR
#define LCD_INSTALL_DATA_DIR "/usr/local/share/lcdscreen"
#endif
#ifndef LCD_BUILD_FONT_DIR
#define LCD_BUILD_FONT_DIR ""
#endif

namespace {

bool IsSet(const char* v) {
    return v && *v;
}

std::string Join(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

bool IsWritableDir(const std::string& dir) {
    struct stat st {};
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && access(dir.c_str(), W_OK) == 0;
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// "/a/b/bin" -> "/a/b"; "/bin" -> ""; "bin" -> "".
std::string Parent(const std::string& dir) {
    const size_t slash = dir.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return "";
    return dir.substr(0, slash);
}

}  // namespace

std::string AppPaths::ProgramDir() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    std::string path(buf, static_cast<size_t>(n));
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string AppPaths::SettingsDirFor(const char* lcdscreenHome, const std::string& programDir,
                                     const char* xdgConfigHome, const char* home) {
    if (IsSet(lcdscreenHome)) return lcdscreenHome;
    // A portable install keeps its settings beside the program; a program installed into
    // the system does not, even for root, who may write there.
    const auto under = [&programDir](const std::string& dir) {
        return programDir == dir || programDir.starts_with(dir + "/");
    };
    const bool system = under("/usr") || under("/bin") || under("/sbin");
    if (!system && IsWritableDir(programDir)) return programDir;
    if (IsSet(xdgConfigHome)) return Join(xdgConfigHome, "lcdscreen");
    // No home at all (a service account): fall back to the working directory.
    return Join(Join(IsSet(home) ? home : ".", ".config"), "lcdscreen");
}

std::string AppPaths::SettingsDir() {
    return SettingsDirFor(std::getenv("LCDSCREEN_HOME"), ProgramDir(),
                          std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

bool AppPaths::MakeSettingsDir(std::string& error) {
    return MakeDirs(SettingsDir(), error);
}

std::string AppPaths::StateDirFor(const char* lcdscreenHome, const char* xdgStateHome,
                                  const char* home) {
    if (IsSet(lcdscreenHome)) return Join(lcdscreenHome, "state");
    if (IsSet(xdgStateHome)) return Join(xdgStateHome, "lcdscreen");
    return Join(Join(Join(IsSet(home) ? home : ".", ".local"), "state"), "lcdscreen");
}

std::string AppPaths::StateDir() {
    return StateDirFor(std::getenv("LCDSCREEN_HOME"), std::getenv("XDG_STATE_HOME"),
                       std::getenv("HOME"));
}

bool AppPaths::MakeDirs(const std::string& dir, std::string& error) {
    std::string partial;
    size_t pos = 0;
    while (pos <= dir.size()) {
        const size_t slash = dir.find('/', pos);
        const size_t end = slash == std::string::npos ? dir.size() : slash;
        partial = dir.substr(0, end);
        pos = end + 1;
        if (partial.empty()) continue;
        if (mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) {
            error = "无法创建目录 " + partial + ": " + std::strerror(errno);
            return false;
        }
    }
    struct stat st {};
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        error = "不是目录: " + dir;
        return false;
    }
    return true;
}

std::vector<std::string> AppPaths::FontDirsFor(const std::string& settingsDir,
                                               const std::string& programDir) {
    std::vector<std::string> dirs;
    auto add = [&dirs](const std::string& d) {
        if (d.empty()) return;
        for (const std::string& have : dirs) {
            if (have == d) return;
        }
        dirs.push_back(d);
    };
    add(settingsDir);
    add(programDir);
    const std::string parent = Parent(programDir);
    if (!parent.empty()) add(parent + "/share/lcdscreen");
    add(LCD_INSTALL_DATA_DIR);
    add(LCD_BUILD_FONT_DIR);
    return dirs;
}

std::string AppPaths::FindIn(const std::vector<std::string>& dirs, const std::string& name) {
    for (const std::string& dir : dirs) {
        const std::string path = Join(dir, name);
        if (IsRegularFile(path)) return path;
    }
    return "";
}

std::string AppPaths::DataDir() {
    // A relocated install (the whole prefix copied elsewhere) keeps bin/ and share/ side by
    // side; prefer that over the configured prefix.
    const std::string beside = Parent(ProgramDir());
    if (!beside.empty()) {
        const std::string dir = beside + "/share/lcdscreen";
        struct stat st {};
        if (stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return dir;
    }
    return LCD_INSTALL_DATA_DIR;
}

std::string AppPaths::FindFont(const std::string& name) {
    return FindIn(FontDirsFor(SettingsDir(), ProgramDir()), name);
}
