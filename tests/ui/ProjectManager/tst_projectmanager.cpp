// Project management with real mouse events: the order list, the page map, collisions,
// display modes, the export against lcdtool's, the download column and the test display.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "link/CommandBuilder.h"
#include "project/FlashImage.h"
#include "project/FlashLayout.h"
#include "project/FlashLayout/FlashFixture.h"
#include "support/RecordingLink.h"
#include "support/RunTool.h"
#include "ui/UiTest.h"
#include "ui/project/FlashMapView.h"
#include "ui/project/ProjectManagerDialog.h"
#include "ui/project/TestDisplayDialog.h"
#include "ui/widgets/ReorderList.h"

using flashfixture::Project;
using Answer = Messenger::Answer;

namespace {

// A project of `n` one-page pages "p0.pg" ... at start pages 0, 1, ...
struct Managed {
    Project project;
    LinkLog sent;
    ModuleLink link{nullptr, project.messages};
    std::string chosen;  // what the file dialogs answer
    std::unique_ptr<ProjectManagerDialog> dialog;
    explicit Managed(int n) {
        link.setOpener(sent.opener());
        for (int i = 0; i < n; ++i)
            project.AddPage("p" + std::to_string(i));
        dialog = std::make_unique<ProjectManagerDialog>(
            project.ws, link, [this](const QString&, const QString&, bool) { return chosen; });
        dialog->show();
    }
    CLedDoc* page(int i) const { return project.ws.Pages()[size_t(i)].get(); }
    void click(const QString& button) { QTest::mouseClick(dialog->button(button), Qt::LeftButton); }
};

void Drag(QWidget* w, QPoint from, QPoint to) {
    QTest::mousePress(w, Qt::LeftButton, {}, from);
    QTest::mouseMove(w, to);
    QTest::mouseRelease(w, Qt::LeftButton, {}, to);
}

QString Hex(void (*build)(CByteArray&)) {
    CByteArray bytes;
    build(bytes);
    return LinkLog::Hex(bytes);
}

}  // namespace

