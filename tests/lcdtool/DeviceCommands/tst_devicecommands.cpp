// lcdtool devices, run as a user runs it, on a catalogue in a settings directory of its own.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/AtomicFile.h"
#include "base/ByteArray.h"
#include "support/RunTool.h"

namespace fs = std::filesystem;

namespace {

// "LCD" 320 x 240, 102.5 x 75.5 mm, bitmaps, 256 colours; then "液晶" 128 x 64, 60 x 40 mm,
// no bitmaps, 8 colours.
const char kClassTag[] = "FF FF 01 00 0A 00 43 44 65 76 69 63 65 4F 62 6A ";
const char kLcd[] =
    "03 4C 43 44 40 01 00 00 F0 00 00 00 00 00 00 00 00 A0 59 40 "
    "00 00 00 00 00 E0 52 40 01 00 00 00 00 01 00 00 ";
const char kYejing[] =
    "04 D2 BA BE A7 80 00 00 00 40 00 00 00 00 00 00 00 00 00 4E 40 "
    "00 00 00 00 00 00 44 40 00 00 00 00 08 00 00 00 ";

const std::string kTwoDevices = std::string("02 00 ") + kClassTag + kLcd + "01 80 " + kYejing;

class Devices : public testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/lcdtool-devices-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        home = dir / "settings";
        catalogue = home / "device.dll";
    }
    void TearDown() override { fs::remove_all(dir); }

    Result Run(const std::string& args) {
        return RunTool(dir, "devices " + args, "LCDSCREEN_HOME='" + home.string() + "'");
    }
    void WriteCatalogue(const std::string& hex) {
        CByteArray bytes;
        ASSERT_TRUE(FromHex(hex, bytes)) << hex;
        fs::create_directories(home);
        std::string error;
        ASSERT_TRUE(AtomicFile::Write(catalogue.string(), bytes, error)) << error;
    }
    std::string CatalogueHex() {
        const std::string bytes = Slurp(catalogue);
        return ToHex(CByteArray(bytes.begin(), bytes.end()));
    }
    static std::string Canonical(const std::string& hex) {
        CByteArray bytes;
        EXPECT_TRUE(FromHex(hex, bytes)) << hex;
        return ToHex(bytes);
    }

    fs::path dir, home, catalogue;
};

TEST_F(Devices, AddListAndRemoveEndToEnd) {
    // Listing an empty catalogue says so and makes nothing.
    Result r = Run("list");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "lcdtool: 设备表 " + catalogue.string() +
                         " 中还没有设备（lcdtool devices add 添加）\n");
    EXPECT_FALSE(fs::exists(catalogue.parent_path()));

    r = Run("add LCD --size 320x240 --mm 102.5x75.5 --colours 256 --bitmaps");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    r = Run("add 液晶 --colours 8 --mm 60x40 --size 128x64");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(CatalogueHex(), Canonical(kTwoDevices));

    r = Run("list");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "LCD\t320x240\t102.5x75.5\t256\t支持\n"
              "液晶\t128x64\t60x40\t8\t不支持\n");

    r = Run("remove LCD");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(CatalogueHex(), Canonical(std::string("01 00 ") + kClassTag + kYejing));
    r = Run("list");
    EXPECT_EQ(r.out, "液晶\t128x64\t60x40\t8\t不支持\n");
}

TEST_F(Devices, SixteenColoursAndStarSeparatorsAreAccepted) {
    const Result r = Run("add 'OLED 16' --size 256*64 --mm 55.02X13.1 --colours 16");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Run("list").out, "OLED 16\t256x64\t55.02x13.1\t16\t不支持\n");
}

struct BadRow {
    const char* label;
    const char* args;
    std::string line;  // the one line on stderr, after "lcdtool: "
};

void PrintTo(const BadRow& row, std::ostream* os) {
    *os << row.label;
}

const char kAddUsage[] =
    "（用法：lcdtool devices add NAME --size WxH --mm WxH --colours 8|16|64|256 [--bitmaps]）";

