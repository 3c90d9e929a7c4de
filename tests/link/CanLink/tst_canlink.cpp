// The USB-CAN link through the real adapter library, against the adapter emulator on a
// loopback UDP port: frames, progress, stop and an adapter that refuses to open.

#include <gtest/gtest.h>

#include <numeric>

#include "AdapterEmulator.h"
#include "EmulatorServer.h"
#include "base/StringFormat.h"
#include "link/CanLink.h"
#include "support/LinkFixtures.h"
#include "support/ScriptedMessenger.h"

namespace {

struct FrameCase {
    const char* name;
    size_t size;
    int64_t stopAt;  // stop after this progress event, -1 never
    bool refuse;     // the adapter refuses to open
    SendStatus status;
    const char* frames;
    const char* posts;
};

class CanLinkTest : public testing::TestWithParam<FrameCase> {
protected:
    void SetUp() override {
        kvx::EmulatorServer::Options options;
        options.serial = false;
        options.udpAddress = 0x7F000001;
        options.udpPort = 0;
        ASSERT_TRUE(server.Open(options)) << server.Error();
        ASSERT_TRUE(server.Start());
        setenv("KVX_CAN_UDP_LOCAL_PORT", "0", 1);  // any free port, so runs never collide
    }
    void TearDown() override { server.Stop(); }
    kvx::AdapterEmulator emulator;
    kvx::EmulatorServer server{emulator};
};

TEST_P(CanLinkTest, CutsTheStreamIntoFramesOfEight) {
    const FrameCase& c = GetParam();
    if (c.refuse) emulator.SetOpenReply({0x55});
    LinkSettings settings;
    ScriptedMessenger messenger;
    std::string error;
    ASSERT_TRUE(
        ParseLinkOption(StringFormat("can:udp=127.0.0.1:%u", server.UdpPort()), settings, error));
    const std::unique_ptr<Link> link = OpenLink(settings, messenger);
    ASSERT_TRUE(link);
    RecordingSink sink;
    std::atomic<bool> stop{false};
    sink.onEvent = [&](int code, int64_t value) { stop = code == 0 && value == c.stopAt; };
    CByteArray bytes(c.size);
    std::iota(bytes.begin(), bytes.end(), 1);
    EXPECT_EQ(link->Send(bytes, sink, stop).status, c.status);
    std::string frames;  // "01 02 .. 08 | 09 .. 10 | 11 12 13 14"
    for (const kvx::EmulatedFrame& f : emulator.Transmitted())
        frames += (frames.empty() ? "" : " | ") + ToHex(CByteArray(f.data, f.data + f.length));
    EXPECT_EQ(frames, c.frames);
    EXPECT_EQ(sink.Values(kProgressSent), c.posts);
    EXPECT_EQ(sink.Values(kProgressAdapterOpen), c.refuse ? "0" : "");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, CanLinkTest, testing::Values(
    FrameCase{"ShortLastFrame", 20, -1, false, SendStatus::Done,
              "01 02 03 04 05 06 07 08 | 09 0A 0B 0C 0D 0E 0F 10 | 11 12 13 14", "8 16 19"},
    FrameCase{"WholeFramesOnly", 16, -1, false, SendStatus::Done,
              "01 02 03 04 05 06 07 08 | 09 0A 0B 0C 0D 0E 0F 10", "8 16"},
    FrameCase{"StopsBetweenFrames", 40, 8, false, SendStatus::Stopped, "01 02 03 04 05 06 07 08", "8"},
    FrameCase{"AdapterThatRefusesToOpenIsAFailure", 20, -1, true, SendStatus::Failed, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

}  // namespace
