// Background-bitmap pages: the kind picker, the bitmap record in the page file, the
// direct stream and the canvas.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "base/AtomicFile.h"
#include "base/ByteArray.h"
#include "gfx/Surface.h"
#include "images/CBmpObj.h"
#include "project/BackgroundIds.h"
#include "project/CLedDoc.h"
#include "support/ScriptedMessenger.h"

namespace fs = std::filesystem;

namespace {

// A 24-bit BMP of width x 2: top row red, bottom row blue.
std::vector<uint8_t> TinyBmp(int width) {
    const int row = (width * 3 + 3) & ~3;
    const int size = 54 + row * 2;
    std::vector<uint8_t> b(static_cast<size_t>(size), 0);
    auto put32 = [&](int at, uint32_t v) { std::memcpy(&b[static_cast<size_t>(at)], &v, 4); };
    b[0] = 'B', b[1] = 'M';
    put32(2, static_cast<uint32_t>(size));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, 2);
    b[26] = 1, b[28] = 24;
    put32(34, static_cast<uint32_t>(row * 2));
    for (int x = 0; x < width; ++x) {
        b[static_cast<size_t>(54 + x * 3)] = 255;            // bottom row (first): blue
        b[static_cast<size_t>(54 + row + x * 3 + 2)] = 255;  // top row: red
    }
    return b;
}

class BackgroundPage : public testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/lcd-bg-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        std::string error;
        ASSERT_TRUE(AtomicFile::Write((dir / "bg.bmp").string(), TinyBmp(4), error)) << error;
        doc.SetScreenParams(ScreenParams{"LCD", 256, 1, 1, 8, 4});
        doc.SetMessenger(messages);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::function<bool(std::string&)> Pick(const std::string& name) {
        return [this, name](std::string& p) {
            p = (dir / name).string();
            return true;
        };
    }

    fs::path dir;
    ScriptedMessenger messages;
    CLedDoc doc;
    int nextId = 0;
};

TEST_F(BackgroundPage, ChoosingAPictureMakesAKindTwoPageWithANewId) {
    ASSERT_TRUE(doc.ChooseKind(CLedDoc::PageKindBackground, Pick("bg.bmp"), nextId));
    EXPECT_EQ(doc.m_nKind, CLedDoc::PageKindBackground);
    EXPECT_EQ(doc.m_byBackId, 0);
    EXPECT_EQ(nextId, 1);
    ASSERT_NE(doc.BackBitmap(), nullptr);
    EXPECT_EQ(doc.BackBitmap()->GetWidth(), 4);
    // A second picture replaces the first and keeps the id.
    ASSERT_TRUE(doc.ChooseKind(CLedDoc::PageKindBackground, Pick("bg.bmp"), nextId));
    EXPECT_EQ(doc.m_byBackId, 0);
    EXPECT_EQ(nextId, 1);
    EXPECT_EQ(doc.m_backBitmaps.size(), 1u);
}

TEST_F(BackgroundPage, CancellingFallsBackToAMainPageButKeepsAnExistingBackground) {
    const auto cancel = [](std::string&) { return false; };
    doc.m_nKind = CLedDoc::PageKindAux;
    EXPECT_FALSE(doc.ChooseKind(CLedDoc::PageKindBackground, cancel, nextId));
    EXPECT_EQ(doc.m_nKind, CLedDoc::PageKindMain);
    ASSERT_TRUE(doc.ChooseKind(CLedDoc::PageKindBackground, Pick("bg.bmp"), nextId));
    EXPECT_FALSE(doc.ChooseKind(CLedDoc::PageKindBackground, cancel, nextId));
    EXPECT_EQ(doc.m_nKind, CLedDoc::PageKindBackground);
    EXPECT_NE(doc.BackBitmap(), nullptr);
}

TEST_F(BackgroundPage, MainOrAuxiliaryDropsTheBitmap) {
    ASSERT_TRUE(doc.ChooseKind(CLedDoc::PageKindBackground, Pick("bg.bmp"), nextId));
    EXPECT_TRUE(doc.ChooseKind(CLedDoc::PageKindAux, nullptr, nextId));
    EXPECT_EQ(doc.m_nKind, CLedDoc::PageKindAux);
    EXPECT_EQ(doc.BackBitmap(), nullptr);
    // Kind 2 again takes a new id.
    ASSERT_TRUE(doc.ChooseKind(CLedDoc::PageKindBackground, Pick("bg.bmp"), nextId));
    EXPECT_EQ(doc.m_byBackId, 1);
}

