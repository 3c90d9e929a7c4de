#pragma once
// The viewer's drawing area: one glyph enlarged, red squares for ink and white ones
// for the rest, each outlined with the default pen; or a note where there is no glyph.

#include <QString>
#include <QWidget>

#include "GlyphFile.h"

class QPainter;

class GlyphView : public QWidget {
    Q_OBJECT
public:
    explicit GlyphView(QWidget* parent = nullptr);

    void SetGlyph(const Cell& cell);
    // Shows `note` instead of a glyph ("" clears the area).
    void SetNote(const QString& note);
    const Cell& Glyph() const { return m_cell; }

    // Paints `cell` into `area` filled white: squares of the largest size s that lets
    // the cell fit, centred across and starting one pixel below the top.
    static void Paint(QPainter& painter, const QRect& area, const Cell& cell);
    // The square size Paint uses.
    static int SquareSize(const QRect& area, const Cell& cell);

protected:
    void paintEvent(QPaintEvent* event) override;
    QSize sizeHint() const override { return {260, 260}; }

private:
    Cell m_cell;
    QString m_note;
};
