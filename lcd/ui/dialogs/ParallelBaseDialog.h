#pragma once
// "扩展并口卡地址设置": the I/O base of an extension parallel port card. "确定" takes the
// hexadecimal text after "0x" (its low 16 bits) and keeps the dialog open; "退出" closes it.

#include <QDialog>
#include <cstdint>

class Messenger;
class QLineEdit;

class ParallelBaseDialog : public QDialog {
    Q_OBJECT
public:
    ParallelBaseDialog(uint16_t base, Messenger& messenger, QWidget* parent = nullptr);
    uint16_t base() const { return m_base; }
    QLineEdit* edit() const { return m_edit; }

private:
    void take();

    Messenger& m_messenger;
    QLineEdit* m_edit;
    uint16_t m_base;
};
