#include "ToolMessenger.h"

#include "Output.h"

void ToolMessenger::Tell(const std::string& text, const std::string&) {
    Output::Note(text);
}

Messenger::Answer ToolMessenger::Ask(const std::string& text, const std::string&, Buttons buttons) {
    if (m_yes) return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    Output::Note(text + "（回答：否；--yes 回答是）");
    return Answer::No;
}
