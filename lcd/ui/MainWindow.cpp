#include "ui/MainWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <algorithm>

#include "base/AppPaths.h"
#include "base/Messages.h"
#include "edit/ItemClipboard.h"
#include "project/CLedDoc.h"
#include "ui/Commands.h"
#include "ui/InstructionTree.h"
#include "ui/LinkCommands.h"
#include "ui/ModuleLink.h"
#include "ui/PageCanvas.h"
#include "ui/PageWindow.h"
#include "ui/ProjectCommands.h"
#include "ui/Tools.h"
#include "ui/VirtualModuleDock.h"
#include "ui/dialogs/FillColourDialog.h"
#include "ui/dialogs/HelpWindow.h"
#include "ui/panels/PropertyPanels.h"

#ifndef LCD_BUILD_DATA_DIR
#define LCD_BUILD_DATA_DIR ""
#endif

// One command: its label (the menu text), icon, shortcuts, whether it is a check button,
// when it can work (null: always) and whether it is checked, and what it does.
struct MainWindow::Command {
    int id;
    const char* text;
    const char* icon;
    QList<QKeySequence> keys;
    bool checkable = false;
    std::function<bool()> enabled;
    std::function<bool()> checked;
    std::function<void()> run;
};

namespace {

using Keys = QList<QKeySequence>;

struct MenuDef {
    const char* title;
    std::vector<int> commands;  // Cmd::None: a separator
};

// The submenus a menu holds, by a pseudo id in its list.
constexpr int kRecentProjectsMenu = -1, kRecentPagesMenu = -2, kArrangeMenu = -3,
              kLanguageMenu = -4;

const MenuDef kMenus[] = {
    {QT_TRANSLATE_NOOP("MainWindow", "工程(&P)"),
     {Cmd::NewProject, Cmd::OpenProject, Cmd::SaveProject, Cmd::CloseProject, Cmd::ManageProject,
      Cmd::None, kRecentProjectsMenu, Cmd::None, Cmd::Exit}},
    {QT_TRANSLATE_NOOP("MainWindow", "页面(&G)"),
     {Cmd::NewPage, Cmd::OpenPage, Cmd::SavePage, Cmd::ExportPage, Cmd::ImportPage, Cmd::DeletePage,
      Cmd::ConvertPage, Cmd::None, kRecentPagesMenu}},
    {QT_TRANSLATE_NOOP("MainWindow", "编辑(&E)"),
     {Cmd::Undo, Cmd::Redo, Cmd::None, Cmd::Cut, Cmd::Copy, Cmd::Paste, Cmd::Duplicate,
      Cmd::DeleteItem, Cmd::SelectAll, Cmd::None, kArrangeMenu}},
    {QT_TRANSLATE_NOOP("MainWindow", "绘图(&D)"), {}},  // the tools, from their table
    {QT_TRANSLATE_NOOP("MainWindow", "查看(&V)"),
     {Cmd::ViewToolbar, Cmd::ViewStatusBar, Cmd::Palette, Cmd::Toolbox, Cmd::Properties,
      Cmd::InstructionTree, Cmd::VirtualModule, Cmd::None, Cmd::Grid, Cmd::Snap, Cmd::ModuleView,
      Cmd::None, Cmd::ZoomIn, Cmd::ZoomOut, Cmd::None, kLanguageMenu}},
    {QT_TRANSLATE_NOOP("MainWindow", "系统(&S)"),
     {Cmd::EditDevices, Cmd::LinkSettings, Cmd::UpgradeCpu, Cmd::None, Cmd::ShowPage, Cmd::SendFile,
      Cmd::SendFont, Cmd::BitmapData}},
    {QT_TRANSLATE_NOOP("MainWindow", "窗口(&W)"),
     {Cmd::NewWindow, Cmd::Cascade, Cmd::Tile, Cmd::ArrangeIcons, Cmd::None, Cmd::NextWindow,
      Cmd::PreviousWindow}},
    {QT_TRANSLATE_NOOP("MainWindow", "帮助(&H)"), {Cmd::Help, Cmd::About, Cmd::Upgrade}},
};

const int kArrangeCommands[] = {
    Cmd::AlignLeft,    Cmd::AlignRight, Cmd::AlignTop,   Cmd::AlignBottom, Cmd::AlignCentreH,
    Cmd::AlignCentreV, Cmd::SameWidth,  Cmd::SameHeight, Cmd::DistributeH, Cmd::DistributeV};

const int kProjectBar[] = {
    Cmd::NewProject, Cmd::OpenProject, Cmd::SaveProject, Cmd::ManageProject, Cmd::NewPage,
    Cmd::None,       Cmd::OpenPage,    Cmd::SavePage,    Cmd::ExportPage,    Cmd::None,
    Cmd::ImportPage, Cmd::DeletePage,  Cmd::None,        Cmd::Cut,           Cmd::Copy,
    Cmd::Paste,      Cmd::DeleteItem,  Cmd::None,        Cmd::Undo,          Cmd::Redo,
    Cmd::ShowPage,   Cmd::SendFont,    Cmd::SendFile,    Cmd::BitmapData,    Cmd::UpgradeCpu};
const int kViewBar[] = {Cmd::Palette, Cmd::Properties, Cmd::InstructionTree, Cmd::Toolbox};
const int kLinkBar[] = {Cmd::LinkSettings, Cmd::VirtualModule, Cmd::Help};

const char* const kDockTitles[MainWindow::kDockCount] = {
    QT_TRANSLATE_NOOP("MainWindow", "页面属性"), QT_TRANSLATE_NOOP("MainWindow", "颜色代码："),
    QT_TRANSLATE_NOOP("MainWindow", "直线"),     QT_TRANSLATE_NOOP("MainWindow", "文字"),
    QT_TRANSLATE_NOOP("MainWindow", "圆"),       QT_TRANSLATE_NOOP("MainWindow", "圆弧"),
    QT_TRANSLATE_NOOP("MainWindow", "数字控件"), QT_TRANSLATE_NOOP("MainWindow", "动画控件"),
    QT_TRANSLATE_NOOP("MainWindow", "两点图元"),
};

// "保存页面(&S)" -> "保存页面"; "关于 lcd(&A)..." -> "关于 lcd".
QString PlainLabel(QString text) {
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    text.remove(QStringLiteral("..."));
    return text.remove(QLatin1Char('&'));
}

// The tool tip of a command: its name and, when it has one, its shortcut.
QString TipOf(const QString& name, const Keys& keys) {
    if (keys.isEmpty()) return name;
    return QStringLiteral("%1 (%2)").arg(name, keys.front().toString(QKeySequence::NativeText));
}

std::string Utf8(const QString& s) {
    return s.toStdString();
}

bool HasClipboardItems() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasFormat(QString::fromLatin1(ItemClipboard::kMimeType));
}

}  // namespace

