// Local bitmap and background bitmap records of real local bitmaps, read from a BMP file
// built by hand.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/ByteArray.h"
#include "base/Messenger.h"
#include "images/CBmpObj.h"
#include "link/CommandBuilder.h"

namespace fs = std::filesystem;

namespace {

using CB = CommandBuilder;

// A 24-bit 2 x 2 BMP: top row red, green; bottom row blue, white. Rows are stored bottom
// up, each padded to 8 bytes. At 256 colours the codes are E0 1C / 03 FF.
const char kBmp[] =
    "42 4D 46 00 00 00 00 00 00 00 36 00 00 00 "                    // file header, 70 bytes
    "28 00 00 00 02 00 00 00 02 00 00 00 01 00 18 00 00 00 00 00 "  // info header
    "10 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
    "FF 00 00 FF FF FF 00 00 "  // bottom row: blue, white
    "00 00 FF 00 FF 00 00 00";  // top row: red, green

class BitmapRecordTest : public testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/bitmap-record-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        CByteArray bytes;
        ASSERT_TRUE(FromHex(kBmp, bytes));
        const fs::path p = dir / "four.bmp";
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        std::FILE* f = std::fopen(p.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        ASSERT_TRUE(bmp.ReadBmpFile(f, Messenger::Stderr()));
        std::fclose(f);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
    CBmpObj bmp;
};

std::string Pad(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i)
        s += " FF";
    return s;
}

TEST_F(BitmapRecordTest, LocalBitmapAtItsPlaceAndItsItemsSize) {
    bmp.m_nBlock = 3;
    bmp.m_nStartPage = 0x21;
    CByteArray bytes{0xEE};
    // Board 3: 256-byte flash pages.
    ASSERT_TRUE(CB::BitmapRecord(bytes, DownloadSettings::ForBoard(3, CB::ModeShort), bmp,
                                 {10, 10, 12, 12}, PageFormat{256, 320, 240}));
    EXPECT_EQ(ToHex(bytes), "EE 1B 28 03 21 01 E0 1C 03 FF" + Pad(252));
}

TEST_F(BitmapRecordTest, LocalBitmapStretchedInChecksumMode) {
    // Stretched to 4 x 2: every column twice, one flash page of 512.
    CByteArray bytes;
    ASSERT_TRUE(CB::BitmapRecord(bytes, DownloadSettings::ForBoard(0, CB::ModeChecksum), bmp,
                                 {0, 0, 4, 2}, PageFormat{256, 320, 240}));
    // 1B+28+03+00+00+01 = 47
    EXPECT_EQ(ToHex(bytes), "1B 28 03 00 00 01 00 47 E0 E0 1C 1C 03 03 FF FF" + Pad(504));
}

TEST_F(BitmapRecordTest, BitmapWithoutPictureHasNoRecord) {
    CByteArray bytes{0x01};
    const DownloadSettings longMode = DownloadSettings::ForBoard(0, CB::ModeLong);
    CBmpObj empty;
    EXPECT_FALSE(CB::BitmapRecord(bytes, longMode, empty, {0, 0, 2, 2}, PageFormat{}));
    EXPECT_FALSE(CB::PageImageRecord(bytes, longMode, empty, PageFormat{}, 1));
    EXPECT_EQ(ToHex(bytes), "01");
}

TEST_F(BitmapRecordTest, BackgroundBitmapInLongMode) {
    CByteArray bytes;
    const DownloadSettings s{CB::ModeLong, 0, 256, false};
    ASSERT_TRUE(CB::PageImageRecord(bytes, s, bmp, PageFormat{256, 2, 2}, 7));
    EXPECT_EQ(ToHex(bytes), "1B 20 0A A0 0A 07 00 E0 1C 03 FF" + Pad(252));
}

// The page-image record the local bitmap writes itself must be the one this layer frames
// from its arguments.
class PageImageAgreement : public BitmapRecordTest,
                           public testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(PageImageAgreement, SameBytesAsTheBitmapsOwnRecord) {
    const auto [mode, board] = GetParam();
    const DownloadSettings s = DownloadSettings::ForBoard(board, mode);
    const PageFormat page{8, 320, 234};
    for (const uint8_t id : {0, 5, 0xC4, 0xFF}) {
        CByteArray own, framed;
        ASSERT_GE(bmp.AppendPageImage(own, page, id, s), 0);
        ASSERT_TRUE(CB::PageImageRecord(framed, s, bmp, page, id));
        EXPECT_EQ(framed, own) << "id " << int(id);
        // And the CRC scan steps over exactly this record.
        CByteArray table;
        bool truncated = true;
        EXPECT_EQ(
            CB::CrcTable(table, mode, framed, s.flashPageSize,
                         CB::FullScreenBytes(page.width, page.height, page.colours, s.pixels16),
                         &truncated),
            1);
        EXPECT_FALSE(truncated);
    }
}

INSTANTIATE_TEST_SUITE_P(ModesAndBoards, PageImageAgreement,
                         testing::Combine(testing::Values(CB::ModeShort, CB::ModeChecksum,
                                                          CB::ModeLong),
                                          testing::Values(0, 1, 2, 3)));

}  // namespace
