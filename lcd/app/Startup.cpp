#include "app/Startup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>

#include "project/CLedDoc.h"
#include "ui/Commands.h"
#include "ui/MainWindow.h"
#include "ui/PageCanvas.h"
#include "ui/PageWindow.h"

namespace Startup {

std::vector<uint8_t> ReadLinkSettings(const std::string& settingsDir) {
    // The settings are a few dozen bytes; anything beyond a page is not a settings file.
    constexpr qint64 kMaxBytes = 4096;
    QFile file(QString::fromStdString(settingsDir + "/conf.dll"));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxBytes) return {};
    const QByteArray bytes = file.read(kMaxBytes);
    return {bytes.begin(), bytes.end()};
}

void OpenArguments(MainWindow& window, const QStringList& files) {
    for (const QString& file : files)
        window.openPath(file);
}

QStringList WriteScreenshots(MainWindow& window, const QString& dir) {
    QStringList written;
    QDir().mkpath(dir);
    auto shoot = [&](const QString& name) {
        QApplication::processEvents();
        const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
        if (window.grab().save(path)) written.append(path);
    };
    shoot(QStringLiteral("lcdscreen"));
    const QList<PageWindow*> pages = window.pageWindows();
    for (PageWindow* page : pages) {
        window.mdiArea()->setActiveSubWindow(page);
        const QString title = QString::fromStdString(page->page()->m_strTitle);
        shoot(QStringLiteral("page-") + QFileInfo(title).completeBaseName());
    }
    if (!pages.isEmpty()) {
        // The first page at 2x with an item selected: the marks stay one screen pixel fine.
        PageWindow* first = pages.constFirst();
        window.mdiArea()->setActiveSubWindow(first);
        first->canvas()->setZoom(2);
        const ItemList& items = first->page()->CurrentItems();
        if (PageController* c = first->canvas()->controller(); c && !items.empty()) {
            const CItemBase& item = *items[items.size() / 2];
            c->SelectAt(Point{(item.m_x1 + item.m_x2) / 2, (item.m_y1 + item.m_y2) / 2});
        }
        shoot(QStringLiteral("editing"));
        window.action(Cmd::InstructionTree)->trigger();
        shoot(QStringLiteral("instruction-tree"));
    }
    return written;
}

}  // namespace Startup
