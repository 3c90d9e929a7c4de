#include <QImage>
#include <QInputMethodEvent>
#include <QRegularExpression>
#include <QSignalSpy>

#include "project/CLedDoc.h"
#include "support/ModalAnswerer.h"
#include "ui/Commands.h"
#include "ui/InstructionTree.h"
#include "ui/MainWindow.h"
#include "ui/PageCanvas.h"
#include "ui/PageWindow.h"
#include "ui/UiTest.h"

namespace {

// The page's lines as "lcdtool info" prints them, without the screen line.
QStringList Lines(CLedDoc* page) {
    TreeNode root;
    page->BuildTree(root);
    QStringList lines;
    std::function<void(const TreeNode&, int)> add = [&](const TreeNode& n, int depth) {
        lines << QString(depth * 2, ' ') + QString::fromStdString(n.text);
        for (const TreeNode& c : n.children)
            add(c, depth + 1);
    };
    for (const TreeNode& n : root.children)
        add(n, 0);
    return lines;
}

// The demo's main page without its items, open in a main window.
struct Blank {
    DemoCopy demo;
    MainWindow w;
    PageCanvas* canvas = nullptr;
    CLedDoc* page = nullptr;
    explicit Blank(int zoom) {
        CLedDoc doc;
        std::string error;
        doc.LoadFile(demo.path("main.pg").toStdString(), error);
        doc.CurrentItems().clear();
        doc.SaveFile(demo.path("blank.pg").toStdString(), error);
        // The fill dialog answers with the drawing colour for both.
        w.setFillColourDialog([](CLedDoc& p, FillChoice& c) {
            c = {p.m_crDraw,     p.m_crDraw,     p.m_drawCodeHi,
                 p.m_drawCodeLo, p.m_drawCodeHi, p.m_drawCodeLo};
            return true;
        });
        w.show();
        w.openPath(demo.path("blank.pg"));
        canvas = w.pageWindows().constFirst()->canvas();
        canvas->setZoom(zoom);
        page = canvas->page();
    }
    QPoint at(QPoint p) const { return p * canvas->zoom(); }
    void drag(QPoint a, QPoint b) {
        QTest::mousePress(canvas, Qt::LeftButton, {}, at(a));
        QMouseEvent move(QEvent::MouseMove, at(b), canvas->mapToGlobal(at(b)), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(canvas, &move);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, at(b));
    }
    // "d x,y>x,y" drags, "c x,y" clicks, "r x,y" right-clicks, "k text" types, "i text"
    // commits text from the input method.
    void play(const QString& script) {
        for (const QString& step : script.split(' ', Qt::SkipEmptyParts)) {
            const QStringList n = step.mid(1).split(QRegularExpression("[,>]"));
            const QPoint a(n[0].toInt(), n.value(1).toInt());
            if (step[0] == 'k') QTest::keyClicks(canvas, step.mid(1));
            QInputMethodEvent commit;
            commit.setCommitString(step.mid(1));
            if (step[0] == 'i') QApplication::sendEvent(canvas, &commit);
            if (step[0] == 'c') QTest::mouseClick(canvas, Qt::LeftButton, {}, at(a));
            if (step[0] == 'r') QTest::mouseClick(canvas, Qt::RightButton, {}, at(a));
            if (step[0] == 'd') drag(a, QPoint(n[2].toInt(), n[3].toInt()));
        }
        // The text lays its characters out as it is drawn.
        QApplication::processEvents();
    }
};

}  // namespace

