#pragma once
// The live preview of the font being made: the first glyphs, black on white, row after
// row as far as the area reaches.

#include <QWidget>
#include <vector>

#include "GlyphFile.h"

class PreviewGrid : public QWidget {
    Q_OBJECT
public:
    explicit PreviewGrid(QWidget* parent = nullptr);
    void SetCells(std::vector<Cell> cells);
    const std::vector<Cell>& Cells() const { return m_cells; }

protected:
    void paintEvent(QPaintEvent* event) override;
    QSize sizeHint() const override { return {420, 120}; }

private:
    std::vector<Cell> m_cells;
};
