#pragma once
// "帮助": the manual in a window of the editor's own (a text browser that follows the
// manual's links and shows its pictures), so that no desktop program is needed.

#include <QWidget>

class QTextBrowser;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // Shows the manual at `path` (an HTML file; its pictures beside it).
    explicit HelpWindow(const QString& path, QWidget* parent = nullptr);
    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};
