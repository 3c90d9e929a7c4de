#include <gtest/gtest.h>

#include "images/CImageImpl.h"
#include "images/TestImages.h"

using namespace testimages;

namespace {

TEST(ImageImpl, CreateFillsTheHeaderAndStandardTable) {
    CImageImpl image;
    ASSERT_TRUE(image.Create(33, 3, 1, -1));
    // 33 one-bit pixels need 5 bytes: padded to 8, never 4.
    EXPECT_EQ(image.GetRowBytes(), 8);
    EXPECT_EQ(image.Header().sizeImage, 24u);
    EXPECT_EQ(image.ImageBytes(), 24u);

    ASSERT_TRUE(image.Create(5, 2, 8, -1));
    const BitmapInfoHeader& h = image.Header();
    EXPECT_EQ(h.size, 40u);
    EXPECT_EQ(h.width, 5);
    EXPECT_EQ(h.height, 2);
    EXPECT_EQ(h.planes, 1);
    EXPECT_EQ(h.bitCount, 8);
    EXPECT_EQ(h.compression, 0u);
    EXPECT_EQ(h.sizeImage, 16u);
    EXPECT_EQ(h.clrUsed, 256u);
    EXPECT_EQ(image.GetFlags(), 0);
    ASSERT_EQ(image.ColourTable().size(), 256u);
    // The 16 standard colours, repeated.
    EXPECT_EQ(image.ColourTable()[1].Colour(), Rgb(128, 0, 0));
    EXPECT_EQ(image.ColourTable()[7].Colour(), Rgb(192, 192, 192));
    EXPECT_EQ(image.ColourTable()[8].Colour(), Rgb(128, 128, 128));
    EXPECT_EQ(image.ColourTable()[15].Colour(), Rgb(255, 255, 255));
    EXPECT_EQ(image.ColourTable()[16 + 9].Colour(), Rgb(255, 0, 0));
    EXPECT_EQ(image.ColourTable()[255].Colour(), Rgb(255, 255, 255));

    ASSERT_TRUE(image.Create(2, 2, 4, -1));
    EXPECT_EQ(image.Header().clrUsed, 16u);
    ASSERT_TRUE(image.Create(2, 2, 24, -1));
    EXPECT_EQ(image.Header().clrUsed, 0u);
    EXPECT_EQ(image.GetFlags(), CImageImpl::kFlagColour);
    EXPECT_TRUE(image.ColourTable().empty());
    ASSERT_TRUE(image.Create(2, 2, 24, 6));
    EXPECT_EQ(image.GetFlags(), 6);
}

TEST(ImageImpl, CreateRefusesWhatCannotBeAPicture) {
    CImageImpl image;
    ASSERT_TRUE(image.Create(4, 4, 8, -1));
    EXPECT_FALSE(image.Create(0, 4, 8, -1));
    EXPECT_FALSE(image.HasDib());
    EXPECT_TRUE(image.LimitMessage().empty());
    EXPECT_FALSE(image.Create(4, 4, 2, -1));
    EXPECT_FALSE(image.Create(20000, 10, 8, -1));
    EXPECT_NE(image.LimitMessage().find("16384"), std::string::npos);
    EXPECT_EQ(image.GetWidth(), 0);
}

TEST(ImageImpl, IndicesOfEachDepth) {
    for (int bits : {1, 4, 8}) {
        CImageImpl image;
        ASSERT_TRUE(image.Create(9, 2, bits, -1));
        const int top = (1 << bits) - 1;
        for (int x = 0; x < 9; ++x)
            ASSERT_TRUE(image.SetIndex(x, 1, x % (top + 1)));
        for (int x = 0; x < 9; ++x) {
            EXPECT_EQ(image.GetIndex(x, 1), x % (top + 1)) << bits << " bits, x " << x;
            EXPECT_EQ(image.GetIndex(x, 0), 0);
        }
        EXPECT_EQ(image.GetIndex(9, 0), -1);
        EXPECT_EQ(image.GetIndex(0, 2), -1);
        EXPECT_EQ(image.GetIndex(-1, 0), -1);
        EXPECT_FALSE(image.SetIndex(9, 0, 1));
    }
    // One-bit pixels are the most significant bit first.
    CImageImpl image;
    ASSERT_TRUE(image.Create(8, 1, 1, -1));
    image.SetIndex(0, 0, 1);
    EXPECT_EQ(image.Row(0)[0], 0x80);
    ASSERT_TRUE(image.Create(2, 1, 4, -1));
    image.SetIndex(1, 0, 0xA);
    EXPECT_EQ(image.Row(0)[0], 0x0A);
}

TEST(ImageImpl, TrueColourPixels) {
    CImageImpl image;
    ASSERT_TRUE(image.Create(3, 1, 24, -1));
    ASSERT_TRUE(image.SetRGB(2, 0, 10, 20, 30));
    EXPECT_EQ(image.Row(0)[6], 30);  // blue first
    EXPECT_EQ(image.Row(0)[8], 10);
    EXPECT_EQ(image.GetRGB(2, 0), Rgb(10, 20, 30));
    EXPECT_EQ(image.GetIndex(2, 0), -1);
    EXPECT_EQ(image.GetRGB(3, 0), Rgb(0, 0, 0));
    EXPECT_FALSE(image.SetRGB(0, 1, 1, 1, 1));

    ASSERT_TRUE(image.Create(1, 1, 16, -1));
    image.SetRGB(0, 0, 255, 0, 255);
    EXPECT_EQ(image.GetRGB(0, 0), Rgb(255, 0, 255));
}

TEST(ImageImpl, PaletteForms) {
    CImageImpl image;
    ASSERT_TRUE(image.Create(2, 1, 8, -1));
    const uint8_t red[] = {10, 200}, green[] = {20, 100}, blue[] = {30, 0};
    image.SetPalette(2, red, green, blue);
    ASSERT_NE(image.GetPalette(), nullptr);
    EXPECT_EQ(image.GetPalette()->size(), 2u);
    EXPECT_EQ(image.GetFlags() & 3, 3);
    EXPECT_EQ(image.ColourTable()[1].Colour(), Rgb(200, 100, 0));
    image.SetIndex(1, 0, 1);
    EXPECT_EQ(image.GetRGB(1, 0), Rgb(200, 100, 0));
    // SetRGB stores the nearest palette colour.
    image.SetRGB(0, 0, 190, 90, 10);
    EXPECT_EQ(image.GetIndex(0, 0), 1);

    // Missing green takes red; missing blue takes green.
    CImageImpl grey;
    ASSERT_TRUE(grey.Create(1, 1, 8, -1));
    const uint8_t ramp[] = {0, 77};
    grey.SetPalette(2, ramp, nullptr, nullptr);
    EXPECT_EQ((*grey.GetPalette())[1], Rgb(77, 77, 77));
    // An index past the palette (a damaged file) shows black, not the colour the standard
    // table of a new picture has there.
    grey.SetIndex(0, 0, 9);
    EXPECT_EQ(grey.GetRGB(0, 0), Rgb(0, 0, 0));
}

TEST(ImageImpl, SecondTriplePaletteIsReportedAndReplaces) {
    MessageRecorder messages;
    CImageImpl image;
    image.SetMessenger(&messages);
    ASSERT_TRUE(image.Create(1, 1, 8, -1));
    const uint8_t first[] = {1, 2, 3}, second[] = {4, 5, 6, 7, 8, 9};
    image.SetPalette(1, first);
    EXPECT_TRUE(messages.messages.empty());
    image.SetPalette(2, second);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0], "CImageImpl::imagePalette already exists!");
    EXPECT_EQ(image.GetPalette()->size(), 2u);
    EXPECT_EQ((*image.GetPalette())[1], Rgb(7, 8, 9));
}

TEST(ImageImpl, WideningKeepsTheColours) {
    CImageImpl image;
    ASSERT_TRUE(image.Create(5, 2, 4, -1));
    for (int x = 0; x < 5; ++x) {
        image.SetIndex(x, 0, x + 9);
        image.SetIndex(x, 1, x);
    }
    std::vector<COLORREF> before;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x)
            before.push_back(image.GetRGB(x, y));
    ASSERT_TRUE(image.WidenTo8Bits());
    EXPECT_EQ(image.GetBitCount(), 8);
    EXPECT_EQ(image.GetRowBytes(), 8);
    EXPECT_EQ(image.Header().clrUsed, 256u);
    size_t i = 0;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(image.GetRGB(x, y), before[i++]);
    EXPECT_FALSE(image.WidenTo8Bits());
}

TEST(ImageImpl, BaseClassCannotReadOrWrite) {
    CImageImpl image;
    const uint8_t bytes[] = {1, 2, 3};
    EXPECT_FALSE(image.ReadMemory(bytes));
    ASSERT_TRUE(image.Create(1, 1, 24, -1));
    EXPECT_FALSE(image.Write("/tmp/never-written.bmp"));
}

}  // namespace
