#pragma once
// lcdtool's messenger: every message the core reports is held by Output and printed when
// the command ends; a question is answered No (the safe answer) unless the command line
// said --yes.

#include "base/Messenger.h"

class ToolMessenger final : public Messenger {
public:
    explicit ToolMessenger(bool yes = false) : m_yes(yes) {}
    void Tell(const std::string& text, const std::string& caption) override;
    Answer Ask(const std::string& text, const std::string& caption, Buttons buttons) override;

private:
    bool m_yes;
};
