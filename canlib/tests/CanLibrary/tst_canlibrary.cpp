// Open/close state rules and the USB transport, against a fake bridge.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>

#include "CanLibrary.h"
#include "kvx_can.h"
#include "support/FakeUsbBridge.h"
#include "support/TestSupport.h"

using kvx::CanLibrary;
using kvxtest::FakeUsbBridge;
using kvxtest::FromHex;
using kvxtest::Hex;

namespace {

class UsbLibraryTest : public testing::Test {
protected:
    void SetUp() override {
        bridge.serials = {"A1B2-0001", "C3D4-0002"};
        CanLibrary::Instance().SetUsbBridge(&bridge);
    }
    void TearDown() override {
        bridge.failClose = false;
        KVX_CloseDevice(2, 0);
        CanLibrary::Instance().SetUsbBridge(nullptr);
    }
    std::string Written() const {
        std::string all;
        for (const auto& packet : bridge.writes)
            all += (all.empty() ? "" : " | ") + Hex(packet);
        return all;
    }

    FakeUsbBridge bridge;
};

CanFrame StandardFrame() {
    CanFrame frame{};
    frame.id[0] = 0x12;
    frame.id[1] = 0x34;
    frame.length = 2;
    frame.data[0] = 0xAA;
    frame.data[1] = 0xBB;
    return frame;
}

// Every call that talks to an adapter, with type 2 and channel 0.
struct CallRow {
    const char* name;
    std::function<int32_t()> call;
};

// Parameterised cases print as their row name.
void PrintTo(const CallRow& row, std::ostream* os) {
    *os << row.name;
}

const CallRow kAdapterCalls[] = {
    {"InitCAN",
     [] {
         CanInitConfig config{};
         return KVX_InitCAN(2, 0, 0, &config);
     }},
    {"ResumeConfig", [] { return KVX_ResumeConfig(2, 0, 0); }},
    {"WriteBoardInfo",
     [] {
         BoardInfo info{};
         return KVX_WriteBoardInfo(2, 0, &info);
     }},
    {"ReadBoardInfo",
     [] {
         BoardInfo info{};
         return KVX_ReadBoardInfo(2, 0, &info);
     }},
    {"ReadCANStatus",
     [] {
         CanStatus status{};
         return KVX_ReadCANStatus(2, 0, 0, &status);
     }},
    {"GetReference",
     [] {
         uint8_t data[32] = {};
         return KVX_GetReference(2, 0, 0, 2, data);
     }},
    {"SetReference",
     [] {
         const uint8_t data[4] = {};
         return KVX_SetReference(2, 0, 0, 2, data);
     }},
    {"StartCAN", [] { return KVX_StartCAN(2, 0, 0); }},
    {"ResetCAN", [] { return KVX_ResetCAN(2, 0, 0); }},
    {"Transmit",
     [] {
         const CanFrame frame = StandardFrame();
         return KVX_Transmit(2, 0, 0, &frame);
     }},
    {"Receive",
     [] {
         static CanFrame frames[KVX_RECEIVE_MAX_FRAMES];
         return KVX_Receive(2, 0, 0, frames);
     }},
};

class ClosedCallTest : public UsbLibraryTest, public testing::WithParamInterface<CallRow> {};

TEST_P(ClosedCallTest, ReturnsMinusOneAndSendsNothing) {
    ASSERT_FALSE(CanLibrary::Instance().IsOpen());
    EXPECT_EQ(GetParam().call(), -1);
    EXPECT_EQ(Written(), "");
}

INSTANTIATE_TEST_SUITE_P(State, ClosedCallTest, testing::ValuesIn(kAdapterCalls),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UsbLibraryTest, StubsReturnZeroOpenOrClosed) {
    uint8_t err[64] = {};
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(KVX_ReadErrInfo(2, 0, 0, err), 0);
        EXPECT_EQ(KVX_GetReceiveNum(2, 0, 0), 0);
        EXPECT_EQ(KVX_ClearBuffer(2, 0, 0), 0);
        ASSERT_EQ(KVX_OpenDevice(2, 0, 0), 1);
    }
    EXPECT_EQ(Written(), "");
}

