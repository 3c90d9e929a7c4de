// lcdtool's page commands, run as a user runs them.

#include <gtest/gtest.h>

#include <png.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/AtomicFile.h"
#include "base/ByteArray.h"
#include "support/RunTool.h"

namespace fs = std::filesystem;

namespace {

class LcdTool : public testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/lcdtool-test-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { fs::remove_all(dir); }

    Result Run(const std::string& args) { return RunTool(dir, args); }

    std::string HandBuiltPage() {
        CByteArray bytes;
        EXPECT_TRUE(FromHex(kHandBuiltPage, bytes));
        const fs::path p = dir / "hand.pg";
        std::string error;
        EXPECT_TRUE(AtomicFile::Write(p.string(), bytes, error)) << error;
        return p.string();
    }

    fs::path dir;
};

TEST_F(LcdTool, InfoPrintsTheInstructionTree) {
    const Result r = Run("info " + HandBuiltPage());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "设备类型:LCD 颜色数:8 物理尺寸(10.0*5.0) 逻辑尺寸(16*8)\n"
              "清屏    颜色代码：04\n"
              "直线：起点(1,1),终点(10,1) 颜色代码 07\n"
              "折线 左上角(0,4),右下角(6,7) 颜色代码:02\n"
              "  点队列:(0,7) (3,4) (6,7) \n");
    EXPECT_TRUE(r.err.empty());
}

TEST_F(LcdTool, InfoIndentsTheCharactersOfAText) {
    const Result r = Run(std::string("info ") + LCD_EXAMPLES + "/text-8.pg");
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string line;
    std::vector<std::string> all;
    while (std::getline(lines, line))
        all.push_back(line);
    ASSERT_GE(all.size(), 4u);
    EXPECT_EQ(all[2], "文字: 边框左上角(8,8),右下角(312,24)");
    EXPECT_EQ(all[3], "  温:起始点(9,8) 横向放大:1 纵向放大:1 颜色代码:07");
    // The menu's line breaks are carriage returns, shown escaped on their own line.
    EXPECT_NE(r.out.find("\n  \\r:起始点("), std::string::npos) << r.out;
    for (const std::string& l : all)
        EXPECT_EQ(l.find('\r'), std::string::npos);
}

TEST_F(LcdTool, EncodeWritesTheDirectStream) {
    const std::string page = HandBuiltPage();
    const Result r = Run("encode " + page + " -o " + (dir / "out.bin").string());
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string bin = Slurp(dir / "out.bin");
    EXPECT_EQ(ToHex(CByteArray(bin.begin(), bin.end())),
              "1B 42 04 "
              "1B 46 07 01 00 01 00 0A 00 01 00 "
              "1B 46 02 00 00 07 00 03 00 04 00 "
              "1B 46 02 03 00 04 00 06 00 07 00");
    const Result toStdout = Run("encode " + page + " -o -");
    ASSERT_EQ(toStdout.status, 0);
    EXPECT_EQ(toStdout.out, bin);
}

TEST_F(LcdTool, ExportPageAppendsBinAndWritesTheDirectStream) {
    const std::string page = HandBuiltPage();
    ASSERT_EQ(Run("encode " + page + " -o " + (dir / "direct").string()).status, 0);
    const Result r = Run("export-page " + page + " -o " + (dir / "page").string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Slurp(dir / "page.bin"), Slurp(dir / "direct"));
    ASSERT_EQ(Run("export-page " + page + " -o " + (dir / "UP.BIN").string()).status, 0);
    EXPECT_TRUE(fs::exists(dir / "UP.BIN"));
    const Result bad = Run("export-page " + page + " -o " + (dir / "no" / "x").string());
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "lcdtool: 创建文件失败：无法创建文件 " + (dir / "no" / "x.bin").string() +
                           "：No such file or directory\n");
}

TEST_F(LcdTool, ResaveIsByteIdentical) {
    const std::string page = HandBuiltPage();
    const Result r = Run("resave " + page + " " + (dir / "again.pg").string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Slurp(dir / "again.pg"), Slurp(page));
}

