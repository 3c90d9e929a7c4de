#pragma once
// The transfer with progress: a modal dialog with the gradient bar and "停止" over the
// lcd/link Download worker, whose progress arrives as queued signals. The bar's range
// follows ProgressScale (totals from 0x8000 bytes on in 1000 steps). A transfer that ends
// says what was sent and in what time, and the dialog closes one second later; a timeout
// or a failure is told at once and closes the dialog; a stop says so in the dialog before
// it closes. Closing the window stops the transfer like "停止".
//
// An immediate command runs the same way but quietly: the dialog shows itself only when
// the command has not gone out after kQuietMs (a busy module), so that its stop button is
// there whenever there is something to stop.

#include <QDialog>
#include <QElapsedTimer>
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
    static constexpr int kQuietMs = 400;

    DownloadProgressDialog(std::unique_ptr<Link> link, CByteArray bytes, Messenger& messenger,
                           QWidget* parent = nullptr,
                           Download::Mode mode = Download::Mode::Transfer);
    ~DownloadProgressDialog() override;

    // Runs the transfer (modally, or quietly first for a command); the outcome.
    SendResult run();

    // Asks the worker to stop and waits for it, handling events, at most `budgetMs`; true
    // when it has ended.
    bool stopAndWait(int budgetMs);

    const SendResult& result() const { return m_result; }
    // Seconds from the start of the transfer to its end.
    double seconds() const { return m_seconds; }
    bool finished() const { return m_finished; }
    // Whether the link answers what it receives: a CAN adapter does not, so a finished
    // transfer only says the bytes were handed to it.
    bool acknowledged() const { return m_acknowledged; }
    GradientProgressBar* bar() const { return m_bar; }
    QPushButton* stopButton() const { return m_stop; }
    QLabel* statusLabel() const { return m_status; }

signals:
    // From the worker thread.
    void progressed(int code, qint64 value);
    // The worker has sent its last event.
    void ended();

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void start();
    void onProgress(int code, qint64 value);
    void finish();
    // Runs events until the worker has ended or `ms` have passed; user input waits.
    void waitFor(int ms);

    class Sink;
    std::unique_ptr<Sink> m_sink;
    std::unique_ptr<Link> m_link;
    bool m_acknowledged = true;
    CByteArray m_bytes;
    Messenger& m_messenger;
    Download::Mode m_mode;
    GradientProgressBar* m_bar;
    QPushButton* m_stop;
    QLabel* m_status;
    ProgressScale m_scale{0, 1};
    int64_t m_total = 0;
    QElapsedTimer m_clock;
    SendResult m_result;
    double m_seconds = 0;
    bool m_finished = false;
    std::unique_ptr<Download> m_download;  // last: stopped and joined first
};
