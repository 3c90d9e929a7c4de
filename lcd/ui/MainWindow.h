#pragma once
// The editor's main window: menus, toolbars, status bar and docks around the page
// windows. It holds the workspace (the open project and pages) and routes every command
// to the part of the core that does the work.

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "edit/PageController.h"
#include "link/LinkSettings.h"
#include "project/Workspace.h"
#include "ui/FileQuestion.h"
#include "ui/QtMessenger.h"

class LinkCommands;
class ModuleLink;
class QComboBox;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class PageWindow;
class ProjectCommands;
class TreeWindow;

class MainWindow : public QMainWindow {
    Q_OBJECT
    friend class ProjectCommands;

public:
    // The dock slots of the page-properties bar, the palette bar and the item panels.
    enum class Dock {
        PageProperties,
        Palette,
        LinePanel,
        TextPanel,
        CirclePanel,
        ArcPanel,
        NumberPanel,
        AnimationPanel,
        TwoPointPanel,
    };
    static constexpr int kDockCount = 9;

    // What a file dialog is asked; the answer is a path, or empty when cancelled.
    using FileQuestion = ::FileQuestion;
    using FileChooser = ::FileChooser;
    // The fill tool's colour dialog for a page: false when cancelled.
    using FillColourDialog = std::function<bool(CLedDoc& page, FillChoice& choice)>;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    Workspace& workspace() { return m_workspace; }
    QAction* action(int command) const { return m_actions.value(command); }
    QDockWidget* dock(Dock slot) const { return m_docks[static_cast<int>(slot)]; }
    QMdiArea* mdiArea() const { return m_mdi; }
    // The two menu bars' contents: true while a page window is open.
    bool pageMenusShown() const { return m_pageMenusShown; }

    // Opens what the command line or a dropped file names: a path ending in ".zkp" is a
    // project (its pages open with it); anything else is read as a page.
    bool openPath(const QString& path);
    // The open page windows, and the one in front (a tree window counts as its page's).
    QList<PageWindow*> pageWindows() const;
    PageWindow* activePageWindow() const;
    // Every window of `page` follows its change; the commands follow too.
    void pageChanged(CLedDoc* page);
    // Enabled and checked states of every command, from the current state.
    void updateActions();

    // Replaces the file dialogs (tests answer them without a window).
    void setFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }
    const FileChooser& fileChooser() const { return m_chooser; }
    // The one road to the module: the link settings, every transfer and command, the
    // virtual module's dock.
    ModuleLink& moduleLink() const { return *m_module; }
    // The fill tool's colour dialog (tests answer it without a window). Until one is set the
    // module palette's fill dialog is shown.
    void setFillColourDialog(FillColourDialog dialog) { m_fillDialog = std::move(dialog); }
    // The manual shown by "帮助(F1)", or empty when it is not installed.
    static QString manualPath();
    // The project dialogs and the module sender they use.
    ProjectCommands& projectCommands() { return *m_projectCommands; }

signals:
    // The page window in front asks for this item property panel (PropertyPanel::Page:
    // the page-properties bar; None: no panel). The panels connect here, show the one
    // named in its dock, hide the others and refresh it from the page's selection.
    void propertyPanelRequested(PropertyPanel panel);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void createDocks();
    void showMenus(bool pageOpen);
    void runCommand(int command);
    QString chooseFile(const FileQuestion& question);
    WorkspaceUi workspaceUi();
    PageController::Dialogs canvasDialogs(CLedDoc* page);

    // The windows follow the workspace: a window for every open page, none for a page
    // that is gone.
    void syncWindows();
    PageWindow* openWindow(CLedDoc* page);
    bool closeWindow(PageWindow* window);
    void toggleTree(PageWindow* window);
    void savePage(CLedDoc* page);
    void arrangeIcons();
    void showZoom();

    // Before the workspace: it reports through this one until it is gone.
    QtMessenger m_messenger;
    Workspace m_workspace;
    QMdiArea* m_mdi = nullptr;
    QHash<int, QAction*> m_actions;
    QList<QMenu*> m_noPageMenus;
    QList<QMenu*> m_pageMenus;
    bool m_pageMenusShown = false;
    QToolBar* m_projectBar = nullptr;
    QToolBar* m_toolbox = nullptr;
    QToolBar* m_viewBar = nullptr;
    QToolBar* m_linkBar = nullptr;
    QComboBox* m_zoomBox = nullptr;
    QLabel* m_coordinates = nullptr;
    QDockWidget* m_docks[kDockCount] = {};
    FileChooser m_chooser;
    ModuleLink* m_module = nullptr;
    LinkCommands* m_link = nullptr;
    FillColourDialog m_fillDialog;
    int m_defaultZoom = 1;
    bool m_destroying = false;
    ProjectCommands* m_projectCommands = nullptr;
};
