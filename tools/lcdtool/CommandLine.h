#pragma once
// lcdtool's command line: a table of commands, each with its positional words and its own
// options, parsed strictly with CLI11. An unknown, repeated or misplaced option, a missing
// or extra word is one line on stderr and exit status 1; numbers are decimal.
//
// Adding a command is adding a row to the table (CommandTable.cpp): its name (two words
// for a command of a group, e.g. "devices add"), its positional words, its options and
// the function that runs it.

#include <map>
#include <string>
#include <string_view>
#include <vector>

class CommandLine;

struct OptionSpec {
    const char* name;             // "-o", "--zoom"
    const char* value;            // what it takes ("N", "OUT.png"); nullptr for a flag
    const char* help;             // one line
    bool required = false;        // shown bare in the synopsis, else in brackets
    const char* needs = nullptr;  // an option it only goes with
};

struct CommandSpec {
    const char* name;
    std::vector<const char*> words;  // positional words, all required
    std::vector<OptionSpec> options;
    const char* help;
    int (*run)(const CommandLine& args);
};

class CommandLine {
public:
    CommandLine(const CommandSpec& spec, std::vector<std::string> words,
                std::map<std::string, std::string> options);

    // Parses `argv` against `table`, runs the command and returns the exit status.
    static int Run(int argc, char** argv, const std::vector<CommandSpec>& table);
    // "lcdtool render PAGE.pg -o OUT.png [--zoom N]"
    static std::string Synopsis(const CommandSpec& spec);

    const CommandSpec& Spec() const { return m_spec; }
    // The command's last word: "show-page" of "command show-page".
    std::string Word() const;
    const std::vector<std::string>& Positional() const { return m_words; }
    bool Has(const std::string& name) const { return m_options.count(name) != 0; }
    std::string Value(const std::string& name, const std::string& fallback = "") const;
    // An option's decimal value; false when it is present but not a number in [lo, hi].
    bool IntValue(const std::string& name, int fallback, int lo, int hi, int& out) const;

private:
    const CommandSpec& m_spec;
    std::vector<std::string> m_words;
    std::map<std::string, std::string> m_options;
};

// A decimal integer in [lo, hi] and nothing else ("010" is ten, "0x10" is refused).
bool ParseDecimal(std::string_view text, int lo, int hi, int& out);
