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
        bool speaksChinese;
    };
    for (const Row& r : {
             Row{LCDTOOL_PATH, "info none.pg", true},
             Row{LCDSIM_PATH, "run none.bin --size 3x --colours 8 -o s.png", true},
             Row{GLYPHKILN_PATH, "view none.bin --size 16x -o g.png", true},
             Row{KVXSIM_PATH, "--udp-port 70000", false},  // it has only ever spoken English
         })
        for (const std::string lang : {"en_US.UTF-8", "zh_CN.UTF-8"}) {
            const std::string env =
                "cd " + dir.string() + " && env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=" + lang;
            std::string err;
            EXPECT_NE(Run(env + " " + r.program, r.args, &err), 0) << r.program << " " << r.args;
            const std::string line = err.substr(0, err.find('\n'));
            EXPECT_FALSE(line.empty()) << r.program << " " << lang;
            EXPECT_EQ(Messages::HasChinese(line), r.speaksChinese && lang[0] == 'z')
                << lang << ": " << line;
        }
}

}  // namespace
