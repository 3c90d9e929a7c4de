// lcdtool new-project and new-page, run as a user runs them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/AtomicFile.h"
#include "project/CLedDoc.h"
#include "project/ProjectFile.h"
#include "support/RunTool.h"

namespace fs = std::filesystem;

namespace {

class WorkspaceCommandsTest : public testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/lcdtool-ws-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        fs::create_directories(dir / "home");
    }
    void TearDown() override { fs::remove_all(dir); }

    int Run(const std::string& args, std::string* err = nullptr) {
        const Result r = RunTool(dir, args, "LCDSCREEN_HOME=" + (dir / "home").string());
        if (err) *err = r.err;
        return r.status;
    }

    std::vector<CDocObj> Entries() {
        std::vector<uint8_t> bytes;
        std::string error;
        EXPECT_TRUE(AtomicFile::Read((dir / "demo" / "demo.zkp").string(), bytes, error));
        std::vector<CDocObj> entries;
        EXPECT_TRUE(ProjectFile::Read(bytes, entries, error));
        return entries;
    }

    fs::path dir;
};

TEST_F(WorkspaceCommandsTest, ProjectAndPagesFromTheCatalogue) {
    ASSERT_EQ(Run("devices add LCD320 --size 320x240 --mm 70x52.5 --colours 256 --bitmaps"), 0);
    ASSERT_EQ(Run("new-project " + dir.string() + " demo --device LCD320"), 0);
    EXPECT_EQ(fs::file_size(dir / "demo" / "demo.zkp"), 0u);
    ASSERT_EQ(Run("new-page " + (dir / "demo" / "demo.zkp").string() + " main --device LCD320"), 0);
    ASSERT_EQ(Run("new-page " + (dir / "demo" / "demo.zkp").string() + " menu.pg"), 0);
    const auto entries = Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].m_strName, "main.pg");
    EXPECT_EQ(entries[1].m_strName, "menu.pg");
    EXPECT_EQ(entries[1].m_nStartPage, 1);
    EXPECT_TRUE(fs::exists(dir / "demo" / "menu.pg"));
    // Both pages are made for the device: the second takes it from the first.
    for (const char* name : {"main.pg", "menu.pg"}) {
        CLedDoc page;
        std::string error;
        ASSERT_TRUE(page.LoadFile((dir / "demo" / name).string(), error)) << error;
        EXPECT_EQ(page.GetScreenParams(), (ScreenParams{"LCD320", 256, 70, 52.5, 320, 240}))
            << name;
    }
}

// The project file holds no screen: a project without pages cannot tell the device.
TEST_F(WorkspaceCommandsTest, TheFirstPageNeedsTheDevice) {
    ASSERT_EQ(Run("devices add LCD320 --size 320x240 --mm 70x52.5 --colours 256"), 0);
    ASSERT_EQ(Run("new-project " + dir.string() + " demo --device LCD320"), 0);
    std::string err;
    EXPECT_EQ(Run("new-page " + (dir / "demo" / "demo.zkp").string() + " main", &err), 1);
    EXPECT_NE(err.find("--device"), std::string::npos) << err;
    EXPECT_TRUE(Entries().empty());
    EXPECT_FALSE(fs::exists(dir / "demo" / "main.pg"));
}

struct BadRow {
    const char* name;
    const char* args;  // $D is the test folder
};

void PrintTo(const BadRow& row, std::ostream* os) {
    *os << row.name;
}

class WorkspaceCommandsBad : public WorkspaceCommandsTest,
                             public testing::WithParamInterface<BadRow> {};

TEST_P(WorkspaceCommandsBad, OneLineStatusOne) {
    ASSERT_EQ(Run("devices add LCD320 --size 320x240 --mm 70x52.5 --colours 256"), 0);
    ASSERT_EQ(Run("devices add LCD64 --size 128x64 --mm 40x20 --colours 8"), 0);
    ASSERT_EQ(Run("new-project " + dir.string() + " demo --device LCD320"), 0);
    ASSERT_EQ(Run("new-page " + (dir / "demo" / "demo.zkp").string() + " main --device LCD320"), 0);
    std::string args = GetParam().args;
    for (size_t p; (p = args.find("$D")) != std::string::npos;)
        args.replace(p, 2, dir.string());
    std::string err;
    EXPECT_EQ(Run(args, &err), 1);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(Entries().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WorkspaceCommandsBad,
    testing::Values(BadRow{"unknown_device", "new-project $D other --device NOPE"},
                    BadRow{"duplicate_page", "new-page $D/demo/demo.zkp main.pg"},
                    BadRow{"escaping_page", "new-page $D/demo/demo.zkp ../x"},
                    BadRow{"missing_project", "new-page $D/none.zkp main"},
                    BadRow{"unknown_page_device", "new-page $D/demo/demo.zkp b --device NOPE"},
                    BadRow{"other_device", "new-page $D/demo/demo.zkp b --device LCD64"},
                    BadRow{"usage", "new-project $D"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
