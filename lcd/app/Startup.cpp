#include "app/Startup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>

#include "edit/PageController.h"
#include "project/CLedDoc.h"
#include "ui/Commands.h"
#include "ui/MainWindow.h"
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
    // One picture per item panel: the first item of each kind, selected.
    QList<PropertyPanel> panels;
    for (PageWindow* page : pages) {
        CLedDoc* doc = page->page();
        ItemList& items = doc->CurrentItems();
        for (size_t i = 0; i < items.size(); ++i) {
            const PropertyPanel panel = PageController::PanelForType(items[i]->m_nType);
            if (panel == PropertyPanel::None || panels.contains(panel)) continue;
            panels.append(panel);
            window.mdiArea()->setActiveSubWindow(page);
            auto select = [&](bool on) {
                items[i]->m_bSelected = on;
                doc->m_nSel = on ? static_cast<int32_t>(i) : -1;
                doc->m_nSelType = on ? items[i]->m_nType : -1;
                doc->Notify(false);
            };
            select(true);
            shoot(QStringLiteral("panel-%1").arg(items[i]->m_nType));
            select(false);
        }
    }
    if (!pages.isEmpty()) {
        window.mdiArea()->setActiveSubWindow(pages.constFirst());
        window.action(Cmd::InstructionTree)->trigger();
        shoot(QStringLiteral("instruction-tree"));
    }
    return written;
}

}  // namespace Startup