MainWindow::MainWindow(QWidget* parent, std::unique_ptr<EditorSettings> settings)
    : QMainWindow(parent),
      m_messenger(this),
      m_workspace(m_messenger),
      m_settings(settings ? std::move(settings) : std::make_unique<EditorSettings>()) {
    setWindowIcon(QIcon(QStringLiteral(":/icons/lcdscreen.svg")));
    setAcceptDrops(true);
    m_mdi = new QMdiArea;
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    m_defaultZoom = PageCanvas::defaultZoom(screen());
    m_module = new ModuleLink(this, m_messenger, [this] {
        // The module has the screen of the page in front, else of the project.
        if (PageWindow* w = activePageWindow()) return w->page()->GetScreenParams();
        return m_workspace.GetProject().screen;
    });
    // The board type is kept with the link settings.
    connect(m_module, &ModuleLink::settingsChanged, this, [this] {
        const int32_t board = m_module->settings().boardType;
        if (board >= 0 && board <= 3) m_workspace.Settings().SetBoardType(board);
    });
    m_link = new LinkCommands(*this, *m_module, m_messenger);
    // Quitting or closing the project saves a page that has no file yet where the user says.
    m_workspace.SetSaveAs(
        [this](const CLedDoc& page, std::string& path) { return choosePageFile(page, path); });
    m_projectCommands = new ProjectCommands(*this);
    createActions();
    createMenus();
    createToolBars();
    createStatusBar();
    createDocks();
    new PropertyPanels(this);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        // A page window has no maximised state of its own: one that inherits it from a
        // closed maximised window gets its frame back.
        if (auto* page = qobject_cast<PageWindow*>(w); page && page->isMaximized())
            page->showNormal();
        showZoom();
        updateActions();
    });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &MainWindow::updateActions);
    // Room for a few page windows side by side, within the screen.
    const QSize room = screen() ? screen()->availableSize() * 9 / 10 : QSize(1024, 720);
    resize(room.boundedTo(QSize(1400, 900)));
    updateActions();
}

MainWindow::~MainWindow() {
    m_destroying = true;
    // The bars watch the pages: they go first.
    delete findChild<PropertyPanels*>();
    // The docks are hidden after this part of the window is gone: nothing of this class may
    // answer them then.
    for (QDockWidget* d : m_docks)
        d->disconnect(this);
    disconnect(m_module->dock(), nullptr, this, nullptr);
    disconnect(QApplication::clipboard(), nullptr, this, nullptr);
    if (m_help) delete m_help;
    // The pages go with the workspace; their windows must not outlive them.
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        delete w;
}

