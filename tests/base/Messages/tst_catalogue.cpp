// Every Chinese text the programs say to the person outside Qt's own translations has its
// English: the string literals of the sources are read as the compiler sees them (comments
// skipped, adjacent literals joined) and each must come out of Messages::Tr without Chinese.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "base/Messages.h"
#include "support/RunTool.h"

namespace {

namespace fs = std::filesystem;

// Texts that are never said to the person: they go to the module, into files or are the
// names of things outside the program. Tr must never see them, so they have no entry.
struct Kept {
    const char* file;
    const char* text;
};
const Kept kKept[] = {
    // The layout report is a GBK text file for the module's maker, written as it always was.
    {"lcd/project/LayoutReport.cpp", "            局部位图信息"},
    {"lcd/project/LayoutReport.cpp", "BLOCK   PAGE    X    Y     W     H     名称"},
    {"lcd/project/LayoutReport.cpp", " 名称              所在块    调用页面"},
    // Font family names as the fonts call themselves, looked up in fontconfig.
    {"fontgen/core/GlyphRenderer.cpp", "宋体"},
    {"fontgen/core/GlyphRenderer.cpp", "新宋体"},
    {"fontgen/core/GlyphRenderer.cpp", "仿宋"},
    {"fontgen/core/GlyphRenderer.cpp", "楷体"},
    {"fontgen/core/GlyphRenderer.cpp", "黑体"},
    {"fontgen/core/GlyphRenderer.cpp", "微软雅黑"},
    // The adapter library's own line, the same as the library it stands in for prints.
    {"canlib/src/CanLibrary.cpp", "Error：device type not exist!\n"},
    // The example pages: device names and the texts the pages show on the module.
    {"tools/mkexamples/main.cpp", "7寸屏800x480"},
    {"tools/mkexamples/main.cpp", "3.5寸屏320x240"},
    {"tools/mkexamples/main.cpp", "5.7寸屏320x234"},
    {"tools/mkexamples/main.cpp", "Hello 液晶屏 1x1"},
    {"tools/mkexamples/main.cpp", "宽 2x1 wide"},
    {"tools/mkexamples/main.cpp", "高 1x2 tall"},
    {"tools/mkexamples/main.cpp", "大字 2x2"},
    {"tools/mkexamples/main.cpp", "三倍 3x1"},
    {"tools/mkexamples/main.cpp", "第一行"},
    {"tools/mkexamples/main.cpp", "second line 第二行"},
    {"tools/mkexamples/main.cpp", "A long line that wraps inside its frame 自动换行的一段文字。"},
    {"tools/mkexamples/main.cpp", "温度 Temp: 25℃"},
    {"tools/mkexamples/main.cpp", "报警"},
    {"tools/mkexamples/main.cpp", "菜单\r1 设置\r2 退出"},
    {"tools/mkexamples/main.cpp", "数值 Value:"},
    {"tools/mkexamples/main.cpp", "背景位图 background"},
    {"tools/mkexamples/main.cpp", "液晶屏演示"},
    {"tools/mkexamples/main.cpp", "菜单\r1 设置 Setup\r2 状态 Status\r3 退出 Exit"},
    {"tools/mkexamples/main.cpp", "背景位图 Background"},
    {"tools/mkexamples/main.cpp", "报警 Alarm"},
};

// Glyphkiln's window: Qt translates it.
const char* const kQtDialog[] = {"fontgen/app/Glyphkiln", "fontgen/app/GlyphView",
                                 "fontgen/app/PreviewGrid"};

const char* const kFolders[] = {"lcd/base",    "lcd/gfx",  "lcd/images", "lcd/items", "lcd/link",
                                "lcd/project", "lcd/edit", "lcd/ui",     "lcd/app",   "sim",
                                "canlib",      "tools",    "fontgen"};

struct Literal {
    std::string file;
    int line = 0;
    std::string text;
    bool qt = false;  // an argument of tr() or its kin: Qt translates it
};

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// The text of the literal whose opening quote is at `i` (after it on return); raw when
// `delimiter` is set.
std::string ReadLiteral(const std::string& s, size_t& i, int& line, const std::string* delimiter) {
    if (delimiter) {
        const size_t open = s.find('(', i), end = s.find(")" + *delimiter + "\"", open);
        std::string text = s.substr(open + 1, end - open - 1);
        line += int(std::count(text.begin(), text.end(), '\n'));
        i = end + delimiter->size() + 2;
        return text;
    }
    std::string text;
    for (++i; i < s.size() && s[i] != '"'; ++i) {
        if (s[i] != '\\') {
            text += s[i];
            continue;
        }
        const char e = s[++i];
        static const std::string from = "ntr0abfv", to("\n\t\r\0\a\b\f\v", 8);
        if (e == 'x' || (e >= '0' && e <= '7' && s[i + 1] >= '0' && s[i + 1] <= '7')) {
            const bool hex = e == 'x';
            size_t n = 0;
            text += char(std::stoi(s.substr(i + hex, hex ? 2 : 3), &n, hex ? 16 : 8));
            i += n - !hex;
        } else if (const size_t k = from.find(e); k != std::string::npos) {
            text += to[k];
        } else {
            text += e;
        }
    }
    ++i;
    return text;
}

// The string literals of a C or C++ source, adjacent ones joined, comments skipped.
std::vector<Literal> Literals(const std::string& s, const std::string& file) {
    static const std::set<std::string> qtForms = {"tr",
                                                  "qsTr",
                                                  "translate",
                                                  "QT_TR_NOOP",
                                                  "QT_TR_N_NOOP",
                                                  "QT_TRANSLATE_NOOP",
                                                  "QT_TRANSLATE_N_NOOP"};
    static const std::set<std::string> rawPrefixes = {"R", "u8R", "uR", "UR", "LR"};
    std::vector<Literal> found;
    std::vector<bool> parens;  // per open parenthesis: whether it is a Qt form's
    std::string word;          // the identifier or number just read
    size_t wordEnd = 0;
    bool joining = false;
    int line = 1;
    for (size_t i = 0; i < s.size();) {
        if (s.compare(i, 2, "//") == 0) {
            i = s.find('\n', i);
            continue;
        }
        if (s.compare(i, 2, "/*") == 0) {
            const size_t end = s.find("*/", i) + 2;
            line += int(std::count(s.begin() + long(i), s.begin() + long(end), '\n'));
            i = end;
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(s[i]))) {
            line += s[i++] == '\n';
            continue;
        }
        if (s[i] == '"') {
            const bool raw = wordEnd == i && rawPrefixes.count(word);
            const std::string delimiter = raw ? s.substr(i + 1, s.find('(', i) - i - 1) : "";
            const int at = line;
            const std::string text = ReadLiteral(s, i, line, raw ? &delimiter : nullptr);
            if (joining)
                found.back().text += text;
            else
                found.push_back({file, at, text, !parens.empty() && parens.back()});
            joining = true;
            word.clear();
            continue;
        }
        joining = false;
        if (IsWordChar(s[i])) {
            const size_t start = i;
            while (i < s.size() && (IsWordChar(s[i]) || (s[i] == '\'' && std::isdigit(s[start]))))
                ++i;
            word = s.substr(start, i - start);
            wordEnd = i;
        } else if (s[i] == '\'') {
            for (++i; s[i] != '\''; ++i)
                i += s[i] == '\\';
            ++i;
        } else {
            if (s[i] == '(') parens.push_back(qtForms.count(word) > 0);
            if (s[i] == ')' && !parens.empty()) parens.pop_back();
            word.clear();
            ++i;
        }
    }
    return found;
}

