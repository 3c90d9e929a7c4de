#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <random>
#include <string>

#include "images/CImageImplPNG.h"
#include "images/TestImages.h"

using namespace testimages;

namespace {

class ImageImplPNG : public testing::Test {
protected:
    Bytes Png(const PngSpec& s) {
        const std::string path = dir.File("p.png");
        EXPECT_TRUE(WritePng(path, s));
        return ReadFile(path);
    }
    static COLORREF At(const CImageImpl& image, int x, int y) {
        return image.GetRGB(x, image.GetHeight() - 1 - y);
    }
    TempDir dir;
};

void ExpectNear(COLORREF c, int r, int g, int b) {
    EXPECT_NEAR(RedOf(c), r, 2);
    EXPECT_NEAR(GreenOf(c), g, 2);
    EXPECT_NEAR(BlueOf(c), b, 2);
}

TEST_F(ImageImplPNG, AlphaIsBlendedOntoLightBlue) {
    PngSpec s;
    s.width = 4;
    s.height = 1;
    s.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    s.rows = {{255, 0, 0, 255, /**/ 0, 0, 0, 0, /**/ 0, 255, 0, 128, /**/ 10, 20, 30, 0}};
    CImageImplPNG image;
    ASSERT_TRUE(image.ReadMemory(Png(s)));
    EXPECT_EQ(image.GetBitCount(), 24);
    EXPECT_EQ(image.GetPalette(), nullptr);
    EXPECT_EQ(At(image, 0, 0), Rgb(255, 0, 0));
    EXPECT_EQ(At(image, 1, 0), Rgb(31, 127, 255));
    EXPECT_EQ(At(image, 3, 0), Rgb(31, 127, 255));
    // Half green over light blue.
    ExpectNear(At(image, 2, 0), 15, 191, 127);
}

TEST_F(ImageImplPNG, SixteenBitChannelsKeepTheirHighBytes) {
    PngSpec s;
    s.width = 1;
    s.height = 2;
    s.bitDepth = 16;
    s.rows = {{0x12, 0x34, 0xAB, 0xCD, 0xFF, 0xFF}, {0, 0, 0x80, 0, 0x01, 0x00}};
    CImageImplPNG image;
    ASSERT_TRUE(image.ReadMemory(Png(s)));
    EXPECT_EQ(image.GetBitCount(), 24);
    EXPECT_EQ(At(image, 0, 0), Rgb(0x12, 0xAB, 0xFF));
    EXPECT_EQ(At(image, 0, 1), Rgb(0, 0x80, 0x01));
}

TEST_F(ImageImplPNG, GreyPicturesGetAGreyRamp) {
    PngSpec s;
    s.width = 3;
    s.height = 1;
    s.colourType = PNG_COLOR_TYPE_GRAY;
    s.rows = {{0, 100, 255}};
    CImageImplPNG image;
    ASSERT_TRUE(image.ReadMemory(Png(s)));
    EXPECT_EQ(image.GetBitCount(), 8);
    EXPECT_EQ(image.GetIndex(1, 0), 100);
    EXPECT_EQ(image.GetRGB(1, 0), Rgb(100, 100, 100));
    EXPECT_EQ(image.GetRGB(2, 0), Rgb(255, 255, 255));

    // One-bit grey is widened to the same ramp.
    s.bitDepth = 1;
    s.width = 9;
    s.rows = {{0x80, 0x80}};
    ASSERT_TRUE(image.ReadMemory(Png(s)));
    EXPECT_EQ(image.GetBitCount(), 8);
    EXPECT_EQ(image.GetRGB(0, 0), Rgb(255, 255, 255));
    EXPECT_EQ(image.GetRGB(1, 0), Rgb(0, 0, 0));
    EXPECT_EQ(image.GetRGB(8, 0), Rgb(255, 255, 255));
}

TEST_F(ImageImplPNG, GreyWithAlphaIsEightBitGrey) {
    PngSpec s;
    s.width = 2;
    s.height = 1;
    s.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    s.rows = {{200, 255, 200, 0}};
    CImageImplPNG image;
    ASSERT_TRUE(image.ReadMemory(Png(s)));
    EXPECT_EQ(image.GetBitCount(), 8);
    EXPECT_EQ(image.GetRGB(0, 0), Rgb(200, 200, 200));
    // Grey pictures blend onto grey 0.
    EXPECT_EQ(image.GetRGB(1, 0), Rgb(0, 0, 0));
}

// Transparency goes onto black (grey 0) for grey pictures of every depth and onto light
// blue for the others. 2 x 1 pictures: a transparent pixel, then an opaque one.
TEST_F(ImageImplPNG, TransparentPixelsGoOntoTheirBackground) {
    const struct {
        const char* name;
        int colourType, bitDepth;
        png_uint_16 key;  // the transparent grey, or red of a colour
        Bytes row;
        COLORREF kept;
    } rows[] = {
        {"grey1", PNG_COLOR_TYPE_GRAY, 1, 1, {0x80}, Rgb(0, 0, 0)},
        {"grey2", PNG_COLOR_TYPE_GRAY, 2, 3, {0xD0}, Rgb(85, 85, 85)},
        {"grey4", PNG_COLOR_TYPE_GRAY, 4, 15, {0xF7}, Rgb(119, 119, 119)},
        {"grey8", PNG_COLOR_TYPE_GRAY, 8, 200, {200, 100}, Rgb(100, 100, 100)},
        {"grey16", PNG_COLOR_TYPE_GRAY, 16, 0xC8C8, {200, 200, 100, 100}, Rgb(100, 100, 100)},
        {"palette", PNG_COLOR_TYPE_PALETTE, 8, 0, {0, 1}, Rgb(0, 200, 0)},
        {"rgb", PNG_COLOR_TYPE_RGB, 8, 200, {200, 0, 0, 0, 200, 0}, Rgb(0, 200, 0)}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PngSpec s{2, 1, row.colourType, row.bitDepth, false, {}, {}, {}, {}};
        if (row.colourType == PNG_COLOR_TYPE_PALETTE) {
            s.palette = {{200, 0, 0}, {0, 200, 0}};
            s.trns = {0};
        } else {
            s.key = {png_color_16{0, row.key, 0, 0, row.key}};
        }
        s.rows = {row.row};
        CImageImplPNG image;
        ASSERT_TRUE(image.ReadMemory(Png(s)));
        const bool grey = row.colourType == PNG_COLOR_TYPE_GRAY;
        EXPECT_EQ(At(image, 0, 0), grey ? Rgb(0, 0, 0) : Rgb(31, 127, 255));
        EXPECT_EQ(At(image, 1, 0), row.kept);
    }
}

TEST_F(ImageImplPNG, PalettePictures) {
    PngSpec s;
    s.width = 5;
    s.height = 1;
    s.colourType = PNG_COLOR_TYPE_PALETTE;
    s.bitDepth = 2;
    s.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 8, 7}};
    s.rows = {{0x1B, 0x80}};  // 0 1 2 3 2
    CImageImplPNG image;
    ASSERT_TRUE(image.ReadMemory(Png(s)));
    // Two bits, which bitmaps do not have, become eight.
    EXPECT_EQ(image.GetBitCount(), 8);
    EXPECT_EQ(image.GetPalette()->size(), 4u);
    EXPECT_EQ(image.GetRGB(0, 0), Rgb(255, 0, 0));
    EXPECT_EQ(image.GetRGB(3, 0), Rgb(9, 8, 7));
    EXPECT_EQ(image.GetRGB(4, 0), Rgb(0, 0, 255));

    s.bitDepth = 4;
    s.rows = {{0x01, 0x23, 0x10}};
    ASSERT_TRUE(image.ReadMemory(Png(s)));
    EXPECT_EQ(image.GetBitCount(), 4);
    EXPECT_EQ(image.GetIndex(3, 0), 3);
    EXPECT_EQ(image.GetRGB(4, 0), Rgb(0, 255, 0));
}

