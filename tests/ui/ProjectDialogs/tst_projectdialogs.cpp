// The project commands' dialogs through the main window, with real key and mouse events:
// new project from a two-device catalogue, new page names, device editing.

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include "project/DeviceCatalogue.h"
#include "support/ModalAnswerer.h"
#include "support/ScriptedMessenger.h"
#include "ui/Commands.h"
#include "ui/MainWindow.h"
#include "ui/ProjectCommands.h"
#include "ui/QtMessenger.h"
#include "ui/UiTest.h"
#include "ui/project/DeviceChoiceDialog.h"
#include "ui/project/DeviceEditDialog.h"

namespace {

// Runs `answer` on each dialog of the project commands once it is up.
void Answer(MainWindow& w, std::function<void(QDialog&)> answer) {
    w.projectCommands().setDialogHook([answer](QDialog& d) {
        QTimer::singleShot(0, &d, [&d, answer] {
            answer(d);
            if (d.isVisible()) d.reject();
        });
    });
}

void ClickOk(QDialog& d) {
    QTest::mouseClick(d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
}

void Retype(QWidget* field, const QString& text) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

}  // namespace

class ProjectDialogsTest : public QObject {
    Q_OBJECT
private slots:
    // Two devices in the catalogue of the settings directory.
    void init() {
        ScriptedMessenger messages;
        DeviceCatalogue catalogue(messages);
        catalogue.Clear();
        catalogue.Put(CDeviceObj(ScreenParams{"A320", 8, 102.5, 75.5, 320, 234}, 1));
        catalogue.Put(CDeviceObj(ScreenParams{"B640", 256, 150, 90, 640, 480}, 0));
        QVERIFY(catalogue.Save());
    }

    void newProject_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("withPath");
        QTest::addColumn<QString>("told");
        QTest::newRow("made") << "demo" << true << "";
        QTest::newRow("no name") << "" << true << "请填写工程名称";
        QTest::newRow("no folder") << "demo" << false << "请选择工程存放目录";
        QTest::newRow("path in name") << "a/b" << true << "工程名称不能包含路径分隔符或“..”";
    }
    void newProject() {
        QFETCH(QString, name);
        QFETCH(bool, withPath);
        QTemporaryDir parent;
        MainWindow w;
        ModalAnswerer answers;
        QStringList fields;
        Answer(w, [&](QDialog& d) {
            auto& dialog = static_cast<DeviceChoiceDialog&>(d);
            QCOMPARE(dialog.devicePicker()->currentText(), QString("A320"));
            QTest::keyClick(dialog.devicePicker(), Qt::Key_Down);
            for (QLineEdit* e : dialog.fields())
                fields.append(e->text());
            QTest::keyClicks(dialog.nameEdit(), name);
            if (withPath) QTest::keyClicks(dialog.pathEdit(), parent.path());
            ClickOk(d);
        });
        w.action(Cmd::NewProject)->trigger();
        QCOMPARE(fields, (QStringList{"150", "90", "640", "480", "256", "不支持"}));
        QTEST(answers.texts.join('|'), "told");
        const Workspace::Project& project = w.workspace().GetProject();
        QCOMPARE(project.open, answers.texts.isEmpty());
        if (project.open) {
            QCOMPARE(project.screen, (ScreenParams{"B640", 256, 150, 90, 640, 480}));
            QVERIFY(QFile::exists(parent.filePath("demo/demo.zkp")));
        }
    }

