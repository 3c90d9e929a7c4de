#include <gtest/gtest.h>

#include "base/ByteArray.h"
#include "images/CImageImplBMP.h"
#include "images/PixelCodes.h"
#include "images/TestImages.h"

using namespace testimages;

namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

// Colour of picture pixel (x, y), row 0 at the top.
COLORREF At(const CImageImpl& image, int x, int y) {
    return image.GetRGB(x, image.GetHeight() - 1 - y);
}

// 3 x 2, 24 bits: top row red, green, blue; bottom row white, black, red.
BmpSpec Bmp24() {
    BmpSpec s;
    s.width = 3;
    s.height = 2;
    s.bits = 24;
    s.pixels = Rows24(3, 2, {kRed, kGreen, kBlue, kWhite, 0, kRed});
    return s;
}

void ExpectBmp24Picture(const CImageImpl& image) {
    ASSERT_EQ(image.GetWidth(), 3);
    ASSERT_EQ(image.GetHeight(), 2);
    EXPECT_EQ(At(image, 0, 0), Rgb(255, 0, 0));
    EXPECT_EQ(At(image, 1, 0), Rgb(0, 255, 0));
    EXPECT_EQ(At(image, 2, 0), Rgb(0, 0, 255));
    EXPECT_EQ(At(image, 0, 1), Rgb(255, 255, 255));
    EXPECT_EQ(At(image, 1, 1), Rgb(0, 0, 0));
    EXPECT_EQ(At(image, 2, 1), Rgb(255, 0, 0));
}

TEST(ImageImplBMP, TrueColourBottomUp) {
    CImageImplBMP image;
    ASSERT_TRUE(image.ReadMemory(MakeBmp(Bmp24())));
    EXPECT_EQ(image.GetBitCount(), 24);
    EXPECT_EQ(image.GetPalette(), nullptr);
    ExpectBmp24Picture(image);
}

TEST(ImageImplBMP, TopDownRowsAreTurned) {
    BmpSpec s = Bmp24();
    s.height = -2;
    // Rows24 wrote bottom-up; a top-down file lists the top row first.
    const size_t row = 12;
    Bytes flipped(s.pixels.begin() + row, s.pixels.end());
    flipped.insert(flipped.end(), s.pixels.begin(), s.pixels.begin() + row);
    s.pixels = flipped;
    CImageImplBMP image;
    ASSERT_TRUE(image.ReadMemory(MakeBmp(s)));
    EXPECT_EQ(image.Header().height, 2);
    ExpectBmp24Picture(image);
}

TEST(ImageImplBMP, BareDibWithoutFileHeader) {
    BmpSpec s = Bmp24();
    s.fileHeader = false;
    CImageImplBMP image;
    ASSERT_TRUE(image.ReadMemory(MakeBmp(s)));
    ExpectBmp24Picture(image);
}

TEST(ImageImplBMP, PaletteOfColoursUsedEntries) {
    BmpSpec s;
    s.width = 4;
    s.height = 1;
    s.bits = 8;
    s.coloursUsed = 3;
    s.table = {0, 0, 255, 0, /**/ 0, 255, 0, 0, /**/ 255, 0, 0, 0};  // red, green, blue
    s.pixels = {2, 0, 1, 7};
    CImageImplBMP image;
    ASSERT_TRUE(image.ReadMemory(MakeBmp(s)));
    ASSERT_NE(image.GetPalette(), nullptr);
    EXPECT_EQ(image.GetPalette()->size(), 3u);
    EXPECT_EQ(image.GetFlags() & 3, 3);
    EXPECT_EQ(image.GetRGB(0, 0), Rgb(0, 0, 255));
    EXPECT_EQ(image.GetRGB(1, 0), Rgb(255, 0, 0));
    EXPECT_EQ(image.GetRGB(2, 0), Rgb(0, 255, 0));
    EXPECT_EQ(image.GetRGB(3, 0), Rgb(0, 0, 0));  // past the table (a damaged file)
}

TEST(ImageImplBMP, FourBitWithFullTable) {
    BmpSpec s;
    s.width = 3;
    s.height = 1;
    s.bits = 4;
    for (int i = 0; i < 16; ++i)
        s.table.insert(s.table.end(), {uint8_t(i), uint8_t(i * 2), uint8_t(i * 3), 0});
    s.pixels = {0x1F, 0x20, 0, 0};
    CImageImplBMP image;
    ASSERT_TRUE(image.ReadMemory(MakeBmp(s)));
    EXPECT_EQ(image.GetPalette()->size(), 16u);
    EXPECT_EQ(image.GetRGB(0, 0), Rgb(3, 2, 1));
    EXPECT_EQ(image.GetRGB(1, 0), Rgb(45, 30, 15));
    EXPECT_EQ(image.GetRGB(2, 0), Rgb(6, 4, 2));
}

