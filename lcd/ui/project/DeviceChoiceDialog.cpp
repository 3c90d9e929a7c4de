#include "ui/project/DeviceChoiceDialog.h"
#include "base/Messages.h"
#include "ui/widgets/OkCancelButtons.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString Number(double v) {
    return QString::number(v, 'g', 10);
}

QLineEdit* ReadOnly() {
    auto* e = new QLineEdit;
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setMaximumWidth(80);
    return e;
}

// "X: [..] Y: [..] unit" on one row.
QWidget* Pair(QLineEdit* x, QLineEdit* y, const QString& unit) {
    auto* w = new QWidget;
    auto* row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("X:")));
    row->addWidget(x);
    row->addWidget(new QLabel(QStringLiteral("Y:")));
    row->addWidget(y);
    row->addWidget(new QLabel(unit));
    row->addStretch();
    return w;
}

QWidget* WithUnit(QLineEdit* e, const QString& unit) {
    auto* w = new QWidget;
    auto* row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(e);
    if (!unit.isEmpty()) row->addWidget(new QLabel(unit));
    row->addStretch();
    return w;
}

const char* Title(DeviceChoiceDialog::Kind kind) {
    switch (kind) {
        case DeviceChoiceDialog::Kind::NewProject:
            return QT_TRANSLATE_NOOP("DeviceChoiceDialog", "新建工程");
        case DeviceChoiceDialog::Kind::NewPage:
            return QT_TRANSLATE_NOOP("DeviceChoiceDialog", "新建页面");
        default:
            return QT_TRANSLATE_NOOP("DeviceChoiceDialog", "页面转换");
    }
}

}  // namespace

DeviceChoiceDialog::DeviceChoiceDialog(Kind kind, Messenger& messenger, QWidget* parent)
    : QDialog(parent), m_kind(kind), m_catalogue(messenger) {
    setWindowTitle(tr(Title(kind)));
    m_catalogue.Load(false);
    auto* form = new QFormLayout;
    m_device = new QComboBox;
    m_device->setObjectName(QStringLiteral("device"));
    for (int i = 0; i < m_catalogue.GetCount(); ++i)
        m_device->addItem(QString::fromStdString(m_catalogue.GetName(i)));
    form->addRow(tr("设备型号："), m_device);
    for (int i = 0; i < 6; ++i)
        m_fields.append(ReadOnly());
    form->addRow(tr("物理尺寸："), Pair(m_fields[0], m_fields[1], tr("毫米")));
    form->addRow(tr("逻辑尺寸："), Pair(m_fields[2], m_fields[3], tr("像素")));
    form->addRow(tr("颜色数："), WithUnit(m_fields[4], tr("色")));
    form->addRow(tr("位图支持："), WithUnit(m_fields[5], {}));
    if (kind != Kind::ConvertPage) {
        m_name = new QLineEdit;
        m_name->setObjectName(QStringLiteral("name"));
        form->addRow(kind == Kind::NewProject ? tr("工程名称：") : tr("页面名称："), m_name);
    }
    if (kind == Kind::NewProject) {
        m_path = new QLineEdit;
        m_path->setObjectName(QStringLiteral("path"));
        auto* browse = new QPushButton(QStringLiteral("..."));
        browse->setMaximumWidth(32);
        connect(browse, &QPushButton::clicked, this, &DeviceChoiceDialog::browse);
        auto* row = new QHBoxLayout;
        row->addWidget(m_path);
        row->addWidget(browse);
        form->addRow(tr("存放路径："), row);
    }
    QDialogButtonBox* buttons = OkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(m_device, &QComboBox::currentIndexChanged, this, &DeviceChoiceDialog::showDevice);
    showDevice(m_device->currentIndex());
}

int DeviceChoiceDialog::exec() {
    if (m_catalogue.GetCount() == 0) {
        QMessageBox::information(parentWidget(), tr("设备配置表中没有添加任何设备"),
                                 tr("请添加设备后再创建"));
        return Rejected;
    }
    return QDialog::exec();
}

void DeviceChoiceDialog::showDevice(int index) {
    CDeviceObj d;
    if (!m_catalogue.GetAt(index, d)) {
        for (QLineEdit* e : m_fields)
            e->clear();
        return;
    }
    m_fields[0]->setText(Number(d.m_dPhysWidth));
    m_fields[1]->setText(Number(d.m_dPhysHeight));
    m_fields[2]->setText(QString::number(d.m_nLogWidth));
    m_fields[3]->setText(QString::number(d.m_nLogHeight));
    m_fields[4]->setText(QString::number(d.m_nColours));
    m_fields[5]->setText(QString::fromStdString(
        Messages::Tr(DeviceCatalogue::BitmapSupportText(d.m_nBitmapSupport))));
}

void DeviceChoiceDialog::browse() {
    const QString dir = QFileDialog::getExistingDirectory(
        this, tr("工程存放路径选择"), m_path->text(), QFileDialog::ShowDirsOnly);
    if (!dir.isEmpty()) m_path->setText(dir);
}

ScreenParams DeviceChoiceDialog::screen() const {
    CDeviceObj d;
    if (!m_catalogue.GetAt(m_device->currentIndex(), d)) return ScreenParams{"", 0, 0, 0, 0, 0};
    return d.GetScreenParams();
}

bool DeviceChoiceDialog::bitmaps() const {
    return m_fields[5]->text() ==
           QString::fromStdString(Messages::Tr(DeviceCatalogue::BitmapSupportText(1)));
}

NewProjectChoice DeviceChoiceDialog::projectChoice() const {
    NewProjectChoice c;
    c.screen = screen();
    c.bitmaps = bitmaps();
    if (m_name) c.name = m_name->text().trimmed().toStdString();
    if (m_path) c.parentDir = m_path->text().trimmed().toStdString();
    return c;
}

NewPageChoice DeviceChoiceDialog::pageChoice() const {
    NewPageChoice c;
    c.screen = screen();
    c.bitmaps = bitmaps();
    if (m_name) c.name = m_name->text().trimmed().toStdString();
    return c;
}

void DeviceChoiceDialog::accept() {
    std::string complaint;
    if (m_kind == Kind::NewProject) complaint = Workspace::CheckNewProject(projectChoice());
    if (m_kind == Kind::NewPage) complaint = Workspace::CheckNewPage(pageChoice());
    if (m_kind == Kind::ConvertPage && screen().device.empty()) complaint = "请选择设备类型";
    if (!complaint.empty()) {
        QMessageBox::information(this, tr("提示"), QString::fromStdString(Messages::Tr(complaint)));
        return;
    }
    QDialog::accept();
}

PageNameDialog::PageNameDialog(const Workspace& workspace, QWidget* parent)
    : QDialog(parent), m_workspace(workspace) {
    setWindowTitle(tr("页面名称"));
    m_name = new QLineEdit;
    m_name->setObjectName(QStringLiteral("name"));
    QDialogButtonBox* buttons = OkCancelButtons(this);
    auto* form = new QFormLayout(this);
    form->addRow(tr("页面名称："), m_name);
    form->addRow(buttons);
}

QString PageNameDialog::name() const {
    return m_name->text().trimmed();
}

void PageNameDialog::accept() {
    const std::string typed = name().toStdString();
    if (typed.empty()) {
        QMessageBox::information(this, tr("请填写页面名称"), tr("页面名称不能为空"));
        return;
    }
    const std::string complaint = m_workspace.CheckPageName(Workspace::CompletePageName(typed));
    if (!complaint.empty()) {
        QMessageBox::information(this, tr("提示"), QString::fromStdString(Messages::Tr(complaint)));
        return;
    }
    QDialog::accept();
}
