// The link commands of the main window: the firmware question, the bitmap-to-array dialog
// and downloads to the virtual module, which then shows what the canvas shows.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "project/CLedDoc.h"
#include "support/ModalAnswerer.h"
#include "support/ScriptedMessenger.h"
#include "ui/Commands.h"
#include "ui/MainWindow.h"
#include "ui/ModuleLink.h"
#include "ui/PageCanvas.h"
#include "ui/PageWindow.h"
#include "ui/UiTest.h"
#include "ui/VirtualModule.h"
#include "ui/VirtualModuleDock.h"
#include "ui/dialogs/BitmapProcessingDialog.h"
#include "ui/dialogs/CommSettingsDialog.h"

namespace {

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QImage Render(CLedDoc* page) {
    const ScreenParams screen = page->GetScreenParams();
    Surface surface(screen.logWidth, screen.logHeight);
    page->DrawPage(surface, false);
    return QImage(reinterpret_cast<const uchar*>(surface.Pixels()), surface.Width(),
                  surface.Height(), QImage::Format_RGB32)
        .copy();
}

}  // namespace

class LinkCommandsTest : public QObject {
    Q_OBJECT
private slots:
    // "升级CPU程序": the question, the settings dialog on the first upgrade only, and a HEX
    // file the converter refuses (nothing is sent).
    void firmwareUpgrade_data() {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QStringList>("told");
        QTest::addColumn<int>("settingsDialogs");
        QTest::newRow("No") << QMessageBox::No << QStringList{"是否要升级CPU程序？"} << 0;
        QTest::newRow("Yes, HEX without its end record")
            << QMessageBox::Yes
            << QStringList{"是否要升级CPU程序？", "*.Hex文件转换失败(未找到\":00000001\"记录)!"}
            << 1;
    }
    void firmwareUpgrade() {
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(QStringList, told);
        QTemporaryDir dir;
        const QString hex = dir.filePath("cpu.hex");
        QVERIFY(WriteFile(hex, ":0400000001020304F2\r\n"));
        MainWindow w;
        w.moduleLink().setPortFinder([](LinkSettings&) { return PortList{}; });
        QStringList titles;
        w.setFileChooser([&](const FileQuestion& q) {
            titles.append(q.title);
            return hex;
        });
        int settingsDialogs = 0;
        WhenModal<CommSettingsDialog>(&w, [&](CommSettingsDialog* d) {
            ++settingsDialogs;
            d->reject();  // the link stays as it was
        });
        for (int run = 0; run < 2; ++run) {
            ModalAnswerer answers({answer, QMessageBox::Ok});
            w.action(Cmd::UpgradeCpu)->trigger();
            QCOMPARE(answers.texts, told);
        }
        QTEST(settingsDialogs, "settingsDialogs");
        QCOMPARE(titles, QStringList(answer == QMessageBox::Yes ? 2 : 0, "打开升级程序"));
        QCOMPARE(w.moduleLink().lastResult().sent, int64_t{0});
    }

    // "位图处理": the check box only for 64 colours, the mode list only while it is ticked.
    void bitmapControls_data() {
        QTest::addColumn<QList<int>>("colours");  // chosen in turn
        QTest::addColumn<bool>("tick");
        QTest::addColumn<QString>("shown");  // check box, mode list, mode label; then checked
        QTest::newRow("at first") << QList<int>{} << false << "0000";
        QTest::newRow("64 colours") << QList<int>{1} << false << "1000";
        QTest::newRow("64 colours, ticked") << QList<int>{1} << true << "1111";
        QTest::newRow("ticked, then 256 colours") << QList<int>{1, 2} << true << "0000";
    }
    void bitmapControls() {
        QFETCH(QList<int>, colours);
        QFETCH(bool, tick);
        ScriptedMessenger messenger;
        BitmapProcessingDialog dialog(messenger, {});
        dialog.show();
        for (int c : colours) {
            while (dialog.colourList()->currentIndex() < c)
                QTest::keyClick(dialog.colourList(), Qt::Key_Down);
            if (tick && c == BitmapProcessingDialog::kColours64)
                QTest::mouseClick(dialog.controlCheck(), Qt::LeftButton, {}, QPoint(4, 4));
        }
        QString shown;
        for (QWidget* w : std::initializer_list<QWidget*>{dialog.controlCheck(), dialog.modeList(),
                                                          dialog.modeLabel()})
            shown += w->isVisible() ? '1' : '0';
        shown += dialog.controlCheck()->isChecked() ? '1' : '0';
        QTEST(shown, "shown");
    }

