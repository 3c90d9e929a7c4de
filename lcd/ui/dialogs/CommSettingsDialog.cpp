#include "ui/dialogs/CommSettingsDialog.h"
#include "ui/widgets/OkCancelButtons.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "base/Messages.h"
#include "base/Messenger.h"
#include "link/SerialLink.h"
#include "ui/VirtualModule.h"
#include "ui/dialogs/ParallelBaseDialog.h"

namespace {
constexpr int kComPorts = 9;
constexpr int kMaxTimeout = 100000;
}  // namespace

CommSettingsDialog::CommSettingsDialog(LinkSettings& settings, Messenger& messenger,
                                       PortFinder finder, QWidget* parent)
    : QDialog(parent),
      m_settings(settings),
      m_edit(settings),
      m_messenger(messenger),
      m_finder(std::move(finder)) {
    setWindowTitle(tr("通讯口设置"));
    auto* grid = new QGridLayout(this);
    auto* kinds = new QHBoxLayout;
    auto* group = new QButtonGroup(this);
    const char* const names[kKinds] = {QT_TR_NOOP("串口"), QT_TR_NOOP("并口"), "USB", "CAN",
                                       QT_TR_NOOP("虚拟模块")};
    for (int k = 0; k < kKinds; ++k) {
        m_kindButtons[k] = new QRadioButton(tr(names[k]));
        group->addButton(m_kindButtons[k], k);
        kinds->addWidget(m_kindButtons[k]);
    }
    m_kindButtons[Virtual]->setToolTip(tr("编辑器内的虚拟模块：不接硬件也能检查下载的内容"));
    grid->addLayout(kinds, 0, 0, 1, 3);

    int row = 1;
    auto addRow = [&](QLabel*& label, const QString& text, QWidget* field, QLabel** unit = nullptr,
                      const QString& unitText = {}) {
        label = new QLabel(text);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        if (unit) grid->addWidget(*unit = new QLabel(unitText), row, 2);
        ++row;
    };
    m_ports = new QComboBox;
    m_ports->setMinimumContentsLength(16);
    addRow(m_portLabel, tr("端口选择："), m_ports);
    m_device = new QComboBox;
    m_device->setEditable(true);
    m_device->setMinimumContentsLength(28);
    m_device->setToolTip(tr("这个 COM 口打开的串口设备"));
    addRow(m_deviceLabel, tr("设备："), m_device);
    m_baud = new QComboBox;
    for (int32_t rate : LinkSettings::kBaudRates)
        m_baud->addItem(QString::number(rate), rate);
    m_baud->setCurrentIndex(m_baud->findData(settings.baudRate));
    addRow(m_baudLabel, tr("波特率："), m_baud);
    m_timeout = new QLineEdit(QString::number(settings.timeout));
    m_timeout->setValidator(new QIntValidator(0, kMaxTimeout, m_timeout));
    addRow(m_timeoutLabel, tr("溢出时间："), m_timeout, &m_timeoutUnit, tr("秒"));
    m_interval = new QComboBox;
    for (int i = 0; i <= LinkSettings::kMaxInterval; ++i)
        m_interval->addItem(QString::number(i));
    m_interval->setCurrentIndex(settings.interval >= 0 &&
                                        settings.interval <= LinkSettings::kMaxInterval
                                    ? settings.interval
                                    : -1);
    addRow(m_intervalLabel, tr("字符间隔："), m_interval, &m_intervalUnit, tr("微秒"));
    m_busy = new QCheckBox(tr("判断忙闲"));
    m_busy->setChecked(settings.busyCheck != 0);
    grid->addWidget(m_busy, row++, 1);
    QDialogButtonBox* buttons = OkCancelButtons(this);
    grid->addWidget(buttons, row, 0, 1, 3);

    connect(group, &QButtonGroup::idClicked, this, [this](int k) { showKind(Kind(k)); });
    connect(m_ports, &QComboBox::activated, this, &CommSettingsDialog::portChosen);
    connect(m_device, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (m_kind != Serial) return;
        // The plain /dev/ttyS<n-1> is the default and needs no line of its own.
        const std::string path = text.trimmed().toStdString();
        if (path.empty() || path == "/dev/ttyS" + std::to_string(m_com - 1))
            m_edit.comPaths.erase(m_com);
        else
            m_edit.comPaths[m_com] = path;
    });

    Kind start = Serial;
    if (UsesVirtualModule(settings))
        start = Virtual;
    else if (settings.linkKind >= 0 && settings.linkKind <= Can)
        start = Kind(settings.linkKind);
    showKind(start);
}

