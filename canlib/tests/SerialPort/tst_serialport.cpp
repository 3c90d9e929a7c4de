// The serial port over a pseudo-terminal pair: raw bytes both ways, reads that never block.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "CustomBaudRate.h"
#include "SerialPort.h"
#include "support/TestSupport.h"

using kvx::SerialPort;
using kvxtest::Hex;

namespace {

class PtyPair {
public:
    PtyPair() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        EXPECT_GE(master, 0);
        EXPECT_EQ(grantpt(master), 0);
        EXPECT_EQ(unlockpt(master), 0);
        char name[128];
        EXPECT_EQ(ptsname_r(master, name, sizeof name), 0);
        path = name;
    }
    ~PtyPair() { ::close(master); }
    int master = -1;
    std::string path;
};

std::string ReadMaster(int fd, size_t count) {
    std::vector<uint8_t> bytes;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (bytes.size() < count && std::chrono::steady_clock::now() < deadline) {
        uint8_t chunk[64];
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return Hex(bytes);
}

TEST(SerialPortTest, ComNumberMapsToDevicePath) {
    unsetenv("KVX_CAN_COM5");
    EXPECT_EQ(SerialPort::PathForIndex(4), "/dev/ttyS4");
    kvxtest::ScopedEnv env("KVX_CAN_COM5", "/dev/ttyUSB3");
    EXPECT_EQ(SerialPort::PathForIndex(4), "/dev/ttyUSB3");
    EXPECT_EQ(SerialPort::PathForIndex(0), "/dev/ttyS0");
}

TEST(SerialPortTest, RatesFromOneToFourMegabaud) {
    for (uint32_t rate : {1u, 4800u, 14400u, 115200u, 128000u, 256000u, 4000000u})
        EXPECT_TRUE(SerialPort::IsSupportedBaudRate(rate)) << rate;
    for (uint32_t rate : {0u, 4000001u, 0xFFFFFFFFu})
        EXPECT_FALSE(SerialPort::IsSupportedBaudRate(rate)) << rate;
}

// Rates with and without a termios constant reach the line exactly. The probe opens the
// line before the port makes it exclusive; both see the same settings.
TEST(SerialPortTest, OpenSetsTheExactRate) {
    for (uint32_t rate : {9600u, 115200u, 14400u, 128000u, 256000u}) {
        PtyPair pty;
        const int probe = ::open(pty.path.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(probe, 0);
        SerialPort port;
        ASSERT_TRUE(port.Open(pty.path, rate)) << rate;
        EXPECT_EQ(port.BaudRate(), rate);
        EXPECT_EQ(kvx::CustomBaudRate::Read(probe), rate);
        ::close(probe);
    }
}

TEST(SerialPortTest, ZeroRateIsRefusedBeforeTheOpen) {
    PtyPair pty;
    SerialPort port;
    EXPECT_FALSE(port.Open(pty.path, 0));
    EXPECT_FALSE(port.IsOpen());
}

TEST(SerialPortTest, BytesTravelRawBothWays) {
    PtyPair pty;
    SerialPort port;
    ASSERT_TRUE(port.Open(pty.path, 115200));
    // Bytes a cooked terminal would translate or swallow.
    const uint8_t packet[] = {0xCD, 0x0D, 0x0A, 0x03, 0x11, 0x13, 0x00, 0xFF};
    ASSERT_TRUE(port.Write(packet, sizeof packet));
    EXPECT_EQ(ReadMaster(pty.master, sizeof packet), "CD 0D 0A 03 11 13 00 FF");

    const uint8_t reply[] = {0x0D, 0x0A, 0x7F};
    ASSERT_EQ(::write(pty.master, reply, sizeof reply), 3);
    usleep(20000);
    uint8_t buffer[8] = {};
    EXPECT_EQ(port.ReadAvailable(buffer, 2), 2u);
    EXPECT_EQ(port.ReadAvailable(buffer + 2, 8), 1u);
    EXPECT_EQ(Hex(buffer, 3), "0D 0A 7F");
}

TEST(SerialPortTest, ReadWithNothingWaitingReturnsAtOnce) {
    PtyPair pty;
    SerialPort port;
    ASSERT_TRUE(port.Open(pty.path, 9600));
    uint8_t buffer[16];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.ReadAvailable(buffer, sizeof buffer), 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
}

TEST(SerialPortTest, PurgeDropsWhatArrived) {
    PtyPair pty;
    SerialPort port;
    ASSERT_TRUE(port.Open(pty.path, 38400));
    const uint8_t stale[] = {1, 2, 3};
    ASSERT_EQ(::write(pty.master, stale, sizeof stale), 3);
    usleep(20000);
    port.Purge();
    uint8_t buffer[8];
    EXPECT_EQ(port.ReadAvailable(buffer, sizeof buffer), 0u);
}

TEST(SerialPortTest, RefusesWhatIsNoPort) {
    testing::internal::CaptureStderr();
    SerialPort port;
    EXPECT_FALSE(port.Open("/dev/null", 9600));
    EXPECT_FALSE(port.Open("/nonexistent/ttyS0", 9600));
    PtyPair pty;
    EXPECT_FALSE(port.Open(pty.path, 4000001));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
    const uint8_t byte = 0;
    EXPECT_FALSE(port.Write(&byte, 1));
}

TEST(SerialPortTest, OpenIsExclusive) {
    if (geteuid() == 0) GTEST_SKIP() << "root ignores exclusive mode";
    PtyPair pty;
    SerialPort first, second;
    ASSERT_TRUE(first.Open(pty.path, 9600));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(second.Open(pty.path, 9600));
    testing::internal::GetCapturedStderr();
    first.Close();
    EXPECT_TRUE(second.Open(pty.path, 9600));
}

}  // namespace
