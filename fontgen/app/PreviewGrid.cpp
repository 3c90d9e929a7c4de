#include "PreviewGrid.h"

#include <QPainter>

PreviewGrid::PreviewGrid(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(80);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PreviewGrid::SetCells(std::vector<Cell> cells) {
    m_cells = std::move(cells);
    update();
}

void PreviewGrid::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xE0, 0xE0, 0xE0));
    if (m_cells.empty()) return;
    const int w = m_cells.front().width, h = m_cells.front().height;
    // Small cells are shown at two screen pixels per dot.
    const int scale = w <= 40 && h <= 40 ? 2 : 1;
    const int stepX = w * scale + 2, stepY = h * scale + 2;
    const int columns = std::max(1, (width() - 2) / stepX);
    for (size_t i = 0; i < m_cells.size(); ++i) {
        const int left = 2 + static_cast<int>(i % columns) * stepX;
        const int top = 2 + static_cast<int>(i / columns) * stepY;
        if (top >= height()) break;
        painter.fillRect(left, top, w * scale, h * scale, Qt::white);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (m_cells[i].At(x, y))
                    painter.fillRect(left + x * scale, top + y * scale, scale, scale, Qt::black);
    }
}
