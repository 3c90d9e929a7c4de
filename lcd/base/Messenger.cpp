#include "base/Messenger.h"

#include <cstdio>

#include "base/Messages.h"

namespace {

class StderrMessenger final : public Messenger {
public:
    void Tell(const std::string& text, const std::string& caption) override {
        Print(text, caption);
    }
    Answer Ask(const std::string& text, const std::string& caption, Buttons) override {
        Print(text, caption);
        return Answer::No;
    }

private:
    static void Print(const std::string& text, const std::string& caption) {
        std::fprintf(stderr, "%s: %s\n", Messages::Tr(caption).c_str(), Messages::Tr(text).c_str());
    }
};

}  // namespace

Messenger& Messenger::Stderr() {
    static StderrMessenger messenger;
    return messenger;
}
