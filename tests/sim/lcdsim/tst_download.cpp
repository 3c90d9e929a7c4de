// lcdtool's send path end to end: the demo project downloaded to lcdsim over a
// pseudo-terminal and over the CAN adapter emulator, stopped, unplugged, and a port that
// is not there.

#include <gtest/gtest.h>

#include "sim/support/ModuleFixture.h"
#include "sim/support/Programs.h"

using namespace simtest;

namespace {

const std::string kDemo = std::string(LCD_EXAMPLES) + "/demo/demo.zkp";
const std::string kScreen = " --size 320x240 --colours 256";  // the demo's module

enum class End { Whole, Stop, Unplug };
struct Case {
    const char* name;
    bool can;
    End end;
    const char* pace;  // the link's interval (µs per byte) or CAN pace (µs per frame)
    int status;
    const char* told;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class DownloadDemo : public ProgramTest, public testing::WithParamInterface<Case> {};

TEST_P(DownloadDemo, DeliversTheExportedBytes) {
    const Case& c = GetParam();
    ASSERT_EQ(Run(LCDTOOL_PATH, "export " + kDemo + " -o " + Path("demo.bin")), 0);
    std::vector<uint8_t> exported, flash;
    std::string error;
    ASSERT_TRUE(AtomicFile::Read(Path("demo.bin"), exported, error));
    Spawned sim(std::string(LCDSIM_PATH) + " serve " + (c.can ? "--can-udp 127.0.0.1:0" : "--pty") +
                kScreen + " --flash " + Path("flash") + " -o " + Path("screen.png") +
                " 2>/dev/null");
    const std::string banner = sim.WaitFor(c.can ? "udp " : "pty ");
    ASSERT_FALSE(banner.empty());
    const std::string link = c.can
                                 ? "can:udp=127.0.0.1:" + banner.substr(4) + ",pace=" + c.pace
                                 : "serial:" + banner.substr(4) + ",baud=115200,interval=" + c.pace;
    Spawned tool("env KVX_CAN_UDP_LOCAL_PORT=0 " + std::string(LCDTOOL_PATH) + " download " +
                 kDemo + " --link " + link + " 2>&1");
    if (c.end != End::Whole) {
        ASSERT_NE(tool.WaitFor("已发送 10%"), "") << tool.text;
    }
    if (c.end == End::Unplug) sim.Stop(SIGKILL);
    EXPECT_EQ(tool.Stop(c.end == End::Stop ? SIGINT : 0), c.status) << tool.text;
    EXPECT_NE(tool.text.find(c.told), std::string::npos) << tool.text;
    if (c.end == End::Unplug) return;

    // What the module took: all of the export, or less after a stop.
    const std::string received = sim.WaitFor("传输结束：");
    const long long count = atoll(received.substr(received.find("：") + 3).c_str());
    if (c.end == End::Stop) {
        EXPECT_LT(count, static_cast<long long>(exported.size())) << received;
    }
    EXPECT_EQ(sim.Stop(SIGINT), 0);
    if (c.end == End::Stop) return;
    EXPECT_EQ(count, static_cast<long long>(exported.size()));
    ModuleConfig config;
    config.width = 320, config.height = 240, config.colours = 256;
    DisplayModule fileRun(config);
    fileRun.Execute(exported);
    CByteArray expected;
    fileRun.SaveFlash(expected);
    ASSERT_TRUE(AtomicFile::Read(Path("flash"), flash, error)) << error;
    EXPECT_TRUE(flash == expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Links, DownloadDemo, testing::Values(
    Case{"Pty", false, End::Whole, "0", 0, "已发送 81698 字节"},
    Case{"Can", true, End::Whole, "0", 0, "已发送 81698 字节"},
    Case{"PtyStopped", false, End::Stop, "50", 130, "已停止（已发送"},
    Case{"CanStopped", true, End::Stop, "300", 130, "已停止（已发送"},
    Case{"PtyUnplugged", false, End::Unplug, "50", 1, "已断开"}),
    [](const auto& info) { return info.param.name; });
// clang-format on

TEST_F(ProgramTest, AMissingPortIsOneLine) {
    std::string err;
    EXPECT_EQ(Run(LCDTOOL_PATH, "download " + kDemo + " --link serial:/dev/ttyNONE", &err), 1);
    EXPECT_EQ(err, "lcdtool: 打开串口失败! 找不到 /dev/ttyNONE：设备不存在或没有连接\n");
}

}  // namespace
