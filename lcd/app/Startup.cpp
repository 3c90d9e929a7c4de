#include "app/Startup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>

#include "project/CLedDoc.h"
#include "ui/Commands.h"
#include "ui/MainWindow.h"
#include "ui/PageWindow.h"

namespace Startup {

LinkSettings LoadLinkSettings(const std::string& settingsDir, std::string& warning) {
    LinkSettings settings;
    std::string error;
    warning.clear();
    if (settings.Load(error, settingsDir) == LinkSettings::LoadResult::Damaged)
        warning = "通讯设置无法读取，使用默认设置：" + error;
    return settings;
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
        window.mdiArea()->setActiveSubWindow(pages.constFirst());
        window.action(Cmd::InstructionTree)->trigger();
        shoot(QStringLiteral("instruction-tree"));
    }
    return written;
}

}  // namespace Startup
