#pragma once
// One flash map of project management: the core draws it on a surface of map
// coordinates (FlashMap), this widget shows it scaled for the screen and turns the mouse
// back into map coordinates.

#include <QWidget>
#include <functional>

#include "gfx/Surface.h"

class FlashMapView : public QWidget {
    Q_OBJECT
public:
    // `draw` paints the map; false when it could not (the user has been told).
    using Painter = std::function<bool(Surface&)>;
    explicit FlashMapView(Painter draw, QWidget* parent = nullptr);

    // Screen pixels per map pixel: 2 on high-density screens.
    int scale() const { return m_scale; }
    void setScale(int scale);
    // The widget point of the centre of map cell `cell` (tests and keyboard use it).
    QPoint cellCentre(int cell) const;
    // Draws the map anew and shows it.
    void redraw();
    QSize sizeHint() const override;

signals:
    // Map coordinates of the pointer.
    void pressed(int x, int y);
    void dragged(int x, int y);
    void released();
    // The cell under the pointer changed (-1 off the grid).
    void hovered(int cell);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPoint toMap(const QPointF& p) const;

    Painter m_draw;
    Surface m_surface;
    bool m_drawn = false;
    int m_scale = 1;
    bool m_pressed = false;
    int m_hover = -2;
};
