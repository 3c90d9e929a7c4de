#pragma once
// The arguments of one lcdtool command: positional words and "--name value" options.

#include <map>
#include <string>
#include <vector>

class CommandLine {
public:
    // `flags` names the options that take no value (e.g. "--record").
    CommandLine(int argc, char** argv, int first, const std::vector<std::string>& flags = {});

    const std::vector<std::string>& Positional() const { return m_positional; }
    bool Has(const std::string& name) const { return m_options.count(name) != 0; }
    std::string Value(const std::string& name, const std::string& fallback = "") const;
    // An option's integer value; false when it is present but not a number in [lo, hi].
    bool IntValue(const std::string& name, int fallback, int lo, int hi, int& out) const;
    // The first problem met while parsing ("" when none).
    const std::string& Error() const { return m_error; }

private:
    std::vector<std::string> m_positional;
    std::map<std::string, std::string> m_options;
    std::string m_error;
};