TEST(ImageImplBMP, OlderTwelveByteHeader) {
    // 9 x 2, 1 bit, colour table of 3-byte entries: black, yellow.
    Bytes b = {'B', 'M'};
    const uint32_t offset = 14 + 12 + 6;
    Put32(b, offset + 8);
    Put32(b, 0);
    Put32(b, offset);
    Put32(b, 12);
    Put16(b, 9);
    Put16(b, 2);
    Put16(b, 1);
    Put16(b, 1);
    b.insert(b.end(), {0, 0, 0, 0, 255, 255});
    b.insert(b.end(), {0x80, 0x80, 0, 0});  // bottom row: pixels 0 and 8
    b.insert(b.end(), {0x7F, 0x00, 0, 0});  // top row: pixels 1..7
    CImageImplBMP image;
    ASSERT_TRUE(image.ReadMemory(b));
    ASSERT_EQ(image.GetWidth(), 9);
    EXPECT_EQ(image.GetBitCount(), 1);
    EXPECT_EQ(image.GetRGB(0, 0), Rgb(255, 255, 0));
    EXPECT_EQ(image.GetRGB(8, 0), Rgb(255, 255, 0));
    EXPECT_EQ(image.GetRGB(1, 0), Rgb(0, 0, 0));
    EXPECT_EQ(image.GetRGB(0, 1), Rgb(0, 0, 0));
    EXPECT_EQ(image.GetRGB(7, 1), Rgb(255, 255, 0));
}

TEST(ImageImplBMP, BitFieldsBecomeTrueColour) {
    // 2 x 1, 16 bits 5-6-5 with masks after the header: pure red, then (0, 63, 31) / max.
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bits = 16;
    s.compression = 3;
    Bytes masks;
    Put32(masks, 0xF800);
    Put32(masks, 0x07E0);
    Put32(masks, 0x001F);
    s.table = masks;
    s.pixels = {0x00, 0xF8, 0xFF, 0x07};
    CImageImplBMP image;
    ASSERT_TRUE(image.ReadMemory(MakeBmp(s)));
    EXPECT_EQ(image.GetBitCount(), 24);
    EXPECT_EQ(image.GetRGB(0, 0), Rgb(255, 0, 0));
    EXPECT_EQ(image.GetRGB(1, 0), Rgb(0, 255, 255));
}

TEST(ImageImplBMP, SixteenAndThirtyTwoBitsKeepTheirDepth) {
    BmpSpec s;
    s.width = 1;
    s.height = 1;
    s.bits = 16;
    s.pixels = {0x1F, 0x00, 0, 0};  // 5-5-5 blue
    CImageImplBMP image;
    ASSERT_TRUE(image.ReadMemory(MakeBmp(s)));
    EXPECT_EQ(image.GetBitCount(), 16);
    EXPECT_EQ(image.GetRGB(0, 0), Rgb(0, 0, 255));
    s.bits = 32;
    s.pixels = {1, 2, 3, 0};
    ASSERT_TRUE(image.ReadMemory(MakeBmp(s)));
    EXPECT_EQ(image.GetBitCount(), 32);
    EXPECT_EQ(image.GetRGB(0, 0), Rgb(3, 2, 1));
}

// Every 16-bit value once in a 256 x 256 picture. Channels widen by repeating their high
// bits, so 17 of the 32 five-bit and 34 of the 64 six-bit levels survive the module's
// 5-6-5 code.
TEST(ImageImplBMP, SixteenBitLevelsWidenByRepeatingTheirHighBits) {
    const auto widen = [](unsigned v, int bits) {
        return uint8_t(bits == 5 ? (v << 3 | v >> 2) : (v << 2 | v >> 4));
    };
    const struct {
        const char* name;
        uint32_t compression;
        Bytes masks;
        int greenBits;
    } rows[] = {{"bitfields_565", 3, {0, 0xF8, 0, 0, 0xE0, 7, 0, 0, 0x1F, 0, 0, 0}, 6},
                {"bitfields_555", 3, {0, 0x7C, 0, 0, 0xE0, 3, 0, 0, 0x1F, 0, 0, 0}, 5},
                {"plain_555", 0, {}, 5}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        BmpSpec s{256, 256, 16, row.compression, 0, row.masks, {}};
        for (uint32_t v = 0; v < 65536; ++v)
            Put16(s.pixels, v);
        CImageImplBMP image;
        ASSERT_TRUE(image.ReadMemory(MakeBmp(s)));
        const int g = row.greenBits;
        int exact = 0;
        for (uint32_t v = 0; v < 65536; ++v) {
            const COLORREF c = image.GetRGB(int(v % 256), int(v / 256));
            ASSERT_EQ(c, Rgb(widen(v >> (5 + g) & 31, 5), widen(v >> 5 & ((1u << g) - 1), g),
                             widen(v & 31, 5)));
            exact += PixelCodes::ColourTo565(RedOf(c), GreenOf(c), BlueOf(c)) == v;
        }
        if (g == 6) {
            EXPECT_EQ(exact, 17 * 34 * 17) << "values the 5-6-5 code gives back";
        }
    }
}

