// lcdtool's module command builders, run as a user runs them.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/ByteArray.h"
#include "support/RunTool.h"

namespace fs = std::filesystem;

namespace {

std::string HexOf(const std::string& s) {
    return ToHex(CByteArray(s.begin(), s.end()));
}

std::string Pad(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i)
        s += " FF";
    return s;
}

class LinkTool : public testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/lcdtool-link-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        CByteArray bytes;
        ASSERT_TRUE(FromHex(kHandBuiltPage, bytes));
        Write("hand.pg", std::string(bytes.begin(), bytes.end()));
        Write("fw.hex", ":040000001122334452\r\n:00000001FF\r\n");
        Write("bad.hex", ":020000040800F2\r\n:00000001FF\r\n");
        Write("font.bin", std::string(10000, 'f'));
        Write("empty.bin", "");
        // One page record of one flash page.
        Write("one.bin", "\x1B\x56\x05\x01" + std::string(128, '\xFF'));
    }
    void TearDown() override { fs::remove_all(dir); }

    void Write(const std::string& name, const std::string& content) {
        std::ofstream(dir / name, std::ios::binary) << content;
    }
    std::string Expand(std::string args) const {
        for (size_t p; (p = args.find("$D")) != std::string::npos;)
            args.replace(p, 2, dir.string());
        return args;
    }
    Result Run(const std::string& args) { return RunTool(dir, Expand(args)); }
    fs::path dir;
};

const char kLine[] = "1B 46 07 01 00 01 00 0A 00 01 00";
const char kPoly[] = "1B 46 02 00 00 07 00 03 00 04 00 1B 46 02 03 00 04 00 06 00 07 00";

struct OutputRow {
    const char* name;
    std::string args;  // $D: the test folder; the command writes to stdout
    std::string expected;
};

void PrintTo(const OutputRow& row, std::ostream* os) {
    *os << row.name;
}

class LinkToolOutput : public LinkTool, public testing::WithParamInterface<OutputRow> {};

TEST_P(LinkToolOutput, WritesTheCommandBytes) {
    const Result r = Run(GetParam().args + " -o -");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    EXPECT_EQ(HexOf(r.out), GetParam().expected);
}

// Items 3 + 11 + 22 + trailer 6 = 42 bytes of record body, then 86 FF.
const std::string kBody =
    std::string("1B 42 04 ") + kLine + " " + kPoly + " 1B 53 0A 1B 50 FF" + Pad(86);

const OutputRow kOutputRows[] = {
    {"RecordShortDefaultStart", "encode $D/hand.pg --record", "1B 56 00 01 " + kBody},
    {"RecordChecksumStart7",  // 1B+56+02+07+01 = 7B
     "encode $D/hand.pg --record --start 7 --mode checksum", "1B 56 02 07 01 00 7B " + kBody},
    {"RecordLong", "encode $D/hand.pg --record --mode long --start 255",
     "1B 56 0A A0 0A FF 01 " + kBody},
    {"EncodeWithoutRecordStaysDirect", "encode $D/hand.pg",
     std::string("1B 42 04 ") + kLine + " " + kPoly},
    {"ShowPageShort", "command show-page 200", "1B 50 C8"},
    {"ShowPageChecksum", "command show-page 200 --mode checksum", "1B 50 01 C8 01 34"},
    {"ShowPageLong", "command show-page 200 --mode long", "1B 50 C8"},
    {"OptionShortToLong", "command option 0 1 --mode long", "1B 5D 01 00 01"},
    {"OptionChecksumToShort", "command option 0 0 --prev-mode checksum", "1B 5D 03 01 00 00 00 7C"},
    {"OptionShortToChecksum", "command option 0 1 --mode checksum", "1B 5D 03 01 00 01 00 7D"},
    {"CharacterSwitchChecksum", "command option 1 1 --mode checksum", "1B 5D 03 01 01 01 00 7E"},
    {"ParallelSwitchLong", "command option 2 0 --mode long", "1B 5D 01 02 00"},
    {"PageSize512AlwaysShort", "command page-size 512", "1B 5D 01 02 01"},
    {"PageSize256AlwaysShort", "command page-size 256", "1B 5D 01 02 00"},
    {"BaudChecksum", "command baud 2 --mode checksum", "1B 1D 01 02 00 3B"},
    {"BaudShort", "command baud 0", "1B 1D 00"},
    {"StartCheckLong", "command start-check --mode long", "1B 3F 0A A0 0A 01"},
    {"StartCheckChecksum", "command start-check --mode checksum", "1B 3F 01 01 00 5C"},
    {"Version", "command version", "1B 5E 00"},
    {"Config", "command config", "1B 5D 00"},
    {"HexToBin", "hex2bin $D/fw.hex", "11 22 33 44"},
    // Standard font: 20 then the file.
    {"StandardFontLong", "font --standard $D/fw.hex --mode long",
     "1B 20 0A A0 0A 0A 20 " + HexOf(":040000001122334452\r\n:00000001FF\r\n")},
    // CRC-16/XMODEM of 128 FF is EDA9.
    {"CrcOfOnePageShort", "crc $D/one.bin", "1B 3F 00 00 06 1B 56 05 01 ED A9"},
};

