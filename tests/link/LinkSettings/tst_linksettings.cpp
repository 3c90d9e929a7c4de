// The link settings: conf.dll byte for byte, link.conf, where "COM n" leads, and the link
// options of the command line.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "base/AtomicFile.h"
#include "base/StringFormat.h"
#include "link/LinkSettings.h"

namespace fs = std::filesystem;

namespace {

class LinkSettingsFiles : public testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    std::string Slurp(const char* name) const {
        CByteArray bytes;
        std::string error;
        AtomicFile::Read(dir + "/" + name, bytes, error);
        return std::string(bytes.begin(), bytes.end());
    }
    // ctest runs each test in its own process, side by side: one folder per test
    const std::string dir = testing::TempDir() + "link-settings-" +
                            testing::UnitTest::GetInstance()->current_test_info()->name();
};

TEST_F(LinkSettingsFiles, ConfDllIsThirtyFourBytesAndReadsBack) {
    const std::string conf =
        "00 00 00 00 03 00 00 00 00 C2 01 00 02 00 00 00 64 00 00 00 02 00 00 00 "
        "01 00 00 00 01 00 00 00 78 02";
    const std::string extras =
        "com3 = /dev/ttyUSB0\nusb-a = 1a86:7523\nusb-b = 10c4:ea61\ncan = udp=192.168.1.20\n"
        "future = 1\n";
    CByteArray bytes;
    FromHex(conf, bytes);
    LinkSettings s, back;
    std::string error;
    EXPECT_EQ(back.Load(error, dir), LinkSettings::LoadResult::Missing);
    ASSERT_TRUE(s.Decode(bytes, error) && s.DecodeExtras(extras, error)) << error;
    EXPECT_EQ((std::vector{s.linkKind, s.comPort, s.baudRate, s.interval, s.timeout, s.boardType,
                           s.busyCheck, s.parallelKind, int32_t{s.parallelBase}}),
              (std::vector<int32_t>{0, 3, 115200, 2, 100, 2, 1, 1, 0x278}));
    ASSERT_TRUE(s.Save(error, dir)) << error;
    const std::string written = Slurp("conf.dll");
    EXPECT_EQ(ToHex(CByteArray(written.begin(), written.end())), conf);
    EXPECT_NE(Slurp("link.conf").find(extras), std::string::npos) << Slurp("link.conf");
    EXPECT_EQ(back.Load(error, dir), LinkSettings::LoadResult::Loaded) << error;
    EXPECT_EQ(back.Encode(), s.Encode());
    EXPECT_EQ(back.EncodeExtras(), s.EncodeExtras());
    // COM 3 leads to its mapped device, the environment's, a direct choice; COM 2 to ttyS1.
    EXPECT_EQ(back.SerialDevice(), "/dev/ttyUSB0");
    setenv("LCDSCREEN_COM3", "/dev/pts/7", 1);
    EXPECT_EQ(back.SerialDevice(), "/dev/pts/7");
    unsetenv("LCDSCREEN_COM3");
    back.comPort = 2;
    EXPECT_EQ(back.SerialDevice(), "/dev/ttyS1");
    std::ofstream(dir + "/link.conf", std::ios::app) << "# a user's note\n";
    ASSERT_TRUE(back.Save(error, dir));  // link.conf says the same: left as the user made it
    EXPECT_NE(Slurp("link.conf").find("# a user's note"), std::string::npos);
}

// The values stay, and the settings remember why they could not be loaded. link.conf
// "/" is a folder of that name.
TEST_F(LinkSettingsFiles, DamagedOrUnreadableFilesKeepTheValuesAndSayWhy) {
    constexpr auto Damaged = LinkSettings::LoadResult::Damaged;
    const std::string huge(LinkSettings::kMaxExtrasBytes + 1, '#');
    for (const auto& [conf, extras, result, why] :
         {std::tuple{std::string(33, '\0'), std::string(), Damaged, "34"},
          {std::string(34, '\0'), "usb-a = 1a86\n", Damaged, "第 1 行"},
          {std::string(34, '\0'), "# x\ncan = udp=1.2.3\n", Damaged, "第 2 行"},
          {std::string(34, '\0'), huge, Damaged, "最多 1 MB"},
          {std::string(34, '\0'), "/", LinkSettings::LoadResult::Unreadable, "无法读取"}}) {
        std::ofstream(fs::path(dir) / "conf.dll", std::ios::binary) << conf;
        fs::remove_all(fs::path(dir) / "link.conf");
        if (extras == "/")
            fs::create_directory(fs::path(dir) / "link.conf");
        else
            std::ofstream(fs::path(dir) / "link.conf") << extras;
        LinkSettings s;
        s.baudRate = 4800;
        std::string error;
        EXPECT_EQ(s.Load(error, dir), result);
        EXPECT_NE(error.find(why), std::string::npos) << error;
        EXPECT_EQ(s.loadProblem, error);
        EXPECT_EQ(s.baudRate, 4800);
    }
}