// Every literal with Chinese of the folders, outside Qt's forms.
std::vector<Literal> ChineseLiterals() {
    std::vector<Literal> all;
    const fs::path root = LCD_SOURCE_ROOT;
    for (const char* folder : kFolders)
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const fs::path& p = entry.path();
            const std::string file = fs::relative(p, root).generic_string();
            const std::string stem = fs::path(file).replace_extension().generic_string();
            if (!entry.is_regular_file() || file.find("/tests/") != std::string::npos ||
                file == "lcd/base/MessageCatalogue.cpp" ||
                std::find(std::begin(kQtDialog), std::end(kQtDialog), stem) !=
                    std::end(kQtDialog) ||
                (p.extension() != ".cpp" && p.extension() != ".h" && p.extension() != ".c"))
                continue;
            for (Literal& l : Literals(Slurp(p), file))
                if (!l.qt && Messages::HasChinese(l.text)) all.push_back(std::move(l));
        }
    return all;
}

bool IsKept(const Literal& l) {
    return std::any_of(std::begin(kKept), std::end(kKept),
                       [&](const Kept& k) { return l.file == k.file && l.text == k.text; });
}

const std::regex kConversion(
    R"(%[-+ #0]*[0-9]*(?:\.[0-9]+)?(?:hh|h|ll|l|z|j|t)?[diouxXeEfgGcsp%])");

