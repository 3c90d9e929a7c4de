// The UDP transport on loopback: the emulator as the adapter, and a hand-made adapter for
// replies from foreign addresses.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <thread>

#include "AdapterEmulator.h"
#include "CanLibrary.h"
#include "EmulatorServer.h"
#include "kvx_can.h"
#include "support/TestSupport.h"

using kvxtest::Hex;
using kvxtest::Zeros;

namespace {

constexpr uint32_t kLoopback = 0x7F000001;  // 127.0.0.1
constexpr uint32_t kOtherLoopback = 0x7F000002;

long ElapsedMs(std::chrono::steady_clock::time_point start) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count());
}

class UdpLibraryTest : public testing::Test {
protected:
    void SetUp() override {
        kvx::EmulatorServer::Options options;
        options.serial = false;
        options.udpAddress = kLoopback;
        options.udpPort = 0;
        ASSERT_TRUE(server.Open(options)) << server.Error();
        ASSERT_TRUE(server.Start());
        // Any free local port, so parallel runs never collide.
        localPort.emplace("KVX_CAN_UDP_LOCAL_PORT", "0");
        adapterPort.emplace("KVX_CAN_UDP_ADAPTER_PORT", std::to_string(server.UdpPort()));
    }
    void TearDown() override {
        KVX_CloseDevice(4, kLoopback);
        server.Stop();
    }
    std::string Packets() const {
        std::string all;
        for (const auto& packet : emulator.Packets())
            all += (all.empty() ? "" : " | ") + Hex(packet);
        return all;
    }

    kvx::AdapterEmulator emulator;
    kvx::EmulatorServer server{emulator};
    std::optional<kvxtest::ScopedEnv> localPort;
    std::optional<kvxtest::ScopedEnv> adapterPort;
};

TEST_F(UdpLibraryTest, OpenIsAcknowledged) {
    EXPECT_EQ(KVX_OpenDevice(4, kLoopback, 0), 1);
    EXPECT_TRUE(kvx::CanLibrary::Instance().IsOpen());
    EXPECT_EQ(Packets(), "CD 0D" + Zeros(13));
}

TEST_F(UdpLibraryTest, FourByteRefusalReturnsTheOrOfItsBytes) {
    emulator.SetOpenReply({0x01, 0x02, 0x04, 0x00});
    EXPECT_EQ(KVX_OpenDevice(4, kLoopback, 0), 7);
    EXPECT_FALSE(kvx::CanLibrary::Instance().IsOpen());
    EXPECT_EQ(KVX_StartCAN(4, kLoopback, 0), -1);
}

TEST_F(UdpLibraryTest, OtherOpenRepliesFail) {
    emulator.SetOpenReply({0xAA, 0xAA});
    EXPECT_EQ(KVX_OpenDevice(4, kLoopback, 0), 0);
    EXPECT_FALSE(kvx::CanLibrary::Instance().IsOpen());
}

TEST_F(UdpLibraryTest, CommandsArePaddedToFifteenBytes) {
    ASSERT_EQ(KVX_OpenDevice(4, kLoopback, 0), 1);
    EXPECT_EQ(KVX_StartCAN(4, kLoopback, 0), 1);
    EXPECT_EQ(KVX_ResumeConfig(4, kLoopback, 0), 1);
    CanInitConfig config{};
    config.acceptMask = 0xFFFFFFFF;
    EXPECT_EQ(KVX_InitCAN(4, kLoopback, 0, &config), 1);
    EXPECT_EQ(Packets(), "CD 0D" + Zeros(13) + " | CD 01" + Zeros(13) + " | CD 0A" + Zeros(13) +
                             " | CD 02 00 00 00 00 00 00 FF FF FF FF 00 00 00 00");
}

TEST_F(UdpLibraryTest, ReferenceBlockIsThirtyTwoBytes) {
    ASSERT_EQ(KVX_OpenDevice(4, kLoopback, 0), 1);
    uint8_t value[15];
    for (int i = 0; i < 15; ++i)
        value[i] = static_cast<uint8_t>(0xE1 + i);
    EXPECT_EQ(KVX_SetReference(4, kLoopback, 0, 15, value), 1);
    uint8_t block[33];
    std::memset(block, 0x77, sizeof block);
    EXPECT_EQ(KVX_GetReference(4, kLoopback, 0, 15, block), 1);
    EXPECT_EQ(Hex(block, 33), "E1 E2 E3 E4 E5 E6 E7 E8 E9 EA EB EC ED EE EF" + Zeros(17) + " 77");
    EXPECT_EQ(Hex(emulator.Packets()[1]), "CD 05 00 E1 E2 E3 E4 E5 E6 E7 E8 E9 EA EB EC ED EE EF");
}

