#pragma once
// lcdtool's JSON commands: a page, project or device catalogue file as JSON (dump) and
// back (load), byte for byte; docs/page-json.md describes the JSON.

#include <string>

class CLedDoc;
class CommandLine;

class JsonCommands {
public:
    static int Dump(const CommandLine& args);
    static int Load(const CommandLine& args);
    // A page file, or a page's JSON when the name ends in ".json" (any case), into `doc`;
    // false with `error` (UTF-8, naming the file) when it is neither.
    static bool LoadPage(const std::string& path, CLedDoc& doc, std::string& error);
};
