#pragma once
// The project commands that open dialogs of their own: "新建工程" and "新建页面" (the
// device-choosing dialogs the workspace asks for), "设备编辑", "页面转换" and
// "工程管理" with its download column. MainWindow routes these ids here and takes its
// WorkspaceUi from here; the module is reached through the main window's ModuleLink.

#include <QObject>
#include <functional>
#include <memory>

#include "project/Workspace.h"

class MainWindow;
class QDialog;

class ProjectCommands : public QObject {
    Q_OBJECT
public:
    explicit ProjectCommands(MainWindow& window);
    ~ProjectCommands() override;

    // "新建工程", "工程管理", "设备编辑", "页面转换".
    void newProject();
    void manageProject();
    void editDevices();
    void convertPage();
    // The dialogs of the workspace's project commands.
    WorkspaceUi workspaceUi();

    // Called with every dialog of these commands once it is built, before it runs (tests
    // answer the dialog from here).
    void setDialogHook(std::function<void(QDialog&)> hook) { m_hook = std::move(hook); }

private:
    int runDialog(QDialog& dialog);

    MainWindow& m_window;
    std::function<void(QDialog&)> m_hook;
};
