#include "ui/project/TestDisplayDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "project/Workspace.h"
#include "ui/ModuleLink.h"

TestDisplayDialog::TestDisplayDialog(const Workspace& workspace, ModuleLink& link, QWidget* parent)
    : QDialog(parent), m_show(workspace), m_link(link) {
    setWindowTitle(tr("测试画面"));
    m_list = new QListWidget;
    for (const auto& page : workspace.Pages())
        m_list->addItem(QString::fromStdString(page->m_strTitle));
    m_period = new QComboBox;
    for (int p = 1; p <= SlideShow::kPeriods; ++p)
        m_period->addItem(QString::number(p));
    m_period->setCurrentIndex(SlideShow::kFirstPeriod - 1);
    m_period->setToolTip(tr("每页显示的时间，单位 0.5 秒"));
    m_button = new QPushButton(tr("关"));
    auto* close = new QPushButton(tr("退出"));
    auto* form = new QFormLayout;
    form->addRow(tr("周期："), m_period);
    form->addRow(tr("开始/停止："), m_button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(form);
    layout->addWidget(close);
    connect(m_button, &QPushButton::clicked, this, &TestDisplayDialog::toggle);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(&m_timer, &QTimer::timeout, this, &TestDisplayDialog::tick);
    connect(this, &QDialog::finished, this, &TestDisplayDialog::stop);
}

void TestDisplayDialog::toggle() {
    if (m_show.Running() || m_timer.isActive()) {
        stop();
        return;
    }
    CByteArray command;
    const int first = m_show.Start(command);
    if (first < 0) return;
    showPage(first, command);
    if (!m_show.Running()) return;
    m_timer.start((m_period->currentIndex() + 1) * m_msPerStep);
    m_button->setText(tr("开"));
}

void TestDisplayDialog::tick() {
    // The module is still taking the last page (a slow or busy link): this period passes.
    if (m_link.busy()) return;
    CByteArray command;
    const int index = m_show.Next(command);
    if (index >= 0) showPage(index, command);
    if (!m_show.Running()) stop();
}

void TestDisplayDialog::showPage(int index, CByteArray& command) {
    m_list->setCurrentRow(index);
    // A link that cannot be reached would repeat its message every period: stop instead.
    if (!m_link.command(command)) stop();
}

void TestDisplayDialog::stop() {
    m_show.Stop();
    m_timer.stop();
    m_button->setText(tr("关"));
}
