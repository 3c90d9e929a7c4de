// Reading a file to download whole.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "link/DownloadFile.h"

namespace fs = std::filesystem;

namespace {

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
    ASSERT_EQ(DownloadFile::Read((dir / "f.bin").string(), bytes), DownloadFile::Ok);
    EXPECT_EQ(ToHex(bytes), "00 1B FF 7F");
}

TEST_F(DownloadFileTest, EmptyFileIsReadAsNothing) {
    std::ofstream(dir / "e.bin", std::ios::binary);
    CByteArray bytes{9};
    EXPECT_EQ(DownloadFile::Read((dir / "e.bin").string(), bytes), DownloadFile::Ok);
    EXPECT_TRUE(bytes.empty());
}

TEST_F(DownloadFileTest, MissingFileAndDirectoryCannotBeOpened) {
    CByteArray bytes{9};
    EXPECT_EQ(DownloadFile::Read((dir / "none").string(), bytes), DownloadFile::CannotOpen);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(DownloadFile::Read(dir.string(), bytes), DownloadFile::CannotOpen);
}

TEST_F(DownloadFileTest, UnreadableFileCannotBeOpened) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    std::ofstream(dir / "secret.bin", std::ios::binary) << "x";
    fs::permissions(dir / "secret.bin", fs::perms::none);
    CByteArray bytes;
    EXPECT_EQ(DownloadFile::Read((dir / "secret.bin").string(), bytes), DownloadFile::CannotOpen);
}

}  // namespace
