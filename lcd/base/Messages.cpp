#include "base/Messages.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <regex>

namespace {

std::atomic<Language> g_language{Language::Chinese};

// The longest text whose formats are translated (see Tr).
constexpr size_t kMaxFormatted = 4096;

bool IsSet(const char* v) {
    return v && *v;
}

// A compiled catalogue entry: plain text found with find(), or a format as a pattern.
struct Rule {
    std::string chinese;
    std::string english;
    bool format = false;
    // A word of one or two ideographs and nothing else: one is the whole text or nothing,
    // two are found only where no ideograph touches them, so that the person's own texts
    // ("开机画面", a page's character "开") keep their characters.
    size_t word = 0;
    std::regex pattern;
    std::vector<std::string> conversions;  // the format's, in order
    std::vector<std::string> pieces;  // its fixed texts: a text without one of them can't match
};

// The code point of the UTF-8 sequence starting at `at`; 0 when there is none.
unsigned CodePoint(std::string_view text, size_t at) {
    if (at >= text.size()) return 0;
    const auto b0 = static_cast<unsigned char>(text[at]);
    if (b0 < 0x80) return b0;
    const size_t extra = b0 >= 0xF0 ? 3 : b0 >= 0xE0 ? 2 : b0 >= 0xC0 ? 1 : 0;
    if (extra == 0 || extra >= text.size() - at) return 0;
    unsigned cp = b0 & (0x3Fu >> extra);
    for (size_t i = 1; i <= extra; ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3Fu);
    return cp;
}

bool IsIdeograph(unsigned cp) {
    return (cp >= 0x3400 && cp <= 0x4DBF) || (cp >= 0x4E00 && cp <= 0x9FFF) ||
           (cp >= 0xF900 && cp <= 0xFAFF);
}

// How many ideographs `text` is when it is one or two and nothing else; 0 otherwise.
size_t ShortWord(std::string_view text) {
    if (text.size() != 3 && text.size() != 6) return 0;
    for (size_t at = 0; at < text.size(); at += 3)
        if (!IsIdeograph(CodePoint(text, at))) return 0;
    return text.size() / 3;
}

// Whether an ideograph stands right before `at` or at `end`.
bool TouchesIdeograph(std::string_view text, size_t at, size_t end) {
    size_t before = at;
    while (before > 0 && (static_cast<unsigned char>(text[--before]) & 0xC0u) == 0x80u) {
    }
    return (before < at && IsIdeograph(CodePoint(text, before))) ||
           IsIdeograph(CodePoint(text, end));
}

// A format's literal text: "%%" prints one percent sign.
std::string Unpercent(std::string text) {
    for (size_t p = text.find("%%"); p != std::string::npos; p = text.find("%%", p + 1))
        text.erase(p, 1);
    return text;
}

// The conversions of a printf format, e.g. "%s", "%d", "%lld", "%.1f", "%02X"; "%%" is none.
std::vector<std::string> Conversions(const std::string& format,
                                     std::vector<std::pair<size_t, size_t>>* where = nullptr) {
    static const std::regex conversion(
        R"(%[-+ #0]*[0-9]*(?:\.[0-9]+)?(?:hh|h|ll|l|z|j|t)?[diouxXeEfgGcsp%])");
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(format.begin(), format.end(), conversion);
         it != std::sregex_iterator(); ++it) {
        if (it->str() == "%%") continue;
        found.push_back(it->str());
        if (where) where->emplace_back(size_t(it->position()), size_t(it->length()));
    }
    return found;
}

std::string Escape(const std::string& text) {
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    return std::regex_replace(text, special, R"(\$&)");
}

Rule Compile(const Messages::Entry& e) {
    Rule rule{e.chinese, e.english, false, 0, {}, {}, {}};
    std::vector<std::pair<size_t, size_t>> where;
    rule.conversions = Conversions(rule.chinese, &where);
    if (rule.conversions.empty()) {
        rule.word = ShortWord(rule.chinese);
        return rule;
    }
    rule.format = true;
    std::string pattern;
    size_t at = 0;
    const auto fixed = [&](std::string text) {
        text = Unpercent(std::move(text));
        if (!text.empty()) rule.pieces.push_back(text);
        return Escape(text);
    };
    for (size_t i = 0; i < where.size(); ++i) {
        pattern += fixed(rule.chinese.substr(at, where[i].first - at));
        const char kind = rule.conversions[i].back();
        const bool last =
            i + 1 == where.size() && where[i].first + where[i].second == rule.chinese.size();
        // A text runs as far as the rest allows (to the end of its line when nothing
        // follows); a number is what a number looks like.
        pattern += kind != 's' && kind != 'c' ? "([-+]?[0-9A-Fa-fx.]+)"
                   : last                     ? "([^\\n]*)"
                                              : "([\\s\\S]*?)";
        at = where[i].first + where[i].second;
    }
    pattern += fixed(rule.chinese.substr(at));
    rule.pattern = std::regex(pattern);
    return rule;
}

