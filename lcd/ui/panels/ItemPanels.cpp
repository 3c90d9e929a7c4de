#include "ui/panels/ItemPanels.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "base/ColourCode.h"
#include "base/Messenger.h"
#include "edit/PanelRules.h"
#include "items/CItemAnimationWidget.h"
#include "items/CItemFont.h"
#include "items/CItemNumberWidget.h"
#include "items/CItemRound.h"
#include "items/CItemSweep.h"
#include "project/CLedDoc.h"
#include "ui/panels/PropertyPanels.h"
#include "ui/widgets/PaletteArea.h"

namespace {

constexpr int kBitmapType = 16;

QString Code(int hi, int lo) {
    return QString::fromStdString(ColourCode::DialogForm(hi, lo));
}

}  // namespace

ItemPanel::ItemPanel(PropertyPanels& owner, QWidget* parent) : QWidget(parent), m_owner(owner) {}

CItemBase* ItemPanel::item() const {
    return m_owner.editor() ? m_owner.editor()->Selected() : nullptr;
}

void ItemPanel::editItem(int id, const std::function<void(CItemBase&)>& change) {
    if (!item()) return;
    m_owner.edit([&] { m_owner.editor()->Edit(id, change); });
}

QLineEdit* ItemPanel::plainBox(int id) {
    auto* box = new QLineEdit;
    box->setObjectName(QString::number(id));
    box->setMaximumWidth(80);
    return box;
}

QLineEdit* ItemPanel::numberBox(int id, Apply apply) {
    QLineEdit* box = plainBox(id);
    connect(box, &QLineEdit::textEdited, this, [this, id, apply](const QString& text) {
        if (const auto v = PanelRules::ParseNumber(text.toStdString()))
            editItem(id, [&](CItemBase& it) { apply(it, *v); });
    });
    // Text that is no number is replaced by the item's value once the user leaves it.
    connect(box, &QLineEdit::editingFinished, this, &ItemPanel::refresh);
    return box;
}

QSpinBox* ItemPanel::spinBox(int id, int min, int max, Apply apply, bool zeroIsNoValue) {
    auto* box = new QSpinBox;
    box->setObjectName(QString::number(id));
    box->setRange(min, max);
    box->setMaximumWidth(80);
    connect(box, &QSpinBox::textChanged, this,
            [this, id, apply, zeroIsNoValue](const QString& text) {
                const auto v = PanelRules::ParseNumber(text.toStdString());
                if (v && (*v != 0 || !zeroIsNoValue))
                    editItem(id, [&](CItemBase& it) { apply(it, *v); });
            });
    return box;
}

std::optional<int32_t> ItemPanel::valueOf(int id) const {
    const QString name = QString::number(id);
    if (auto* box = findChild<QLineEdit*>(name))
        return PanelRules::ParseNumber(box->text().toStdString());
    if (auto* spin = findChild<QSpinBox*>(name)) return spin->value();
    return std::nullopt;
}

void ItemPanel::display(int id, int32_t value) {
    const QString name = QString::number(id);
    if (auto* spin = findChild<QSpinBox*>(name)) {
        const QSignalBlocker block(spin);
        spin->setValue(value);
        return;
    }
    if (auto* box = findChild<QLineEdit*>(name); box && box->text() != QString::number(value))
        box->setText(QString::number(value));
}

QFormLayout* ItemPanel::group(QFormLayout* into, const QString& title) {
    auto* box = new QGroupBox(title);
    auto* form = new QFormLayout(box);
    into->addRow(box);
    return form;
}

void ItemPanel::centreGroup(QFormLayout* into,
                            std::function<void(CItemBase&, int32_t, int32_t)> move) {
    QFormLayout* centre = group(into, tr("圆心"));
    const Apply moveCentre = [this, move = std::move(move)](CItemBase& it, int32_t) {
        if (const auto x = valueOf(10101), y = valueOf(10153); x && y) move(it, *x, *y);
    };
    centre->addRow(tr("横坐标"), numberBox(10101, moveCentre));
    centre->addRow(tr("纵坐标"), numberBox(10153, moveCentre));
}

