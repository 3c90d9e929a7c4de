#include "ui/MainWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
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
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <algorithm>

#include "base/AppPaths.h"
#include "project/CLedDoc.h"
#include "ui/Commands.h"
#include "ui/InstructionTree.h"
#include "ui/LinkCommands.h"
#include "ui/ModuleLink.h"
#include "ui/PageCanvas.h"
#include "ui/PageWindow.h"
#include "ui/ProjectCommands.h"
#include "ui/VirtualModuleDock.h"
#include "ui/dialogs/FillColourDialog.h"
#include "ui/panels/PropertyPanels.h"

#ifndef LCD_BUILD_DATA_DIR
#define LCD_BUILD_DATA_DIR ""
#endif

namespace {

enum Flags : unsigned { kPlain = 0, kCheckable = 1, kNeedsPage = 2 };

struct CommandDef {
    int id;
    const char* text;
    const char* icon;  // resources/icons/<icon>.svg, or null
    unsigned flags;
};

// Every command: its label (the menu text where it has one), its icon, and whether it is
// a check button, needs an open page, or belongs to a part of the program still to come.
const CommandDef kCommands[] = {
    {Cmd::NewProject, QT_TRANSLATE_NOOP("MainWindow", "新建工程(&N)"), "new-project", kPlain},
    {Cmd::OpenProject, QT_TRANSLATE_NOOP("MainWindow", "打开工程(&O)"), "open-project", kPlain},
    {Cmd::SaveProject, QT_TRANSLATE_NOOP("MainWindow", "保存工程(&S)"), "save-project", kPlain},
    {Cmd::CloseProject, QT_TRANSLATE_NOOP("MainWindow", "关闭工程(&X)"), nullptr, kPlain},
    {Cmd::ManageProject, QT_TRANSLATE_NOOP("MainWindow", "工程管理(&M)"), "manage-project", kPlain},
    {Cmd::NewPage, QT_TRANSLATE_NOOP("MainWindow", "新建页面(&N)"), "new-page", kPlain},
    {Cmd::OpenPage, QT_TRANSLATE_NOOP("MainWindow", "打开页面(&O)"), "open-page", kPlain},
    {Cmd::SavePage, QT_TRANSLATE_NOOP("MainWindow", "保存页面(&S)"), "save-page", kNeedsPage},
    {Cmd::ExportPage, QT_TRANSLATE_NOOP("MainWindow", "导出页面(&E)"), "export-page", kNeedsPage},
    {Cmd::ImportPage, QT_TRANSLATE_NOOP("MainWindow", "导入页面(&I)"), "import-page", kNeedsPage},
    {Cmd::DeletePage, QT_TRANSLATE_NOOP("MainWindow", "删除页面(&D)"), "delete-page", kNeedsPage},
    {Cmd::ConvertPage, QT_TRANSLATE_NOOP("MainWindow", "页面转换"), nullptr, kNeedsPage},
    {Cmd::Exit, QT_TRANSLATE_NOOP("MainWindow", "退出(&E)"), nullptr, kPlain},
    {Cmd::Undo, QT_TRANSLATE_NOOP("MainWindow", "撤消(&U)"), "undo", kNeedsPage},
    {Cmd::Redo, QT_TRANSLATE_NOOP("MainWindow", "重做"), "redo", kNeedsPage},
    {Cmd::DeleteItem, QT_TRANSLATE_NOOP("MainWindow", "删除图元(&D)"), "delete-item", kNeedsPage},
    {Cmd::ViewToolbar, QT_TRANSLATE_NOOP("MainWindow", "工具栏(&T)"), nullptr, kCheckable},
    {Cmd::ViewStatusBar, QT_TRANSLATE_NOOP("MainWindow", "状态栏(&S)"), nullptr, kCheckable},
    {Cmd::Palette, QT_TRANSLATE_NOOP("MainWindow", "调色板(&P)"), "palette", kCheckable},
    {Cmd::Toolbox, QT_TRANSLATE_NOOP("MainWindow", "画笔工具箱(&B)"), "toolbox", kCheckable},
    {Cmd::Properties, QT_TRANSLATE_NOOP("MainWindow", "显示或关闭属性页"), "properties",
     kCheckable | kNeedsPage},
    {Cmd::InstructionTree, QT_TRANSLATE_NOOP("MainWindow", "指令集"), "instruction-tree",
     kCheckable | kNeedsPage},
    {Cmd::NewWindow, QT_TRANSLATE_NOOP("MainWindow", "新建窗口(&N)"), nullptr, kNeedsPage},
    {Cmd::Cascade, QT_TRANSLATE_NOOP("MainWindow", "层叠(&C)"), nullptr, kNeedsPage},
    {Cmd::Tile, QT_TRANSLATE_NOOP("MainWindow", "平铺(&T)"), nullptr, kNeedsPage},
    {Cmd::ArrangeIcons, QT_TRANSLATE_NOOP("MainWindow", "排列图标(&A)"), nullptr, kNeedsPage},
    {Cmd::EditDevices, QT_TRANSLATE_NOOP("MainWindow", "设备编辑(&E)"), nullptr, kPlain},
    {Cmd::LinkSettings, QT_TRANSLATE_NOOP("MainWindow", "设置通信方式"), "link-settings", kPlain},
    {Cmd::UpgradeCpu, QT_TRANSLATE_NOOP("MainWindow", "升级CPU程序"), "upgrade-cpu", kPlain},
    {Cmd::ShowPage, QT_TRANSLATE_NOOP("MainWindow", "显示当前页面"), "show-page", kNeedsPage},
    {Cmd::SendFont, QT_TRANSLATE_NOOP("MainWindow", "传送字库"), "send-font", kPlain},
    {Cmd::SendFile, QT_TRANSLATE_NOOP("MainWindow", "发送文件"), "send-file", kPlain},
    {Cmd::BitmapData, QT_TRANSLATE_NOOP("MainWindow", "提取位图数据"), "bitmap-data", kPlain},
    {Cmd::About, QT_TRANSLATE_NOOP("MainWindow", "关于 lcd(&A)..."), "about", kPlain},
    {Cmd::Help, QT_TRANSLATE_NOOP("MainWindow", "帮助(F1)"), nullptr, kPlain},
    {Cmd::Upgrade, QT_TRANSLATE_NOOP("MainWindow", "升级(&U)"), nullptr, kPlain},
    {Cmd::VirtualModule, QT_TRANSLATE_NOOP("MainWindow", "虚拟模块(&M)"), "virtual-module",
     kCheckable},
    {Cmd::SelectTool, QT_TRANSLATE_NOOP("MainWindow", "图元选择工具"), "select", kCheckable},
    {Cmd::SelectMany, QT_TRANSLATE_NOOP("MainWindow", "选择多个图形"), "select-many", kPlain},
    {Cmd::LineTool, QT_TRANSLATE_NOOP("MainWindow", "直线工具"), "line", kCheckable},
    {Cmd::TextTool, QT_TRANSLATE_NOOP("MainWindow", "文字工具"), "text", kCheckable},
    {Cmd::HollowRect, QT_TRANSLATE_NOOP("MainWindow", "空心矩形"), "rect-hollow", kCheckable},
    {Cmd::SolidRect, QT_TRANSLATE_NOOP("MainWindow", "实心矩形"), "rect-solid", kCheckable},
    {Cmd::HollowEllipse, QT_TRANSLATE_NOOP("MainWindow", "空心椭圆"), "ellipse-hollow", kCheckable},
    {Cmd::SolidEllipse, QT_TRANSLATE_NOOP("MainWindow", "实心椭圆"), "ellipse-solid", kCheckable},
    {Cmd::HollowCircle, QT_TRANSLATE_NOOP("MainWindow", "空心圆"), "circle-hollow", kCheckable},
    {Cmd::SolidCircle, QT_TRANSLATE_NOOP("MainWindow", "实心圆"), "circle-solid", kCheckable},
    {Cmd::PolylineTool, QT_TRANSLATE_NOOP("MainWindow", "折线"), "polyline", kCheckable},
    {Cmd::PolygonTool, QT_TRANSLATE_NOOP("MainWindow", "多边形工具"), "polygon", kCheckable},
    {Cmd::FillTool, QT_TRANSLATE_NOOP("MainWindow", "油漆桶"), "fill", kCheckable},
    {Cmd::PieTool, QT_TRANSLATE_NOOP("MainWindow", "扇形工具"), "pie", kCheckable},
    {Cmd::ArcTool, QT_TRANSLATE_NOOP("MainWindow", "圆弧工具"), "arc", kCheckable},
    {Cmd::BitmapTool, QT_TRANSLATE_NOOP("MainWindow", "位图工具"), "bitmap", kCheckable},
    {Cmd::ButtonTool, QT_TRANSLATE_NOOP("MainWindow", "添加一个按钮"), "button", kCheckable},
    {Cmd::InputBoxTool, QT_TRANSLATE_NOOP("MainWindow", "添加输入框"), "input-box", kCheckable},
    {Cmd::NumberTool, QT_TRANSLATE_NOOP("MainWindow", "数字控件"), "number", kCheckable},
    {Cmd::AnimationTool, QT_TRANSLATE_NOOP("MainWindow", "动画控件"), "animation", kCheckable},
};

struct MenuDef {
    const char* title;
    std::vector<int> commands;  // Cmd::None: a separator
};

// Without a page window.
const MenuDef kNoPageMenus[] = {
    {QT_TRANSLATE_NOOP("MainWindow", "文件(&F)"),
     {Cmd::NewProject, Cmd::OpenProject, Cmd::None, Cmd::Exit}},
    {QT_TRANSLATE_NOOP("MainWindow", "页面(&P)"), {Cmd::NewPage, Cmd::OpenPage}},
    {QT_TRANSLATE_NOOP("MainWindow", "查看(&V)"),
     {Cmd::ViewToolbar, Cmd::ViewStatusBar, Cmd::VirtualModule}},
    {QT_TRANSLATE_NOOP("MainWindow", "系统(&S)"),
     {Cmd::EditDevices, Cmd::LinkSettings, Cmd::UpgradeCpu}},
    {QT_TRANSLATE_NOOP("MainWindow", "帮助(&H)"), {Cmd::About, Cmd::Help, Cmd::Upgrade}},
};

// With a page window open.
const MenuDef kPageMenus[] = {
    {QT_TRANSLATE_NOOP("MainWindow", "工程(&P)"),
     {Cmd::NewProject, Cmd::SaveProject, Cmd::CloseProject, Cmd::ManageProject, Cmd::None,
      Cmd::Exit}},
    {QT_TRANSLATE_NOOP("MainWindow", "页面"),
     {Cmd::NewPage, Cmd::OpenPage, Cmd::SavePage, Cmd::ExportPage, Cmd::ImportPage, Cmd::DeletePage,
      Cmd::ConvertPage}},
    {QT_TRANSLATE_NOOP("MainWindow", "编辑(&E)"), {Cmd::Undo, Cmd::DeleteItem}},
    {QT_TRANSLATE_NOOP("MainWindow", "查看(&V)"),
     {Cmd::ViewToolbar, Cmd::ViewStatusBar, Cmd::Palette, Cmd::Toolbox, Cmd::VirtualModule}},
    {QT_TRANSLATE_NOOP("MainWindow", "窗口(&W)"),
     {Cmd::NewWindow, Cmd::Cascade, Cmd::Tile, Cmd::ArrangeIcons}},
    {QT_TRANSLATE_NOOP("MainWindow", "帮助(&H)"), {Cmd::About, Cmd::Help}},
};

const int kProjectBar[] = {Cmd::NewProject, Cmd::OpenProject, Cmd::SaveProject, Cmd::ManageProject,
                           Cmd::NewPage,    Cmd::None,        Cmd::OpenPage,    Cmd::SavePage,
                           Cmd::ExportPage, Cmd::None,        Cmd::ImportPage,  Cmd::DeletePage,
                           Cmd::None,       Cmd::DeleteItem,  Cmd::None,        Cmd::Undo,
                           Cmd::Redo,       Cmd::ShowPage,    Cmd::SendFont,    Cmd::SendFile,
                           Cmd::BitmapData, Cmd::UpgradeCpu};
const int kToolbox[] = {
    Cmd::SelectTool,   Cmd::SelectMany,   Cmd::LineTool,      Cmd::TextTool,
    Cmd::HollowRect,   Cmd::SolidRect,    Cmd::HollowEllipse, Cmd::SolidEllipse,
    Cmd::HollowCircle, Cmd::SolidCircle,  Cmd::PolylineTool,  Cmd::PolygonTool,
    Cmd::FillTool,     Cmd::PieTool,      Cmd::ArcTool,       Cmd::BitmapTool,
    Cmd::ButtonTool,   Cmd::InputBoxTool, Cmd::NumberTool,    Cmd::AnimationTool};
const int kViewBar[] = {Cmd::Palette, Cmd::Properties, Cmd::InstructionTree, Cmd::Toolbox};
const int kLinkBar[] = {Cmd::LinkSettings, Cmd::VirtualModule, Cmd::About};

const char* const kDockTitles[MainWindow::kDockCount] = {
    QT_TRANSLATE_NOOP("MainWindow", "页面属性"), QT_TRANSLATE_NOOP("MainWindow", "颜色代码："),
    QT_TRANSLATE_NOOP("MainWindow", "直线"),     QT_TRANSLATE_NOOP("MainWindow", "文字"),
    QT_TRANSLATE_NOOP("MainWindow", "圆"),       QT_TRANSLATE_NOOP("MainWindow", "圆弧"),
    QT_TRANSLATE_NOOP("MainWindow", "数字控件"), QT_TRANSLATE_NOOP("MainWindow", "动画控件"),
    QT_TRANSLATE_NOOP("MainWindow", "两点图元"),
};

bool IsTool(int command) {
    return std::find(std::begin(kToolbox), std::end(kToolbox), command) != std::end(kToolbox);
}

// "保存页面(&S)" -> "保存页面"; "关于 lcd(&A)..." -> "关于 lcd".
QString PlainLabel(QString text) {
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    text.remove(QStringLiteral("..."));
    return text.remove(QLatin1Char('&'));
}

std::string Utf8(const QString& s) {
    return s.toStdString();
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), m_messenger(this), m_workspace(m_messenger) {
    setWindowTitle(QStringLiteral("lcdscreen"));
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
    createActions();
    createMenus();
    createToolBars();
    createStatusBar();
    createDocks();
    new PropertyPanels(this);
    m_projectCommands = new ProjectCommands(*this);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] {
        showZoom();
        updateActions();
    });
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
    // The pages go with the workspace; their windows must not outlive them.
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        delete w;
}

