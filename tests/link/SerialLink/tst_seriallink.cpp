// The serial link over a pseudo-terminal pair: what arrives at the far end, the pauses,
// the busy check through a fake modem-status seam, stops and timeouts.

#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <numeric>

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
    int64_t reads;  // modem status reads, -1 unchecked
};

class SerialSend : public testing::TestWithParam<SerialCase> {};

TEST_P(SerialSend, DeliversOrStopsAsItShould) {
    const SerialCase& c = GetParam();
    PtyPair pty;
    std::string error;
    const auto link = SerialLink::Open(Settings(pty.path, c.interval, c.busy, c.timeout), error);
    ASSERT_TRUE(link) << error;
    int64_t reads = 0, pauses = 0;
    link->SetDelay([&](int64_t us) { pauses += us; });
    if (c.offReads != 0)
        link->SetModemStatus([&](int, int& bits) {
            ++reads;
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
        // 1 s at 10 µs: the download gives up when its 100 000 waits are exceeded, the
        // immediate sender when a tenth of them are made.
        SerialCase{"DsrStaysOff", 10, 1, true, -1, 3, false, -1, TimedOut, "请检查连接是否正确",
                   100000 + 2},
        SerialCase{"CommandDsrStaysOff", 10, 1, true, -1, 3, true, -1, TimedOut,
                   "发送超时，请检查设备是否已连接", 10000 + 1},
        // A pseudo-terminal has no modem lines.
        SerialCase{"NoModemLines", 0, 100, true, 0, 3, false, -1, Failed, "DSR", 0},
        SerialCase{"WriteThatTakesNothing", 0, 100, false, 0, 1 << 20, false, -1, TimedOut, "超时",
                   -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SerialLink, OpensOnlyOnceAndOnlyAtAModuleBaudRate) {
    PtyPair pty;
    std::string error;
    const auto first = SerialLink::Open(Settings(pty.path, 0, false), error);
    EXPECT_FALSE(SerialLink::Open(Settings(pty.path, 0, false), error));
    EXPECT_NE(error.find("占用"), std::string::npos) << error;
    LinkSettings bad = Settings(pty.path, 0, false);
    bad.baudRate = -1;
    EXPECT_FALSE(SerialLink::Open(bad, error));
    EXPECT_NE(error.find("-1"), std::string::npos) << error;
    EXPECT_EQ(WaitLimit(100, 2, true), 50000000);
    EXPECT_EQ(WaitLimit(100, 0, false), 10000000);
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