class ProjectManagerTest : public QObject {
    Q_OBJECT
private slots:
    void reorder_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");  // -1: released outside the list
        QTest::addColumn<QString>("order");
        QTest::newRow("third above the first") << 2 << 0 << "p2 p0 p1 p3 p4";
        QTest::newRow("first below the fourth") << 0 << 3 << "p1 p2 p3 p0 p4";
        QTest::newRow("released outside") << 2 << -1 << "p0 p1 p2 p3 p4";
    }
    void reorder() {
        QFETCH(int, from);
        QFETCH(int, to);
        Managed m(5);
        ReorderList* list = m.dialog->orderList();
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setData(Qt::UserRole, i);
        const QPoint start = list->visualItemRect(list->item(from)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, start);
        const QPoint end =
            to < 0 ? QPoint(-20, -20) : list->visualItemRect(list->item(to)).center();
        Drag(list->viewport(), start, end);
        QStringList order;
        for (const std::string& title : m.dialog->layout().PageOrder())
            order.append(QString::fromStdString(title).chopped(3));
        QTEST(order.join(' '), "order");
        QCOMPARE(list->texts().join(' ').remove(".pg"), order.join(' '));
        // The moved line keeps its data and is the selected one.
        QCOMPARE(list->currentItem()->data(Qt::UserRole).toInt(), from);
        QCOMPARE(m.page(from)->m_nStartPage, from);
    }

    // Pressing on a page picks it; moving with the button down moves its start page.
    void pageMapPicksAndMoves() {
        Managed m(3);
        FlashMapView* map = m.dialog->pageMap();
        Drag(map, map->cellCentre(1), map->cellCentre(40));
        CLedDoc* moved = m.page(1);
        QCOMPARE(moved->m_nStartPage, 40);
        QVERIFY(moved->m_bPicked && moved->m_bModified);
        QCOMPARE(m.project.ws.GetProject().entries[1].m_nStartPage, 40);
        QCOMPARE(m.dialog->pageFields(), QString("p1.pg 40 1"));
        QCOMPARE(m.dialog->orderList()->currentItem()->text(), QString("p1.pg"));
        // The pointer has stayed on cell 40: its owner is named.
        QCOMPARE(m.dialog->hoverLine()->text(), QString("p1.pg：第 40 页"));
        QVERIFY(m.dialog->statusLine()->isHidden());
    }

    void collisionBlocks_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("caption");
        QTest::newRow("download") << "下载"
                                  << "页面区有地址重叠或越界，请重新设置"
                                  << "不能写Flash";
        QTest::newRow("export") << "导出"
                                << "页面区有页面地址重叠或越界，请重新设置"
                                << "不能写文件";
    }
    void collisionBlocks() {
        QFETCH(QString, button);
        Managed m(2);
        FlashMapView* map = m.dialog->pageMap();
        Drag(map, map->cellCentre(1), map->cellCentre(0));
        QCOMPARE(m.dialog->statusLine()->text(), QString("p1.pg（第 0 页）与 p0.pg 重叠"));
        m.chosen = m.project.File("image.bin");
        m.click(button);
        QTEST(QString::fromStdString(m.project.messages.told.back()), "told");
        QTEST(QString::fromStdString(m.project.messages.captions.back()), "caption");
        QVERIFY(m.sent.downloads.isEmpty());
        QVERIFY(!QFile::exists(QString::fromStdString(m.chosen)));
        // The close box stays refused too.
        QTest::keyClick(m.dialog.get(), Qt::Key_Escape);
        QVERIFY(m.dialog->isVisible());
    }

    void displayModes_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("next");
        QTest::newRow("cyclic") << int(FlashLayout::DisplayCyclic) << "p1.pg:1 p2.pg:2 p0.pg:0";
        QTest::newRow("sequential")
            << int(FlashLayout::DisplaySequential) << "p1.pg:1 p2.pg:2 无:255";
        QTest::newRow("independent")
            << int(FlashLayout::DisplayIndependent) << "无:255 无:255 无:255";
    }
    void displayModes() {
        QFETCH(int, mode);
        Managed m(3);
        // Start from cyclic so that every row changes something.
        QTest::mouseClick(m.dialog->modeButtons()->button(FlashLayout::DisplayCyclic),
                          Qt::LeftButton);
        QTest::mouseClick(m.dialog->modeButtons()->button(mode), Qt::LeftButton);
        QStringList next;
        for (int i = 0; i < 3; ++i)
            next.append(QString::fromStdString(m.page(i)->m_strNextPage) + ':' +
                        QString::number(m.page(i)->m_byNextPage));
        QTEST(next.join(' '), "next");
        QVERIFY(!m.dialog->nextPicker()->isEnabled());
        // Reopened, the dialog shows the mode the pages' links were given.
        ProjectManagerDialog again(m.project.ws, m.link, {});
        QCOMPARE(again.modeButtons()->checkedId(), mode);
        QTest::mouseClick(m.dialog->modeButtons()->button(FlashLayout::DisplayManual),
                          Qt::LeftButton);
        QVERIFY(m.dialog->nextPicker()->isEnabled());
    }

    // "下载" with its two boxes: everything, with the CRC table and the start check, or only
    // what changed since this link's last download; the line under the maps says what went.
    void downloadColumn_data() {
        QTest::addColumn<QString>("boxes");  // "v" verify, "c" only the changed, twice
        QTest::addColumn<QString>("done");
        QTest::newRow("everything") << ""
                                    << "已下载 %1 字节（共 2 条记录中的 2 条）";
        QTest::newRow("verified") << "v"
                                  << "已下载 %1 字节（共 3 条记录中的 3 条）";
        QTest::newRow("only the changed, nothing changed")
            << "c"
            << "模块上已是这个工程的内容，没有要发送的改动";
    }
    void downloadColumn() {
        QFETCH(QString, boxes);
        QDir(qEnvironmentVariable("LCDSCREEN_HOME") + "/state").removeRecursively();
        Managed m(2);
        if (boxes.contains('v')) m.dialog->findChild<QCheckBox*>("verify")->click();
        if (boxes.contains('c')) m.dialog->findChild<QCheckBox*>("changed")->click();
        m.click("下载");
        if (boxes.contains('c')) m.click("下载");  // the second finds nothing new
        CByteArray image;
        FlashLayout layout(m.project.ws);
        FlashImage built(layout);
        built.Open();
        built.Build(image);
        QVERIFY(m.sent.downloads.size() >= 1);
        const QString first = m.sent.downloads.front();
        QVERIFY(first.startsWith(LinkLog::Hex(image)));
        CByteArray check;
        CommandBuilder::StartCheck(check, 0);
        QCOMPARE(first.endsWith(LinkLog::Hex(check)), boxes.contains('v'));
        QCOMPARE(m.sent.downloads.size(), 1);
        QFETCH(QString, done);
        QVERIFY2(m.dialog->doneLine()->text().startsWith(done.arg(first.count(' ') + 1)),
                 qPrintable(m.dialog->doneLine()->text()));
    }

    // "导出" writes what "lcdtool export" writes, with and without the CRC table.
    void exportMatchesLcdtool_data() {
        QTest::addColumn<bool>("crc");
        QTest::newRow("image") << false;
        QTest::newRow("image and crc table") << true;
    }
    void exportMatchesLcdtool() {
        QFETCH(bool, crc);
        DemoCopy demo;
        ScriptedMessenger messages;
        Workspace ws(messages);
        QVERIFY(ws.OpenProjectFile(demo.path("demo.zkp").toStdString()));
        ModuleLink link(nullptr, messages);
        const std::string out = demo.path("out.bin").toStdString();
        ProjectManagerDialog dialog(ws, link, [&](const QString&, const QString&, bool save) {
            return save ? out : std::string();
        });
        dialog.show();
        if (crc) QTest::mouseClick(dialog.findChild<QCheckBox*>(), Qt::LeftButton);
        QTest::mouseClick(dialog.button("导出"), Qt::LeftButton);
        const Result r = RunTool(demo.dir.path().toStdString(),
                                 "export demo.zkp -o ref.bin" + std::string(crc ? " --crc" : ""),
                                 "cd '" + demo.dir.path().toStdString() + "' &&");
        QCOMPARE(r.status, 0);
        const std::string written = Slurp(out),
                          reference = Slurp(demo.path("ref.bin").toStdString());
        QVERIFY(written.size() > 1000);
        QVERIFY(written == reference);
        QVERIFY(messages.told.empty());
        QCOMPARE(
            dialog.doneLine()->text(),
            QString("已导出 %1（%2 字节）").arg(QString::fromStdString(out)).arg(written.size()));
    }

    // The download column: each control's command, question and label.
    void moduleCommands_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QList<int>>("answers");  // Messenger::Answer of each question
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("label");
        CByteArray on, off, parallel;
        CommandBuilder::Option(on, 0, 0x01, 1);
        CommandBuilder::Option(parallel, 0, 0x02, 1);
        CommandBuilder::PageSizeOption(off, false);
        QTest::newRow("character switch, yes")
            << "字符开关:" << QList<int>{int(Answer::Yes)} << LinkLog::Hex(on) << "开";
        QTest::newRow("character switch, no") << "字符开关:" << QList<int>{int(Answer::No)} << ""
                                              << "关";
        QTest::newRow("parallel switch, yes")
            << "并口开关:" << QList<int>{int(Answer::Yes)} << LinkLog::Hex(parallel) << "开";
        QTest::newRow("page size, yes")
            << "局部位图:" << QList<int>{int(Answer::Yes)} << LinkLog::Hex(off) << "256";
        QTest::newRow("start check")
            << "开始校验" << QList<int>{}
            << Hex([](CByteArray& b) { CommandBuilder::StartCheck(b, 0); }) << "开始校验";
        QTest::newRow("read version")
            << "读取系统版本" << QList<int>{} << Hex(CommandBuilder::ReadVersion) << "读取系统版本";
        QTest::newRow("show without a picked page") << "显示" << QList<int>{} << ""
                                                    << "显示";
    }
    void moduleCommands() {
        QFETCH(QString, control);
        QFETCH(QList<int>, answers);
        Managed m(2);
        for (int a : answers)
            m.project.messages.answers.push_back(Answer(a));
        QPushButton* button = m.dialog->button(control);
        if (!button) {
            // A toggle: the button beside its label.
            for (QLabel* label : m.dialog->findChildren<QLabel*>())
                if (label->text() == control) button = qobject_cast<QPushButton*>(label->buddy());
        }
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QTEST(m.sent.commands.join('|'), "sent");
        QTEST(button->text(), "label");
        if (control == "显示")
            QCOMPARE(m.project.messages.told.back(), std::string("请选择你要显示的页面"));
    }

    // The baud picker tells the module first; the port follows only when it went out.
    void baudRate_data() {
        QTest::addColumn<bool>("sent");
        QTest::addColumn<int>("rate");
        QTest::newRow("sent") << true << 19200;
        QTest::newRow("link failed") << false << 9600;
    }
    void baudRate() {
        QFETCH(bool, sent);
        Managed m(1);
        m.sent.ok = sent;
        QComboBox* baud = nullptr;
        for (QComboBox* box : m.dialog->findChildren<QComboBox*>())
            if (box->findText("115200") >= 0) baud = box;
        QCOMPARE(baud->currentText(), QString("9600"));
        baud->setFocus();
        QTest::keyClick(baud, Qt::Key_Down);
        QCOMPARE(m.sent.commands,
                 QStringList(sent, Hex([](CByteArray& b) { CommandBuilder::Baud(b, 0, 2); })));
        QTEST(m.link.settings().baudRate, "rate");
        QTEST(baud->currentText().toInt(), "rate");
    }

    // The test display shows every page in document order, then stops; a link that
    // cannot be reached stops it at once, without asking again while its refusal is up.
    void testDisplay_data() {
        QTest::addColumn<int>("failAfter");
        QTest::addColumn<int>("shown");
        QTest::newRow("three pages") << -1 << 3;
        QTest::newRow("link failed") << 0 << 1;
        QTest::newRow("link lost at the second page") << 1 << 2;
    }
    void testDisplay() {
        QFETCH(int, failAfter);
        QFETCH(int, shown);
        Managed m(3);
        m.project.SetStart(m.page(2), 9);
        m.sent.failAfter = failAfter;
        m.sent.refusalMs = 50;  // several periods: none may open the link again meanwhile
        TestDisplayDialog dialog(m.project.ws, m.link);
        dialog.setMillisecondsPerStep(1);
        dialog.show();
        QCOMPARE(dialog.periodPicker()->currentText(), QString("4"));
        QCOMPARE(dialog.startStop()->text(), QString("关"));
        QTest::mouseClick(dialog.startStop(), Qt::LeftButton);
        QTRY_VERIFY(!dialog.running());
        QStringList expected;
        for (int start : {0, 1, 9}) {
            CByteArray b;
            CommandBuilder::ShowPage(b, 0, uint8_t(start));
            expected.append(LinkLog::Hex(b));
        }
        QCOMPARE(m.sent.commands, expected.mid(0, failAfter < 0 ? shown : failAfter));
        QCOMPARE(m.sent.opened, shown);
        QCOMPARE(dialog.pageList()->currentRow(), shown - 1);
        QCOMPARE(dialog.startStop()->text(), QString("关"));
    }
};

UI_TEST(ProjectManagerTest);
#include "tst_projectmanager.moc"
