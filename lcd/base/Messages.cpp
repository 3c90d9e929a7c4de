#include "base/Messages.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <regex>

namespace {

std::atomic<Language> g_language{Language::Chinese};

bool IsSet(const char* v) {
    return v && *v;
}

// A compiled catalogue entry: plain text found with find(), or a format as a pattern.
struct Rule {
    std::string chinese;
    std::string english;
    bool format = false;
    std::regex pattern;
    std::vector<std::string> specs;  // the format's conversions, in order
};

// The conversions of a printf format, e.g. "%s", "%d", "%lld", "%.1f", "%02X"; "%%" is none.
std::vector<std::string> Conversions(const std::string& format,
                                     std::vector<std::pair<size_t, size_t>>* where = nullptr) {
    static const std::regex spec(
        R"(%[-+ #0]*[0-9]*(?:\.[0-9]+)?(?:hh|h|ll|l|z|j|t)?[diouxXeEfgGcsp%])");
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(format.begin(), format.end(), spec);
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
    Rule rule{e.chinese, e.english, false, {}, {}};
    std::vector<std::pair<size_t, size_t>> where;
    rule.specs = Conversions(rule.chinese, &where);
    if (rule.specs.empty()) return rule;
    rule.format = true;
    std::string pattern;
    size_t at = 0;
    for (size_t i = 0; i < where.size(); ++i) {
        pattern += Escape(rule.chinese.substr(at, where[i].first - at));
        const char kind = rule.specs[i].back();
        const bool last =
            i + 1 == where.size() && where[i].first + where[i].second == rule.chinese.size();
        // A text runs as far as the rest allows (to the end of its line when nothing
        // follows); a number is what a number looks like.
        pattern += kind != 's' && kind != 'c' ? "([-+]?[0-9A-Fa-fx.]+)"
                   : last                     ? "([^\\n]*)"
                                              : "([\\s\\S]*?)";
        at = where[i].first + where[i].second;
    }
    pattern += Escape(rule.chinese.substr(at));
    rule.pattern = std::regex(pattern);
    return rule;
}

const std::vector<Rule>& Rules() {
    static const std::vector<Rule> rules = [] {
        std::vector<Rule> compiled;
        for (const Messages::Entry& e : Messages::Catalogue())
            if (Messages::HasChinese(e.chinese)) compiled.push_back(Compile(e));
        // Longest first: a literal that holds another is replaced before the one it holds.
        std::stable_sort(compiled.begin(), compiled.end(), [](const Rule& a, const Rule& b) {
            return a.chinese.size() > b.chinese.size();
        });
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
    for (size_t i = 0; i < where.size(); ++i) {
        out += rule.english.substr(at, where[i].first - at);
        out += i + 1 < m.size() ? m[i + 1].str() : "";
        at = where[i].first + where[i].second;
    }
    out += rule.english.substr(at);
    // "%%" in the English is a percent sign.
    for (size_t p = out.find("%%"); p != std::string::npos; p = out.find("%%", p + 1))
        out.erase(p, 1);
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
    if (value.empty()) return Language::Chinese;
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
    std::string out(text);
    if (Current() == Language::Chinese || !HasChinese(out)) return out;
    for (const Rule& rule : Rules()) {
        if (!HasChinese(out)) break;
        if (!rule.format) {
            for (size_t p = out.find(rule.chinese); p != std::string::npos;
                 p = out.find(rule.chinese, p + rule.english.size()))
                out.replace(p, rule.chinese.size(), rule.english);
            continue;
        }
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
        }
    }
    return out;
}

}  // namespace Messages
