#include "ui/widgets/PaletteArea.h"

#include <QIcon>
#include <QMouseEvent>
#include <QPainter>

#include "base/ColourCode.h"
#include "edit/PanelRules.h"

QColor ToQColor(COLORREF c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

COLORREF FromQColor(const QColor& c) {
    return Rgb(static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
               static_cast<uint8_t>(c.blue()));
}

QColor InverseOf(const QColor& c) {
    return QColor(255 - c.red(), 255 - c.green(), 255 - c.blue());
}

QCursor PenCursor() {
    static const QCursor pen(QIcon(QStringLiteral(":/cursors/pen.svg")).pixmap(32, 32), 3, 29);
    return pen;
}

PaletteArea::PaletteArea(QSize size, int colours, QWidget* parent)
    : QWidget(parent), m_colours(colours) {
    setFixedSize(size);
    setMouseTracking(true);
}

void PaletteArea::setColours(int colours) {
    if (colours == m_colours) return;
    m_colours = colours;
    update();
}

void PaletteArea::paintSwatch(QPainter& p, const QRect& rect, const QColor& colour,
                              const QString& label, QPoint labelAt, const QString& code,
                              QPoint codeAt) {
    p.fillRect(rect, colour);
    p.setPen(InverseOf(colour));
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip;
    if (!label.isEmpty())
        p.drawText(QRect(labelAt, QSize(rect.right() - labelAt.x(), 20)), flags, label);
    if (!code.isEmpty())
        p.drawText(QRect(codeAt, QSize(rect.right() - codeAt.x(), 20)), flags, code);
}

void PaletteArea::paintFrame(QPainter& p, const QRect& rect) {
    p.setPen(QPen(Qt::blue, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect.adjusted(0, 0, -1, -1));
}

void PaletteArea::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (PanelRules::HasGrid(m_colours)) {
        const int size = ColourCode::CellSize(m_colours);
        for (int r = 0; r < ColourCode::Rows(m_colours); ++r) {
            for (int c = 0; c < ColourCode::Columns(m_colours); ++c) {
                const QRect cell(PanelRules::kGridOrigin + c * size,
                                 PanelRules::kGridOrigin + r * size, size, size);
                // The white outline of width 1 inside each cell.
                p.fillRect(cell, Qt::white);
                p.fillRect(cell.adjusted(1, 1, -1, -1),
                           ToQColor(ColourCode::ScreenColour(m_colours, r, c)));
            }
        }
    }
    if (m_overlay) m_overlay(p);
}

void PaletteArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    uint8_t hi = 0, lo = 0;
    COLORREF colour = 0;
    if (PanelRules::GridCell(m_colours, at.x(), at.y(), hi, lo, colour))
        emit cellPicked(hi, lo, colour);
    else
        emit pressed(at);
}

void PaletteArea::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    uint8_t hi = 0, lo = 0;
    COLORREF colour = 0;
    const bool inGrid = PanelRules::GridCell(m_colours, at.x(), at.y(), hi, lo, colour);
    setCursor(inGrid ? PenCursor() : QCursor(Qt::ArrowCursor));
    emit hovered(inGrid ? QString::fromStdString(ColourCode::DialogForm(hi, lo)) : QString());
}

void PaletteArea::leaveEvent(QEvent*) {
    emit hovered(QString());
}

ColourSwatch::ColourSwatch(QWidget* parent) : QWidget(parent) {
    setFixedSize(24, 16);
}

void ColourSwatch::setColour(const QColor& colour) {
    m_colour = colour;
    update();
}

void ColourSwatch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), m_colour);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