void MainWindow::createActions() {
    auto* tools = new QActionGroup(this);
    for (const CommandDef& def : kCommands) {
        auto* a = new QAction(tr(def.text), this);
        a->setData(def.id);
        if (def.icon) a->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(def.icon)));
        const QString label = PlainLabel(tr(def.text));
        a->setToolTip(label);
        a->setStatusTip(label);
        a->setCheckable(def.flags & kCheckable);
        if (IsTool(def.id)) tools->addAction(a);
        connect(a, &QAction::triggered, this, [this, id = def.id] { runCommand(id); });
        m_actions.insert(def.id, a);
    }
    // "选择多个图形" is the selection tool under another button, without a check of its own.
    tools->removeAction(action(Cmd::SelectMany));
    action(Cmd::SavePage)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    action(Cmd::Undo)->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    action(Cmd::Redo)->setShortcuts(QKeySequence::Redo);
    action(Cmd::Help)->setShortcut(QKeySequence(Qt::Key_F1));
    // F6 and Shift+F6 move between the windows.
    auto* next = new QAction(this);
    next->setShortcut(QKeySequence(Qt::Key_F6));
    connect(next, &QAction::triggered, m_mdi, &QMdiArea::activateNextSubWindow);
    auto* previous = new QAction(this);
    previous->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    connect(previous, &QAction::triggered, m_mdi, &QMdiArea::activatePreviousSubWindow);
    // Zoom of the page in front: Ctrl + plus / minus.
    auto* zoomIn = new QAction(this);
    zoomIn->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    auto* zoomOut = new QAction(this);
    zoomOut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    for (auto [a, step] : {std::pair{zoomIn, 1}, std::pair{zoomOut, -1}}) {
        connect(a, &QAction::triggered, this, [this, delta = step] {
            if (PageWindow* w = activePageWindow())
                w->canvas()->setZoom(w->canvas()->zoom() + delta);
        });
    }
    addActions({next, previous, zoomIn, zoomOut});
}