const PortList& CommSettingsDialog::ports() {
    if (!m_found) {
        m_found = true;
        m_portList = m_finder ? m_finder(m_edit) : FindPorts(m_edit);
    }
    return m_portList;
}

QString CommSettingsDialog::serialDeviceOf(int com) const {
    LinkSettings probe = m_edit;
    probe.comPort = com;
    probe.serialPath.clear();
    return QString::fromStdString(probe.SerialDevice());
}

void CommSettingsDialog::showKind(Kind kind) {
    m_kind = kind;
    m_kindButtons[kind]->setChecked(true);
    m_ports->clear();
    const bool device = kind == Usb || kind == Can || kind == Virtual;
    m_portLabel->setText(device ? tr("设备选择：") : tr("端口选择："));
    switch (kind) {
        case Serial: {
            for (int n = 1; n <= kComPorts; ++n)
                m_ports->addItem(QStringLiteral("COM%1").arg(n));
            m_com = m_edit.comPort >= 1 && m_edit.comPort <= kComPorts ? m_edit.comPort : 1;
            m_ports->setCurrentIndex(m_com - 1);  // a number beyond COM9 shows COM1
            const QString mapped = serialDeviceOf(m_com);
            m_device->blockSignals(true);
            m_device->clear();
            for (const PortInfo& port : ports().serial) {
                m_device->addItem(QString::fromStdString(port.name));
                m_device->setItemData(m_device->count() - 1,
                                      QString::fromStdString(Messages::Tr(port.detail)),
                                      Qt::ToolTipRole);
            }
            m_device->setEditText(mapped);
            m_device->blockSignals(false);
            break;
        }
        case Parallel:
            m_ports->addItems({tr("主板默认并口"), tr("主板扩展并口")});
            m_ports->setCurrentIndex(m_edit.parallelKind == 1 ? 1 : 0);
            break;
        case Usb:
            for (const PortInfo& port : ports().usb)
                m_ports->addItem(QString::fromStdString(Messages::Tr(port.detail)));
            m_ports->setCurrentIndex(m_ports->count() ? 0 : -1);
            break;
        case Can: {
            // An adapter written in link.conf (network or serial) comes first.
            const CanTarget target = m_edit.CanAdapter();
            if (target.deviceType != CanTarget{}.deviceType)
                m_ports->addItem(QString::fromStdString(FormatCanTarget(target)));
            for (const PortInfo& port : ports().can)
                m_ports->addItem(QString::fromStdString(port.name));
            m_ports->setCurrentIndex(m_ports->count() ? 0 : -1);
            if (!m_ports->count()) m_messenger.Tell("没有找到usb-can设备", "提示");
            break;
        }
        case Virtual:
            m_ports->addItem(tr("虚拟模块"));
            m_ports->setCurrentIndex(0);
            break;
        case kKinds:
            break;
    }
    const bool serial = kind == Serial, parallel = kind == Parallel, can = kind == Can;
    for (QWidget* w : {static_cast<QWidget*>(m_deviceLabel), static_cast<QWidget*>(m_device)})
        w->setVisible(serial);
    for (QWidget* w : {static_cast<QWidget*>(m_baudLabel), static_cast<QWidget*>(m_baud),
                       static_cast<QWidget*>(m_busy)})
        w->setVisible(serial);
    for (QWidget* w : {m_timeoutLabel, m_timeoutUnit})
        w->setVisible(serial || parallel);
    m_timeout->setVisible(serial || parallel);
    for (QWidget* w : {m_intervalLabel, m_intervalUnit})
        w->setVisible(serial || parallel || can);
    m_interval->setVisible(serial || parallel || can);
    m_intervalLabel->setText(can ? tr("帧间隔：") : tr("字符间隔："));
    m_intervalUnit->setText(can ? tr("毫秒") : tr("微秒"));
    adjustSize();
}

