#include "link/SerialLink.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <thread>

#include "base/StringFormat.h"
#include "link/LinkTiming.h"

namespace {

// A write that takes nothing for this long gives up (100 ms per byte + 500 ms), unless the
// timeout setting allows longer.
constexpr auto kMinWriteTimeout = std::chrono::milliseconds(600);
// Slices of a long wait for the port, so that a stop is noticed within one.
constexpr auto kStopSlice = std::chrono::milliseconds(50);
// Bytes allowed to wait in the driver before the next write.
constexpr int kOutQueue = 100;
// Writes of the fast path (no busy check, no interval).
constexpr size_t kFastChunk = 4096;

bool SpeedOf(int32_t baud, speed_t& speed) {
    switch (baud) {
        case 4800:
            speed = B4800;
            return true;
        case 9600:
            speed = B9600;
            return true;
        case 19200:
            speed = B19200;
            return true;
        case 38400:
            speed = B38400;
            return true;
        case 115200:
            speed = B115200;
            return true;
    }
    return false;
}

int ReadModemLines(int fd, int& bits) {
    return ioctl(fd, TIOCMGET, &bits) == 0 ? 0 : errno;
}

std::string TimeoutText() {
    return "请检查连接是否正确";
}

}  // namespace

std::unique_ptr<SerialLink> SerialLink::Open(const LinkSettings& settings, std::string& error) {
    const std::string path = settings.SerialDevice();
    speed_t speed{};
    if (!SpeedOf(settings.baudRate, speed)) {
        error = StringFormat("串口波特率 %d 无效（可用 4800、9600、19200、38400、115200）",
                             settings.baudRate);
        return nullptr;
    }
    // Non-blocking, so that a write can be given up after its timeout.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = DescribeOpenFailure(path, errno);
        return nullptr;
    }
    std::unique_ptr<SerialLink> link(new SerialLink(fd, path, settings));
    if (!isatty(fd)) {
        error = path + " 不是串口设备";
        return nullptr;
    }
    // No sharing: a second program (or a second link of ours) finds the port busy.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = DescribeOpenFailure(path, EBUSY);
        return nullptr;
    }
    link->m_exclusive = ioctl(fd, TIOCEXCL) == 0;
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        error = StringFormat("无法设置串口 %s：%s", path.c_str(), std::strerror(errno));
        return nullptr;
    }
    // Raw: no output processing may turn 0A into 0D 0A, no flow-control characters.
    cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | CRTSCTS);
    tio.c_cflag |= CS8 | CSTOPB | CLOCAL | CREAD;
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        error = StringFormat("无法设置串口 %s：%s", path.c_str(), std::strerror(errno));
        return nullptr;
    }
    tcflush(fd, TCIOFLUSH);
    return link;
}

SerialLink::SerialLink(int fd, std::string path, const LinkSettings& settings)
    : m_fd(fd),
      m_path(std::move(path)),
      m_interval(std::clamp(settings.interval, 0, LinkSettings::kMaxInterval)),
      m_timeout(settings.timeout),
      m_busyCheck(settings.busyCheck != 0),
      m_modemStatus(ReadModemLines),
      m_delay(DelayMicroseconds),
      m_clock(std::chrono::steady_clock::now) {}

SerialLink::~SerialLink() {
    // TIOCEXCL outlives the descriptor while anyone else holds the tty open (the far end
    // of a pseudo-terminal, a getty): the next program would find the port taken.
    if (m_exclusive) ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
}

SendResult SerialLink::WaitReady(bool download, const std::atomic<bool>* stop) {
    if (!m_busyCheck) return {};
    const auto deadline = m_clock() + BusyWait(m_timeout, download);
    for (;;) {
        int bits = 0;
        if (const int err = m_modemStatus(m_fd, bits); err == ENOTTY || err == EINVAL) {
            return SendResult::Fail(
                StringFormat("%s 没有调制解调器状态线（DSR），无法判断忙闲；请关闭“判断忙闲”再试",
                             m_path.c_str()));
        } else if (err) {
            return SendResult::Fail(
                StringFormat("串口 %s 出错：%s", m_path.c_str(), std::strerror(err)));
        }
        if (bits & TIOCM_DSR) return {};
        if (m_clock() >= deadline)
            return {SendStatus::TimedOut, 0,
                    download ? TimeoutText() : "发送超时，请检查设备是否已连接"};
        if (stop && stop->load()) return {SendStatus::Stopped, 0, ""};
        m_delay(m_interval);
    }
}

