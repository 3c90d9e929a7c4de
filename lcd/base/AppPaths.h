#pragma once
// Where the program finds its settings and its data files.
//
// Settings directory (conf.dll, device.dll): $LCDSCREEN_HOME when set; else the
// program's own directory when it is writable and not under /usr, /bin or /sbin (a portable
// install; an installed program never writes beside itself, not even as root); else
// $XDG_CONFIG_HOME/lcdscreen ($HOME/.config/lcdscreen when XDG_CONFIG_HOME is unset).
//
// State directory (what the program remembers between runs, e.g. what each module last
// received): $LCDSCREEN_HOME/state when LCDSCREEN_HOME is set, so a test or a portable
// setup keeps to its own folder; else $XDG_STATE_HOME/lcdscreen ($HOME/.local/state/
// lcdscreen when XDG_STATE_HOME is unset).
//
// Font files (ASC16, hzk16): the settings directory, then beside the program, then the
// installed data directory (share/lcdscreen next to the program's bin directory, then the
// configured install prefix), then, for a build that was never installed, the build
// tree's own font directory.

#include <string>
#include <vector>

class AppPaths {
public:
    // The directory of the running executable (from /proc/self/exe), without a trailing
    // slash; "." when it cannot be found.
    static std::string ProgramDir();
    static std::string SettingsDir();
    static std::string StateDir();
    // The installed data directory (<prefix>/share/lcdscreen): the manual, the icons.
    static std::string DataDir();
    // Creates the settings directory (and its parents) when missing; false with `error`
    // set (UTF-8) when it cannot.
    static bool MakeSettingsDir(std::string& error);
    // The full path of the first existing file `name` in the font directories; "" when
    // none.
    static std::string FindFont(const std::string& name);

    // The rule of SettingsDir with every input given (null for an unset variable), so
    // that it can be checked without touching the process environment.
    static std::string SettingsDirFor(const char* lcdscreenHome, const std::string& programDir,
                                      const char* xdgConfigHome, const char* home);
    // The rule of StateDir with every input given (null for an unset variable).
    static std::string StateDirFor(const char* lcdscreenHome, const char* xdgStateHome,
                                   const char* home);
    // Creates `dir` and its parents when missing; false with `error` set (UTF-8).
    static bool MakeDirs(const std::string& dir, std::string& error);
    // The directories searched for a font file, in order, without duplicates, for a given
    // settings and program directory.
    static std::vector<std::string> FontDirsFor(const std::string& settingsDir,
                                                const std::string& programDir);
    // The first directory of `dirs` holding a regular file `name`; "" when none.
    static std::string FindIn(const std::vector<std::string>& dirs, const std::string& name);
};
