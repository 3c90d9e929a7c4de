// The item property panels, the colour pickers, the palette bar and the page-properties
// bar, driven with real key and mouse events on a page of the demo project.

#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>

#include "items/CItemAnimationWidget.h"
#include "items/CItemArc.h"
#include "items/CItemFont.h"
#include "items/CItemLine.h"
#include "items/CItemNumberWidget.h"
#include "items/CItemRectangle.h"
#include "items/CItemRound.h"
#include "project/CLedDoc.h"
#include "support/ModalAnswerer.h"
#include "ui/Commands.h"
#include "ui/MainWindow.h"
#include "ui/PageCanvas.h"
#include "ui/PageWindow.h"
#include "ui/UiTest.h"
#include "ui/dialogs/ColourPickDialog.h"
#include "ui/dialogs/FillColourDialog.h"
#include "ui/panels/ItemPanels.h"
#include "ui/panels/PagePropertiesBar.h"
#include "ui/panels/PaletteBar.h"
#include "ui/panels/PropertyPanels.h"
#include "ui/widgets/PaletteArea.h"

namespace {

constexpr COLORREF kWhite = Rgb(255, 255, 255);

// main.pg open in a main window, with one item of every panel's kind added.
struct Editor {
    DemoCopy demo;
    MainWindow w;
    CLedDoc* page = nullptr;
    PropertyPanels* panels = nullptr;
    std::map<QString, CItemBase*> items;

    Editor() {
        w.show();
        w.openPath(demo.path(QStringLiteral("main.pg")));
        page = w.pageWindows().constFirst()->page();
        panels = w.findChild<PropertyPanels*>();
        auto add = [this](const char* name, std::unique_ptr<CItemBase> item) {
            item->m_crColor = kWhite;
            items[QLatin1String(name)] = item.get();
            page->CurrentItems().push_back(std::move(item));
        };
        auto rect = std::make_unique<CItemRectangle>(10, 10, kWhite, kWhite, false);
        rect->m_x2 = 40, rect->m_y2 = 30;
        add("rect", std::move(rect));
        auto line = std::make_unique<CItemLine>(10, 200, kWhite, 1);
        line->m_x2 = 100, line->m_y2 = 200, line->m_bCreating = 0;
        add("line", std::move(line));
        auto circle = std::make_unique<CItemRound>(60, 60, kWhite, kWhite, false);
        circle->m_x2 = 70;
        add("circle", std::move(circle));
        auto arc = std::make_unique<CItemArc>();
        arc->m_xCentre = 200, arc->m_yCentre = 150, arc->m_x1 = 200, arc->m_y1 = 110;
        arc->m_x2 = 240, arc->m_y2 = 150;
        arc->UpdateAngles();
        add("arc", std::move(arc));
        auto text = std::make_unique<CItemFont>(10, 100, kWhite);
        text->m_x2 = 200, text->m_bCreating = 0;
        for (char c : std::string("abcde"))
            text->InsertChar(static_cast<uint8_t>(c), 15, 15);
        add("text", std::move(text));
        add("number", std::make_unique<CItemNumberWidget>(20, 150, kWhite));
        add("animation", std::make_unique<CItemAnimationWidget>(120, 150, kWhite));
    }
    void select(const QString& name) {
        ItemList& list = page->CurrentItems();
        for (size_t i = 0; i < list.size(); ++i) {
            list[i]->m_bSelected = list[i].get() == items[name];
            if (list[i]->m_bSelected) page->m_nSel = static_cast<int32_t>(i);
        }
        page->m_nSelType = items[name]->m_nType;
        page->Notify(true);
    }
    CItemBase* selected() { return page->CurrentItems()[static_cast<size_t>(page->m_nSel)].get(); }
    QWidget* control(int id) {
        return panels->panel(panels->shown())->findChild<QWidget*>(QString::number(id));
    }
    QImage canvas() { return w.activePageWindow()->canvas()->grab().toImage(); }
};

// Replaces what a box holds by typing, as a user does.
void Type(QWidget* box, const QString& text) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
}

struct TypingRow {
    const char* name;
    const char* item;
    int control;
    const char* typed;
    std::function<int(CItemBase&)> value;
    int want;
    bool drawn;
};