INSTANTIATE_TEST_SUITE_P(Rows, LinkToolOutput, testing::ValuesIn(kOutputRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkTool, FirmwareFromHexFile) {
    const Result r = Run("firmware $D/fw.hex -o $D/fw.out");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string out = Slurp(dir / "fw.out");
    ASSERT_EQ(out.size(), 6u + 4096u + 2u);
    EXPECT_EQ(HexOf(out.substr(0, 10)), "1B 3D 00 00 10 00 11 22 33 44");
    // 1B + 3D + 10 + 11 + 22 + 33 + 44 + 4092 * FF = FED16
    EXPECT_EQ(HexOf(out.substr(out.size() - 2)), "ED 16");
}

TEST_F(LinkTool, CustomFontInChecksumMode) {
    const Result r = Run("font --custom 3 $D/font.bin --mode checksum -o $D/font.out");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string out = Slurp(dir / "font.out");
    ASSERT_EQ(out.size(), 8u + 16384u);
    EXPECT_EQ(HexOf(out.substr(0, 9)), "1B 20 01 08 00 44 02 03 66");
    EXPECT_EQ(out.substr(8, 10000), std::string(10000, 'f'));
    EXPECT_EQ(out.substr(8 + 10000), std::string(6384, '\xFF'));
}

TEST_F(LinkTool, CrcScreenSizeAndBoardSetTheFullScreenUnits) {
    // Board 3 (256-byte flash pages), 16 x 16 at 256 colours: one page per picture.
    std::string image = "\x1B\x20\x09" + std::string(1, '\0');
    image += std::string(256, '\x33');
    Write("screen.bin", image);
    const Result r = Run("crc $D/screen.bin --board 3 --size 16x16 --colours 256 -o -");
    ASSERT_EQ(r.status, 0) << r.err;
    // Entry 1B 20 09 and two CRC bytes.
    EXPECT_EQ(HexOf(r.out.substr(0, 8)), "1B 3F 00 00 05 1B 20 09");
    EXPECT_EQ(r.out.size(), 10u);
}

TEST_F(LinkTool, CrcWarnsAboutACutRecordAndStillWrites) {
    Write("cut.bin", "\x1B\x56\x05\x02" + std::string(128, '\xFF'));
    const Result r = Run("crc $D/cut.bin -o -");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(HexOf(r.out), "1B 3F 00 00 00");
    EXPECT_EQ(r.err.rfind("lcdtool: 警告：", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

TEST_F(LinkTool, RecordLengthMismatchIsNotPossibleForRealItems) {
    // Every example page builds a record whose length agrees with its items.
    int pages = 0;
    for (const auto& entry : fs::directory_iterator(LCD_EXAMPLES)) {
        if (entry.path().extension() != ".pg") continue;
        ++pages;
        const Result r = Run("encode " + entry.path().string() + " --record --mode checksum -o -");
        ASSERT_EQ(r.status, 0) << entry.path() << ": " << r.err;
        EXPECT_TRUE(r.err.empty()) << entry.path() << ": " << r.err;
        EXPECT_EQ((r.out.size() - 7) % 128, 0u) << entry.path();
    }
    EXPECT_GE(pages, 1);
}

struct BadRow {
    const char* name;
    std::string args;  // $D is the test folder; outputs go to $D/out
    const char* says;  // a piece of the one stderr line
};

void PrintTo(const BadRow& row, std::ostream* os) {
    *os << row.name;
}

class LinkToolBadInput : public LinkTool, public testing::WithParamInterface<BadRow> {};

TEST_P(LinkToolBadInput, OneLineOnStderrStatusOneNoOutput) {
    const Result r = Run(GetParam().args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(GetParam().says), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_NE(entry.path().filename().string().rfind("out", 0), 0u)
            << "left behind: " << entry.path();
}

const BadRow kBadRows[] = {
    {"RecordBadMode", "encode $D/hand.pg --record --mode fast -o $D/out", "--mode"},
    {"RecordStartPastTheArea", "encode $D/hand.pg --record --start 256 -o $D/out", "--start"},
    {"FirmwareMissing", "firmware $D/none.bin -o $D/out", "打开文件失败"},
    {"FirmwareEmpty", "firmware $D/empty.bin -o $D/out", "升级程序文件为空"},
    {"FirmwareBadHex", "firmware $D/bad.hex -o $D/out", "不支持大于64k"},
    {"FirmwareWithoutOutput", "firmware $D/fw.hex", "用法"},
    {"HexToBinBadHex", "hex2bin $D/bad.hex -o $D/out", "不支持大于64k"},
    {"HexToBinNoEndRecord", "hex2bin $D/font.bin -o $D/out", "未找到"},
    {"HexToBinMissing", "hex2bin $D/none.hex -o $D/out", "打开文件失败"},
    {"FontNeitherKind", "font $D/font.bin -o $D/out", "--standard"},
    {"FontBothKinds", "font --standard --custom 1 $D/font.bin -o $D/out", "--standard"},
    {"FontKindTen", "font --custom 10 $D/font.bin -o $D/out", "请填写0-9之间的数字"},
    {"FontKindWord", "font --custom three $D/font.bin -o $D/out", "--custom"},
    {"FontMissing", "font --standard $D/none.bin -o $D/out", "打开字库文件失败"},
    {"CrcBadBoard", "crc $D/font.bin --board 4 -o $D/out", "--board"},
    {"CrcBadSize", "crc $D/font.bin --size 320 -o $D/out", "--size"},
    {"CrcBadColours", "crc $D/font.bin --colours 32 -o $D/out", "--colours"},
    {"CrcMissing", "crc $D/none.bin -o $D/out", "打开文件失败"},
    {"ShowPagePastByte", "command show-page 256 -o $D/out", "0 到 255"},
    {"OptionThree", "command option 3 1 -o $D/out", "选项"},
    {"OptionZeroDisagreesWithMode", "command option 0 0 --mode checksum -o $D/out", "--mode"},
    {"OptionValueTwo", "command option 1 2 -o $D/out", "0 或 1"},
    {"PrevModeOnlyForOptionZero", "command baud 1 --prev-mode long -o $D/out", "--prev-mode"},
    {"PageSizeOther", "command page-size 1024 -o $D/out", "256 或 512"},
    {"BaudFive", "command baud 5 -o $D/out", "0 到 4"},
    {"UnknownImmediate", "command reboot -o $D/out", "reboot"},
    {"CommandMissingArgument", "command show-page -o $D/out", "用法"},
    {"UnwritableOutput", "command version -o $D/no/such/dir/out", "out"},
};

INSTANTIATE_TEST_SUITE_P(Rows, LinkToolBadInput, testing::ValuesIn(kBadRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
