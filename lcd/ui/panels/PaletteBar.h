#pragma once
// The dockable palette: the grid of the active page's colour count, the drawing colour
// (front swatch, white at first) before the background colour (back swatch, black at
// first). A click in the grid gives the active swatch the cell and the page its colour:
// the front one colours the selected item and becomes the drawing colour, the back one
// becomes the page background. The two colours stay when another page comes in front.

#include <QWidget>

#include "base/Colour.h"

class PropertyPanels;
class PaletteArea;
class QLineEdit;

class PaletteBar : public QWidget {
    Q_OBJECT
public:
    explicit PaletteBar(PropertyPanels& owner, QWidget* parent = nullptr);
    PaletteArea* area() const { return m_area; }
    bool frontActive() const { return m_frontActive; }
    // Follows the active page's colour count.
    void refresh();

private:
    struct Swatch {
        COLORREF colour;
        uint8_t hi = 0, lo = 0;
    };
    PropertyPanels& m_owner;
    PaletteArea* m_area;
    QLineEdit* m_code;
    Swatch m_front{Rgb(255, 255, 255)};
    Swatch m_back{Rgb(0, 0, 0)};
    bool m_frontActive = true;
};
