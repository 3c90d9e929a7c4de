// The one road to the module, through the production service: the link chosen in the
// settings dialog carries the project download of "工程管理" (the virtual module, then a
// pseudo-terminal without restarting), a second image replaces the first on the virtual
// module, and a transfer to a reader that never reads stops at once, by "停止" or by
// closing the window.

#include <poll.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <mutex>
#include <thread>

#include "core/DisplayModule.h"
#include "core/ModuleFonts.h"
#include "project/CLedDoc.h"
#include "support/LinkFixtures.h"
#include "support/ModalAnswerer.h"
#include "support/RunTool.h"
#include "ui/Commands.h"
#include "ui/MainWindow.h"
#include "ui/ModuleLink.h"
#include "ui/ProjectCommands.h"
#include "ui/UiTest.h"
#include "ui/VirtualModule.h"
#include "ui/VirtualModuleDock.h"
#include "ui/dialogs/DownloadProgressDialog.h"
#include "ui/project/ProjectManagerDialog.h"
#include "ui/widgets/ReorderList.h"

namespace {

// Reads the far end of a pseudo-terminal on a thread of its own, until told and drained.
class PtyReader {
public:
    explicit PtyReader(int fd)
        : m_thread([this, fd] {
              uint8_t buf[4096];
              pollfd p{fd, POLLIN, 0};
              for (;;) {
                  if (poll(&p, 1, 50) > 0) {
                      const ssize_t n = read(fd, buf, sizeof buf);
                      if (n > 0) m_bytes.insert(m_bytes.end(), buf, buf + n);
                  } else if (m_stop) {
                      return;
                  }
              }
          }) {}
    ~PtyReader() { take(); }
    std::vector<uint8_t> take() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
        return m_bytes;
    }

private:
    std::atomic<bool> m_stop{false};
    std::vector<uint8_t> m_bytes;
    std::thread m_thread;
};

// "工程管理" of the open project: clicks `buttons` in turn (a page picked first for "显示").
void ManageProject(MainWindow& w, const QStringList& buttons) {
    w.projectCommands().setDialogHook([&buttons](QDialog& d) {
        QTimer::singleShot(0, &d, [&buttons, &d] {
            auto& manager = static_cast<ProjectManagerDialog&>(d);
            for (const QString& b : buttons) {
                if (b == "显示") {
                    ReorderList* list = manager.orderList();
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                      list->visualItemRect(list->item(0)).center());
                }
                QTest::mouseClick(manager.button(b), Qt::LeftButton);
            }
            d.accept();
        });
    });
    w.action(Cmd::ManageProject)->trigger();
    w.projectCommands().setDialogHook({});
}

// Answers the settings dialog (from the menu or from "工程管理") with the virtual module, or
// with serial COM1 at `device`.
void ChooseLink(MainWindow& w, const std::string& device, bool fromProjectManager = false) {
    WhenModal<CommSettingsDialog>(&w, [device](CommSettingsDialog* d) {
        if (device.empty()) {
            QTest::mouseClick(d->kindButton(CommSettingsDialog::Virtual), Qt::LeftButton);
        } else {
            QTest::mouseClick(d->kindButton(CommSettingsDialog::Serial), Qt::LeftButton);
            d->portList()->setCurrentIndex(0);
            QLineEdit* edit = d->deviceList()->lineEdit();
            edit->selectAll();
            QTest::keyClicks(edit, QString::fromStdString(device));
            d->intervalList()->setCurrentIndex(0);
        }
        QTest::keyClick(d, Qt::Key_Return);
    });
    if (fromProjectManager)
        ManageProject(w, {"通信方式"});
    else
        w.action(Cmd::LinkSettings)->trigger();
}

CByteArray Export(const DemoCopy& demo) {
    const Result r = RunTool(demo.dir.path().toStdString(), "export demo.zkp -o ref.bin",
                             "cd '" + demo.dir.path().toStdString() + "' &&");
    const std::string bytes = Slurp(demo.path("ref.bin").toStdString());
    return r.status == 0 ? CByteArray(bytes.begin(), bytes.end()) : CByteArray{};
}

}  // namespace

