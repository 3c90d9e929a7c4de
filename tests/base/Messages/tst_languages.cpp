// Each command-line program says what is wrong in the locale's language.

#include <gtest/gtest.h>

#include "base/Messages.h"
#include "support/Programs.h"

namespace {

class ProgramLanguage : public ProgramTest {};

TEST_F(ProgramLanguage, ErrorLineFollowsTheLocale) {
    struct Row {
        const char* program;
        const char* args;
        const char* lang;
        bool chinese;
    };
    for (const Row& r : {
             Row{LCDTOOL_PATH, "info none.pg", "en_US.UTF-8", false},
             Row{LCDTOOL_PATH, "info none.pg", "zh_CN.UTF-8", true},
             Row{LCDSIM_PATH, "run none.bin --size 3x --colours 8 -o s.png", "en_US.UTF-8", false},
             Row{LCDSIM_PATH, "run none.bin --size 3x --colours 8 -o s.png", "zh_CN.UTF-8", true},
             Row{GLYPHKILN_PATH, "view none.bin --size 16x -o g.png", "en_US.UTF-8", false},
             Row{GLYPHKILN_PATH, "view none.bin --size 16x -o g.png", "zh_CN.UTF-8", true},
             // The adapter emulator has only ever spoken English.
             Row{KVXSIM_PATH, "--udp-port 70000", "en_US.UTF-8", false},
             Row{KVXSIM_PATH, "--udp-port 70000", "zh_CN.UTF-8", false},
         }) {
        const std::string env =
            "cd " + dir.string() + " && env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=" + r.lang;
        std::string err;
        EXPECT_NE(Run(env + " " + r.program, r.args, &err), 0) << r.program << " " << r.args;
        const std::string line = err.substr(0, err.find('\n'));
        EXPECT_FALSE(line.empty()) << r.program << " " << r.lang;
        EXPECT_EQ(Messages::HasChinese(line), r.chinese) << r.lang << ": " << line;
    }
}

}  // namespace
