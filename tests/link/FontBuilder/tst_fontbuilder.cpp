// The font downloads built from font files on disk.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/ByteArray.h"
#include "base/Messenger.h"
#include "link/CommandBuilder.h"
#include "link/FontBuilder.h"

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

class FontTest : public testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/font-test-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string WriteFont(size_t size) {
        content.resize(size);
        for (size_t i = 0; i < size; ++i)
            content[i] = static_cast<char>(i * 13 + 1);
        const fs::path p = dir / "font.bin";
        std::ofstream(p, std::ios::binary) << content;
        return p.string();
    }
    std::string Head(const CByteArray& bytes, size_t n) {
        return ToHex(CByteArray(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)));
    }
    bool FileFollows(const CByteArray& bytes, size_t at) {
        return bytes.size() >= at + content.size() &&
               std::equal(content.begin(), content.end(), bytes.begin() + at,
                          [](char c, uint8_t b) { return static_cast<uint8_t>(c) == b; });
    }
    fs::path dir;
    std::string content;
    Recorder recorder;
};

TEST_F(FontTest, CustomFontTenThousandBytesShort) {
    CByteArray bytes;
    ASSERT_TRUE(
        FontBuilder::BuildCustom(WriteFont(10000), 3, CommandBuilder::ModeShort, bytes, recorder));
    ASSERT_EQ(bytes.size(), 5u + 10000u + 6384u);
    EXPECT_EQ(Head(bytes, 5), "1B 20 08 02 03");
    EXPECT_TRUE(FileFollows(bytes, 5));
    EXPECT_TRUE(
        std::all_of(bytes.begin() + 5 + 10000, bytes.end(), [](uint8_t b) { return b == 0xFF; }));
    EXPECT_TRUE(recorder.told.empty());
}

TEST_F(FontTest, CustomFontTenThousandBytesChecksum) {
    CByteArray bytes;
    ASSERT_TRUE(FontBuilder::BuildCustom(WriteFont(10000), 3, CommandBuilder::ModeChecksum, bytes,
                                         recorder));
    ASSERT_EQ(bytes.size(), 8u + 10000u + 6384u);
    EXPECT_EQ(Head(bytes, 8), "1B 20 01 08 00 44 02 03");
    EXPECT_TRUE(FileFollows(bytes, 8));
}

TEST_F(FontTest, StandardFontLong) {
    CByteArray bytes{0x77};
    ASSERT_TRUE(
        FontBuilder::BuildStandard(WriteFont(300), CommandBuilder::ModeLong, bytes, recorder));
    ASSERT_EQ(bytes.size(), 1u + 7u + 300u);
    EXPECT_EQ(Head(bytes, 8), "77 1B 20 0A A0 0A 0A 20");
    EXPECT_TRUE(FileFollows(bytes, 8));
}

TEST_F(FontTest, LargestCustomFontThatTheCountByteDescribes) {
    CByteArray bytes;
    ASSERT_TRUE(FontBuilder::BuildCustom(WriteFont(255 * 8192), 9, CommandBuilder::ModeShort, bytes,
                                         recorder));
    EXPECT_EQ(Head(bytes, 5), "1B 20 08 FF 09");
    EXPECT_EQ(bytes.size(), 5u + 255u * 8192u);
}

TEST_F(FontTest, CustomFontPastTheCountByteIsRefused) {
    CByteArray bytes{0x01};
    EXPECT_FALSE(FontBuilder::BuildCustom(WriteFont(255 * 8192 + 1), 0, CommandBuilder::ModeShort,
                                          bytes, recorder));
    EXPECT_EQ(ToHex(bytes), "01");
    ASSERT_EQ(recorder.told.size(), 1u);
    EXPECT_NE(recorder.told[0].find("2088960"), std::string::npos) << recorder.told[0];
}

TEST_F(FontTest, KindOutsideZeroToNineIsRefused) {
    const std::string path = WriteFont(10);
    for (const int kind : {-1, 10}) {
        recorder.told.clear();
        CByteArray bytes;
        EXPECT_FALSE(
            FontBuilder::BuildCustom(path, kind, CommandBuilder::ModeShort, bytes, recorder));
        EXPECT_TRUE(bytes.empty());
        ASSERT_EQ(recorder.told.size(), 1u);
        EXPECT_EQ(recorder.told[0], "错误: 请填写0-9之间的数字");
    }
}

TEST_F(FontTest, MissingFileIsReportedForBothKinds) {
    const std::string missing = (dir / "none.bin").string();
    CByteArray bytes{0x05};
    EXPECT_FALSE(FontBuilder::BuildStandard(missing, CommandBuilder::ModeShort, bytes, recorder));
    EXPECT_FALSE(
        FontBuilder::BuildCustom(missing, 2, CommandBuilder::ModeChecksum, bytes, recorder));
    EXPECT_EQ(ToHex(bytes), "05");
    const std::string told =
        "提示: 打开字库文件失败：" + missing + "（" + std::strerror(ENOENT) + "）";
    EXPECT_EQ(recorder.told, (std::vector<std::string>{told, told}));
}

}  // namespace
