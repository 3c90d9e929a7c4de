#include "ui/panels/PagePropertiesBar.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/ColourCode.h"
#include "project/BackgroundIds.h"
#include "project/CLedDoc.h"
#include "ui/MainWindow.h"
#include "ui/panels/PropertyPanels.h"
#include "ui/widgets/PaletteArea.h"

namespace {

QComboBox* Combo(const char* name) {
    auto* box = new QComboBox;
    box->setObjectName(QLatin1String(name));
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return box;
}

QString Code(int hi, int lo) {
    return QString::fromStdString(ColourCode::DialogForm(hi, lo));
}

}  // namespace

PagePropertiesBar::PagePropertiesBar(PropertyPanels& owner, QWidget* parent)
    : QWidget(parent), m_owner(owner) {
    m_delay = Combo("delay");
    for (int v = 0; v <= 255; ++v)
        m_delay->addItem(QStringLiteral("%1 ").arg(v));
    m_kind = Combo("kind");
    m_kind->addItems({tr("主页面"), tr("辅助页面"), tr("背景位图")});
    m_backId = Combo("backId");
    for (int i = 0; i < BackgroundIds::kCount; ++i)
        m_backId->addItem(QString::number(BackgroundIds::IdOfIndex(i)));
    m_pages = Combo("pageSwitch");
    m_pages->setMinimumContentsLength(12);

    auto colourRow = [this](ColourSwatch*& swatch, QLineEdit*& code, const char* name, bool back) {
        swatch = new ColourSwatch;
        code = new QLineEdit;
        code->setObjectName(QLatin1String(name));
        code->setReadOnly(true);
        code->setMaximumWidth(60);
        auto* more = new QPushButton(QStringLiteral("..."));
        more->setObjectName(QLatin1String(name) + QStringLiteral("More"));
        more->setMaximumWidth(32);
        connect(more, &QPushButton::clicked, this, [this, back] {
            COLORREF colour = 0;
            uint8_t hi = 0, lo = 0;
            CLedDoc* page = m_owner.page();
            if (!page || !m_owner.pickColour(colour, hi, lo)) return;
            m_owner.edit([&] {
                if (back)
                    page->SetColour(colour, hi, lo, 0);
                else
                    m_owner.editor()->SetColour(colour, hi, lo);
            });
            m_owner.refresh();
        });
        auto* row = new QHBoxLayout;
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(swatch);
        row->addWidget(new QLabel(tr("代码:")));
        row->addWidget(code);
        row->addWidget(more);
        return row;
    };

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("延时：")), 0, 0);
    grid->addWidget(m_delay, 0, 1);
    grid->addWidget(new QLabel(tr("*0.25秒")), 0, 2);
    grid->addWidget(new QLabel(tr("页面属性:")), 0, 3);
    grid->addWidget(m_kind, 0, 4);
    grid->addWidget(new QLabel(tr("背景位图:")), 0, 5);
    grid->addWidget(m_backId, 0, 6);
    grid->addWidget(new QLabel(tr("页面切换：")), 0, 7);
    grid->addWidget(m_pages, 0, 8);
    grid->addWidget(new QLabel(tr("背景色")), 1, 0);
    grid->addLayout(colourRow(m_backSwatch, m_backCode, "backCode", true), 1, 1, 1, 2);
    grid->addWidget(new QLabel(tr("前景色")), 1, 3);
    grid->addLayout(colourRow(m_drawSwatch, m_drawCode, "drawCode", false), 1, 4, 1, 2);
    m_screen = new QLabel;
    m_screen->setObjectName(QStringLiteral("screen"));
    grid->addWidget(m_screen, 1, 6, 1, 3);
    grid->setColumnStretch(9, 1);

    connect(m_delay, &QComboBox::activated, this, [this](int value) {
        CLedDoc* page = m_owner.page();
        if (!page) return;
        m_owner.edit([&] {
            page->m_nDelay = value;
            page->SetModified(true);
        });
    });
    connect(m_kind, &QComboBox::activated, this, &PagePropertiesBar::chooseKind);
    connect(m_backId, &QComboBox::activated, this, [this](int index) {
        CLedDoc* page = m_owner.page();
        const int id = BackgroundIds::IdOfIndex(index);
        if (!page || id < 0) return;
        m_owner.edit([&] {
            page->m_byBackId = static_cast<uint8_t>(id);
            page->SetModified(true);
        });
        refresh();
    });
    connect(m_pages, &QComboBox::activated, this, &PagePropertiesBar::switchPage);
}

bool PagePropertiesBar::chooseImage(std::string& path) {
    if (m_chooser) return m_chooser(path);
    const QString chosen = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open bitmap file"), {},
        QStringLiteral("BMP files(*.bmp);;GIF files(*.gif);;JPEG files(*.jpg);;PNG files(*.png)"));
    path = chosen.toStdString();
    return !chosen.isEmpty();
}

void PagePropertiesBar::chooseKind(int kind) {
    CLedDoc* page = m_owner.page();
    if (!page) return;
    int& nextBackId = m_owner.window()->workspace().GetProject().nextBackId;
    m_owner.edit([&] {
        page->ChooseKind(
            kind, [this](std::string& path) { return chooseImage(path); }, nextBackId);
    });
    refresh();
}

void PagePropertiesBar::switchPage(int index) {
    Workspace& ws = m_owner.window()->workspace();
    if (index < 0 || static_cast<size_t>(index) >= ws.PagePicker().size()) return;
    const std::string title = ws.PagePicker()[static_cast<size_t>(index)];
    const std::string path = ws.EntryFile(title);
    if (!m_owner.window()->openPath(QString::fromStdString(path))) return;
    CLedDoc* page = ws.FindPage(path);
    if (!page) return;
    // A project page opened on its own still has its place in the page area.
    page->m_bInProject = 1;
    for (const CDocObj& entry : ws.GetProject().entries)
        if (entry.m_strName == title) page->m_nStartPage = entry.m_nStartPage;
    m_owner.window()->pageChanged(page);
}

void PagePropertiesBar::refresh() {
    CLedDoc* page = m_owner.page();
    if (!page) return;
    m_delay->setCurrentIndex(page->m_nDelay >= 0 && page->m_nDelay <= 255 ? page->m_nDelay : -1);
    m_kind->setCurrentIndex(page->m_nKind);
    m_backId->setCurrentIndex(BackgroundIds::IndexOfId(page->m_byBackId));
    m_backId->setEnabled(page->m_nKind == CLedDoc::PageKindBackground);
    m_backSwatch->setColour(ToQColor(page->m_crBack));
    m_drawSwatch->setColour(ToQColor(page->m_crDraw));
    m_backCode->setText(Code(page->m_backCodeHi, page->m_backCodeLo));
    m_drawCode->setText(Code(page->m_drawCodeHi, page->m_drawCodeLo));
    m_screen->setText(tr("物理宽度:%1 物理高度:%2 逻辑宽度:%3 逻辑高度:%4 颜色数:%5")
                          .arg(page->m_dPhysWidth)
                          .arg(page->m_dPhysHeight)
                          .arg(page->m_nLogWidth)
                          .arg(page->m_nLogHeight)
                          .arg(page->m_nColours));
    const Workspace& ws = m_owner.window()->workspace();
    const QSignalBlocker block(m_pages);
    m_pages->clear();
    for (const std::string& title : ws.PagePicker())
        m_pages->addItem(QString::fromStdString(title));
    m_pages->setCurrentIndex(m_pages->findText(QString::fromStdString(page->m_strTitle)));
}
