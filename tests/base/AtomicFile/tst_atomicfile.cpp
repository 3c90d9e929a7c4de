#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>

#include <cstdlib>
#include <filesystem>

#include "base/AtomicFile.h"

namespace fs = std::filesystem;

namespace {

class AtomicFileTest : public testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/lcd-atomic-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_F(AtomicFileTest, WritesAndReadsBack) {
    const std::vector<uint8_t> data = {1, 2, 3, 0, 255};
    std::string error;
    const std::string path = (dir / "a.bin").string();
    ASSERT_TRUE(AtomicFile::Write(path, data, error)) << error;
    std::vector<uint8_t> back;
    ASSERT_TRUE(AtomicFile::Read(path, back, error)) << error;
    EXPECT_EQ(back, data);
    // Only the file itself is left: no temporary beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(AtomicFileTest, ReplacesAnOldFileWhole) {
    std::string error;
    const std::string path = (dir / "a.bin").string();
    ASSERT_TRUE(AtomicFile::Write(path, std::vector<uint8_t>(1000, 7), error));
    ASSERT_TRUE(AtomicFile::Write(path, std::vector<uint8_t>{9}, error));
    std::vector<uint8_t> back;
    ASSERT_TRUE(AtomicFile::Read(path, back, error));
    EXPECT_EQ(back, std::vector<uint8_t>{9});
}

TEST_F(AtomicFileTest, FailureLeavesTheOldFileAndNoTemporary) {
    std::string error;
    const std::string path = (dir / "missing-folder" / "a.bin").string();
    EXPECT_FALSE(AtomicFile::Write(path, std::vector<uint8_t>{1}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(dir / "missing-folder"));

    // Replacing a directory fails at the rename; the temporary is removed.
    fs::create_directory(dir / "taken");
    error.clear();
    EXPECT_FALSE(AtomicFile::Write((dir / "taken").string(), std::vector<uint8_t>{1}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(AtomicFileTest, ReadingAMissingFileSaysSo) {
    std::vector<uint8_t> back{1};
    std::string error;
    EXPECT_FALSE(AtomicFile::Read((dir / "nope").string(), back, error));
    EXPECT_TRUE(back.empty());
    EXPECT_NE(error.find("nope"), std::string::npos);
}

// A FIFO has no file to rename over: it is written directly and stays a FIFO.
TEST_F(AtomicFileTest, FifoIsWrittenNotReplaced) {
    const fs::path fifo = dir / "t";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::string error;
    EXPECT_TRUE(AtomicFile::Write(fifo.string(), std::vector<uint8_t>{'n', 'e', 'w'}, error))
        << error;
    char got[4] = {};
    EXPECT_EQ(read(reader, got, sizeof got), 3);
    close(reader);
    EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST_F(AtomicFileTest, TemporaryIsHiddenAndGoesWithAnUnfinishedWriter) {
    std::string error;
    {
        AtomicFile::Writer w;
        ASSERT_TRUE(w.Open((dir / "a.bin").string(), error));
        ASSERT_TRUE(w.Append(std::vector<uint8_t>{1}, error));
        const std::string name = fs::directory_iterator(dir)->path().filename().string();
        EXPECT_EQ(name.rfind(".a.bin.lcdtmp-" + std::to_string(getpid()) + "-", 0), 0u) << name;
    }
    EXPECT_TRUE(fs::is_empty(dir));
}

}  // namespace
