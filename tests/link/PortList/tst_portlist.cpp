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
