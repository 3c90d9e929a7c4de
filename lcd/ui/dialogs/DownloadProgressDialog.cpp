#include "ui/dialogs/DownloadProgressDialog.h"

#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "base/Messenger.h"
#include "ui/widgets/GradientProgressBar.h"

// Turns the worker's events into queued signals of the dialog.
class DownloadProgressDialog::Sink final : public ProgressSink {
public:
    explicit Sink(DownloadProgressDialog& dialog) : m_dialog(dialog) {}
    void OnProgress(int code, int64_t value) override { emit m_dialog.progressed(code, value); }

private:
    DownloadProgressDialog& m_dialog;
};

DownloadProgressDialog::DownloadProgressDialog(std::unique_ptr<Link> link, CByteArray bytes,
                                               Messenger& messenger, QWidget* parent,
                                               Download::Mode mode)
    : QDialog(parent),
      m_sink(std::make_unique<Sink>(*this)),
      m_link(std::move(link)),
      m_bytes(std::move(bytes)),
      m_messenger(messenger),
      m_mode(mode) {
    m_acknowledged = !m_link || m_link->Kind() != LinkKind::UsbCan;
    setWindowTitle(mode == Download::Mode::Command ? tr("发送命令") : tr("下载"));
    setModal(true);
    m_bar = new GradientProgressBar;
    m_bar->setObjectName(QStringLiteral("progress"));
    m_bar->setMinimumSize(320, 24);
    m_bar->setStartColour(QColor(255, 0, 0));
    m_bar->setEndColour(QColor(0, 0, 255));
    m_bar->setBackgroundColour(Qt::black);
    m_bar->setTextColour(Qt::white);
    m_bar->setShowText(true);
    m_status =
        new QLabel(mode == Download::Mode::Command ? tr("正在等待模块……") : tr("正在下载……"));
    m_stop = new QPushButton(tr("停止"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_bar);
    layout->addWidget(m_stop, 0, Qt::AlignRight);
    connect(m_stop, &QPushButton::clicked, this, &DownloadProgressDialog::reject);
    connect(this, &DownloadProgressDialog::progressed, this, &DownloadProgressDialog::onProgress,
            Qt::QueuedConnection);
}

DownloadProgressDialog::~DownloadProgressDialog() {
    m_download.reset();  // stops and joins before the sink goes
}

SendResult DownloadProgressDialog::run() {
    if (m_mode == Download::Mode::Command) {
        start();
        waitFor(kQuietMs);
        if (m_finished) return m_result;
    }
    exec();
    return m_result;
}

void DownloadProgressDialog::start() {
    if (m_download || m_finished) return;
    m_clock.start();
    m_download = std::make_unique<Download>(std::move(m_link), std::move(m_bytes), *m_sink, m_mode);
}

void DownloadProgressDialog::waitFor(int ms) {
    if (m_finished) return;
    QEventLoop loop;
    connect(this, &DownloadProgressDialog::ended, &loop, &QEventLoop::quit);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

bool DownloadProgressDialog::stopAndWait(int budgetMs) {
    if (m_download) m_download->RequestStop();
    waitFor(budgetMs);
    return m_finished || !m_download;
}

void DownloadProgressDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    start();
}

void DownloadProgressDialog::reject() {
    if (m_finished || !m_download) {
        QDialog::reject();
        return;
    }
    m_download->RequestStop();
    m_stop->setEnabled(false);
    m_status->setText(tr("正在停止……"));
}

void DownloadProgressDialog::onProgress(int code, qint64 value) {
    switch (code) {
        case kProgressTotal:
            m_total = value;
            m_scale = ProgressScale::For(value);
            m_bar->setRange(0, int(m_scale.upper));
            break;
        case kProgressSent:
            m_bar->setValue(int(m_scale.Position(value)));
            break;
        case kProgressDone:
            finish();
            break;
        default:  // the timeout is told with the outcome; the adapter's own events say nothing
            break;
    }
}

void DownloadProgressDialog::finish() {
    m_result = m_download->Wait();  // the worker has sent its last event
    m_seconds = double(m_clock.elapsed()) / 1000.0;
    m_finished = true;
    m_stop->setEnabled(false);
    m_bar->setValue(int(std::max<int64_t>(m_scale.upper - 1, 0)));
    emit ended();
    switch (m_result.status) {
        case SendStatus::Done:
            m_status->setText((m_acknowledged ? tr("完成：已发送 %1 字节，用时 %2 秒")
                                              : tr("已把 %1 字节交给 CAN 适配器，用时 %2 秒；CAN "
                                                   "连接没有应答，无法确认模块全部收到"))
                                  .arg(m_result.sent)
                                  .arg(m_seconds, 0, 'f', 2));
            break;
        case SendStatus::Stopped:
            m_status->setText(
                tr("下载已停止：已发送 %1 / %2 字节").arg(m_result.sent).arg(m_total));
            break;
        case SendStatus::TimedOut:
        case SendStatus::Failed:
            m_status->setText(tr("发送失败"));
            TellOutcome(m_result, m_messenger);
            if (isVisible()) done(QDialog::Rejected);
            return;
    }
    if (isVisible())
        QTimer::singleShot(kCloseDelayMs, this,
                           [this] { done(m_result.Ok() ? QDialog::Accepted : QDialog::Rejected); });
}
