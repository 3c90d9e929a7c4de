#pragma once
// The editor's main window: menus, toolbars, status bar and docks around the page
// windows. It holds the workspace (the open project and pages) and routes every command
// to the part of the core that does the work.
//
// Every command is one row of the command table (MainWindow.cpp): id, text, icon,
// shortcuts, when it can work, what it does. The menus, toolbars and tool tips are built
// from the table, so that each command has a menu entry in every state where it works.

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
#include "ui/EditorSettings.h"
#include "ui/FileQuestion.h"
#include "ui/QtMessenger.h"

class HelpWindow;
class LinkCommands;
class ModuleLink;
class QComboBox;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSpinBox;
class QToolBar;
class PageCanvas;
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

    // `settings` (null: the settings directory's file) keeps the grid, the undo depth and
    // the recent files.
    explicit MainWindow(QWidget* parent = nullptr, std::unique_ptr<EditorSettings> settings = {});
    ~MainWindow() override;

    Workspace& workspace() { return m_workspace; }
    EditorSettings& settings() { return *m_settings; }
    QAction* action(int command) const { return m_actions.value(command); }
    QDockWidget* dock(Dock slot) const { return m_docks[static_cast<int>(slot)]; }
    // Puts a bar or panel into its dock, inside a scroll area: a tall panel scrolls rather
    // than pushing the window past the screen.
    void setDockContent(Dock slot, QWidget* content);
    QMdiArea* mdiArea() const { return m_mdi; }
    // The menus of the recently opened projects and pages.
    QMenu* recentMenu(EditorSettings::Recent list) const;
    QWidget* helpWindow() const { return m_help; }

    // Opens what the command line or a dropped file names: a path ending in ".zkp" is a
    // project (its pages open with it); anything else is read as a page.
    bool openPath(const QString& path);
    // The open page windows, and the one in front (a tree window counts as its page's).
    QList<PageWindow*> pageWindows() const;
    PageWindow* activePageWindow() const;
    // Every window of `page` follows its change; the commands follow too.
    void pageChanged(CLedDoc* page);
    // Enabled and checked states of every command, and the title, from the current state.
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
    // The manual shown by "帮助", or empty when it is not installed.
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
    struct Command;
    std::vector<Command> commandTable();
    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void createDocks();
    void fillRecent(EditorSettings::Recent list);
    void createLanguageMenu(QMenu* parent);
    void openRecent(EditorSettings::Recent list, const QString& path);
    QString chooseFile(const FileQuestion& question);
    WorkspaceUi workspaceUi();
    PageController::Dialogs canvasDialogs(CLedDoc* page);
    // The canvas of the page in front, or null.
    PageCanvas* canvas() const;
    void updateTitle();
    void applyGrid();

    // The windows follow the workspace: a window for every open page, none for a page
    // that is gone.
    void syncWindows();
    PageWindow* openWindow(CLedDoc* page);
    bool closeWindow(PageWindow* window);
    void toggleTree(PageWindow* window);
    void savePage(CLedDoc* page);
    void exportPage(CLedDoc* page);
    void openPage();
    void cascade();
    void arrangeIcons();
    void showZoom();
    void showHelp();
    // "保存Lcd页面文件" for a page that has no file yet: false when cancelled.
    bool choosePageFile(const CLedDoc& page, std::string& path);
    void remember(EditorSettings::Recent list, const std::string& path);
    // The open project (new or opened) heads the recent projects.
    void rememberProject();

    // Before the workspace: it reports through this one until it is gone.
    QtMessenger m_messenger;
    Workspace m_workspace;
    std::unique_ptr<EditorSettings> m_settings;
    QMdiArea* m_mdi = nullptr;
    std::vector<Command> m_commands;
    QHash<int, QAction*> m_actions;
    QMenu* m_recent[2] = {};
    QToolBar* m_projectBar = nullptr;
    QToolBar* m_toolbox = nullptr;
    QToolBar* m_viewBar = nullptr;
    QToolBar* m_linkBar = nullptr;
    QToolBar* m_arrangeBar = nullptr;
    QComboBox* m_zoomBox = nullptr;
    QSpinBox* m_gridBox = nullptr;
    QLabel* m_coordinates = nullptr;
    QDockWidget* m_docks[kDockCount] = {};
    FileChooser m_chooser;
    ModuleLink* m_module = nullptr;
    LinkCommands* m_link = nullptr;
    FillColourDialog m_fillDialog;
    QPointer<QWidget> m_help;  // the HelpWindow while it is open
    int m_defaultZoom = 1;
    bool m_destroying = false;
    ProjectCommands* m_projectCommands = nullptr;
};