void ItemPanel::colourRow(QFormLayout* form, const QString& label) {
    m_swatch = new ColourSwatch;
    m_swatch->setObjectName(QStringLiteral("1018"));
    m_more = new QPushButton(QStringLiteral("..."));
    m_more->setObjectName(QStringLiteral("1019"));
    m_more->setMaximumWidth(32);
    m_code = new QLineEdit;
    m_code->setObjectName(QStringLiteral("1020"));
    m_code->setMaximumWidth(80);
    auto* row = new QHBoxLayout;
    row->addWidget(m_swatch);
    row->addWidget(m_more);
    row->addStretch();
    form->addRow(label, row);
    form->addRow(tr("颜色代码:"), m_code);
    connect(m_more, &QPushButton::clicked, this, [this] {
        COLORREF colour = 0;
        uint8_t hi = 0, lo = 0;
        if (!item() || !m_owner.pickColour(colour, hi, lo)) return;
        m_owner.edit([&] { m_owner.editor()->SetColour(colour, hi, lo); });
        refresh();
    });
    connect(m_code, &QLineEdit::textEdited, this, [this](const QString& text) {
        uint8_t hi = 0, lo = 0;
        CLedDoc* page = m_owner.page();
        if (!item() || !PanelRules::ParseCode(text.toStdString(), page->m_nColours, hi, lo)) return;
        const COLORREF colour = ColourCode::ScreenColour(page->m_nColours, hi, lo);
        m_owner.edit([&] { m_owner.editor()->SetColour(colour, hi, lo); });
        m_swatch->setColour(ToQColor(colour));
    });
    connect(m_code, &QLineEdit::editingFinished, this, &ItemPanel::refresh);
}

void ItemPanel::showColour(const CItemBase& it) {
    m_swatch->setColour(ToQColor(it.m_crColor));
    if (!m_code->hasFocus()) m_code->setText(Code(it.m_codeHi, it.m_codeLo));
}

// --- two points and line -------------------------------------------------------------

TwoPointPanel::TwoPointPanel(PropertyPanels& owner, QWidget* parent)
    : TwoPointPanel(owner, {10100, 10151, 10161, 10171}, tr("颜色:"), parent) {}

TwoPointPanel::TwoPointPanel(PropertyPanels& owner, const int (&ids)[4], const QString& colourLabel,
                             QWidget* parent)
    : ItemPanel(owner, parent), m_ids{ids[0], ids[1], ids[2], ids[3]} {
    auto* form = new QFormLayout(this);
    int32_t CItemBase::*const members[4] = {&CItemBase::m_x1, &CItemBase::m_y1, &CItemBase::m_x2,
                                            &CItemBase::m_y2};
    for (int end = 0; end < 2; ++end) {
        QFormLayout* g = group(form, end ? tr("终点") : tr("起点"));
        for (int k = 2 * end; k < 2 * end + 2; ++k)
            g->addRow(k % 2 ? tr("纵坐标") : tr("横坐标"),
                      numberBox(ids[k], [m = members[k]](CItemBase& it, int32_t v) { it.*m = v; }));
    }
    colourRow(form, colourLabel);
}

void TwoPointPanel::refresh() {
    const CItemBase* it = item();
    if (!it) return;
    const int32_t values[4] = {it->m_x1, it->m_y1, it->m_x2, it->m_y2};
    for (int k = 0; k < 4; ++k)
        display(m_ids[k], values[k]);
    showColour(*it);
    // A bitmap has no colour of its own.
    m_code->setVisible(it->m_nType != kBitmapType);
    m_more->setVisible(it->m_nType != kBitmapType);
}

LinePanel::LinePanel(PropertyPanels& owner, QWidget* parent)
    : TwoPointPanel(owner, {1010, 10152, 10162, 10172}, tr("直线颜色:"), parent) {}

// --- circle ----------------------------------------------------------------------------

CirclePanel::CirclePanel(PropertyPanels& owner, QWidget* parent) : ItemPanel(owner, parent) {
    auto* form = new QFormLayout(this);
    centreGroup(form, [](CItemBase& it, int32_t x, int32_t y) {
        if (auto* c = dynamic_cast<CItemRound*>(&it)) PanelRules::SetCircleCentre(*c, x, y);
    });
    form->addRow(tr("半径:"), numberBox(10121, [](CItemBase& it, int32_t r) {
                     if (auto* c = dynamic_cast<CItemRound*>(&it))
                         PanelRules::SetCircleRadius(*c, r);
                 }));
    colourRow(form, tr("颜色:"));
}

void CirclePanel::refresh() {
    const auto* c = dynamic_cast<const CItemRound*>(item());
    if (!c) return;
    display(10101, c->m_x1);
    display(10153, c->m_y1);
    display(10121, PanelRules::CircleRadius(*c));
    showColour(*c);
}

