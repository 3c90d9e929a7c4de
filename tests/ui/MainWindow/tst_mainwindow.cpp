#include <QDropEvent>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>

#include "app/Startup.h"
#include "project/CLedDoc.h"
#include "support/ModalAnswerer.h"
#include "ui/Commands.h"
#include "ui/InstructionTree.h"
#include "ui/MainWindow.h"
#include "ui/PageWindow.h"
#include "ui/UiTest.h"

namespace {

QStringList MenuTitles(MainWindow& w) {
    QStringList titles;
    for (QAction* a : w.menuBar()->actions())
        titles.append(a->text());
    return titles;
}

// The entry of the menu bar that carries `command`.
QAction* MenuEntry(MainWindow& w, int command) {
    for (QAction* menu : w.menuBar()->actions())
        for (QAction* a : menu->menu()->actions())
            if (a->data().toInt() == command) return a;
    return nullptr;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void menusFollowThePageWindows() {
        DemoCopy demo;
        MainWindow w;
        const QStringList noPage{"文件(&F)", "页面(&P)", "查看(&V)", "系统(&S)", "帮助(&H)"};
        QCOMPARE(MenuTitles(w), noPage);
        QVERIFY(w.openPath(demo.path("main.pg")));
        QCOMPARE(MenuTitles(w),
                 (QStringList{"工程(&P)", "页面", "编辑(&E)", "查看(&V)", "窗口(&W)", "帮助(&H)"}));
        QCOMPARE(MenuEntry(w, Cmd::Undo)->shortcut(), QKeySequence("Ctrl+Z"));
        w.pageWindows().constFirst()->close();
        QCOMPARE(MenuTitles(w), noPage);
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
};

UI_TEST(MainWindowTest);
#include "tst_mainwindow.moc"
