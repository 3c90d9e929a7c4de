#pragma once
// lcdtool's messenger: every message the core reports is held by Output and printed when
// the command ends; a question is answered No (the safe answer) unless the command line
// said --yes.

#include "CommandLine.h"
#include "base/Messenger.h"

// Each command makes its own, from its command line.
class ToolMessenger final : public Messenger {
public:
    explicit ToolMessenger(bool yes = false) : m_yes(yes) {}
    explicit ToolMessenger(const CommandLine& args) : m_yes(args.Has("--yes")) {}
    void Tell(const std::string& text, const std::string& caption) override;
    Answer Ask(const std::string& text, const std::string& caption, Buttons buttons) override;

private:
    bool m_yes;
};