TEST_F(UdpLibraryTest, FramesGoOutAndComeBack) {
    emulator.SetLoopback(true);
    std::vector<std::string> log;
    emulator.SetFrameSink(
        [&log](const kvx::EmulatedFrame& f) { log.push_back(kvx::AdapterEmulator::Describe(f)); });
    ASSERT_EQ(KVX_OpenDevice(4, kLoopback, 0), 1);
    CanFrame frame{};
    frame.id[0] = 0x12;
    frame.id[1] = 0x34;
    frame.length = 2;
    frame.data[0] = 0xAA;
    frame.data[1] = 0xBB;
    EXPECT_EQ(KVX_Transmit(4, kLoopback, 0, &frame), 1);
    CanFrame frames[KVX_RECEIVE_MAX_FRAMES];
    ASSERT_EQ(KVX_Receive(4, kLoopback, 0, frames), 1);
    EXPECT_EQ(Hex(frames[0].data, 2), "AA BB");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "frame std flags=02 id=12 34 data=AA BB");
    EXPECT_EQ(Hex(emulator.Packets()[1]), "DD 02 12 34 AA BB" + Zeros(9));
}

TEST_F(UdpLibraryTest, RepliesAreCheckedAgainstTheCallsAddress) {
    ASSERT_EQ(KVX_OpenDevice(4, kLoopback, 0), 1);
    // The packet still goes to the adapter, but its reply comes from another address.
    EXPECT_EQ(KVX_ResetCAN(4, kOtherLoopback, 0), 0);
    EXPECT_EQ(KVX_ResetCAN(4, kLoopback, 0), 1);
}

TEST_F(UdpLibraryTest, BusyLocalPortFailsOpenAtOnce) {
    const int blocker = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    ASSERT_EQ(::bind(blocker, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    getsockname(blocker, reinterpret_cast<sockaddr*>(&address), &length);
    kvxtest::ScopedEnv busy("KVX_CAN_UDP_LOCAL_PORT", std::to_string(ntohs(address.sin_port)));
    testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(KVX_OpenDevice(4, kLoopback, 0), 0);
    EXPECT_LT(ElapsedMs(start), 500);
    testing::internal::GetCapturedStderr();
    ::close(blocker);
}

// An adapter that answers the open packet from 127.0.0.2 and, when asked, then from its own
// address 127.0.0.1.
class ForeignAdapter {
public:
    explicit ForeignAdapter(bool alsoGenuine) {
        m_listen = Bound(kLoopback);
        m_foreign = Bound(kOtherLoopback);
        sockaddr_in address{};
        socklen_t length = sizeof address;
        getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        m_thread = std::thread([this, alsoGenuine] {
            uint8_t packet[64];
            sockaddr_in source{};
            socklen_t sourceLength = sizeof source;
            if (::recvfrom(m_listen, packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&source),
                           &sourceLength) <= 0)
                return;
            const uint8_t ack = 0xAA;
            ::sendto(m_foreign, &ack, 1, 0, reinterpret_cast<sockaddr*>(&source), sourceLength);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (alsoGenuine)
                ::sendto(m_listen, &ack, 1, 0, reinterpret_cast<sockaddr*>(&source), sourceLength);
        });
    }
    ~ForeignAdapter() {
        m_thread.join();
        ::close(m_listen);
        ::close(m_foreign);
    }
    uint16_t port = 0;

private:
    static int Bound(uint32_t host) {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(host);
        EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        return fd;
    }
    int m_listen = -1;
    int m_foreign = -1;
    std::thread m_thread;
};

TEST(UdpForeignTest, ForeignReplyIsIgnoredAndTheWaitEnds) {
    ForeignAdapter adapter(false);
    kvxtest::ScopedEnv local("KVX_CAN_UDP_LOCAL_PORT", "0");
    kvxtest::ScopedEnv remote("KVX_CAN_UDP_ADAPTER_PORT", std::to_string(adapter.port));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(KVX_OpenDevice(4, kLoopback, 0), 0);
    const long ms = ElapsedMs(start);
    EXPECT_GE(ms, 900);
    EXPECT_LT(ms, 3000);
    EXPECT_FALSE(kvx::CanLibrary::Instance().IsOpen());
}

TEST(UdpForeignTest, GenuineReplyAfterAForeignOneOpens) {
    ForeignAdapter adapter(true);
    kvxtest::ScopedEnv local("KVX_CAN_UDP_LOCAL_PORT", "0");
    kvxtest::ScopedEnv remote("KVX_CAN_UDP_ADAPTER_PORT", std::to_string(adapter.port));
    EXPECT_EQ(KVX_OpenDevice(4, kLoopback, 0), 1);
    EXPECT_EQ(KVX_CloseDevice(4, kLoopback), 1);
}

}  // namespace
