#pragma once
// "测试画面": a slideshow of the open pages on the module. The list shows the open pages'
// titles; "周期" picks 1..10 half seconds; the start/stop button reads "关" while stopped
// and "开" while running. Start shows the first page at once, then the next one every
// period, selecting it in the list, and stops after the last.

#include <QDialog>
#include <QTimer>

#include "project/SlideShow.h"

class ModuleLink;
class QComboBox;
class QListWidget;
class QPushButton;
class Workspace;

class TestDisplayDialog : public QDialog {
    Q_OBJECT
public:
    TestDisplayDialog(const Workspace& workspace, ModuleLink& link, QWidget* parent = nullptr);

    // Milliseconds of one period step (500); tests run the show faster.
    void setMillisecondsPerStep(int ms) { m_msPerStep = ms; }
    QListWidget* pageList() const { return m_list; }
    QComboBox* periodPicker() const { return m_period; }
    QPushButton* startStop() const { return m_button; }
    bool running() const { return m_timer.isActive(); }

private:
    void toggle();
    void tick();
    void showPage(int index, CByteArray& command);
    void stop();

    SlideShow m_show;
    ModuleLink& m_link;
    QTimer m_timer;
    int m_msPerStep = 500;
    QListWidget* m_list = nullptr;
    QComboBox* m_period = nullptr;
    QPushButton* m_button = nullptr;
};
