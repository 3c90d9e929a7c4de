// The language a locale asks for, and how a message finds its English: whole literals,
// formats with their values, messages joined from several literals.

#include <gtest/gtest.h>

#include "base/Messages.h"

namespace {

TEST(Messages, LanguageOfTheLocale) {
    struct Row {
        const char* name;
        const char *language, *lcAll, *lcMessages, *lang;
        Language want;
    };
    for (const Row& r : {
             Row{"nothing set", nullptr, nullptr, nullptr, nullptr, Language::Chinese},
             Row{"LANG zh_CN", nullptr, nullptr, nullptr, "zh_CN.UTF-8", Language::Chinese},
             Row{"LANG en_GB", nullptr, nullptr, nullptr, "en_GB.UTF-8", Language::English},
             Row{"C", nullptr, nullptr, nullptr, "C", Language::English},
             Row{"LC_ALL beats LANG", nullptr, "de_DE.UTF-8", nullptr, "zh_CN.UTF-8",
                 Language::English},
             Row{"LC_MESSAGES beats LANG", nullptr, nullptr, "zh_TW", "en_US", Language::Chinese},
             Row{"LANGUAGE first entry", "zh_CN:en", "en_US", nullptr, nullptr, Language::Chinese},
             Row{"empty LANGUAGE is skipped", "", nullptr, nullptr, "fr_FR", Language::English},
         }) {
        EXPECT_EQ(Messages::Choose(r.language, r.lcAll, r.lcMessages, r.lang), r.want) << r.name;
    }
}

TEST(Messages, EnglishOfLiteralsFormatsAndJoinedMessages) {
    struct Row {
        const char* name;
        const char* text;
        const char* english;
    };
    Messages::Use(Language::English);
    for (const Row& r : {
             Row{"a literal", "提示", "Note"},
             Row{"a format with its values", "页面 a.pg 有 3 个图元超出屏幕",
                 "page a.pg has 3 items off the screen"},
             Row{"joined pieces", "警告：页面 x 有 12 个图元超出屏幕",
                 "warning: page x has 12 items off the screen"},
             Row{"no Chinese stays", "/dev/ttyS0: 5", "/dev/ttyS0: 5"},
             Row{"an unknown text stays", "未知的文字", "未知的文字"},
         }) {
        EXPECT_EQ(Messages::Tr(r.text), r.english) << r.name;
    }
    Messages::Use(Language::Chinese);
    EXPECT_EQ(Messages::Tr("提示"), "提示");
}

}  // namespace
