#include "ui/VirtualModuleDock.h"

#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "ui/VirtualModule.h"

VirtualModuleDock::VirtualModuleDock(QWidget* parent)
    : QDockWidget(tr("虚拟模块"), parent), m_module(new VirtualModule(this)) {
    setObjectName(QStringLiteral("virtualModule"));
    auto* body = new QWidget;
    auto* layout = new QVBoxLayout(body);
    m_view = new QLabel;
    m_view->setAlignment(Qt::AlignCenter);
    m_scroll = new QScrollArea;
    m_scroll->setWidget(m_view);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setMinimumSize(200, 150);
    m_play = new QPushButton(QIcon(QStringLiteral(":/icons/show-page.svg")), tr("播放"));
    m_play->setCheckable(true);
    m_play->setToolTip(tr("按页面的延时与下一页，播放模块中存储的页面"));
    m_status = new QLabel(tr("把通讯口设置为“虚拟模块”后，下载的内容会显示在这里"));
    m_status->setWordWrap(true);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(m_play);
    layout->addWidget(m_status);
    setWidget(body);

    m_timer.setInterval(kStepMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { m_module->advance(kStepMs / 1000.0); });
    connect(m_play, &QPushButton::toggled, this, &VirtualModuleDock::play);
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown) showScreen();
    });
    // The model is locked while it reports: every report is handled later.
    connect(m_module, &VirtualModule::screenChanged, this, &VirtualModuleDock::showScreen,
            Qt::QueuedConnection);
    connect(
        m_module, &VirtualModule::warned, this,
        [this](const QString& text) {
            ++m_warnings;
            m_status->setText(tr("警告 %1 条，最后一条：%2").arg(m_warnings).arg(text));
        },
        Qt::QueuedConnection);
    showScreen();
}

void VirtualModuleDock::setZoom(int zoom) {
    if (zoom < 1 || zoom == m_zoom) return;
    m_zoom = zoom;
    showScreen();
}

QImage VirtualModuleDock::screen() const {
    return m_module->screen();
}

void VirtualModuleDock::showScreen() {
    const QImage image = m_module->screen();
    if (image.isNull()) return;
    m_view->setPixmap(QPixmap::fromImage(
        image.scaled(image.size() * m_zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    m_view->adjustSize();
    // Room for the whole screen where it is not too large for a dock.
    const QSize room = (m_view->size() + QSize(4, 4)).boundedTo(QSize(kMaxRoom, kMaxRoom * 3 / 4));
    m_scroll->setMinimumSize(room.expandedTo(QSize(200, 150)));
    if (auto* main = qobject_cast<QMainWindow*>(parentWidget()); main && isVisible())
        main->resizeDocks({this}, {widget()->minimumSizeHint().width()}, Qt::Horizontal);
    const int page = m_module->shownPage();
    if (!m_warnings)
        m_status->setText(page >= 0 ? tr("显示第 %1 页").arg(page) : tr("直接显示的画面"));
}

void VirtualModuleDock::play(bool on) {
    if (!on) {
        m_timer.stop();
        m_play->setText(tr("播放"));
        return;
    }
    // A slideshow that has ended (or never began) starts again at the first stored page.
    if (m_module->shownPage() < 0 || m_module->nextPage() < 0) {
        const int first = m_module->firstStoredPage();
        if (first < 0) {
            m_status->setText(tr("模块中还没有存储的页面：请先下载工程"));
            m_play->setChecked(false);
            return;
        }
        m_module->showPage(first);
    }
    m_play->setText(tr("停止播放"));
    m_timer.start();
}
