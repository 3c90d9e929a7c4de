#pragma once
// The download with progress: a modal dialog with the gradient bar and "停止". When shown
// it starts the lcd/link Download worker on the bytes; the worker's progress arrives as
// queued signals. The bar's range follows ProgressScale (totals from 0x8000 bytes on in
// 1000 steps); at the end the bar stands at its last step and the dialog closes one second
// later. A timeout or a failure is told at once and closes the dialog; a stop says so in
// the dialog before it closes. Closing the window stops the transfer like "停止".

#include <QDialog>
#include <memory>

#include "base/ByteArray.h"
#include "link/Download.h"

class GradientProgressBar;
class Messenger;
class QLabel;
class QPushButton;

class DownloadProgressDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kCloseDelayMs = 1000;

    DownloadProgressDialog(std::unique_ptr<Link> link, CByteArray bytes, Messenger& messenger,
                           QWidget* parent = nullptr);
    ~DownloadProgressDialog() override;

    // Runs the dialog modally; the outcome of the transfer.
    static SendResult Run(std::unique_ptr<Link> link, CByteArray bytes, Messenger& messenger,
                          QWidget* parent);

    const SendResult& result() const { return m_result; }
    GradientProgressBar* bar() const { return m_bar; }
    QPushButton* stopButton() const { return m_stop; }
    QLabel* statusLabel() const { return m_status; }

signals:
    // From the worker thread.
    void progressed(int code, qint64 value);

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void onProgress(int code, qint64 value);
    void finish();

    class Sink;
    std::unique_ptr<Sink> m_sink;
    std::unique_ptr<Link> m_link;
    CByteArray m_bytes;
    Messenger& m_messenger;
    GradientProgressBar* m_bar;
    QPushButton* m_stop;
    QLabel* m_status;
    ProgressScale m_scale{0, 1};
    int64_t m_total = 0;
    SendResult m_result;
    bool m_finished = false;
    std::unique_ptr<Download> m_download;  // last: stopped and joined first
};