TEST_F(ImageImplPNG, InterlacedEqualsPlain) {
    std::mt19937 rng(3);
    PngSpec s;
    s.width = 13;
    s.height = 11;
    for (int y = 0; y < s.height; ++y) {
        Bytes row;
        for (int i = 0; i < s.width * 3; ++i)
            row.push_back(uint8_t(rng()));
        s.rows.push_back(row);
    }
    CImageImplPNG plain, interlaced;
    ASSERT_TRUE(plain.ReadMemory(Png(s)));
    s.interlaced = true;
    ASSERT_TRUE(interlaced.ReadMemory(Png(s)));
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            const uint8_t* p = &s.rows[y][3 * x];
            ASSERT_EQ(At(interlaced, x, y), Rgb(p[0], p[1], p[2])) << x << "," << y;
            ASSERT_EQ(At(plain, x, y), Rgb(p[0], p[1], p[2])) << x << "," << y;
        }
    }
}

TEST_F(ImageImplPNG, EveryTruncationFails) {
    PngSpec s;
    s.width = 6;
    s.height = 4;
    s.rows.assign(4, Bytes(18, 77));
    const Bytes whole = Png(s);
    for (size_t n = 0; n < whole.size(); ++n) {
        CImageImplPNG image;
        EXPECT_FALSE(
            image.ReadMemory(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n))))
            << n << " bytes";
        EXPECT_FALSE(image.HasDib());
    }
}