std::vector<MainWindow::Command> MainWindow::commandTable() {
    const auto page = [this] { return activePageWindow() != nullptr; };
    const auto project = [this] { return m_workspace.GetProject().open; };
    const auto current = [this]() -> CLedDoc* {
        PageWindow* w = activePageWindow();
        return w ? w->page() : nullptr;
    };
    const auto selected = [this](int at_least) {
        return [this, at_least] { return canvas() && canvas()->selectedCount() >= at_least; };
    };
    const auto onCanvas = [this](void (PageCanvas::*f)()) {
        return [this, f] {
            if (PageCanvas* c = canvas()) (c->*f)();
        };
    };
    const auto arrange = [this](Arrangement how) {
        return [this, how] {
            if (PageCanvas* c = canvas()) c->arrange(how);
        };
    };
    using A = Arrangement;
    // clang-format off
    std::vector<Command> table = {
        {Cmd::NewProject, QT_TR_NOOP("新建工程(&N)"), "new-project", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N)}, false, {}, {},
         [this] {
             m_projectCommands->newProject();
             rememberProject();
         }},
        {Cmd::OpenProject, QT_TR_NOOP("打开工程(&O)"), "open-project", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)}, false, {}, {},
         [this] {
             m_workspace.OpenProject(workspaceUi());
             rememberProject();
             syncWindows();
         }},
        {Cmd::SaveProject, QT_TR_NOOP("保存工程(&S)"), "save-project", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}, false, project, {},
         [this] {
             m_workspace.SaveProject();
             for (const auto& p : m_workspace.Pages()) pageChanged(p.get());
         }},
        {Cmd::CloseProject, QT_TR_NOOP("关闭工程(&X)"), nullptr, {}, false, project, {},
         [this] {
             m_workspace.CloseProject();
             syncWindows();
         }},
        {Cmd::ManageProject, QT_TR_NOOP("工程管理(&M)"), "manage-project", {}, false, project, {},
         [this] { m_projectCommands->manageProject(); }},
        {Cmd::NewPage, QT_TR_NOOP("新建页面(&N)"), "new-page", {QKeySequence(Qt::CTRL | Qt::Key_N)}, false, {}, {},
         [this] {
             m_workspace.NewPage(workspaceUi());
             syncWindows();
         }},
        {Cmd::OpenPage, QT_TR_NOOP("打开页面(&O)"), "open-page", {QKeySequence(Qt::CTRL | Qt::Key_O)}, false, {}, {},
         [this] { openPage(); }},
        {Cmd::SavePage, QT_TR_NOOP("保存页面(&S)"), "save-page", {QKeySequence(Qt::CTRL | Qt::Key_S)}, false,
         [current] { return current() && current()->m_bModified; }, {},
         [this, current] { if (CLedDoc* p = current()) savePage(p); }},
        {Cmd::ExportPage, QT_TR_NOOP("导出页面(&E)"), "export-page", {}, false, page, {},
         [this, current] { if (CLedDoc* p = current()) exportPage(p); }},
        {Cmd::ImportPage, QT_TR_NOOP("导入页面(&I)"), "import-page", {}, false,
         [current] { return current() && !current()->m_bInProject; }, {},
         [this, current] {
             if (CLedDoc* p = current()) {
                 m_workspace.ImportIntoProject(p, workspaceUi());
                 pageChanged(p);
             }
         }},
        {Cmd::DeletePage, QT_TR_NOOP("删除页面(&D)"), "delete-page", {}, false,
         [current, project] { return project() && current() && current()->m_bInProject; }, {},
         [this, current] { if (CLedDoc* p = current(); p && m_workspace.DeletePage(p)) syncWindows(); }},
        {Cmd::ConvertPage, QT_TR_NOOP("页面转换"), nullptr, {}, false,
         [current] { return current() && !current()->m_bInProject; }, {},
         [this] { m_projectCommands->convertPage(); }},
        {Cmd::Exit, QT_TR_NOOP("退出(&E)"), nullptr, {QKeySequence(Qt::CTRL | Qt::Key_Q)}, false, {}, {},
         [this] { close(); }},
        {Cmd::Undo, QT_TR_NOOP("撤消(&U)"), "undo", {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)}, false,
         [current] { return current() && current()->CanUndo(); }, {}, onCanvas(&PageCanvas::undo)},
        {Cmd::Redo, QT_TR_NOOP("重做(&R)"), "redo", {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, false,
         [current] { return current() && current()->CanRedo(); }, {}, onCanvas(&PageCanvas::redo)},
        {Cmd::Cut, QT_TR_NOOP("剪切(&T)"), "cut", {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)}, false,
         selected(1), {}, onCanvas(&PageCanvas::cut)},
        {Cmd::Copy, QT_TR_NOOP("复制(&C)"), "copy", {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}, false,
         selected(1), {}, onCanvas(&PageCanvas::copy)},
        {Cmd::Paste, QT_TR_NOOP("粘贴(&P)"), "paste", {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}, false,
         [page] { return page() && HasClipboardItems(); }, {}, onCanvas(&PageCanvas::paste)},
        {Cmd::Duplicate, QT_TR_NOOP("再制一份(&L)"), "duplicate", {QKeySequence(Qt::CTRL | Qt::Key_D)}, false,
         selected(1), {}, onCanvas(&PageCanvas::duplicate)},
        {Cmd::DeleteItem, QT_TR_NOOP("删除图元(&D)"), "delete-item", {}, false,
         [current] {
             const int sel = current() ? current()->m_nSelType : -1;
             return sel != -1 && sel != 19 && sel != 20;
         }, {}, onCanvas(&PageCanvas::deleteSelection)},
        {Cmd::SelectAll, QT_TR_NOOP("全选(&A)"), nullptr, {QKeySequence(Qt::CTRL | Qt::Key_A)}, false, page, {},
         onCanvas(&PageCanvas::selectAll)},
        {Cmd::AlignLeft, QT_TR_NOOP("左对齐"), "align-left", {}, false, selected(2), {}, arrange(A::AlignLeft)},
        {Cmd::AlignRight, QT_TR_NOOP("右对齐"), "align-right", {}, false, selected(2), {}, arrange(A::AlignRight)},
        {Cmd::AlignTop, QT_TR_NOOP("顶端对齐"), "align-top", {}, false, selected(2), {}, arrange(A::AlignTop)},
        {Cmd::AlignBottom, QT_TR_NOOP("底端对齐"), "align-bottom", {}, false, selected(2), {}, arrange(A::AlignBottom)},
        {Cmd::AlignCentreH, QT_TR_NOOP("水平居中"), "align-centre-h", {}, false, selected(2), {}, arrange(A::AlignCentreH)},
        {Cmd::AlignCentreV, QT_TR_NOOP("垂直居中"), "align-centre-v", {}, false, selected(2), {}, arrange(A::AlignCentreV)},
        {Cmd::SameWidth, QT_TR_NOOP("等宽"), "same-width", {}, false, selected(2), {}, arrange(A::SameWidth)},
        {Cmd::SameHeight, QT_TR_NOOP("等高"), "same-height", {}, false, selected(2), {}, arrange(A::SameHeight)},
        {Cmd::DistributeH, QT_TR_NOOP("水平等距分布"), "distribute-h", {}, false, selected(3), {}, arrange(A::DistributeH)},
        {Cmd::DistributeV, QT_TR_NOOP("垂直等距分布"), "distribute-v", {}, false, selected(3), {}, arrange(A::DistributeV)},
        {Cmd::ViewToolbar, QT_TR_NOOP("工具栏(&T)"), nullptr, {}, true, {}, [this] { return !m_projectBar->isHidden(); },
         [this] { m_projectBar->setVisible(m_projectBar->isHidden()); }},
        {Cmd::ViewStatusBar, QT_TR_NOOP("状态栏(&S)"), nullptr, {}, true, {}, [this] { return !statusBar()->isHidden(); },
         [this] { statusBar()->setVisible(statusBar()->isHidden()); }},
        {Cmd::Palette, QT_TR_NOOP("调色板(&P)"), "palette", {}, true, {}, [this] { return !dock(Dock::Palette)->isHidden(); },
         [this] { dock(Dock::Palette)->setVisible(dock(Dock::Palette)->isHidden()); }},
        {Cmd::Toolbox, QT_TR_NOOP("画笔工具箱(&B)"), "toolbox", {}, true, {}, [this] { return !m_toolbox->isHidden(); },
         [this] { m_toolbox->setVisible(m_toolbox->isHidden()); }},
        {Cmd::Properties, QT_TR_NOOP("显示或关闭属性页"), "properties", {}, true, page,
         [this] { return activePageWindow() && activePageWindow()->showProperties(); },
         [this] { if (PageWindow* w = activePageWindow()) w->setShowProperties(!w->showProperties()); }},
        {Cmd::InstructionTree, QT_TR_NOOP("指令集"), "instruction-tree", {}, true, page,
         [this] { return activePageWindow() && activePageWindow()->treeWindow(); },
         [this] { if (PageWindow* w = activePageWindow()) toggleTree(w); }},
        {Cmd::VirtualModule, QT_TR_NOOP("虚拟模块(&M)"), "virtual-module", {}, true, {},
         [this] { return !m_module->dock()->isHidden(); },
         [this] { m_module->dock()->setVisible(m_module->dock()->isHidden()); }},
        {Cmd::Grid, QT_TR_NOOP("网格"), "grid", {QKeySequence(Qt::CTRL | Qt::Key_G)}, true, {},
         [this] { return m_settings->gridShown(); },
         [this] { m_settings->setGridShown(!m_settings->gridShown()); applyGrid(); }},
        {Cmd::Snap, QT_TR_NOOP("对齐到网格"), "snap", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G)}, true, {},
         [this] { return m_settings->snap(); },
         [this] { m_settings->setSnap(!m_settings->snap()); applyGrid(); }},
        {Cmd::ModuleView, QT_TR_NOOP("模块效果"), "module-view", {QKeySequence(Qt::CTRL | Qt::Key_M)}, true, page,
         [this] { return canvas() && canvas()->moduleView(); },
         [this] { if (PageCanvas* c = canvas()) c->setModuleView(!c->moduleView(), m_workspace.Settings()); }},
        {Cmd::ZoomIn, QT_TR_NOOP("放大"), "zoom-in", {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}, false, page, {},
         [this] { if (PageCanvas* c = canvas()) c->setZoom(c->zoom() + 1); }},
        {Cmd::ZoomOut, QT_TR_NOOP("缩小"), "zoom-out", {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, false, page, {},
         [this] { if (PageCanvas* c = canvas()) c->setZoom(c->zoom() - 1); }},
        {Cmd::NewWindow, QT_TR_NOOP("新建窗口(&N)"), nullptr, {}, false, page, {},
         [this, current] { if (CLedDoc* p = current()) openWindow(p); }},
        {Cmd::Cascade, QT_TR_NOOP("层叠(&C)"), nullptr, {}, false, page, {}, [this] { cascade(); }},
        {Cmd::Tile, QT_TR_NOOP("平铺(&T)"), nullptr, {}, false, page, {}, [this] { m_mdi->tileSubWindows(); }},
        {Cmd::ArrangeIcons, QT_TR_NOOP("排列图标(&A)"), nullptr, {}, false, page, {}, [this] { arrangeIcons(); }},
        {Cmd::NextWindow, QT_TR_NOOP("下一个窗口"), nullptr, {QKeySequence(Qt::Key_F6)}, false, page, {},
         [this] { m_mdi->activateNextSubWindow(); }},
        {Cmd::PreviousWindow, QT_TR_NOOP("上一个窗口"), nullptr, {QKeySequence(Qt::SHIFT | Qt::Key_F6)}, false, page, {},
         [this] { m_mdi->activatePreviousSubWindow(); }},
        {Cmd::EditDevices, QT_TR_NOOP("设备编辑(&E)"), nullptr, {}, false, {}, {}, [this] { m_projectCommands->editDevices(); }},
        {Cmd::LinkSettings, QT_TR_NOOP("设置通信方式"), "link-settings", {}, false, {}, {}, [this] { m_module->editSettings(); }},
        {Cmd::UpgradeCpu, QT_TR_NOOP("升级CPU程序"), "upgrade-cpu", {}, false, {}, {}, [this] { m_link->upgradeCpu(); }},
        {Cmd::ShowPage, QT_TR_NOOP("显示当前页面"), "show-page", {QKeySequence(Qt::Key_F5)}, false, page, {}, [this] { m_link->showPage(); }},
        {Cmd::SendFont, QT_TR_NOOP("传送字库"), "send-font", {}, false, {}, {}, [this] { m_link->sendFont(); }},
        {Cmd::SendFile, QT_TR_NOOP("发送文件"), "send-file", {}, false, {}, {}, [this] { m_link->sendFile(); }},
        {Cmd::BitmapData, QT_TR_NOOP("提取位图数据"), "bitmap-data", {}, false, {}, {}, [this] { m_link->bitmapData(); }},
        {Cmd::About, QT_TR_NOOP("关于 lcdscreen(&A)..."), "about", {}, false, {}, {},
         [this] {
             QMessageBox::about(this, tr("关于 lcdscreen"),
                                tr("<b>lcdscreen</b> %1<p>液晶屏画面编辑与下载程序</p>")
                                    .arg(QApplication::applicationVersion()));
         }},
        {Cmd::Help, QT_TR_NOOP("帮助(&H)"), "help", {QKeySequence(Qt::Key_F1)}, false, {}, {}, [this] { showHelp(); }},
        {Cmd::Upgrade, QT_TR_NOOP("升级(&U)"), nullptr, {}, false, {}, {},
         [this] {
             QMessageBox::information(this, tr("提示"), tr("请通过系统的软件包管理器升级 lcdscreen。"));
         }},
    };
    // clang-format on
    // The drawing tools: checked while they are the tool of the page in front.
    for (const ToolDef& tool : kTools) {
        const int id = tool.command;
        table.push_back(Command{id,
                                tool.text,
                                tool.icon,
                                {},
                                id != Cmd::SelectMany,
                                page,
                                [this, id] { return canvas() && canvas()->toolCommand() == id; },
                                [this, id] {
                                    if (PageCanvas* c = canvas()) c->setToolCommand(id);
                                }});
    }
    return table;
}