const std::vector<TypingRow>& TypingRows() {
    static const std::vector<TypingRow> rows{
        {"two points: x1", "rect", 10100, "20", [](CItemBase& i) { return i.m_x1; }, 20, true},
        {"two points: y2", "rect", 10171, "50", [](CItemBase& i) { return i.m_y2; }, 50, true},
        {"two points: not a number keeps the value", "rect", 10100, "2a",
         [](CItemBase& i) { return i.m_x1; }, 2, true},
        {"two points: typed code", "rect", 1020, "0X3A",
         [](CItemBase& i) { return i.m_codeHi * 16 + i.m_codeLo; }, 0x3A, true},
        {"line: x2", "line", 10162, "150", [](CItemBase& i) { return i.m_x2; }, 150, true},
        {"circle: centre x", "circle", 10101, "80", [](CItemBase& i) { return i.m_x1; }, 80, true},
        {"circle: radius", "circle", 10121, "25", [](CItemBase& i) { return i.m_x2; }, 85, true},
        {"arc: start angle 150", "arc", 1013, "150",
         [](CItemBase& i) { return i.m_x1 * 1000 + i.m_y1; }, 166170, true},
        {"arc: start angle 400 uses 359", "arc", 1013, "400",
         [](CItemBase& i) { return i.m_x1 * 1000 + i.m_y1; }, 240150, true},
        {"arc: radius 0 counts as 1", "arc", 10121, "0", [](CItemBase& i) { return i.m_y1; }, 149,
         true},
        {"text: frame width", "text", 10111, "24", [](CItemBase& i) { return i.m_x2 - i.m_x1; }, 24,
         true},
        {"text: horizontal magnification, none highlighted", "text", 10080, "2",
         [](CItemBase& i) {
             int n = 0;
             for (const CTextChar& c : dynamic_cast<CItemFont&>(i).m_arrChars)
                 n += c.m_nHMag == 2;
             return n;
         },
         5, true},
        {"number: integer digits", "number", 1041, "6",
         [](CItemBase& i) { return dynamic_cast<CItemNumberWidget&>(i).m_nDigits; }, 6, true},
        {"number: x", "number", 1010, "40", [](CItemBase& i) { return i.m_x1; }, 40, true},
        {"number: ID", "number", 1124, "200",
         [](CItemBase& i) { return dynamic_cast<CItemNumberWidget&>(i).m_nId; }, 200, false},
        {"animation: end x", "animation", 1148, "170", [](CItemBase& i) { return i.m_x2; }, 170,
         true},
    };
    return rows;
}

}  // namespace

class PanelsTest : public QObject {
    Q_OBJECT
private slots:
    void typingChangesTheItemAndTheCanvas_data() {
        QTest::addColumn<int>("row");
        for (size_t i = 0; i < TypingRows().size(); ++i)
            QTest::newRow(TypingRows()[i].name) << static_cast<int>(i);
    }
    void typingChangesTheItemAndTheCanvas() {
        QFETCH(int, row);
        const TypingRow& r = TypingRows()[static_cast<size_t>(row)];
        Editor e;
        e.select(QLatin1String(r.item));
        const QImage before = e.canvas();
        QSignalSpy edited(e.panels, &PropertyPanels::pageEdited);
        Type(e.control(r.control), QLatin1String(r.typed));
        QCOMPARE(r.value(*e.selected()), r.want);
        QCOMPARE(e.canvas() != before, r.drawn);
        QVERIFY(!edited.isEmpty());
        QVERIFY(e.page->m_bModified);
        // However many keys were typed, one undo step brings the item back.
        QCOMPARE(e.page->UndoCount(), 1);
        e.w.action(Cmd::Undo)->trigger();
        QCOMPARE(e.canvas(), before);
    }

    void arcAngleIsWrittenBack() {
        Editor e;
        e.select(QStringLiteral("arc"));
        Type(e.control(10142), QStringLiteral("400"));
        QCOMPARE(qobject_cast<QLineEdit*>(e.control(10142))->text(), QStringLiteral("359"));
    }

