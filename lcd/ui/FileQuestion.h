#pragma once
// What a file dialog is asked, so that windows and dialogs can take the question's answer
// from a chooser (tests answer without a window).

#include <QString>
#include <functional>

struct FileQuestion {
    QString title;
    QString filter;
    QString suffix;  // added to a typed name without one
    QString name;    // proposed name (save dialogs)
    bool save = false;
};
// The chosen path, or empty when cancelled.
using FileChooser = std::function<QString(const FileQuestion&)>;

class QWidget;
// The chooser's answer, or a file dialog over `parent` when there is no chooser.
QString AskFile(const FileChooser& chooser, QWidget* parent, const FileQuestion& question);