void MainWindow::createActions() {
    m_commands = commandTable();
    auto* tools = new QActionGroup(this);
    for (const Command& c : m_commands) {
        // The tools' names live in the tools' table.
        const QString text =
            FindTool(c.id) ? QCoreApplication::translate("Tools", c.text) : tr(c.text);
        auto* a = new QAction(text, this);
        a->setData(c.id);
        if (c.icon) a->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(c.icon)));
        a->setShortcuts(c.keys);
        const QString tip = TipOf(PlainLabel(text), c.keys);
        a->setToolTip(tip);
        a->setStatusTip(tip);
        a->setCheckable(c.checkable);
        if (FindTool(c.id) && c.checkable) tools->addAction(a);
        connect(a, &QAction::triggered, this, [this, run = c.run] {
            run();
            updateActions();
        });
        m_actions.insert(c.id, a);
        // Shortcuts work while the menus and bars are hidden too.
        addAction(a);
    }
}

void MainWindow::createMenus() {
    for (const MenuDef& def : kMenus) {
        QMenu* menu = menuBar()->addMenu(tr(def.title));
        if (def.commands.empty()) {
            for (const ToolDef& tool : kTools)
                menu->addAction(action(tool.command));
            continue;
        }
        for (int id : def.commands) {
            if (id == Cmd::None) {
                menu->addSeparator();
            } else if (id == kRecentProjectsMenu || id == kRecentPagesMenu) {
                const auto list = id == kRecentProjectsMenu ? EditorSettings::Recent::Projects
                                                            : EditorSettings::Recent::Pages;
                QMenu* recent =
                    menu->addMenu(id == kRecentProjectsMenu ? tr("最近的工程") : tr("最近的页面"));
                m_recent[static_cast<int>(list)] = recent;
                connect(recent, &QMenu::aboutToShow, this, [this, list] { fillRecent(list); });
                fillRecent(list);
            } else if (id == kLanguageMenu) {
                createLanguageMenu(menu);
            } else if (id == kArrangeMenu) {
                QMenu* arrange = menu->addMenu(tr("对齐与分布"));
                for (int c : kArrangeCommands)
                    arrange->addAction(action(c));
            } else {
                menu->addAction(action(id));
            }
        }
    }
}

