// The parallel link through a fake port: the register writes of both senders, the wait
// budget of a download, and the base address of an extension card.

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

struct Rig {
    std::string log;
    int64_t reads = 0;
    std::unique_ptr<ParallelLink> link;
    Rig(int parallelKind, uint16_t base, int busy, int timeout = 100, int interval = 5) {
        LinkSettings s;
        s.parallelKind = parallelKind;
        s.parallelBase = base;
        s.timeout = timeout;
        s.interval = interval;
        link = std::make_unique<ParallelLink>(std::make_unique<FakePort>(log, busy, reads),
                                              ParallelLink::BaseOf(s), s);
        link->SetDelay([](int64_t) {});
    }
};

struct StrobeCase {
    const char* name;
    int parallelKind;
    uint16_t base;
    bool download;
    const char* log;
};

class ParallelStrobe : public testing::TestWithParam<StrobeCase> {};

TEST_P(ParallelStrobe, WritesTheRegistersInOrder) {
    const StrobeCase& c = GetParam();
    Rig rig(c.parallelKind, c.base, 1);
    RecordingSink sink;
    std::atomic<bool> stop{false};
    const CByteArray bytes = {0x1B, 0x41};
    const SendResult r =
        c.download ? rig.link->Send(bytes, sink, stop) : rig.link->SendCommand(bytes);
    EXPECT_EQ(r.status, SendStatus::Done);
    EXPECT_EQ(rig.log, c.log);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParallelStrobe,
    testing::Values(
        // Download: strobe rests at 1 and pulses 0, 1; busy once before each byte.
        StrobeCase{"DownloadDefaultPort", 0, 0x278, true,
                   " W37A=01 R379 R379 W378=1B W37A=00 W37A=01 R379 R379 W378=41 W37A=00 W37A=01"},
        StrobeCase{"DownloadCardAt278", 1, 0x278, true,
                   " W27A=01 R279 R279 W278=1B W27A=00 W27A=01 R279 R279 W278=41 W27A=00 W27A=01"},
        // Immediate: strobe rests at 0 and pulses 1, 0; ready awaited before and after the
        // data.
        StrobeCase{"CommandCardAt278", 1, 0x278, false,
                   " W27A=00 R279 R279 W278=1B R279 R279 W27A=01 W27A=00"
                   " R279 R279 W278=41 R279 R279 W27A=01 W27A=00"}),
    [](const auto& info) { return std::string(info.param.name); });

struct BusyCase {
    const char* name;
    int busy, timeout, interval;
    bool command;
    size_t size;
    int stopAtPause;  // stop during this pause, -1 never
    SendStatus status;
    int64_t sent, reads;
    const char* told;
};

class ParallelBusy : public testing::TestWithParam<BusyCase> {};

TEST_P(ParallelBusy, WaitsWithinItsBudget) {
    const BusyCase& c = GetParam();
    Rig rig(0, 0, c.busy, c.timeout, c.interval);
    RecordingSink sink;
    std::atomic<bool> stop{false};
    int pauses = 0;
    rig.link->SetDelay([&](int64_t) { stop = ++pauses == c.stopAtPause; });
    const CByteArray bytes(c.size, 0x55);
    const SendResult r =
        c.command ? rig.link->SendCommand(bytes) : rig.link->Send(bytes, sink, stop);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.sent, c.sent);
    EXPECT_EQ(rig.reads, c.reads);
    EXPECT_EQ(r.message, c.told);
    EXPECT_EQ(sink.Values(kProgressTimeout), c.command || !*c.told ? "" : "0");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParallelBusy,
    testing::Values(
        // 1 s at 10 µs: 100 000 waits for the whole download. Busy three reads before each
        // byte, the budget runs out during byte 33 333.
        BusyCase{"BudgetCoversTheWholeDownload", 3, 1, 10, false, 40000, -1, SendStatus::TimedOut,
                 33333, 4 * 33333 + 1, "请检查连接是否正确"},
        BusyCase{"StopWhileBusyAtTheNextStatusRead", -1, 100, 5, false, 4, 3, SendStatus::Stopped,
                 0, 4, ""},
        BusyCase{"ImmediateWaitIsBoundedAndTold", -1, 1, 10, true, 1, -1, SendStatus::TimedOut, 0,
                 10000 + 1, "发送超时，请检查设备是否已连接"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParallelLink, FindsThePpdevOfABaseAddress) {
    const auto proc =
        std::filesystem::temp_directory_path() / ("parport-" + std::to_string(getpid()));
    for (const auto& [name, text] :
         {std::pair{"parport0", "888\t1912\n"}, {"parport1", "632\t1656\n"}}) {
        std::filesystem::create_directories(proc / name);
        std::ofstream(proc / name / "base-addr") << text;
    }
    EXPECT_EQ(ParallelLink::FindPpdev(0x378, proc.string()), "/dev/parport0");
    EXPECT_EQ(ParallelLink::FindPpdev(0x278, proc.string()), "/dev/parport1");
    EXPECT_EQ(ParallelLink::FindPpdev(0x3BC, proc.string()), "");
    std::filesystem::remove_all(proc);
}

}  // namespace