TEST_F(UsbLibraryTest, UnknownDeviceTypeIsReportedOnStderr) {
    for (uint32_t type : {0u, 11u, 0xFFFFFFFFu}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(KVX_OpenDevice(type, 0, 0), -1) << type;
        EXPECT_NE(testing::internal::GetCapturedStderr().find("Error：device type not exist!"),
                  std::string::npos);
        EXPECT_FALSE(CanLibrary::Instance().IsOpen());
    }
    ASSERT_EQ(KVX_OpenDevice(2, 0, 0), 1);
    EXPECT_EQ(KVX_StartCAN(11, 0, 0), -1);
}

TEST_F(UsbLibraryTest, TypesFiveToTenOnlyMarkOpen) {
    for (uint32_t type = 5; type <= 10; ++type) {
        EXPECT_EQ(KVX_OpenDevice(type, 0, 0), 1) << type;
        EXPECT_TRUE(CanLibrary::Instance().IsOpen());
        EXPECT_EQ(KVX_StartCAN(type, 0, 0), 0);
        BoardInfo info{};
        EXPECT_EQ(KVX_ReadBoardInfo(type, 0, &info), 0);
        EXPECT_EQ(KVX_CloseDevice(type, 0), 1);
        EXPECT_EQ(KVX_StartCAN(type, 0, 0), -1);
    }
    EXPECT_EQ(bridge.opens, 0);
    EXPECT_EQ(Written(), "");
}

struct ChannelRow {
    const char* name;
    uint32_t type;
    uint32_t channel;
};

// Parameterised cases print as their row name.
void PrintTo(const ChannelRow& row, std::ostream* os) {
    *os << row.name;
}

class ChannelTest : public UsbLibraryTest, public testing::WithParamInterface<ChannelRow> {};

TEST_P(ChannelTest, RefusedWithoutSending) {
    ASSERT_EQ(KVX_OpenDevice(2, 0, 0), 1);
    bridge.replies = {{0xAA}};
    EXPECT_EQ(KVX_ResumeConfig(GetParam().type, 0, GetParam().channel), 0);
    EXPECT_EQ(Written(), "");
}

