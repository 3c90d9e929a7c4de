// Every Chinese text the programs say to the person outside Qt's own translations has its
// English: the string literals of the sources are read as the compiler sees them (comments
// skipped, adjacent literals joined) and each must come out of Messages::Tr without Chinese.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "base/Messages.h"
#include "support/RunTool.h"

namespace {

namespace fs = std::filesystem;

// Texts never said to the person: they go to the module, into files or name things
// outside the program. Tr never sees them, so they have no entry.
const std::map<std::string, std::set<std::string>> kKept = {
    // The layout report is a GBK text file for the module's maker, written as it always was.
    {"lcd/project/LayoutReport.cpp",
     {"            局部位图信息", "BLOCK   PAGE    X    Y     W     H     名称",
      " 名称              所在块    调用页面"}},
    // Font family names as the fonts call themselves, looked up in fontconfig.
    {"fontgen/core/GlyphRenderer.cpp", {"宋体", "新宋体", "仿宋", "楷体", "黑体", "微软雅黑"}},
    // The language menu names each language in itself, so anyone finds their own.
    {"lcd/ui/MainWindow.cpp", {"语言 / Language", "跟随系统 / System", "中文"}},
    // The adapter library's own line, the same as the library it stands in for prints.
    {"canlib/src/CanLibrary.cpp", {"Error：device type not exist!\n"}},
};

const char* const kFolders[] = {"lcd/base",    "lcd/gfx",  "lcd/images", "lcd/items", "lcd/link",
                                "lcd/project", "lcd/edit", "lcd/ui",     "lcd/app",   "sim",
                                "canlib",      "tools",    "fontgen"};
// Glyphkiln's window (Qt translates it), the catalogue itself, the tests and the example
// maker (its Chinese is the examples' device names and module texts) are not read.
const std::set<std::string> kSkipped = {"fontgen/app/Glyphkiln", "fontgen/app/GlyphView",
                                        "fontgen/app/PreviewGrid", "lcd/base/MessageCatalogue",
                                        "tools/mkexamples/main"};

struct Literal {
    std::string where, text;
    bool qt = false;  // an argument of tr() or its kin
};

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// The literal whose opening quote is at `i`; `i` ends past it.
std::string ReadLiteral(const std::string& s, size_t& i, bool raw) {
    if (raw) {
        const size_t open = s.find('(', i);
        const std::string close = ")" + s.substr(i + 1, open - i - 1) + "\"";
        const size_t end = s.find(close, open);
        i = end + close.size();
        return s.substr(open + 1, end - open - 1);
    }
    static const std::string from = "ntr0abfv", to("\n\t\r\0\a\b\f\v", 8);
    std::string text;
    for (++i; s[i] != '"'; ++i) {
        if (s[i] != '\\') {
            text += s[i];
        } else if (s[++i] == 'x') {
            text += char(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            text += from.find(s[i]) == std::string::npos ? s[i] : to[from.find(s[i])];
        }
    }
    ++i;
    return text;
}

// The string literals of a C or C++ source, adjacent ones joined, comments skipped.
std::vector<Literal> Literals(const std::string& s, const std::string& file) {
    static const std::set<std::string> qtForms = {"tr", "translate", "QT_TR_NOOP",
                                                  "QT_TRANSLATE_NOOP"};
    std::vector<Literal> found;
    std::vector<bool> parens;  // per open parenthesis: whether a Qt form opened it
    std::string word;          // the identifier or number just before
    size_t wordEnd = 0, line = 1;
    bool joining = false;
    for (size_t i = 0; i < s.size();) {
        const size_t comment = s.compare(i, 2, "//") == 0   ? s.find('\n', i)
                               : s.compare(i, 2, "/*") == 0 ? s.find("*/", i) + 2
                                                            : i;
        if (comment != i || std::isspace(static_cast<unsigned char>(s[i]))) {
            const size_t end = comment != i ? std::min(comment, s.size()) : i + 1;
            line += size_t(std::count(s.begin() + long(i), s.begin() + long(end), '\n'));
            i = end;
            continue;
        }
        if (s[i] == '"') {
            const std::string where = file + ":" + std::to_string(line);
            const size_t start = i;
            const std::string text = ReadLiteral(s, i, wordEnd == i && word.ends_with('R'));
            line += size_t(std::count(s.begin() + long(start), s.begin() + long(i), '\n'));
            if (joining)
                found.back().text += text;
            else
                found.push_back({where, text, !parens.empty() && parens.back()});
            joining = true;
            continue;
        }
        joining = false;
        const size_t start = i;
        if (IsWordChar(s[i])) {
            // A number's digit separators are part of it.
            while (IsWordChar(s[i]) || (s[i] == '\'' && std::isdigit(s[start])))
                ++i;
            word = s.substr(start, i - start);
            wordEnd = i;
            continue;
        }
        if (s[i] == '\'') {
            for (++i; s[i] != '\''; ++i)
                i += s[i] == '\\';
        } else if (s[i] == '(') {
            parens.push_back(qtForms.count(word) > 0);
        } else if (s[i] == ')' && !parens.empty()) {
            parens.pop_back();
        }
        word.clear();
        ++i;
    }
    return found;
}

const std::regex kConversion(
    R"(%[-+ #0]*[0-9]*(?:\.[0-9]+)?(?:hh|h|ll|l|z|j|t)?[diouxXeEfgGcsp%])");

// A format's conversions; with `print`, the format as printed with sample values instead.
std::vector<std::string> Conversions(const std::string& format, std::string* print = nullptr) {
    std::vector<std::string> found;
    auto at = format.cbegin();
    for (auto it = std::sregex_iterator(format.begin(), format.end(), kConversion);
         it != std::sregex_iterator(); at = (*it++)[0].second) {
        const char kind = it->str().back();
        if (kind != '%') found.push_back(it->str());
        if (print)
            print->append(at, (*it)[0].first) += kind == '%'                  ? "%"
                                                 : kind == 's' || kind == 'c' ? "a.pg"
                                                                              : "12";
    }
    if (print) print->append(at, format.cend());
    return found;
}

class Catalogue : public testing::Test {
protected:
    void SetUp() override { Messages::Use(Language::English); }
    void TearDown() override { Messages::Use(Language::Chinese); }
};

TEST_F(Catalogue, EveryChineseLiteralComesOutInEnglish) {
    const fs::path root = LCD_SOURCE_ROOT;
    std::map<std::string, std::set<std::string>> kept;
    std::string missing;
    size_t count = 0;
    for (const char* folder : kFolders)
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const std::string file = fs::relative(entry.path(), root).generic_string();
            const std::string ext = entry.path().extension().string();
            if (file.find("/tests/") != std::string::npos ||
                kSkipped.count(fs::path(file).replace_extension().generic_string()) ||
                (ext != ".cpp" && ext != ".h" && ext != ".c"))
                continue;
            for (const Literal& l : Literals(Slurp(entry.path()), file)) {
                if (l.qt || !Messages::HasChinese(l.text)) continue;
                ++count;
                if (kKept.count(file) && kKept.at(file).count(l.text)) {
                    kept[file].insert(l.text);
                    continue;
                }
                std::string printed;
                Conversions(l.text, &printed);
                const std::string english = Messages::Tr(printed);
                if (Messages::HasChinese(english))
                    missing += "\n  " + l.where + ": \"" + l.text + "\" -> \"" + english + "\"";
            }
        }
    EXPECT_GT(count, 500u) << "the sources were not found under " << root;
    EXPECT_TRUE(missing.empty()) << "literals without English:" << missing;
    EXPECT_EQ(kept, kKept) << "a kept text is no longer in its file";
}

TEST_F(Catalogue, EntriesAreWholeEnglishWithTheSameConversions) {
    std::set<std::string> seen;
    for (const Messages::Entry& e : Messages::Catalogue()) {
        const std::string chinese = e.chinese, english = e.english;
        EXPECT_TRUE(seen.insert(chinese).second) << "twice: " << chinese;
        EXPECT_TRUE(Messages::HasChinese(chinese)) << chinese;
        EXPECT_FALSE(english.empty() || Messages::HasChinese(english))
            << chinese << " -> " << english;
        EXPECT_EQ(Conversions(chinese), Conversions(english)) << chinese << " -> " << english;
    }
}

}  // namespace
