#include <gtest/gtest.h>

#include <jpeglib.h>
#include <cstdio>
#include <cstdlib>

#include "images/CImageImplJPG.h"
#include "images/TestImages.h"

using namespace testimages;

namespace {

class ImageImplJPG : public testing::Test {
protected:
    // A colour picture of smooth gradients.
    Bytes ColourSamples(int w, int h) {
        Bytes rgb;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                rgb.insert(rgb.end(), {uint8_t(x * 255 / (w - 1)), uint8_t(y * 255 / (h - 1)),
                                       uint8_t(255 - x * 255 / (w - 1))});
        return rgb;
    }
    Bytes Jpeg(int w, int h, int components, const Bytes& samples) {
        const std::string path = dir.File("p.jpg");
        EXPECT_TRUE(WriteJpeg(path, w, h, components, samples, 95));
        return ReadFile(path);
    }
    TempDir dir;
};

TEST_F(ImageImplJPG, ColourBecomesAnEightBitPictureOfAtMost128Colours) {
    const int w = 64, h = 48;
    const Bytes rgb = ColourSamples(w, h);
    CImageImplJPG image;
    ASSERT_TRUE(image.ReadMemory(Jpeg(w, h, 3, rgb)));
    EXPECT_EQ(image.GetWidth(), w);
    EXPECT_EQ(image.GetHeight(), h);
    EXPECT_EQ(image.GetBitCount(), 8);
    ASSERT_NE(image.GetPalette(), nullptr);
    EXPECT_LE(image.GetPalette()->size(), 128u);
    EXPECT_GE(image.GetPalette()->size(), 16u);
    // Dithered, so compare the average error: the picture is the same picture.
    long error = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const COLORREF c = image.GetRGB(x, h - 1 - y);
            const uint8_t* s = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            error += std::abs(RedOf(c) - s[0]) + std::abs(GreenOf(c) - s[1]) +
                     std::abs(BlueOf(c) - s[2]);
        }
    }
    EXPECT_LT(error / (w * h * 3), 12);
}

// The colours are the ones the library's own two-pass quantizer gives, index for index,
// whether a picture has many colours, a few or one.
TEST_F(ImageImplJPG, ColoursAreTheLibrarysTwoPassOnes) {
    for (const auto& [w, h, step] : {std::tuple{301, 97, 37}, {64, 48, 0}, {13, 11, 256}}) {
        Bytes rgb = ColourSamples(w, h);
        for (size_t i = 0; step && i < rgb.size(); ++i)
            rgb[i] = uint8_t(rgb[i] + (i * 2654435761u >> 7) % step);  // noise, or flat
        const Bytes jpeg = Jpeg(w, h, 3, rgb);
        jpeg_decompress_struct c{};
        jpeg_error_mgr err{};
        c.err = jpeg_std_error(&err);
        jpeg_create_decompress(&c);
        jpeg_mem_src(&c, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
        jpeg_read_header(&c, TRUE);
        c.quantize_colors = TRUE;
        c.desired_number_of_colors = 128;
        jpeg_start_decompress(&c);
        CImageImplJPG image;
        ASSERT_TRUE(image.ReadMemory(jpeg));
        ASSERT_EQ(image.GetPalette()->size(), size_t(c.actual_number_of_colors));
        for (int i = 0; i < c.actual_number_of_colors; ++i)
            EXPECT_EQ((*image.GetPalette())[i],
                      Rgb(c.colormap[0][i], c.colormap[1][i], c.colormap[2][i]));
        Bytes row(static_cast<size_t>(w));
        for (JSAMPROW p = row.data(); c.output_scanline < c.output_height;) {
            const int y = static_cast<int>(c.output_scanline);
            jpeg_read_scanlines(&c, &p, 1);
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(image.GetIndex(x, h - 1 - y), row[x]) << x << "," << y;
        }
        jpeg_finish_decompress(&c);
        jpeg_destroy_decompress(&c);
    }
}

TEST_F(ImageImplJPG, GreyscaleKeepsAGreyRamp) {
    const int w = 32, h = 16;
    Bytes grey;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            grey.push_back(uint8_t(x * 8));
    CImageImplJPG image;
    ASSERT_TRUE(image.ReadMemory(Jpeg(w, h, 1, grey)));
    EXPECT_EQ(image.GetBitCount(), 8);
    ASSERT_EQ(image.GetPalette()->size(), 256u);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ((*image.GetPalette())[i], Rgb(uint8_t(i), uint8_t(i), uint8_t(i)));
    for (int x = 0; x < w; ++x)
        EXPECT_NEAR(image.GetIndex(x, 5), x * 8, 6) << x;
}

TEST_F(ImageImplJPG, EveryTruncationFails) {
    const Bytes whole = Jpeg(24, 16, 3, ColourSamples(24, 16));
    for (size_t n = 0; n < whole.size(); n += (n < 700 ? 1 : 7)) {
        CImageImplJPG image;
        EXPECT_FALSE(
            image.ReadMemory(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n))))
            << n << " bytes";
        EXPECT_FALSE(image.HasDib());
    }
}

TEST_F(ImageImplJPG, OversizeHeaderIsRefusedWithItsSize) {
    Bytes jpeg = Jpeg(16, 16, 3, ColourSamples(16, 16));
    // Height and width of the frame header (FF C0, length, precision, height, width).
    size_t sof = 0;
    for (size_t i = 0; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            sof = i;
            break;
        }
    }
    ASSERT_NE(sof, 0u);
    jpeg[sof + 5] = 0x4E;  // 20000
    jpeg[sof + 6] = 0x20;
    jpeg[sof + 7] = 0x4E;
    jpeg[sof + 8] = 0x20;
    CImageImplJPG image;
    EXPECT_FALSE(image.ReadMemory(jpeg));
    EXPECT_NE(image.LimitMessage().find("20000*20000"), std::string::npos) << image.LimitMessage();
}

TEST_F(ImageImplJPG, OtherBytesFail) {
    CImageImplJPG image;
    EXPECT_FALSE(image.ReadMemory(Bytes{}));
    EXPECT_FALSE(image.ReadMemory(Bytes{'B', 'M', 0, 0, 0, 0}));
    EXPECT_FALSE(image.ReadMemory(Bytes{0xFF, 0xD8, 0xFF, 0xD9}));
}

}  // namespace
