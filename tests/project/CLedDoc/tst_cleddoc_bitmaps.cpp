// Pages holding bitmap items: the local bitmaps they put into the process-wide list, and
// how saving, loading, undo and closing keep that list right.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "base/AtomicFile.h"
#include "base/ByteArray.h"
#include "images/CBmpObj.h"
#include "items/CItemBmp.h"
#include "project/CLedDoc.h"
#include "project/LocalBitmapStore.h"
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
        char tmpl[] = "/tmp/lcd-bmppage-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        std::string error;
        ASSERT_TRUE(AtomicFile::Write(Path("red.bmp"), Bmp(4, 4, 255, 0, 0), error));
        ASSERT_TRUE(AtomicFile::Write(Path("green.bmp"), Bmp(6, 2, 0, 255, 0), error));
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Path(const std::string& name) const { return (dir / name).string(); }

    // An open page with a bitmap item for each picture, made as the canvas makes them.
    void Fill(CLedDoc& doc, const std::vector<std::string>& pictures) {
        doc.SetScreenParams(ScreenParams{"LCD", 256, 1, 1, 64, 32});
        if (std::find(pages.begin(), pages.end(), &doc) == pages.end()) pages.push_back(&doc);
        int x = 0;
        for (const auto& p : pictures) {
            doc.CurrentItems().push_back(store.NewItem(x, 0, Path(p), doc.Format(), messages));
            x += 10;
        }
    }
    CItemBmp& Item(CLedDoc& doc, size_t i) {
        return static_cast<CItemBmp&>(*doc.CurrentItems()[i]);
    }

    fs::path dir;
    ScriptedMessenger messages;
    std::vector<CLedDoc*> pages;
    LocalBitmapStore store{[this] { return pages; }};
};

TEST_F(BitmapPage, ARecordKeepsItsNumberAndAPageReadAloneSavesByteIdentical) {
    CLedDoc doc;
    Fill(doc, {"red.bmp", "green.bmp"});
    CByteArray bytes;
    std::string error;
    ASSERT_TRUE(doc.Save(bytes, error)) << error;

    CLedDoc loaded;
    ASSERT_TRUE(loaded.Load(bytes, error)) << error;
    EXPECT_EQ(Item(loaded, 0).m_nBitmap, 0);
    EXPECT_EQ(Item(loaded, 1).m_nBitmap, 1);
    EXPECT_EQ(Item(loaded, 0).Bitmap()->GetWidth(), 4);
    EXPECT_EQ(Item(loaded, 1).Bitmap()->GetWidth(), 6);
    EXPECT_EQ(Item(loaded, 1).m_page.width, 64);
    CByteArray again;
    ASSERT_TRUE(loaded.Save(again, error));
    EXPECT_EQ(ToHex(again), ToHex(bytes));
}

TEST_F(BitmapPage, APageWithABitmapItemWithoutBitmapIsNotSaved) {
    CLedDoc doc;
    Fill(doc, {"red.bmp"});
    std::string error;
    const std::string path = Path("page.pg");
    ASSERT_TRUE(doc.SaveFile(path, error)) << error;
    const auto size = fs::file_size(path);
    Item(doc, 0).m_pBitmap.reset();
    doc.m_nDelay = 99;
    EXPECT_FALSE(doc.SaveFile(path, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(fs::file_size(path), size);
    CLedDoc back;
    ASSERT_TRUE(back.LoadFile(path, error));
    EXPECT_EQ(back.m_nDelay, 10);
}

TEST_F(BitmapPage, AClosedPagesBitmapsLeaveTheList) {
    auto first = std::make_unique<CLedDoc>();
    CLedDoc second;
    Fill(*first, {"red.bmp"});
    Fill(second, {"green.bmp", "red.bmp"});
    ASSERT_EQ(store.Bitmaps().size(), 3u);
    std::erase(pages, first.get());
    first.reset();
    ASSERT_EQ(store.Bitmaps().size(), 2u);
    EXPECT_EQ(store.IndexOf(*Item(second, 0).Bitmap()), 0);
    EXPECT_EQ(store.IndexOf(*Item(second, 1).Bitmap()), 1);
}

TEST_F(BitmapPage, InUseFollowsTheCurrentItemsThroughUndoAndRedo) {
    CLedDoc doc;
    Fill(doc, {"red.bmp"});
    doc.m_nSel = 0, doc.m_nSelType = 16;
    doc.DeleteSelection();  // an undo copy still holds the bitmap
    EXPECT_EQ(store.Bitmaps().size(), 1u);
    EXPECT_TRUE(store.InUse().empty());
    doc.Undo();
    ASSERT_EQ(store.InUse().size(), 1u);
    EXPECT_EQ(store.InUse()[0].item, &Item(doc, 0));
    doc.Redo();
    EXPECT_TRUE(store.InUse().empty());
}

}  // namespace