TEST_F(LcdTool, ResaveKeepsEveryExampleByteIdentical) {
    int pages = 0;
    for (const auto& entry : fs::directory_iterator(LCD_EXAMPLES)) {
        if (entry.path().extension() != ".pg") continue;
        ++pages;
        const fs::path out = dir / entry.path().filename();
        const Result r = Run("resave " + entry.path().string() + " " + out.string());
        ASSERT_EQ(r.status, 0) << entry.path() << ": " << r.err;
        EXPECT_EQ(Slurp(out), Slurp(entry.path())) << entry.path();
    }
    EXPECT_GE(pages, 3);
}

TEST_F(LcdTool, RenderDrawsThePageAtTheZoom) {
    const Result r =
        Run("render " + HandBuiltPage() + " -o " + (dir / "p.png").string() + " --zoom 3");
    ASSERT_EQ(r.status, 0) << r.err;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, (dir / "p.png").c_str()));
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> px(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, px.data(), 0, nullptr));
    EXPECT_EQ(image.width, 48u);
    EXPECT_EQ(image.height, 24u);
    auto at = [&](int x, int y) {
        const uint8_t* p = &px[(static_cast<size_t>(y) * image.width + x) * 3];
        return (p[0] << 16) | (p[1] << 8) | p[2];
    };
    EXPECT_EQ(at(0, 0), 0xFF0000);                  // red background
    EXPECT_EQ(at(3 * 5 + 1, 3 * 1 + 2), 0xFFFFFF);  // the white line at module pixel (5, 1)
    EXPECT_EQ(at(3 * 3, 3 * 4), 0x00FF00);          // the green polyline's corner (3, 4)
}

TEST_F(LcdTool, RenderEveryExample) {
    for (const auto& entry : fs::directory_iterator(LCD_EXAMPLES)) {
        if (entry.path().extension() != ".pg") continue;
        const fs::path out = dir / (entry.path().stem().string() + ".png");
        const Result r = Run("render " + entry.path().string() + " -o " + out.string());
        ASSERT_EQ(r.status, 0) << entry.path() << ": " << r.err;
        EXPECT_GT(fs::file_size(out), 100u);
    }
}

struct BadRow {
    const char* name;
    std::string args;  // $D is the test folder, $P a valid page
};

void PrintTo(const BadRow& row, std::ostream* os) {
    *os << row.name;
}

class LcdToolBadInput : public LcdTool, public testing::WithParamInterface<BadRow> {};

TEST_P(LcdToolBadInput, OneLineOnStderrStatusOneNoOutput) {
    const std::string page = HandBuiltPage();
    // A damaged page: the valid one cut short.
    const std::string valid = Slurp(page);
    std::ofstream(dir / "cut.pg", std::ios::binary) << valid.substr(0, valid.size() - 3);
    std::string args = GetParam().args;
    for (size_t p; (p = args.find("$D")) != std::string::npos;)
        args.replace(p, 2, dir.string());
    for (size_t p; (p = args.find("$P")) != std::string::npos;)
        args.replace(p, 2, page);
    const Result r = Run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.empty());
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_FALSE(fs::exists(dir / "out"));
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().find("out."), std::string::npos)
            << "left behind: " << entry.path();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LcdToolBadInput,
    testing::Values(BadRow{"info_missing_file", "info $D/none.pg"},
                    BadRow{"info_damaged_file", "info $D/cut.pg"},
                    BadRow{"encode_damaged_file", "encode $D/cut.pg -o $D/out"},
                    BadRow{"encode_without_output", "encode $P"},
                    BadRow{"encode_unwritable_output", "encode $P -o $D/no/such/dir/out"},
                    BadRow{"resave_damaged_file", "resave $D/cut.pg $D/out"},
                    BadRow{"render_damaged_file", "render $D/cut.pg -o $D/out"},
                    BadRow{"render_zoom_zero", "render $P -o $D/out --zoom 0"},
                    BadRow{"render_zoom_word", "render $P -o $D/out --zoom big"},
                    BadRow{"option_without_value", "render $P -o"},
                    BadRow{"unknown_command", "paint $P"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
