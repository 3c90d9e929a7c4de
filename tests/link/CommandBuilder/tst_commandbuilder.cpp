// Command heads in the three instruction modes, the font and firmware records, and the
// background and bitmap records, byte for byte against the command table.

#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <string>

#include "base/ByteArray.h"
#include "link/CommandBuilder.h"

namespace {

using CB = CommandBuilder;
constexpr int S = CB::ModeShort;
constexpr int C = CB::ModeChecksum;
constexpr int L = CB::ModeLong;

struct CommandRow {
    const char* name;
    std::function<void(CByteArray&)> build;
    const char* expected;
};

void PrintTo(const CommandRow& row, std::ostream* os) {
    *os << row.name;
}

class CommandTable : public testing::TestWithParam<CommandRow> {};

TEST_P(CommandTable, BytesAsInTheTable) {
    // Commands append: what is already in the buffer stays in front.
    CByteArray bytes{0xEE};
    GetParam().build(bytes);
    EXPECT_EQ(ToHex(bytes), std::string("EE ") + GetParam().expected);
}

// Sums of the checksum form are worked out in the comments: 16 bits, high byte first.
const CommandRow kCommandRows[] = {
    // Show page: never long.
    {"ShowPageShort", [](CByteArray& b) { CB::ShowPage(b, S, 200); }, "1B 50 C8"},
    {"ShowPageChecksum200",  // 1B+50+01+C8 = 0134
     [](CByteArray& b) { CB::ShowPage(b, C, 200); }, "1B 50 01 C8 01 34"},
    {"ShowPageChecksum5",  // 1B+50+01+05 = 0071
     [](CByteArray& b) { CB::ShowPage(b, C, 5); }, "1B 50 01 05 00 71"},
    {"ShowPageLongIsShort", [](CByteArray& b) { CB::ShowPage(b, L, 200); }, "1B 50 C8"},
    // Options 01 and 02: checksum only in checksum mode.
    {"OptionShort", [](CByteArray& b) { CB::Option(b, S, 1, 1); }, "1B 5D 01 01 01"},
    {"OptionChecksum",  // 1B+5D+03+01+01+01 = 007E
     [](CByteArray& b) { CB::Option(b, C, 1, 1); }, "1B 5D 03 01 01 01 00 7E"},
    {"OptionLongIsShort", [](CByteArray& b) { CB::Option(b, L, 1, 0); }, "1B 5D 01 01 00"},
    {"ParallelOptionChecksum",  // 1B+5D+03+01+02+00 = 007E
     [](CByteArray& b) { CB::Option(b, C, 2, 0); }, "1B 5D 03 01 02 00 00 7E"},
    // Option 00 follows the mode before the change.
    {"ModeShortToShort", [](CByteArray& b) { CB::ModeOption(b, S, S); }, "1B 5D 01 00 00"},
    {"ModeShortToChecksum",  // 1B+5D+03+01+00+01 = 007D
     [](CByteArray& b) { CB::ModeOption(b, S, C); }, "1B 5D 03 01 00 01 00 7D"},
    {"ModeShortToLong", [](CByteArray& b) { CB::ModeOption(b, S, L); }, "1B 5D 01 00 01"},
    {"ModeChecksumToShort",  // 1B+5D+03+01 = 007C
     [](CByteArray& b) { CB::ModeOption(b, C, S); }, "1B 5D 03 01 00 00 00 7C"},
    {"ModeChecksumToChecksum", [](CByteArray& b) { CB::ModeOption(b, C, C); },
     "1B 5D 03 01 00 01 00 7D"},
    {"ModeChecksumToLong", [](CByteArray& b) { CB::ModeOption(b, C, L); },
     "1B 5D 03 01 00 01 00 7D"},
    {"ModeLongToShort", [](CByteArray& b) { CB::ModeOption(b, L, S); }, "1B 5D 01 00 00"},
    {"ModeLongToChecksum", [](CByteArray& b) { CB::ModeOption(b, L, C); }, "1B 5D 01 00 01"},
    {"ModeLongToLong", [](CByteArray& b) { CB::ModeOption(b, L, L); }, "1B 5D 01 00 01"},
    {"PageSize512", [](CByteArray& b) { CB::PageSizeOption(b, true); }, "1B 5D 01 02 01"},
    {"PageSize256", [](CByteArray& b) { CB::PageSizeOption(b, false); }, "1B 5D 01 02 00"},
    // Baud: the sum is 39 + i.
    {"BaudShort", [](CByteArray& b) { CB::Baud(b, S, 4); }, "1B 1D 04"},
    {"BaudChecksum4", [](CByteArray& b) { CB::Baud(b, C, 4); }, "1B 1D 01 04 00 3D"},
    {"BaudChecksum0", [](CByteArray& b) { CB::Baud(b, C, 0); }, "1B 1D 01 00 00 39"},
    {"BaudLongIsShort", [](CByteArray& b) { CB::Baud(b, L, 2); }, "1B 1D 02"},
    // Start check is a flash command: it has a long form.
    {"StartCheckShort", [](CByteArray& b) { CB::StartCheck(b, S); }, "1B 3F 01"},
    {"StartCheckChecksum", [](CByteArray& b) { CB::StartCheck(b, C); }, "1B 3F 01 01 00 5C"},
    {"StartCheckLong", [](CByteArray& b) { CB::StartCheck(b, L); }, "1B 3F 0A A0 0A 01"},
    // Always short, with no mode at all.
    {"ReadConfiguration", [](CByteArray& b) { CB::ReadConfiguration(b); }, "1B 5D 00"},
    {"ReadVersion", [](CByteArray& b) { CB::ReadVersion(b); }, "1B 5E 00"},
    // Page record head.
    {"PageHeadShort", [](CByteArray& b) { CB::PageRecordHead(b, S, 3, 2); }, "1B 56 03 02"},
    {"PageHeadChecksum",  // 1B+56+02+03+02 = 0078
     [](CByteArray& b) { CB::PageRecordHead(b, C, 3, 2); }, "1B 56 02 03 02 00 78"},
    {"PageHeadChecksumCarries",  // 1B+56+02+FF+FF = 0271
     [](CByteArray& b) { CB::PageRecordHead(b, C, 0xFF, 0xFF); }, "1B 56 02 FF FF 02 71"},
    {"PageHeadLong", [](CByteArray& b) { CB::PageRecordHead(b, L, 3, 2); }, "1B 56 0A A0 0A 03 02"},
    // Local bitmap record head; 256 pages go out as 00.
    {"BitmapHeadShort", [](CByteArray& b) { CB::BitmapRecordHead(b, S, 1, 0x10, 3); },
     "1B 28 01 10 03"},
    {"BitmapHeadChecksum",  // 1B+28+03+01+10+03 = 005A
     [](CByteArray& b) { CB::BitmapRecordHead(b, C, 1, 0x10, 3); }, "1B 28 03 01 10 03 00 5A"},
    {"BitmapHeadLong", [](CByteArray& b) { CB::BitmapRecordHead(b, L, 1, 0x10, 3); },
     "1B 28 0A A0 0A 01 10 03"},
    {"BitmapHead256Pages", [](CByteArray& b) { CB::BitmapRecordHead(b, S, 2, 0, 256); },
     "1B 28 02 00 00"},
    // Flash block head: in checksum form 00 and the low byte of 3C + A.
    {"BlockHeadShort", [](CByteArray& b) { CB::BlockRecordHead(b, S, 0x0A); }, "1B 20 0A"},
    {"BlockHeadChecksum", [](CByteArray& b) { CB::BlockRecordHead(b, C, 0x0A); },
     "1B 20 01 0A 00 46"},
    {"BlockHeadChecksumWraps", [](CByteArray& b) { CB::BlockRecordHead(b, C, 0xD0); },
     "1B 20 01 D0 00 0C"},
    {"BlockHeadLong", [](CByteArray& b) { CB::BlockRecordHead(b, L, 0x0A); }, "1B 20 0A A0 0A 0A"},
    // Flash block records with small bodies.
    {"StandardFontLong",
     [](CByteArray& b) {
         const CByteArray file{0x01, 0x02, 0x03};
         CB::StandardFont(b, L, file);
     },
     "1B 20 0A A0 0A 0A 20 01 02 03"},
    {"StandardFontChecksum",
     [](CByteArray& b) {
         const CByteArray file{0x7F};
         CB::StandardFont(b, C, file);
     },
     "1B 20 01 0A 00 46 20 7F"},
    {"PageImageChecksum",  // 3C + 05 = 41; four pixel bytes padded to a page of 8
     [](CByteArray& b) {
         const CByteArray px{1, 2, 3, 4};
         CB::PageImageRecord(b, C, 5, px, 8);
     },
     "1B 20 01 05 00 41 00 01 02 03 04 FF FF FF FF"},
    {"PageImageLongWhole",
     [](CByteArray& b) {
         const CByteArray px{1, 2, 3, 4};
         CB::PageImageRecord(b, L, 5, px, 4);
     },
     "1B 20 0A A0 0A 05 00 01 02 03 04"},
    {"BitmapRecordPadded",
     [](CByteArray& b) {
         const CByteArray px{9, 8, 7};
         CB::BitmapRecord(b, S, 0, 4, 1, px, 4);
     },
     "1B 28 00 04 01 09 08 07 FF"},
    {"BitmapRecordWholePagesNoPadding",
     [](CByteArray& b) {
         const CByteArray px{9, 8, 7, 6};
         CB::BitmapRecord(b, C, 0, 4, 1, px, 4);
     },
     "1B 28 03 00 04 01 00 4B 09 08 07 06"},
};

INSTANTIATE_TEST_SUITE_P(Rows, CommandTable, testing::ValuesIn(kCommandRows),
                         [](const auto& info) { return std::string(info.param.name); });

// The prefix of a record and the bytes after it.
std::string Prefix(const CByteArray& bytes, size_t n) {
    return ToHex(CByteArray(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)));
}
bool AllPad(const CByteArray& bytes, size_t from, size_t to) {
    return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                       bytes.begin() + static_cast<std::ptrdiff_t>(to),
                       [](uint8_t b) { return b == 0xFF; });
}
CByteArray Pattern(size_t n) {
    CByteArray v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<uint8_t>(i * 7 + 3);
    return v;
}

