#include "ui/dialogs/ColourPickDialog.h"
#include "ui/widgets/OkCancelButtons.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/ColourCode.h"
#include "ui/widgets/PaletteArea.h"

ColourPickDialog::ColourPickDialog(int colours, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("改变颜色"));
    m_area = new PaletteArea(QSize(158, 225), colours);
    m_area->setOverlay([this](QPainter& p) {
        PaletteArea::paintSwatch(p, QRect(QPoint(30, 155), QPoint(119, 214)), ToQColor(m_colour),
                                 tr("选定颜色"), QPoint(32, 165),
                                 QString::fromStdString(ColourCode::DialogForm(m_hi, m_lo)),
                                 QPoint(42, 185));
    });
    connect(m_area, &PaletteArea::cellPicked, this, [this](int hi, int lo, COLORREF colour) {
        m_hi = static_cast<uint8_t>(hi);
        m_lo = static_cast<uint8_t>(lo);
        m_colour = colour;
        m_area->update();
    });
    // The code of the cell under the mouse.
    m_hover = new QLineEdit;
    m_hover->setObjectName(QStringLiteral("1038"));
    m_hover->setReadOnly(true);
    connect(m_area, &PaletteArea::hovered, m_hover, &QLineEdit::setText);
    QDialogButtonBox* buttons = OkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_area, 0, Qt::AlignHCenter);
    layout->addWidget(m_hover);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool ColourPickDialog::pick(QWidget* parent, int colours, COLORREF& colour, uint8_t& hi,
                            uint8_t& lo) {
    ColourPickDialog dialog(colours, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    colour = dialog.colour();
    hi = dialog.hi();
    lo = dialog.lo();
    return true;
}
