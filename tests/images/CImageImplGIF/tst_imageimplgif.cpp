#include <gtest/gtest.h>

#include <random>

#include "images/CImageImplGIF.h"
#include "images/TestImages.h"

using namespace testimages;

namespace {

// Index of picture pixel (x, y), row 0 at the top.
int IndexAt(const CImageImpl& image, int x, int y) {
    return image.GetIndex(x, image.GetHeight() - 1 - y);
}

Bytes Table(int entries, uint8_t base) {
    Bytes t;
    for (int i = 0; i < entries; ++i)
        t.insert(t.end(), {uint8_t(base + i), uint8_t(i), uint8_t(255 - i)});
    return t;
}

GifSpec TwoByTwo() {
    GifSpec s;
    s.width = 2;
    s.height = 2;
    s.minCodeSize = 2;
    s.globalTable = Table(4, 10);
    s.indices = {0, 1, 2, 3};
    return s;
}

TEST(ImageImplGIF, DecodesTheFirstImage) {
    CImageImplGIF image;
    ASSERT_TRUE(image.ReadMemory(MakeGif(TwoByTwo())));
    ASSERT_EQ(image.GetWidth(), 2);
    EXPECT_EQ(image.GetBitCount(), 8);
    EXPECT_EQ(IndexAt(image, 0, 0), 0);
    EXPECT_EQ(IndexAt(image, 1, 0), 1);
    EXPECT_EQ(IndexAt(image, 0, 1), 2);
    EXPECT_EQ(IndexAt(image, 1, 1), 3);
    EXPECT_EQ(image.GetTransparent(), -1);
    // No transparency: the palette is the table as it is.
    ASSERT_NE(image.GetPalette(), nullptr);
    EXPECT_EQ(image.GetPalette()->size(), 4u);
    EXPECT_EQ(image.GetRGB(1, 1), Rgb(11, 1, 254));
}

TEST(ImageImplGIF, TransparentIndexOfASixteenEntryTable) {
    GifSpec s = TwoByTwo();
    s.minCodeSize = 4;
    s.globalTable = Table(16, 100);
    s.transparent = 3;
    CImageImplGIF image;
    ASSERT_TRUE(image.ReadMemory(MakeGif(s)));
    EXPECT_EQ(image.GetTransparent(), 3);
    const auto& p = *image.GetPalette();
    ASSERT_EQ(p.size(), 256u);
    for (int i = 0; i < 16; ++i) {
        if (i == 3)
            EXPECT_EQ(p[i], Rgb(0, 0, 0));
        else
            EXPECT_EQ(p[i], Rgb(uint8_t(100 + i), uint8_t(i), uint8_t(255 - i))) << i;
    }
    for (int i = 16; i < 256; ++i)
        EXPECT_EQ(p[i], Rgb(255, 255, 255)) << i;
}

TEST(ImageImplGIF, FullTableWithoutWhiteGetsWhiteAtTheEnd) {
    GifSpec s = TwoByTwo();
    s.minCodeSize = 8;
    s.globalTable.clear();
    for (int i = 0; i < 256; ++i)
        s.globalTable.insert(s.globalTable.end(), {uint8_t(i), 0, 0});
    s.transparent = 7;
    CImageImplGIF image;
    ASSERT_TRUE(image.ReadMemory(MakeGif(s)));
    const auto& p = *image.GetPalette();
    ASSERT_EQ(p.size(), 256u);
    EXPECT_EQ(p[7], Rgb(0, 0, 0));
    EXPECT_EQ(p[254], Rgb(254, 0, 0));
    EXPECT_EQ(p[255], Rgb(255, 255, 255));

    // With a white entry already present, entry 255 stays as the file has it.
    s.globalTable[3 * 100] = 255;
    s.globalTable[3 * 100 + 1] = 255;
    s.globalTable[3 * 100 + 2] = 255;
    ASSERT_TRUE(image.ReadMemory(MakeGif(s)));
    EXPECT_EQ((*image.GetPalette())[255], Rgb(255, 0, 0));
}

TEST(ImageImplGIF, LocalTableOverTheGlobalOne) {
    GifSpec s = TwoByTwo();
    s.localTable = Table(4, 50);
    CImageImplGIF image;
    ASSERT_TRUE(image.ReadMemory(MakeGif(s)));
    EXPECT_EQ(image.GetRGB(0, 1), Rgb(50, 0, 255));
}

TEST(ImageImplGIF, InterlacedRowsGoToTheirPassPlaces) {
    // Stored row k holds the value k; the passes put it at picture rows
    // 0, 8, 4, 2, 6, 1, 3, 5, 7, 9.
    GifSpec s;
    s.width = 3;
    s.height = 10;
    s.minCodeSize = 4;
    s.interlaced = true;
    s.useCodes = true;
    Bytes stored;
    for (int k = 0; k < 10; ++k)
        stored.insert(stored.end(), 3, uint8_t(k));
    s.codes = LzwEncode(stored, 4);
    CImageImplGIF image;
    ASSERT_TRUE(image.ReadMemory(MakeGif(s)));
    const int order[10] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ(IndexAt(image, 0, order[k]), k) << "stored row " << k;
        EXPECT_EQ(IndexAt(image, 2, order[k]), k) << "stored row " << k;
    }
}