INSTANTIATE_TEST_SUITE_P(State, ChannelTest,
                         testing::Values(ChannelRow{"UsbOneChannel1", 2, 1},
                                         ChannelRow{"Serial1", 1, 1}, ChannelRow{"Udp2", 4, 2},
                                         ChannelRow{"MultiChannel256", 3, 256}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UsbLibraryTest, StartOnChannelOneOfOneChannelAdapterSendsNothing) {
    ASSERT_EQ(KVX_OpenDevice(2, 0, 0), 1);
    EXPECT_EQ(KVX_StartCAN(2, 0, 1), 0);
    EXPECT_EQ(Written(), "");
}

TEST_F(UsbLibraryTest, OpenSetsShortTimeoutsAndCloseInfinite) {
    ASSERT_EQ(KVX_OpenDevice(2, 1, 0), 1);
    EXPECT_EQ(bridge.readTimeoutMs, 10);
    EXPECT_EQ(bridge.writeTimeoutMs, 10);
    EXPECT_EQ(KVX_CloseDevice(2, 1), 1);
    EXPECT_EQ(bridge.readTimeoutMs, -1);
    EXPECT_EQ(bridge.closes, 1);
    EXPECT_FALSE(CanLibrary::Instance().IsOpen());
}

TEST_F(UsbLibraryTest, ReopenClosesThePreviousHandle) {
    ASSERT_EQ(KVX_OpenDevice(2, 0, 0), 1);
    ASSERT_EQ(KVX_OpenDevice(3, 1, 0), 1);
    EXPECT_EQ(bridge.opens, 2);
    EXPECT_EQ(bridge.closes, 1);
    bridge.replies = {{0xAA}};
    EXPECT_EQ(KVX_StartCAN(3, 1, 2), 1);
    EXPECT_EQ(Written(), "CD 01 02");
}

TEST_F(UsbLibraryTest, FailedOpenLeavesTheLibraryClosed) {
    EXPECT_EQ(KVX_OpenDevice(2, 7, 0), 0);
    EXPECT_EQ(KVX_StartCAN(2, 0, 0), -1);
}

TEST_F(UsbLibraryTest, FailedUsbCloseKeepsTheLibraryOpen) {
    ASSERT_EQ(KVX_OpenDevice(2, 0, 0), 1);
    bridge.failClose = true;
    EXPECT_EQ(KVX_CloseDevice(2, 0), 0);
    EXPECT_TRUE(CanLibrary::Instance().IsOpen());
    bridge.failClose = false;
    EXPECT_EQ(KVX_CloseDevice(2, 0), 1);
    EXPECT_FALSE(CanLibrary::Instance().IsOpen());
}

// Commands answered by one acknowledgement byte: packet, reply and the least time taken.
struct AckRow {
    const char* name;
    std::function<int32_t()> call;
    std::string packet;
    int minMs;
};

// Parameterised cases print as their row name.
void PrintTo(const AckRow& row, std::ostream* os) {
    *os << row.name;
}

class AckTest : public UsbLibraryTest, public testing::WithParamInterface<AckRow> {
protected:
    void SetUp() override {
        UsbLibraryTest::SetUp();
        ASSERT_EQ(KVX_OpenDevice(3, 0, 0), 1);
    }
};

TEST_P(AckTest, AcknowledgedByAA) {
    bridge.replies = {{0xAA}};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(GetParam().call(), 1);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    EXPECT_GE(ms, GetParam().minMs);
    EXPECT_EQ(Written(), GetParam().packet);
}

TEST_P(AckTest, OtherRepliesFail) {
    for (const char* reply : {"AB", "AA AA", ""}) {
        bridge.replies = {FromHex(reply)};
        bridge.waiting.clear();
        EXPECT_EQ(GetParam().call(), 0) << "reply " << reply;
    }
}

const uint8_t kRef[4] = {0x11, 0x22, 0x33, 0x44};

INSTANTIATE_TEST_SUITE_P(
    Usb, AckTest,
    testing::Values(AckRow{"StartCAN", [] { return KVX_StartCAN(3, 0, 1); }, "CD 01 01", 100},
                    AckRow{"ResetCAN", [] { return KVX_ResetCAN(3, 0, 1); }, "CD 03 01", 0},
                    AckRow{"ResumeConfig", [] { return KVX_ResumeConfig(3, 0, 2); }, "CD 0A 02",
                           50},
                    AckRow{"SetReference", [] { return KVX_SetReference(3, 0, 1, 2, kRef); },
                           "CD 05 01 02 11 22 33 44", 50},
                    AckRow{"InitCAN",
                           [] {
                               CanInitConfig config{};
                               config.acceptCode = 0x01020304;
                               config.acceptMask = 0xFFFFFFFF;
                               config.mode = 0x09;
                               config.filter = 0x01;
                               config.timing0 = 0x00;
                               config.timing1 = 0x1C;
                               return KVX_InitCAN(3, 0, 1, &config);
                           },
                           "CD 02 01 09 01 01 02 03 04 FF FF FF FF 00 1C 00 00", 40},
                    AckRow{"WriteBoardInfo",
                           [] {
                               BoardInfo info{};
                               info.hardwareVersion = 0x0A0B;
                               return KVX_WriteBoardInfo(3, 0, &info);
                           },
                           "CD 09 0A 0B" + kvxtest::Zeros(30), 40}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UsbLibraryTest, LeftoverBytesAreDroppedBeforeACommand) {
    ASSERT_EQ(KVX_OpenDevice(2, 0, 0), 1);
    bridge.waiting = FromHex("55 66 77");
    bridge.replies = {{0xAA}};
    EXPECT_EQ(KVX_ResetCAN(2, 0, 0), 1);
    EXPECT_EQ(Written(), "CD 03");
}

TEST_F(UsbLibraryTest, TransmitSendsFramePacketsWithoutWaitingForAReply) {
    ASSERT_EQ(KVX_OpenDevice(2, 0, 0), 1);
    CanFrame frame = StandardFrame();
    EXPECT_EQ(KVX_Transmit(2, 0, 0, &frame), 1);
    frame.extended = 1;
    frame.id[2] = 0x56;
    frame.id[3] = 0x78;
    EXPECT_EQ(KVX_Transmit(2, 0, 0, &frame), 1);
    CanFrame remote{};
    remote.id[0] = 0x12;
    remote.id[1] = 0x34;
    remote.remote = 1;
    EXPECT_EQ(KVX_Transmit(2, 0, 0, &remote), 1);
    EXPECT_EQ(Written(), "DD 02 12 34 AA BB" + kvxtest::Zeros(8) + " | DD 82 12 34 56 78 AA BB" +
                             kvxtest::Zeros(6) + " | DD 40 12 34" + kvxtest::Zeros(10));
}

TEST_F(UsbLibraryTest, TransmitRefusesMoreThanEightDataBytes) {
    ASSERT_EQ(KVX_OpenDevice(2, 0, 0), 1);
    CanFrame frame = StandardFrame();
    frame.length = 12;
    EXPECT_EQ(KVX_Transmit(2, 0, 0, &frame), 0);
    EXPECT_EQ(Written(), "");
}

TEST_F(UsbLibraryTest, ShortWriteFailsAndSetsTheErrorMark) {
    ASSERT_EQ(KVX_OpenDevice(2, 0, 0), 1);
    EXPECT_FALSE(CanLibrary::Instance().UsbErrorMark());
    bridge.shortWrite = true;
    const CanFrame frame = StandardFrame();
    EXPECT_EQ(KVX_Transmit(2, 0, 0, &frame), 0);
    EXPECT_TRUE(CanLibrary::Instance().UsbErrorMark());
    bridge.replies = {{0xAA}};
    EXPECT_EQ(KVX_ResumeConfig(2, 0, 0), 0);
}

TEST_F(UsbLibraryTest, ReadBoardInfoPlacesTheReply) {
    ASSERT_EQ(KVX_OpenDevice(2, 0, 0), 1);
    kvxtest::Bytes reply(32);
    for (int i = 0; i < 32; ++i)
        reply[i] = static_cast<uint8_t>(i + 1);
    bridge.replies = {reply};
    BoardInfo info;
    std::memset(&info, 0, sizeof info);
    ASSERT_EQ(KVX_ReadBoardInfo(2, 0, &info), 1);
    EXPECT_EQ(Written(), "CD 08 00");
    // Built by hand from the record layout on a little-endian host.
    EXPECT_EQ(Hex(reinterpret_cast<const uint8_t*>(&info), sizeof info),
              "02 01 04 03 10 03 10 05 06 05 07 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 15 16 17 18 "
              "19 1A 1B 1C 1D 1E 1F 20");
}

TEST_F(UsbLibraryTest, ShortBoardInfoReplyLeavesTheRecord) {
    ASSERT_EQ(KVX_OpenDevice(2, 0, 0), 1);
    bridge.replies = {kvxtest::Bytes(31, 0x77)};
    BoardInfo info;
    std::memset(&info, 0x11, sizeof info);
    EXPECT_EQ(KVX_ReadBoardInfo(2, 0, &info), 0);
    EXPECT_EQ(info.channelCount, 0x11);
}

TEST_F(UsbLibraryTest, StatusAndReferenceReplies) {
    ASSERT_EQ(KVX_OpenDevice(2, 0, 0), 1);
    bridge.replies = {FromHex("01 02 03 04 05 06 07 08"),
                      FromHex("F0 F1 F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE FF")};
    CanStatus status;
    std::memset(&status, 0xEE, sizeof status);
    ASSERT_EQ(KVX_ReadCANStatus(2, 0, 0, &status), 1);
    EXPECT_EQ(Hex(reinterpret_cast<const uint8_t*>(&status), sizeof status),
              "01 02 03 04 05 06 07 08 00 00 00 00");
    uint8_t data[20];
    std::memset(data, 0xEE, sizeof data);
    ASSERT_EQ(KVX_GetReference(2, 0, 0, 6, data), 1);
    EXPECT_EQ(Hex(data, 20), "F0 F1 F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE FF EE EE EE EE");
    EXPECT_EQ(Written(), "CD 06 | CD 04");
}

TEST_F(UsbLibraryTest, ReceiveTwentySevenBytesGivesTwoFrames) {
    ASSERT_EQ(KVX_OpenDevice(2, 0, 0), 1);
    bridge.replies = {
        FromHex("02 12 3F AA BB 00 00 00 00 00 00 00 00 "
                "84 01 02 03 04 05 06 07 08 00 00 00 00 "
                "09 09")};
    CanFrame frames[KVX_RECEIVE_MAX_FRAMES];
    EXPECT_EQ(KVX_Receive(2, 0, 0, frames), 2);
    EXPECT_EQ(Written(), "CD 0B");
    EXPECT_EQ(Hex(frames[0].id, 2), "12 20");
    EXPECT_EQ(frames[0].length, 2);
    EXPECT_EQ(Hex(frames[1].id, 4), "01 02 03 04");
    EXPECT_EQ(Hex(frames[1].data, 4), "05 06 07 08");
    EXPECT_EQ(frames[1].extended, 1);
}

TEST_F(UsbLibraryTest, ReceiveOneByteMeansNoFrames) {
    ASSERT_EQ(KVX_OpenDevice(2, 0, 0), 1);
    bridge.replies = {{0xAA}};
    CanFrame frames[KVX_RECEIVE_MAX_FRAMES];
    EXPECT_EQ(KVX_Receive(2, 0, 0, frames), 0);
}

TEST_F(UsbLibraryTest, ReceiveQueueBeyondTheBufferIsCut) {
    ASSERT_EQ(KVX_OpenDevice(2, 0, 0), 1);
    bridge.replies = {kvxtest::Bytes(4000, 0x08)};
    // One frame more than the library may store: an overrun would show under ASan.
    std::vector<CanFrame> frames(KVX_RECEIVE_MAX_FRAMES + 1);
    std::memset(frames.data(), 0x5A, frames.size() * sizeof(CanFrame));
    EXPECT_EQ(KVX_Receive(2, 0, 0, frames.data()), KVX_RECEIVE_MAX_FRAMES);
    EXPECT_EQ(frames[KVX_RECEIVE_MAX_FRAMES].length, 0x5A);
}

TEST_F(UsbLibraryTest, FindWritesFourSerialCharactersPerAdapter) {
    std::vector<uint8_t> buffer(KVX_FIND_BUFFER_BYTES(2) + 4, 0xEE);
    EXPECT_EQ(KVX_FindQzUsbDevice(reinterpret_cast<BoardInfo*>(buffer.data())), 2);
    EXPECT_EQ(std::string(buffer.begin() + 35, buffer.begin() + 43), "A1B2C3D4");
    EXPECT_EQ(std::count(buffer.begin(), buffer.begin() + 35, 0xEE), 35);
    EXPECT_EQ(Hex(buffer.data() + 43, 4), "EE EE EE EE");
}

TEST_F(UsbLibraryTest, FindPadsAShortSerialNumber) {
    bridge.serials = {"X"};
    std::vector<uint8_t> buffer(KVX_FIND_BUFFER_BYTES(1), 0xEE);
    EXPECT_EQ(KVX_FindQzUsbDevice(reinterpret_cast<BoardInfo*>(buffer.data())), 1);
    EXPECT_EQ(Hex(buffer.data() + 35, 4), "58 00 00 00");
}

TEST_F(UsbLibraryTest, FindFailureIsReported) {
    bridge.failCount = true;
    std::vector<uint8_t> buffer(64, 0xEE);
    testing::internal::CaptureStderr();
    EXPECT_EQ(KVX_FindQzUsbDevice(reinterpret_cast<BoardInfo*>(buffer.data())), 0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Error finding Morvane USB device."),
              std::string::npos);
    EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0xEE), 64);
}

TEST_F(UsbLibraryTest, NullRecordsAreRefused) {
    ASSERT_EQ(KVX_OpenDevice(2, 0, 0), 1);
    EXPECT_EQ(KVX_InitCAN(2, 0, 0, nullptr), 0);
    EXPECT_EQ(KVX_ReadBoardInfo(2, 0, nullptr), 0);
    EXPECT_EQ(KVX_Transmit(2, 0, 0, nullptr), 0);
    EXPECT_EQ(KVX_Receive(2, 0, 0, nullptr), 0);
    EXPECT_EQ(KVX_SetReference(2, 0, 0, 2, nullptr), 0);
    EXPECT_EQ(KVX_FindQzUsbDevice(nullptr), 0);
    EXPECT_EQ(Written(), "");
}

}  // namespace