// --- arc and pie ------------------------------------------------------------------------

ArcPanel::ArcPanel(PropertyPanels& owner, QWidget* parent) : ItemPanel(owner, parent) {
    auto* form = new QFormLayout(this);
    centreGroup(form, [](CItemBase& it, int32_t x, int32_t y) {
        if (auto* s = dynamic_cast<CItemSweep*>(&it)) PanelRules::SetSweepCentre(*s, x, y);
    });
    form->addRow(tr("半径"), numberBox(10121, [](CItemBase& it, int32_t a) {
                     if (auto* s = dynamic_cast<CItemSweep*>(&it))
                         PanelRules::SetSweepRadius(*s, a);
                 }));
    for (const auto& [id, label, end] :
         {std::tuple{1013, tr("起始角"), false}, std::tuple{10142, tr("终止角"), true}}) {
        form->addRow(label, numberBox(id, [this, id = id, end = end](CItemBase& it, int32_t v) {
                         auto* s = dynamic_cast<CItemSweep*>(&it);
                         if (!s) return;
                         PanelRules::SetSweepAngle(*s, end, v);
                         // The angle used is the one the box shows.
                         if (PanelRules::ClampAngle(v) != v) display(id, PanelRules::ClampAngle(v));
                     }));
    }
    colourRow(form, tr("颜色:"));
}

void ArcPanel::refresh() {
    const auto* s = dynamic_cast<const CItemSweep*>(item());
    if (!s) return;
    display(10101, s->m_xCentre);
    display(10153, s->m_yCentre);
    display(10121, s->m_nRadius);
    display(1013, s->m_nStartAngle);
    display(10142, s->m_nEndAngle);
    showColour(*s);
}

// --- text -------------------------------------------------------------------------------

TextPanel::TextPanel(PropertyPanels& owner, QWidget* parent) : ItemPanel(owner, parent) {
    auto* form = new QFormLayout(this);
    QFormLayout* frame = group(form, tr("边框："));
    frame->addRow(tr("横坐标"), numberBox(10100, [](CItemBase& it, int32_t v) { it.m_x1 = v; }));
    frame->addRow(tr("纵坐标"), numberBox(10151, [](CItemBase& it, int32_t v) { it.m_y1 = v; }));
    frame->addRow(tr("字框宽度:"), numberBox(10111, [](CItemBase& it, int32_t w) {
                      it.m_x2 = static_cast<int32_t>(int64_t{it.m_x1} + w);
                  }));
    QFormLayout* text = group(form, tr("文字："));
    for (const auto& [id, label, vertical] :
         {std::tuple{10080, tr("横向放大:"), false}, std::tuple{10090, tr("纵向放大:"), true}}) {
        text->addRow(label, spinBox(
                                id, 0, 99,
                                [vertical = vertical](CItemBase& it, int32_t v) {
                                    if (auto* t = dynamic_cast<CItemFont*>(&it))
                                        PanelRules::SetTextMagnification(*t, vertical, v);
                                },
                                true));
    }
}

void TextPanel::refresh() {
    const auto* t = dynamic_cast<const CItemFont*>(item());
    if (!t) return;
    display(10100, t->m_x1);
    display(10151, t->m_y1);
    display(10111, t->m_x2 - t->m_x1);
    display(10080, PanelRules::TextMagnification(*t, false));
    display(10090, PanelRules::TextMagnification(*t, true));
}

// --- number widget ----------------------------------------------------------------------