    void panelFollowsTheSelection() {
        Editor e;
        const std::pair<const char*, PropertyPanel> rows[] = {
            {"rect", PropertyPanel::TwoPoint},      {"line", PropertyPanel::Line},
            {"circle", PropertyPanel::Circle},      {"arc", PropertyPanel::Arc},
            {"text", PropertyPanel::Text},          {"number", PropertyPanel::Number},
            {"animation", PropertyPanel::Animation}};
        for (const auto& [name, panel] : rows) {
            e.select(QLatin1String(name));
            QCOMPARE(e.panels->shown(), panel);
            QVERIFY(e.panels->panel(panel)->isVisible());
        }
        // The animation widget's fields show it as soon as it is selected.
        QCOMPARE(qobject_cast<QLineEdit*>(e.control(1146))->text(), QString("120"));
        QCOMPARE(qobject_cast<QLineEdit*>(e.control(1147))->text(), QString("150"));
        QVERIFY(e.w.dock(MainWindow::Dock::PageProperties)->isVisible());
        e.w.pageWindows().constFirst()->close();
        QCOMPARE(e.panels->shown(), PropertyPanel::None);
        QVERIFY(!e.w.dock(MainWindow::Dock::NumberPanel)->isVisible());
        QVERIFY(!e.w.dock(MainWindow::Dock::PageProperties)->isVisible());
    }

    void numberWidgetRefusesAnIdOver255() {
        Editor e;
        e.select(QStringLiteral("number"));
        ModalAnswerer answers;
        Type(e.control(1124), QStringLiteral("300"));
        QCOMPARE(answers.texts.size(), 1);
        QVERIFY(answers.texts[0].contains(QStringLiteral("300")));
        // "3" and "30" were taken; "300" is not.
        QCOMPARE(dynamic_cast<CItemNumberWidget*>(e.selected())->m_nId, 30);
        QCOMPARE(qobject_cast<QLineEdit*>(e.control(1124))->text(), QStringLiteral("30"));
    }

