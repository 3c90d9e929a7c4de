#pragma once
// "填充设置": the fill tool's two colours. A click in the grid gives the active swatch
// (fill first) the picked cell and makes the other swatch active; a click on a swatch
// makes it active. OK hands back both colours and codes.

#include <QDialog>

#include "items/CItemFill.h"

class PaletteArea;

class FillColourDialog : public QDialog {
    Q_OBJECT
public:
    explicit FillColourDialog(int colours = 256, QWidget* parent = nullptr);

    const FillChoice& choice() const { return m_choice; }
    bool fillActive() const { return m_fillActive; }
    PaletteArea* area() const { return m_area; }

    // The dialog as the fill tool asks for it (PageController::Dialogs::fillColours);
    // `colours` is read each time it opens. Cancelled: false, and no fill is made.
    static FillDialog callback(QWidget* parent, std::function<int()> colours);

private:
    PaletteArea* m_area;
    FillChoice m_choice{0, 0, 0, 0, 0, 0};
    bool m_fillActive = true;
};
