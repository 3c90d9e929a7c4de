// Pages holding bitmap items: the local bitmaps they put into the process-wide list, and
// how saving, loading, undo and closing keep that list right.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "base/AtomicFile.h"
#include "base/ByteArray.h"
#include "images/BitmapGlobals.h"
#include "images/CBmpObj.h"
#include "items/CItemBmp.h"
#include "project/CLedDoc.h"
#include "support/ScriptedMessenger.h"

namespace fs = std::filesystem;

namespace {

// A 24-bit BMP of width x height in one colour.
std::vector<uint8_t> Bmp(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
    const int row = (width * 3 + 3) & ~3;
    const int size = 54 + row * height;
    std::vector<uint8_t> out(static_cast<size_t>(size), 0);
    auto put32 = [&](int at, uint32_t v) { std::memcpy(&out[static_cast<size_t>(at)], &v, 4); };
    out[0] = 'B', out[1] = 'M';
    put32(2, static_cast<uint32_t>(size));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    out[26] = 1, out[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t at = static_cast<size_t>(54 + y * row + x * 3);
            out[at] = b, out[at + 1] = g, out[at + 2] = r;
        }
    return out;
}

class BitmapPage : public testing::Test {
protected:
    void SetUp() override {
        BitmapGlobals::Reset();
        char tmpl[] = "/tmp/lcd-bmppage-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        std::string error;
        ASSERT_TRUE(AtomicFile::Write(Path("red.bmp"), Bmp(4, 4, 255, 0, 0), error));
        ASSERT_TRUE(AtomicFile::Write(Path("green.bmp"), Bmp(6, 2, 0, 255, 0), error));
    }
    void TearDown() override {
        fs::remove_all(dir);
        BitmapGlobals::Reset();
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }

    // A page with a bitmap item for each picture.
    void Fill(CLedDoc& doc, const std::vector<std::string>& pictures) {
        doc.SetScreenParams(ScreenParams{"LCD", 256, 1, 1, 64, 32});
        int x = 0;
        for (const auto& p : pictures) {
            doc.CurrentItems().push_back(std::make_unique<CItemBmp>(x, 0, Path(p), doc.Format(),
                                                                    DownloadSettings{}, messages));
            x += 10;
        }
    }
    CItemBmp& Item(CLedDoc& doc, size_t i) {
        return static_cast<CItemBmp&>(*doc.CurrentItems()[i]);
    }

    fs::path dir;
    ScriptedMessenger messages;
};

TEST_F(BitmapPage, LoadingPutsEveryBitmapIntoTheListInOrder) {
    CLedDoc doc;
    Fill(doc, {"red.bmp", "green.bmp"});
    CByteArray bytes;
    std::string error;
    ASSERT_TRUE(doc.Save(bytes, error)) << error;

    BitmapGlobals::Reset();
    CLedDoc other;
    Fill(other, {"green.bmp"});  // a page already open holds index 0
    CLedDoc loaded;
    ASSERT_TRUE(loaded.Load(bytes, error)) << error;
    ASSERT_EQ(g_arrLocalBitmaps.size(), 3u);
    EXPECT_EQ(Item(loaded, 0).m_nBitmap, 1);
    EXPECT_EQ(Item(loaded, 1).m_nBitmap, 2);
    EXPECT_EQ(Item(loaded, 0).Bitmap()->GetWidth(), 4);
    EXPECT_EQ(Item(loaded, 1).Bitmap()->GetWidth(), 6);
    EXPECT_EQ(Item(loaded, 1).m_page.width, 64);
    EXPECT_EQ(Item(loaded, 1).m_pDoc, &loaded);
    // The record keeps each item's index in the list, so the page comes back
    // byte-identical when it is the only one open.
    loaded.ReleaseLocalBitmaps();
    other.ReleaseLocalBitmaps();
    ASSERT_TRUE(g_arrLocalBitmaps.empty());
    CLedDoc alone;
    ASSERT_TRUE(alone.Load(bytes, error)) << error;
    CByteArray again;
    ASSERT_TRUE(alone.Save(again, error));
    EXPECT_EQ(ToHex(again), ToHex(bytes));
}

TEST_F(BitmapPage, AFailedLoadLeavesTheListAsItWas) {
    CLedDoc doc;
    Fill(doc, {"red.bmp", "green.bmp"});
    CByteArray bytes;
    std::string error;
    ASSERT_TRUE(doc.Save(bytes, error));
    const size_t before = g_arrLocalBitmaps.size();
    bytes.resize(bytes.size() - 4);  // the second item's record cut short
    CLedDoc loaded;
    EXPECT_FALSE(loaded.Load(bytes, error));
    EXPECT_EQ(g_arrLocalBitmaps.size(), before);
    EXPECT_TRUE(Item(doc, 1).HasValidBitmap());
}

TEST_F(BitmapPage, APageWithABrokenBitmapIndexIsNotSaved) {
    CLedDoc doc;
    Fill(doc, {"red.bmp"});
    std::string error;
    const std::string path = Path("page.pg");
    ASSERT_TRUE(doc.SaveFile(path, error)) << error;
    const auto size = fs::file_size(path);
    Item(doc, 0).m_nBitmap = 7;
    doc.m_nDelay = 99;
    EXPECT_FALSE(doc.SaveFile(path, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(fs::file_size(path), size);
    CLedDoc back;
    ASSERT_TRUE(back.LoadFile(path, error));
    EXPECT_EQ(back.m_nDelay, 10);
}

TEST_F(BitmapPage, ClosingAPageReleasesItsBitmapsAndRenumbersTheRest) {
    CLedDoc first, second;
    Fill(first, {"red.bmp"});
    Fill(second, {"green.bmp", "red.bmp"});
    ASSERT_EQ(g_arrLocalBitmaps.size(), 3u);
    first.ReleaseLocalBitmaps();
    ASSERT_EQ(g_arrLocalBitmaps.size(), 2u);
    EXPECT_EQ(Item(second, 0).m_nBitmap, 0);
    EXPECT_EQ(Item(second, 1).m_nBitmap, 1);
    EXPECT_EQ(Item(second, 0).Bitmap()->GetWidth(), 6);
}

TEST_F(BitmapPage, UndoAndRedoHandTheBitmapToTheCopyOnScreen) {
    CLedDoc doc;
    Fill(doc, {"red.bmp"});
    doc.Checkpoint(doc.m_nCurList);
    doc.CurrentItems()[0]->m_x1 += 5;
    ASSERT_EQ(g_arrLocalBitmaps[0]->m_pItem, static_cast<BmpOwner*>(&Item(doc, 0)));
    doc.Undo();
    EXPECT_EQ(g_arrLocalBitmaps[0]->m_pItem, static_cast<BmpOwner*>(&Item(doc, 0)));
    doc.Redo();
    EXPECT_EQ(g_arrLocalBitmaps[0]->m_pItem, static_cast<BmpOwner*>(&Item(doc, 0)));
    EXPECT_EQ(g_arrLocalBitmaps.size(), 1u);
}

}  // namespace
