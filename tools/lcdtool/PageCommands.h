#pragma once
// lcdtool's page commands: info, encode, resave, render, export-page. Each returns the
// exit status (0 success, 1 bad input) and prints one clear line on stderr when it fails.

class CommandLine;

class PageCommands {
public:
    static int Info(const CommandLine& args);
    static int Encode(const CommandLine& args);
    static int Resave(const CommandLine& args);
    static int Render(const CommandLine& args);
    static int ExportPage(const CommandLine& args);
};
