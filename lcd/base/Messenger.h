#pragma once
// How the core talks to the user: every message is reported where it is detected,
// through this seam. The editor shows message boxes, lcdtool prints to stderr and
// answers from its flags, tests record. There is no process-wide messenger: each
// workspace (and each lcdtool command) has its own and hands it to whoever reports.

#include <string>

class Messenger {
public:
    enum class Buttons { Ok, YesNo, YesNoCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~Messenger() = default;
    // A message; "提示" is the usual caption.
    virtual void Tell(const std::string& text, const std::string& caption) = 0;
    // A question; only Yes (or Ok) lets the asking operation go on.
    virtual Answer Ask(const std::string& text, const std::string& caption, Buttons buttons) = 0;

    // For an object nobody gave a messenger (a page read by a tool): messages go to
    // stderr in the person's language (Messages::Tr) and every question is answered No.
    // It keeps no state, so any thread may use it.
    static Messenger& Stderr();
};
