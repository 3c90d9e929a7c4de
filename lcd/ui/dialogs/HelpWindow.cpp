#include "ui/dialogs/HelpWindow.h"

#include <QFileInfo>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(const QString& path, QWidget* parent)
    : QWidget(parent, Qt::Window), m_browser(new QTextBrowser) {
    setWindowTitle(tr("lcdscreen 使用手册"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_browser->setObjectName(QStringLiteral("manual"));
    // Links to the web open in the browser of the desktop; the manual's own in place.
    m_browser->setOpenExternalLinks(true);
    m_browser->setSearchPaths({QFileInfo(path).absolutePath()});
    m_browser->setSource(QUrl::fromLocalFile(path));
    auto* bar = new QToolBar;
    QAction* back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("后退"));
    QAction* forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("前进"));
    QAction* home = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("目录"));
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(home, &QAction::triggered, m_browser, &QTextBrowser::home);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);
    layout->addWidget(m_browser);
    resize(760, 640);
}