struct FontRow {
    const char* name;
    int mode;
    size_t fileBytes;
    const char* head;  // through the kind byte
    size_t padding;
};

void PrintTo(const FontRow& row, std::ostream* os) {
    *os << row.name;
}

class CustomFontRecord : public testing::TestWithParam<FontRow> {};

TEST_P(CustomFontRecord, UnitsKindFileAndPadding) {
    const FontRow& row = GetParam();
    const CByteArray file = Pattern(row.fileBytes);
    CByteArray bytes;
    ASSERT_TRUE(CB::CustomFont(bytes, row.mode, 3, file));
    CByteArray head;
    ASSERT_TRUE(FromHex(row.head, head));
    ASSERT_EQ(bytes.size(), head.size() + row.fileBytes + row.padding);
    EXPECT_EQ(Prefix(bytes, head.size()), ToHex(head));
    EXPECT_TRUE(std::equal(file.begin(), file.end(), bytes.begin() + head.size()));
    EXPECT_TRUE(AllPad(bytes, head.size() + row.fileBytes, bytes.size()));
}

const FontRow kFontRows[] = {
    {"TenThousandShort", S, 10000, "1B 20 08 02 03", 6384},
    {"TenThousandChecksum", C, 10000, "1B 20 01 08 00 44 02 03", 6384},
    {"TenThousandLong", L, 10000, "1B 20 0A A0 0A 08 02 03", 6384},
    {"ExactlyOneUnit", S, 8192, "1B 20 08 01 03", 0},
    {"OneByteOver", S, 8193, "1B 20 08 02 03", 8191},
    {"LargestThatFits", S, 255 * 8192, "1B 20 08 FF 03", 0},
};

