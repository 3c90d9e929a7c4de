#pragma once
// "通讯口设置": the link kind and its parameters. Radio buttons pick the kind; one list
// ("端口选择" / "设备选择") changes label and content with it:
//   串口      "COM1".."COM9" and the serial device the chosen COM n opens (the devices
//             present, by-id names too); baud, timeout, interval (µs), busy check
//   并口      "主板默认并口", "主板扩展并口" (the latter asks the card's address); timeout,
//             interval (µs)
//   USB       "usb-lcd1".. the modules found
//   CAN       the adapters found; the interval list is the frame interval (ms)
//   虚拟模块  the module inside the editor (kept in link.conf, conf.dll keeps the port)
// OK refuses a USB or CAN choice without a device ("没有选择要写入的设备"), saves the
// settings, applies them by kind (a serial port is opened at once, so a port Linux refuses
// is explained now) and saves again.

#include <QDialog>
#include <functional>

#include "link/LinkSettings.h"
#include "link/PortList.h"

class Messenger;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

class CommSettingsDialog : public QDialog {
    Q_OBJECT
public:
    enum Kind { Serial, Parallel, Usb, Can, Virtual, kKinds };
    // The ports present (tests give their own).
    using PortFinder = std::function<PortList(LinkSettings&)>;
    // Writes the settings files; false with `error` set.
    using Saver = std::function<bool(const LinkSettings&, std::string&)>;

    CommSettingsDialog(LinkSettings& settings, Messenger& messenger, PortFinder finder = {},
                       QWidget* parent = nullptr);
    void setSaver(Saver saver) { m_saver = std::move(saver); }

    Kind kind() const { return m_kind; }
    QRadioButton* kindButton(Kind kind) const { return m_kindButtons[kind]; }
    QComboBox* portList() const { return m_ports; }
    QLabel* portLabel() const { return m_portLabel; }
    QComboBox* deviceList() const { return m_device; }
    QComboBox* baudList() const { return m_baud; }
    QLineEdit* timeoutEdit() const { return m_timeout; }
    QComboBox* intervalList() const { return m_interval; }
    QLabel* intervalLabel() const { return m_intervalLabel; }
    QLabel* intervalUnit() const { return m_intervalUnit; }
    QCheckBox* busyCheck() const { return m_busy; }

public slots:
    void accept() override;

private:
    void showKind(Kind kind);
    void portChosen(int index);
    const PortList& ports();
    bool save();
    QString serialDeviceOf(int com) const;

    LinkSettings& m_settings;
    LinkSettings m_edit;  // what the controls stand for until OK
    Messenger& m_messenger;
    PortFinder m_finder;
    Saver m_saver;
    bool m_found = false;
    PortList m_portList;
    Kind m_kind = Serial;
    int m_com = 1;  // the COM n whose device the device list shows

    QRadioButton* m_kindButtons[kKinds] = {};
    QLabel* m_portLabel;
    QComboBox* m_ports;
    QLabel* m_deviceLabel;
    QComboBox* m_device;
    QLabel* m_baudLabel;
    QComboBox* m_baud;
    QLabel* m_timeoutLabel;
    QLineEdit* m_timeout;
    QLabel* m_timeoutUnit;
    QLabel* m_intervalLabel;
    QComboBox* m_interval;
    QLabel* m_intervalUnit;
    QCheckBox* m_busy;
};
