#pragma once
// "改变颜色": the module's palette for one colour count; a click in the grid chooses the
// cell, the swatch below shows it with its code, OK hands back colour, row and column.

#include <QDialog>

#include "base/Colour.h"

class QLineEdit;
class PaletteArea;

class ColourPickDialog : public QDialog {
    Q_OBJECT
public:
    explicit ColourPickDialog(int colours, QWidget* parent = nullptr);

    COLORREF colour() const { return m_colour; }
    uint8_t hi() const { return m_hi; }
    uint8_t lo() const { return m_lo; }
    PaletteArea* area() const { return m_area; }

    // Runs the dialog; false (and nothing changed) when cancelled.
    static bool pick(QWidget* parent, int colours, COLORREF& colour, uint8_t& hi, uint8_t& lo);

private:
    PaletteArea* m_area;
    QLineEdit* m_hover;
    // Black, row 0, column 0 until a cell is chosen.
    COLORREF m_colour = 0;
    uint8_t m_hi = 0;
    uint8_t m_lo = 0;
};
