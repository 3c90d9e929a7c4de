#pragma once
// The characters to generate, from the source the user picked; shared by the dialog and
// the command line.

#include <string>
#include <vector>

#include "GbkText.h"

enum class SourceKind { Text, Range, Gb2312Level1, Gb2312All, Project };

struct CharSource {
    SourceKind kind = SourceKind::Text;
    std::string text;     // UTF-8, for Text
    std::string range;    // "A-B" in hexadecimal, for Range
    std::string project;  // a .zkp file, for Project
};

// False with `error` (one line) when the source cannot give its characters. `inputs`
// (when given) receives the files read (a project and its pages), which no output may
// replace.
bool CollectCodes(const CharSource& source, std::vector<GbkCode>& codes, std::string& error,
                  std::vector<std::string>* inputs = nullptr);