NumberPanel::NumberPanel(PropertyPanels& owner, QWidget* parent) : ItemPanel(owner, parent) {
    auto* form = new QFormLayout(this);
    auto widget = [](CItemBase& it) { return dynamic_cast<CItemNumberWidget*>(&it); };
    // An ID the module cannot take is refused before it counts as an edit.
    QLineEdit* id = plainBox(1124);
    connect(id, &QLineEdit::editingFinished, this, &ItemPanel::refresh);
    connect(id, &QLineEdit::textEdited, this, [this, id, widget](const QString& text) {
        const auto v = PanelRules::ParseNumber(text.toStdString());
        auto* w = dynamic_cast<CItemNumberWidget*>(item());
        if (!v || !w) return;
        if (!PanelRules::WidgetIdFits(*v)) {
            const int32_t old = w->m_nId;
            m_owner.page()->GetMessenger().Tell(
                tr("ID值必须在 0 到 %1 之间，%2 无法使用；保留原值 %3。")
                    .arg(PanelRules::kMaxWidgetId)
                    .arg(*v)
                    .arg(old)
                    .toStdString(),
                "提示");
            id->setText(QString::number(old));
            return;
        }
        editItem(1124, [&](CItemBase& it) { widget(it)->m_nId = *v; });
    });
    form->addRow(tr("ID值:"), id);
    m_font = new QComboBox;
    m_font->setObjectName(QStringLiteral("1115"));
    m_font->addItems({QStringLiteral("8X16"), QStringLiteral("16X16"), QStringLiteral("16X32"),
                      QStringLiteral("32X16")});
    connect(m_font, &QComboBox::activated, this, [this, widget](int index) {
        editItem(1115, [&](CItemBase& it) { widget(it)->m_nFontSize = index; });
    });
    form->addRow(tr("字体点阵："), m_font);

    QFormLayout* colours = group(form, tr("颜色设置"));
    for (bool fore : {true, false}) {
        auto* button = new QPushButton(fore ? tr("前景色") : tr("背景色"));
        button->setObjectName(fore ? QStringLiteral("1129") : QStringLiteral("1128"));
        auto* swatch = new ColourSwatch;
        swatch->setObjectName(fore ? QStringLiteral("1043") : QStringLiteral("1125"));
        auto* code = new QLineEdit;
        code->setObjectName(fore ? QStringLiteral("1126") : QStringLiteral("1127"));
        code->setReadOnly(true);
        code->setMaximumWidth(60);
        (fore ? m_foreSwatch : m_backSwatch) = swatch;
        (fore ? m_foreCode : m_backCode) = code;
        auto* row = new QHBoxLayout;
        row->addWidget(swatch);
        row->addWidget(code);
        colours->addRow(button, row);
        connect(button, &QPushButton::clicked, this, [this, fore] { pickColour(fore); });
    }

    // Pairs of boxes side by side keep the panel short.
    auto pair = [&](const QString& title, const QString& a, QWidget* wa, const QString& b,
                    QWidget* wb) {
        auto* box = new QGroupBox(title);
        auto* row = new QHBoxLayout(box);
        for (auto [label, w] : {std::pair{a, wa}, std::pair{b, wb}}) {
            row->addWidget(new QLabel(label));
            row->addWidget(w);
        }
        form->addRow(box);
    };
    pair(tr("起点"), QStringLiteral("X"),
         numberBox(1010, [](CItemBase& it, int32_t v) { it.m_x1 = v; }), QStringLiteral("Y"),
         numberBox(10152, [](CItemBase& it, int32_t v) { it.m_y1 = v; }));
    // "0" integer digits is no count: the box is left alone until a real one is typed.
    pair(tr("数值位数"), tr("整数位:"),
         spinBox(
             1041, 1, PanelRules::kMaxDigits,
             [widget](CItemBase& it, int32_t v) {
                 widget(it)->m_nDigits = PanelRules::ClampDigits(v);
             },
             true),
         tr("小数位:"),
         spinBox(1042, 0, PanelRules::kMaxDigits, [widget](CItemBase& it, int32_t v) {
             widget(it)->m_nDecimals = PanelRules::ClampDecimals(v);
         }));
    auto* choices = new QHBoxLayout;
    form->addRow(choices);

    auto radios = [&](const QString& title, std::initializer_list<std::pair<int, QString>> buttons,
                      int32_t CItemNumberWidget::*member) {
        auto* box = new QGroupBox(title);
        auto* row = new QVBoxLayout(box);
        auto* groupOf = new QButtonGroup(this);
        int value = 0;
        for (const auto& [rid, text] : buttons) {
            auto* radio = new QRadioButton(text);
            radio->setObjectName(QString::number(rid));
            groupOf->addButton(radio, value++);
            row->addWidget(radio);
        }
        choices->addWidget(box);
        connect(groupOf, &QButtonGroup::idClicked, this,
                [this, member, rid = *buttons.begin()](int v) {
                    editItem(rid.first, [&](CItemBase& it) {
                        if (auto* w = dynamic_cast<CItemNumberWidget*>(&it)) w->*member = v;
                    });
                });
        return groupOf;
    };
    m_sign = radios(tr("代数符号"), {{1090, tr("无符号")}, {1091, tr("有符号")}},
                    &CItemNumberWidget::m_nSign);
    m_align = radios(tr("对齐方式"), {{1109, tr("左对齐")}, {1110, tr("右对齐")}},
                     &CItemNumberWidget::m_nAlign);
    auto* zeros = new QCheckBox(tr("前导零"));
    zeros->setObjectName(QStringLiteral("1112"));
    connect(zeros, &QCheckBox::clicked, this, [this, widget](bool on) {
        editItem(1112, [&](CItemBase& it) { widget(it)->m_bLeadingZeros = on ? 1 : 0; });
    });
    form->addRow(zeros);
    lineNote(form);
}

