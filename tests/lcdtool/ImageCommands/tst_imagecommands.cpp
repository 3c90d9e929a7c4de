// lcdtool bmp2c, run as a user runs it.

#include <gtest/gtest.h>

#include <filesystem>

#include "base/ByteArray.h"
#include "images/TestImages.h"
#include "support/RunTool.h"

using namespace testimages;
namespace fs = std::filesystem;

namespace {

class Bmp2c : public testing::Test {
protected:
    Result Run(const std::string& args) { return RunTool(dir.File(""), "bmp2c " + args); }
    std::string Out() const { return dir.File("out.txt"); }
    std::string Text() const {
        const Bytes b = ReadFile(Out());
        return std::string(b.begin(), b.end());
    }
    // 2 x 2: red, green / blue, white.
    std::string Picture() {
        BmpSpec s;
        s.width = 2;
        s.height = 2;
        s.pixels = Rows24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
        const std::string path = dir.File("p.bmp");
        EXPECT_TRUE(WriteFile(path, MakeBmp(s)));
        return path;
    }
    TempDir dir;
};

TEST_F(Bmp2c, SixtyFourColoursWithControlBits) {
    const Result r = Run(Picture() + " --size orig --colours 64 --control cover -o " + Out());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty());
    EXPECT_EQ(Text(), "{\r\n0x35, 0x26, 0x64, 0x77 }");
}

TEST_F(Bmp2c, SixteenBitByteOrderFollowsTheBoard) {
    ASSERT_EQ(Run(Picture() + " --size orig --colours 16 -o " + Out()).status, 0);
    EXPECT_EQ(Text(), "{\r\n0xF8, 0x00, 0x07, 0xE0, 0x00, 0x1F, 0xFF, 0xFF }");
    ASSERT_EQ(Run(Picture() + " --size orig --colours 16 --board 1 -o " + Out()).status, 0);
    EXPECT_EQ(Text(), "{\r\n0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF }");
}

TEST_F(Bmp2c, EightColoursAt320x234) {
    ASSERT_EQ(Run(Picture() + " --size 320x234 --colours 8 -o " + Out()).status, 0);
    const std::string text = Text();
    // 160 bytes a row, 234 rows: six characters a value, CR LF before every eighth.
    const size_t values = 160 * 234;
    EXPECT_EQ(text.size(), 1 + values * 6 + values / 8 * 2);
    EXPECT_EQ(text.substr(0, 21), "{\r\n0x11, 0x11, 0x11, ");
    EXPECT_EQ(text.substr(text.size() - 12), "0x77, 0x77 }");
}

TEST_F(Bmp2c, AnyPictureTheLayerReads) {
    GifSpec s;
    s.width = 2;
    s.height = 1;
    s.minCodeSize = 2;
    s.globalTable = {255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0};
    s.indices = {2, 0};
    const std::string gif = dir.File("p.gif");
    ASSERT_TRUE(WriteFile(gif, MakeGif(s)));
    ASSERT_EQ(Run(gif + " --size orig --colours 256 -o " + Out()).status, 0);
    EXPECT_EQ(Text(), "{\r\n0xE0, 0xFF }");
}

struct BadRow {
    const char* name;
    const char* args;  // after the picture
    const char* says;
};

void PrintTo(const BadRow& row, std::ostream* os) {
    *os << row.name;
}
class Bmp2cBad : public Bmp2c, public testing::WithParamInterface<BadRow> {};
TEST_P(Bmp2cBad, OneLineNoFile) {
    const BadRow& row = GetParam();
    std::string picture = Picture();
    if (std::string(row.name) == "missing_picture") picture = dir.File("absent.bmp");
    if (std::string(row.name) == "not_a_picture") {
        picture = dir.File("notes.txt");
        ASSERT_TRUE(WriteFile(picture, {'h', 'i'}));
    }
    if (std::string(row.name) == "damaged_picture") {
        picture = dir.File("cut.bmp");
        Bytes b = ReadFile(Picture());
        b.resize(b.size() - 3);
        ASSERT_TRUE(WriteFile(picture, b));
    }
    const Result r = Run(picture + " " + row.args + " -o " + Out());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(Out()));
}
INSTANTIATE_TEST_SUITE_P(
    Inputs, Bmp2cBad,
    testing::Values(BadRow{"missing_picture", "--size orig --colours 8", "未能打开文件！"},
                    BadRow{"damaged_picture", "--size orig --colours 8", "未能打开文件！"},
                    BadRow{"not_a_picture", "--size orig --colours 8", "notes.txt"},
                    BadRow{"no_size", "--colours 8", "缺少选项 --size"},
                    BadRow{"no_colours", "--size orig", "缺少选项 --colours"},
                    BadRow{"odd_size", "--size 100x100 --colours 8", "--size"},
                    BadRow{"odd_colours", "--size orig --colours 32", "--colours"},
                    BadRow{"control_not_64", "--size orig --colours 8 --control or", "64"},
                    BadRow{"odd_control", "--size orig --colours 64 --control nand", "--control"},
                    BadRow{"odd_board", "--size orig --colours 8 --board 4", "--board"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
