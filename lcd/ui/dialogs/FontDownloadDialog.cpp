#include "ui/dialogs/FontDownloadDialog.h"
#include "ui/widgets/OkCancelButtons.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "base/Messenger.h"
#include "link/FontBuilder.h"

FontDownloadDialog::FontDownloadDialog(Messenger& messenger, FileChooser chooser, QWidget* parent)
    : QDialog(parent), m_messenger(messenger), m_chooser(std::move(chooser)) {
    setWindowTitle(tr("字库下载"));
    m_path = new QLineEdit;
    m_path->setReadOnly(true);
    m_path->setMinimumWidth(320);
    m_standard = new QRadioButton(tr("标准字库"));
    m_custom = new QRadioButton(tr("自定义字库"));
    m_group = new QButtonGroup(this);
    m_group->addButton(m_standard);
    m_group->addButton(m_custom);
    m_kindLabel = new QLabel(tr("种类( 0--9 ):"));
    m_kind = new QLineEdit(QStringLiteral("0"));
    m_kind->setValidator(new QIntValidator(-999, 999, m_kind));
    m_kind->setMaximumWidth(60);
    // The spin arrows step within 0..9; a typed number is checked on OK.
    m_up = new QToolButton;
    m_up->setArrowType(Qt::UpArrow);
    m_down = new QToolButton;
    m_down->setArrowType(Qt::DownArrow);
    for (auto [button, step] : {std::pair{m_up, 1}, std::pair{m_down, -1}})
        connect(button, &QToolButton::clicked, this, [this, d = step] {
            const int k = std::clamp(m_kind->text().toInt() + d, 0, FontBuilder::kMaxKind);
            m_kind->setText(QString::number(k));
        });

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("字库文件:")), 0, 0);
    grid->addWidget(m_path, 0, 1, 1, 4);
    grid->addWidget(m_standard, 1, 1);
    grid->addWidget(m_custom, 1, 2);
    grid->addWidget(m_kindLabel, 2, 1);
    grid->addWidget(m_kind, 2, 2);
    grid->addWidget(m_up, 2, 3);
    grid->addWidget(m_down, 2, 4);
    QDialogButtonBox* buttons = OkCancelButtons(this);
    grid->addWidget(buttons, 3, 0, 1, 5);
    connect(m_standard, &QRadioButton::clicked, this, [this] { choose(false); });
    connect(m_custom, &QRadioButton::clicked, this, [this] { choose(true); });
    showKind(false);
}

void FontDownloadDialog::showKind(bool shown) {
    for (QWidget* w : std::initializer_list<QWidget*>{m_kindLabel, m_kind, m_up, m_down})
        w->setVisible(shown);
}

void FontDownloadDialog::choose(bool custom) {
    const QString path = AskFile(m_chooser, this,
                                 {custom ? tr("打开自定义字库文件") : tr("打开字库文件"),
                                  tr("字库文件(*.bin)"),
                                  QStringLiteral("bin"),
                                  {},
                                  false});
    if (path.isEmpty()) {
        // Cancelled: no way chosen, no file.
        m_group->setExclusive(false);
        m_standard->setChecked(false);
        m_custom->setChecked(false);
        m_group->setExclusive(true);
        m_path->clear();
        showKind(false);
        return;
    }
    (custom ? m_custom : m_standard)->setChecked(true);
    m_path->setText(path);
    showKind(custom);
}

void FontDownloadDialog::accept() {
    if (m_path->text().isEmpty()) {
        m_messenger.Tell("请选择要下载的字库文件", "字库文件不能为空");
        return;
    }
    const bool custom = m_custom->isChecked();
    bool ok = false;
    const int kind = m_kind->text().toInt(&ok);
    if (custom && (!ok || kind < 0 || kind > FontBuilder::kMaxKind)) {
        m_messenger.Tell("请填写0-9之间的数字", "错误");
        return;
    }
    m_request.kind = custom ? DownloadKind::CustomFont : DownloadKind::StandardFont;
    m_request.file = m_path->text().toStdString();
    m_request.fontKind = custom ? kind : 0;
    QDialog::accept();
}
