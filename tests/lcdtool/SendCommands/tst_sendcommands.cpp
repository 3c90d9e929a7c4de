// lcdtool's sending commands over a pseudo-terminal: what arrives, and what is refused.

#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <fstream>
#include <thread>

#include "base/ByteArray.h"
#include "link/LinkSettings.h"
#include "support/LinkFixtures.h"
#include "support/Programs.h"
#include "support/RunTool.h"

namespace {

// $D: the test's folder, $P: the pseudo-terminal. What arrives is hex, or "=ARGS" for what
// `lcdtool ARGS -o -` writes.
const std::string kLink = " --link serial:$P,interval=0";
const std::string kPage = std::string(LCD_EXAMPLES) + "/shapes-8.pg";
// clang-format off
const struct { const char* name; std::string args; int status; const char* says; std::string arrives; } kRows[] = {
    {"SendFile", "send $D/three.bin" + kLink, 0, "已发送 3 字节", "1B 50 03"},
    {"ShowIsTheEncodedPage", "show " + kPage + kLink, 0, "已发送", "=encode " + kPage},
    {"StandardFont", "font --standard $D/three.bin --send" + kLink, 0, "", "1B 20 0A 20 1B 50 03"},
    {"CustomFontLong", "font --custom 3 --mode long $D/three.bin --send" + kLink, 0, "",
     "=font --custom 3 --mode long $D/three.bin"},
    {"Firmware", "firmware $D/fw.hex --send --yes --quiet" + kLink, 0, "", "=firmware $D/fw.hex"},
    {"ImmediateCommand", "command show-page 200 --mode checksum --send" + kLink, 0, "",
     "1B 50 01 C8 01 34"},
    {"FirmwareAsksForYes", "firmware $D/fw.hex --send" + kLink, 1, "--yes", ""},
    {"LinkOnlyWithSend", "command version -o $D/v.bin" + kLink, 1, "--send", ""},
    {"UnknownLink", "send $D/three.bin --link modem:x", 1, "无法识别的连接：modem:x", ""},
    {"MissingPort", "send $D/three.bin --link serial:/dev/ttyNONE", 1,
     "lcdtool: 打开串口失败! 找不到 /dev/ttyNONE：设备不存在或没有连接\n", ""},
    {"Ports", "ports", 0, "", ""},
    {"MissingFile", "send $D/none.bin" + kLink, 1, "打开文件失败：/", ""},
    {"DirectoryFile", "send $D" + kLink, 1, "（是一个目录）", ""},
    {"BusyCheckWithoutModemLines", "send $D/three.bin --link serial:$P,busy", 1, "DSR", ""},
    {"NoImmediateCommandOverCan", "command version --send --link can:udp=127.0.0.1:9", 1,
     "即时命令", ""}};
// clang-format on

TEST_F(ProgramTest, SendingDeliversOrRefusesInOneLine) {
    std::ofstream(Path("three.bin"), std::ios::binary) << "\x1B\x50\x03";
    std::ofstream(Path("fw.hex")) << ":040000001122334452\r\n:00000001FF\r\n";
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.name);
        PtyPair pty;
        const auto tool = [&](std::string args) {
            for (size_t p; (p = args.find('$')) != std::string::npos;)
                args.replace(p, 2, args[p + 1] == 'D' ? dir.string() : pty.path);
            // Any free local UDP port: another program may hold the adapter's usual one.
            return RunTool(dir, args, "KVX_CAN_UDP_LOCAL_PORT=0");
        };
        const Result r = tool(row.args);
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
        EXPECT_TRUE(!row.status || std::count(r.err.begin(), r.err.end(), '\n') == 1) << r.err;
        const std::string built =
            row.arrives.starts_with("=") ? tool(row.arrives.substr(1) + " -o -").out : "";
        EXPECT_EQ(ToHex(pty.Received()),
                  built.empty() ? row.arrives : ToHex(CByteArray(built.begin(), built.end())));
    }
}

// Ctrl-C while the CAN adapter opens (a silent UDP port keeps the open waiting a second)
// stops the command as any Ctrl-C does.
TEST_F(ProgramTest, CtrlCWhileTheCanLinkOpensExits130) {
    std::ofstream(Path("three.bin"), std::ios::binary) << "\x1B\x50\x03";
    Spawned tool("env KVX_CAN_UDP_LOCAL_PORT=0 " + std::string(LCDTOOL_PATH) + " send " +
                 Path("three.bin") + " --link can:udp=127.0.0.1:9 2>&1");
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_EQ(tool.Stop(SIGINT), 130) << tool.text;
    EXPECT_NE(tool.text.find("已停止"), std::string::npos) << tool.text;
}

// A transfer stopped by a signal exits as a shell reports the signal and leaves the port
// shared: the next program (as a normal user) can open it.
TEST_F(ProgramTest, StopSignalsEndTheTransferAndFreeThePort) {
    std::ofstream(Path("big.bin"), std::ios::binary) << std::string(1 << 20, 'x');
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        PtyPair pty;  // nobody reads: the port fills and waits
        Spawned tool("env LCDSCREEN_HOME=" + dir.string() + " " + LCDTOOL_PATH + " send " +
                     Path("big.bin") + " --link serial:" + pty.path + " 2>&1");
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_EQ(tool.Stop(signal), 128 + signal) << tool.text;
        int exclusive = 1;
        ASSERT_EQ(ioctl(pty.slave, TIOCGEXCL, &exclusive), 0);
        EXPECT_EQ(exclusive, 0);
    }
}

// Saved settings that cannot be used stop the transfer and say why; nothing goes to COM1
// (the pseudo-terminal) in their place. link.conf "/" is a folder of that name.
// clang-format off
const struct { const char* name; int kind, baud; std::string linkConf; const char* says; } kSaved[] = {
    {"KindFourIsNoLink", 4, 9600, "", "通讯方式 4 无效"},
    {"BaudFromConfDll", 0, 57600, "", "通讯设置（conf.dll）中的波特率 57600 无效"},
    {"BadLineOfLinkConf", 3, 9600, "# CAN\nusb-a =\n", "link.conf 第 2 行无法识别"},
    {"HugeLinkConf", 0, 9600, std::string(3 << 20, '#'), "最多 1 MB"},
    {"UnreadableLinkConf", 0, 9600, "/", "无法读取通讯设置"}};
// clang-format on

TEST_F(ProgramTest, SavedSettingsThatCannotBeUsedStopTheTransfer) {
    std::ofstream(Path("three.bin"), std::ios::binary) << "\x1B\x50\x03";
    for (const auto& row : kSaved) {
        SCOPED_TRACE(row.name);
        const std::filesystem::path home = dir / row.name;
        std::filesystem::create_directory(home);
        LinkSettings saved;
        saved.linkKind = row.kind;
        saved.baudRate = row.baud;
        std::string error;
        ASSERT_TRUE(saved.Save(error, home.string())) << error;
        std::filesystem::remove(home / "link.conf");
        if (row.linkConf == "/")
            std::filesystem::create_directory(home / "link.conf");
        else
            std::ofstream(home / "link.conf") << row.linkConf;
        PtyPair pty;
        const Result r = RunTool(dir, "send " + Path("three.bin"),
                                 "LCDSCREEN_HOME=" + home.string() + " LCDSCREEN_COM1=" + pty.path);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(ToHex(pty.Received()), "");
    }
}

}  // namespace