const BadRow kBad[] = {
    {"NoSubcommand", "", "devices 需要子命令：list、add、remove（lcdtool help devices）"},
    {"UnknownSubcommand", "show LCD", "devices 没有子命令 show（可用：list、add、remove）"},
    {"ListWithAName", "list LCD", "devices list 多余的参数 LCD（用法：lcdtool devices list）"},
    {"AddWithoutName", "add --size 1x1 --mm 1x1 --colours 8", std::string("缺少 NAME") + kAddUsage},
    {"AddTwoNames", "add A B --size 1x1 --mm 1x1 --colours 8",
     std::string("devices add 多余的参数 B") + kAddUsage},
    {"AddWithoutSize", "add A --mm 1x1 --colours 8",
     std::string("缺少选项 --size WxH") + kAddUsage},
    {"AddWithoutColours", "add A --size 1x1 --mm 1x1",
     std::string("缺少选项 --colours 8|16|64|256") + kAddUsage},
    {"RemoveWithoutName", "remove", "缺少 NAME（用法：lcdtool devices remove NAME）"},
    {"OptionWithoutValue", "add A --mm 1x1 --colours 8 --size", "选项 --size 缺少参数"},
    {"MisspeltOption", "add A --size 1x1 --mm 1x1 --colours 8 --colors 8",
     "devices add 没有选项 --colors（lcdtool help devices add 列出它的选项）"},
    {"OptionOfRemove", "remove LCD --bitmaps",
     "devices remove 没有选项 --bitmaps（lcdtool help devices remove 列出它的选项）"},
    {"SizeOneNumber", "add A --size 320 --mm 1x1 --colours 8",
     "--size 应为 宽x高 的点数，例如 320x240"},
    {"SizeBeyondInt", "add A --size 99999999999x1 --mm 1x1 --colours 8",
     "--size 应为 宽x高 的点数，例如 320x240"},
    {"MmNotNumbers", "add A --size 1x1 --mm axb --colours 8",
     "--mm 应为 宽x高 的毫米数，例如 102.5x75.5"},
    {"ColoursNotANumber", "add A --size 1x1 --mm 1x1 --colours many",
     "--colours 应为 8、16、64 或 256"},
    {"ColoursTwelve", "add A --size 1x1 --mm 1x1 --colours 12",
     "设备支持颜色数目只能是 8、16、64 或 256"},
    {"ColoursZero", "add A --size 1x1 --mm 1x1 --colours 0", "请选择设备支持颜色数目"},
    {"RemoveUnknown", "remove lcd", "设备表中没有名为“lcd”的设备"},
};

class BadInput : public Devices, public testing::WithParamInterface<BadRow> {};

TEST_P(BadInput, OneLineExitOneFileUntouched) {
    WriteCatalogue(kTwoDevices);
    const Result r = Run(GetParam().args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "lcdtool: " + GetParam().line + "\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(CatalogueHex(), Canonical(kTwoDevices));
}

INSTANTIATE_TEST_SUITE_P(Rows, BadInput, testing::ValuesIn(kBad),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(Devices, TakenNameIsRefusedWithThePath) {
    WriteCatalogue(kTwoDevices);
    const Result r = Run("add LCD --size 1x1 --mm 1x1 --colours 8");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "lcdtool: " + catalogue.string() +
                         "：设备“LCD”已存在；要修改它，请先删除再重新添加\n");
    EXPECT_EQ(CatalogueHex(), Canonical(kTwoDevices));
}

TEST_F(Devices, DamagedCatalogueIsNeverOverwritten) {
    const std::string damaged = std::string("03 00 ") + kClassTag + kLcd;
    WriteCatalogue(damaged);
    const std::string told =
        "lcdtool: 设备配置文件 " + catalogue.string() + " 已损坏（文件格式错误（偏移 ";
    const char* const commands[] = {"list", "add A --size 1x1 --mm 1x1 --colours 8", "remove LCD"};
    for (const char* command : commands) {
        const Result r = Run(command);
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_EQ(r.err.rfind(told, 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(CatalogueHex(), Canonical(damaged)) << command;
    }
    EXPECT_NE(Run("add A --size 1x1 --mm 1x1 --colours 8").err.find("（未添加设备）\n"),
              std::string::npos);
}

TEST_F(Devices, UnreachableSettingsDirectoryIsOneLine) {
    // A file where the settings directory should be.
    std::ofstream(dir / "file") << "x";
    home = dir / "file" / "settings";
    const Result r = Run("list");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "lcdtool: " + (home / "device.dll").string() + "：找不到配置文件\n");
}

}  // namespace
