// Reading a file to download whole.

#include <gtest/gtest.h>
#include <sys/stat.h>
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
    // A FIFO without a writer is refused at once instead of waiting.
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(DownloadFile::Read((dir / "fifo").string(), bytes, kLimit), DownloadFile::CannotOpen);
}

TEST_F(DownloadFileTest, FileOverTheLimitIsRefusedUnread) {
    std::ofstream(dir / "big.bin", std::ios::binary) << std::string(kLimit + 1, 'x');
    CByteArray bytes{9};
    EXPECT_EQ(DownloadFile::Read((dir / "big.bin").string(), bytes, kLimit),
              DownloadFile::TooLarge);
    EXPECT_TRUE(bytes.empty());
}

TEST_F(DownloadFileTest, UnreadableFileCannotBeOpened) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    std::ofstream(dir / "secret.bin", std::ios::binary) << "x";
    fs::permissions(dir / "secret.bin", fs::perms::none);
    CByteArray bytes;
    EXPECT_EQ(DownloadFile::Read((dir / "secret.bin").string(), bytes, kLimit),
              DownloadFile::CannotOpen);
}

}  // namespace