    // "提取" of a black and a white pixel at 64 colours: bits 5 and 2 carry the mode.
    void bitmapExtract_data() {
        QTest::addColumn<int>("size");  // -1: none chosen
        QTest::addColumn<int>("mode");  // -1: no control bits
        QTest::addColumn<QString>("text");
        QTest::newRow("no size chosen") << -1 << -1 << "";
        // Black is 0x00 and white 0x77 at 64 colours.
        QTest::newRow("plain") << 5 << -1 << "{\r\n0x00, 0x77 }";
        QTest::newRow("覆盖(1,1)") << 5 << 3 << "{\r\n0x24, 0x77 }";
        QTest::newRow("相或(0,0)") << 5 << 0 << "{\r\n0x00, 0x53 }";
    }
    void bitmapExtract() {
        QFETCH(int, size);
        QFETCH(int, mode);
        QFETCH(QString, text);
        QTemporaryDir dir;
        // 2 x 1, 24 bits: a black and a white pixel.
        const QByteArray bmp = QByteArray::fromHex(
            "424d3e000000000000003600000028000000020000000100000001001800000000000800000013"
            "0b0000130b00000000000000000000000000ffffff0000");
        QVERIFY(WriteFile(dir.filePath("in.bmp"), bmp));
        ScriptedMessenger messenger;
        BitmapProcessingDialog dialog(messenger, [&](const FileQuestion& q) {
            return q.save ? dir.filePath("out.TXT") : dir.filePath("in.bmp");
        });
        dialog.show();
        dialog.sizeList()->setCurrentIndex(size);
        QTest::keyClick(dialog.colourList(), Qt::Key_Down);
        QTest::keyClick(dialog.colourList(), Qt::Key_Down);  // "64色"
        if (mode >= 0) {
            dialog.controlCheck()->click();
            dialog.modeList()->setCurrentIndex(mode);
        }
        QTest::mouseClick(dialog.extractButton(), Qt::LeftButton);
        QFile out(dir.filePath("out.TXT"));
        QCOMPARE(out.open(QIODevice::ReadOnly), !text.isEmpty());
        if (out.isOpen()) QCOMPARE(QString::fromLatin1(out.readAll()), text);
        QCOMPARE(messenger.told.size(), size_t(text.isEmpty()));
        QCOMPARE(dialog.pathEdit()->text(), text.isEmpty() ? QString() : dir.filePath("in.bmp"));
    }

    // With the virtual module as the link, the shown page and a sent page record reach the
    // dock through the progress dialog; the dock then shows what the canvas shows, at its
    // zoom, and plays the stored page.
    void virtualModule() {
        DemoCopy demo;
        MainWindow w;
        w.show();
        QVERIFY(w.openPath(demo.path("main.pg")));
        CLedDoc* page = w.pageWindows().constFirst()->page();
        LinkSettings settings;
        SetVirtualModule(settings, true);
        w.moduleLink().setSettings(settings);
        VirtualModuleDock* dock = w.moduleLink().dock();

        w.action(Cmd::ShowPage)->trigger();  // the progress dialog closes by itself
        QCOMPARE(w.moduleLink().lastResult().status, SendStatus::Done);
        QVERIFY(w.action(Cmd::VirtualModule)->isChecked());
        const QImage render = Render(page);
        QTRY_COMPARE(dock->screen(), render);
        w.pageWindows().constFirst()->canvas()->setZoom(2);
        QCOMPARE(dock->zoom(), 2);

        // A page record sent as a file is stored, not shown; "播放" shows it.
        CByteArray record;
        page->m_nStartPage = 7;
        QVERIFY(page->EncodeRecord(record, 0));
        QVERIFY(WriteFile(
            demo.path("record.bin"),
            QByteArray(reinterpret_cast<const char*>(record.data()), qsizetype(record.size()))));
        w.setFileChooser([&](const FileQuestion&) { return demo.path("record.bin"); });
        w.action(Cmd::SendFile)->trigger();
        QCOMPARE(w.moduleLink().lastResult().sent, int64_t(record.size()));
        QCOMPARE(dock->module().firstStoredPage(), 7);
        QTest::mouseClick(dock->playButton(), Qt::LeftButton);
        QVERIFY(dock->playing());
        QCOMPARE(dock->module().shownPage(), 7);
        QTRY_COMPARE(dock->screen(), render);
    }
};

UI_TEST(LinkCommandsTest);
#include "tst_linkcommands.moc"
