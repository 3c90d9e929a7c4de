#pragma once
// The core's messages and questions as message boxes over the active window.

#include <QPointer>
#include <QWidget>

#include "base/Messenger.h"

class QtMessenger final : public Messenger {
public:
    // `fallback` parents the boxes while no window of the program is active.
    explicit QtMessenger(QWidget* fallback = nullptr) : m_fallback(fallback) {}
    void Tell(const std::string& text, const std::string& caption) override;
    Answer Ask(const std::string& text, const std::string& caption, Buttons buttons) override;

private:
    QWidget* Parent() const;
    QPointer<QWidget> m_fallback;
};
