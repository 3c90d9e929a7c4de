// lcdtool download end to end: the demo project to lcdsim over a pseudo-terminal and over
// the CAN adapter emulator, whole, stopped and unplugged.

#include <gtest/gtest.h>

#include "support/Programs.h"

namespace {

const std::string kDemo = std::string(LCD_EXAMPLES) + "/demo/demo.zkp";
const std::string kScreen = " --size 320x240 --colours 256 -o /dev/null";  // the demo's module

// clang-format off
enum End { Whole, Stop, Unplug };
// pace: µs after each serial byte or CAN frame; told: a piece of lcdtool's stderr; verify:
// the image with its CRC table and the module's check after it.
struct Case { const char* name; bool can; End end; const char* pace; int status; const char* told; bool verify = false; };
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }
// clang-format on

class DownloadDemo : public ProgramTest, public testing::WithParamInterface<Case> {};

TEST_P(DownloadDemo, DeliversTheExportedBytes) {
    const Case& c = GetParam();
    ASSERT_EQ(Run(LCDTOOL_PATH,
                  "export " + kDemo + " -o " + Path("demo.bin") + (c.verify ? " --crc" : "")),
              0);
    const size_t exported = Slurp(Path("demo.bin")).size() + (c.verify ? 3 : 0);  // 1B 3F 01
    Spawned sim(std::string(LCDSIM_PATH) + " serve " + (c.can ? "--can-udp 127.0.0.1:0" : "--pty") +
                kScreen + " --flash " + Path("flash") + " 2>/dev/null");
    const std::string at = sim.WaitFor(c.can ? "udp " : "pty ").substr(4);
    ASSERT_FALSE(at.empty());
    Spawned tool("env KVX_CAN_UDP_LOCAL_PORT=0 " + std::string(LCDTOOL_PATH) + " download " +
                 kDemo +
                 (c.can ? " --link can:udp=127.0.0.1:" + at + ",pace="
                        : " --link serial:" + at + ",baud=115200,interval=") +
                 c.pace + (c.verify ? " --verify" : "") + " 2>&1");
    ASSERT_TRUE(c.end == Whole || !tool.WaitFor("已发送 10%").empty()) << tool.text;
    if (c.end == Unplug) sim.Stop(SIGKILL);
    EXPECT_EQ(tool.Stop(c.end == Stop ? SIGINT : 0), c.status) << tool.text;
    EXPECT_NE(tool.text.find(c.told), std::string::npos) << tool.text;
    if (c.end == Unplug) return;

    // The module took all of the export, or less after a stop, and keeps what it took.
    const std::string ended = sim.WaitFor("传输结束：");
    const size_t count = std::stoul(ended.substr(std::string("传输结束：").size()));
    EXPECT_EQ(sim.Stop(SIGINT), 0);
    EXPECT_TRUE(c.end == Stop ? count < exported : count == exported) << ended;
    EXPECT_EQ(sim.text.find("校验结束：8 项正确，0 项错误") != std::string::npos, c.verify)
        << sim.text;
    if (c.end == Stop) return;
    ASSERT_EQ(
        Run(LCDSIM_PATH, "run " + Path("demo.bin") + kScreen + " --flash " + Path("run.flash")), 0);
    EXPECT_TRUE(Slurp(Path("flash")) == Slurp(Path("run.flash")));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Links, DownloadDemo, testing::Values(
    Case{"Pty", false, Whole, "0", 0, "已发送 81698 字节"},
    Case{"CanVerified", true, Whole, "0", 0, "字节交给 CAN 适配器，用时", true},
    Case{"PtyStopped", false, Stop, "50", 130, "已停止（已发送"},
    Case{"CanStopped", true, Stop, "0", 130, "已停止（已发送"},
    Case{"PtyUnplugged", false, Unplug, "50", 1, "已断开"}),
    [](const auto& info) { return info.param.name; });
// clang-format on

}  // namespace
