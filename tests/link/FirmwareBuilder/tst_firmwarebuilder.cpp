// The firmware download built from binary and HEX files on disk.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/ByteArray.h"
#include "base/Messenger.h"
#include "link/FirmwareBuilder.h"

namespace fs = std::filesystem;

namespace {

class Recorder : public Messenger {
public:
    void Tell(const std::string& text, const std::string& caption) override {
        told.push_back(caption + ": " + text);
    }
    Answer Ask(const std::string&, const std::string&, Buttons) override { return Answer::No; }
    std::vector<std::string> told;
};

class FirmwareTest : public testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/firmware-test-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Write(const std::string& name, const std::string& content) {
        const fs::path p = dir / name;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
        return p.string();
    }
    // The firmware command's head, then checks that the rest is the image and FF padding
    // up to `rounded` bytes, followed by the 16-bit sum of everything before it.
    void ExpectFirmware(const CByteArray& bytes, const std::string& head, const std::string& image,
                        size_t rounded) {
        ASSERT_EQ(bytes.size(), 6 + rounded + 2);
        EXPECT_EQ(ToHex(CByteArray(bytes.begin(), bytes.begin() + 6)), head);
        EXPECT_EQ(std::string(bytes.begin() + 6, bytes.begin() + 6 + image.size()), image);
        EXPECT_TRUE(std::all_of(bytes.begin() + 6 + image.size(), bytes.end() - 2,
                                [](uint8_t b) { return b == 0xFF; }));
        unsigned sum = 0;
        for (size_t i = 0; i + 2 < bytes.size(); ++i)
            sum += bytes[i];
        EXPECT_EQ(bytes[bytes.size() - 2], (sum >> 8) & 0xFF);
        EXPECT_EQ(bytes.back(), sum & 0xFF);
    }
    fs::path dir;
    Recorder recorder;
};

const char kHex[] =
    ":10000000000102030405060708090A0B0C0D0E0F78\r\n"
    ":00000001FF\r\n";

TEST_F(FirmwareTest, BinaryOfOneUnitHasNoPadding) {
    const std::string image(4096, 'x');
    CByteArray bytes;
    ASSERT_TRUE(FirmwareBuilder::Build(Write("cpu.bin", image), bytes, recorder));
    ExpectFirmware(bytes, "1B 3D 00 00 10 00", image, 4096);
    EXPECT_TRUE(recorder.told.empty());
}

TEST_F(FirmwareTest, BinaryOfOneBytePadsToAUnit) {
    CByteArray bytes;
    ASSERT_TRUE(FirmwareBuilder::Build(Write("cpu.bin", "\x42"), bytes, recorder));
    ExpectFirmware(bytes, "1B 3D 00 00 10 00", "\x42", 4096);
}

TEST_F(FirmwareTest, HexFileIsConvertedFirst) {
    CByteArray bytes;
    ASSERT_TRUE(FirmwareBuilder::Build(Write("cpu.hex", kHex), bytes, recorder));
    const std::string image = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    ExpectFirmware(bytes, "1B 3D 00 00 10 00", image, 4096);
}

TEST_F(FirmwareTest, HexAnywhereInThePathCounts) {
    CByteArray bytes;
    ASSERT_TRUE(FirmwareBuilder::Build(Write("build.hex.d/cpu", kHex), bytes, recorder));
    EXPECT_EQ(bytes.size(), 6u + 4096u + 2u);
    EXPECT_EQ(bytes[6], 0x00);
    EXPECT_EQ(bytes[21], 0x0F);
}

TEST_F(FirmwareTest, UpperCaseHexIsConvertedToo) {
    CByteArray lower, upper;
    ASSERT_TRUE(FirmwareBuilder::Build(Write("cpu.hex", kHex), lower, recorder));
    ASSERT_TRUE(FirmwareBuilder::Build(Write("CPU.HEX", kHex), upper, recorder));
    EXPECT_EQ(upper, lower);
}

struct PathRow {
    const char* path;
    bool hex;
};

TEST(FirmwarePath, HexTestIsAnyCaseAnywhere) {
    const PathRow rows[] = {{"a.hex", true},     {"dir.hex/a.bin", true}, {"a.HEX", true},
                            {"a.Hex", true},     {"ahex", false},         {"a.hexx", true},
                            {"/x/.hex/y", true}, {"a.bin", false}};
    for (const PathRow& r : rows)
        EXPECT_EQ(FirmwareBuilder::IsHexPath(r.path), r.hex) << r.path;
}

struct FailRow {
    const char* name;
    const char* file;  // nullptr: no file
    const char* content;
    const char* message;
};

void PrintTo(const FailRow& row, std::ostream* os) {
    *os << row.name;
}

class FirmwareRefused : public FirmwareTest, public testing::WithParamInterface<FailRow> {};

TEST_P(FirmwareRefused, TellsWhyAndLeavesTheBufferAlone) {
    const FailRow& row = GetParam();
    const std::string path =
        row.file ? Write(row.file, row.content) : (dir / "missing.bin").string();
    CByteArray bytes{0x01, 0x02};
    EXPECT_FALSE(FirmwareBuilder::Build(path, bytes, recorder));
    EXPECT_EQ(ToHex(bytes), "01 02");
    ASSERT_EQ(recorder.told.size(), 1u);
    EXPECT_EQ(recorder.told[0].rfind(row.message, 0), 0u) << recorder.told[0];
}

const FailRow kFailRows[] = {
    {"MissingFile", nullptr, "", "提示: 打开文件失败：/"},
    {"EmptyBinary", "empty.bin", "", "提示: 升级程序文件为空"},
    {"HexWithoutEndRecord", "cpu.hex", ":0100000042\r\n",
     "lcdscreen: *.Hex文件转换失败(未找到\":00000001\"记录)!"},
    {"HexPast64k", "cpu.hex", ":020000040800F2\r\n:00000001FF\r\n",
     "lcdscreen: *.Hex文件转换失败(第1行：不支持大于64k)!"},
    {"HexWithAWrongChecksum", "cpu.HEX", ":0100000042BE\r\n:00000001FF\r\n",
     "lcdscreen: *.Hex文件转换失败(第1行：校验和错误)!"},
};

INSTANTIATE_TEST_SUITE_P(Rows, FirmwareRefused, testing::ValuesIn(kFailRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FirmwareTest, DirectoryCannotBeOpened) {
    fs::create_directories(dir / "fw.bin");
    CByteArray bytes;
    EXPECT_FALSE(FirmwareBuilder::Build((dir / "fw.bin").string(), bytes, recorder));
    ASSERT_EQ(recorder.told.size(), 1u);
    EXPECT_EQ(recorder.told[0],
              "提示: 打开文件失败：" + (dir / "fw.bin").string() + "（是一个目录）");
}

}  // namespace
