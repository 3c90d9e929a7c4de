#pragma once
// Answers the message boxes a widget test opens: records each box's text and presses the
// next scripted button (Escape when the script has run out).

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>

class ModalAnswerer : public QObject {
public:
    explicit ModalAnswerer(QList<QMessageBox::StandardButton> script = {})
        : m_script(std::move(script)) {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            texts.append(box->text());
            // A box without the scripted button (a message after all) is closed and the
            // script waits for the next question.
            QAbstractButton* button = m_script.isEmpty() ? nullptr : box->button(m_script.first());
            if (!button) {
                QTest::keyClick(box, Qt::Key_Escape);
                return;
            }
            m_script.removeFirst();
            button->click();
        });
        m_timer.start(5);
    }
    QStringList texts;

private:
    QList<QMessageBox::StandardButton> m_script;
    QTimer m_timer;
};

// Acts on the first modal window of class T (not a message box) while `context` lives.
template <class T, class Act>
void WhenModal(QObject* context, Act act) {
    auto* timer = new QTimer(context);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* w = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!w) return;
        timer->stop();
        timer->deleteLater();
        act(w);
    });
    timer->start(5);
}
