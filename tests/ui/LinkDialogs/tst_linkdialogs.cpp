// The link's dialogs and the gradient bar, driven with real clicks and keys.

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <numeric>

#include "link/SerialLink.h"
#include "support/LinkFixtures.h"
#include "support/ModalAnswerer.h"
#include "support/ScriptedMessenger.h"
#include "ui/UiTest.h"
#include "ui/VirtualModule.h"
#include "ui/dialogs/CommSettingsDialog.h"
#include "ui/dialogs/DownloadProgressDialog.h"
#include "ui/dialogs/FontDownloadDialog.h"
#include "ui/dialogs/ParallelBaseDialog.h"
#include "ui/widgets/GradientProgressBar.h"

namespace {

QStringList Entries(QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out.append(box->itemText(i));
    return out;
}

QStringList Told(const ScriptedMessenger& m) {
    QStringList out;
    for (const std::string& s : m.told)
        out.append(QString::fromStdString(s));
    return out;
}

QString Hex(const CByteArray& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())).toHex();
}

void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

}  // namespace

class LinkDialogsTest : public QObject {
    Q_OBJECT
private slots:
    // Bands, fill length and text of the bar; the ends of the range show the button face.
    void progressBarPainting_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<QColor>("end");
        QTest::addColumn<QColor>("left");
        QTest::addColumn<QColor>("middle");  // x = 100, the last band painted at 50 %
        QTest::addColumn<QColor>("right");
        QTest::addColumn<QString>("text");
        const QColor red(255, 0, 0), black(0, 0, 0);
        const QColor face = QApplication::palette().color(QPalette::Button);
        // 255 bands of 200 / 255 pixels: x = 1 is band 2, x = 100 band 128.
        QTest::newRow("50%: half the gradient") << 50 << QColor(0, 0, 255) << QColor(253, 0, 2)
                                                << QColor(127, 0, 128) << black << "50%";
        QTest::newRow("0: button face") << 0 << QColor(0, 0, 255) << face << face << face << "";
        QTest::newRow("100: button face") << 100 << QColor(0, 0, 255) << face << face << face << "";
        QTest::newRow("equal colours: no bands") << 50 << red << black << black << black << "50%";
    }
    void progressBarPainting() {
        QFETCH(int, value);
        QFETCH(QColor, end);
        QFETCH(QString, text);
        GradientProgressBar bar;
        bar.resize(200, 24);
        bar.setEndColour(end);
        bar.setBackgroundColour(Qt::black);
        bar.setShowText(true);
        bar.setValue(value);
        const QImage image = bar.grab().toImage();
        QTEST(image.pixelColor(1, 1), "left");
        QTEST(image.pixelColor(100, 1), "middle");
        QTEST(image.pixelColor(101, 1), "right");  // the rest is background
        QCOMPARE(bar.text(), text);
        bool white = false;
        for (int x = 80; x < 120; ++x)
            white = white || image.pixelColor(x, 12) == Qt::white;
        QCOMPARE(white, !text.isEmpty());
    }

    // The views by link kind.
    void settingsViews_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("shown");  // baud, timeout, interval, busy check: 1 shown
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QStringList>("told");
        QStringList com;
        for (int n = 1; n <= 9; ++n)
            com << QStringLiteral("COM%1").arg(n);
        QTest::newRow("serial") << 0 << "端口选择：" << com << "1111"
                                << "微秒" << QStringList();
        QTest::newRow("parallel") << 1 << "端口选择："
                                  << QStringList{"主板默认并口", "主板扩展并口"} << "0110"
                                  << "微秒" << QStringList();
        QTest::newRow("USB") << 2 << "设备选择：" << QStringList{"usb-lcd1", "usb-lcd2"} << "0000"
                             << "微秒" << QStringList();
        QTest::newRow("CAN, none found") << 3 << "设备选择：" << QStringList() << "0010"
                                         << "毫秒" << QStringList{"没有找到usb-can设备"};
        QTest::newRow("virtual module") << 4 << "设备选择：" << QStringList{"虚拟模块"} << "0000"
                                        << "微秒" << QStringList();
    }
    void settingsViews() {
        QFETCH(int, kind);
        LinkSettings settings;
        ScriptedMessenger messenger;
        CommSettingsDialog dialog(settings, messenger, [](LinkSettings&) {
            return PortList{{}, {}, {{"1-1", "usb-lcd1"}, {"1-2", "usb-lcd2"}}, {}};
        });
        dialog.show();
        QTest::mouseClick(dialog.kindButton(CommSettingsDialog::Kind(kind)), Qt::LeftButton);
        QTEST(dialog.portLabel()->text(), "label");
        QTEST(Entries(dialog.portList()), "entries");
        QString shown;
        for (QWidget* w :
             std::initializer_list<QWidget*>{dialog.baudList(), dialog.timeoutEdit(),
                                             dialog.intervalList(), dialog.busyCheck()})
            shown += w->isVisibleTo(&dialog) ? '1' : '0';
        QTEST(shown, "shown");
        QTEST(dialog.intervalUnit()->text(), "unit");
        QTEST(Told(messenger), "told");
    }

    // OK: a USB or CAN choice needs a device; the settings are saved before and after they
    // are applied; the virtual module stays out of conf.dll.
    void settingsOk_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("saves");
        QTest::addColumn<QString>("conf");  // conf.dll as saved last, hex
        QTest::addColumn<QStringList>("told");
        QTest::newRow("USB without a device")
            << 2 << false << 0 << "" << QStringList{"没有选择要写入的设备"};
        QTest::newRow("serial COM3 at 115200 on a pty")
            << 0 << true << 2
            << "000000000300000000c2010002000000640000000000000001000000000000000000"
            << QStringList();
        QTest::newRow("parallel card at 378")
            << 1 << true << 2
            << "01000000010000008025000002000000640000000000000000000000010000007803"
            << QStringList();
        QTest::newRow("virtual module")
            << 4 << true << 2
            << "00000000010000008025000002000000640000000000000000000000000000000000"
            << QStringList();
    }
    void settingsOk() {
        QFETCH(int, kind);
        QFETCH(QString, conf);
        PtyPair pty;
        LinkSettings settings;
        ScriptedMessenger messenger;
        CommSettingsDialog dialog(settings, messenger, [](LinkSettings&) { return PortList{}; });
        int saves = 0;
        dialog.setSaver([&](const LinkSettings&, std::string&) { return ++saves; });
        dialog.show();
        QTest::mouseClick(dialog.kindButton(CommSettingsDialog::Kind(kind)), Qt::LeftButton);
        if (kind == 0) {
            QTest::keyClick(dialog.portList(), Qt::Key_Down);
            QTest::keyClick(dialog.portList(), Qt::Key_Down);
            Type(dialog.deviceList()->lineEdit(), QString::fromStdString(pty.path));
            QTest::keyClick(dialog.baudList(), Qt::Key_End);
            dialog.busyCheck()->click();
        }
        if (kind == 1) {
            WhenModal<ParallelBaseDialog>(&dialog, [](ParallelBaseDialog* address) {
                Type(address->edit(), "378");
                QTest::keyClick(address->edit(), Qt::Key_Return);  // "确定": stays open
                address->reject();                                 // "退出"
            });
            QTest::keyClick(dialog.portList(), Qt::Key_Down);  // "主板扩展并口"
        }
        QTest::keyClick(&dialog, Qt::Key_Return);
        QTEST(dialog.result() == QDialog::Accepted && !dialog.isVisible(), "accepted");
        QTEST(saves, "saves");
        QTEST(Told(messenger), "told");
        if (!conf.isEmpty()) QCOMPARE(Hex(settings.Encode()), conf);
        QCOMPARE(UsesVirtualModule(settings), kind == 4);
        if (kind == 0) QCOMPARE(settings.SerialDevice(), pty.path);
    }

    // "确定" takes the hexadecimal text's low 16 bits; anything else changes nothing.
    void parallelBase_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("base");
        QTest::addColumn<int>("messages");
        QTest::newRow("378") << "378" << 0x0378 << 0;
        QTest::newRow("low 16 bits") << "12378" << 0x2378 << 0;
        QTest::newRow("empty") << "" << 0x1234 << 0;
        QTest::newRow("not hexadecimal") << "3g8" << 0x1234 << 1;
    }
    void parallelBase() {
        QFETCH(QString, text);
        ScriptedMessenger messenger;
        ParallelBaseDialog dialog(0x1234, messenger);
        dialog.show();
        QCOMPARE(dialog.edit()->text(), QString("1234"));
        Type(dialog.edit(), text);
        QTest::keyClick(dialog.edit(), Qt::Key_Return);
        QTEST(int(dialog.base()), "base");
        QTEST(int(messenger.told.size()), "messages");
    }

    // The range rule, the end and what is said after a failure or a timeout; a CAN
    // adapter (size 9), which does not answer, only had the bytes handed to it.
    void progressOutcome_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QStringList>("told");
        QTest::addColumn<QString>("caption");
        QTest::newRow("0x8000 bytes, 1000 steps") << 0x8000 << 0 << 1000 << QStringList() << "";
        QTest::newRow("over CAN") << 9 << 0 << 9 << QStringList() << "";
        QTest::newRow("failure") << 10 << 3 << 10 << QStringList{"写入失败"} << "提示";
        QTest::newRow("timeout") << 10 << 2 << 10 << QStringList{"请检查连接是否正确"} << "超时";
    }
    void progressOutcome() {
        QFETCH(int, size);
        QFETCH(int, status);
        QFETCH(QStringList, told);
        ScriptedMessenger messenger;
        const SendResult result{SendStatus(status), 0, told.value(0).toStdString()};
        const bool can = size == 9;
        DownloadProgressDialog dialog(
            std::make_unique<ScriptedLink>(result, can ? LinkKind::UsbCan : LinkKind::None),
            CByteArray(size), messenger);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(dialog.exec(), status == 0 ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QVERIFY(status == 0 ? clock.elapsed() >= DownloadProgressDialog::kCloseDelayMs
                            : clock.elapsed() < DownloadProgressDialog::kCloseDelayMs);
        QTEST(dialog.bar()->maximum(), "maximum");
        QCOMPARE(dialog.bar()->value(), dialog.bar()->maximum() - 1);
        QCOMPARE(Told(messenger), told);
        if (!told.isEmpty()) QTEST(QString::fromStdString(messenger.captions[0]), "caption");
        if (status == 0)
            QVERIFY(dialog.statusLabel()->text().startsWith(can ? "已把 0 字节交给 CAN" : "完成"));
    }

    // "停止" over a pseudo-terminal: the port takes no byte after it, the dialog says so.
    void progressStop() {
        PtyPair pty;
        LinkSettings settings;
        settings.serialPath = pty.path;
        settings.interval = 99;
        std::string error;
        auto link = SerialLink::Open(settings, error);
        QVERIFY2(link, error.c_str());
        CByteArray bytes(3000);
        std::iota(bytes.begin(), bytes.end(), uint8_t{0});
        ScriptedMessenger messenger;
        DownloadProgressDialog dialog(std::move(link), bytes, messenger);
        connect(dialog.bar(), &QProgressBar::valueChanged, &dialog, [&](int value) {
            if (value >= 100 && dialog.stopButton()->isEnabled())
                QTest::mouseClick(dialog.stopButton(), Qt::LeftButton);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(dialog.result().status, SendStatus::Stopped);
        const std::vector<uint8_t> received = pty.Received();
        QCOMPARE(int64_t(received.size()), dialog.result().sent);
        QVERIFY(received.size() >= 100 && received.size() < bytes.size());
        QVERIFY(std::equal(received.begin(), received.end(), bytes.begin()));
        QVERIFY(dialog.statusLabel()->text().startsWith("下载已停止"));
        QVERIFY(messenger.told.empty());
    }

    // Refusals of "字库下载" and what OK hands on.
    void fontDialog_data() {
        QTest::addColumn<QString>("way");   // radio clicked: "", "standard", "custom"
        QTest::addColumn<QString>("file");  // the file dialog's answer
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("told");
        QTest::addColumn<int>("download");  // DownloadKind after OK, -1: still open
        QTest::newRow("no file") << ""
                                 << ""
                                 << "0"
                                 << "请选择要下载的字库文件" << -1;
        QTest::newRow("file dialog cancelled") << "custom"
                                               << ""
                                               << "3"
                                               << "请选择要下载的字库文件" << -1;
        QTest::newRow("kind 10") << "custom"
                                 << "/f.bin"
                                 << "10"
                                 << "请填写0-9之间的数字" << -1;
        QTest::newRow("kind -1") << "custom"
                                 << "/f.bin"
                                 << "-1"
                                 << "请填写0-9之间的数字" << -1;
        QTest::newRow("custom kind 3") << "custom"
                                       << "/f.bin"
                                       << "3"
                                       << "" << 5;
        QTest::newRow("standard") << "standard"
                                  << "/f.bin"
                                  << ""
                                  << "" << 1;
    }
    void fontDialog() {
        QFETCH(QString, way);
        QFETCH(QString, file);
        QFETCH(QString, kind);
        QFETCH(int, download);
        ScriptedMessenger messenger;
        QStringList titles;
        FontDownloadDialog dialog(messenger, [&](const FileQuestion& q) {
            titles.append(q.title);
            return file;
        });
        dialog.show();
        if (!way.isEmpty())
            QTest::mouseClick(way == "custom" ? dialog.customButton() : dialog.standardButton(),
                              Qt::LeftButton);
        QCOMPARE(dialog.kindEdit()->isVisible(), way == "custom" && !file.isEmpty());
        QCOMPARE(dialog.customButton()->isChecked() || dialog.standardButton()->isChecked(),
                 !file.isEmpty());
        if (dialog.kindEdit()->isVisible()) Type(dialog.kindEdit(), kind);
        QTest::keyClick(&dialog, Qt::Key_Return);
        QTEST(Told(messenger).value(0), "told");
        QCOMPARE(dialog.isVisible(), download < 0);
        if (download >= 0) {
            QCOMPARE(int(dialog.request().kind), download);
            QCOMPARE(dialog.request().fontKind, download == 5 ? 3 : 0);
            QCOMPARE(titles, QStringList{way == "custom" ? "打开自定义字库文件" : "打开字库文件"});
        }
    }
};

UI_TEST(LinkDialogsTest);
#include "tst_linkdialogs.moc"
