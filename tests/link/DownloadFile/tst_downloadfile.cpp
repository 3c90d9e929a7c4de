// Reading a file to download whole.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "link/DownloadFile.h"

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kLimit = 16;

class DownloadFileTest : public testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/download-test-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_F(DownloadFileTest, RegularFileIsReadWhole) {
    const std::string content("\x00\x1B\xFF\x7F", 4);
    std::ofstream(dir / "f.bin", std::ios::binary) << content;
    CByteArray bytes{9};
    ASSERT_EQ(DownloadFile::Read((dir / "f.bin").string(), bytes, kLimit), DownloadFile::Ok);
    EXPECT_EQ(ToHex(bytes), "00 1B FF 7F");
}

TEST_F(DownloadFileTest, EmptyFileIsReadAsNothing) {
    std::ofstream(dir / "e.bin", std::ios::binary);
    CByteArray bytes{9};
    EXPECT_EQ(DownloadFile::Read((dir / "e.bin").string(), bytes, kLimit), DownloadFile::Ok);
    EXPECT_TRUE(bytes.empty());
}

TEST_F(DownloadFileTest, MissingFileAndDirectoryCannotBeOpened) {
    CByteArray bytes{9};
    EXPECT_EQ(DownloadFile::Read((dir / "none").string(), bytes, kLimit), DownloadFile::CannotOpen);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(DownloadFile::Read(dir.string(), bytes, kLimit), DownloadFile::CannotOpen);
}

}  // namespace