void MainWindow::createLanguageMenu(QMenu* parent) {
    // Named in both languages, its choices each in its own: found whichever the window speaks.
    QMenu* menu = parent->addMenu(QStringLiteral("语言 / Language"));
    menu->setObjectName(QStringLiteral("language"));
    auto* group = new QActionGroup(menu);
    const std::pair<QString, QString> choices[] = {
        {QString(), QStringLiteral("跟随系统 / System")},
        {QStringLiteral("zh"), QStringLiteral("中文")},
        {QStringLiteral("en"), QStringLiteral("English")}};
    for (const auto& [code, name] : choices) {
        QAction* a = menu->addAction(name);
        a->setCheckable(true);
        a->setChecked(m_settings->language() == code);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, code = code] {
            m_settings->setLanguage(code);
            statusBar()->showMessage(tr("语言将在下次启动时改变"), 8000);
        });
    }
}

QMenu* MainWindow::recentMenu(EditorSettings::Recent list) const {
    return m_recent[static_cast<int>(list)];
}

void MainWindow::fillRecent(EditorSettings::Recent list) {
    QMenu* menu = recentMenu(list);
    menu->clear();
    // Files that have gone since are dropped, and the menu says so once.
    for (const QString& gone : m_settings->dropMissing(list))
        menu->addAction(tr("已去掉不存在的文件：%1").arg(QFileInfo(gone).fileName()))
            ->setEnabled(false);
    const QStringList paths = m_settings->recent(list);
    for (int i = 0; i < paths.size(); ++i) {
        QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(paths[i]));
        a->setData(paths[i]);
        connect(a, &QAction::triggered, this,
                [this, list, path = paths[i]] { openRecent(list, path); });
    }
    menu->setEnabled(!menu->isEmpty());
}

void MainWindow::openRecent(EditorSettings::Recent list, const QString& path) {
    if (!QFileInfo::exists(path)) {
        m_messenger.Tell(Utf8(tr("%1 已不存在，已从最近的文件中去掉").arg(path)), "提示");
        m_settings->dropMissing(list);
        fillRecent(list);
        return;
    }
    openPath(path);
}

void MainWindow::rememberProject() {
    const Workspace::Project& p = m_workspace.GetProject();
    if (p.open) remember(EditorSettings::Recent::Projects, p.directory + "/" + p.fileName);
}

void MainWindow::remember(EditorSettings::Recent list, const std::string& path) {
    m_settings->addRecent(list, QString::fromStdString(path));
    fillRecent(list);
}

