#include "ui/dialogs/DownloadProgressDialog.h"

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
                                               Messenger& messenger, QWidget* parent)
    : QDialog(parent),
      m_sink(std::make_unique<Sink>(*this)),
      m_link(std::move(link)),
      m_bytes(std::move(bytes)),
      m_messenger(messenger) {
    setWindowTitle(tr("下载"));
    setModal(true);
    m_bar = new GradientProgressBar;
    m_bar->setObjectName(QStringLiteral("progress"));
    m_bar->setMinimumSize(320, 24);
    m_bar->setStartColour(QColor(255, 0, 0));
    m_bar->setEndColour(QColor(0, 0, 255));
    m_bar->setBackgroundColour(Qt::black);
    m_bar->setTextColour(Qt::white);
    m_bar->setShowText(true);
    m_status = new QLabel(tr("正在下载……"));
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

SendResult DownloadProgressDialog::Run(std::unique_ptr<Link> link, CByteArray bytes,
                                       Messenger& messenger, QWidget* parent) {
    DownloadProgressDialog dialog(std::move(link), std::move(bytes), messenger, parent);
    dialog.exec();
    return dialog.result();
}

void DownloadProgressDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_download || m_finished) return;
    m_download = std::make_unique<Download>(std::move(m_link), std::move(m_bytes), *m_sink);
}

void DownloadProgressDialog::reject() {
    if (m_finished || !m_download) {
        QDialog::reject();
        return;
    }
    if (m_download) m_download->RequestStop();
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
    m_finished = true;
    m_stop->setEnabled(false);
    m_bar->setValue(int(std::max<int64_t>(m_scale.upper - 1, 0)));
    switch (m_result.status) {
        case SendStatus::Done:
            m_status->setText(tr("下载完成"));
            break;
        case SendStatus::Stopped:
            m_status->setText(
                tr("下载已停止：已发送 %1 / %2 字节").arg(m_result.sent).arg(m_total));
            break;
        case SendStatus::TimedOut:
        case SendStatus::Failed:
            m_status->setText(tr("下载失败"));
            TellOutcome(m_result, m_messenger);
            done(QDialog::Rejected);
            return;
    }
    QTimer::singleShot(kCloseDelayMs, this,
                       [this] { done(m_result.Ok() ? QDialog::Accepted : QDialog::Rejected); });
}
