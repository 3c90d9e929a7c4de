#include "ui/project/FlashMapView.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include "project/FlashMap.h"
#include "ui/PageCanvas.h"

FlashMapView::FlashMapView(Painter draw, QWidget* parent)
    : QWidget(parent), m_draw(std::move(draw)), m_surface(FlashMap::kSize, FlashMap::kSize) {
    setMouseTracking(true);
    setScale(PageCanvas::defaultZoom(screen()));
}

void FlashMapView::setScale(int scale) {
    m_scale = std::max(1, scale);
    setFixedSize(sizeHint());
    update();
}

QSize FlashMapView::sizeHint() const {
    return QSize(FlashMap::kSize, FlashMap::kSize) * m_scale;
}

QPoint FlashMapView::cellCentre(int cell) const {
    const int x =
        FlashMap::kOrigin + (cell % FlashMap::kColumns) * FlashMap::kCell + FlashMap::kCell / 2;
    const int y =
        FlashMap::kOrigin + (cell / FlashMap::kColumns) * FlashMap::kCell + FlashMap::kCell / 2;
    return QPoint(x, y) * m_scale;
}

void FlashMapView::redraw() {
    m_drawn = m_draw && m_draw(m_surface);
    update();
}

QPoint FlashMapView::toMap(const QPointF& p) const {
    return QPoint(static_cast<int>(p.x()) / m_scale, static_cast<int>(p.y()) / m_scale);
}

void FlashMapView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!m_drawn) {
        painter.fillRect(rect(), Qt::white);
        return;
    }
    const QImage image(reinterpret_cast<const uchar*>(m_surface.Pixels()), m_surface.Width(),
                       m_surface.Height(), m_surface.Width() * 4, QImage::Format_RGB32);
    painter.drawImage(rect(), image);
}

void FlashMapView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_pressed = true;
    const QPoint p = toMap(event->position());
    emit pressed(p.x(), p.y());
}

void FlashMapView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = toMap(event->position());
    const int cell = FlashMap::CellAt(p.x(), p.y());
    if (cell != m_hover) {
        m_hover = cell;
        emit hovered(cell);
    }
    if (m_pressed && (event->buttons() & Qt::LeftButton)) emit dragged(p.x(), p.y());
}

void FlashMapView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressed) return;
    m_pressed = false;
    emit released();
}

void FlashMapView::leaveEvent(QEvent*) {
    if (m_hover == -1) return;
    m_hover = -1;
    emit hovered(-1);
}