std::string Summary(const LinkSettings& s) {
    std::string ids;
    for (const UsbId& id : s.usbClassA)
        ids += StringFormat(" %04x:%04x", id.vendor, id.product);
    return StringFormat("%d %s b%d i%d t%d busy%d | %s %d %X |%s | %s", s.linkKind,
                        s.serialPath.c_str(), s.baudRate, s.interval, s.timeout, s.busyCheck,
                        s.parallelDevice.c_str(), s.parallelKind, s.parallelBase, ids.c_str(),
                        FormatCanTarget(s.can).c_str()) +
           (s.canPaceMicros >= 0 ? StringFormat(" pace%d", s.canPaceMicros) : "");
}

// clang-format off
const std::pair<const char*, const char*> kOptions[] = {
    {"serial:/dev/ttyUSB0", "0 /dev/ttyUSB0 b9600 i2 t100 busy0 |  0 0 | | usb"},
    {"serial:/dev/pts/3,baud=115200,interval=0,busy,timeout=5",
     "0 /dev/pts/3 b115200 i0 t5 busy1 |  0 0 | | usb"},
    {"parallel:/dev/parport1", "1  b9600 i2 t100 busy1 | /dev/parport1 0 0 | | usb"},
    {"parallel:0x278", "1  b9600 i2 t100 busy1 |  1 278 | | usb"},
    {"usb", "2  b9600 i2 t100 busy1 |  0 0 | | usb"},
    {"usb:1A86:7523", "2  b9600 i2 t100 busy1 |  0 0 | 1a86:7523 | usb"},
    {"can", "3  b9600 i2 t100 busy1 |  0 0 | | usb"},
    {"can:usb=1", "3  b9600 i2 t100 busy1 |  0 0 | | usb=1"},
    {"can:udp=127.0.0.1:3001", "3  b9600 i2 t100 busy1 |  0 0 | | udp=127.0.0.1:3001"},
    {"can:serial=/dev/pts/4", "3  b9600 i2 t100 busy1 |  0 0 | | serial=/dev/pts/4"},
    {"can:type=5,index=2", "3  b9600 i2 t100 busy1 |  0 0 | | type=5,index=2"},
    {"can:udp=127.0.0.1,pace=0", "3  b9600 i2 t100 busy1 |  0 0 | | udp=127.0.0.1 pace0"},
    {"can:type=5,index=2,pace=250", "3  b9600 i2 t100 busy1 |  0 0 | | type=5,index=2 pace250"},
    {"can:usb,pace=-1", "!pace=-1：帧间隔须为 0 到 1000000"}, {"can:usb,pace=", ""},
    {"serial:", ""}, {"serial:/dev/x,baud=57600", "!baud=57600：波特率可用 4800、9600"},
    {"serial:/dev/x,interval=100", "!interval=100：字符间隔须为 0 到 99"},
    {"serial:/dev/x,timeout=-5", "!timeout=-5：溢出时间须为 0 到 86400"},
    {"serial:/dev/x,speed=1", "!没有“speed=1”这一项"}, {"parallel:378", ""},
    {"parallel:0xZZ", "!如 parallel:0x378"}, {"parallel:0x1FFFF", ""},
    {"usb:zz:1", ""}, {"can:udp=300.1.1.1", ""}, {"can:udp=1.2.3.4:0", ""}, {"modem:x", ""}};
// clang-format on

// Each --link option and what it sets; "" for a refused one, which changes nothing, or
// "!" and what the refusal says of the field.
TEST(LinkOption, ReadsWhatAUserWrites) {
    for (const auto& [option, summary] : kOptions) {
        LinkSettings s;
        s.busyCheck = 1;
        const std::string before = Summary(s), says = summary[0] == '!' ? summary + 1 : "";
        std::string error;
        const bool ok = ParseLinkOption(option, s, error);
        EXPECT_EQ(ok ? Summary(s) : "", says.empty() ? summary : "") << option;
        EXPECT_EQ(ok ? before : Summary(s), before) << option;
        EXPECT_TRUE(ok || error.find(option) != std::string::npos) << error;
        EXPECT_NE(error.find(says), std::string::npos) << error;
        // A known kind with one bad field is a bad setting, not an unknown link.
        EXPECT_TRUE(ok ||
                    error.starts_with(std::string(option).starts_with("modem") ? "无法识别的连接："
                                                                               : "连接设置有误："))
            << error;
    }
}

}  // namespace
