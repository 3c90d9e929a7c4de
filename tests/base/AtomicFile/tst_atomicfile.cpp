#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

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

std::string Slurp(const fs::path& p) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(AtomicFile::Read(p.string(), bytes, error)) << error;
    return std::string(bytes.begin(), bytes.end());
}

// What is at the target before a save, and what must hold after "new" is written to it.
struct SaveRow {
    const char* name;
    void (*before)(const fs::path& dir);
    void (*after)(const fs::path& dir);
};

void PrintTo(const SaveRow& row, std::ostream* os) {
    *os << row.name;
}

class AtomicSave : public AtomicFileTest, public testing::WithParamInterface<SaveRow> {};

TEST_P(AtomicSave, KeepsWhatIsThere) {
    GetParam().before(dir);
    std::string error;
    ASSERT_TRUE(AtomicFile::Write((dir / "t").string(), std::vector<uint8_t>{'n', 'e', 'w'}, error))
        << error;
    GetParam().after(dir);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AtomicSave,
    testing::Values(SaveRow{"SymbolicLinkStaysAndItsTargetChanges",
                            [](const fs::path& d) {
                                fs::create_directory(d / "real");
                                fs::create_symlink("real/file", d / "t");
                            },
                            [](const fs::path& d) {
                                EXPECT_TRUE(fs::is_symlink(d / "t"));
                                EXPECT_EQ(Slurp(d / "real" / "file"), "new");
                            }},
                    SaveRow{"FifoIsWrittenNotReplaced",
                            [](const fs::path& d) {
                                ASSERT_EQ(mkfifo((d / "t").c_str(), 0600), 0);
                                // A reader, so that the writer may open it; left open for `after`.
                                ASSERT_GE(open((d / "t").c_str(), O_RDONLY | O_NONBLOCK), 0);
                            },
                            [](const fs::path& d) { EXPECT_TRUE(fs::is_fifo(d / "t")); }},
                    SaveRow{"ModeIsKept",
                            [](const fs::path& d) {
                                std::string error;
                                ASSERT_TRUE(AtomicFile::Write((d / "t").string(),
                                                              std::vector<uint8_t>{1}, error));
                                chmod((d / "t").c_str(), 0640);
                            },
                            [](const fs::path& d) {
                                struct stat st {};
                                ASSERT_EQ(stat((d / "t").c_str(), &st), 0);
                                EXPECT_EQ(st.st_mode & 07777, 0640u);
                            }},
                    SaveRow{"StaleTemporaryOfADeadProcessIsRemoved",
                            [](const fs::path& d) {
                                std::ofstream(d / ".t.lcdtmp-999999999-abcdef") << "killed";
                                std::ofstream(d / ".t.lcdtmp-1-abcdef") << "init still runs";
                            },
                            [](const fs::path& d) {
                                EXPECT_FALSE(fs::exists(d / ".t.lcdtmp-999999999-abcdef"));
                                EXPECT_TRUE(fs::exists(d / ".t.lcdtmp-1-abcdef"));
                            }}),
    [](const auto& info) { return std::string(info.param.name); });

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

TEST_F(AtomicFileTest, ReadRefusesSpecialAndOversizedFiles) {
    std::vector<uint8_t> back;
    std::string error;
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(AtomicFile::Read((dir / "fifo").string(), back, error));
    EXPECT_EQ(error, "不是普通文件：" + (dir / "fifo").string());
    EXPECT_FALSE(AtomicFile::Read("/dev/zero", back, error, 10));
    std::ofstream(dir / "big") << "12345678901";
    EXPECT_FALSE(AtomicFile::Read((dir / "big").string(), back, error, 10));
    EXPECT_EQ(error, "文件过大 " + (dir / "big").string() + "：11 字节，此类文件最多 10 字节");
    EXPECT_TRUE(back.empty());
}

}  // namespace