class ModuleLinkTest : public QObject {
    Q_OBJECT
private slots:
    void projectDownloadFollowsTheChosenLink() {
        DemoCopy demo;
        MainWindow w;
        w.show();
        QVERIFY(w.openPath(demo.path("demo.zkp")));
        ModuleLink& link = w.moduleLink();
        link.setPortFinder([](LinkSettings&) { return PortList{}; });
        const CByteArray image = Export(demo);
        QVERIFY(image.size() > 1000);

        ChooseLink(w, "");
        QVERIFY(UsesVirtualModule(link.settings()));
        ManageProject(w, {"下载"});
        QCOMPARE(link.lastResult().sent, int64_t(image.size()));
        ManageProject(w, {"显示"});
        // What lcdsim stores and shows for the exported image.
        const ScreenParams screen = w.workspace().GetProject().screen;
        ModuleConfig config;
        config.width = screen.logWidth, config.height = screen.logHeight;
        config.colours = screen.colours;
        ModuleFonts::Use(config);
        DisplayModule reference(config);
        reference.Execute(image);
        CByteArray flash;
        reference.SaveFlash(flash);
        VirtualModule& module = link.dock()->module();
        QVERIFY(module.flash() == flash);
        const int first = w.workspace().GetProject().entries.front().m_nStartPage;
        reference.ShowPage(first);
        QCOMPARE(module.shownPage(), first);
        const Surface& s = reference.Screen();
        QTRY_COMPARE(link.dock()->screen(),
                     QImage(reinterpret_cast<const uchar*>(s.Pixels()), s.Width(), s.Height(),
                            QImage::Format_RGB32));

        // Another link, chosen without restarting (in "工程管理"): the next download goes there.
        PtyPair pty;
        ChooseLink(w, pty.path, true);
        QCOMPARE(link.settings().SerialDevice(), pty.path);
        PtyReader reader(pty.master);
        ManageProject(w, {"下载"});
        QCOMPARE(link.lastResult().status, SendStatus::Done);
        QVERIFY(reader.take() == image);
    }

    // A later image replaces what the earlier one stored: after an independent image whose
    // slideshow has nothing to show next, "播放" of a cyclic one cycles through its pages.
    void secondImageReplacesTheFirst() {
        DemoCopy demo;
        const std::string dir = demo.dir.path().toStdString();
        for (const char* display : {"independent", "cyclic"})
            QCOMPARE(RunTool(dir, std::string("export demo.zkp -o ") + display +
                                      ".bin --display " + display,
                             "cd '" + dir + "' &&")
                         .status,
                     0);
        MainWindow w;
        w.show();
        QVERIFY(w.openPath(demo.path("demo.zkp")));
        LinkSettings settings;
        SetVirtualModule(settings, true);
        w.moduleLink().setSettings(settings);
        VirtualModuleDock* dock = w.moduleLink().dock();
        QSet<int> shown;
        for (const char* display : {"independent", "cyclic"}) {
            w.setFileChooser([&](const FileQuestion&) { return demo.path(display + QString(".bin")); });
            w.action(Cmd::SendFile)->trigger();
            QCOMPARE(w.moduleLink().lastResult().status, SendStatus::Done);
            if (dock->playing()) QTest::mouseClick(dock->playButton(), Qt::LeftButton);
            QTest::mouseClick(dock->playButton(), Qt::LeftButton);
            shown.clear();
            for (int step = 0; step < 200; ++step) {
                dock->module().advance(0.1);
                shown.insert(dock->module().shownPage());
            }
        }
        QCOMPARE(shown.size(), int(w.workspace().GetProject().entries.size()));
    }

    // "停止", and closing the main window, end a transfer to a reader that never reads at
    // once: the worker has ended within the stop budget.
    void stopAndQuitDuringATransfer_data() {
        QTest::addColumn<bool>("quit");
        QTest::newRow("stop button") << false;
        QTest::newRow("closing the window") << true;
    }
    void stopAndQuitDuringATransfer() {
        QFETCH(bool, quit);
        QTemporaryDir dir;
        QFile big(dir.filePath("big.bin"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        big.write(QByteArray(1 << 20, 'x'));
        big.close();
        PtyPair pty;  // nobody reads the far end: the port fills and waits
        MainWindow w;
        w.show();
        LinkSettings settings;
        settings.serialPath = pty.path;
        settings.interval = 0;
        w.moduleLink().setSettings(settings);
        w.setFileChooser([&](const FileQuestion&) { return big.fileName(); });
        QElapsedTimer clock;
        qint64 ended = -1;
        WhenModal<DownloadProgressDialog>(&w, [&](DownloadProgressDialog* d) {
            connect(d, &DownloadProgressDialog::ended, d, [&] { ended = clock.elapsed(); });
            QTimer::singleShot(300, d, [&, d] {
                clock.start();
                if (quit)
                    w.close();
                else
                    QTest::mouseClick(d->stopButton(), Qt::LeftButton);
            });
        });
        w.action(Cmd::SendFile)->trigger();
        const SendResult& result = w.moduleLink().lastResult();
        QCOMPARE(result.status, SendStatus::Stopped);
        QVERIFY(result.sent > 0 && result.sent < (1 << 20));
        QVERIFY2(ended >= 0 && ended < ModuleLink::kStopBudgetMs, qPrintable(QString::number(ended)));
        QCOMPARE(w.isVisible(), !quit);
        QVERIFY(!w.moduleLink().busy());
    }
};

UI_TEST(ModuleLinkTest);
#include "tst_modulelink.moc"