void CommSettingsDialog::portChosen(int index) {
    if (m_kind == Serial) {
        m_com = index + 1;
        m_device->blockSignals(true);
        m_device->setEditText(serialDeviceOf(m_com));
        m_device->blockSignals(false);
    } else if (m_kind == Parallel) {
        m_edit.parallelKind = index == 1 ? 1 : 0;
        if (index == 1) {
            ParallelBaseDialog address(m_edit.parallelBase, m_messenger, this);
            address.exec();
            m_edit.parallelBase = address.base();
        }
    }
}

bool CommSettingsDialog::save() {
    std::string error;
    const bool ok = m_saver ? m_saver(m_settings, error) : m_settings.Save(error);
    if (!ok) m_messenger.Tell("通讯设置未能保存：" + error, "提示");
    return ok;
}

void CommSettingsDialog::accept() {
    const int index = m_ports->currentIndex();
    if ((m_kind == Usb || m_kind == Can) && index < 0) {
        m_messenger.Tell("没有选择要写入的设备", "提示");
        return;
    }
    m_settings.busyCheck = m_busy->isChecked() ? 1 : 0;
    if (m_kind == Serial && m_interval->currentIndex() >= 0)
        m_settings.interval = m_interval->currentIndex();
    // Saved before and after applying; when the first save fails the second is not tried.
    const bool saved = save();

    bool timeoutOk = false;
    const int timeout = m_timeout->text().toInt(&timeoutOk);
    SetVirtualModule(m_settings, m_kind == Virtual);
    switch (m_kind) {
        case Serial:
            m_settings.linkKind = int32_t(LinkKind::Serial);
            m_settings.comPort = index + 1;
            // No rate chosen keeps the rate there was (never an impossible one).
            if (m_baud->currentIndex() >= 0) m_settings.baudRate = m_baud->currentData().toInt();
            if (m_interval->currentIndex() >= 0) m_settings.interval = m_interval->currentIndex();
            if (timeoutOk) m_settings.timeout = timeout;
            m_settings.comPaths = m_edit.comPaths;
            m_settings.serialPath.clear();
            break;
        case Parallel:
            m_settings.linkKind = int32_t(LinkKind::Parallel);
            if (m_interval->currentIndex() >= 0) m_settings.interval = m_interval->currentIndex();
            if (timeoutOk) m_settings.timeout = timeout;
            m_settings.parallelKind = m_edit.parallelKind;
            m_settings.parallelBase = m_edit.parallelBase;
            break;
        case Usb:
            m_settings.linkKind = int32_t(LinkKind::Usb);
            m_settings.usbDevices = m_edit.usbDevices;
            m_settings.usbChunk = m_edit.usbChunk;
            if (size_t(index) < ports().usb.size())
                m_settings.selectedUsbDevice = ports().usb[size_t(index)].name;
            break;
        case Can: {
            m_settings.linkKind = int32_t(LinkKind::UsbCan);
            if (m_interval->currentIndex() >= 0) m_settings.interval = m_interval->currentIndex();
            const int configured = m_ports->count() - int(ports().can.size());
            if (index >= configured) {
                m_settings.can = CanTarget{};
                m_settings.can.deviceIndex = uint32_t(index - configured);
            }
            break;
        }
        case Virtual:
        case kKinds:
            break;
    }
    if (saved) save();
    if (m_kind == Serial) {
        // Opened at once, so that a port Linux refuses is explained now, not mid-download.
        std::string error;
        if (!SerialLink::Open(m_settings, error))
            m_messenger.Tell("打开串口失败!\n" + error, "提示");
    }
    QDialog::accept();
}
