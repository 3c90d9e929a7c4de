// Port settings from the environment and replies filtered by source address.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <optional>

#include "UdpSocket.h"
#include "support/TestSupport.h"

using kvx::UdpSocket;

namespace {

struct PortRow {
    const char* name;
    const char* value;  // nullptr: unset
    uint16_t local;
};

// Parameterised cases print as their row name.
void PrintTo(const PortRow& row, std::ostream* os) {
    *os << row.name;
}

class PortTest : public testing::TestWithParam<PortRow> {};

TEST_P(PortTest, LocalPortFromEnvironment) {
    testing::internal::CaptureStderr();
    unsetenv("KVX_CAN_UDP_LOCAL_PORT");
    std::optional<kvxtest::ScopedEnv> env;
    if (GetParam().value) env.emplace("KVX_CAN_UDP_LOCAL_PORT", GetParam().value);
    EXPECT_EQ(UdpSocket::LocalPort(), GetParam().local);
    testing::internal::GetCapturedStderr();
}

INSTANTIATE_TEST_SUITE_P(Environment, PortTest,
                         testing::Values(PortRow{"Unset", nullptr, 5000},
                                         PortRow{"Empty", "", 5000}, PortRow{"AnyFreePort", "0", 0},
                                         PortRow{"Given", "6001", 6001},
                                         PortRow{"NotANumber", "50x", 5000},
                                         PortRow{"TooLarge", "70000", 5000},
                                         PortRow{"Negative", "-1", 5000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UdpSocketTest, AdapterPortDefaultsTo3000) {
    unsetenv("KVX_CAN_UDP_ADAPTER_PORT");
    EXPECT_EQ(UdpSocket::AdapterPort(), 3000);
    kvxtest::ScopedEnv env("KVX_CAN_UDP_ADAPTER_PORT", "3111");
    EXPECT_EQ(UdpSocket::AdapterPort(), 3111);
}

uint16_t PortOf(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

TEST(UdpSocketTest, OnlyTheAdapterAddressCounts) {
    UdpSocket socket;
    ASSERT_TRUE(socket.Open(0));
    // Two senders on different loopback addresses.
    int senders[2];
    for (int i = 0; i < 2; ++i) {
        senders[i] = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(0x7F000001 + i);
        ASSERT_EQ(::bind(senders[i], reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }
    // Find our own port by sending to the first sender and reading the source.
    socket.SetPeer(0x7F000001, PortOf(senders[0]));
    const uint8_t hello = 0x42;
    ASSERT_TRUE(socket.Send(&hello, 1));
    sockaddr_in ours{};
    socklen_t oursLength = sizeof ours;
    uint8_t got = 0;
    ASSERT_EQ(::recvfrom(senders[0], &got, 1, 0, reinterpret_cast<sockaddr*>(&ours), &oursLength),
              1);
    EXPECT_EQ(got, 0x42);

    const uint8_t foreign[] = {0xF0, 0xF1};
    const uint8_t genuine[] = {0xAA};
    ::sendto(senders[1], foreign, sizeof foreign, 0, reinterpret_cast<sockaddr*>(&ours),
             oursLength);
    ::sendto(senders[0], genuine, sizeof genuine, 0, reinterpret_cast<sockaddr*>(&ours),
             oursLength);
    uint8_t buffer[16] = {};
    EXPECT_EQ(socket.ReceiveFrom(0x7F000001, buffer, sizeof buffer, 500), 1);
    EXPECT_EQ(buffer[0], 0xAA);

    ::sendto(senders[1], foreign, sizeof foreign, 0, reinterpret_cast<sockaddr*>(&ours),
             oursLength);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(socket.ReceiveFrom(0x7F000001, buffer, sizeof buffer, 150), -1);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(140));
    for (int fd : senders)
        ::close(fd);
}

TEST(UdpSocketTest, SendWithoutSocketFails) {
    UdpSocket socket;
    const uint8_t byte = 0;
    EXPECT_FALSE(socket.Send(&byte, 1));
    uint8_t buffer[4];
    EXPECT_EQ(socket.ReceiveFrom(0x7F000001, buffer, sizeof buffer, 10), -1);
}

}  // namespace