    void newPageName_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("title");
        QTest::newRow("completed") << "extra"
                                   << ""
                                   << "extra.pg";
        QTest::newRow("capital ending") << "extra.PG"
                                        << ""
                                        << "extra.PG";
        QTest::newRow("duplicate") << "main"
                                   << "页面名称不能重复"
                                   << "";
        QTest::newRow("empty") << ""
                               << "页面名称不能为空"
                               << "";
    }
    void newPageName() {
        QFETCH(QString, typed);
        DemoCopy demo;
        MainWindow w;
        QVERIFY(w.openPath(demo.path("demo.zkp")));
        ModalAnswerer answers;
        bool stayedOpen = false;
        Answer(w, [&](QDialog& d) {
            QTest::keyClicks(static_cast<PageNameDialog&>(d).nameEdit(), typed);
            ClickOk(d);
            stayedOpen = d.isVisible();
        });
        const size_t pages = w.workspace().Pages().size();
        w.action(Cmd::NewPage)->trigger();
        QTEST(answers.texts.join('|'), "told");
        QCOMPARE(stayedOpen, !answers.texts.isEmpty());
        QFETCH(QString, title);
        QCOMPARE(w.workspace().Pages().size(), pages + (title.isEmpty() ? 0 : 1));
        if (!title.isEmpty())
            QCOMPARE(QString::fromStdString(w.workspace().Pages().back()->m_strTitle), title);
    }

    // "保存" adds a device the checks accept and refuses the others, saying why.
    void deviceRefusals_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("colours");  // picker entries down from none
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("told");
        QTest::newRow("added") << "C800" << 3 << 800 << "";
        QTest::newRow("no name") << "" << 3 << 800 << "请填写设备名称";
        QTest::newRow("no colours") << "C800" << 0 << 800 << "请选择设备支持颜色数目";
        QTest::newRow("taken") << "A320" << 3 << 800
                               << "设备“A320”已存在；要修改它，请先删除再重新添加";
        QTest::newRow("no width") << "C800" << 3 << 0
                                  << QString::fromStdString(
                                         DeviceCatalogue::CheckLogicalSize(0, 480));
    }
    void deviceRefusals() {
        QFETCH(QString, name);
        QFETCH(int, colours);
        QFETCH(int, width);
        QtMessenger messenger;
        DeviceEditDialog d(messenger);
        d.show();
        ModalAnswerer answers;
        QTest::keyClicks(d.namePicker()->lineEdit(), name);
        for (int i = 0; i < colours; ++i)
            QTest::keyClick(d.colourPicker(), Qt::Key_Down);
        Retype(d.logicalX(), QString::number(width));
        Retype(d.logicalY(), "480");
        Retype(d.physicalX(), "150");
        Retype(d.physicalY(), "90");
        for (QPushButton* b : d.findChildren<QPushButton*>())
            if (b->text() == "保存") QTest::mouseClick(b, Qt::LeftButton);
        QTEST(answers.texts.join('|'), "told");
        const bool added = answers.texts.isEmpty();
        QCOMPARE(d.catalogue().GetCount(), added ? 3 : 2);
        QCOMPARE(d.namePicker()->count(), added ? 3 : 2);
        ScriptedMessenger quiet;
        DeviceCatalogue saved(quiet);
        saved.Load();
        QCOMPARE(saved.GetCount(), added ? 3 : 2);
        if (added) {
            ScreenParams s;
            int32_t bitmaps = 1;
            QVERIFY(saved.Lookup("C800", s, bitmaps));
            QCOMPARE(s, (ScreenParams{"C800", 256, 150, 90, 800, 480}));
            QCOMPARE(bitmaps, 0);
        }
    }

    // "删除" asks first; the picker then shows the first device that remains.
    void deviceDelete_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("left");
        QTest::newRow("yes") << int(QMessageBox::Yes) << 1;
        QTest::newRow("no") << int(QMessageBox::No) << 2;
    }
    void deviceDelete() {
        QFETCH(int, answer);
        QtMessenger messenger;
        DeviceEditDialog d(messenger);
        d.show();
        QTest::keyClicks(d.namePicker()->lineEdit(), "B640");
        ModalAnswerer answers({QMessageBox::StandardButton(answer)});
        for (QPushButton* b : d.findChildren<QPushButton*>())
            if (b->text() == "删除") QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(answers.texts, QStringList{"确认要删除设备“B640”吗？"});
        QTEST(d.catalogue().GetCount(), "left");
        QTEST(d.namePicker()->count(), "left");
        QCOMPARE(d.namePicker()->currentText(),
                 QString(answer == QMessageBox::Yes ? "A320" : "B640"));
    }
};

UI_TEST(ProjectDialogsTest);
#include "tst_projectdialogs.moc"
