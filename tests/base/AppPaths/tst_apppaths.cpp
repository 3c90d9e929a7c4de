// Where settings and fonts are looked for.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "base/AppPaths.h"

namespace {

// A fresh directory under the test temp directory.
std::string MakeTempDir(const std::string& name) {
    std::string dir = ::testing::TempDir() + "apppaths_" + name + "_" + std::to_string(getpid());
    std::string cmd = "rm -rf '" + dir + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(mkdir(dir.c_str(), 0755), 0);
    return dir;
}

void Touch(const std::string& path) {
    std::ofstream(path) << "x";
}

// Sets an environment variable for the life of the object.
class EnvGuard {
public:
    EnvGuard(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old, m_had = true;
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~EnvGuard() {
        if (m_had) {
            setenv(m_name.c_str(), m_old.c_str(), 1);
        } else {
            unsetenv(m_name.c_str());
        }
    }

private:
    std::string m_name, m_old;
    bool m_had = false;
};

struct SettingsRow {
    const char* name;
    const char* home;      // $LCDSCREEN_HOME
    bool programWritable;  // the program directory exists and is writable
    const char* xdg;       // $XDG_CONFIG_HOME
    const char* userHome;  // $HOME
    const char* want;      // "<prog>" stands for the program directory
};

void PrintTo(const SettingsRow& row, std::ostream* os) {
    *os << row.name;
}

class SettingsDirRule : public ::testing::TestWithParam<SettingsRow> {};

TEST_P(SettingsDirRule, PicksTheFirstThatApplies) {
    const SettingsRow& row = GetParam();
    const std::string prog =
        row.programWritable ? MakeTempDir("prog") : ::testing::TempDir() + "no/such/program/dir";
    const std::string got = AppPaths::SettingsDirFor(row.home, prog, row.xdg, row.userHome);
    EXPECT_EQ(got, std::string(row.want) == "<prog>" ? prog : row.want);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SettingsDirRule,
    ::testing::Values(
        SettingsRow{"HomeVariableWins", "/srv/lcd", true, "/x", "/home/u", "/srv/lcd"},
        SettingsRow{"EmptyHomeVariableIgnored", "", true, "/x", "/home/u", "<prog>"},
        SettingsRow{"WritableProgramDir", nullptr, true, "/x", "/home/u", "<prog>"},
        SettingsRow{"XdgWhenProgramDirUnusable", nullptr, false, "/x/", "/home/u", "/x/lcdscreen"},
        SettingsRow{"DotConfigWithoutXdg", nullptr, false, nullptr, "/home/u",
                    "/home/u/.config/lcdscreen"},
        SettingsRow{"DotConfigWithEmptyXdg", nullptr, false, "", "/home/u",
                    "/home/u/.config/lcdscreen"},
        SettingsRow{"NoHomeAtAll", nullptr, false, nullptr, nullptr, "./.config/lcdscreen"}),
    [](const auto& info) { return std::string(info.param.name); });

// An installed program keeps its settings in the user's folder even where it could write
// beside itself (root and /usr/bin).
TEST(AppPaths, SystemProgramDirIsNeverTheSettingsDir) {
    for (const char* dir : {"/usr/bin", "/usr/local/bin", "/bin"})
        EXPECT_EQ(AppPaths::SettingsDirFor(nullptr, dir, "/x", "/home/u"), "/x/lcdscreen") << dir;
}

TEST(AppPaths, ProgramDirHoldsTheRunningProgram) {
    const std::string dir = AppPaths::ProgramDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir[0], '/');
    struct stat st {};
    EXPECT_EQ(stat((dir + "/test_base").c_str(), &st), 0) << dir;
}

TEST(AppPaths, SettingsDirFollowsTheEnvironment) {
    EnvGuard home("LCDSCREEN_HOME", "/tmp/lcd-settings-here");
    EXPECT_EQ(AppPaths::SettingsDir(), "/tmp/lcd-settings-here");
}

TEST(AppPaths, FontDirsInLookupOrderWithoutRepeats) {
    const auto dirs = AppPaths::FontDirsFor("/s", "/opt/lcd/bin");
    ASSERT_GE(dirs.size(), 3u);
    EXPECT_EQ(dirs[0], "/s");
    EXPECT_EQ(dirs[1], "/opt/lcd/bin");
    EXPECT_EQ(dirs[2], "/opt/lcd/share/lcdscreen");
    // The portable install: settings and program directory are one.
    const auto same = AppPaths::FontDirsFor("/opt/lcd/bin", "/opt/lcd/bin");
    EXPECT_EQ(same[0], "/opt/lcd/bin");
    EXPECT_NE(same[1], "/opt/lcd/bin");
    for (size_t i = 0; i < same.size(); ++i) {
        for (size_t j = i + 1; j < same.size(); ++j)
            EXPECT_NE(same[i], same[j]);
    }
}

TEST(AppPaths, FindInTakesTheFirstDirectoryWithTheFile) {
    const std::string a = MakeTempDir("a"), b = MakeTempDir("b"), c = MakeTempDir("c");
    Touch(b + "/hzk16");
    Touch(c + "/hzk16");
    mkdir((a + "/ASC16").c_str(), 0755);  // a directory of that name is no font
    Touch(c + "/ASC16");
    EXPECT_EQ(AppPaths::FindIn({a, b, c}, "hzk16"), b + "/hzk16");
    EXPECT_EQ(AppPaths::FindIn({a, b, c}, "ASC16"), c + "/ASC16");
    EXPECT_EQ(AppPaths::FindIn({a, b}, "ASC16"), "");
    EXPECT_EQ(AppPaths::FindIn({}, "hzk16"), "");
}

TEST(AppPaths, FindFontLooksInTheSettingsDirFirst) {
    const std::string dir = MakeTempDir("fonts");
    EnvGuard home("LCDSCREEN_HOME", dir.c_str());
    EXPECT_NE(AppPaths::FindFont("ASC16"), dir + "/ASC16");
    Touch(dir + "/ASC16");
    EXPECT_EQ(AppPaths::FindFont("ASC16"), dir + "/ASC16");
    EXPECT_EQ(AppPaths::FindFont("no-such-font-file"), "");
}

TEST(AppPaths, MakeSettingsDirCreatesParents) {
    const std::string base = MakeTempDir("make");
    const std::string want = base + "/one/two/lcdscreen";
    EnvGuard home("LCDSCREEN_HOME", want.c_str());
    std::string error;
    ASSERT_TRUE(AppPaths::MakeSettingsDir(error)) << error;
    struct stat st {};
    ASSERT_EQ(stat(want.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_TRUE(AppPaths::MakeSettingsDir(error)) << "an existing directory is fine";
}

TEST(AppPaths, MakeSettingsDirFailsOverAFile) {
    const std::string base = MakeTempDir("blocked");
    Touch(base + "/file");
    const std::string want = base + "/file/lcdscreen";
    EnvGuard home("LCDSCREEN_HOME", want.c_str());
    std::string error;
    EXPECT_FALSE(AppPaths::MakeSettingsDir(error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