std::vector<std::string> ConversionsOf(const std::string& format) {
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(format.begin(), format.end(), kConversion);
         it != std::sregex_iterator(); ++it)
        if (it->str() != "%%") found.push_back(it->str());
    return found;
}

// A format as a program prints it: numbers for its numbers, a name for its texts.
std::string Printed(const std::string& format) {
    std::string out;
    auto at = format.cbegin();
    for (auto it = std::sregex_iterator(format.begin(), format.end(), kConversion);
         it != std::sregex_iterator(); ++it) {
        out.append(at, (*it)[0].first);
        const char kind = it->str().back();
        out += kind == '%' ? "%" : kind == 's' || kind == 'c' ? "a.pg" : "12";
        at = (*it)[0].second;
    }
    return out.append(at, format.cend());
}

class Catalogue : public testing::Test {
protected:
    void SetUp() override { Messages::Use(Language::English); }
    void TearDown() override { Messages::Use(Language::Chinese); }
};

TEST_F(Catalogue, EveryChineseLiteralComesOutInEnglish) {
    const std::vector<Literal> literals = ChineseLiterals();
    ASSERT_GT(literals.size(), 500u) << "the sources were not found under " << LCD_SOURCE_ROOT;
    std::string missing;
    for (const Literal& l : literals) {
        if (IsKept(l)) continue;
        const std::string english = Messages::Tr(Printed(l.text));
        if (Messages::HasChinese(english))
            missing += "\n  " + l.file + ":" + std::to_string(l.line) + ": \"" + l.text +
                       "\" -> \"" + english + "\"";
    }
    EXPECT_TRUE(missing.empty()) << "literals without English:" << missing;
}

TEST_F(Catalogue, KeptTextsAreStillInTheirFiles) {
    const std::vector<Literal> literals = ChineseLiterals();
    for (const Kept& k : kKept)
        EXPECT_TRUE(
            std::any_of(literals.begin(), literals.end(),
                        [&](const Literal& l) { return l.file == k.file && l.text == k.text; }))
            << k.file << ": \"" << k.text << "\"";
}

TEST_F(Catalogue, EntriesAreWholeEnglishWithTheSameConversions) {
    std::set<std::string> seen;
    for (const Messages::Entry& e : Messages::Catalogue()) {
        const std::string chinese = e.chinese, english = e.english;
        EXPECT_TRUE(Messages::HasChinese(chinese)) << chinese;
        EXPECT_TRUE(seen.insert(chinese).second) << "twice: " << chinese;
        EXPECT_FALSE(english.empty()) << chinese;
        EXPECT_FALSE(Messages::HasChinese(english)) << chinese << " -> " << english;
        EXPECT_EQ(ConversionsOf(chinese), ConversionsOf(english)) << chinese << " -> " << english;
    }
}

}  // namespace