    void numberWidgetColoursStayInTheWidget() {
        Editor e;
        e.select(QStringLiteral("number"));
        const auto drawCode = std::pair{e.page->m_drawCodeHi, e.page->m_drawCodeLo};
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<ColourPickDialog*>(QApplication::activeModalWidget());
            QTest::mouseClick(dialog->area(), Qt::LeftButton, {}, QPoint(15 + 84, 15 + 28));
            dialog->accept();
        });
        QTest::mouseClick(qobject_cast<QPushButton*>(e.control(1129)), Qt::LeftButton);
        const auto& w = dynamic_cast<CItemNumberWidget&>(*e.selected());
        QCOMPARE((std::tuple{w.m_crFore, int{w.m_foreHi}, int{w.m_foreLo}}),
                 (std::tuple{Rgb(36, 219, 170), 3, 10}));
        QCOMPARE(qobject_cast<QLineEdit*>(e.control(1126))->text(), QStringLiteral("0X3A"));
        QCOMPARE((std::pair{e.page->m_drawCodeHi, e.page->m_drawCodeLo}), drawCode);
        QCOMPARE(e.page->UndoCount(), 1);
    }

    void colourPickDialogGivesTheCellUnderTheClick() {
        ColourPickDialog dialog(256);
        dialog.show();
        const QPoint cell(15 + 10 * 8 + 4, 15 + 3 * 8 + 4);
        QTest::mouseMove(dialog.area(), cell);
        QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("1038"))->text(),
                 QStringLiteral("0X3A"));
        QTest::mouseClick(dialog.area(), Qt::LeftButton, {}, cell);
        QCOMPARE((std::tuple{int{dialog.hi()}, int{dialog.lo()}, dialog.colour()}),
                 (std::tuple{3, 10, Rgb(36, 219, 170)}));
        QCOMPARE(dialog.area()->grab().toImage().pixelColor(60, 200), QColor(36, 219, 170));
    }

    void fillDialogPicksFillThenBorderThenFill() {
        FillColourDialog dialog(8);
        dialog.show();
        auto pick = [&](int column) {
            QTest::mouseClick(dialog.area(), Qt::LeftButton, {}, QPoint(15 + column * 16 + 8, 20));
        };
        pick(4);  // red
        pick(1);  // blue
        QCOMPARE((std::pair{dialog.choice().fillLo, dialog.choice().borderLo}),
                 (std::pair<uint8_t, uint8_t>{4, 1}));
        pick(2);  // green, the fill again
        QCOMPARE((std::tuple{dialog.choice().fillColour, dialog.choice().borderColour}),
                 (std::tuple{Rgb(0, 255, 0), Rgb(0, 0, 255)}));
        // The swatches as drawn are where a click makes one active.
        QTest::mouseClick(dialog.area(), Qt::LeftButton, {}, QPoint(150, 200));
        QVERIFY(!dialog.fillActive());
        QTest::mouseClick(dialog.area(), Qt::LeftButton, {}, QPoint(20, 210));
        QVERIFY(dialog.fillActive());
    }

    void paletteBarBackSwatchColoursOnlyTheBackground() {
        Editor e;
        e.select(QStringLiteral("rect"));
        PaletteArea* area = e.panels->paletteBar()->area();
        const QPoint cell(15 + 10 * 8 + 4, 15 + 3 * 8 + 4);
        QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(90, 220));  // back, behind the front
        QTest::mouseClick(area, Qt::LeftButton, {}, cell);
        QCOMPARE((std::pair{int{e.page->m_backCodeHi}, int{e.page->m_backCodeLo}}),
                 (std::pair{3, 10}));
        QCOMPARE(e.selected()->m_crColor, kWhite);
        QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(20, 150));  // front
        QTest::mouseClick(area, Qt::LeftButton, {}, cell);
        QCOMPARE(e.selected()->m_crColor, Rgb(36, 219, 170));
        QCOMPARE(e.page->m_crDraw, Rgb(36, 219, 170));
    }

    void pageBarSetsTheDelayAndSwitchesPages() {
        DemoCopy demo;
        MainWindow w;
        w.show();
        QVERIFY(w.openPath(demo.path(QStringLiteral("demo.zkp"))));
        CLedDoc* page = w.activePageWindow()->page();
        auto* bar = w.findChild<PagePropertiesBar*>();
        const int delay = page->m_nDelay;
        QTest::keyClick(bar->findChild<QComboBox*>(QStringLiteral("delay")), Qt::Key_Down);
        QCOMPARE(page->m_nDelay, delay + 1);
        QVERIFY(page->m_bModified);
        auto* pages = bar->findChild<QComboBox*>(QStringLiteral("pageSwitch"));
        QCOMPARE(pages->currentText(), QString::fromStdString(page->m_strTitle));
        QTest::keyClick(pages, pages->currentIndex() == 0 ? Qt::Key_Down : Qt::Key_Up);
        QVERIFY(w.activePageWindow()->page() != page);
        QCOMPARE(QString::fromStdString(w.activePageWindow()->page()->m_strTitle),
                 pages->currentText());
    }

    void kindBackgroundBitmapAsksForAPicture_data() {
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<int>("kind");
        QTest::newRow("picture chosen") << true << 2;
        QTest::newRow("cancelled: main page") << false << 0;
    }
    void kindBackgroundBitmapAsksForAPicture() {
        QFETCH(bool, chosen);
        QFETCH(int, kind);
        Editor e;
        const QString picture = e.demo.path(QStringLiteral("back.bmp"));
        QImage(320, 240, QImage::Format_RGB888).save(picture);
        int asked = 0;
        e.panels->pageBar()->setImageChooser([&](std::string& path) {
            ++asked;
            path = picture.toStdString();
            return chosen;
        });
        auto* combo = e.panels->pageBar()->findChild<QComboBox*>(QStringLiteral("kind"));
        QTest::keyClick(combo, Qt::Key_End);  // "背景位图"
        QCOMPARE(asked, 1);
        QCOMPARE(e.page->m_nKind, kind);
        QCOMPARE(combo->currentIndex(), kind);
        auto* ids = e.panels->pageBar()->findChild<QComboBox*>(QStringLiteral("backId"));
        QCOMPARE(ids->isEnabled(), chosen);
        if (chosen) QCOMPARE(ids->currentText(), QString::number(e.page->m_byBackId));
    }
};

UI_TEST(PanelsTest);
#include "tst_panels.moc"
