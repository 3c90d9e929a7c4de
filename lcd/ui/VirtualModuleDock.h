#pragma once
// The dock "虚拟模块": the virtual module's screen at the canvas's zoom, a button that plays
// the stored pages as the module's slideshow does, and a line about what arrived.

#include <QDockWidget>
#include <QTimer>

class QLabel;
class QPushButton;
class QScrollArea;
class VirtualModule;

class VirtualModuleDock : public QDockWidget {
    Q_OBJECT
public:
    // The slideshow's step of virtual time, also its timer's interval.
    static constexpr int kStepMs = 100;

    explicit VirtualModuleDock(QWidget* parent = nullptr);

    VirtualModule& module() const { return *m_module; }
    int zoom() const { return m_zoom; }
    void setZoom(int zoom);
    // The screen as shown (the module's pixels, not scaled).
    QImage screen() const;
    QPushButton* playButton() const { return m_play; }
    bool playing() const { return m_timer.isActive(); }

private:
    void play(bool on);
    void showScreen();

    static constexpr int kMaxRoom = 520;

    VirtualModule* m_module;
    QScrollArea* m_scroll;
    QLabel* m_view;
    QLabel* m_status;
    QPushButton* m_play;
    QTimer m_timer;
    int m_zoom = 1;
    int m_warnings = 0;
};
