#include "GlyphView.h"

#include <QPainter>

#include <algorithm>

GlyphView::GlyphView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(160, 160);
}

void GlyphView::SetGlyph(const Cell& cell) {
    m_cell = cell;
    m_note.clear();
    update();
}

void GlyphView::SetNote(const QString& note) {
    m_cell = Cell();
    m_note = note;
    update();
}

int GlyphView::SquareSize(const QRect& area, const Cell& cell) {
    if (cell.width <= 0 || cell.height <= 0) return 0;
    return std::min(area.width() / cell.width, (area.height() - 1) / cell.height);
}

void GlyphView::Paint(QPainter& painter, const QRect& area, const Cell& cell) {
    painter.fillRect(area, Qt::white);
    const int s = SquareSize(area, cell);
    if (s <= 0) return;
    const int left = area.left() + (area.width() - s * cell.width) / 2;
    const int top = area.top() + 1;
    // Each square covers s x s pixels with its outline on its own edge pixels. Squares
    // too small to show red inside an outline are filled without one.
    const bool outline = s >= 4;
    painter.setPen(outline ? QPen(Qt::black, 0) : QPen(Qt::NoPen));
    for (int y = 0; y < cell.height; ++y)
        for (int x = 0; x < cell.width; ++x) {
            painter.setBrush(cell.At(x, y) ? QColor(255, 0, 0) : QColor(Qt::white));
            if (outline)
                painter.drawRect(left + x * s, top + y * s, s - 1, s - 1);
            else
                painter.fillRect(left + x * s, top + y * s, s, s, painter.brush());
        }
}

void GlyphView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Paint(painter, rect(), m_cell);
    if (!m_note.isEmpty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, m_note);
    }
}
