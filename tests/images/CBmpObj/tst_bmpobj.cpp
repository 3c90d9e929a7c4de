#include <gtest/gtest.h>

#include "base/Archive.h"
#include "base/ClassRegistry.h"
#include "gfx/Surface.h"
#include "images/CBmpObj/BmpFixtures.h"
#include "images/ImageClasses.h"

using namespace bmptest;

namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;
const std::string kNotice262144 =
    "位图大小越限,单个局部位图的 "
    "宽度*高度<=262144,\t\t\t\t\t\t\t\t\t\t\r\n\r\n请用全屏位图或者缩小位图";
const std::string kNotice131072 =
    "位图大小越限,单个局部位图的 "
    "宽度*高度<=131072,\t\t\t\t\t\t\t\t\t\t\r\n\r\n请用全屏位图或者缩小位图";

PageFormat Page(int colours, int w = 320, int h = 240) {
    return PageFormat{colours, w, h};
}

// ---- size notices -------------------------------------------------------------------

struct NoticeRow {
    const char* name;
    int colours;
    int width, height;
    bool sizeCheck;
    const std::string* notice;
};

void PrintTo(const NoticeRow& row, std::ostream* os) {
    *os << row.name;
}

class BmpObjNotice : public BmpObjTest, public testing::WithParamInterface<NoticeRow> {};
TEST_P(BmpObjNotice, SizeCheck) {
    const NoticeRow& row = GetParam();
    const std::string path = Bmp8File("big.bmp", row.width, row.height);
    MessageRecorder messages;
    CBmpObj bmp(path, row.sizeCheck, Page(row.colours), messages);
    // A notice only: the picture is loaded either way.
    EXPECT_EQ(bmp.GetWidth(), row.width);
    EXPECT_EQ(bmp.GetHeight(), row.height);
    if (!row.notice) {
        EXPECT_TRUE(messages.messages.empty());
        return;
    }
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0], *row.notice);
    EXPECT_EQ(messages.captions[0], "提示");
}
INSTANTIATE_TEST_SUITE_P(
    Limits, BmpObjNotice,
    // 481 x 545 = 262145 and 5243 x 25 = 131075 (131073 has no factors below 16384).
    testing::Values(NoticeRow{"c8_exactly_262144", 8, 512, 512, true, nullptr},
                    NoticeRow{"c8_262145", 8, 481, 545, true, &kNotice262144},
                    NoticeRow{"c8_never_131072", 8, 5243, 25, true, nullptr},
                    NoticeRow{"c64_exactly_131072", 64, 512, 256, true, nullptr},
                    NoticeRow{"c64_131075", 64, 5243, 25, true, &kNotice131072},
                    NoticeRow{"c256_131075", 256, 5243, 25, true, &kNotice131072},
                    NoticeRow{"c4_no_notice", 4, 481, 545, true, nullptr},
                    NoticeRow{"check_off", 64, 5243, 25, false, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- page counts --------------------------------------------------------------------

struct PagesRow {
    const char* name;
    int board;
    PageFormat page;
    Rect rect;
    int pages;
};

void PrintTo(const PagesRow& row, std::ostream* os) {
    *os << row.name;
}

class BmpObjPages : public testing::TestWithParam<PagesRow> {};
TEST_P(BmpObjPages, OfTheItemsBox) {
    const PagesRow& row = GetParam();
    EXPECT_EQ(CBmpObj::PageCount(row.rect, row.page, DownloadSettings::ForBoard(row.board)),
              row.pages);
}
INSTANTIATE_TEST_SUITE_P(
    Boards, BmpObjPages,
    testing::Values(
        // 100 x 100 = 10000 pixels.
        PagesRow{"board0_512", 0, Page(256), Rect{0, 0, 100, 100}, 20},
        PagesRow{"board1_16bit_256", 1, Page(256), Rect{0, 0, 100, 100}, 40},
        PagesRow{"board2_2048", 2, Page(64), Rect{0, 0, 100, 100}, 5},
        PagesRow{"board3_256", 3, Page(64), Rect{0, 0, 100, 100}, 40},
        PagesRow{"c8_320x234_1024", 0, Page(8, 320, 234), Rect{0, 0, 100, 100}, 10},
        PagesRow{"c8_320x240_512", 0, Page(8, 320, 240), Rect{0, 0, 100, 100}, 20},
        PagesRow{"sixteen_bit_wins", 1, Page(8, 320, 234), Rect{0, 0, 100, 100}, 40},
        PagesRow{"exact_multiple", 0, Page(256), Rect{10, 10, 42, 26}, 1},
        PagesRow{"one_pixel_more", 0, Page(256), Rect{10, 10, 43, 26}, 2},
        PagesRow{"flipped_box", 0, Page(256), Rect{100, 100, 0, 0}, 20}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- pixel streams ------------------------------------------------------------------

class BmpObjPixels : public BmpObjTest {
protected:
    std::string Stream(const std::vector<uint32_t>& rgb, int w, int h, int colours, int outW = -1,
                       int outH = -1) {
        CBmpObj bmp(Bmp24File("p.bmp", w, h, rgb), false, Page(colours), messages);
        EXPECT_TRUE(bmp.HasPicture());
        CByteArray bytes;
        const int n = bmp.AppendPixels(bytes, colours, outW, outH, settings);
        EXPECT_EQ(n, static_cast<int>(bytes.size()));
        return ToHex(bytes);
    }
};

TEST_F(BmpObjPixels, EightColoursPackTwoPixelsPerByte) {
    EXPECT_EQ(Stream({kRed, kGreen, kBlue, kWhite}, 4, 1, 8), "21 74");
}

TEST_F(BmpObjPixels, EightColoursDropTheLastPixelOfAnOddRow) {
    EXPECT_EQ(Stream({kRed, kGreen, kBlue, kWhite, 0, kWhite}, 3, 2, 8), "21 07");
}

TEST_F(BmpObjPixels, SixtyFourAnd256Colours) {
    EXPECT_EQ(Stream({0x250000, 0xDBDBD5}, 2, 1, 64), "01 77");
    EXPECT_EQ(Stream({kWhite, 0xC86432}, 2, 1, 256), "FF CD");
}

struct WideRow {
    const char* name;
    int board;
    bool sixteenBit;
    int colours;
    const char* red;
};

void PrintTo(const WideRow& row, std::ostream* os) {
    *os << row.name;
}
class BmpObjWidePixels : public BmpObjPixels, public testing::WithParamInterface<WideRow> {};
TEST_P(BmpObjWidePixels, ByteOrderByBoard) {
    const WideRow& row = GetParam();
    settings.boardType = row.board;
    settings.pixels16 = row.sixteenBit;
    EXPECT_EQ(Stream({kRed, kWhite}, 2, 1, row.colours), std::string(row.red) + " FF FF");
}
INSTANTIATE_TEST_SUITE_P(Orders, BmpObjWidePixels,
                         testing::Values(WideRow{"c14_high_first", 0, false, 14, "F8 00"},
                                         WideRow{"c14_board1_low_first", 1, false, 14, "00 F8"},
                                         WideRow{"c16_like_c14", 2, false, 16, "F8 00"},
                                         WideRow{"flag_board1_any_count", 1, true, 64, "00 F8"},
                                         WideRow{"flag_board1_eight", 1, true, 8, "00 F8"},
                                         WideRow{"flag_other_board_high_first", 3, true, 256,
                                                 "F8 00"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BmpObjPixels, NearestNeighbourStretch) {
    // 2 x 2 doubled: each pixel becomes a 2 x 2 block, rows top to bottom.
    EXPECT_EQ(Stream({kRed, kGreen, kBlue, kWhite}, 2, 2, 256, 4, 4),
              "E0 E0 1C 1C E0 E0 1C 1C 03 03 FF FF 03 03 FF FF");
    // Shrunk to one pixel: the pixel under the centre.
    EXPECT_EQ(Stream({kRed, kGreen, kBlue, kWhite}, 2, 2, 256, 1, 1), "FF");
    // Own size.
    EXPECT_EQ(Stream({kRed, kGreen, kBlue, kWhite}, 2, 2, 256), "E0 1C 03 FF");
}

TEST_F(BmpObjPixels, UnknownColourCountAppendsNothing) {
    EXPECT_EQ(Stream({kRed, kGreen}, 2, 1, 32), "");
}

TEST_F(BmpObjPixels, EmptyOrUnusableRequests) {
    CBmpObj empty;
    CByteArray bytes{0x55};
    EXPECT_EQ(empty.AppendPixels(bytes, 256, 4, 4, settings), -1);
    EXPECT_EQ(empty.AppendFullScreenBitmap(bytes, Page(256), settings), -1);
    EXPECT_EQ(empty.AppendPageImage(bytes, Page(256), 3, settings), -1);
    EXPECT_EQ(ToHex(bytes), "55");

    CBmpObj bmp(Bmp24File("p.bmp", 2, 1, {kRed, kGreen}), false, Page(256), messages);
    EXPECT_EQ(bmp.AppendPixels(bytes, 256, 0, 5, settings), 0);
    EXPECT_EQ(bmp.AppendPixels(bytes, 256, 20000, 10, settings), -1);
    EXPECT_EQ(ToHex(bytes), "55");
}

TEST_F(BmpObjPixels, FullScreenFrames) {
    CBmpObj bmp(Bmp24File("p.bmp", 2, 1, {kWhite, kRed}), false, Page(64), messages);
    CByteArray bytes;
    EXPECT_EQ(bmp.AppendFullScreenBitmap(bytes, Page(64, 4, 2), settings), 8);
    EXPECT_EQ(ToHex(bytes), "1B 18 00 00 00 00 04 00 02 00 77 77 11 11 77 77 11 11");

    bytes.clear();
    EXPECT_EQ(bmp.AppendFullScreenBitmap(bytes, Page(8, 320, 234), settings), 160 * 234);
    ASSERT_EQ(bytes.size(), 8u + 160 * 234);
    EXPECT_EQ(ToHex(CByteArray(bytes.begin(), bytes.begin() + 10)),
              "1B 18 00 00 00 00 A0 EA 77 77");
    // Left half white (7), right half red (1), meeting between bytes 79 and 80 of a row.
    EXPECT_EQ(bytes[8 + 79], 0x77);
    EXPECT_EQ(bytes[8 + 80], 0x11);
    EXPECT_EQ(bytes[8 + 160 + 80], 0x11);
}

struct PageImageRow {
    const char* name;
    int mode;
    int board;
    int w, h;
    const char* prefix;
    int pixels, padding;
};

void PrintTo(const PageImageRow& row, std::ostream* os) {
    *os << row.name;
}
class BmpObjPageImage : public BmpObjPixels, public testing::WithParamInterface<PageImageRow> {};
TEST_P(BmpObjPageImage, PrefixPixelsPadding) {
    const PageImageRow& row = GetParam();
    settings.SetBoardType(row.board);
    settings.instructionMode = row.mode;
    CBmpObj bmp(Bmp24File("p.bmp", 1, 1, {kRed}), false, Page(256), messages);
    CByteArray bytes;
    const int n = bmp.AppendPageImage(bytes, Page(256, row.w, row.h), 200, settings);
    EXPECT_EQ(n, row.pixels + row.padding);
    const std::string prefix = row.prefix;
    const size_t prefixBytes = (prefix.size() + 1) / 3;
    ASSERT_EQ(bytes.size(), prefixBytes + row.pixels + row.padding);
    EXPECT_EQ(
        ToHex(CByteArray(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(prefixBytes))),
        prefix);
    const uint8_t pixel = row.board == 1 ? 0x00 : 0xE0;  // 16-bit red goes low byte first
    EXPECT_EQ(bytes[prefixBytes], pixel);
    for (int i = 0; i < row.padding; ++i)
        ASSERT_EQ(bytes[prefixBytes + row.pixels + i], 0xFF) << i;
    if (row.padding == 0) {
        EXPECT_NE(bytes.back(), 0xFF);
    }
}
INSTANTIATE_TEST_SUITE_P(
    Modes, BmpObjPageImage,
    testing::Values(PageImageRow{"short_exact_pages", 0, 0, 32, 16, "1B 20 C8 00", 512, 0},
                    PageImageRow{"short_padded", 0, 0, 30, 16, "1B 20 C8 00", 480, 32},
                    PageImageRow{"checksum_wraps_id", 1, 0, 30, 16, "1B 20 01 C8 00 04 00", 480,
                                 32},
                    PageImageRow{"long", 2, 0, 30, 16, "1B 20 0A A0 0A C8 00", 480, 32},
                    PageImageRow{"board2_2048", 0, 2, 30, 16, "1B 20 C8 00", 480, 1568},
                    PageImageRow{"board3_256", 0, 3, 30, 16, "1B 20 C8 00", 480, 32},
                    PageImageRow{"board1_16bit", 0, 1, 30, 16, "1B 20 C8 00", 960, 64}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- archive record -----------------------------------------------------------------

// 4 x 1, 24 bits: (10 20 30) (40 50 60) (70 80 90) (A0 B0 C0); the last two pixel bytes
// are the green and red of the last pixel.
const char kRecord24[] =
    "42 4D "                          // 1 "BM"
    "42 00 00 00 "                    // 2 file size 66
    "00 00 00 00 "                    // 3, 4 reserved
    "36 00 00 00 "                    // 5 pixel offset 54
    "18 00 "                          // 6 bits per pixel
    "00 00 00 00 "                    // 7 important colours
    "00 00 00 00 "                    // 8 colours used
    "00 00 00 00 "                    // 9 compression
    "01 00 00 00 "                    // 10 height
    "01 00 "                          // 11 planes
    "28 00 00 00 "                    // 12 header size
    "0C 00 00 00 "                    // 13 image size
    "04 00 00 00 "                    // 14 width
    "00 00 00 00 00 00 00 00 "        // 15, 16 resolutions
    "0C 00 00 00 "                    // 17 data length
    "02 00 00 00 "                    // 18 block
    "11 00 00 00 "                    // 19 start page
    "07 70 69 63 2E 62 6D 70 "        // 20 "pic.bmp"
    "30 20 10 60 50 40 90 80 70 C0 "  // 22 pixels
    "B0 A0";                          // 23 the last two bytes

class BmpObjRecord : public BmpObjTest {
protected:
    std::unique_ptr<CBmpObj> Load(const CByteArray& bytes, Archive*& out) {
        registry = std::make_unique<ClassRegistry>();
        ImageClasses::Register(*registry);
        archive = std::make_unique<Archive>(bytes, *registry);
        out = archive.get();
        auto bmp = std::make_unique<CBmpObj>();
        bmp->Serialize(*archive);
        return bmp;
    }
    std::unique_ptr<ClassRegistry> registry;
    std::unique_ptr<Archive> archive;
};

TEST_F(BmpObjRecord, StoresTheFieldsInTheirOrderWithEveryPixelByte) {
    CBmpObj bmp(Bmp24File("p.bmp", 4, 1, {0x102030, 0x405060, 0x708090, 0xA0B0C0}), false,
                Page(256), messages);
    ASSERT_TRUE(bmp.HasPicture());
    bmp.m_nBlock = 2;
    bmp.m_nStartPage = 17;
    bmp.m_strPath = "pic.bmp";
    Archive ar;
    bmp.Serialize(ar);
    EXPECT_EQ(ToHex(ar.Bytes()), kRecord24);
}

// The source path is only information: characters GBK lacks are stored as "?" so the page
// still saves, and the object keeps its own path.
TEST_F(BmpObjRecord, APathGbkCannotHoldIsStoredWithQuestionMarks) {
    CBmpObj bmp(Bmp24File("p.bmp", 4, 1, {0x102030, 0x405060, 0x708090, 0xA0B0C0}), false,
                Page(256), messages);
    bmp.m_nBlock = 2;
    bmp.m_nStartPage = 17;
    bmp.m_strPath =
        "p\xF0\x9F\x98\x80"
        "c.bmp";  // an emoji between "p" and "c"
    Archive ar;
    bmp.Serialize(ar);
    ASSERT_TRUE(ar.Ok()) << ar.Error().message;
    std::string expected = kRecord24;
    // "pic.bmp" and "p?c.bmp" have the same length.
    expected.replace(expected.find(ToHex(CByteArray{'p', 'i', 'c'})), 8, "70 3F 63");
    EXPECT_EQ(ToHex(ar.Bytes()), expected);
    EXPECT_EQ(bmp.m_strPath,
              "p\xF0\x9F\x98\x80"
              "c.bmp");
}

TEST_F(BmpObjRecord, LoadsEveryPixelBackIncludingTheLastTwoBytes) {
    CByteArray bytes;
    ASSERT_TRUE(FromHex(kRecord24, bytes));
    Archive* ar = nullptr;
    auto bmp = Load(bytes, ar);
    ASSERT_TRUE(ar->Ok()) << ar->Error().message;
    EXPECT_EQ(ar->Remaining(), 0u);
    ASSERT_TRUE(bmp->HasPicture());
    EXPECT_EQ(bmp->GetWidth(), 4);
    EXPECT_EQ(bmp->m_nBlock, 2);
    EXPECT_EQ(bmp->m_nStartPage, 17);
    EXPECT_EQ(bmp->m_strPath, "pic.bmp");
    EXPECT_EQ(bmp->m_nDataLen, 12);
    EXPECT_EQ(bmp->GetColour(0, 0), Rgb(0x10, 0x20, 0x30));
    EXPECT_EQ(bmp->GetColour(3, 0), Rgb(0xA0, 0xB0, 0xC0));
    Archive again;
    bmp->Serialize(again);
    EXPECT_EQ(ToHex(again.Bytes()), kRecord24);
}

TEST_F(BmpObjRecord, RecordsWithZerosAtTheEndStillLoad) {
    std::string hex = kRecord24;
    hex.replace(hex.size() - 5, 5, "00 00");
    CByteArray bytes;
    ASSERT_TRUE(FromHex(hex, bytes));
    Archive* ar = nullptr;
    auto bmp = Load(bytes, ar);
    ASSERT_TRUE(ar->Ok());
    EXPECT_EQ(bmp->GetColour(2, 0), Rgb(0x70, 0x80, 0x90));
    EXPECT_EQ(bmp->GetColour(3, 0), Rgb(0, 0, 0xC0));
}

TEST_F(BmpObjRecord, EightBitRecordCarriesTheTable) {
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bits = 8;
    for (int i = 0; i < 256; ++i)
        s.table.insert(s.table.end(), {uint8_t(i), uint8_t(255 - i), 7, 0});
    s.pixels = {3, 250, 0, 0};
    const std::string path = dir.File("p8.bmp");
    ASSERT_TRUE(WriteFile(path, MakeBmp(s)));
    CBmpObj bmp(path, false, Page(256), messages);
    bmp.m_strPath = "";
    Archive ar;
    bmp.Serialize(ar);
    // 20 fixed fields of 66 bytes, an empty string, 1024 table bytes, 4 pixel bytes.
    ASSERT_EQ(ar.Bytes().size(), 66u + 1 + 1024 + 4);
    const CByteArray& b = ar.Bytes();
    EXPECT_EQ(ToHex(CByteArray(b.begin() + 2, b.begin() + 6)), "3A 04 00 00");  // 54 + 1024 + 4
    EXPECT_EQ(ToHex(CByteArray(b.begin() + 10, b.begin() + 14)), "36 04 00 00");
    EXPECT_EQ(ToHex(CByteArray(b.begin() + 67 + 12, b.begin() + 67 + 16)), "03 FC 07 00");
    EXPECT_EQ(ToHex(CByteArray(b.end() - 4, b.end())), "03 FA 00 00");

    Archive* loading = nullptr;
    auto back = Load(ar.Bytes(), loading);
    ASSERT_TRUE(loading->Ok());
    EXPECT_EQ(back->GetColour(0, 0), Rgb(7, 252, 3));
    EXPECT_EQ(back->GetColour(1, 0), Rgb(7, 5, 250));
}

TEST_F(BmpObjRecord, FramedByClassNameThroughTheRegistry) {
    CBmpObj bmp(Bmp24File("p.bmp", 4, 1, {0x102030, 0x405060, 0x708090, 0xA0B0C0}), false,
                Page(256), messages);
    bmp.m_strPath = "pic.bmp";
    bmp.m_nBlock = 2;
    bmp.m_nStartPage = 17;
    Archive ar;
    ar.WriteObject(&bmp);
    const std::string hex = ToHex(ar.Bytes());
    EXPECT_EQ(hex.substr(0, 3 * 13 - 1), "FF FF 01 00 07 00 43 42 6D 70 4F 62 6A");
    EXPECT_EQ(hex.substr(3 * 13), kRecord24);

    ClassRegistry registry;
    ImageClasses::Register(registry);
    EXPECT_EQ(registry.Schema("CBmpObj"), 1);
    Archive in(ar.Bytes(), registry);
    auto back = in.ReadObjectAs<CBmpObj>("CBmpObj");
    ASSERT_TRUE(in.Ok()) << in.Error().message;
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetColour(3, 0), Rgb(0xA0, 0xB0, 0xC0));
}

TEST_F(BmpObjRecord, EveryTruncationFailsTheArchive) {
    CByteArray whole;
    ASSERT_TRUE(FromHex(kRecord24, whole));
    for (size_t n = 0; n < whole.size(); ++n) {
        Archive* ar = nullptr;
        auto bmp =
            Load(CByteArray(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n)), ar);
        EXPECT_FALSE(ar->Ok()) << n;
        EXPECT_FALSE(bmp->HasPicture()) << n;
    }
}

TEST_F(BmpObjRecord, DataLengthsThatCannotBe) {
    for (const char* length : {"01 00 00 00", "FF FF FF FF", "FF FF FF 7F"}) {
        std::string hex = kRecord24;
        hex.replace(hex.find("0C 00 00 00 02 00 00 00"), 11, length);
        CByteArray bytes;
        ASSERT_TRUE(FromHex(hex, bytes));
        Archive* ar = nullptr;
        auto bmp = Load(bytes, ar);
        EXPECT_FALSE(ar->Ok()) << length;
        EXPECT_FALSE(bmp->HasPicture());
    }
}

TEST_F(BmpObjRecord, UnusableHeaderLeavesTheObjectEmptyAndTheArchiveInStep) {
    // Offsets in the record: 14 bits per pixel, 24 compression, 28 height, 42 width.
    const struct {
        const char* name;
        size_t offset;
        std::vector<uint8_t> bytes;
    } cases[] = {{"depth_7", 14, {7}},
                 {"run_length", 24, {1}},
                 {"zero_width", 42, {0}},
                 {"height_20000", 28, {0x20, 0x4E}},
                 {"width_20000", 42, {0x20, 0x4E}},
                 {"more_pixels_than_data", 42, {5}}};
    for (const auto& c : cases) {
        CByteArray bytes;
        ASSERT_TRUE(FromHex(std::string(kRecord24) + " 78 56 34 12", bytes));
        std::copy(c.bytes.begin(), c.bytes.end(),
                  bytes.begin() + static_cast<std::ptrdiff_t>(c.offset));
        Archive* ar = nullptr;
        auto bmp = Load(bytes, ar);
        ASSERT_TRUE(ar->Ok()) << c.name << ": " << ar->Error().message;
        EXPECT_FALSE(bmp->HasPicture()) << c.name;
        uint32_t next = 0;
        ar->UInt32(next);
        EXPECT_EQ(next, 0x12345678u) << c.name;
    }
}

TEST_F(BmpObjRecord, EmptyObjectRecordRoundTrips) {
    CBmpObj empty;
    empty.m_strPath = "gone.png";
    empty.m_nBlock = 1;
    Archive ar;
    empty.Serialize(ar);
    Archive* in = nullptr;
    auto back = Load(ar.Bytes(), in);
    ASSERT_TRUE(in->Ok()) << in->Error().message;
    EXPECT_EQ(in->Remaining(), 0u);
    EXPECT_FALSE(back->HasPicture());
    EXPECT_EQ(back->m_strPath, "gone.png");
    Archive again;
    back->Serialize(again);
    EXPECT_EQ(ToHex(again.Bytes()), ToHex(ar.Bytes()));
}

// ---- loading files ------------------------------------------------------------------

struct LoadRow {
    const char* name;
    const char* file;
};

void PrintTo(const LoadRow& row, std::ostream* os) {
    *os << row.name;
}
class BmpObjLoad : public BmpObjTest, public testing::WithParamInterface<LoadRow> {};
TEST_P(BmpObjLoad, EachFormatDecodedInMemory) {
    const std::string path = dir.File(GetParam().file);
    const std::string ext = path.substr(path.rfind('.') + 1);
    if (ext == "gif" || ext == "GIF") {
        GifSpec s;
        s.width = 3;
        s.height = 2;
        s.minCodeSize = 2;
        s.globalTable = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
        s.indices = {0, 1, 2, 3, 3, 3};
        ASSERT_TRUE(WriteFile(path, MakeGif(s)));
    } else if (ext == "png") {
        PngSpec s;
        s.width = 3;
        s.height = 2;
        s.rows = {{255, 0, 0, 0, 255, 0, 0, 0, 255}, Bytes(9, 255)};
        ASSERT_TRUE(WritePng(path, s));
    } else if (ext == "bmp" || ext == "Bmp") {
        BmpSpec s;
        s.width = 3;
        s.height = 2;
        s.pixels = Rows24(3, 2, {kRed, kGreen, kBlue, kWhite, kWhite, kWhite});
        ASSERT_TRUE(WriteFile(path, MakeBmp(s)));
    } else {
        Bytes rgb;
        for (int i = 0; i < 16 * 16; ++i)
            rgb.insert(rgb.end(), {200, 30, 30});
        ASSERT_TRUE(WriteJpeg(path, 16, 16, 3, rgb));
    }
    MessageRecorder messages;
    CBmpObj bmp;
    ASSERT_TRUE(bmp.LoadImageFile(path, messages));
    EXPECT_TRUE(messages.messages.empty());
    if (ext == "jpg" || ext == "jpeg" || ext == "JPG") {
        EXPECT_EQ(bmp.GetWidth(), 16);
        EXPECT_EQ(bmp.GetBitCount(), 8);
        const COLORREF c = bmp.GetColour(8, 8);
        EXPECT_NEAR(RedOf(c), 200, 12);
        EXPECT_NEAR(GreenOf(c), 30, 12);
        return;
    }
    ASSERT_EQ(bmp.GetWidth(), 3);
    ASSERT_EQ(bmp.GetHeight(), 2);
    EXPECT_EQ(bmp.GetColour(0, 0), Rgb(255, 0, 0));
    EXPECT_EQ(bmp.GetColour(1, 0), Rgb(0, 255, 0));
    EXPECT_EQ(bmp.GetColour(2, 0), Rgb(0, 0, 255));
    EXPECT_EQ(bmp.GetColour(2, 1), Rgb(255, 255, 255));
    // The record's data length is the pixel array a BMP file of it holds.
    EXPECT_EQ(static_cast<size_t>(bmp.m_nDataLen), bmp.PixelBytes().size());
    EXPECT_EQ(bmp.m_fileHeader.type, 0x4D42);
}
INSTANTIATE_TEST_SUITE_P(Formats, BmpObjLoad,
                         testing::Values(LoadRow{"bmp", "a.bmp"}, LoadRow{"Bmp", "a.Bmp"},
                                         LoadRow{"gif", "a.gif"}, LoadRow{"GIF", "a.GIF"},
                                         LoadRow{"png", "a.png"}, LoadRow{"jpg", "a.jpg"},
                                         LoadRow{"jpeg", "a.jpeg"}, LoadRow{"JPG", "a.JPG"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BmpObjTest, UnknownExtensionsFailSilently) {
    MessageRecorder messages;
    for (const char* name : {"a.tif", "noext", ".bmp", "a.", "dir.bmp/file"}) {
        CBmpObj bmp;
        EXPECT_FALSE(bmp.LoadImageFile(dir.File(name), messages)) << name;
        EXPECT_FALSE(bmp.HasPicture());
    }
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(BmpObjTest, DamagedFilesGiveOneMessage) {
    const std::string truncated = dir.File("cut.gif");
    GifSpec s;
    s.width = 2;
    s.height = 2;
    s.minCodeSize = 2;
    s.indices = {0, 1, 2, 3};
    Bytes gif = MakeGif(s);
    gif.resize(gif.size() - 4);
    ASSERT_TRUE(WriteFile(truncated, gif));
    const std::string notPng = dir.File("text.png");
    ASSERT_TRUE(WriteFile(notPng, {'h', 'e', 'l', 'l', 'o'}));
    for (const std::string& path : {truncated, notPng, dir.File("missing.bmp")}) {
        MessageRecorder messages;
        CBmpObj bmp;
        EXPECT_FALSE(bmp.LoadImageFile(path, messages));
        EXPECT_FALSE(bmp.HasPicture());
        // The reason follows: a missing file, the decoder's complaint.
        ASSERT_EQ(messages.messages.size(), 1u) << path;
        EXPECT_EQ(messages.messages[0].rfind("未能打开文件！\r\n\r\n", 0), 0u);
        EXPECT_GT(messages.messages[0].size(), std::string("未能打开文件！\r\n\r\n").size());
    }
}

TEST_F(BmpObjTest, OversizePictureNamesTheLimit) {
    GifSpec s;
    s.width = 30000;
    s.height = 2;
    s.useCodes = true;
    s.minCodeSize = 2;
    s.codes = PackCodes({{4, 3}, {1, 3}, {5, 3}});
    const std::string path = dir.File("wide.gif");
    ASSERT_TRUE(WriteFile(path, MakeGif(s)));
    MessageRecorder messages;
    CBmpObj bmp(path, true, Page(256), messages);
    EXPECT_FALSE(bmp.HasPicture());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].rfind("未能打开文件！", 0), 0u);
    EXPECT_NE(messages.messages[0].find("30000*2"), std::string::npos);
    EXPECT_NE(messages.messages[0].find("16384"), std::string::npos);
}

TEST_F(BmpObjTest, OneAndFourBitPicturesAreWidenedToKeepTheirColours) {
    BmpSpec s;
    s.width = 3;
    s.height = 1;
    s.bits = 1;
    s.table = {0, 0, 255, 0, 255, 0, 0, 0};  // red, blue
    s.pixels = {0x40, 0, 0, 0};
    const std::string path = dir.File("mono.bmp");
    ASSERT_TRUE(WriteFile(path, MakeBmp(s)));
    CBmpObj bmp;
    ASSERT_TRUE(bmp.LoadImageFile(path, messages));
    EXPECT_EQ(bmp.GetBitCount(), 8);
    EXPECT_EQ(bmp.GetColour(0, 0), Rgb(255, 0, 0));
    EXPECT_EQ(bmp.GetColour(1, 0), Rgb(0, 0, 255));
    EXPECT_EQ(bmp.GetColour(2, 0), Rgb(255, 0, 0));
}

TEST_F(BmpObjTest, ReadBmpFileMessages) {
    struct Case {
        Bytes bytes;
        const char* message;
    };
    BmpSpec s;
    s.width = 1;
    s.height = 1;
    s.pixels = {1, 2, 3, 0};
    Bytes good = MakeBmp(s);
    Bytes notBm = good;
    notBm[0] = 'X';
    Bytes longer = good;
    longer.push_back(0);
    Bytes shortOffset = good;
    shortOffset[10] = 20;
    const Case cases[] = {{notBm, "文件已经损坏"},
                          {longer, "文件已经损坏！"},
                          {shortOffset, "文件已经损坏！"},
                          {Bytes{'B', 'M'}, "文件已经损坏"}};
    for (const Case& c : cases) {
        const std::string path = dir.File("r.bmp");
        ASSERT_TRUE(WriteFile(path, c.bytes));
        MessageRecorder messages;
        CBmpObj bmp;
        std::FILE* f = std::fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        EXPECT_FALSE(bmp.ReadBmpFile(f, messages));
        std::fclose(f);
        EXPECT_FALSE(bmp.HasPicture());
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0], c.message);
    }
    const std::string path = dir.File("good.bmp");
    ASSERT_TRUE(WriteFile(path, good));
    std::FILE* f = std::fopen(path.c_str(), "rb");
    CBmpObj bmp;
    EXPECT_TRUE(bmp.ReadBmpFile(f, messages));
    std::fclose(f);
    EXPECT_EQ(bmp.GetColour(0, 0), Rgb(3, 2, 1));
    EXPECT_EQ(bmp.m_nDataLen, 4);
}

TEST_F(BmpObjTest, DrawStretchesIntoTheBox) {
    CBmpObj bmp(Bmp24File("p.bmp", 2, 1, {kRed, kBlue}), false, Page(256), messages);
    Surface surface(10, 4, Rgb(1, 1, 1));
    bmp.Draw(surface, Rect{2, 1, 6, 3});
    EXPECT_EQ(surface.GetPixel(2, 1), Rgb(255, 0, 0));
    EXPECT_EQ(surface.GetPixel(3, 2), Rgb(255, 0, 0));
    EXPECT_EQ(surface.GetPixel(4, 1), Rgb(0, 0, 255));
    EXPECT_EQ(surface.GetPixel(5, 2), Rgb(0, 0, 255));
    EXPECT_EQ(surface.GetPixel(6, 1), Rgb(1, 1, 1));
    EXPECT_EQ(surface.GetPixel(2, 3), Rgb(1, 1, 1));
    // Partly outside: clipped.
    bmp.Draw(surface, Rect{-100, -100, 100, 100});
    EXPECT_EQ(surface.GetPixel(0, 0), Rgb(0, 0, 255));
    EXPECT_EQ(surface.GetPixel(9, 3), Rgb(0, 0, 255));
}

}  // namespace
