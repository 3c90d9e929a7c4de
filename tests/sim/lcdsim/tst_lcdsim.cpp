// The lcdsim program as a user runs it: bad input, a file run against lcdtool's render,
// and serving over a pseudo-terminal and over the CAN adapter emulator.

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "LcdSim.h"
#include "base/AtomicFile.h"
#include "base/StringFormat.h"
#include "kvx_can.h"
#include "link/CommandBuilder.h"
#include "sim/support/ModuleFixture.h"
#include "support/Programs.h"

using namespace simtest;
namespace fs = std::filesystem;

namespace {

using LcdSim = ProgramTest;

// A UDP port held by the test: lcdsim and lcdtool are told it is taken.
struct HeldPort {
    HeldPort() {
        sockaddr_in a{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t n = sizeof a;
        bind(fd, reinterpret_cast<sockaddr*>(&a), n);
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
        port = ntohs(a.sin_port);
    }
    ~HeldPort() { close(fd); }
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    unsigned port = 0;
};

TEST_F(LcdSim, BadInputIsOneLineAndNoOutput) {
    const std::string in = Path("in.bin"), out = " -o " + Path("out.png"), run = "run " + in + out;
    std::string error;
    ASSERT_TRUE(AtomicFile::Write(in, Bytes("1B 42 00"), error));
    // A stream kept where its first frame would be written.
    const std::string frame = Path("fr/frame-00001.png");
    fs::create_directories(Path("fr"));
    ASSERT_TRUE(AtomicFile::Write(frame, Bytes("1B 42 00"), error));
    const HeldPort held;
    const std::string taken = StringFormat("UDP 端口 %u 已被另一个程序占用", held.port);
    const char* sim = LCDSIM_PATH;
    // clang-format off
    for (const auto& [program, args, says] : std::vector<std::tuple<const char*, std::string, std::string>>{
             {sim, "run", ""}, {sim, run + " --bogus", ""}, {sim, run + " --size 320x240", ""},
             {sim, run + " --mode fast", ""}, {sim, run + " --board 7", "--board 须为 0 到 3"},
             {sim, "run " + Path("missing.bin") + out, ""}, {sim, run + " --device 不存在的屏", ""},
             {sim, run + " --size 320 --colours 256", "--size 须写成 宽x高"},
             {sim, run + " --size 320x --colours 256", "不是“320x”"},
             {sim, run + " --size 4294967616x240 --colours 8", "不是“4294967616x240”"},
             {sim, run + " --log --log", "--log 只能给一次"}, {sim, run + " --flash " + in, "写入会毁掉它"},
             {sim, "run " + frame + out + " --frames " + Path("fr"), "--frames " + frame + " 是输入文件本身"},
             {sim, run + " --play -1", ""}, {sim, "serve" + out, ""}, {sim, "serve --can-udp 1.2.3:9" + out, ""},
             {sim, StringFormat("serve --can-udp 127.0.0.1:%u", held.port) + out, taken},
             {LCDTOOL_PATH, "send " + in + " --link can:udp=127.0.0.1:9", taken}}) {
        // clang-format on
        std::string err;
        const std::string env = StringFormat("KVX_CAN_UDP_LOCAL_PORT=%u ", held.port);
        EXPECT_EQ(Run(env + program, args, &err), 1) << args;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << args << ": " << err;
        EXPECT_NE(err.find(says), std::string::npos) << err;
        EXPECT_FALSE(fs::exists(Path("out.png"))) << args;
    }
    EXPECT_EQ(fs::file_size(frame), 3u);
}

// Frames stop at the first that passes the count, the pixels or the bytes.
TEST(FrameBudgetTest, StopsAtTheFirstLimitReached) {
    for (const auto& [frames, pixels, bytes, taken] :
         {std::tuple{3, 1000, 1000, 3}, {10, 250, 1000, 2}, {10, 1000, 250, 3}}) {
        FrameBudget budget(frames, pixels, bytes);
        int n = 0;
        while (n < 10 && budget.Take(100)) {
            ++n;
            budget.Wrote(100);
        }
        EXPECT_EQ(n, taken);
        EXPECT_FALSE(budget.Take(1));
    }
}

// lcdtool's direct stream through lcdsim is lcdtool's render, to the byte of the PNG.
TEST_F(LcdSim, EncodeThroughLcdsimIsTheRender) {
    const std::string page = std::string(LCD_EXAMPLES) + "/shapes-8.pg";
    ASSERT_EQ(Run(LCDTOOL_PATH, "encode " + page + " -o " + Path("s.bin")), 0);
    ASSERT_EQ(Run(LCDTOOL_PATH, "render " + page + " -o " + Path("render.png")), 0);
    ASSERT_EQ(Run(LCDSIM_PATH, "run " + Path("s.bin") + " --size 320x234 --colours 8 -o " +
                                   Path("sim.png") + " --frames " + Path("frames")),
              0);
    // "-o -": the screen on standard output, the log on stderr.
    ASSERT_EQ(
        std::system((std::string(LCDSIM_PATH) + " run " + Path("s.bin") +
                     " --size 320x234 --colours 8 --log -o - >" + Path("out.png") + " 2>/dev/null")
                        .c_str()),
        0);
    std::vector<uint8_t> a, b, c;
    std::string error;
    ASSERT_TRUE(AtomicFile::Read(Path("render.png"), a, error) &&
                AtomicFile::Read(Path("sim.png"), b, error) &&
                AtomicFile::Read(Path("out.png"), c, error));
    EXPECT_TRUE(a == b && a == c);
    EXPECT_TRUE(fs::exists(Path("frames/frame-00001.png")));
    // Several streams run in turn (an image, then its commands): not a repeated option.
    EXPECT_EQ(Run(LCDSIM_PATH, "run " + Path("s.bin") + " " + Path("s.bin") +
                                   " --size 320x234 --colours 8 -o " + Path("twice.png")),
              0);
}

// Thousands of faulty commands give a bounded stderr: 100 warnings and a line saying the
// rest are not shown.
TEST_F(LcdSim, WarningsStopAfterAHundred) {
    CByteArray shows;
    for (int i = 0; i < 300; ++i)
        CommandBuilder::ShowPage(shows, 0, 0);  // page 0 was never written
    std::string error, err;
    ASSERT_TRUE(AtomicFile::Write(Path("shows.bin"), shows, error));
    Run(LCDSIM_PATH, "run " + Path("shows.bin") + " --size 320x234 --colours 8 -o " + Path("s.png"),
        &err);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 101) << err;
    EXPECT_NE(err.find("已有 100 条警告，之后的不再显示"), std::string::npos);
}

class Serve : public LcdSim, public testing::WithParamInterface<bool> {};

// What arrives over a link leaves the flash a file run of the same bytes leaves.
TEST_P(Serve, FlashEqualsAFileRun) {
    const bool can = GetParam();
    CByteArray stream = SmallImage(0x1C), show = Bytes("1B 50 03");
    stream.insert(stream.end(), show.begin(), show.end());
    Spawned sim(std::string(LCDSIM_PATH) + " serve " + (can ? "--can-udp 127.0.0.1:0" : "--pty") +
                " --log --flash " + Path("flash") + " -o " + Path("screen.png") + " 2>/dev/null");
    const std::string banner = sim.WaitFor(can ? "udp " : "pty ");
    ASSERT_FALSE(banner.empty());
    const std::string where = banner.substr(4);
    if (can) {
        setenv("KVX_CAN_UDP_LOCAL_PORT", "0", 1);
        setenv("KVX_CAN_UDP_ADAPTER_PORT", where.c_str(), 1);
        ASSERT_EQ(KVX_OpenDevice(4, 0x7F000001, 0), 1);
        for (size_t i = 0; i < stream.size(); i += 8) {
            CanFrame frame{};
            frame.length = static_cast<uint8_t>(std::min<size_t>(8, stream.size() - i));
            std::memcpy(frame.data, stream.data() + i, frame.length);
            ASSERT_EQ(KVX_Transmit(4, 0x7F000001, 0, &frame), 1);
        }
        KVX_CloseDevice(4, 0x7F000001);
    } else {
        const int fd = ::open(where.c_str(), O_WRONLY | O_NOCTTY);
        ASSERT_GE(fd, 0) << where;
        ASSERT_EQ(::write(fd, stream.data(), stream.size()), ssize_t(stream.size()));
        ::close(fd);
    }
    EXPECT_NE(sim.WaitFor("显示页面 3"), "");
    EXPECT_EQ(sim.Stop(SIGINT), 0);
    ModuleConfig config;
    DisplayModule fileRun(config), served(config);
    fileRun.Execute(stream);
    std::vector<uint8_t> saved;
    std::string error;
    ASSERT_TRUE(AtomicFile::Read(Path("flash"), saved, error)) << error;
    ASSERT_TRUE(served.RestoreFlash(saved, error)) << error;
    EXPECT_TRUE(served.Flash() == fileRun.Flash());
    EXPECT_TRUE(fs::exists(Path("screen.png")));
}

INSTANTIATE_TEST_SUITE_P(Links, Serve, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Can" : "Pty"; });

}  // namespace