const std::vector<Rule>& Rules() {
    static const std::vector<Rule> rules = [] {
        std::vector<Rule> compiled;
        for (const Messages::Entry& e : Messages::Catalogue())
            if (Messages::HasChinese(e.chinese)) compiled.push_back(Compile(e));
        // Longest first: a literal that holds another is replaced before the one it holds.
        // A format counts its fixed text only, so that "%s矩形：左上角(%d,%d)" comes before
        // "%s：左上角(%lld,%lld)", whose conversions are merely spelt longer.
        const auto fixed = [](const Rule& r) {
            size_t n = r.format ? 0 : r.chinese.size();
            for (const std::string& piece : r.pieces)
                n += piece.size();
            return n;
        };
        std::stable_sort(compiled.begin(), compiled.end(),
                         [&](const Rule& a, const Rule& b) { return fixed(a) > fixed(b); });
        return compiled;
    }();
    return rules;
}

// The English format with the captured values put in place of its conversions, in order.
std::string Fill(const Rule& rule, const std::smatch& m) {
    std::vector<std::pair<size_t, size_t>> where;
    Conversions(rule.english, &where);
    std::string out;
    size_t at = 0;
    // "%%" in the English is a percent sign; the values stay as they were.
    for (size_t i = 0; i < where.size(); ++i) {
        out += Unpercent(rule.english.substr(at, where[i].first - at));
        out += i + 1 < m.size() ? m[i + 1].str() : "";
        at = where[i].first + where[i].second;
    }
    out += Unpercent(rule.english.substr(at));
    return out;
}

}  // namespace

namespace Messages {

Language Choose(const char* language, const char* lcAll, const char* lcMessages, const char* lang) {
    std::string value;
    if (IsSet(language)) {
        value = language;
        value = value.substr(0, value.find(':'));
    }
    for (const char* v : {lcAll, lcMessages, lang})
        if (value.empty() && IsSet(v)) value = v;
    // No locale at all is the C locale: English, as for any locale other than zh*.
    if (value.empty()) return Language::English;
    const bool zh = value.size() >= 2 &&
                    std::tolower(static_cast<unsigned char>(value[0])) == 'z' &&
                    std::tolower(static_cast<unsigned char>(value[1])) == 'h';
    return zh ? Language::Chinese : Language::English;
}

Language FromEnvironment() {
    return Choose(std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                  std::getenv("LANG"));
}

void Use(Language language) {
    g_language.store(language);
}

Language Current() {
    return g_language.load();
}

bool HasChinese(std::string_view text) {
    // Three-byte UTF-8 sequences of the CJK blocks (U+2E80..U+9FFF, punctuation included)
    // and of the full-width forms (U+FF00..U+FFEF).
    for (size_t i = 0; i + 2 < text.size(); ++i) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        if ((b0 & 0xF0u) != 0xE0u) continue;
        const unsigned cp = ((b0 & 0x0Fu) << 12) |
                            ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6) |
                            (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
        if ((cp >= 0x2E80 && cp <= 0x9FFF) || (cp >= 0xFF00 && cp <= 0xFFEF)) return true;
    }
    return false;
}

std::string Tr(std::string_view text) {
    constexpr size_t npos = std::string::npos;
    std::string out(text);
    if (Current() == Language::Chinese || !HasChinese(out)) return out;
    bool changed = false;
    for (const Rule& rule : Rules()) {
        if (changed && !HasChinese(out)) break;
        changed = false;
        if (rule.word == 1) {
            if (out == rule.chinese) {
                out = rule.english;
                changed = true;
            }
            continue;
        }
        if (!rule.format) {
            for (size_t p = out.find(rule.chinese); p != npos;) {
                if (rule.word && TouchesIdeograph(out, p, p + rule.chinese.size())) {
                    p = out.find(rule.chinese, p + rule.chinese.size());
                    continue;
                }
                out.replace(p, rule.chinese.size(), rule.english);
                p = out.find(rule.chinese, p + rule.english.size());
                changed = true;
            }
            continue;
        }
        // std::regex recurses once per character it takes: a long text (a file's line, a
        // command-line word) would overflow the stack, so it gets the plain texts only.
        // Most formats are not in the text: their fixed pieces tell without a regex.
        if (out.size() > kMaxFormatted ||
            !std::all_of(rule.pieces.begin(), rule.pieces.end(),
                         [&](const std::string& piece) { return out.find(piece) != npos; }))
            continue;
        std::string replaced;
        auto begin = out.cbegin();
        std::smatch m;
        bool any = false;
        while (std::regex_search(begin, out.cend(), m, rule.pattern)) {
            any = true;
            replaced.append(begin, m[0].first);
            replaced += Fill(rule, m);
            begin = m[0].second;
            if (m[0].length() == 0) break;
        }
        if (any) {
            replaced.append(begin, out.cend());
            out = std::move(replaced);
            changed = true;
        }
    }
    return out;
}

}  // namespace Messages
