#pragma once
// The language the programs speak to the person. Messages are written in Chinese in the
// code (the source texts); a program that speaks English sets Messages::Use once at start,
// and every text shown to the person (a messenger's message and caption, a command-line
// tool's line) passes through Messages::Tr on its way out. What goes to the module or
// into files (GBK texts, page names) never does.
//
// The English catalogue (MessageCatalogue.cpp) pairs each Chinese source text, a whole
// string literal of the code, with its English. A literal that is a printf format stands
// for every text it formats: its %s matches any text, its %d (%x, %lld, %.1f...) any
// number, and the English format receives the same values in the same order. A message
// built by joining literals and values is translated piece by piece, longest first (a
// format by its fixed text), so that every literal within it is found wherever it stands.
// A literal of one ideograph is translated only as a whole text, one of two only where no
// other ideograph touches it: the person's own names keep their characters.

#include <string>
#include <string_view>
#include <vector>

enum class Language { Chinese, English };

namespace Messages {

// The language of a locale: the first of LANGUAGE (its first entry), LC_ALL, LC_MESSAGES
// and LANG that is set and not empty; Chinese for "zh…", English for anything else
// ("C" and "POSIX" included), English too when none is set (the C locale).
Language Choose(const char* language, const char* lcAll, const char* lcMessages, const char* lang);
// Choose over the process environment.
Language FromEnvironment();

// Process-wide; set once at start, before any thread speaks.
void Use(Language language);
Language Current();

// `text` in the current language: unchanged in Chinese; in English every catalogued
// literal within it replaced by its English (formats only in texts up to 4 KB). Text
// without Chinese stays as it is.
std::string Tr(std::string_view text);

// One catalogue entry: a Chinese source text and its English.
struct Entry {
    const char* chinese;
    const char* english;
};
// The English catalogue.
const std::vector<Entry>& Catalogue();
// Whether `text` holds a Chinese character (what a catalogue must cover).
bool HasChinese(std::string_view text);

}  // namespace Messages
