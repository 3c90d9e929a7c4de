#include "ui/project/DeviceEditDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "base/Messenger.h"

namespace {

QGroupBox* Group(const QString& title, QWidget* inside) {
    auto* box = new QGroupBox(title);
    auto* layout = new QHBoxLayout(box);
    layout->addWidget(inside);
    return box;
}

// "X: [..] Y: [..] unit".
QGroupBox* SizeGroup(const QString& title, QWidget* x, QWidget* y, const QString& unit) {
    auto* box = new QGroupBox(title);
    auto* row = new QHBoxLayout(box);
    row->addWidget(new QLabel(QStringLiteral("X:")));
    row->addWidget(x);
    row->addWidget(new QLabel(QStringLiteral("Y:")));
    row->addWidget(y);
    row->addWidget(new QLabel(unit));
    return box;
}

QSpinBox* Pixels() {
    auto* s = new QSpinBox;
    s->setRange(0, 65535);
    return s;
}

QDoubleSpinBox* Millimetres() {
    auto* s = new QDoubleSpinBox;
    s->setRange(0, 100000);
    s->setDecimals(2);
    return s;
}

}  // namespace

DeviceEditDialog::DeviceEditDialog(Messenger& messenger, QWidget* parent)
    : QDialog(parent), m_messenger(messenger), m_catalogue(messenger) {
    setWindowTitle(tr("设备编辑"));
    m_catalogue.Load();
    m_name = new QComboBox;
    m_name->setEditable(true);
    m_name->setInsertPolicy(QComboBox::NoInsert);
    for (int i = 0; i < m_catalogue.GetCount(); ++i)
        m_name->addItem(QString::fromStdString(m_catalogue.GetName(i)));
    m_name->setCurrentIndex(-1);
    m_colours = new QComboBox;
    for (int colours : DeviceCatalogue::ColourChoices())
        m_colours->addItem(QString::number(colours));
    m_colours->setCurrentIndex(-1);
    m_bitmaps = new QCheckBox(tr("支持"));
    m_logX = Pixels();
    m_logY = Pixels();
    m_physX = Millimetres();
    m_physY = Millimetres();

    auto* grid = new QGridLayout;
    grid->addWidget(Group(tr("设备名称"), m_name), 0, 0);
    grid->addWidget(Group(tr("设备支持颜色数目"), m_colours), 0, 1);
    grid->addWidget(Group(tr("位图支持"), m_bitmaps), 0, 2);
    grid->addWidget(SizeGroup(tr("逻辑尺寸"), m_logX, m_logY, tr("点")), 1, 0, 1, 2);
    grid->addWidget(SizeGroup(tr("物理尺寸"), m_physX, m_physY, tr("毫米")), 2, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    const std::pair<QString, void (DeviceEditDialog::*)()> actions[] = {
        {tr("新建"), &DeviceEditDialog::newDevice},
        {tr("删除"), &DeviceEditDialog::deleteDevice},
        {tr("保存"), &DeviceEditDialog::saveDevice},
        {tr("退出"), nullptr},
    };
    for (const auto& [text, slot] : actions) {
        auto* b = new QPushButton(text);
        b->setAutoDefault(false);
        if (slot)
            connect(b, &QPushButton::clicked, this, slot);
        else
            connect(b, &QPushButton::clicked, this, &QDialog::accept);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    grid->addLayout(buttons, 1, 2, 2, 1);
    setLayout(grid);
    connect(m_name, &QComboBox::textActivated, this, &DeviceEditDialog::showDevice);
}

void DeviceEditDialog::showDevice(const QString& name) {
    ScreenParams s;
    int32_t bitmaps = 0;
    if (!m_catalogue.Lookup(name.toStdString(), s, bitmaps)) return;
    m_logX->setValue(s.logWidth);
    m_logY->setValue(s.logHeight);
    m_physX->setValue(s.physWidth);
    m_physY->setValue(s.physHeight);
    m_bitmaps->setChecked(bitmaps != 0);
    const int colour = DeviceCatalogue::ColourChoiceIndex(s.colours);
    if (colour >= 0) m_colours->setCurrentIndex(colour);
}

void DeviceEditDialog::newDevice() {
    m_colours->setCurrentIndex(-1);
    m_name->setCurrentIndex(-1);
    m_name->setEditText({});
    m_name->setEnabled(true);
    m_name->setFocus();
}

void DeviceEditDialog::saveDevice() {
    CDeviceObj d;
    d.m_strName = m_name->currentText().toStdString();
    d.m_nLogWidth = m_logX->value();
    d.m_nLogHeight = m_logY->value();
    d.m_dPhysWidth = m_physX->value();
    d.m_dPhysHeight = m_physY->value();
    d.m_nBitmapSupport = m_bitmaps->isChecked() ? 1 : 0;
    d.m_nColours = DeviceCatalogue::ColoursOfChoice(m_colours->currentIndex());
    if (!m_catalogue.AddDevice(d)) return;
    m_name->addItem(QString::fromStdString(d.m_strName));
    m_name->setCurrentIndex(m_name->count() - 1);
}

void DeviceEditDialog::deleteDevice() {
    const QString name = m_name->currentText();
    if (m_catalogue.Find(name.toStdString()) >= 0 &&
        m_messenger.Ask("确认要删除设备“" + name.toStdString() + "”吗？", "提示",
                        Messenger::Buttons::YesNo) != Messenger::Answer::Yes)
        return;
    if (!m_catalogue.Remove(name.toStdString())) return;
    const int entry = m_name->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (entry >= 0) m_name->removeItem(entry);
    if (m_name->count() > 0) {
        m_name->setCurrentIndex(0);
        showDevice(m_name->currentText());
    } else {
        m_name->setCurrentIndex(-1);
    }
}
