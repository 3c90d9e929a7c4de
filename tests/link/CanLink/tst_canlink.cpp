// The USB-CAN link through the real adapter library, against the adapter emulator on a
// loopback UDP port: frames, progress, stop and an adapter that refuses to open.

#include <gtest/gtest.h>
#include <stdlib.h>

#include "AdapterEmulator.h"
#include "EmulatorServer.h"
#include "base/StringFormat.h"
#include "link/CanLink.h"
#include "support/LinkFixtures.h"
#include "support/ScriptedMessenger.h"

namespace {

class CanLinkTest : public testing::Test {
protected:
    void SetUp() override {
        kvx::EmulatorServer::Options options;
        options.serial = false;
        options.udpAddress = 0x7F000001;
        options.udpPort = 0;
        ASSERT_TRUE(server.Open(options)) << server.Error();
        ASSERT_TRUE(server.Start());
        setenv("KVX_CAN_UDP_LOCAL_PORT", "0", 1);  // any free port, so runs never collide
        settings.linkKind = static_cast<int32_t>(LinkKind::UsbCan);
        std::string error;
        ASSERT_TRUE(ParseCanTarget(StringFormat("udp=127.0.0.1:%u", server.UdpPort()), settings.can,
                                   error));
    }
    void TearDown() override { server.Stop(); }

    SendResult Send(size_t size) {
        std::unique_ptr<Link> link = OpenLink(settings, messenger);
        EXPECT_TRUE(link) << (messenger.told.empty() ? "" : messenger.told.front());
        if (!link) return SendResult::Fail("no link");
        CByteArray bytes(size);
        for (size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<uint8_t>(i + 1);
        return link->Send(bytes, sink, stop);
    }
    // The transmitted frames, "01 02 .. 08 | 09 .. 10 | 11 12 13 14".
    std::string Frames() const {
        std::string out;
        for (const kvx::EmulatedFrame& f : emulator.Transmitted())
            out += (out.empty() ? "" : " | ") + ToHex(CByteArray(f.data, f.data + f.length));
        return out;
    }

    kvx::AdapterEmulator emulator;
    kvx::EmulatorServer server{emulator};
    LinkSettings settings;
    ScriptedMessenger messenger;
    RecordingSink sink;
    std::atomic<bool> stop{false};
};

struct FrameCase {
    const char* name;
    size_t size;
    const char* frames;
    const char* posts;
};

class CanFrames : public CanLinkTest, public testing::WithParamInterface<FrameCase> {};

TEST_P(CanFrames, CutsTheStreamIntoFramesOfEight) {
    const FrameCase& c = GetParam();
    EXPECT_EQ(Send(c.size).status, SendStatus::Done);
    EXPECT_EQ(Frames(), c.frames);
    EXPECT_EQ(sink.Values(kProgressSent), c.posts);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CanFrames,
    testing::Values(FrameCase{"ShortLastFrame", 20,
                              "01 02 03 04 05 06 07 08 | 09 0A 0B 0C 0D 0E 0F 10 | 11 12 13 14",
                              "8 16 19"},
                    FrameCase{"WholeFramesOnly", 16,
                              "01 02 03 04 05 06 07 08 | 09 0A 0B 0C 0D 0E 0F 10", "8 16"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CanLinkTest, StopsBetweenFrames) {
    sink.onEvent = [&](int code, int64_t value) { stop = code == 0 && value == 8; };
    const SendResult r = Send(40);
    EXPECT_EQ(r.status, SendStatus::Stopped);
    EXPECT_EQ(r.sent, 8);
    EXPECT_EQ(Frames(), "01 02 03 04 05 06 07 08");
}

TEST_F(CanLinkTest, AdapterThatRefusesToOpenIsAFailure) {
    emulator.SetOpenReply({0x55});
    const SendResult r = Send(20);
    EXPECT_EQ(r.status, SendStatus::Failed);
    EXPECT_EQ(sink.Values(kProgressAdapterOpen), "0");
    EXPECT_EQ(Frames(), "");
}

}  // namespace
