#pragma once
// A download: the bytes of one download kind, sent over an open link by a worker thread
// that reports progress to a sink and stops when asked.
//
//   LinkSettings settings; settings.Load(error);            // or ParseLinkOption
//   CByteArray bytes;
//   if (!BuildDownload(request, messenger, bytes)) return;  // told why
//   auto link = OpenLink(settings, messenger);               // told why when null
//   Download download(std::move(link), std::move(bytes), sink);
//   ... download.RequestStop() from a stop button or a signal ...
//   TellOutcome(download.Wait(), messenger);

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "base/ByteArray.h"
#include "link/Link.h"

class Messenger;

enum class DownloadKind : int32_t {
    RawFile = 0,
    StandardFont = 1,
    ActivePage = 2,
    FlashImage = 4,
    CustomFont = 5,
    Firmware = 6,
};

struct DownloadRequest {
    DownloadKind kind = DownloadKind::RawFile;
    std::string file;  // raw file, fonts, firmware
    int mode = 0;      // instruction mode of the font heads
    int fontKind = 0;  // custom font, 0..9
    // The active page's drawing stream or the project's flash image, built by the caller.
    CByteArray built;
};

// The bytes of the request, appended to `bytes`. On failure the user has been told why
// ("打开文件失败", "文件未读取完毕" for a raw file; the builders' own messages) and `bytes` is
// unchanged.
bool BuildDownload(const DownloadRequest& request, Messenger& messenger, CByteArray& bytes);

class Download {
public:
    // A transfer goes through the link's download sender, a command through its immediate
    // sender (short, no progress of its own).
    enum class Mode { Transfer, Command };

    // Starts the worker at once. It owns the link and the bytes; `sink` must outlive the
    // download and is called on the worker thread: (-2, total), the link's events, then
    // (-1, status) after the link is closed.
    Download(std::unique_ptr<Link> link, CByteArray bytes, ProgressSink& sink,
             Mode mode = Mode::Transfer);
    // Stops the transfer and waits for the worker.
    ~Download();
    Download(const Download&) = delete;
    Download& operator=(const Download&) = delete;

    // The stop button: the sender stops before its next byte, chunk or frame. Only stores
    // an atomic flag, so it may be called from any thread or a signal handler.
    void RequestStop() noexcept { m_stop.store(true); }
    // True once the (-1) event has been sent.
    bool IsFinished() const noexcept { return m_finished.load(); }
    // Waits for the worker (joins it) and gives the outcome.
    const SendResult& Wait();

private:
    void Run();

    std::unique_ptr<Link> m_link;
    CByteArray m_bytes;
    ProgressSink& m_sink;
    Mode m_mode;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    SendResult m_result;
    std::thread m_thread;
};
