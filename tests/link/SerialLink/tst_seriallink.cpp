// The serial link over a pseudo-terminal pair: what arrives at the far end, the pauses,
// the busy check through a fake modem-status seam and a fake clock, stops and timeouts.

#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <numeric>
#include <thread>

#include "base/StringFormat.h"
#include "link/LinkTiming.h"
#include "link/SerialLink.h"
#include "support/LinkFixtures.h"
#include "support/ScriptedMessenger.h"

namespace {

LinkSettings Settings(const std::string& path, int interval, bool busy, int timeout = 100) {
    LinkSettings s;
    std::string error;
    EXPECT_TRUE(ParseLinkOption(StringFormat("serial:%s,baud=115200,interval=%d,timeout=%d%s",
                                             path.c_str(), interval, timeout, busy ? ",busy" : ""),
                                s, error));
    return s;
}

struct SerialCase {
    const char* name;
    int interval, timeout;
    bool busy;
    int offReads;  // DSR reads off before each on one; -1 never on, 0 the real port's lines
    size_t size;
    bool command;    // the immediate sender instead of the download's
    int64_t stopAt;  // stop after this byte's progress event, -1 never
    SendStatus status;
    const char* told;
    int64_t reads;     // modem status reads, -1 unchecked
    int readCost = 0;  // µs of the clock each status read takes
};

class SerialSend : public testing::TestWithParam<SerialCase> {};

TEST_P(SerialSend, DeliversOrStopsAsItShould) {
    const SerialCase& c = GetParam();
    PtyPair pty;
    std::string error;
    const auto link = SerialLink::Open(Settings(pty.path, c.interval, c.busy, c.timeout), error);
    ASSERT_TRUE(link) << error;
    int64_t reads = 0, pauses = 0;
    std::chrono::steady_clock::time_point now{};
    link->SetClock([&] { return now; });
    link->SetDelay([&](int64_t us) { pauses += us, now += std::chrono::microseconds(us); });
    if (c.offReads != 0)
        link->SetModemStatus([&](int, int& bits) {
            ++reads;
            now += std::chrono::microseconds(c.readCost);
            bits = c.offReads > 0 && reads % (c.offReads + 1) == 0 ? TIOCM_DSR : 0;
            return 0;
        });
    RecordingSink sink;
    std::atomic<bool> stop{false};
    sink.onEvent = [&](int code, int64_t value) { stop = code == 0 && value == c.stopAt; };
    CByteArray bytes(c.size);  // every byte value, 0A 0D 11 13 7F included
    std::iota(bytes.begin(), bytes.end(), uint8_t{0});
    const SendResult r = c.command ? link->SendCommand(bytes, stop) : link->Send(bytes, sink, stop);
    EXPECT_EQ(r.status, c.status) << r.message;
    EXPECT_NE(r.message.find(c.told), std::string::npos) << r.message;
    EXPECT_EQ(c.reads < 0 ? c.reads : reads, c.reads);
    EXPECT_EQ(sink.Values(kProgressTimeout),
              r.status == SendStatus::TimedOut && !c.command ? "0" : "");
    const size_t arrived = r.Ok() ? c.size : c.stopAt + 1;
    if (c.size > 100000) return;  // more than the far end holds unread
    EXPECT_TRUE(pty.Received() == CByteArray(bytes.begin(), bytes.begin() + arrived));
    // One pause after each byte and one per wait for DSR.
    EXPECT_EQ(r.Ok() ? pauses : 0, r.Ok() ? c.interval * int64_t(c.size) * (c.offReads + 1) : 0);
}

constexpr auto Done = SendStatus::Done, Stopped = SendStatus::Stopped,
               TimedOut = SendStatus::TimedOut, Failed = SendStatus::Failed;

INSTANTIATE_TEST_SUITE_P(
    Cases, SerialSend,
    testing::Values(
        SerialCase{"LargeWritesWithoutPauseOrBusyCheck", 0, 100, false, 0, 12000, false, -1, Done,
                   "", -1},
        SerialCase{"OneByteAtATimeWithPauses", 7, 100, false, 0, 600, false, -1, Done, "", -1},
        SerialCase{"BusyCheckWaitsForDsr", 3, 100, true, 2, 300, false, -1, Done, "", 900},
        SerialCase{"CommandWaitsForDsr", 3, 100, true, 1, 20, true, -1, Done, "", 40},
        SerialCase{"StopsBeforeTheNextByte", 1, 100, false, 0, 50, false, 4, Stopped, "", -1},
        // 1 s at 10 µs: the download gives up after a second of waiting, the immediate
        // sender after a tenth of it.
        SerialCase{"DsrStaysOff", 10, 1, true, -1, 3, false, -1, TimedOut, "请检查连接是否正确",
                   100000 + 1},
        SerialCase{"CommandDsrStaysOff", 10, 1, true, -1, 3, true, -1, TimedOut,
                   "发送超时，请检查设备是否已连接", 10000 + 1},
        // Each status read takes 1 ms: 2 s are 1997 reads and 2 µs pauses, not a million.
        SerialCase{"SlowStatusReadsAreTimedNotCounted", 2, 2, true, -1, 3, false, -1, TimedOut,
                   "请检查连接是否正确", 1997, 1000},
        // A pseudo-terminal has no modem lines.
        SerialCase{"NoModemLines", 0, 100, true, 0, 3, false, -1, Failed, "DSR", 0},
        // Timeout 0: the bare write's 600 ms.
        SerialCase{"WriteThatTakesNothing", 0, 0, false, 0, 1 << 20, false, -1, TimedOut, "超时",
                   -1}),
    [](const auto& info) { return std::string(info.param.name); });

// Exclusive while open, shared again once closed (the far end still holds the tty).
TEST(SerialLink, OpensOnlyOnceAndOnlyAtAModuleBaudRate) {
    PtyPair pty;
    std::string error;
    const auto exclusive = [&] {
        int on = -1;
        ioctl(pty.slave, TIOCGEXCL, &on);
        return on;
    };
    auto first = SerialLink::Open(Settings(pty.path, 0, false), error);
    EXPECT_FALSE(SerialLink::Open(Settings(pty.path, 0, false), error));
    EXPECT_NE(error.find("占用"), std::string::npos) << error;
    EXPECT_EQ(exclusive(), 1);
    first.reset();
    EXPECT_EQ(exclusive(), 0);
    LinkSettings bad = Settings(pty.path, 0, false);
    bad.baudRate = -1;
    EXPECT_FALSE(SerialLink::Open(bad, error));
    EXPECT_NE(error.find("-1"), std::string::npos) << error;
}

// A far end that reads nothing for a second, longer than a bare write waits: with
// timeout=5 the transfer waits for it.
TEST(SerialLink, WriteWaitFollowsTheTimeoutSetting) {
    PtyPair pty;
    std::string error;
    const auto link = SerialLink::Open(Settings(pty.path, 0, false, 5), error);
    ASSERT_TRUE(link) << error;
    const CByteArray bytes(size_t{256} << 10, 0x55);
    CByteArray got;
    std::thread reader([&] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        got = pty.Received();
    });
    RecordingSink sink;
    std::atomic<bool> stop{false};
    const SendResult r = link->Send(bytes, sink, stop);
    reader.join();
    EXPECT_EQ(r.status, SendStatus::Done) << r.message;
    EXPECT_EQ(got.size(), bytes.size());
}

TEST(SerialLink, ImmediateCommandRoutineSendsAndEmptiesTheCommand) {
    PtyPair pty;
    LinkSettings s = Settings(pty.path, 0, false);
    ScriptedMessenger messenger;
    CByteArray command = {0x1B, 0x0A, 0x0D};
    EXPECT_TRUE(SendImmediateCommand(s, command, messenger));
    EXPECT_TRUE(command.empty());
    EXPECT_EQ(ToHex(pty.Received()), "1B 0A 0D");
    EXPECT_TRUE(messenger.told.empty());
}

}  // namespace