TEST_F(ImageImplPNG, OversizeHeaderIsRefusedWithItsSize) {
    PngSpec s;
    s.width = 2;
    s.height = 2;
    s.rows.assign(2, Bytes(6, 1));
    Bytes png = Png(s);
    // Width 20000 in the header chunk, with its checksum made right again.
    png[16] = 0;
    png[17] = 0;
    png[18] = 0x4E;
    png[19] = 0x20;
    const uLong crc = crc32(0, png.data() + 12, 17);
    png[29] = uint8_t(crc >> 24);
    png[30] = uint8_t(crc >> 16);
    png[31] = uint8_t(crc >> 8);
    png[32] = uint8_t(crc);
    CImageImplPNG image;
    EXPECT_FALSE(image.ReadMemory(png));
    EXPECT_NE(image.LimitMessage().find("20000*2"), std::string::npos) << image.LimitMessage();
}

// Inserts a chunk right after the header chunk: its declared length, type, `data` and a
// checksum over type and data (only right when the length is the data's).
Bytes WithChunkAfterHeader(Bytes png, const char* type, const Bytes& data, uint32_t length) {
    Bytes chunk = {uint8_t(length >> 24), uint8_t(length >> 16), uint8_t(length >> 8),
                   uint8_t(length)};
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    const uLong crc = crc32(0, chunk.data() + 4, static_cast<uInt>(4 + data.size()));
    for (int shift : {24, 16, 8, 0})
        chunk.push_back(uint8_t(crc >> shift));
    png.insert(png.begin() + 33, chunk.begin(), chunk.end());  // signature 8 + IHDR 25
    return png;
}

// 1 x 1 RGB whose image data goes on with 100 MB of zeros, a 100 KB file: libpng would
// inflate all of them while reading the last row.
TEST_F(ImageImplPNG, CompressedDataPastThePictureIsRefused) {
    const Bytes png = Png(PngSpec{1, 1, PNG_COLOR_TYPE_RGB, 8, false, {}, {}, {}, {{1, 2, 3}}});
    Bytes raw(100 << 20), data(compressBound(100 << 20));
    raw[1] = 1, raw[2] = 2, raw[3] = 3;  // filter byte 0, then the pixel
    uLongf length = data.size();
    ASSERT_EQ(compress2(data.data(), &length, raw.data(), raw.size(), 9), Z_OK);
    Bytes bomb(png.begin(), png.begin() + 33);  // signature and header chunk
    bomb.insert(bomb.end(), png.end() - 12, png.end());
    CImageImplPNG image;
    EXPECT_FALSE(image.ReadMemory(WithChunkAfterHeader(
        bomb, "IDAT", Bytes(data.begin(), data.begin() + length), uint32_t(length))));
}

class PngTextChunks : public ImageImplPNG, public testing::WithParamInterface<const char*> {};

// A chunk the picture does not need neither stops a good file nor, with a length far
// past the file's end, makes the reader allocate that length.
TEST_P(PngTextChunks, AreSkippedUnread) {
    PngSpec s;
    s.width = 2;
    s.height = 2;
    s.rows.assign(2, Bytes(6, 200));
    const Bytes png = Png(s);
    const Bytes text = {'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'h', 'i'};
    CImageImplPNG good;
    ASSERT_TRUE(good.ReadMemory(WithChunkAfterHeader(png, GetParam(), text, 10)));
    EXPECT_EQ(good.GetWidth(), 2);

    bool loaded = true;
    const Bytes bad = WithChunkAfterHeader(png, GetParam(), text, 0x73737373);
    const long grown = PeakMiB([&] { return CImageImplPNG().ReadMemory(bad); }, loaded);
    EXPECT_FALSE(loaded);
    ASSERT_GE(grown, 0);
    EXPECT_LT(grown, 64) << "MiB";
}

INSTANTIATE_TEST_SUITE_P(Types, PngTextChunks,
                         testing::Values("tEXt", "zTXt", "iTXt", "iCCP", "sPLT", "pCAL", "sCAL",
                                         "eXIf"),
                         [](const auto& info) { return std::string(info.param); });

TEST_F(ImageImplPNG, OtherBytesFail) {
    CImageImplPNG image;
    EXPECT_FALSE(image.ReadMemory(Bytes{}));
    EXPECT_FALSE(image.ReadMemory(Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    EXPECT_FALSE(image.ReadMemory(Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}));
}

}  // namespace
