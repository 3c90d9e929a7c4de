#pragma once
// The characters a project's pages use: the one place where the generator reads the
// editor's files (through lcdcore's project loading).

#include <string>
#include <vector>

#include "GbkText.h"

class ProjectChars {
public:
    // Every character of every text item on every page of the project file `zkp`, in
    // GBK order without duplicates; line breaks are not characters the module draws. False
    // with `error` (one line) when the project or one of its pages cannot be read, since
    // a font missing that page's characters would look complete and not be.
    // `files` (when given) receives the files read: the project file and every page's,
    // which a generated font may not replace.
    static bool Read(const std::string& zkp, std::vector<GbkCode>& codes, std::string& error,
                     std::vector<std::string>* files = nullptr);
};
