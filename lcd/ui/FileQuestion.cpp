#include "ui/FileQuestion.h"

#include <QFileDialog>

QString AskFile(const FileChooser& chooser, QWidget* parent, const FileQuestion& q) {
    if (chooser) return chooser(q);
    QFileDialog dialog(parent, q.title, q.name, q.filter);
    dialog.setAcceptMode(q.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(q.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(q.suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}
