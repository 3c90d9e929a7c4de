#include "app/Startup.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QTabWidget>
#include <QTimer>

#include "project/CLedDoc.h"
#include "ui/Commands.h"
#include "ui/MainWindow.h"
#include "ui/PageWindow.h"
#include "ui/ProjectCommands.h"

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
        window.mdiArea()->setActiveSubWindow(pages.constFirst());
        window.action(Cmd::InstructionTree)->trigger();
        shoot(QStringLiteral("instruction-tree"));
    }
    // The project's dialogs: each tab of each, taken as soon as it is up, then closed.
    auto shootDialog = [&](int command, const QStringList& names) {
        window.projectCommands().setDialogHook([&](QDialog& dialog) {
            QTimer::singleShot(0, &dialog, [&] {
                auto* tabs = dialog.findChild<QTabWidget*>();
                for (int i = 0; i < names.size(); ++i) {
                    if (tabs) tabs->setCurrentIndex(i);
                    QApplication::processEvents();
                    const QString path = QDir(dir).filePath(names[i] + QStringLiteral(".png"));
                    if (dialog.grab().save(path)) written.append(path);
                }
                dialog.accept();
            });
        });
        window.action(command)->trigger();
        window.projectCommands().setDialogHook({});
    };
    if (window.workspace().GetProject().open)
        shootDialog(Cmd::ManageProject,
                    {QStringLiteral("project-management"), QStringLiteral("project-bitmaps")});
    shootDialog(Cmd::EditDevices, {QStringLiteral("device-edit")});
    return written;
}

}  // namespace Startup
