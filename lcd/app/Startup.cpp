#include "app/Startup.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTimer>

#include <QCheckBox>
#include <QComboBox>

#include "QtLanguage.h"
#include "base/Messenger.h"
#include "edit/PageController.h"
#include "project/CLedDoc.h"
#include "ui/Commands.h"
#include "ui/EditorSettings.h"
#include "ui/MainWindow.h"
#include "ui/ModuleLink.h"
#include "ui/PageCanvas.h"
#include "ui/PageWindow.h"
#include "ui/ProjectCommands.h"
#include "ui/VirtualModule.h"
#include "ui/VirtualModuleDock.h"
#include "ui/dialogs/BitmapProcessingDialog.h"
#include "ui/dialogs/CommSettingsDialog.h"
#include "ui/dialogs/DownloadProgressDialog.h"
#include "ui/dialogs/FontDownloadDialog.h"
#include "ui/dialogs/ParallelBaseDialog.h"
#include "ui/widgets/GradientProgressBar.h"

namespace Startup {

Language ChooseLanguage(const EditorSettings& settings) {
    const QString chosen = settings.language();
    if (chosen == QStringLiteral("zh")) return Language::Chinese;
    if (chosen == QStringLiteral("en")) return Language::English;
    return Messages::FromEnvironment();
}

bool InstallTranslations(QCoreApplication& app, Language language) {
    return QtLanguage::Install(app, language, "lcdscreen");
}

void OpenArguments(MainWindow& window, const QStringList& files) {
    for (const QString& file : files)
        window.openPath(file);
}

QStringList WriteScreenshots(MainWindow& window, const QString& dir) {
    QStringList written;
    QDir().mkpath(dir);
    auto shoot = [&](const QString& name) {
        // Twice: what the first round posts (a new screen, a layout) settles in the second.
        QApplication::processEvents();
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
        window.action(Cmd::InstructionTree)->trigger();
        // The grid at 2x, the module's view, then everything back as it was.
        const bool grid = window.settings().gridShown();
        if (!grid) window.action(Cmd::Grid)->trigger();
        shoot(QStringLiteral("grid"));
        if (!grid) window.action(Cmd::Grid)->trigger();
        window.action(Cmd::ModuleView)->trigger();
        shoot(QStringLiteral("module-view"));
        window.action(Cmd::ModuleView)->trigger();
    }
    // Each menu as it drops down from the menu bar.
    for (QAction* entry : window.menuBar()->actions()) {
        QMenu* menu = entry->menu();
        if (!menu) continue;
        menu->popup(window.mapToGlobal(window.menuBar()->actionGeometry(entry).bottomLeft()));
        QApplication::processEvents();
        const QString name =
            QStringLiteral("menu-%1").arg(window.menuBar()->actions().indexOf(entry));
        if (menu->grab().save(QDir(dir).filePath(name + QStringLiteral(".png"))))
            written.append(QDir(dir).filePath(name + QStringLiteral(".png")));
        menu->hide();
    }
    // The manual in its window.
    window.action(Cmd::Help)->trigger();
    if (QWidget* help = window.helpWindow()) {
        QApplication::processEvents();
        const QString path = QDir(dir).filePath(QStringLiteral("help.png"));
        if (help->grab().save(path)) written.append(path);
        help->close();
    }
    // The link's dialogs, drawn without being run.
    auto shootDialog = [&](QWidget& dialog, const QString& name) {
        dialog.adjustSize();
        const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
        if (dialog.grab().save(path)) written.append(path);
    };
    Messenger& quiet = Messenger::Stderr();
    LinkSettings settings = window.moduleLink().settings();
    const auto noPorts = [](LinkSettings&) { return PortList{}; };
    CommSettingsDialog serial(settings, quiet, noPorts);
    shootDialog(serial, QStringLiteral("comm-settings"));
    ParallelBaseDialog base(0x378, quiet);
    shootDialog(base, QStringLiteral("parallel-base"));
    FontDownloadDialog font(quiet, {});
    shootDialog(font, QStringLiteral("font-download"));
    BitmapProcessingDialog bitmap(quiet, {});
    bitmap.colourList()->setCurrentIndex(BitmapProcessingDialog::kColours64);
    bitmap.controlCheck()->setChecked(true);
    shootDialog(bitmap, QStringLiteral("bitmap-processing"));
    DownloadProgressDialog progress(nullptr, {}, quiet);
    progress.bar()->setValue(50);
    shootDialog(progress, QStringLiteral("download-progress"));
    // The virtual module with the first page shown on it.
    if (!pages.isEmpty()) {
        window.mdiArea()->setActiveSubWindow(pages.constFirst());
        CLedDoc* page = pages.constFirst()->page();
        VirtualModule& module = window.moduleLink().dock()->module();
        const ScreenParams screen = page->GetScreenParams();
        module.configure(screen.logWidth, screen.logHeight, screen.colours, settings.boardType);
        CByteArray bytes;
        page->EncodeDirect(bytes, window.workspace().Settings());
        const std::atomic<bool> never{false};
        if (auto link = module.openLink()) link->SendCommand(bytes, never);
        window.action(Cmd::VirtualModule)->trigger();
        shoot(QStringLiteral("virtual-module"));
    }
    // The project's dialogs: each tab of each, taken as soon as it is up, then closed.
    auto shootProjectDialog = [&](int command, const QStringList& names) {
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
        shootProjectDialog(Cmd::ManageProject, {QStringLiteral("project-management"),
                                                QStringLiteral("project-bitmaps")});
    shootProjectDialog(Cmd::EditDevices, {QStringLiteral("device-edit")});
    return written;
}

}  // namespace Startup
