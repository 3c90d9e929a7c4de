#include "ui/dialogs/FillColourDialog.h"
#include "ui/widgets/OkCancelButtons.h"

#include <QDialogButtonBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/ColourCode.h"
#include "ui/widgets/PaletteArea.h"

namespace {

// The swatches as drawn; a click on one of them makes it active (the drawn swatches are
// the click areas, so what the user sees is what they hit).
const QRect kFillSwatch(QPoint(15, 155), QPoint(84, 214));
const QRect kBorderSwatch(QPoint(93, 155), QPoint(162, 214));

QString Code(uint8_t hi, uint8_t lo) {
    return QString::fromStdString(ColourCode::DialogForm(hi, lo));
}

}  // namespace

FillColourDialog::FillColourDialog(int colours, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("填充设置"));
    m_area = new PaletteArea(QSize(178, 225), colours);
    m_area->setOverlay([this](QPainter& p) {
        const FillChoice& c = m_choice;
        PaletteArea::paintSwatch(p, kFillSwatch, ToQColor(c.fillColour), tr("填充颜色"),
                                 QPoint(20, 165), Code(c.fillHi, c.fillLo), QPoint(35, 185));
        PaletteArea::paintSwatch(p, kBorderSwatch, ToQColor(c.borderColour), tr("边界颜色"),
                                 QPoint(98, 165), Code(c.borderHi, c.borderLo), QPoint(108, 185));
        const int left = m_fillActive ? 16 : 94;
        PaletteArea::paintFrame(p, QRect(QPoint(left, 156), QPoint(left + 67, 213)));
    });
    connect(m_area, &PaletteArea::cellPicked, this, [this](int hi, int lo, COLORREF colour) {
        FillChoice& c = m_choice;
        if (m_fillActive) {
            c.fillColour = colour, c.fillHi = static_cast<uint8_t>(hi);
            c.fillLo = static_cast<uint8_t>(lo);
        } else {
            c.borderColour = colour, c.borderHi = static_cast<uint8_t>(hi);
            c.borderLo = static_cast<uint8_t>(lo);
        }
        m_fillActive = !m_fillActive;
        m_area->update();
    });
    connect(m_area, &PaletteArea::pressed, this, [this](QPoint at) {
        if (kFillSwatch.contains(at))
            m_fillActive = true;
        else if (kBorderSwatch.contains(at))
            m_fillActive = false;
        m_area->update();
    });
    QDialogButtonBox* buttons = OkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_area, 0, Qt::AlignHCenter);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

FillDialog FillColourDialog::callback(QWidget* parent, std::function<int()> colours) {
    return [parent = QPointer<QWidget>(parent), colours = std::move(colours)](FillChoice& out) {
        FillColourDialog dialog(colours ? colours() : 256, parent);
        if (dialog.exec() != QDialog::Accepted) return false;
        out = dialog.choice();
        return true;
    };
}
