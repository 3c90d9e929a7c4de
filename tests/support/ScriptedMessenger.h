#pragma once
// A messenger for tests: records every message and question, answers from a script. Hand
// it to the workspace, page or builder under test.

#include <deque>
#include <string>
#include <vector>

#include "base/Messenger.h"

class ScriptedMessenger : public Messenger {
public:
    void Tell(const std::string& text, const std::string& caption) override {
        told.push_back(text);
        captions.push_back(caption);
    }
    Answer Ask(const std::string& text, const std::string& caption, Buttons) override {
        asked.push_back(text);
        captions.push_back(caption);
        if (answers.empty()) return Answer::No;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }

    std::vector<std::string> told, asked, captions;
    std::deque<Answer> answers;
};
