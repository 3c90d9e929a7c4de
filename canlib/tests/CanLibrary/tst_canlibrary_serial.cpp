// The serial transport over a pseudo-terminal, with the emulator as the adapter.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <optional>

#include "AdapterEmulator.h"
#include "CanLibrary.h"
#include "EmulatorServer.h"
#include "kvx_can.h"
#include "support/TestSupport.h"

using kvxtest::Hex;

namespace {

constexpr uint32_t kIndex = 6;  // "COM7"

class SerialLibraryTest : public testing::Test {
protected:
    void SetUp() override {
        kvx::EmulatorServer::Options options;
        options.udp = false;
        ASSERT_TRUE(server.Open(options)) << server.Error();
        ASSERT_TRUE(server.Start());
        env.emplace("KVX_CAN_COM7", server.SerialPath());
        ASSERT_EQ(KVX_OpenDevice(1, kIndex, 115200), 1);
    }
    void TearDown() override {
        KVX_CloseDevice(1, kIndex);
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
    std::optional<kvxtest::ScopedEnv> env;
};

long ElapsedMs(std::chrono::steady_clock::time_point start) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count());
}

TEST_F(SerialLibraryTest, StartWaitsAndIsAcknowledged) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(KVX_StartCAN(1, kIndex, 0), 1);
    EXPECT_GE(ElapsedMs(start), 150);  // 100 ms before the exchange, 50 ms for the reply
    EXPECT_TRUE(emulator.Started());
    CanStatus status{};
    EXPECT_EQ(KVX_ReadCANStatus(1, kIndex, 0, &status), 1);
    EXPECT_EQ(status.bytes[0], 1);
    EXPECT_EQ(Packets(), "CD 01 | CD 06");
}

TEST_F(SerialLibraryTest, SetReferenceTypeTwoSendsSevenBytes) {
    const uint8_t data[8] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
    EXPECT_EQ(KVX_SetReference(1, kIndex, 0, 2, data), 1);
    EXPECT_EQ(Packets(), "CD 05 02 11 22 33 44");
    uint8_t block[16];
    EXPECT_EQ(KVX_GetReference(1, kIndex, 0, 2, block), 1);
    EXPECT_EQ(Hex(block, 16), "11 22 33 44" + kvxtest::Zeros(12));
}

TEST_F(SerialLibraryTest, InitSendsTheConfigurationInWireOrder) {
    CanInitConfig config{};
    config.acceptCode = 0x80000000;
    config.acceptMask = 0x000000FF;
    config.filter = 1;
    config.timing0 = 0x03;
    config.timing1 = 0x1C;
    config.timing2 = 0x44;
    config.mode = 2;
    config.option = 0x55;
    EXPECT_EQ(KVX_InitCAN(1, kIndex, 0, &config), 1);
    EXPECT_EQ(Packets(), "CD 02 02 01 80 00 00 00 00 00 00 FF 03 1C 44 55");
    EXPECT_EQ(Hex(emulator.InitConfig()), "02 01 80 00 00 00 00 00 00 FF 03 1C 44 55");
}

TEST_F(SerialLibraryTest, BoardInfoWrittenThenReadBack) {
    BoardInfo written{};
    written.hardwareVersion = 0x0203;
    written.firmwareVersion = 0x0405;
    written.boardOption = 0x0607;
    written.channelCount = 2;
    std::memcpy(written.serialNumber, "SN123456", 8);
    std::memcpy(written.boardType, "BOARD-TYPE-0001!", 16);
    EXPECT_EQ(KVX_WriteBoardInfo(1, kIndex, &written), 1);
    BoardInfo read;
    std::memset(&read, 0, sizeof read);
    EXPECT_EQ(KVX_ReadBoardInfo(1, kIndex, &read), 1);
    EXPECT_EQ(read.hardwareVersion, 0x0203);
    EXPECT_EQ(read.firmwareVersion, 0x0405);
    EXPECT_EQ(read.libraryVersion, 0x0310);
    EXPECT_EQ(read.interfaceVersion, 0x0510);
    EXPECT_EQ(read.boardOption, 0x0607);
    EXPECT_EQ(read.channelCount, 2);
    EXPECT_EQ(std::memcmp(read.serialNumber, written.serialNumber, 8), 0);
    EXPECT_EQ(std::memcmp(read.boardType, written.boardType, 16), 0);
    const auto packets = emulator.Packets();
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(Hex(packets[0]),
              "CD 09 02 03 04 05 06 07 02 53 4E 31 32 33 34 35 36 42 4F 41 52 44 2D 54 59 50 45 "
              "2D 30 30 30 31 21 00");
    EXPECT_EQ(Hex(packets[1]), "CD 08");
}

