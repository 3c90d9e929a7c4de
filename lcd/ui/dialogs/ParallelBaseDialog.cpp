#include "ui/dialogs/ParallelBaseDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/Messenger.h"

ParallelBaseDialog::ParallelBaseDialog(uint16_t base, Messenger& messenger, QWidget* parent)
    : QDialog(parent), m_messenger(messenger), m_base(base) {
    setWindowTitle(tr("扩展并口卡地址设置"));
    m_edit = new QLineEdit(QString::number(base, 16).toUpper());
    m_edit->setMaxLength(8);
    auto* ok = new QPushButton(tr("确定"));
    auto* quit = new QPushButton(tr("退出"));
    ok->setDefault(true);
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(tr("请输入并口扩展卡入口地址如（0x378）:")), 0, 0, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("0x")), 1, 0);
    layout->addWidget(m_edit, 1, 1, 1, 2);
    layout->addWidget(ok, 2, 1);
    layout->addWidget(quit, 2, 2);
    connect(ok, &QPushButton::clicked, this, &ParallelBaseDialog::take);
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
}

void ParallelBaseDialog::take() {
    const QString text = m_edit->text().trimmed();
    if (text.isEmpty()) return;
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok, 16);
    // A typing slip is said, not read as some other address.
    if (!ok) {
        m_messenger.Tell("地址须为十六进制数，例如 378", "提示");
        return;
    }
    m_base = static_cast<uint16_t>(value & 0xFFFF);
}