SendResult SerialLink::Write(const uint8_t* data, size_t length, int64_t sentBefore,
                             const std::atomic<bool>* stop) {
    size_t done = 0;
    auto since = std::chrono::steady_clock::now();
    const auto timeout =
        std::max<std::chrono::microseconds>(kMinWriteTimeout, BusyWait(m_timeout, true));
    const auto stopped = [&] {
        return SendResult{SendStatus::Stopped, sentBefore + static_cast<int64_t>(done), ""};
    };
    // The driver's queue is kept short so that the bytes reported sent are on their way;
    // it must shrink at least once in every write timeout.
    for (int queued = 0, last = INT_MAX; ioctl(m_fd, TIOCOUTQ, &queued) == 0 && queued >= kOutQueue;
         last = queued) {
        if (queued < last) since = std::chrono::steady_clock::now();
        if (std::chrono::steady_clock::now() - since > timeout)
            return {SendStatus::TimedOut, sentBefore, "串口写入超时，" + TimeoutText()};
        if (stop && stop->load()) return stopped();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    since = std::chrono::steady_clock::now();
    while (done < length) {
        const ssize_t n = ::write(m_fd, data + done, length - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            // A USB adapter pulled out (or the far end of a pseudo-terminal gone).
            const bool gone = errno == EIO || errno == ENXIO || errno == ENODEV;
            return SendResult::Fail(StringFormat(gone ? "串口 %s 已断开（%s），请检查连线后重新发送"
                                                      : "串口 %s 写入失败：%s",
                                                 m_path.c_str(), std::strerror(errno)),
                                    sentBefore + static_cast<int64_t>(done));
        }
        pollfd p{m_fd, POLLOUT, 0};
        const auto left = timeout - (std::chrono::steady_clock::now() - since);
        if (left <= left.zero())
            return {SendStatus::TimedOut, sentBefore + static_cast<int64_t>(done),
                    "串口写入超时，" + TimeoutText()};
        if (stop && stop->load()) return stopped();
        const auto slice = std::min<std::chrono::microseconds>(
            std::chrono::ceil<std::chrono::microseconds>(left), kStopSlice);
        const int ms =
            static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(slice).count());
        if (poll(&p, 1, ms) > 0) since = std::chrono::steady_clock::now();
    }
    return {SendStatus::Done, sentBefore + static_cast<int64_t>(length), ""};
}

SendResult SerialLink::Send(std::span<const uint8_t> bytes, ProgressSink& sink,
                            const std::atomic<bool>& stop) {
    if (!m_busyCheck && m_interval == 0) return SendFast(bytes, sink, stop);
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto sent = static_cast<int64_t>(i);
        if (stop.load()) return {SendStatus::Stopped, sent, ""};
        SendResult r = WaitReady(true, &stop);
        if (r.Ok()) r = Write(&bytes[i], 1, sent, &stop);
        if (!r.Ok()) {
            if (r.status == SendStatus::TimedOut) sink.OnProgress(kProgressTimeout, 0);
            r.sent = std::max(r.sent, sent);
            return r;
        }
        sink.OnProgress(kProgressSent, sent);
        m_delay(m_interval);
    }
    return {SendStatus::Done, static_cast<int64_t>(bytes.size()), ""};
}

SendResult SerialLink::SendFast(std::span<const uint8_t> bytes, ProgressSink& sink,
                                const std::atomic<bool>& stop) {
    for (size_t at = 0; at < bytes.size(); at += kFastChunk) {
        if (stop.load()) return {SendStatus::Stopped, static_cast<int64_t>(at), ""};
        const size_t n = std::min(kFastChunk, bytes.size() - at);
        const SendResult r = Write(&bytes[at], n, static_cast<int64_t>(at), &stop);
        if (!r.Ok()) {
            if (r.status == SendStatus::TimedOut) sink.OnProgress(kProgressTimeout, 0);
            return r;
        }
        sink.OnProgress(kProgressSent, static_cast<int64_t>(at + n - 1));
    }
    return {SendStatus::Done, static_cast<int64_t>(bytes.size()), ""};
}

SendResult SerialLink::SendCommand(std::span<const uint8_t> bytes, const std::atomic<bool>& stop) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (stop.load()) return {SendStatus::Stopped, static_cast<int64_t>(i), ""};
        SendResult r = WaitReady(false, &stop);
        if (r.Ok()) r = Write(&bytes[i], 1, static_cast<int64_t>(i), &stop);
        if (!r.Ok()) return r;
        m_delay(m_interval);
    }
    return {SendStatus::Done, static_cast<int64_t>(bytes.size()), ""};
}
