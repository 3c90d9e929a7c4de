#pragma once
// "字库下载": a font file to send, as the standard font (download kind 1) or as a custom
// font of kind 0..9 (kind 5). Each radio button asks for the file; cancelling leaves no
// way chosen and no file. OK refuses an empty file ("请选择要下载的字库文件") and a kind
// outside 0..9 ("请填写0-9之间的数字"); the dialog then stays.

#include <QDialog>

#include "link/Download.h"
#include "ui/FileQuestion.h"

class Messenger;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QRadioButton;
class QToolButton;

class FontDownloadDialog : public QDialog {
    Q_OBJECT
public:
    FontDownloadDialog(Messenger& messenger, FileChooser chooser, QWidget* parent = nullptr);

    // After OK: kind StandardFont or CustomFont, the file and the font kind.
    const DownloadRequest& request() const { return m_request; }

    QRadioButton* standardButton() const { return m_standard; }
    QRadioButton* customButton() const { return m_custom; }
    QLineEdit* pathEdit() const { return m_path; }
    QLineEdit* kindEdit() const { return m_kind; }

public slots:
    void accept() override;

private:
    void choose(bool custom);
    void showKind(bool shown);

    Messenger& m_messenger;
    FileChooser m_chooser;
    DownloadRequest m_request;
    QLineEdit* m_path;
    QButtonGroup* m_group;
    QRadioButton* m_standard;
    QRadioButton* m_custom;
    QLabel* m_kindLabel;
    QLineEdit* m_kind;
    QToolButton* m_up;
    QToolButton* m_down;
};