TEST_F(SerialLibraryTest, FramesGoOutAndComeBack) {
    emulator.SetLoopback(true);
    CanFrame frame{};
    frame.id[0] = 0x12;
    frame.id[1] = 0x34;
    frame.length = 2;
    frame.data[0] = 0xAA;
    frame.data[1] = 0xBB;
    EXPECT_EQ(KVX_Transmit(1, kIndex, 0, &frame), 1);
    CanFrame extended{};
    extended.extended = 1;
    std::memcpy(extended.id, "\x01\x02\x03\x04", 4);
    extended.length = 8;
    std::memcpy(extended.data, "ABCDEFGH", 8);
    EXPECT_EQ(KVX_Transmit(1, kIndex, 0, &extended), 1);

    CanFrame frames[KVX_RECEIVE_MAX_FRAMES];
    ASSERT_EQ(KVX_Receive(1, kIndex, 0, frames), 2);
    EXPECT_EQ(Hex(frames[0].id, 2), "12 20");  // the low five bits of a standard id are cleared
    EXPECT_EQ(Hex(frames[0].data, 2), "AA BB");
    EXPECT_EQ(frames[0].length, 2);
    EXPECT_EQ(frames[1].extended, 1);
    EXPECT_EQ(Hex(frames[1].id, 4), "01 02 03 04");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(frames[1].data), 8), "ABCDEFGH");
    EXPECT_EQ(Packets(), "DD 02 12 34 AA BB" + kvxtest::Zeros(8) +
                             " | DD 88 01 02 03 04 41 42 43 44 45 46 47 48 | CD 0B");
}

TEST_F(SerialLibraryTest, ReceiveCollectsManyFrames) {
    for (int i = 0; i < 100; ++i) {
        kvx::EmulatedFrame frame;
        frame.length = 1;
        frame.data[0] = static_cast<uint8_t>(i);
        emulator.QueueFrame(frame);
    }
    CanFrame frames[KVX_RECEIVE_MAX_FRAMES];
    ASSERT_EQ(KVX_Receive(1, kIndex, 0, frames), 100);
    EXPECT_EQ(frames[99].data[0], 99);
}

TEST_F(SerialLibraryTest, ResetIsAcknowledged) {
    EXPECT_EQ(KVX_ResetCAN(1, kIndex, 0), 1);
    EXPECT_EQ(Packets(), "CD 03");
}

TEST(SerialOpenTest, UnusablePortsReturnMinusOne) {
    testing::internal::CaptureStderr();
    {
        kvxtest::ScopedEnv env("KVX_CAN_COM3", "/nonexistent/tty");
        EXPECT_EQ(KVX_OpenDevice(1, 2, 9600), -1);
    }
    {
        kvxtest::ScopedEnv env("KVX_CAN_COM3", "/dev/null");
        EXPECT_EQ(KVX_OpenDevice(1, 2, 9600), -1);
    }
    kvx::AdapterEmulator emulator;
    kvx::EmulatorServer server(emulator);
    ASSERT_TRUE(server.Open({.serial = true, .udp = false}));
    kvxtest::ScopedEnv env("KVX_CAN_COM3", server.SerialPath());
    EXPECT_EQ(KVX_OpenDevice(1, 2, 4000001), -1);
    EXPECT_EQ(KVX_OpenDevice(1, 2, 0), -1);
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(kvx::CanLibrary::Instance().IsOpen());
    EXPECT_EQ(KVX_OpenDevice(1, 2, 19200), 1);
    EXPECT_EQ(KVX_CloseDevice(1, 2), 1);
    // A rate without a termios constant opens too.
    EXPECT_EQ(KVX_OpenDevice(1, 2, 14400), 1);
    EXPECT_EQ(KVX_CloseDevice(1, 2), 1);
}

}  // namespace