class PageCanvasTest : public QObject {
    Q_OBJECT
private slots:
    // Every tool of the toolbox makes its item from real mouse and key events at 2x; typed
    // text reaches the text item as GBK, and a character GBK cannot hold is refused.
    void toolsCreateTheirItems_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("message");
        auto row = [](const char* name, int command, const char* script, QStringList lines,
                      const char* message = "") {
            QTest::newRow(name) << command << script << lines << message;
        };
        const QString box = "左上角(10,20),右下角(50,60),颜色代码 FF";
        const QString glyph = ":起始点(%1,30) 横向放大:1 纵向放大:1 颜色代码:FF";
        const QString frame = "文字: 边框左上角(30,30),右下角(120,46)";
        const QString circle = "圆心(100,100),半径:20,颜色代码 FF";
        const QString sweep = "圆心坐标(100,100),半径 40,起始角:90 终止角:270 颜色代码:FF";
        const QStringList points = {"左上角(10,10),右下角(60,60) 颜色代码:FF",
                                    "  点队列:(10,10) (60,10) (60,60) "};
        row("line", Cmd::LineTool, "d10,20>50,60", {"直线：起点(10,20),终点(50,60) 颜色代码 FF"});
        row("solid rectangle", Cmd::SolidRect, "d10,20>50,60", {"实心矩形：" + box});
        row("hollow rectangle", Cmd::HollowRect, "d10,20>50,60", {"空心矩形：" + box});
        row("button", Cmd::ButtonTool, "d10,20>50,60", {"空心矩形：" + box});
        row("input box", Cmd::InputBoxTool, "d10,20>50,60", {"空心矩形：" + box});
        row("solid ellipse", Cmd::SolidEllipse, "d10,20>50,60", {"实心椭圆：" + box});
        row("hollow ellipse", Cmd::HollowEllipse, "d10,20>50,60", {"空心椭圆：" + box});
        row("solid circle", Cmd::SolidCircle, "d100,100>120,100", {"实心圆：" + circle});
        row("hollow circle", Cmd::HollowCircle, "d100,100>120,100", {"空心圆：" + circle});
        row("pie", Cmd::PieTool, "d100,100>140,100 c100,140", {"扇形：" + sweep});
        row("arc", Cmd::ArcTool, "d100,100>140,100 c100,140", {"圆弧：" + sweep});
        row("polyline", Cmd::PolylineTool, "c10,10 c60,10 c60,60 r60,60",
            {"折线 " + points[0], points[1]});
        row("polygon", Cmd::PolygonTool, "c10,10 c60,10 c60,60 r60,60",
            {"多边形 " + points[0], points[1]});
        row("text", Cmd::TextTool, "d30,30>120,60 kAb1",
            {frame, "  A" + glyph.arg(31), "  b" + glyph.arg(39), "  1" + glyph.arg(47)});
        row("Chinese by input method", Cmd::TextTool, "d30,30>120,60 i中文",
            {frame, "  中" + glyph.arg(31), "  文" + glyph.arg(47)});
        row("outside GBK", Cmd::TextTool, "d30,30>120,60 ia😀b한",
            {frame, "  a" + glyph.arg(31), "  b" + glyph.arg(39)},
            "字符“한”不在GBK字符集中，无法输入。");
        row("number", Cmd::NumberTool, "c30,30", {"直线：起点(30,30),终点(62,46)"});
        row("animation", Cmd::AnimationTool, "c30,30", {"直线：起点(30,30),终点(62,46)"});
        row("bitmap", Cmd::BitmapTool, "c30,30", {"位图：左上角(30,30)，右下角(46,38)"});
        row("fill", Cmd::FillTool, "c5,5", {"填充：填充点(5,5)填充色代码 FF ,边界颜色代码 FF"});
        row("oversize bitmap", Cmd::BitmapTool, "c0,0", {"位图：左上角(159,119)，右下角(559,519)（超出屏幕）"},
            "单个局部位图的 宽度*高度<=131072,\r\n\r\n请用全屏位图或者缩小位图");
    }
    void toolsCreateTheirItems() {
        QFETCH(int, command);
        QFETCH(QString, script);
        QFETCH(QString, message);
        Blank b(2);
        b.w.setFileChooser([&](const MainWindow::FileQuestion&) {
            const QString path = b.demo.path(message.isEmpty() ? "small.bmp" : "big.bmp");
            const int side = message.isEmpty() ? 16 : 400;
            QImage picture(side, message.isEmpty() ? 8 : side, QImage::Format_RGB32);
            picture.fill(Qt::red);
            picture.save(path, "BMP");
            return path;
        });
        b.w.action(command)->trigger();
        ModalAnswerer answers;
        b.play(script);
        QTEST(Lines(b.page).mid(1), "lines");
        // The picture's own size check speaks first; the canvas's comes last.
        QCOMPARE(answers.texts.isEmpty() ? QString() : answers.texts.last(), message);
        QVERIFY(b.page->m_bModified && b.w.action(Cmd::Undo)->isEnabled());
        QVERIFY(b.w.pageWindows().constFirst()->isWindowModified());
    }

    // The selection tool picks the topmost body or a handle under another body; a drag is
    // one undo step; undo, redo and the delete keys (the tree's too) go through the page's
    // commands, and the tree follows. The marks are drawn at screen resolution.
    void selectDragUndo_data() {
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("deleteKey");  // 0: Delete in the tree
        QTest::newRow("topmost body") << QPoint(80, 80) << 1 << int(Qt::Key_Delete);
        QTest::newRow("handle under a body") << QPoint(100, 100) << 0 << int(Qt::Key_Period);
        QTest::newRow("delete in the tree") << QPoint(80, 80) << 1 << 0;
        QTest::newRow("empty canvas") << QPoint(300, 220) << -1 << int(Qt::Key_Delete);
    }
    void selectDragUndo() {
        QFETCH(QPoint, press);
        QFETCH(int, selected);
        QFETCH(int, deleteKey);
        Blank b(3);
        b.w.action(Cmd::HollowRect)->trigger();
        b.play("d20,20>100,100 d50,50>170,130");
        b.w.action(Cmd::SelectTool)->trigger();
        b.w.action(Cmd::InstructionTree)->trigger();
        auto* tree = b.w.findChild<InstructionTree*>();
        auto treeFollows = [&] {
            return tree->topLevelItem(0)->childCount() == Lines(b.page).size();
        };
        const QStringList drawn = Lines(b.page);
        const int undos = b.page->UndoCount();
        QSignalSpy panels(&b.w, &MainWindow::propertyPanelRequested);
        QTest::mouseClick(b.canvas, Qt::LeftButton, {}, b.at(press));
        QCOMPARE(b.page->m_nSel, selected);
        QCOMPARE(panels.last().at(0).value<PropertyPanel>(),
                 selected < 0 ? PropertyPanel::Page : PropertyPanel::TwoPoint);
        QCOMPARE(b.w.action(Cmd::DeleteItem)->isEnabled(), selected >= 0);
        if (selected < 0) return;
        const CItemBase& item = *b.page->CurrentItems()[size_t(selected)];
        const QImage shown = b.canvas->grab().toImage();
        const QPoint corner = b.at(QPoint(item.m_x1, item.m_y1)) + QPoint(1, 1);
        QCOMPARE(QColor(shown.pixel(corner)), QColor(Qt::blue));
        QVERIFY(QColor(shown.pixel(corner - QPoint(6, 0))) != QColor(Qt::blue));
        b.drag(press, press + QPoint(10, 5));
        const QStringList dragged = Lines(b.page);
        QVERIFY(dragged != drawn);
        QCOMPARE(b.page->UndoCount(), undos + 1);
        QTest::keyClick(b.canvas, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Lines(b.page), drawn);
        b.w.action(Cmd::Redo)->trigger();
        QCOMPARE(Lines(b.page), dragged);
        QTest::keyClick(deleteKey ? static_cast<QWidget*>(b.canvas) : tree,
                        Qt::Key(deleteKey ? deleteKey : Qt::Key_Delete),
                        deleteKey == Qt::Key_Period ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(Lines(b.page).size(), drawn.size() - 1);
        QVERIFY(treeFollows());
        b.w.action(Cmd::Undo)->trigger();
        QCOMPARE(Lines(b.page), dragged);
        QVERIFY(treeFollows());
    }
};

UI_TEST(PageCanvasTest);
#include "tst_pagecanvas.moc"
