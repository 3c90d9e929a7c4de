#pragma once
// How the core talks to the user: every message is reported where it is detected,
// through this seam. The editor shows message boxes, lcdtool prints to stderr and
// answers from its flags, tests record.

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

    // The process's messenger. Until one is installed, messages go to stderr and every
    // question is answered No.
    static Messenger& Current();
    // Installs `m` (not owned); nullptr restores the stderr default.
    static void Install(Messenger* m);
};
