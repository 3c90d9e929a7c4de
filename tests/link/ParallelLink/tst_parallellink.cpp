// The parallel link through a fake port and clock: the register writes of both senders,
// the wait for a busy module, and the base address of an extension card.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/StringFormat.h"
#include "link/ParallelLink.h"
#include "support/LinkFixtures.h"

namespace {

// Logs every access (" W37A=01 R379"); the module is busy for `busy` status reads before
// each ready one (never ready for -1).
struct FakePort : BytePort {
    FakePort(std::string& l, int b, int64_t& r) : log(l), busy(b), reads(r) {}
    void Write(uint16_t port, uint8_t value) override {
        log += StringFormat(" W%X=%02X", port, value);
    }
    uint8_t Read(uint16_t port) override {
        log += StringFormat(" R%X", port);
        ++reads;
        return busy >= 0 && reads % (busy + 1) == 0 ? 0x80 : 0x7F;
    }
    std::string& log;
    int busy;
    int64_t& reads;
};

struct ParallelCase {
    const char* name;
    int parallelKind, base, busy, timeout, interval;
    bool command;
    size_t size;
    int stopAtPause;  // stop during this pause, -1 never
    SendStatus status;
    int64_t sent, reads;
    const char* told;
    const char* log;  // nullptr: not compared
};

class ParallelSend : public testing::TestWithParam<ParallelCase> {};

TEST_P(ParallelSend, DrivesTheRegistersWithinItsWaitBudget) {
    const ParallelCase& c = GetParam();
    LinkSettings s;
    s.parallelKind = c.parallelKind;
    s.parallelBase = static_cast<uint16_t>(c.base);
    s.timeout = c.timeout;
    s.interval = c.interval;
    std::string log;
    int64_t reads = 0;
    int pauses = 0;
    ParallelLink link(std::make_unique<FakePort>(log, c.busy, reads), ParallelLink::BaseOf(s), s);
    RecordingSink sink;
    std::atomic<bool> stop{false};
    std::chrono::steady_clock::time_point now{};
    link.SetClock([&] { return now; });
    link.SetDelay([&](int64_t us) {
        now += std::chrono::microseconds(us);
        stop = ++pauses == c.stopAtPause;
    });
    const CByteArray bytes = c.size ? CByteArray(c.size, 0x55) : CByteArray{0x1B, 0x41};
    const SendResult r = c.command ? link.SendCommand(bytes, stop) : link.Send(bytes, sink, stop);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.sent, c.sent);
    EXPECT_EQ(reads, c.reads);
    EXPECT_EQ(r.message, c.told);
    EXPECT_EQ(sink.Values(kProgressTimeout), c.command || !*c.told ? "" : "0");
    EXPECT_EQ(c.log ? log : "", c.log ? c.log : "");
}

constexpr auto Done = SendStatus::Done, TimedOut = SendStatus::TimedOut;

INSTANTIATE_TEST_SUITE_P(
    Cases, ParallelSend,
    testing::Values(
        // Download: strobe rests at 1 and pulses 0, 1; busy once before each byte.
        ParallelCase{
            "DownloadDefaultPort", 0, 0x278, 1, 100, 5, false, 0, -1, Done, 2, 4, "",
            " W37A=01 R379 R379 W378=1B W37A=00 W37A=01 R379 R379 W378=41 W37A=00 W37A=01"},
        ParallelCase{
            "DownloadCardAt278", 1, 0x278, 1, 100, 5, false, 0, -1, Done, 2, 4, "",
            " W27A=01 R279 R279 W278=1B W27A=00 W27A=01 R279 R279 W278=41 W27A=00 W27A=01"},
        // Immediate: strobe rests at 0 and pulses 1, 0; ready awaited before and after the
        // data.
        ParallelCase{"CommandCardAt278", 1, 0x278, 1, 100, 5, true, 0, -1, Done, 2, 8, "",
                     " W27A=00 R279 R279 W278=1B R279 R279 W27A=01 W27A=00"
                     " R279 R279 W278=41 R279 R279 W27A=01 W27A=00"},
        // Busy for 30 µs before each byte: the timeout bounds each wait, not their sum.
        ParallelCase{"EachByteMayWaitTheTimeout", 0, 0, 3, 1, 10, false, 40000, -1, Done, 40000,
                     4 * 40000, "", nullptr},
        ParallelCase{"BusyForTheWholeTimeout", 0, 0, -1, 1, 10, false, 3, -1, TimedOut, 0,
                     100000 + 1, "请检查连接是否正确", nullptr},
        ParallelCase{"StopWhileBusyAtTheNextStatusRead", 0, 0, -1, 100, 5, false, 4, 3,
                     SendStatus::Stopped, 0, 4, "", " W37A=01 R379 R379 R379 R379"},
        ParallelCase{"ImmediateWaitIsBoundedAndTold", 0, 0, -1, 1, 10, true, 1, -1, TimedOut, 0,
                     10000 + 1, "发送超时，请检查设备是否已连接", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

// Port I/O only where a parallel port can be: the standard bases and what the kernel lists
// (a fake /proc/ioports with parport1 at E010 beside a serial port at 2F8).
TEST(ParallelPort, DirectIoOnlyAtAParallelBase) {
    const std::string root = testing::TempDir() + "parallel-root";
    std::filesystem::create_directories(root + "/proc");
    std::ofstream(root + "/proc/ioports")
        << "0000-0cf7 : PCI Bus 0000:00\n  02f8-02ff : serial\n  e010-e012 : parport1\n";
    for (const auto& [base, refused] : {std::pair{0x2F8, true},
                                        {0x1234, true},
                                        {0xE010, false},
                                        {0x3BC, false},
                                        {0x278, false}}) {
        LinkSettings s;
        s.parallelKind = 1;
        s.parallelBase = static_cast<uint16_t>(base);
        std::string error;
        ParallelLink::OpenPort(s, error, root);
        EXPECT_EQ(error.find(StringFormat("0x%X 不是并口地址", base)) != std::string::npos, refused)
            << error;
        EXPECT_EQ(error.find("本机列出 parport1 0xE010") != std::string::npos, refused) << error;
    }
}

}  // namespace
