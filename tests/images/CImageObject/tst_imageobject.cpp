#include <gtest/gtest.h>

#include "images/CImageImplBMP.h"
#include "images/CImageObject.h"
#include "images/TestImages.h"

using namespace testimages;

namespace {

struct ExtensionRow {
    const char* name;
    const char* path;
    int type;
};

void PrintTo(const ExtensionRow& row, std::ostream* os) {
    *os << row.name;
}

class ImageTypeFromPath : public testing::TestWithParam<ExtensionRow> {};
TEST_P(ImageTypeFromPath, ExtensionTable) {
    EXPECT_EQ(CImageObject::TypeFromPath(GetParam().path), GetParam().type);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, ImageTypeFromPath,
    testing::Values(ExtensionRow{"bmp", "a/b.bmp", 0}, ExtensionRow{"Bmp", "b.Bmp", 0},
                    ExtensionRow{"BMP", "B.BMP", 0}, ExtensionRow{"jpg", "p.jpg", 1},
                    ExtensionRow{"gif", "p.GIF", 2}, ExtensionRow{"xpm", "p.xpm", 3},
                    ExtensionRow{"png", "p.png", 4},
                    ExtensionRow{"jpeg_not_in_table", "p.jpeg", -1},
                    ExtensionRow{"trailing_dot", "p.", -1}, ExtensionRow{"no_dot", "picture", -1},
                    ExtensionRow{"last_dot_counts", "p.png.txt", -1},
                    ExtensionRow{"unknown", "p.tif", -1}),
    [](const auto& info) { return std::string(info.param.name); });

class ImageObject : public testing::Test {
protected:
    // A 3 x 2 GIF of four colours: top row red, green, blue; bottom row white, green, red.
    std::string SmallGif() {
        GifSpec s;
        s.width = 3;
        s.height = 2;
        s.minCodeSize = 2;
        s.globalTable = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
        s.indices = {0, 1, 2, 3, 1, 0};
        const std::string path = dir.File("small.gif");
        EXPECT_TRUE(WriteFile(path, MakeGif(s)));
        return path;
    }
    TempDir dir;
};

TEST_F(ImageObject, XpmHasNoImplementation) {
    const std::string path = dir.File("p.xpm");
    ASSERT_TRUE(WriteFile(path, {'/', '*', ' ', 'X', 'P', 'M'}));
    CImageObject image(path, -1);
    EXPECT_EQ(image.GetType(), CImageObject::kTypeXpm);
    EXPECT_EQ(image.Impl(), nullptr);
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_FALSE(image.SaveAs(dir.File("out.bmp"), 0));
}

TEST_F(ImageObject, GivenTypeOverridesTheExtension) {
    const std::string gif = SmallGif();
    const std::string renamed = dir.File("small.jpeg");
    std::filesystem::rename(gif, renamed);
    CImageObject image(renamed, CImageObject::kTypeGif);
    EXPECT_EQ(image.GetWidth(), 3);
    EXPECT_EQ(image.GetHeight(), 2);
    EXPECT_EQ(image.GetBitCount(), 8);
}

TEST_F(ImageObject, SaveAsBmpHandsThePictureOver) {
    CImageObject image(SmallGif(), -1);
    ASSERT_EQ(image.GetWidth(), 3);
    const std::string out = dir.File("out.bmp");
    ASSERT_TRUE(image.SaveAs(out, 0));
    EXPECT_EQ(image.GetType(), 0);
    EXPECT_EQ(image.GetFile(), out);

    const Bytes file = ReadFile(out);
    ASSERT_GE(file.size(), 14u);
    // The header's file size is the file's length, so the local bitmap accepts it.
    const uint32_t size = file[2] | (file[3] << 8) | (file[4] << 16) | (file[5] << 24);
    EXPECT_EQ(size, file.size());
    // 8 bits: 14 + 40 + 1024 table bytes, then two rows of 4 bytes.
    EXPECT_EQ(file.size(), 14u + 40 + 1024 + 8);

    CImageImplBMP back;
    ASSERT_TRUE(back.ReadMemory(file));
    // Memory row 1 is the picture's top row.
    EXPECT_EQ(back.GetRGB(0, 1), Rgb(255, 0, 0));
    EXPECT_EQ(back.GetRGB(1, 1), Rgb(0, 255, 0));
    EXPECT_EQ(back.GetRGB(2, 1), Rgb(0, 0, 255));
    EXPECT_EQ(back.GetRGB(0, 0), Rgb(255, 255, 255));
    EXPECT_EQ(back.GetRGB(1, 0), Rgb(0, 255, 0));
    EXPECT_EQ(back.GetRGB(2, 0), Rgb(255, 0, 0));
}

TEST_F(ImageObject, SaveAsATypeWithoutWriterFailsAndKeepsThePicture) {
    CImageObject image(SmallGif(), -1);
    EXPECT_FALSE(image.SaveAs(dir.File("out.gif"), CImageObject::kTypeGif));
    EXPECT_FALSE(image.SaveAs(dir.File("out.xpm"), CImageObject::kTypeXpm));
    EXPECT_EQ(image.GetType(), CImageObject::kTypeGif);
    EXPECT_EQ(image.GetWidth(), 3);
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.gif")));
}

TEST_F(ImageObject, MissingFileLeavesAnEmptyPicture) {
    CImageObject image(dir.File("absent.png"), -1);
    ASSERT_NE(image.Impl(), nullptr);
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetHeight(), 0);
}

}  // namespace
