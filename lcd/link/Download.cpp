#include "link/Download.h"

#include "base/Messenger.h"
#include "link/DownloadFile.h"
#include "link/FirmwareBuilder.h"
#include "link/FontBuilder.h"

namespace {
// A raw file is sent as it is; the largest flash image a module takes (128 MB) bounds it.
constexpr uint64_t kMaxRawFileBytes = uint64_t{128} << 20;
}  // namespace

bool BuildDownload(const DownloadRequest& request, Messenger& messenger, CByteArray& bytes) {
    switch (request.kind) {
        case DownloadKind::RawFile: {
            CByteArray file;
            if (!DownloadFile::Read(request.file, file, kMaxRawFileBytes, "文件", messenger))
                return false;
            bytes.insert(bytes.end(), file.begin(), file.end());
            return true;
        }
        case DownloadKind::StandardFont:
            return FontBuilder::BuildStandard(request.file, request.mode, bytes, messenger);
        case DownloadKind::CustomFont:
            return FontBuilder::BuildCustom(request.file, request.fontKind, request.mode, bytes,
                                            messenger);
        case DownloadKind::Firmware:
            return FirmwareBuilder::Build(request.file, bytes, messenger);
        case DownloadKind::ActivePage:
        case DownloadKind::FlashImage:
            bytes.insert(bytes.end(), request.built.begin(), request.built.end());
            return true;
    }
    messenger.Tell("未知的下载内容", "提示");
    return false;
}

Download::Download(std::unique_ptr<Link> link, CByteArray bytes, ProgressSink& sink, Mode mode)
    : m_link(std::move(link)), m_bytes(std::move(bytes)), m_sink(sink), m_mode(mode) {
    m_thread = std::thread([this] { Run(); });
}

Download::~Download() {
    RequestStop();
    if (m_thread.joinable()) m_thread.join();
}

const SendResult& Download::Wait() {
    if (m_thread.joinable()) m_thread.join();
    return m_result;
}

void Download::Run() {
    m_sink.OnProgress(kProgressTotal, static_cast<int64_t>(m_bytes.size()));
    if (!m_link)
        m_result = SendResult::Fail("没有打开的连接");
    else if (m_mode == Mode::Command)
        m_result = m_link->SendCommand(m_bytes, m_stop);
    else
        m_result = SendBuffer(*m_link, m_bytes, m_sink, m_stop);
    m_link.reset();
    m_sink.OnProgress(kProgressDone, static_cast<int64_t>(m_result.status));
    m_finished.store(true);
}
