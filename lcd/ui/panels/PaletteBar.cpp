#include "ui/panels/PaletteBar.h"

#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

#include "project/CLedDoc.h"
#include "ui/panels/PropertyPanels.h"
#include "ui/widgets/PaletteArea.h"

namespace {

const QRect kFront(QPoint(16, 146), QPoint(75, 205));
const QRect kBack(QPoint(36, 166), QPoint(95, 225));

}  // namespace

PaletteBar::PaletteBar(PropertyPanels& owner, QWidget* parent) : QWidget(parent), m_owner(owner) {
    m_area = new PaletteArea(QSize(158, 232), 256);
    m_area->setOverlay([this](QPainter& p) {
        p.fillRect(kBack, ToQColor(m_back.colour));
        p.fillRect(kFront, ToQColor(m_front.colour));
        PaletteArea::paintFrame(p, (m_frontActive ? kFront : kBack).adjusted(2, 2, -3, -3));
    });
    connect(m_area, &PaletteArea::pressed, this, [this](QPoint at) {
        if (kFront.contains(at))
            m_frontActive = true;
        else if (kBack.contains(at))
            m_frontActive = false;
        m_area->update();
    });
    connect(m_area, &PaletteArea::cellPicked, this, [this](int hi, int lo, COLORREF colour) {
        Swatch& s = m_frontActive ? m_front : m_back;
        s = Swatch{colour, static_cast<uint8_t>(hi), static_cast<uint8_t>(lo)};
        m_area->update();
        CLedDoc* page = m_owner.page();
        if (!page) return;
        m_owner.edit([&] {
            if (m_frontActive)
                m_owner.editor()->SetColour(s.colour, s.hi, s.lo);
            else
                page->SetColour(s.colour, s.hi, s.lo, 0);
        });
        m_owner.refresh();
    });
    m_code = new QLineEdit;
    m_code->setObjectName(QStringLiteral("1001"));
    m_code->setReadOnly(true);
    m_code->setMaximumWidth(80);
    connect(m_area, &PaletteArea::hovered, m_code, &QLineEdit::setText);
    auto* layout = new QVBoxLayout(this);
    // The dock's title names the box: "颜色代码：".
    layout->addWidget(m_code);
    layout->addWidget(m_area);
    layout->addStretch();
}

void PaletteBar::refresh() {
    if (CLedDoc* page = m_owner.page()) m_area->setColours(page->m_nColours);
}
