#include "items/CItemFont.h"
#include "project/CLedDoc.h"
#include "ui/InstructionTree.h"
#include "ui/UiTest.h"

class InstructionTreeTest : public QObject {
    Q_OBJECT
private slots:
    // A click on a line selects what the line names, and the check boxes follow.
    void clicks_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QList<int>>("line");  // places under the root line
        QTest::addColumn<int>("selected");     // item selected as a whole, or -1
        QTest::addColumn<int>("text");         // text item editing by characters, or -1
        QTest::addColumn<int>("character");    // its one highlighted character
        QTest::newRow("root line") << "main.pg" << QList<int>{} << -1 << -1 << -1;
        QTest::newRow("clear-screen line") << "main.pg" << QList<int>{0} << -1 << -1 << -1;
        QTest::newRow("item line") << "main.pg" << QList<int>{3} << 2 << -1 << -1;
        QTest::newRow("text line") << "main.pg" << QList<int>{2} << 1 << -1 << -1;
        QTest::newRow("character line") << "main.pg" << QList<int>{2, 3} << -1 << 1 << 3;
        // An auxiliary page has no clear-screen line: the first line is item 0.
        QTest::newRow("auxiliary page") << "overlay.pg" << QList<int>{0} << 0 << -1 << -1;
    }
    void clicks() {
        QFETCH(QString, file);
        QFETCH(QList<int>, line);
        QFETCH(int, selected);
        QFETCH(int, text);
        QFETCH(int, character);
        DemoCopy demo;
        CLedDoc page;
        std::string error;
        QVERIFY(page.LoadFile(demo.path(file).toStdString(), error));
        page.CurrentItems()[0]->m_bSelected = 1;  // an earlier selection goes
        InstructionTree tree(&page);
        tree.resize(600, 800);
        tree.show();
        QTreeWidgetItem* target = tree.topLevelItem(0);
        for (int i : line) {
            target->setExpanded(true);
            target = target->child(i);
        }
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                          tree.visualItemRect(target).center());
        const auto& items = page.CurrentItems();
        QCOMPARE(page.m_nSel, selected >= 0 ? selected : text);
        for (size_t i = 0; i < items.size(); ++i) {
            QCOMPARE(items[i]->m_bSelected != 0, int(i) == selected);
            QCOMPARE(items[i]->m_bTextFlag != 0, int(i) == text);
            const int lineOfItem = int(i) + (page.m_nKind == CLedDoc::PageKindMain ? 1 : 0);
            QCOMPARE(tree.topLevelItem(0)->child(lineOfItem)->checkState(0) == Qt::Checked,
                     int(i) == selected || int(i) == text);
        }
        if (text < 0) return;
        const auto& chars = static_cast<CItemFont*>(items[size_t(text)].get())->m_arrChars;
        for (size_t c = 0; c < chars.size(); ++c)
            QCOMPARE(chars[c].m_bHighlight != 0, int(c) == character);
    }
};

UI_TEST(InstructionTreeTest);
#include "tst_instructiontree.moc"
