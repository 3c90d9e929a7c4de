#include "ui/ProjectCommands.h"

#include <QDialog>
#include <QLineEdit>

#include "project/CLedDoc.h"
#include "project/ProjectTools.h"
#include "ui/Commands.h"
#include "ui/MainWindow.h"
#include "ui/ModuleLink.h"
#include "ui/PageWindow.h"
#include "ui/project/DeviceChoiceDialog.h"
#include "ui/project/DeviceEditDialog.h"
#include "ui/project/ProjectManagerDialog.h"

ProjectCommands::ProjectCommands(MainWindow& window) : QObject(&window), m_window(window) {}

ProjectCommands::~ProjectCommands() = default;

int ProjectCommands::runDialog(QDialog& dialog) {
    if (m_hook) m_hook(dialog);
    return dialog.exec();
}

void ProjectCommands::newProject() {
    m_window.m_workspace.NewProject(workspaceUi());
    m_window.syncWindows();
}

void ProjectCommands::editDevices() {
    DeviceEditDialog dialog(m_window.m_messenger, &m_window);
    runDialog(dialog);
}

WorkspaceUi ProjectCommands::workspaceUi() {
    WorkspaceUi ui;
    Messenger& messenger = m_window.m_messenger;
    ui.hasDevices = [&messenger] {
        DeviceCatalogue catalogue(messenger);
        catalogue.Load(false);
        return catalogue.GetCount() > 0;
    };
    ui.editDevices = [this] { editDevices(); };
    ui.projectFile = [this](std::string& path) {
        path = m_window
                   .chooseFile({tr("打开工程文件"),
                                tr("Lcd Project Files(*.zkp)"),
                                QStringLiteral("zkp"),
                                {},
                                false})
                   .toStdString();
        return !path.empty();
    };
    ui.pageName = [this](std::string& name) {
        PageNameDialog dialog(m_window.m_workspace, &m_window);
        if (runDialog(dialog) != QDialog::Accepted) return false;
        name = dialog.name().toStdString();
        return true;
    };
    ui.newProject = [this, &messenger](NewProjectChoice& choice) {
        DeviceChoiceDialog dialog(DeviceChoiceDialog::Kind::NewProject, messenger, &m_window);
        if (runDialog(dialog) != QDialog::Accepted) return false;
        choice = dialog.projectChoice();
        return true;
    };
    ui.newPage = [this, &messenger](NewPageChoice& choice) {
        DeviceChoiceDialog dialog(DeviceChoiceDialog::Kind::NewPage, messenger, &m_window);
        if (runDialog(dialog) != QDialog::Accepted) return false;
        choice = dialog.pageChoice();
        return true;
    };
    return ui;
}

void ProjectCommands::manageProject() {
    Workspace& ws = m_window.m_workspace;
    if (!ws.GetProject().open) return;
    ws.OpenProjectPages();
    m_window.syncWindows();
    {
        ProjectManagerDialog dialog(
            ws, m_window.moduleLink(),
            [this](const QString& title, const QString& filter, bool save) {
                const QString suffix = filter.contains(QStringLiteral("*.txt"))
                                           ? QStringLiteral("txt")
                                           : QStringLiteral("bin");
                return m_window.chooseFile({title, filter, suffix, {}, save}).toStdString();
            },
            &m_window);
        runDialog(dialog);
    }
    // Moved pages are modified; their windows and the commands follow.
    for (const auto& page : ws.Pages())
        m_window.pageChanged(page.get());
}

void ProjectCommands::convertPage() {
    PageWindow* window = m_window.activePageWindow();
    CLedDoc* page = window ? window->page() : nullptr;
    if (!page) return;
    DeviceChoiceDialog dialog(DeviceChoiceDialog::Kind::ConvertPage, m_window.m_messenger,
                              &m_window);
    if (runDialog(dialog) != QDialog::Accepted) return;
    if (ProjectTools::ConvertPage(*page, dialog.screen(), m_window.m_messenger))
        m_window.pageChanged(page);
}