TEST_F(BackgroundPage, AnUnreadablePictureChangesNothing) {
    std::string error;
    ASSERT_TRUE(
        AtomicFile::Write((dir / "bad.bmp").string(), std::vector<uint8_t>{'B', 'M', 1}, error));
    EXPECT_FALSE(doc.ChooseKind(CLedDoc::PageKindBackground, Pick("bad.bmp"), nextId));
    EXPECT_EQ(doc.m_nKind, CLedDoc::PageKindMain);
    EXPECT_EQ(nextId, 0);
}

TEST_F(BackgroundPage, UsedUpIdsAreRefused) {
    nextId = 65;
    EXPECT_FALSE(doc.ChooseKind(CLedDoc::PageKindBackground, Pick("bg.bmp"), nextId));
    EXPECT_EQ(doc.m_nKind, CLedDoc::PageKindMain);
    ASSERT_EQ(messages.told.size(), 1u);
}

TEST_F(BackgroundPage, FileStoresTwoPlusIdThenTheBitmapRecordAndReadsBack) {
    nextId = 9;
    ASSERT_TRUE(doc.ChooseKind(CLedDoc::PageKindBackground, Pick("bg.bmp"), nextId));
    CByteArray bytes;
    std::string error;
    ASSERT_TRUE(doc.Save(bytes, error));
    // Field 8 follows the device name (4 bytes), colours, two doubles, sizes and delay.
    const size_t kindAt = 4 + 4 + 16 + 8 + 4;
    EXPECT_EQ(ToHex(CByteArray(bytes.begin() + kindAt, bytes.begin() + kindAt + 4)), "0B 00 00 00");
    // Then colour, the two nibbles and the bitmap's own record: its first field is "BM".
    EXPECT_EQ(ToHex(CByteArray(bytes.begin() + kindAt + 10, bytes.begin() + kindAt + 12)), "42 4D");

    CLedDoc back;
    ASSERT_TRUE(back.Load(bytes, error)) << error;
    EXPECT_EQ(back.m_nKind, CLedDoc::PageKindBackground);
    EXPECT_EQ(back.m_byBackId, 9);
    ASSERT_NE(back.BackBitmap(), nullptr);
    EXPECT_EQ(back.BackBitmap()->GetWidth(), 4);
    CByteArray again;
    ASSERT_TRUE(back.Save(again, error));
    EXPECT_EQ(ToHex(again), ToHex(bytes));
}

TEST_F(BackgroundPage, DirectStreamSendsTheFullScreenBitmapInsteadOfAClear) {
    ASSERT_TRUE(doc.ChooseKind(CLedDoc::PageKindBackground, Pick("bg.bmp"), nextId));
    CByteArray stream;
    doc.EncodeDirect(stream, DownloadSettings{});
    ASSERT_EQ(stream.size(), 10u + 32u);
    // 1B 18, four zeros, width 8 and height 4, then 8 x 4 pixels of one byte at 256
    // colours: red (0xE0) on the top half, blue (0x03) below.
    EXPECT_EQ(ToHex(CByteArray(stream.begin(), stream.begin() + 10)),
              "1B 18 00 00 00 00 08 00 04 00");
    EXPECT_EQ(stream[10], 0xE0);
    EXPECT_EQ(stream.back(), 0x03);
}

TEST_F(BackgroundPage, TheCanvasShowsThePictureStretched) {
    ASSERT_TRUE(doc.ChooseKind(CLedDoc::PageKindBackground, Pick("bg.bmp"), nextId));
    Surface s(8, 4);
    doc.DrawPage(s, false);
    EXPECT_EQ(s.GetPixel(7, 0), Rgb(255, 0, 0));
    EXPECT_EQ(s.GetPixel(0, 3), Rgb(0, 0, 255));
}

TEST_F(BackgroundPage, ADamagedBitmapRecordRefusesThePage) {
    ASSERT_TRUE(doc.ChooseKind(CLedDoc::PageKindBackground, Pick("bg.bmp"), nextId));
    CByteArray bytes;
    std::string error;
    ASSERT_TRUE(doc.Save(bytes, error));
    bytes.resize(bytes.size() - 6);  // cut into the pixel rows
    CLedDoc back;
    EXPECT_FALSE(back.Load(bytes, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