// Run-length codes against the picture they stand for (rows from the top, a hex digit an
// index). Codes: count and index runs; 00 00 row end; 00 01 picture end; 00 02 dx dy move;
// 00 n and n literal indices padded to an even byte count. The first give the bottom row.
TEST(ImageImplBMP, RunLengthGivesThePicture) {
    const struct {
        const char* name;
        int bits, height;  // height < 0: rows top-down
        const char* codes;
        const char* picture;
    } rows[] = {{"rle8_rows", 8, 3, "0205 0003010203 00 0000 0507 0000 000409080706 0104 0001",
                 "98764 77777 55123"},
                {"rle8_delta", 8, 3, "0101 00020201 0209 0000 0503 0001", "33333 00099 10000"},
                {"rle8_past_the_row_no_end", 8, 3,
                 "0702 0106 0000 0003010203 00 0003040506 00 0000 0208", "88000 12345 22222"},
                {"rle8_codes_after_the_end", 8, 3, "0501 0001 0502", "00000 00000 11111"},
                {"rle8_move_past_the_top", 8, 3, "00020009 0501", "00000 00000 00000"},
                {"rle8_literal_cut_by_file_end", 8, 3, "00050102", "00000 00000 12000"},
                {"rle8_top_down", 8, -2, "0201 0000 0202 0001", "11 22"},
                {"rle4_rows", 4, 2, "0512 0000 0005345670 00 0001", "34567 12121"},
                {"rle4_delta_past_the_row", 4, 3,
                 "03AB 00020100 04CD 0000 00031230 00020001 02EF 0001", "000EF 12300 ABA0C"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const int width = int(std::string(row.picture).find(' '));
        Bytes codes;
        ASSERT_TRUE(FromHex(row.codes, codes));
        const uint32_t compression = row.bits == 8 ? 1 : 2;
        CImageImplBMP image;
        ASSERT_TRUE(image.ReadMemory(MakeBmp({width, row.height, uint16_t(row.bits), compression, 0,
                                              Bytes(4u << row.bits), codes})));
        std::string got;
        for (int y = image.GetHeight() - 1; y >= 0; --y) {
            for (int x = 0; x < width; ++x)
                got += "0123456789ABCDEF"[image.GetIndex(x, y)];
            got += y ? " " : "";
        }
        EXPECT_EQ(got, row.picture);
    }
}

TEST(ImageImplBMP, ShortOs2HeaderWithTwoBitPixels) {
    // 16-byte header, four colours (black, blue, green, red), one row: 3 2 1 0 3.
    Bytes b;
    ASSERT_TRUE(
        FromHex("424D 32000000 00000000 2E000000 10000000 05000000 01000000 0100 0200"
                "00000000 FF000000 00FF0000 0000FF00 E4C00000",
                b));
    CImageImplBMP image;
    ASSERT_TRUE(image.ReadMemory(b));
    EXPECT_EQ(image.GetBitCount(), 8);
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(image.GetRGB(x, 0),
                  (std::array<COLORREF, 5>{0xFF, 0xFF00, 0xFF0000, 0, 0xFF}[x]));
}

struct DamageRow {
    const char* name;
    Bytes (*make)();
    bool limit;
};

void PrintTo(const DamageRow& row, std::ostream* os) {
    *os << row.name;
}

Bytes HugeWidth() {
    BmpSpec s = Bmp24();
    s.width = 20000;
    return MakeBmp(s);
}
Bytes RowsMissing() {
    BmpSpec s = Bmp24();
    s.pixels.resize(12);
    s.height = 2;
    return MakeBmp(s);
}
Bytes HugeColourCount() {
    BmpSpec s;
    s.width = 1;
    s.height = 1;
    s.bits = 8;
    s.coloursUsed = 0x40000000;
    s.pixels = {0, 0, 0, 0};
    return MakeBmp(s);
}
Bytes TableLongerThanFile() {
    BmpSpec s;
    s.width = 1;
    s.height = 1;
    s.bits = 8;
    s.table.assign(40, 0);  // 10 entries where 256 are due
    return MakeBmp(s);
}
Bytes RunLengthOfTheWrongDepth() {
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bits = 24;
    s.compression = 1;
    s.pixels = {2, 1, 0, 1};
    return MakeBmp(s);
}
Bytes RunLengthOneRowOverTheLimit() {
    return MakeBmp(BmpSpec{8192, 8193, 8, 1, 0, Bytes(1024), {0, 1}});
}
Bytes ShortHeaderSize() {
    Bytes b = MakeBmp(Bmp24());
    b[14] = 14;
    return b;
}
Bytes OddDepth() {
    BmpSpec s = Bmp24();
    s.bits = 7;
    return MakeBmp(s);
}
Bytes PixelOffsetPastEnd() {
    Bytes b = MakeBmp(Bmp24());
    b[10] = 0xF0;
    b[11] = 0xFF;
    return b;
}
Bytes ZeroHeight() {
    BmpSpec s = Bmp24();
    s.height = 0;
    return MakeBmp(s);
}

class DamagedBmp : public testing::TestWithParam<DamageRow> {};
TEST_P(DamagedBmp, FailsWithoutPicture) {
    CImageImplBMP image;
    EXPECT_FALSE(image.ReadMemory(GetParam().make()));
    EXPECT_FALSE(image.HasDib());
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(!image.LimitMessage().empty(), GetParam().limit);
}
INSTANTIATE_TEST_SUITE_P(
    Files, DamagedBmp,
    testing::Values(DamageRow{"huge_width", HugeWidth, true},
                    DamageRow{"rle8_8192x8193", RunLengthOneRowOverTheLimit, true},
                    DamageRow{"rows_missing", RowsMissing, false},
                    DamageRow{"huge_colour_count", HugeColourCount, false},
                    DamageRow{"table_past_end", TableLongerThanFile, false},
                    DamageRow{"rle8_of_24_bits", RunLengthOfTheWrongDepth, false},
                    DamageRow{"header_size_14", ShortHeaderSize, false},
                    DamageRow{"depth_7", OddDepth, false},
                    DamageRow{"offset_past_end", PixelOffsetPastEnd, false},
                    DamageRow{"zero_height", ZeroHeight, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageImplBMP, EveryTruncationFails) {
    const Bytes whole = MakeBmp(Bmp24());
    for (size_t n = 0; n < whole.size(); ++n) {
        CImageImplBMP image;
        const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(image.ReadMemory(part)) << n << " bytes";
    }
}

TEST(ImageImplBMP, WriteGivesTheFileBackByteForByte) {
    const Bytes original = MakeBmp(Bmp24());
    CImageImplBMP image;
    ASSERT_TRUE(image.ReadMemory(original));
    TempDir dir;
    ASSERT_TRUE(image.Write(dir.File("copy.bmp")));
    EXPECT_EQ(ToHex(ReadFile(dir.File("copy.bmp"))), ToHex(original));
}

TEST(ImageImplBMP, WrittenSizesMatchTheLengthAtEveryDepth) {
    TempDir dir;
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        CImageImplBMP image;
        ASSERT_TRUE(image.Create(33, 3, bits, -1));
        for (int x = 0; x < 33; ++x)
            image.SetRGB(x, 1, 255, 255, 255);
        const std::string path = dir.File("d" + std::to_string(bits) + ".bmp");
        ASSERT_TRUE(image.Write(path));
        const Bytes file = ReadFile(path);
        const uint32_t size = file[2] | (file[3] << 8) | (file[4] << 16) | (file[5] << 24);
        const uint32_t offset = file[10] | (file[11] << 8) | (file[12] << 16) | (file[13] << 24);
        EXPECT_EQ(size, file.size()) << bits;
        EXPECT_EQ(file.size() - offset, image.ImageBytes()) << bits;
        CImageImplBMP back;
        ASSERT_TRUE(back.ReadMemory(file)) << bits;
        EXPECT_EQ(back.GetBitCount(), bits);
        for (int x = 0; x < 33; ++x) {
            ASSERT_EQ(back.GetRGB(x, 1), image.GetRGB(x, 1)) << bits << " bits, x " << x;
            ASSERT_EQ(back.GetRGB(x, 0), image.GetRGB(x, 0)) << bits << " bits, x " << x;
        }
    }
}

TEST(ImageImplBMP, WriteIntoAMissingFolderFailsCleanly) {
    CImageImplBMP image;
    ASSERT_TRUE(image.Create(2, 2, 24, -1));
    EXPECT_FALSE(image.Write("/nonexistent-folder/x.bmp"));
    CImageImplBMP empty;
    EXPECT_FALSE(empty.Write("/tmp/never.bmp"));
}

}  // namespace