void MainWindow::createToolBars() {
    auto fill = [this](QToolBar* bar, const auto& ids) {
        for (int id : ids) {
            if (id == Cmd::None)
                bar->addSeparator();
            else
                bar->addAction(action(id));
        }
    };
    m_projectBar = addToolBar(tr("工程"));
    m_projectBar->setObjectName(QStringLiteral("projectBar"));
    fill(m_projectBar, kProjectBar);
    m_viewBar = addToolBar(tr("查看"));
    m_viewBar->setObjectName(QStringLiteral("viewBar"));
    fill(m_viewBar, kViewBar);
    m_zoomBox = new QComboBox;
    m_zoomBox->setToolTip(tr("显示比例（Ctrl+滚轮，Ctrl+加号/减号）"));
    for (int z = PageCanvas::kMinZoom; z <= PageCanvas::kMaxZoom; ++z)
        m_zoomBox->addItem(QStringLiteral("%1×").arg(z), z);
    m_viewBar->addWidget(m_zoomBox);
    connect(m_zoomBox, &QComboBox::activated, this, [this](int index) {
        if (PageCanvas* c = canvas()) c->setZoom(m_zoomBox->itemData(index).toInt());
    });
    m_viewBar->addSeparator();
    fill(m_viewBar, std::initializer_list<int>{Cmd::Grid});
    m_gridBox = new QSpinBox;
    m_gridBox->setObjectName(QStringLiteral("gridSize"));
    m_gridBox->setRange(2, EditorSettings::kMaxGrid);
    m_gridBox->setSuffix(tr(" 点"));
    m_gridBox->setToolTip(tr("网格间距（模块像素）"));
    m_gridBox->setValue(m_settings->gridSize());
    m_viewBar->addWidget(m_gridBox);
    connect(m_gridBox, &QSpinBox::valueChanged, this, [this](int pixels) {
        m_settings->setGridSize(pixels);
        applyGrid();
    });
    fill(m_viewBar, std::initializer_list<int>{Cmd::Snap, Cmd::ModuleView});
    m_linkBar = addToolBar(tr("通信"));
    m_linkBar->setObjectName(QStringLiteral("linkBar"));
    fill(m_linkBar, kLinkBar);
    m_arrangeBar = addToolBar(tr("对齐与分布"));
    m_arrangeBar->setObjectName(QStringLiteral("arrangeBar"));
    fill(m_arrangeBar, kArrangeCommands);

    // The drawing toolbox: two buttons to a row while it stands upright.
    m_toolbox = new QToolBar(tr("画笔工具箱"), this);
    m_toolbox->setObjectName(QStringLiteral("toolbox"));
    auto* grid = new QWidget;
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QList<QToolButton*> buttons;
    for (const ToolDef& tool : kTools) {
        auto* button = new QToolButton;
        button->setDefaultAction(action(tool.command));
        button->setAutoRaise(true);
        button->setIconSize(QSize(24, 24));
        buttons.append(button);
    }
    auto arrange = [layout, buttons](Qt::Orientation o) {
        for (int i = 0; i < buttons.size(); ++i) {
            layout->removeWidget(buttons[i]);
            if (o == Qt::Vertical)
                layout->addWidget(buttons[i], i / 2, i % 2);
            else
                layout->addWidget(buttons[i], i % 2, i / 2);
        }
    };
    arrange(Qt::Vertical);
    m_toolbox->addWidget(grid);
    connect(m_toolbox, &QToolBar::orientationChanged, this, arrange);
    addToolBar(Qt::LeftToolBarArea, m_toolbox);
    for (QToolBar* bar : {m_projectBar, m_viewBar, m_linkBar, m_arrangeBar, m_toolbox}) {
        bar->setIconSize(QSize(24, 24));
        connect(bar, &QToolBar::visibilityChanged, this, &MainWindow::updateActions);
    }
}

void MainWindow::createStatusBar() {
    m_coordinates = new QLabel;
    const QString widest = tr("逻辑坐标x=%1,y=%1 物理坐标X=%2,Y=%2").arg(9999).arg(99999);
    m_coordinates->setMinimumWidth(m_coordinates->fontMetrics().horizontalAdvance(widest) + 8);
    statusBar()->addPermanentWidget(m_coordinates);
}

void MainWindow::createDocks() {
    for (int i = 0; i < kDockCount; ++i) {
        auto* d = new QDockWidget(tr(kDockTitles[i]), this);
        d->setObjectName(QStringLiteral("dock%1").arg(i));
        addDockWidget(Qt::RightDockWidgetArea, d);
        // The bars' contents come with the property panels; an empty slot stays hidden.
        d->hide();
        m_docks[i] = d;
    }
    connect(dock(Dock::Palette), &QDockWidget::visibilityChanged, this, &MainWindow::updateActions);
    VirtualModuleDock* module = m_module->dock();
    addDockWidget(Qt::RightDockWidgetArea, module);
    module->setZoom(m_defaultZoom);
    module->hide();
    connect(module, &QDockWidget::visibilityChanged, this, &MainWindow::updateActions);
}

