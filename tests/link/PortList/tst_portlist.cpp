// The ports found in a made-up /sys, /dev and /proc.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "link/ParallelLink.h"
#include "link/PortList.h"

namespace fs = std::filesystem;

TEST(PortList, FindsSerialAndParallelPorts) {
    const fs::path root = testing::TempDir() + "ports";
    // clang-format off
    for (const auto& [file, text] : {std::pair{"sys/class/tty/ttyS0/type", "4"},
             {"sys/class/tty/ttyS1/type", "0"} /* no UART */, {"sys/class/tty/ttyUSB0/dev", "188:0"},
             {"sys/class/tty/console/dev", "5:1"}, {"proc/sys/dev/parport/parport0/base-addr", "888"},
             {"proc/sys/dev/parport/parport1/base-addr", "632\t1656"}}) {
        // clang-format on
        fs::create_directories((root / file).parent_path());
        std::ofstream(root / file) << text;
    }
    fs::create_directories(root / "dev/serial/by-id");
    fs::create_symlink("../../ttyUSB0", root / "dev/serial/by-id/usb-FTDI_FT232R-if00");
    std::string found;
    for (const auto& ports : {FindSerialPorts(root), FindParallelPorts(root)})
        for (const PortInfo& p : ports)
            found += p.name + " (" + p.detail + ") ";
    EXPECT_EQ(found,
              "/dev/ttyS0 (串口) /dev/ttyUSB0 (USB 转串口) /dev/serial/by-id/usb-FTDI_FT232R-if00 "
              "(→ /dev/ttyUSB0) /dev/parport0 (地址 0x378) /dev/parport1 (地址 0x278) ");
    EXPECT_EQ(ParallelLink::FindPpdev(0x278, root / "proc/sys/dev/parport"), "/dev/parport1");
    EXPECT_EQ(ParallelLink::FindPpdev(0x3BC, root / "proc/sys/dev/parport"), "");
    fs::remove_all(root);
}

// Settings nobody chose must not send to the console: the serial device the link opens
// (through links too) against the consoles the kernel lists.
TEST(PortList, ConsolePortWarning) {
    const fs::path root = testing::TempDir() + "console";
    fs::create_directories(root / "sys/class/tty/console");
    fs::create_directories(root / "dev/serial/by-id");
    std::ofstream(root / "dev/ttyS0") << "";
    std::ofstream(root / "dev/ttyUSB0") << "";
    std::ofstream(root / "sys/class/tty/console/active") << "tty0 ttyS0\n";
    fs::create_symlink("../../ttyS0", root / "dev/serial/by-id/console-port");
    struct Row {
        const char* name;
        int kind, com;
        const char* path;
        const char* warning;
    };
    for (const Row& row : {
             Row{"COM1 is the console", 0, 1, "",
                 "还没有选择连接：下载会发往 COM1（/dev/ttyS0），而它是本机的系统控制台"},
             Row{"COM2 is not", 0, 2, "", ""},
             Row{"a link to the console", 0, 1, "/dev/serial/by-id/console-port",
                 "还没有选择连接：下载会发往 "
                 "/dev/serial/by-id/console-port，而它是本机的系统控制台"},
             Row{"another device", 0, 1, "/dev/ttyUSB0", ""},
             Row{"not a serial link", 2, 1, "", ""},
         }) {
        LinkSettings s;
        s.linkKind = row.kind;
        s.comPort = row.com;
        s.serialPath = row.path;
        EXPECT_EQ(ConsolePortWarning(s, root.string()), row.warning) << row.name;
    }
    fs::remove_all(root);
}
