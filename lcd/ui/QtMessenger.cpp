#include "ui/QtMessenger.h"

#include <QApplication>
#include <QMessageBox>

#include "base/Messages.h"

QWidget* QtMessenger::Parent() const {
    if (QWidget* w = QApplication::activeModalWidget()) return w;
    if (QWidget* w = QApplication::activeWindow()) return w;
    return m_fallback;
}

void QtMessenger::Tell(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Information, QString::fromStdString(Messages::Tr(caption)),
                    QString::fromStdString(Messages::Tr(text)), QMessageBox::Ok, Parent());
    box.exec();
}

Messenger::Answer QtMessenger::Ask(const std::string& text, const std::string& caption,
                                   Buttons buttons) {
    QMessageBox::StandardButtons shown = QMessageBox::Ok;
    if (buttons == Buttons::YesNo) shown = QMessageBox::Yes | QMessageBox::No;
    if (buttons == Buttons::YesNoCancel)
        shown = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, QString::fromStdString(Messages::Tr(caption)),
                    QString::fromStdString(Messages::Tr(text)), shown, Parent());
    // Yes goes on (overwrites, deletes, closes); the default never does: No, or Cancel
    // where No would drop a change.
    if (buttons != Buttons::Ok)
        box.setDefaultButton(buttons == Buttons::YesNoCancel ? QMessageBox::Cancel
                                                             : QMessageBox::No);
    switch (box.exec()) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            // Escape or the window's close button: the safe answer of the box.
            return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
    }
}