INSTANTIATE_TEST_SUITE_P(Rows, CustomFontRecord, testing::ValuesIn(kFontRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CustomFontRecord, TooLargeForTheCountByteAppendsNothing) {
    const CByteArray file(255 * 8192 + 1, 0x55);
    CByteArray bytes{0x01};
    EXPECT_FALSE(CB::CustomFont(bytes, S, 0, file));
    EXPECT_EQ(ToHex(bytes), "01");
}

TEST(StandardFontRecord, FileGoesOutWithoutPadding) {
    const CByteArray file = Pattern(1000);
    CByteArray bytes;
    CB::StandardFont(bytes, S, file);
    ASSERT_EQ(bytes.size(), 4 + file.size());
    EXPECT_EQ(Prefix(bytes, 4), "1B 20 0A 20");
    EXPECT_TRUE(std::equal(file.begin(), file.end(), bytes.begin() + 4));
}

struct FirmwareRow {
    const char* name;
    size_t imageBytes;
    uint8_t fill;
    const char* length;
    size_t padding;
    const char* sum;  // worked out by hand in the comment
};

void PrintTo(const FirmwareRow& row, std::ostream* os) {
    *os << row.name;
}

class FirmwareRecord : public testing::TestWithParam<FirmwareRow> {};

TEST_P(FirmwareRecord, LengthImagePaddingAndSum) {
    const FirmwareRow& row = GetParam();
    const CByteArray image(row.imageBytes, row.fill);
    CByteArray bytes{0xAA};  // not part of the sum
    ASSERT_TRUE(CB::FirmwareImage(bytes, image));
    ASSERT_EQ(bytes.size(), 1 + 6 + row.imageBytes + row.padding + 2);
    EXPECT_EQ(Prefix(bytes, 7), std::string("AA 1B 3D ") + row.length);
    EXPECT_TRUE(std::all_of(bytes.begin() + 7, bytes.begin() + 7 + row.imageBytes,
                            [&](uint8_t b) { return b == row.fill; }));
    EXPECT_TRUE(AllPad(bytes, 7 + row.imageBytes, bytes.size() - 2));
    EXPECT_EQ(ToHex(CByteArray(bytes.end() - 2, bytes.end())), row.sum);
}

const FirmwareRow kFirmwareRows[] = {
    // 1B + 3D + 10 = 0068
    {"ExactlyOneUnit", 4096, 0x00, "00 00 10 00", 0, "00 68"},
    // 1B + 3D + 10 + 12 + 4095 * FF = FEF7B
    {"OneByte", 1, 0x12, "00 00 10 00", 4095, "EF 7B"},
    // 1B + 3D + 20 + 4097 * 01 + 4095 * FF = FFF7A
    {"OneOverAUnit", 4097, 0x01, "00 00 20 00", 4095, "FF 7A"},
    // 1B + 3D + 01 + 65536 * FF = FF0059
    {"SixtyFourK", 65536, 0xFF, "00 01 00 00", 0, "00 59"},
};

INSTANTIATE_TEST_SUITE_P(Rows, FirmwareRecord, testing::ValuesIn(kFirmwareRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FirmwareRecord, SameBytesWhateverTheMode) {
    // The firmware command takes no mode: its bytes cannot depend on one.
    CByteArray a, b;
    ASSERT_TRUE(CB::FirmwareImage(a, Pattern(5000)));
    ASSERT_TRUE(CB::FirmwareImage(b, Pattern(5000)));
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.size(), 6u + 8192u + 2u);
}

struct ScreenRow {
    const char* name;
    int width, height, colours;
    bool pixels16;
    int64_t bytes;
};

void PrintTo(const ScreenRow& row, std::ostream* os) {
    *os << row.name;
}

class FullScreenSize : public testing::TestWithParam<ScreenRow> {};

TEST_P(FullScreenSize, BytesOfOnePicture) {
    const ScreenRow& r = GetParam();
    EXPECT_EQ(CB::FullScreenBytes(r.width, r.height, r.colours, r.pixels16), r.bytes);
}

const ScreenRow kScreenRows[] = {
    {"EightColoursTwoPixelsPerByte", 320, 234, 8, false, 37440},
    {"SixtyFourColours", 320, 240, 64, false, 76800},
    {"TwoFiftySixColours", 320, 240, 256, false, 76800},
    {"BoardWithSixteenBitPixels", 320, 240, 8, true, 153600},
    {"SixteenBitColour", 320, 240, 16, false, 153600},
    {"FourteenBitColour", 320, 240, 14, false, 153600},
    {"NoScreen", 0, 240, 8, false, 0},
    {"OddWidthAtEightColoursDropsTheLastPixel", 3, 5, 8, false, 5},
    {"ColourCountWithoutPixelFormat", 320, 240, 32, false, 0},
};

INSTANTIATE_TEST_SUITE_P(Rows, FullScreenSize, testing::ValuesIn(kScreenRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