void MainWindow::setDockContent(Dock slot, QWidget* content) {
    auto* scroll = new QScrollArea;
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    // Wide enough for the panel, as tall as there is room for.
    scroll->setMinimumWidth(content->sizeHint().width() +
                            scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    scroll->setMinimumHeight(std::min(content->sizeHint().height(), 120));
    dock(slot)->setWidget(scroll);
}

QList<PageWindow*> MainWindow::pageWindows() const {
    QList<PageWindow*> windows;
    for (QMdiSubWindow* w : m_mdi->subWindowList()) {
        auto* page = qobject_cast<PageWindow*>(w);
        if (page && page->page() && page->isVisibleTo(m_mdi)) windows.append(page);
    }
    return windows;
}

PageWindow* MainWindow::activePageWindow() const {
    QMdiSubWindow* w = m_mdi->currentSubWindow();
    if (auto* tree = qobject_cast<TreeWindow*>(w)) w = tree->owner();
    auto* page = qobject_cast<PageWindow*>(w);
    return page && page->page() && page->isVisibleTo(m_mdi) ? page : nullptr;
}

PageCanvas* MainWindow::canvas() const {
    PageWindow* w = activePageWindow();
    return w ? w->canvas() : nullptr;
}

void MainWindow::updateActions() {
    if (m_destroying) return;
    for (const Command& c : m_commands) {
        QAction* a = action(c.id);
        a->setEnabled(!c.enabled || c.enabled());
        if (c.checkable) a->setChecked(c.checked && c.checked());
    }
    m_zoomBox->setEnabled(activePageWindow() != nullptr);
    updateTitle();
}

void MainWindow::updateTitle() {
    // "demo - main.pg[*] - lcdscreen": the project, the page in front, the program.
    QStringList parts;
    const Workspace::Project& project = m_workspace.GetProject();
    if (project.open) parts.append(QString::fromStdString(project.name));
    PageWindow* w = activePageWindow();
    if (w) parts.append(QString::fromStdString(w->page()->m_strTitle) + QStringLiteral("[*]"));
    parts.append(QStringLiteral("lcdscreen"));
    setWindowTitle(parts.join(QStringLiteral(" - ")));
    if (w) setWindowModified(w->page()->m_bModified);
}

void MainWindow::applyGrid() {
    const int size = m_settings->gridSize();
    for (PageWindow* w : pageWindows())
        w->canvas()->setGrid(size, m_settings->gridShown(), m_settings->snap());
}

void MainWindow::showZoom() {
    if (PageCanvas* c = canvas()) {
        m_zoomBox->setCurrentIndex(c->zoom() - 1);
        m_module->dock()->setZoom(c->zoom());
    }
}

void MainWindow::pageChanged(CLedDoc* page) {
    for (PageWindow* w : pageWindows()) {
        if (w->page() != page) continue;
        w->refresh();
        if (auto* tree = qobject_cast<TreeWindow*>(w->treeWindow())) {
            tree->tree()->refill();
            tree->setWindowTitle(tr("%1 指令集").arg(QString::fromStdString(page->m_strTitle)));
        }
    }
    updateActions();
}

QString MainWindow::chooseFile(const FileQuestion& q) {
    return AskFile(m_chooser, this, q);
}

WorkspaceUi MainWindow::workspaceUi() {
    return m_projectCommands->workspaceUi();
}

PageController::Dialogs MainWindow::canvasDialogs(CLedDoc* page) {
    PageController::Dialogs dialogs;
    dialogs.choosePicture = [this](std::string& path) {
        path = Utf8(chooseFile({tr("Open bitmap file"),
                                tr("图片文件(*.bmp *.gif *.jpg *.png);;BMP files(*.bmp);;GIF "
                                   "files(*.gif);;JPEG files(*.jpg);;PNG files(*.png)"),
                                {},
                                {},
                                false}));
        return !path.empty();
    };
    const FillDialog palette =
        ::FillColourDialog::callback(this, [page] { return page->m_nColours; });
    dialogs.fillColours = [this, page, palette](FillChoice& choice) {
        return m_fillDialog ? m_fillDialog(*page, choice) : palette(choice);
    };
    return dialogs;
}

void MainWindow::openPage() {
    const QString path = chooseFile(
        {tr("打开Led页面文件"), tr("Led Page Files(*.pg)"), QStringLiteral("pg"), {}, false});
    if (!path.isEmpty()) openPath(path);
}

void MainWindow::exportPage(CLedDoc* page) {
    page->ExportBinary(
        [this, page](std::string& path) {
            const QString name =
                QFileInfo(QString::fromStdString(page->m_strTitle)).completeBaseName();
            path = Utf8(chooseFile({tr("导出页面"),
                                    tr("Binary Files(*.bin)"),
                                    {},
                                    name + QStringLiteral(".bin"),
                                    true}));
            return !path.empty();
        },
        m_workspace.Settings());
}

QString MainWindow::manualPath() {
    const char* name = Messages::Current() == Language::English ? "manual.en.html" : "manual.html";
    const std::string path = AppPaths::FindIn({AppPaths::DataDir(), LCD_BUILD_DATA_DIR}, name);
    return QString::fromStdString(path);
}

void MainWindow::showHelp() {
    const QString path = manualPath();
    if (path.isEmpty()) {
        QMessageBox::information(this, tr("提示"),
                                 tr("找不到使用手册 manual.html：请检查 lcdscreen 的安装。"));
        return;
    }
    if (!m_help) m_help = new HelpWindow(path, this);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

bool MainWindow::openPath(const QString& path) {
    bool ok = false;
    CLedDoc* page = nullptr;
    if (path.endsWith(QStringLiteral(".zkp"))) {
        WorkspaceUi ui;
        ui.projectFile = [&path](std::string& chosen) {
            chosen = Utf8(path);
            return true;
        };
        ok = m_workspace.OpenProject(ui);
        if (ok) remember(EditorSettings::Recent::Projects, Utf8(path));
    } else {
        page = m_workspace.OpenPage(Utf8(path));
        ok = page != nullptr;
        if (ok) remember(EditorSettings::Recent::Pages, Utf8(path));
    }
    syncWindows();
    if (page) {
        for (PageWindow* w : pageWindows())
            if (w->page() == page) m_mdi->setActiveSubWindow(w);
    }
    return ok;
}

void MainWindow::syncWindows() {
    const auto& pages = m_workspace.Pages();
    auto isOpen = [&pages](CLedDoc* page) {
        return std::any_of(pages.begin(), pages.end(),
                           [page](const auto& p) { return p.get() == page; });
    };
    for (PageWindow* w : pageWindows()) {
        if (isOpen(w->page())) continue;
        w->detach();
        if (w->treeWindow()) w->treeWindow()->close();
        w->discard();
    }
    for (const auto& p : pages) {
        const QList<PageWindow*> windows = pageWindows();
        if (std::none_of(windows.begin(), windows.end(),
                         [&p](PageWindow* w) { return w->page() == p.get(); }))
            openWindow(p.get());
        // A page read anew may sit where a closed one was: its windows follow it.
        pageChanged(p.get());
    }
    updateActions();
}

PageWindow* MainWindow::openWindow(CLedDoc* page) {
    page->SetUndoLimits({m_settings->undoSteps(), CLedDoc::UndoLimits{}.bytes});
    auto* window = new PageWindow(page, m_defaultZoom);
    window->setCloser([this](PageWindow* w) { return closeWindow(w); });
    window->edit(m_workspace.Bitmaps(), canvasDialogs(page));
    window->canvas()->setGrid(m_settings->gridSize(), m_settings->gridShown(), m_settings->snap());
    connect(window, &PageWindow::stateChanged, this, &MainWindow::updateActions);
    connect(window, &PageWindow::propertyPanelRequested, this, &MainWindow::propertyPanelRequested);
    connect(window->canvas(), &PageCanvas::coordinatesChanged, m_coordinates, &QLabel::setText);
    connect(window->canvas(), &PageCanvas::zoomChanged, this, &MainWindow::showZoom);
    m_mdi->addSubWindow(window);
    window->show();
    m_mdi->setActiveSubWindow(window);
    return window;
}

bool MainWindow::choosePageFile(const CLedDoc& page, std::string& path) {
    path = Utf8(chooseFile({tr("保存Lcd页面文件"), tr("Lcd Page Files(*.pg)"), QStringLiteral("pg"),
                            QString::fromStdString(page.m_strTitle), true}));
    return !path.empty();
}

bool MainWindow::closeWindow(PageWindow* window) {
    CLedDoc* page = window->page();
    const QList<PageWindow*> windows = pageWindows();
    const bool last = std::count_if(windows.begin(), windows.end(),
                                    [page](PageWindow* w) { return w->page() == page; }) == 1;
    if (last) {
        if (!m_workspace.ClosePage(page)) return false;
        window->detach();
    }
    if (window->treeWindow()) window->treeWindow()->close();
    // The page's bars follow the window in front (PropertyPanels); the palette stays as
    // the user left it while pages are open.
    return true;
}

void MainWindow::toggleTree(PageWindow* window) {
    if (window->treeWindow()) {
        window->treeWindow()->close();
        return;
    }
    auto* tree = new TreeWindow(window);
    window->setTreeWindow(tree);
    connect(tree->tree(), &InstructionTree::linesClicked, this, [this, tree] {
        for (PageWindow* w : pageWindows())
            if (w->page() == tree->tree()->page()) w->canvas()->setToolCommand(Cmd::SelectTool);
    });
    // Queued: a widget's destroyed() comes while its pointer still reads as live (and no
    // longer as a sub-window), so the actions are read again once it has gone.
    connect(tree, &QObject::destroyed, this, &MainWindow::updateActions, Qt::QueuedConnection);
    m_mdi->addSubWindow(tree);
    tree->show();
}

void MainWindow::savePage(CLedDoc* page) {
    std::string path = m_workspace.FileOf(*page);
    if (path.empty()) {
        path = Utf8(
            chooseFile({tr("保存Lcd页面文件"), tr("Lcd Page Files(*.pg)"), QStringLiteral("pg"),
                        QString::fromStdString(page->m_strTitle), true}));
        if (path.empty()) return;
        page->m_strTitle = Utf8(QFileInfo(QString::fromStdString(path)).fileName());
    }
    std::string error;
    if (!page->SaveFile(path, error)) {
        m_messenger.Tell(error, "提示");
        return;
    }
    if (page->m_strPath.empty()) page->m_strPath = path;
    if (!page->m_bInProject) remember(EditorSettings::Recent::Pages, path);
    pageChanged(page);
}

void MainWindow::cascade() {
    // Each window one title bar lower and further right than the one behind it, so that
    // every title stays in sight; the windows keep their size.
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 6;
    int k = 0;
    QMdiSubWindow* active = m_mdi->activeSubWindow();
    for (QMdiSubWindow* w : m_mdi->subWindowList(QMdiArea::StackingOrder)) {
        if (w->isMinimized() || !w->isVisible()) continue;
        if (w->isMaximized()) w->showNormal();
        w->move(k * step, k * step);
        w->raise();
        ++k;
    }
    if (active) m_mdi->setActiveSubWindow(active);
}

void MainWindow::arrangeIcons() {
    // Minimised windows line up along the bottom edge, left to right.
    int x = 0;
    for (QMdiSubWindow* w : m_mdi->subWindowList()) {
        if (!w->isMinimized()) continue;
        w->move(x, m_mdi->viewport()->height() - w->height());
        x += w->width();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A transfer stops first; its worker is joined within the stop budget.
    if (!m_module->stop()) {
        event->ignore();
        return;
    }
    // Every modified page is asked about before any window closes: Cancel leaves all as it was.
    if (!m_workspace.OfferToSaveModified()) {
        event->ignore();
        return;
    }
    for (PageWindow* w : pageWindows()) {
        w->detach();
        if (w->treeWindow()) w->treeWindow()->close();
        w->discard();
    }
    if (m_workspace.GetProject().open) m_workspace.WriteProjectFile();
    m_workspace.CloseAllPages();
    if (m_help) m_help->close();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        const QString path = url.toLocalFile();
        if (path.endsWith(QStringLiteral(".pg")) || path.endsWith(QStringLiteral(".zkp")))
            openPath(path);
        else
            m_messenger.Tell(Utf8(path.isEmpty() ? url.toString() : path), "提示");
    }
    event->acceptProposedAction();
}
