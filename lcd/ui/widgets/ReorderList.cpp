#include "ui/widgets/ReorderList.h"

#include <QMouseEvent>

ReorderList::ReorderList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::NoDragDrop);
}

QStringList ReorderList::texts() const {
    QStringList list;
    for (int i = 0; i < count(); ++i)
        list.append(item(i)->text());
    return list;
}

void ReorderList::mousePressEvent(QMouseEvent* event) {
    QListWidgetItem* hit = itemAt(event->position().toPoint());
    m_armed = event->button() == Qt::LeftButton && hit && hit == currentItem() && hit->isSelected();
    m_dragged = nullptr;
    QListWidget::mousePressEvent(event);
}

void ReorderList::mouseMoveEvent(QMouseEvent* event) {
    if (m_armed && !m_dragged && (event->buttons() & Qt::LeftButton)) {
        m_dragged = currentItem();
        setCursor(Qt::DragMoveCursor);
    }
    // The selection stays on the dragged line while it moves.
    if (!m_dragged) QListWidget::mouseMoveEvent(event);
}

void ReorderList::mouseReleaseEvent(QMouseEvent* event) {
    QListWidgetItem* dragged = m_dragged;
    m_armed = false;
    m_dragged = nullptr;
    unsetCursor();
    if (!dragged || event->button() != Qt::LeftButton) {
        QListWidget::mouseReleaseEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    if (!viewport()->rect().contains(at)) return;
    const int from = row(dragged);
    QListWidgetItem* target = itemAt(at);
    // Below the last line counts as the last line.
    int to = target ? row(target) : count() - 1;
    if (to == from || to < 0) return;
    takeItem(from);
    insertItem(to, dragged);
    setCurrentItem(dragged);
    emit reordered();
}