TEST(ImageImplGIF, InterlacedPicturesOfEveryHeightRoundTrip) {
    for (int height = 1; height <= 17; ++height) {
        GifSpec s;
        s.width = 2;
        s.height = height;
        s.minCodeSize = 5;
        s.interlaced = true;
        for (int i = 0; i < 2 * height; ++i)
            s.indices.push_back(uint8_t(i % 32));
        CImageImplGIF image;
        ASSERT_TRUE(image.ReadMemory(MakeGif(s))) << height;
        for (int y = 0; y < height; ++y)
            ASSERT_EQ(IndexAt(image, 1, y), (2 * y + 1) % 32) << height << " rows, y " << y;
    }
}

struct CodesRow {
    const char* name;
    int width, height, codeSize;
    std::vector<std::pair<int, int>> codes;
    bool ok;
    Bytes pixels;  // top-down, when ok
};

void PrintTo(const CodesRow& row, std::ostream* os) {
    *os << row.name;
}

class GifCodes : public testing::TestWithParam<CodesRow> {};
TEST_P(GifCodes, Stream) {
    const CodesRow& row = GetParam();
    GifSpec s;
    s.width = row.width;
    s.height = row.height;
    s.minCodeSize = row.codeSize;
    s.useCodes = true;
    s.codes = PackCodes(row.codes);
    CImageImplGIF image;
    ASSERT_EQ(image.ReadMemory(MakeGif(s)), row.ok);
    if (!row.ok) {
        EXPECT_FALSE(image.HasDib());
        EXPECT_NE(image.LastDecodeResult(), CImageImplGIF::kOk);
        return;
    }
    for (int y = 0; y < row.height; ++y)
        for (int x = 0; x < row.width; ++x)
            EXPECT_EQ(IndexAt(image, x, y), row.pixels[y * row.width + x]) << x << "," << y;
}
// Code size 2: clear 4, end 5, first free code 6; codes start 3 bits wide and widen
// to 4 bits once code 7 is defined.
INSTANTIATE_TEST_SUITE_P(
    Streams, GifCodes,
    testing::Values(
        CodesRow{"code_being_defined", 3, 1, 2, {{4, 3}, {1, 3}, {6, 3}, {5, 3}}, true, {1, 1, 1}},
        CodesRow{"widens_after_code_7",
                 7,
                 1,
                 2,
                 {{4, 3}, {1, 3}, {6, 3}, {7, 3}, {2, 4}, {5, 4}},
                 true,
                 {1, 1, 1, 1, 1, 1, 2}},
        CodesRow{"repeated_clears",
                 2,
                 1,
                 2,
                 {{4, 3}, {4, 3}, {2, 3}, {4, 3}, {3, 3}, {5, 3}},
                 true,
                 {2, 3}},
        CodesRow{"no_leading_clear", 3, 1, 2, {{1, 3}, {6, 3}, {5, 3}}, true, {1, 1, 1}},
        CodesRow{"no_end_code", 1, 1, 2, {{4, 3}, {1, 3}}, true, {1}},
        CodesRow{"fewer_pixels_than_picture",
                 2,
                 2,
                 2,
                 {{4, 3}, {1, 3}, {6, 3}, {5, 3}},
                 true,
                 {1, 1, 1, 0}},
        CodesRow{"code_beyond_table", 3, 1, 2, {{4, 3}, {1, 3}, {7, 3}, {5, 3}}, false, {}},
        CodesRow{"first_code_undefined", 3, 1, 2, {{4, 3}, {6, 3}, {5, 3}}, false, {}},
        CodesRow{"rows_past_picture", 2, 1, 2, {{4, 3}, {1, 3}, {2, 3}, {3, 3}, {5, 4}}, false, {}},
        CodesRow{"code_size_1", 2, 1, 1, {{2, 2}, {1, 2}, {3, 2}}, false, {}},
        CodesRow{"code_size_10", 2, 1, 10, {{1024, 11}, {1, 11}, {1025, 11}}, false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageImplGIF, LongStreamsWithTableResetsAndDeferredClears) {
    std::mt19937 rng(5);
    for (bool deferred : {false, true}) {
        GifSpec s;
        s.width = 211;
        s.height = 97;
        s.minCodeSize = 8;
        s.deferredClear = deferred;
        for (int i = 0; i < s.width * s.height; ++i)
            s.indices.push_back(uint8_t(i % 5 == 0 ? rng() : (i / 13) % 7));
        CImageImplGIF image;
        ASSERT_TRUE(image.ReadMemory(MakeGif(s)));
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x)
                ASSERT_EQ(IndexAt(image, x, y), s.indices[y * s.width + x]) << x << "," << y;
    }
}

TEST(ImageImplGIF, OtherExtensionsAreSkipped) {
    Bytes gif = MakeGif(TwoByTwo());
    // A comment extension just before the image descriptor.
    const Bytes comment = {0x21, 0xFE, 0x03, 'a', 'b', 'c', 0x02, 'd', 'e', 0x00};
    const size_t descriptor = 13 + 12;
    gif.insert(gif.begin() + descriptor, comment.begin(), comment.end());
    CImageImplGIF image;
    ASSERT_TRUE(image.ReadMemory(gif));
    EXPECT_EQ(IndexAt(image, 1, 1), 3);
}

TEST(ImageImplGIF, GraphicControlOfTheWrongSizeEndsTheFile) {
    Bytes gif = MakeGif(TwoByTwo());
    const Bytes control = {0x21, 0xF9, 0x05, 0x01, 0, 0, 2, 0, 0};
    gif.insert(gif.begin() + 13 + 12, control.begin(), control.end());
    CImageImplGIF image;
    EXPECT_TRUE(image.ReadMemory(gif));
    EXPECT_FALSE(image.HasDib());
    EXPECT_EQ(image.GetWidth(), 0);
}

TEST(ImageImplGIF, TransparencyFlagOffMeansNoTransparentIndex) {
    Bytes gif = MakeGif(TwoByTwo());
    const Bytes control = {0x21, 0xF9, 0x04, 0x00, 0, 0, 2, 0x00};
    gif.insert(gif.begin() + 13 + 12, control.begin(), control.end());
    CImageImplGIF image;
    ASSERT_TRUE(image.ReadMemory(gif));
    EXPECT_EQ(image.GetTransparent(), -1);
    EXPECT_EQ(image.GetPalette()->size(), 4u);
}

TEST(ImageImplGIF, SignatureIsRequired) {
    Bytes gif = MakeGif(TwoByTwo());
    gif[3] = '7';
    CImageImplGIF image;
    EXPECT_FALSE(image.ReadMemory(gif));
    EXPECT_FALSE(image.ReadMemory(Bytes{'G', 'I', 'F', '8'}));
}

// A small file declaring a huge picture, with one pixel of data: refused with its size
// and the limit before anything is allocated, or, within the limit (a 64-megapixel camera
// photo), read without touching more memory than that pixel's row.
TEST(ImageImplGIF, HugeScreenOfOnePixel) {
    const int sizes[][2] = {{16000, 16000}, {65535, 65535}, {9248, 6936}};
    for (const auto& [width, height] : sizes) {
        GifSpec s = TwoByTwo();
        s.width = width;
        s.height = height;
        s.useCodes = true;
        s.codes = PackCodes({{4, 3}, {1, 3}, {5, 3}});
        const Bytes gif = MakeGif(s);
        CImageImplGIF image;
        bool loaded = false;
        const long grown = PeakMiB([&] { return image.ReadMemory(gif); }, loaded);
        ASSERT_GE(grown, 0);
        EXPECT_LT(grown, 32) << width << " MiB";
        EXPECT_EQ(loaded, width == 9248);
        if (loaded) continue;
        EXPECT_FALSE(image.ReadMemory(gif));
        const std::string size = std::to_string(width) + "*" + std::to_string(height);
        EXPECT_NE(image.LimitMessage().find(size), std::string::npos) << image.LimitMessage();
        EXPECT_NE(image.LimitMessage().find("67108864"), std::string::npos);
    }
}

TEST(ImageImplGIF, EveryTruncationLeavesNoPicture) {
    GifSpec s = TwoByTwo();
    s.transparent = 1;
    const Bytes whole = MakeGif(s);
    // The last byte is the optional trailer.
    for (size_t n = 0; n + 1 < whole.size(); ++n) {
        CImageImplGIF image;
        const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        image.ReadMemory(part);
        EXPECT_FALSE(image.HasDib()) << n << " bytes";
    }
    CImageImplGIF image;
    EXPECT_TRUE(image.ReadMemory(Bytes(whole.begin(), whole.end() - 1)));
    EXPECT_TRUE(image.HasDib());
}

}  // namespace
