#pragma once
// The fixed-size drawing area the three colour pickers share: the module's palette grid
// at (15, 15) for a colour count, whatever swatches the picker paints over it, the pen
// cursor over the grid and the arrow elsewhere. Coordinates are the picker's own pixels.

#include <QColor>
#include <QCursor>
#include <QWidget>
#include <functional>

#include "base/Colour.h"

QColor ToQColor(COLORREF c);
COLORREF FromQColor(const QColor& c);
// Each of red, green and blue replaced by 255 minus it: text that reads on any swatch.
QColor InverseOf(const QColor& c);
// The pickers' pen cursor (resources/cursors/pen.svg), its tip as hot spot.
QCursor PenCursor();

class PaletteArea : public QWidget {
    Q_OBJECT
public:
    using Painter = std::function<void(QPainter&)>;

    PaletteArea(QSize size, int colours, QWidget* parent = nullptr);
    int colours() const { return m_colours; }
    void setColours(int colours);
    // Paints the picker's swatches after the grid.
    void setOverlay(Painter painter) { m_overlay = std::move(painter); }
    // A solid rectangle with the two lines of text in the inverse colour on it.
    static void paintSwatch(QPainter& p, const QRect& rect, const QColor& colour,
                            const QString& label, QPoint labelAt, const QString& code,
                            QPoint codeAt);
    // A dotted blue frame.
    static void paintFrame(QPainter& p, const QRect& rect);

signals:
    // A left click in the grid: the cell and its screen colour.
    void cellPicked(int hi, int lo, COLORREF colour);
    // A left click outside the grid.
    void pressed(QPoint at);
    // The code of the cell under the mouse ("0X3A"), empty outside the grid.
    void hovered(const QString& code);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int m_colours;
    Painter m_overlay;
};

// A small rectangle in one colour, for the panels.
class ColourSwatch : public QWidget {
public:
    explicit ColourSwatch(QWidget* parent = nullptr);
    void setColour(const QColor& colour);
    QColor colour() const { return m_colour; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_colour = Qt::black;
};
