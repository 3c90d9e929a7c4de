#pragma once
// The drag-to-reorder list box: a QListWidget whose lines the user moves with the mouse.
// Pressing on the selected line arms a drag; the first move takes that line; releasing
// inside the list puts it before the line under the pointer when moving up, after it when
// moving down, and selects it. The line is moved as it is, with its data. Releasing
// outside the list changes nothing.

#include <QListWidget>

class ReorderList : public QListWidget {
    Q_OBJECT
public:
    explicit ReorderList(QWidget* parent = nullptr);
    // The lines' texts, top to bottom.
    QStringList texts() const;

signals:
    // A line was moved.
    void reordered();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_armed = false;
    QListWidgetItem* m_dragged = nullptr;
};