void NumberPanel::pickColour(bool fore) {
    COLORREF colour = 0;
    uint8_t hi = 0, lo = 0;
    if (!dynamic_cast<CItemNumberWidget*>(item()) || !m_owner.pickColour(colour, hi, lo)) return;
    // The widget keeps its own colours; the page's drawing colour stays.
    m_owner.editor()->EndRun();
    editItem(fore ? 1129 : 1128, [&](CItemBase& it) {
        auto& w = dynamic_cast<CItemNumberWidget&>(it);
        (fore ? w.m_crFore : w.m_crBack) = colour;
        (fore ? w.m_foreHi : w.m_backHi) = hi;
        (fore ? w.m_foreLo : w.m_backLo) = lo;
    });
    m_owner.editor()->EndRun();
    refresh();
}

void NumberPanel::refresh() {
    const auto* w = dynamic_cast<const CItemNumberWidget*>(item());
    if (!w) return;
    display(1124, w->m_nId);
    display(1010, w->m_x1);
    display(10152, w->m_y1);
    display(1041, w->m_nDigits);
    display(1042, w->m_nDecimals);
    m_font->setCurrentIndex(w->m_nFontSize >= 0 && w->m_nFontSize < 4 ? w->m_nFontSize : -1);
    if (QAbstractButton* b = m_sign->button(w->m_nSign)) b->setChecked(true);
    if (QAbstractButton* b = m_align->button(w->m_nAlign)) b->setChecked(true);
    findChild<QCheckBox*>(QStringLiteral("1112"))->setChecked(w->m_bLeadingZeros != 0);
    m_foreSwatch->setColour(ToQColor(w->m_crFore));
    m_backSwatch->setColour(ToQColor(w->m_crBack));
    m_foreCode->setText(Code(w->m_foreHi, w->m_foreLo));
    m_backCode->setText(Code(w->m_backHi, w->m_backLo));
}

// --- animation widget -------------------------------------------------------------------

AnimationPanel::AnimationPanel(PropertyPanels& owner, QWidget* parent) : ItemPanel(owner, parent) {
    auto* form = new QFormLayout(this);
    using W = CItemAnimationWidget;
    auto field = [this](int id, int32_t W::*member) {
        return numberBox(id, [member](CItemBase& it, int32_t v) {
            if (auto* w = dynamic_cast<W*>(&it)) w->*member = v;
        });
    };
    form->addRow(tr("ID值:"), field(1150, &W::m_nAnimValue));
    QFormLayout* start = group(form, tr("起点"));
    start->addRow(QStringLiteral("X"), field(1146, &W::m_x1));
    start->addRow(QStringLiteral("Y"), field(1147, &W::m_y1));
    QFormLayout* end = group(form, tr("终点"));
    end->addRow(QStringLiteral("X"), field(1148, &W::m_x2));
    end->addRow(QStringLiteral("Y"), field(1149, &W::m_y2));
    auto* interval = new QSpinBox;
    interval->setToolTip(tr("动画控件的行为尚未设计：间隔和“增加图片”只留在面板上。"));
    interval->setObjectName(QStringLiteral("1151"));
    form->addRow(tr("动画间隔:"), interval);
    auto* add = new QPushButton(tr("增加图片"));
    add->setObjectName(QStringLiteral("1143"));
    add->setToolTip(interval->toolTip());
    form->addRow(add);
    lineNote(form);
}

void AnimationPanel::refresh() {
    const auto* w = dynamic_cast<const CItemAnimationWidget*>(item());
    if (!w) return;
    display(1150, w->m_nAnimValue);
    display(1146, w->m_x1);
    display(1147, w->m_y1);
    display(1148, w->m_x2);
    display(1149, w->m_y2);
}

void ItemPanel::lineNote(QFormLayout* form) {
    auto* note = new QLabel(tr("下载到模块的是从起点到终点的一条直线：模块本身不认识这个控件。"));
    note->setObjectName(QStringLiteral("lineNote"));
    note->setWordWrap(true);
    note->setStyleSheet(QStringLiteral("color: palette(mid)"));
    form->addRow(note);
}
