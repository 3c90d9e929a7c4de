#include "SerialPort.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "CustomBaudRate.h"

namespace kvx {

namespace {

bool SpeedFor(uint32_t baudRate, speed_t* speed) {
    static constexpr struct {
        uint32_t rate;
        speed_t constant;
    } kRates[] = {{1200, B1200},     {2400, B2400},     {4800, B4800},    {9600, B9600},
                  {19200, B19200},   {38400, B38400},   {57600, B57600},  {115200, B115200},
                  {230400, B230400}, {460800, B460800}, {921600, B921600}};
    for (const auto& entry : kRates) {
        if (entry.rate == baudRate) {
            *speed = entry.constant;
            return true;
        }
    }
    return false;
}

}  // namespace

std::string SerialPort::PathForIndex(uint32_t deviceIndex) {
    const std::string comNumber = std::to_string(uint64_t{deviceIndex} + 1);
    if (const char* mapped = std::getenv(("KVX_CAN_COM" + comNumber).c_str()); mapped && *mapped)
        return mapped;
    return "/dev/ttyS" + std::to_string(deviceIndex);
}

bool SerialPort::IsSupportedBaudRate(uint32_t baudRate) {
    return baudRate > 0 && baudRate <= kMaxBaudRate;
}

bool SerialPort::Open(const std::string& path, uint32_t baudRate) {
    Close();
    if (!IsSupportedBaudRate(baudRate)) {
        std::fprintf(stderr, "KVX_CAN: unsupported baud rate %u\n", baudRate);
        return false;
    }
    // Rates without a termios constant start at 38400 and are set exactly afterwards.
    speed_t speed = B38400;
    const bool standard = SpeedFor(baudRate, &speed);
    // Non-blocking open so a missing carrier cannot hang us; blocking writes afterwards.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "KVX_CAN: cannot open %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    termios tio{};
    if (!isatty(fd) || tcgetattr(fd, &tio) != 0 || ioctl(fd, TIOCEXCL) != 0) {
        std::fprintf(stderr, "KVX_CAN: %s is not a usable serial port\n", path.c_str());
        ::close(fd);
        return false;
    }
    cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~(INPCK | IXON | IXOFF);
    // A read returns at once with whatever has arrived.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    if (tcsetattr(fd, TCSANOW, &tio) != 0 || (!standard && !CustomBaudRate::Apply(fd, baudRate))) {
        std::fprintf(stderr, "KVX_CAN: cannot set up %s: %s\n", path.c_str(), std::strerror(errno));
        ioctl(fd, TIOCNXCL);  // shared again for the next program
        ::close(fd);
        return false;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    tcflush(fd, TCIOFLUSH);
    m_nFd = fd;
    m_nBaudRate = baudRate;
    return true;
}

void SerialPort::Close() {
    if (m_nFd < 0) return;
    tcflush(m_nFd, TCIOFLUSH);
    ioctl(m_nFd, TIOCNXCL);
    ::close(m_nFd);
    m_nFd = -1;
    m_nBaudRate = 0;
}

void SerialPort::Purge() {
    if (m_nFd >= 0) tcflush(m_nFd, TCIOFLUSH);
}

bool SerialPort::Write(const uint8_t* data, size_t length) {
    if (m_nFd < 0) return false;
    size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(m_nFd, data + done, length - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

size_t SerialPort::ReadAvailable(uint8_t* buffer, size_t maxLength) {
    if (m_nFd < 0 || maxLength == 0) return 0;
    int waiting = 0;
    if (ioctl(m_nFd, FIONREAD, &waiting) != 0 || waiting <= 0) return 0;
    const size_t want = std::min(static_cast<size_t>(waiting), maxLength);
    size_t done = 0;
    while (done < want) {
        const ssize_t n = ::read(m_nFd, buffer + done, want - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

}  // namespace kvx
