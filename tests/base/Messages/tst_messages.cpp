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
             Row{"nothing set", nullptr, nullptr, nullptr, nullptr, Language::English},
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
             Row{"a file error", "打开文件失败：x.bin（No such file or directory）",
                 "Cannot open the file: x.bin (No such file or directory)"},
             Row{"a format holding a message",
                 "文件格式错误（偏移 12）：数量 7 超出了文件的剩余长度",
                 "bad file format (offset 12): the count 7 is more than the rest of the file "
                 "holds"},
             Row{"a literal that holds the start of the next", "升级程序文件过大（最多 16 MB）",
                 "Firmware file too large (at most 16 MB)"},
             Row{"no Chinese stays", "/dev/ttyS0: 5", "/dev/ttyS0: 5"},
             Row{"an unknown text stays", "未知的文字", "未知的文字"},
             Row{"a format's %% is one percent sign", "比例：横向 50% 纵向 75%",
                 "scale: 50% across, 75% down"},
             Row{"a value keeps its %%", "页面 a%%b 有 1 个图元超出屏幕",
                 "page a%%b has 1 items off the screen"},
             Row{"a short word alone", "位图", "Bitmap"},
             Row{"a short word in a name stays", "页面 位图一 有 2 个图元超出屏幕",
                 "page 位图一 has 2 items off the screen"},
             Row{"the format with more fixed text first",
                 "x矩形：左上角(1,2),右下角(3,4),颜色代码 0F",
                 "x rectangle: top left (1,2), bottom right (3,4), colour code 0F"},
             Row{"a character alone", "开", "On"},
             Row{"a character in a message stays", "页面 开 有 2 个图元超出屏幕",
                 "page 开 has 2 items off the screen"},
         }) {
        EXPECT_EQ(Messages::Tr(r.text), r.english) << r.name;
    }
    // Formats are left alone in a text too long for std::regex's recursion.
    const std::string longName = "页面 " + std::string(100000, 'x') + " 有 3 个图元超出屏幕";
    EXPECT_EQ(Messages::Tr(longName), longName);
    Messages::Use(Language::Chinese);
    EXPECT_EQ(Messages::Tr("提示"), "提示");
}

}  // namespace
