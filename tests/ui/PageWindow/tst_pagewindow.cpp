#include <QComboBox>
#include <QMdiArea>
#include <QToolBar>
#include <QWheelEvent>

#include "project/CLedDoc.h"
#include "support/ModalAnswerer.h"
#include "ui/Commands.h"
#include "ui/MainWindow.h"
#include "ui/PageCanvas.h"
#include "ui/PageWindow.h"
#include "ui/UiTest.h"

namespace {

QByteArray PageBytes(CLedDoc* page) {
    CByteArray bytes;
    std::string error;
    page->Save(bytes, error);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

}  // namespace

class PageWindowTest : public QObject {
    Q_OBJECT
private slots:
    void closeQuestion_data() {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<int>("windowsLeft");
        QTest::addColumn<int>("delayOnDisk");
        QTest::newRow("Yes saves") << QMessageBox::Yes << 0 << 3;
        QTest::newRow("No discards") << QMessageBox::No << 0 << 10;
        QTest::newRow("Cancel keeps the window") << QMessageBox::Cancel << 1 << 10;
    }
    void closeQuestion() {
        QFETCH(QMessageBox::StandardButton, answer);
        DemoCopy demo;
        MainWindow w;
        QVERIFY(w.openPath(demo.path("menu.pg")));
        PageWindow* window = w.pageWindows().constFirst();
        window->page()->m_nDelay = 3;
        window->page()->m_bModified = true;
        ModalAnswerer answers({answer});
        window->close();
        QCOMPARE(answers.texts, QStringList{"menu.pg被修改过，是否保存"});
        QTEST(int(w.pageWindows().size()), "windowsLeft");
        CLedDoc saved;
        std::string error;
        QVERIFY(saved.LoadFile(demo.path("menu.pg").toStdString(), error));
        QTEST(int(saved.m_nDelay), "delayOnDisk");
    }

    // However the zoom changes, the page stays as it was and the canvas shows every
    // module pixel as a zoom x zoom square.
    void zoomKeepsThePage_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("steps");
        QTest::addColumn<int>("zoom");
        QTest::newRow("Ctrl+wheel up") << "wheel" << 3 << 4;
        QTest::newRow("Ctrl+wheel down stops at 1x") << "wheel" << -2 << 1;
        QTest::newRow("Ctrl+plus stops at 8x") << "plus" << 9 << 8;
        QTest::newRow("zoom box") << "box" << 5 << 5;
    }
    void zoomKeepsThePage() {
        QFETCH(QString, how);
        QFETCH(int, steps);
        QFETCH(int, zoom);
        DemoCopy demo;
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QVERIFY(w.openPath(demo.path("main.pg")));
        PageCanvas* canvas = w.pageWindows().constFirst()->canvas();
        canvas->setZoom(1);
        const QByteArray before = PageBytes(canvas->page());
        for (int i = 0; i < std::abs(steps); ++i) {
            if (how == "wheel") {
                QWheelEvent wheel(QPointF(5, 5), canvas->mapToGlobal(QPointF(5, 5)), {},
                                  QPoint(0, steps > 0 ? 120 : -120), Qt::NoButton,
                                  Qt::ControlModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(canvas, &wheel);
            } else if (how == "plus") {
                QTest::keyClick(canvas, Qt::Key_Plus, Qt::ControlModifier);
            }
        }
        if (how == "box") {
            auto* box = w.findChild<QComboBox*>();
            box->setCurrentIndex(steps - 1);
            emit box->activated(steps - 1);
        }
        QCOMPARE(canvas->zoom(), zoom);
        QCOMPARE(canvas->size(), QSize(320, 240) * zoom);
        QCOMPARE(PageBytes(canvas->page()), before);
        QVERIFY(!canvas->page()->m_bModified);
        Surface surface(320, 240);
        canvas->page()->DrawPage(surface, false);
        const QImage shown = canvas->grab().toImage();
        for (QPoint m : {QPoint(0, 0), QPoint(70, 30), QPoint(319, 239), QPoint(200, 200)}) {
            const QRgb expected = surface.Pixels()[m.y() * 320 + m.x()];
            QCOMPARE(shown.pixel(m * zoom) | 0xFF000000, expected);
            QCOMPARE(shown.pixel(m * zoom + QPoint(zoom - 1, zoom - 1)) | 0xFF000000, expected);
        }
        // The mouse reaches the page controller in module pixels.
        QList<CanvasInput> inputs;
        canvas->setInputHandler([&inputs](const CanvasInput& in) { inputs.append(in); });
        QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(10 * zoom + zoom / 2, 20 * zoom));
        QCOMPARE(inputs.size(), 2);
        QCOMPARE(QPoint(inputs[1].x, inputs[1].y), QPoint(10, 20));
        QCOMPARE(canvas->coordinatesText(QPoint(10 * zoom, 20 * zoom)),
                 QString("逻辑坐标x=10,y=20 物理坐标X=%1,Y=%2").arg(10 * zoom).arg(20 * zoom));
    }

    // Ctrl+S saves a page to its own file; the export writes the direct drawing stream.
    void saveAndExport() {
        DemoCopy demo;
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QVERIFY(w.openPath(demo.path("menu.pg")));
        PageWindow* window = w.pageWindows().constFirst();
        CLedDoc* page = window->page();
        page->m_nDelay = 7;
        page->m_bModified = true;
        w.pageChanged(page);
        QVERIFY(w.action(Cmd::SavePage)->isEnabled());
        QTest::keyClick(window->canvas(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!w.action(Cmd::SavePage)->isEnabled());
        CLedDoc saved;
        std::string error;
        QVERIFY(saved.LoadFile(demo.path("menu.pg").toStdString(), error));
        QCOMPARE(int(saved.m_nDelay), 7);
        w.setFileChooser([&](const MainWindow::FileQuestion&) { return demo.path("menu"); });
        w.action(Cmd::ExportPage)->trigger();
        QFile exported(demo.path("menu.bin"));
        QVERIFY(exported.open(QIODevice::ReadOnly));
        CByteArray stream;
        page->EncodeDirect(stream, DownloadSettings{});
        QCOMPARE(exported.readAll(), QByteArray(reinterpret_cast<const char*>(stream.data()),
                                                qsizetype(stream.size())));
    }

    void windowIsTheScreenSize() {
        DemoCopy demo;
        MainWindow w;
        w.show();
        QVERIFY(w.openPath(demo.path("main.pg")));
        PageWindow* window = w.pageWindows().constFirst();
        window->canvas()->setZoom(2);
        // The 2-pixel border around the canvas, and no way to resize the window.
        QCOMPARE(window->widget()->size(), QSize(644, 484));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    }
};

UI_TEST(PageWindowTest);
#include "tst_pagewindow.moc"
