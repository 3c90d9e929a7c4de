// The lcdsim program as a user runs it: bad input, a file run against lcdtool's render,
// and serving over a pseudo-terminal and over the CAN adapter emulator.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "base/AtomicFile.h"
#include "kvx_can.h"
#include "sim/support/ModuleFixture.h"
#include "support/Programs.h"

using namespace simtest;
namespace fs = std::filesystem;

namespace {

using LcdSim = ProgramTest;

TEST_F(LcdSim, BadInputIsOneLineAndNoOutput) {
    const std::string in = Path("in.bin"), out = " -o " + Path("out.png");
    std::string error;
    ASSERT_TRUE(AtomicFile::Write(in, Bytes("1B 42 00"), error));
    for (const std::string& args : std::vector<std::string>{
             "run", "run " + in + out + " --bogus", "run " + in + out + " --size 320x240",
             "run " + in + out + " --mode fast", "run " + in + out + " --board 7",
             "run " + Path("missing.bin") + out, "run " + in + out + " --device 不存在的屏",
             "run " + in + out + " --size 320 --colours 256", "run " + in + out + " --play -1",
             "serve" + out, "serve --can-udp 1.2.3:9" + out}) {
        std::string err;
        EXPECT_EQ(Run(LCDSIM_PATH, args, &err), 1) << args;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << args << ": " << err;
        EXPECT_FALSE(fs::exists(Path("out.png"))) << args;
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
    std::vector<uint8_t> a, b;
    std::string error;
    ASSERT_TRUE(AtomicFile::Read(Path("render.png"), a, error) &&
                AtomicFile::Read(Path("sim.png"), b, error));
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(fs::exists(Path("frames/frame-00001.png")));
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
