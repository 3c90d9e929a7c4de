#include <QClipboard>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDockWidget>
#include <QDropEvent>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTranslator>
#include <set>

#include "app/Startup.h"
#include "base/Messages.h"
#include "edit/ItemClipboard.h"
#include "project/CLedDoc.h"
#include "support/ModalAnswerer.h"
#include "ui/Commands.h"
#include "ui/InstructionTree.h"
#include "ui/MainWindow.h"
#include "ui/PageCanvas.h"
#include "ui/PageWindow.h"
#include "ui/ProjectCommands.h"
#include "ui/UiTest.h"

namespace {

// Every action of a menu or of the menu bar, submenus included.
QList<QAction*> MenuActions(QWidget* menu) {
    QList<QAction*> all;
    for (QAction* a : menu->actions())
        all += a->menu() ? MenuActions(a->menu()) : QList<QAction*>{a};
    return all;
}

// The entry of the menu bar that carries `command`.
QAction* MenuEntry(MainWindow& w, int command) {
    for (QAction* a : MenuActions(w.menuBar()))
        if (a->data().toInt() == command && !a->isSeparator()) return a;
    return nullptr;
}

// The demo's page `name`, selected whole (Ctrl+A) in a fresh window of `w`, which is made
// the active window so that its shortcuts work.
PageWindow* OpenSelected(MainWindow& w, const DemoCopy& demo, const QString& name) {
    w.show();
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w)) return nullptr;
    w.openPath(demo.path(name));
    PageWindow* window = w.pageWindows().constLast();
    w.mdiArea()->setActiveSubWindow(window);
    QTest::keyClick(window->canvas(), Qt::Key_A, Qt::ControlModifier);
    return window;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    // One menu bar in every state: every command of the window has its entry, every entry
    // and every toolbar button a tip with its name and shortcut; commands that cannot
    // work are disabled, not hidden.
    void everyCommandHasAMenuEntry() {
        DemoCopy demo;
        MainWindow w;
        for (bool page : {false, true}) {
            if (page) QVERIFY(w.openPath(demo.path("main.pg")));
            QCOMPARE(w.menuBar()->actions().size(), 8);
            QStringList missing;
            for (QAction* a : w.findChildren<QAction*>()) {
                const int id = a->data().toInt();
                if (id <= 0 || a->parent() != &w) continue;
                if (!MenuEntry(w, id)) missing.append(a->text());
                QVERIFY2(!a->toolTip().isEmpty(), qPrintable(a->text()));
                if (!a->shortcut().isEmpty())
                    QVERIFY2(
                        a->toolTip().contains(a->shortcut().toString(QKeySequence::NativeText)),
                        qPrintable(a->toolTip()));
            }
            QCOMPARE(missing, QStringList());
            QCOMPARE(MenuEntry(w, Cmd::EditDevices)->isEnabled(), true);
            QCOMPARE(MenuEntry(w, Cmd::ShowPage)->isEnabled(), page);
        }
        QCOMPARE(MenuEntry(w, Cmd::Redo)->shortcuts(),
                 (QList<QKeySequence>{QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")}));
        for (QToolBar* bar : w.findChildren<QToolBar*>())
            for (QToolButton* b : bar->findChildren<QToolButton*>())
                if (b->defaultAction()) QVERIFY(!b->toolTip().isEmpty());
        QVERIFY(w.windowTitle().startsWith("main.pg"));
        // Every icon draws (a file Qt cannot read would leave a button blank).
        for (const QString& name : QDir(":/icons").entryList())
            QVERIFY2(!QIcon(":/icons/" + name).pixmap(24, 24).isNull(), qPrintable(name));
    }

    void opening_data() {
        QTest::addColumn<bool>("dropped");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("windows");
        QTest::addColumn<bool>("project");
        QTest::addColumn<int>("messages");
        QTest::newRow("command line: nothing") << false << "" << 0 << false << 0;
        QTest::newRow("command line: project") << false << "demo.zkp" << 5 << true << 0;
        QTest::newRow("command line: page") << false << "main.pg" << 1 << false << 0;
        // Only ".zkp" names a project; "DEMO.ZKP" is read as a page and refused.
        QTest::newRow("command line: capitals") << false << "DEMO.ZKP" << 0 << false << 1;
        QTest::newRow("dropped project") << true << "demo.zkp" << 5 << true << 0;
        QTest::newRow("dropped page") << true << "menu.pg" << 1 << false << 0;
        QTest::newRow("dropped other file") << true << "notes.txt" << 0 << false << 1;
    }
    void opening() {
        QFETCH(bool, dropped);
        QFETCH(QString, file);
        DemoCopy demo;
        QFile::copy(demo.path("demo.zkp"), demo.path("DEMO.ZKP"));
        QFile::copy(demo.path("demo.zkp"), demo.path("notes.txt"));
        MainWindow w;
        ModalAnswerer answers;
        const QString path = file.isEmpty() ? QString() : demo.path(file);
        if (dropped) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(path)});
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(&w, &enter);
            QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(&w, &drop);
        } else {
            Startup::OpenArguments(w, path.isEmpty() ? QStringList() : QStringList{path});
        }
        QTEST(int(w.pageWindows().size()), "windows");
        QTEST(w.workspace().GetProject().open, "project");
        QTEST(int(answers.texts.size()), "messages");
        if (file == "notes.txt") QCOMPARE(answers.texts.value(0), path);
    }

    // Deleting an item through the edit menu or the tree's Delete key; undo brings it back.
    void editCommands_data() {
        QTest::addColumn<bool>("treeKey");
        QTest::newRow("menu") << false;
        QTest::newRow("tree Delete key") << true;
    }
    void editCommands() {
        QFETCH(bool, treeKey);
        DemoCopy demo;
        MainWindow w;
        w.show();
        QVERIFY(w.openPath(demo.path("main.pg")));
        CLedDoc* page = w.pageWindows().constFirst()->page();
        const size_t items = page->CurrentItems().size();
        QVERIFY(!MenuEntry(w, Cmd::DeleteItem)->isEnabled());
        w.action(Cmd::InstructionTree)->trigger();
        auto* tree = qobject_cast<TreeWindow*>(w.pageWindows().constFirst()->treeWindow())->tree();
        QTreeWidgetItem* line = tree->topLevelItem(0)->child(1);  // the first item
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(line).center());
        QVERIFY(MenuEntry(w, Cmd::DeleteItem)->isEnabled());
        if (treeKey)
            QTest::keyClick(tree, Qt::Key_Delete);
        else
            MenuEntry(w, Cmd::DeleteItem)->trigger();
        QCOMPARE(page->CurrentItems().size(), items - 1);
        QCOMPARE(tree->topLevelItem(0)->childCount(), int(items));  // clear-screen + items
        QVERIFY(MenuEntry(w, Cmd::Undo)->isEnabled() && !w.action(Cmd::Redo)->isEnabled());
        MenuEntry(w, Cmd::Undo)->trigger();
        QCOMPARE(page->CurrentItems().size(), items);
        QCOMPARE(tree->topLevelItem(0)->childCount(), int(items + 1));
        w.action(Cmd::Redo)->trigger();
        QCOMPARE(page->CurrentItems().size(), items - 1);
        QVERIFY(w.action(Cmd::SavePage)->isEnabled());
        w.action(Cmd::InstructionTree)->trigger();  // closes the tree
        QTRY_VERIFY(!w.action(Cmd::InstructionTree)->isChecked());
    }

    // Commands whose windows come later say so instead of doing nothing.
    void projectPagesAreNotConvertedAlone() {
        DemoCopy demo;
        MainWindow w;
        QVERIFY(w.openPath(demo.path("demo.zkp")));
        // Project pages share the project's screen: they are not converted alone.
        QVERIFY(!w.action(Cmd::ConvertPage)->isEnabled());
    }

    // Quitting and replacing the project ask about every modified page before anything
    // closes: Cancel leaves every window, bar and page as it was.
    void closingAsksFirst_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
        QTest::addColumn<int>("windows");  // afterwards
        QTest::addColumn<bool>("saved");
        QTest::newRow("quit, Cancel") << int(Cmd::Exit) << QList{QMessageBox::Cancel} << 5 << false;
        QTest::newRow("quit, No") << int(Cmd::Exit) << QList{QMessageBox::No} << 0 << false;
        QTest::newRow("new project, Cancel")
            << int(Cmd::NewProject) << QList{QMessageBox::Yes, QMessageBox::Cancel} << 5 << false;
        QTest::newRow("new project, Yes")
            << int(Cmd::NewProject) << QList{QMessageBox::Yes, QMessageBox::Yes} << 0 << true;
    }
    void closingAsksFirst() {
        QFETCH(int, command);
        QFETCH(QList<QMessageBox::StandardButton>, answers);
        DemoCopy demo;
        MainWindow w;
        w.show();
        QVERIFY(w.openPath(demo.path("demo.zkp")));
        CLedDoc* page = w.pageWindows().constFirst()->page();
        const QString file = demo.path(QString::fromStdString(page->m_strTitle));
        const QDateTime before = QFileInfo(file).lastModified();
        page->CurrentItems().pop_back();
        page->SetModified(true);
        w.projectCommands().setDialogHook(
            [](QDialog& d) { QTimer::singleShot(0, &d, &QDialog::reject); });
        ModalAnswerer box(answers);
        w.action(command)->trigger();
        QTEST(int(w.pageWindows().size()), "windows");
        QVERIFY2(std::any_of(box.texts.begin(), box.texts.end(),
                             [](const QString& t) { return t.endsWith("已被修改，是否保存？"); }),
                 qPrintable(box.texts.join('|')));
        QTEST(QFileInfo(file).lastModified() != before, "saved");
        if (w.pageWindows().size() == 5) {
            QVERIFY(w.isVisible() && page->m_bModified);
            QVERIFY(w.dock(MainWindow::Dock::PageProperties)->isVisible());
        }
    }

    // Window faults: a tall panel scrolls instead of pushing the window past the screen;
    // closing a second view keeps the palette; a window inheriting a maximised state gets
    // its frame back; cascading keeps every title in sight.
    void windowsKeepTheirPlace() {
        DemoCopy demo;
        MainWindow w;
        w.show();
        QVERIFY(w.openPath(demo.path("main.pg")));
        PageWindow* first = w.pageWindows().constFirst();
        first->canvas()->setZoom(3);
        QTest::keyClick(first->canvas(), Qt::Key_A, Qt::ControlModifier);
        QApplication::processEvents();
        QVERIFY(w.frameGeometry().height() <= w.screen()->availableGeometry().height());
        if (w.dock(MainWindow::Dock::Palette)->isHidden()) w.action(Cmd::Palette)->trigger();
        QVERIFY(w.dock(MainWindow::Dock::Palette)->isVisible());
        w.action(Cmd::NewWindow)->trigger();
        QCOMPARE(w.pageWindows().size(), 2);
        w.pageWindows().constLast()->close();
        QVERIFY(w.dock(MainWindow::Dock::Palette)->isVisible());
        w.action(Cmd::InstructionTree)->trigger();
        QMdiSubWindow* tree = first->treeWindow();
        tree->showMaximized();
        tree->close();
        QTRY_VERIFY(!first->isMaximized());
        w.action(Cmd::NewWindow)->trigger();
        w.action(Cmd::Cascade)->trigger();
        const QList<PageWindow*> windows = w.pageWindows();
        QVERIFY(windows[1]->y() - windows[0]->y() >=
                w.style()->pixelMetric(QStyle::PM_TitleBarHeight));
    }

    // The clipboard between two pages (real keys): the pasted items are the copied page
    // records, stepped on by 8 pixels and selected; Ctrl+D duplicates in place; each
    // is one undo step.
    void clipboardBetweenPages() {
        DemoCopy demo;
        MainWindow w;
        w.show();
        PageWindow* from = OpenSelected(w, demo, "main.pg");
        const CByteArray copied = from->canvas()->controller()->CopySelection();
        QTest::keyClick(from->canvas(), Qt::Key_C, Qt::ControlModifier);
        QVERIFY(w.action(Cmd::Paste)->isEnabled());
        w.openPath(demo.path("menu.pg"));
        PageWindow* to = w.pageWindows().constLast();
        CLedDoc* page = to->page();
        const size_t before = page->CurrentItems().size();
        QTest::mouseClick(to->canvas(), Qt::LeftButton, {}, QPoint(1, 1));
        QTest::keyClick(to->canvas(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(page->UndoCount(), 1);
        const size_t pasted = page->CurrentItems().size() - before;
        QVERIFY(pasted > 0);
        // Moved back by the step the paste took (the screen's edge may shorten it), the
        // pasted items are the copied records.
        ItemList read;
        std::string error;
        QVERIFY(ItemClipboard::Read(copied, page->m_nColours, read, error));
        const Rect was = read.front()->Bounds(), now = page->CurrentItems()[before]->Bounds();
        QVERIFY(now.left - was.left <= 8 && now.top - was.top <= 8);
        for (size_t i = 0; i < page->CurrentItems().size(); ++i)
            page->CurrentItems()[i]->m_bSelected = i >= before;
        for (size_t i = before; i < page->CurrentItems().size(); ++i)
            page->CurrentItems()[i]->MoveBy(was.left - now.left, was.top - now.top);
        CLedDoc same(from->page()->GetScreenParams());
        QVERIFY(ItemClipboard::Read(ItemClipboard::Copy(*page), page->m_nColours, read, error));
        same.CurrentItems() = std::move(read);
        for (auto& item : same.CurrentItems())
            item->m_bSelected = 1;
        QVERIFY(ItemClipboard::Copy(same) == copied);
        QVERIFY(!QApplication::clipboard()->image().isNull());
        QTest::keyClick(to->canvas(), Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(page->CurrentItems().size(), before + 2 * pasted);
        QCOMPARE(page->UndoCount(), 2);
    }

    // The line-ups from the menu, the grid and its snap (kept in the settings), the undo
    // depth from the settings, the module's view of the page.
    void viewAndArrangeCommands() {
        DemoCopy demo;
        QTemporaryDir home;
        QSettings(home.filePath("lcdscreen.ini"), QSettings::IniFormat)
            .setValue("edit/undoSteps", 3);
        MainWindow w(nullptr, std::make_unique<EditorSettings>(home.filePath("lcdscreen.ini")));
        w.show();
        PageWindow* window = OpenSelected(w, demo, "main.pg");
        CLedDoc* page = window->page();
        QCOMPARE(page->GetUndoLimits().steps, 3);
        MenuEntry(w, Cmd::AlignLeft)->trigger();
        std::set<int> lefts;
        for (const auto& item : page->CurrentItems())
            lefts.insert(item->Bounds().left);
        QCOMPARE(lefts.size(), size_t(1));
        const QImage plain = window->canvas()->grab().toImage();
        w.action(Cmd::Grid)->trigger();
        w.action(Cmd::Snap)->trigger();
        QVERIFY(window->canvas()->controller()->Snaps());
        QVERIFY(window->canvas()->grab().toImage() != plain);
        QCOMPARE(EditorSettings(home.filePath("lcdscreen.ini")).gridShown(), true);
        w.action(Cmd::ModuleView)->trigger();
        QVERIFY(window->canvas()->moduleView());
        QVERIFY(w.action(Cmd::ModuleView)->isChecked());
    }

    // The recent lists: newest first, eight at most, a missing file dropped with a note.
    void recentFiles() {
        DemoCopy demo;
        QTemporaryDir home;
        MainWindow w(nullptr, std::make_unique<EditorSettings>(home.filePath("lcdscreen.ini")));
        for (const char* name : {"main.pg", "menu.pg"})
            QVERIFY(w.openPath(demo.path(name)));
        QFile::remove(demo.path("main.pg"));
        QMenu* menu = w.recentMenu(EditorSettings::Recent::Pages);
        emit menu->aboutToShow();
        QStringList texts;
        for (QAction* a : menu->actions())
            texts.append(a->text());
        QCOMPARE(texts, (QStringList{"已去掉不存在的文件：main.pg", "&1 " + demo.path("menu.pg")}));
        QVERIFY(!menu->actions().constFirst()->isEnabled());
    }

    // Qt's own buttons and dialogs speak Chinese beside the Chinese windows; a question
    // defaults to the answer that changes nothing.
    void qtDialogsAndQuestions() {
        QVERIFY(Startup::InstallTranslations(*QCoreApplication::instance(), Language::Chinese));
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QString("取消"));
        QtMessenger messenger;
        QList<QMessageBox::StandardButton> defaults;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                defaults.append(box->standardButton(box->defaultButton()));
                box->reject();
            }
        });
        poll.start(5);
        messenger.Ask("是否覆盖？", "提示", Messenger::Buttons::YesNo);
        messenger.Ask("是否保存？", "提示", Messenger::Buttons::YesNoCancel);
        QCOMPARE(defaults,
                 (QList<QMessageBox::StandardButton>{QMessageBox::No, QMessageBox::Cancel}));
    }

    // "帮助" shows the manual in a window of the editor's own.
    void helpWindow() {
        MainWindow w;
        w.action(Cmd::Help)->trigger();
        QTRY_VERIFY(w.helpWindow() && w.helpWindow()->isVisible());
        auto* browser = w.helpWindow()->findChild<QTextBrowser*>();
        QVERIFY(browser->toPlainText().contains("lcdscreen"));
        QCOMPARE(browser->source().fileName(), QString("manual.html"));
        // Its contents link to the sections, and its picture is found beside it.
        QVERIFY(browser->toHtml().contains("href=\"#s13\""));
        const QVariant picture =
            browser->loadResource(QTextDocument::ImageResource, QUrl("lcdscreen.png"));
        QVERIFY(!qvariant_cast<QImage>(picture).isNull() || !picture.toByteArray().isEmpty());
    }

    // In English the menus, toolbars and status bar hold no Chinese character (the
    // language menu names each language in its own script); the core's messages follow.
    void speaksEnglish() {
        QVERIFY(Startup::InstallTranslations(*QCoreApplication::instance(), Language::English));
        DemoCopy demo;
        MainWindow w;
        w.show();
        QVERIFY(w.openPath(demo.path("main.pg")));
        QStringList texts;
        for (QAction* a : MenuActions(w.menuBar()))
            if (!a->parent() || a->parent()->objectName() != "language")
                texts << a->text() << a->toolTip();
        for (QAction* menu : w.menuBar()->actions())
            texts << menu->text();
        for (QToolBar* bar : w.findChildren<QToolBar*>()) {
            texts << bar->windowTitle();
            for (QAction* a : bar->actions())
                texts << a->text() << a->toolTip();
            for (QWidget* widget : bar->findChildren<QWidget*>())
                texts << widget->toolTip();
        }
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton,
                         Qt::NoButton, {});
        QApplication::sendEvent(w.pageWindows().constFirst()->canvas(), &move);
        for (QLabel* label : w.statusBar()->findChildren<QLabel*>())
            texts << label->text();
        QStringList chinese;
        for (const QString& t : texts)
            if (Messages::HasChinese(t.toStdString())) chinese << t;
        QCOMPARE(chinese, QStringList());
        QCOMPARE(w.helpWindow(), nullptr);
        QVERIFY(MainWindow::manualPath().endsWith("manual.en.html"));
        // Leave the next tests their Chinese.
        for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(t);
            delete t;
        }
        Messages::Use(Language::Chinese);
    }
};

UI_TEST(MainWindowTest);
#include "tst_mainwindow.moc"
