#include "base/Messenger.h"

#include <cstdio>

namespace {

class StderrMessenger final : public Messenger {
public:
    void Tell(const std::string& text, const std::string& caption) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
    Answer Ask(const std::string& text, const std::string& caption, Buttons) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return Answer::No;
    }
};

}  // namespace

Messenger& Messenger::Stderr() {
    static StderrMessenger messenger;
    return messenger;
}