void MainWindow::createMenus() {
    auto build = [this](const auto& defs, QList<QMenu*>& menus) {
        for (const MenuDef& def : defs) {
            auto* menu = new QMenu(tr(def.title), this);
            for (int id : def.commands) {
                if (id == Cmd::None)
                    menu->addSeparator();
                else
                    menu->addAction(action(id));
            }
            menus.append(menu);
        }
    };
    build(kNoPageMenus, m_noPageMenus);
    build(kPageMenus, m_pageMenus);
    m_pageMenusShown = true;
    showMenus(false);
}

void MainWindow::showMenus(bool pageOpen) {
    if (pageOpen == m_pageMenusShown) return;
    m_pageMenusShown = pageOpen;
    menuBar()->clear();
    for (QMenu* menu : pageOpen ? m_pageMenus : m_noPageMenus)
        menuBar()->addMenu(menu);
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
        if (PageWindow* w = activePageWindow())
            w->canvas()->setZoom(m_zoomBox->itemData(index).toInt());
    });
    m_linkBar = addToolBar(tr("通信"));
    m_linkBar->setObjectName(QStringLiteral("linkBar"));
    fill(m_linkBar, kLinkBar);

    // The drawing toolbox: two buttons to a row while it stands upright.
    m_toolbox = new QToolBar(tr("画笔工具箱"), this);
    m_toolbox->setObjectName(QStringLiteral("toolbox"));
    auto* grid = new QWidget;
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QList<QToolButton*> buttons;
    for (int id : kToolbox) {
        auto* button = new QToolButton;
        button->setDefaultAction(action(id));
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
    for (QToolBar* bar : {m_projectBar, m_viewBar, m_linkBar, m_toolbox}) {
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

void MainWindow::updateActions() {
    if (m_destroying) return;
    PageWindow* window = activePageWindow();
    CLedDoc* page = window ? window->page() : nullptr;
    const Workspace::Project& project = m_workspace.GetProject();
    showMenus(window != nullptr);
    for (const CommandDef& def : kCommands) {
        if (def.flags & kNeedsPage) action(def.id)->setEnabled(page != nullptr);
    }
    action(Cmd::ConvertPage)->setEnabled(page && !page->m_bInProject);
    action(Cmd::ManageProject)->setEnabled(project.open);
    if (page) {
        action(Cmd::SavePage)->setEnabled(page->m_bModified);
        action(Cmd::ImportPage)->setEnabled(!page->m_bInProject);
        action(Cmd::DeletePage)->setEnabled(project.open && page->m_bInProject);
        action(Cmd::Undo)->setEnabled(page->CanUndo());
        action(Cmd::Redo)->setEnabled(page->CanRedo());
        const int sel = page->m_nSelType;
        action(Cmd::DeleteItem)->setEnabled(sel != -1 && sel != 19 && sel != 20);
    }
    for (int id : kToolbox) {
        action(id)->setEnabled(page != nullptr);
        if (action(id)->isCheckable())
            action(id)->setChecked(window && window->canvas()->toolCommand() == id);
    }
    action(Cmd::Properties)->setChecked(window && window->showProperties());
    action(Cmd::InstructionTree)->setChecked(window && window->treeWindow());
    action(Cmd::ViewToolbar)->setChecked(!m_projectBar->isHidden());
    action(Cmd::ViewStatusBar)->setChecked(!statusBar()->isHidden());
    action(Cmd::Toolbox)->setChecked(!m_toolbox->isHidden());
    action(Cmd::Palette)->setChecked(!dock(Dock::Palette)->isHidden());
    action(Cmd::VirtualModule)->setChecked(!m_module->dock()->isHidden());
    m_zoomBox->setEnabled(window != nullptr);
}

void MainWindow::showZoom() {
    if (PageWindow* w = activePageWindow()) {
        m_zoomBox->setCurrentIndex(w->canvas()->zoom() - 1);
        m_module->dock()->setZoom(w->canvas()->zoom());
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

void MainWindow::runCommand(int command) {
    PageWindow* window = activePageWindow();
    CLedDoc* page = window ? window->page() : nullptr;
    if (IsTool(command) || command == Cmd::SelectMany) {
        if (window)
            window->canvas()->setToolCommand(command == Cmd::SelectMany ? Cmd::SelectTool
                                                                        : command);
        updateActions();
        return;
    }
    if (m_link->run(command)) {
        updateActions();
        return;
    }
    if (m_projectCommands->run(command)) {
        updateActions();
        return;
    }
    switch (command) {
        case Cmd::OpenProject:
            m_workspace.OpenProject(workspaceUi());
            syncWindows();
            break;
        case Cmd::SaveProject:
            m_workspace.SaveProject();
            for (const auto& p : m_workspace.Pages())
                pageChanged(p.get());
            break;
        case Cmd::CloseProject:
            m_workspace.CloseProject();
            syncWindows();
            break;
        case Cmd::NewPage:
            m_workspace.NewPage(workspaceUi());
            syncWindows();
            break;
        case Cmd::OpenPage: {
            const QString path = chooseFile({tr("打开Led页面文件"),
                                             tr("Led Page Files(*.pg)"),
                                             QStringLiteral("pg"),
                                             {},
                                             false});
            if (!path.isEmpty()) openPath(path);
            break;
        }
        case Cmd::SavePage:
            if (page) savePage(page);
            break;
        case Cmd::ExportPage:
            if (!page) break;
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
            break;
        case Cmd::ImportPage:
            if (!page) break;
            m_workspace.ImportIntoProject(page, workspaceUi());
            pageChanged(page);
            break;
        case Cmd::DeletePage:
            if (page && m_workspace.DeletePage(page)) syncWindows();
            break;
        case Cmd::Exit:
            close();
            break;
        case Cmd::Undo:
            if (window) window->canvas()->undo();
            break;
        case Cmd::Redo:
            if (window) window->canvas()->redo();
            break;
        case Cmd::DeleteItem:
            if (window) window->canvas()->deleteSelection();
            break;
        case Cmd::ViewToolbar:
            m_projectBar->setVisible(m_projectBar->isHidden());
            break;
        case Cmd::ViewStatusBar:
            statusBar()->setVisible(statusBar()->isHidden());
            break;
        case Cmd::Palette:
            dock(Dock::Palette)->setVisible(dock(Dock::Palette)->isHidden());
            break;
        case Cmd::Toolbox:
            m_toolbox->setVisible(m_toolbox->isHidden());
            break;
        case Cmd::Properties:
            if (window) window->setShowProperties(!window->showProperties());
            break;
        case Cmd::InstructionTree:
            if (window) toggleTree(window);
            break;
        case Cmd::NewWindow:
            if (page) openWindow(page);
            break;
        case Cmd::Cascade:
            m_mdi->cascadeSubWindows();
            break;
        case Cmd::Tile:
            m_mdi->tileSubWindows();
            break;
        case Cmd::ArrangeIcons:
            arrangeIcons();
            break;
        case Cmd::About:
            QMessageBox::about(this, tr("关于 lcdscreen"),
                               tr("<b>lcdscreen</b> %1<p>液晶屏画面编辑与下载程序</p>")
                                   .arg(QApplication::applicationVersion()));
            break;
        case Cmd::Help: {
            const QString path = manualPath();
            if (path.isEmpty() || !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
                QMessageBox::information(this, tr("提示"),
                                         tr("无法打开帮助文件 manual.html：请检查安装。"));
            break;
        }
        case Cmd::Upgrade:
            QMessageBox::information(this, tr("提示"),
                                     tr("请通过系统的软件包管理器升级 lcdscreen。"));
            break;
        default:
            break;
    }
    updateActions();
}

QString MainWindow::manualPath() {
    const std::string path =
        AppPaths::FindIn({AppPaths::DataDir(), LCD_BUILD_DATA_DIR}, "manual.html");
    return QString::fromStdString(path);
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
    } else {
        page = m_workspace.OpenPage(Utf8(path));
        ok = page != nullptr;
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
    auto* window = new PageWindow(page, m_defaultZoom);
    window->setCloser([this](PageWindow* w) { return closeWindow(w); });
    window->edit(m_workspace.Bitmaps(), canvasDialogs(page));
    connect(window, &PageWindow::stateChanged, this, &MainWindow::updateActions);
    connect(window, &PageWindow::propertyPanelRequested, this, &MainWindow::propertyPanelRequested);
    connect(window->canvas(), &PageCanvas::coordinatesChanged, m_coordinates, &QLabel::setText);
    connect(window->canvas(), &PageCanvas::zoomChanged, this, &MainWindow::showZoom);
    m_mdi->addSubWindow(window);
    window->show();
    m_mdi->setActiveSubWindow(window);
    return window;
}

bool MainWindow::closeWindow(PageWindow* window) {
    CLedDoc* page = window->page();
    const QList<PageWindow*> windows = pageWindows();
    const bool last = std::count_if(windows.begin(), windows.end(),
                                    [page](PageWindow* w) { return w->page() == page; }) == 1;
    if (last) {
        const auto saveAs = [this, page](std::string& path) {
            path = Utf8(
                chooseFile({tr("保存Lcd页面文件"), tr("Lcd Page Files(*.pg)"), QStringLiteral("pg"),
                            QString::fromStdString(page->m_strTitle), true}));
            return !path.empty();
        };
        if (!m_workspace.ClosePage(page, saveAs)) return false;
        window->detach();
    }
    if (window->treeWindow()) window->treeWindow()->close();
    // The bars of the page and its items go with the window.
    for (QDockWidget* d : m_docks)
        d->hide();
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
    pageChanged(page);
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
    m_mdi->closeAllSubWindows();
    if (!pageWindows().isEmpty()) {
        event->ignore();
        return;
    }
    if (m_workspace.GetProject().open) m_workspace.WriteProjectFile();
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
