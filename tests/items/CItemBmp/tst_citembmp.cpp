#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "base/ClassRegistry.h"
#include "gfx/Surface.h"
#include "images/CBmpObj.h"
#include "items/CItemBase/ItemChecks.h"
#include "items/CItemBmp.h"
#include "items/ItemClasses.h"
#include "support/ScriptedMessenger.h"

using namespace itemchecks;

namespace {

constexpr COLORREF kRed = Rgb(255, 0, 0), kGreen = Rgb(0, 255, 0), kBlue = Rgb(0, 0, 255),
                   kWhite = Rgb(255, 255, 255);

const PageFormat kPage256{256, 320, 240};
const PageFormat kPage64{64, 320, 240};
const PageFormat kPage8Small{8, 320, 234};
const PageFormat kPage8{8, 320, 240};

void Put16(std::string& s, uint32_t v) {
    s += static_cast<char>(v & 0xFF), s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF), Put16(s, v >> 16);
}

// Writes a 24-bit bottom-up BMP file whose pixel (x, y), row 0 on top, is colour(x, y).
void WriteBmp24(const std::string& path, int w, int h,
                const std::function<COLORREF(int, int)>& colour) {
    const uint32_t rowBytes = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
    std::string pixels;
    for (int y = h - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < w; ++x) {
            const COLORREF c = colour(x, y);
            row += static_cast<char>(BlueOf(c)), row += static_cast<char>(GreenOf(c));
            row += static_cast<char>(RedOf(c));
        }
        row.resize(rowBytes, '\0');
        pixels += row;
    }
    std::string f = "BM";
    Put32(f, 54 + static_cast<uint32_t>(pixels.size()));
    Put32(f, 0), Put32(f, 54);
    Put32(f, 40), Put32(f, static_cast<uint32_t>(w)), Put32(f, static_cast<uint32_t>(h));
    Put16(f, 1), Put16(f, 24), Put32(f, 0), Put32(f, static_cast<uint32_t>(pixels.size()));
    Put32(f, 2835), Put32(f, 2835), Put32(f, 0), Put32(f, 0);
    std::ofstream(path, std::ios::binary) << f << pixels;
}

// Reads one page-like item list (count, then object references) through the page
// file's class registry.
std::vector<std::unique_ptr<CItemBase>> LoadList(const CByteArray& bytes, std::string& error) {
    ClassRegistry registry;
    ItemClasses::Register(registry);
    Archive in(bytes, registry);
    uint32_t n = 0;
    in.Count(n, 2);
    std::vector<std::unique_ptr<CItemBase>> items;
    for (uint32_t i = 0; i < n && in.Ok(); ++i)
        items.push_back(in.ReadObjectAs<CItemBase>("item"));
    error = in.Ok() ? "" : in.Error().message;
    return items;
}

CByteArray StoreList(std::initializer_list<const CItemBase*> items) {
    Archive ar;
    uint32_t n = static_cast<uint32_t>(items.size());
    ar.Count(n, 2);
    for (const CItemBase* item : items)
        ar.WriteObject(item);
    return ar.Bytes();
}

CItemBmp* AsBmp(const std::unique_ptr<CItemBase>& item) {
    return dynamic_cast<CItemBmp*>(item.get());
}

class ItemBmpTest : public testing::Test {
protected:
    void SetUp() override {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        dir = std::filesystem::temp_directory_path() /
              ("citembmp-" + std::to_string(getpid()) + "-" + name);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Bmp(const std::string& name, int w, int h,
                    const std::function<COLORREF(int, int)>& colour) {
        const std::string path = (dir / name).string();
        WriteBmp24(path, w, h, colour);
        return path;
    }
    std::string Solid(const std::string& name, int w, int h, COLORREF c) {
        return Bmp(name, w, h, [c](int, int) { return c; });
    }
    // Red, green on top; blue, white below.
    std::string Quad() {
        return Bmp("quad.bmp", 2, 2, [](int x, int y) {
            return y == 0 ? (x == 0 ? kRed : kGreen) : (x == 0 ? kBlue : kWhite);
        });
    }
    // The local bitmap of the picture at `path` (size check on).
    std::shared_ptr<CBmpObj> Pic(const std::string& path, const PageFormat& page = kPage256) {
        return std::make_shared<CBmpObj>(path, true, page, messenger);
    }
    // The item of the examples: a 40 x 30 red picture at (100, 50), block 2, page 17.
    std::unique_ptr<CItemBmp> Example(const PageFormat& page) {
        auto item =
            std::make_unique<CItemBmp>(100, 50, Pic(Solid("pic.bmp", 40, 30, kRed), page), page);
        item->Bitmap()->m_nBlock = 2;
        item->Bitmap()->m_nStartPage = 17;
        return item;
    }

    ScriptedMessenger messenger;
    std::filesystem::path dir;
};

std::string Repeat(const char* byteHex, int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += std::string(" ") + byteHex;
    return s;
}

// --- creation ---------------------------------------------------------------

TEST_F(ItemBmpTest, MadeFromABitmapTakesThePictureSize) {
    CItemBmp item(100, 50, Pic(Solid("a.bmp", 40, 30, kRed)), kPage256);
    EXPECT_EQ(item.m_nType, 16);
    ASSERT_TRUE(item.HasValidBitmap());
    EXPECT_EQ(item.Bitmap()->GetWidth(), 40);
    EXPECT_EQ((Rect{item.m_x1, item.m_y1, item.m_x2, item.m_y2}), (Rect{100, 50, 140, 80}));
    EXPECT_EQ(item.m_rcDraw, (Rect{100, 50, 140, 80}));
    EXPECT_EQ(item.m_bSelected | item.m_bDragging | item.m_bCreating, 0);
    EXPECT_TRUE(messenger.told.empty());
}

TEST_F(ItemBmpTest, AFileThatCannotBeReadGivesAZeroSizedItemThatIsKept) {
    CItemBmp item(7, 9, Pic((dir / "missing.bmp").string()), kPage256);
    EXPECT_EQ((Rect{item.m_x1, item.m_y1, item.m_x2, item.m_y2}), (Rect{7, 9, 7, 9}));
    EXPECT_TRUE(item.HasValidBitmap());
    EXPECT_FALSE(item.Bitmap()->HasPicture());
    EXPECT_EQ(messenger.told,
              std::vector<std::string>{"未能打开文件！\r\n\r\nNo such file or directory"});
    EXPECT_EQ(EncodedHex(item), "1B 29 00 00 07 00 09 00 00 00 00 00");
    CByteArray direct;
    item.Encode(0, direct);
    EXPECT_EQ(ToHex(direct), "1B 18 07 00 09 00 00 00 00 00");
}

TEST_F(ItemBmpTest, AnOversizePictureIsToldAndStillPlaced) {
    // 363 x 362 = 131406 pixels, above the 131072 of a 64-colour page.
    CItemBmp item(0, 0, Pic(Solid("big.bmp", 363, 362, kRed), kPage64), kPage64);
    ASSERT_EQ(messenger.told.size(), 1u);
    EXPECT_NE(messenger.told[0].find("131072"), std::string::npos);
    EXPECT_EQ(item.m_x2, 363);
    EXPECT_EQ(item.m_y2, 362);
}

// --- module commands ----------------------------------------------------------

struct EncodeRow {
    const char* name;
    PageFormat page;
    Rect box;  // x1, y1, x2, y2 after creation
    int block, start;
    const char* flash;
};

void PrintTo(const EncodeRow& row, std::ostream* os) {
    *os << row.name;
}

class BmpEncode : public ItemBmpTest, public testing::WithParamInterface<EncodeRow> {};

TEST_P(BmpEncode, FlashFormAndItsLength) {
    const EncodeRow& r = GetParam();
    auto item = Example(r.page);
    item->m_x1 = r.box.left, item->m_y1 = r.box.top;
    item->m_x2 = r.box.right, item->m_y2 = r.box.bottom;
    item->m_nHandle = 1;
    item->MoveHandle(r.box.left, r.box.top, r.box.left, r.box.top);
    item->Bitmap()->m_nBlock = r.block;
    item->Bitmap()->m_nStartPage = r.start;
    EXPECT_EQ(EncodedHex(*item), r.flash);
    CByteArray bytes;
    item->Encode(1, bytes);
    EXPECT_EQ(item->GetEncodedLength(), static_cast<int>(bytes.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BmpEncode,
    testing::Values(
        EncodeRow{
            "Page256", kPage256, {100, 50, 140, 80}, 2, 17, "1B 29 02 11 64 00 32 00 28 00 1E 00"},
        EncodeRow{"Module8Colour320x234",
                  kPage8Small,
                  {100, 50, 140, 80},
                  2,
                  17,
                  "1B 29 02 11 64 00 32 00 14 1E"},
        // Eight colours at another size keeps the 16-bit sizes.
        EncodeRow{"Eight320x240",
                  kPage8,
                  {100, 50, 140, 80},
                  2,
                  17,
                  "1B 29 02 11 64 00 32 00 28 00 1E 00"},
        // An odd width loses its half byte; the height is one byte.
        EncodeRow{
            "PackedOddWidth", kPage8Small, {0, 0, 41, 200}, 0, 0, "1B 29 00 00 00 00 00 00 14 C8"},
        EncodeRow{"BlockAndPageAreOneByte",
                  kPage256,
                  {1, 2, 3, 4},
                  257,
                  300,
                  "1B 29 01 2C 01 00 02 00 02 00 02 00"},
        // Inside out: the sizes go out in two's complement.
        EncodeRow{
            "InsideOut", kPage256, {-1, 10, -11, 5}, 0, 0, "1B 29 00 00 FF FF 0A 00 F6 FF FB FF"}),
    [](const auto& info) { return info.param.name; });

struct DirectRow {
    const char* name;
    PageFormat page;
    const char* head;
    const char* pixel;  // every pixel byte of the red picture
    int pixelBytes;
};

void PrintTo(const DirectRow& row, std::ostream* os) {
    *os << row.name;
}

class BmpDirect : public ItemBmpTest, public testing::WithParamInterface<DirectRow> {};

TEST_P(BmpDirect, HeaderThenThePixelsAtTheItemSize) {
    const DirectRow& r = GetParam();
    auto item = Example(r.page);
    CByteArray bytes;
    item->Encode(0, bytes);
    EXPECT_EQ(ToHex(bytes), std::string(r.head) + Repeat(r.pixel, r.pixelBytes));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BmpDirect,
    testing::Values(
        // Red: bits 4 and 0 at 64 colours, 7 << 5 at 256, bit 0 twice a byte at 8.
        DirectRow{"Page64", kPage64, "1B 18 64 00 32 00 28 00 1E 00", "11", 1200},
        DirectRow{"Page256", kPage256, "1B 18 64 00 32 00 28 00 1E 00", "E0", 1200},
        DirectRow{"Module8Colour320x234", kPage8Small, "1B 18 64 00 32 00 14 1E", "11", 600}),
    [](const auto& info) { return info.param.name; });

TEST_F(ItemBmpTest, DirectPixelsAreStretchedRowsFromTheTop) {
    CItemBmp item(0, 0, Pic(Quad(), kPage256), kPage256);
    item.m_x2 = 4;
    item.m_nHandle = 4;
    item.MoveHandle(0, 0, 0, 0);
    CByteArray bytes;
    item.Encode(0, bytes);
    EXPECT_EQ(ToHex(bytes), "1B 18 00 00 00 00 04 00 02 00 E0 E0 1C 1C 03 03 FF FF");
}

TEST_F(ItemBmpTest, DirectFormIsLeftOutWhenItsHeaderCannotAnnounceThePixels) {
    struct Row {
        const char* name;
        PageFormat page;
        Rect box;
    } rows[] = {
        {"NegativeWidth", kPage256, {50, 0, 10, 20}},
        {"NegativeHeight", kPage256, {0, 50, 10, 20}},
        {"PackedRowsOverOneByte", kPage8Small, {0, 0, 10, 256}},
        {"PackedRowBytesOverOneByte", kPage8Small, {0, 0, 512, 2}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CItemBmp item(0, 0, Pic(Quad(), r.page), r.page);
        item.m_x1 = r.box.left, item.m_y1 = r.box.top, item.m_x2 = r.box.right;
        item.m_y2 = r.box.bottom;
        item.m_nHandle = 1;
        item.MoveHandle(r.box.left, r.box.top, r.box.left, r.box.top);
        CByteArray bytes{0xAA};
        item.Encode(0, bytes);
        EXPECT_EQ(ToHex(bytes), "AA");
        // The flash form stays whole: the page record counts on it.
        EXPECT_EQ(item.GetEncodedLength(), r.page.Is8Colour320x234() ? 10 : 12);
    }
    // The largest packed size that still fits goes out.
    CItemBmp fits(0, 0, Pic(Quad(), kPage8Small), kPage8Small);
    fits.m_x2 = 511, fits.m_y2 = 255, fits.m_nHandle = 5;
    fits.MoveHandle(0, 0, 511, 255);
    CByteArray bytes;
    fits.Encode(0, bytes);
    EXPECT_EQ(bytes.size(), 8u + 255u * 255u);
}

TEST_F(ItemBmpTest, AResizedItemWithoutPictureSendsNoHeaderAlone) {
    CItemBmp item(0, 0, Pic((dir / "missing.png").string()), kPage256);
    item.m_nHandle = 5;
    item.MoveHandle(0, 0, 10, 10);
    CByteArray bytes;
    item.Encode(0, bytes);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(EncodedHex(item), "1B 29 00 00 00 00 00 00 0A 00 0A 00");
}

TEST_F(ItemBmpTest, EncodedLengthEqualsTheFlashFormInEveryState) {
    auto item = Example(kPage256);
    auto check = [&](const char* state) {
        SCOPED_TRACE(state);
        CByteArray bytes;
        item->Encode(1, bytes);
        EXPECT_EQ(item->GetEncodedLength(), static_cast<int>(bytes.size()));
    };
    check("placed");
    item->m_page = kPage8Small;
    check("on the 8-colour 320 x 234 module");
    item->m_nHandle = 5;
    item->MoveHandle(140, 80, 0, 0);
    check("dragged inside out");
    item->m_pBitmap.reset();
    check("no bitmap");
    EXPECT_EQ(item->GetEncodedLength(), 0);
    EXPECT_EQ(EncodedHex(*item), "");
    CByteArray direct;
    item->Encode(0, direct);
    EXPECT_TRUE(direct.empty());
}

// --- page record ----------------------------------------------------------------

// The item at (5, 6)-(7, 8) showing the 2 x 2 picture red, green / blue, white at block
// 1, page 3, as its record lies in a page file.
Record HandRecord(int32_t storedIndex) {
    Record r("CItemBmp");
    r.Int(5).Int(6).Int(7).Int(8).Int(storedIndex);
    r.Word(0xFFFF).Word(1).Word(7);
    for (char c : std::string("CBmpObj"))
        r.Byte(static_cast<uint8_t>(c));
    r.Word(0x4D42).Int(70).Word(0).Word(0).Int(54);  // file header: 54 + 2 rows of 8
    r.Word(24).Int(0).Int(0).Int(0).Int(2).Word(1).Int(40).Int(16).Int(2).Int(2835).Int(2835);
    r.Int(16).Int(1).Int(3);  // data length, block, start page
    r.Byte(5);
    for (char c : std::string("q.bmp"))
        r.Byte(static_cast<uint8_t>(c));
    // Bottom row first: blue, white; then red, green; blue-green-red, two pad bytes.
    for (uint8_t b : {0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0xFF,
                      0x00, 0x00, 0x00})
        r.Byte(b);
    return r;
}

TEST_F(ItemBmpTest, RecordReadFromHandMadeBytesWritesThemBackByteForByte) {
    std::string error;
    CByteArray bytes{0x01, 0x00};  // a list of one
    const CByteArray record = HandRecord(3).Bytes();
    bytes.insert(bytes.end(), record.begin(), record.end());
    auto items = LoadList(bytes, error);
    ASSERT_EQ(error, "");
    ASSERT_EQ(items.size(), 1u);
    CItemBmp* item = AsBmp(items[0]);
    ASSERT_NE(item, nullptr);
    // The stored number is kept, to be written again.
    EXPECT_EQ(item->m_nBitmap, 3);
    ASSERT_TRUE(item->HasValidBitmap());
    const CBmpObj& bmp = *item->Bitmap();
    EXPECT_EQ(bmp.m_nBlock, 1);
    EXPECT_EQ(bmp.m_nStartPage, 3);
    EXPECT_EQ(bmp.m_strPath, "q.bmp");
    EXPECT_EQ(bmp.GetColour(0, 0), kRed);
    EXPECT_EQ(bmp.GetColour(1, 0), kGreen);
    EXPECT_EQ(bmp.GetColour(0, 1), kBlue);
    EXPECT_EQ(item->m_rcDraw, (Rect{5, 6, 7, 8}));
    EXPECT_EQ(item->m_nType, 16);
    EXPECT_EQ(item->m_bSelected | item->m_bCreating | item->m_bDragging, 0);

    EXPECT_EQ(ToHex(Stored(*item)), ToHex(HandRecord(3).Bytes()));
}

TEST_F(ItemBmpTest, ItemMadeFromAFileReadsBackWithThePicture) {
    CItemBmp item(3, 4, Pic(Quad()), kPage256);
    item.m_nBitmap = 6;
    item.Bitmap()->m_nStartPage = 9;
    std::string error;
    auto items = LoadList(StoreList({&item}), error);
    ASSERT_EQ(error, "");
    ASSERT_EQ(items.size(), 1u);
    CItemBmp* back = AsBmp(items[0]);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->m_nBitmap, 6);
    ASSERT_TRUE(back->HasValidBitmap());
    EXPECT_NE(back->Bitmap(), item.Bitmap());
    EXPECT_EQ(back->Bitmap()->m_nStartPage, 9);
    EXPECT_EQ(back->Bitmap()->m_strPath, item.Bitmap()->m_strPath);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(back->Bitmap()->GetColour(x, y), item.Bitmap()->GetColour(x, y));
    EXPECT_EQ((Rect{back->m_x1, back->m_y1, back->m_x2, back->m_y2}), (Rect{3, 4, 5, 6}));
}

TEST_F(ItemBmpTest, TwoBitmapItemsKeepTheirNumbersAndPictures) {
    CItemBmp first(0, 0, Pic(Solid("one.bmp", 3, 2, kRed)), kPage256);
    CItemBmp second(10, 10, Pic(Solid("two.bmp", 4, 4, kBlue)), kPage256);
    // Numbers the writing session gave; the reader keeps them and ignores them.
    first.m_nBitmap = 2, second.m_nBitmap = 1;
    const CByteArray bytes = StoreList({&first, &second});
    std::string error;
    auto items = LoadList(bytes, error);
    ASSERT_EQ(error, "");
    ASSERT_EQ(items.size(), 2u);
    CItemBmp* a = AsBmp(items[0]);
    CItemBmp* b = AsBmp(items[1]);
    ASSERT_TRUE(a && b && a->HasValidBitmap() && b->HasValidBitmap());
    EXPECT_EQ(a->m_nBitmap, 2);
    EXPECT_EQ(b->m_nBitmap, 1);
    EXPECT_EQ(a->Bitmap()->GetColour(0, 0), kRed);
    EXPECT_EQ(b->Bitmap()->GetColour(0, 0), kBlue);
    EXPECT_EQ(a->m_rcDraw, (Rect{0, 0, 3, 2}));
    EXPECT_EQ(b->m_rcDraw, (Rect{10, 10, 14, 14}));
    EXPECT_EQ(ToHex(StoreList({a, b})), ToHex(bytes));
}

TEST_F(ItemBmpTest, ANullBitmapReferenceLoadsAsAnItemWithoutBitmap) {
    CItemBmp item;
    item.m_x2 = 4;
    Record expected("CItemBmp");
    expected.Int(0).Int(0).Int(4).Int(0).Int(-1).Word(0);
    EXPECT_EQ(ToHex(Stored(item)), ToHex(expected.Bytes()));
    auto back = Load<CItemBmp>(expected.Bytes());
    ASSERT_NE(back, nullptr);
    EXPECT_FALSE(back->HasValidBitmap());
}

TEST_F(ItemBmpTest, ATruncatedNestedBitmapFailsTheLoad) {
    CByteArray bytes = HandRecord(0).Bytes();
    bytes.resize(bytes.size() - 3);
    CByteArray list{0x01, 0x00};
    list.insert(list.end(), bytes.begin(), bytes.end());
    std::string error;
    LoadList(list, error);
    EXPECT_NE(error, "");
}

// --- copies and replacing ------------------------------------------------------

TEST_F(ItemBmpTest, CloneCopiesEverythingAndSharesTheBitmap) {
    auto item = Example(kPage8Small);
    Scatter(*item);
    item->m_rcDraw = Rect{1, 2, 3, 4};
    item->m_rcHandles[3] = Rect{9, 9, 9, 9};
    auto copy = item->Clone();
    auto* bmp = dynamic_cast<CItemBmp*>(copy.get());
    ASSERT_NE(bmp, nullptr);
    ExpectSameItem(*item, *copy);
    EXPECT_EQ(bmp->m_nType, 16);
    EXPECT_EQ(bmp->m_nBitmap, item->m_nBitmap);
    EXPECT_EQ(bmp->m_rcDraw, (Rect{1, 2, 3, 4}));
    EXPECT_EQ(bmp->m_page.colours, 8);
    EXPECT_EQ(bmp->m_page.height, 234);
    // The handles are not recomputed.
    EXPECT_EQ(bmp->m_rcHandles[3], (Rect{9, 9, 9, 9}));
    // One picture for both; it lives as long as either copy.
    EXPECT_EQ(bmp->Bitmap(), item->Bitmap());
    item.reset();
    EXPECT_EQ(bmp->Bitmap()->GetColour(0, 0), kRed);
}

TEST_F(ItemBmpTest, DrawingStretchesThePictureIntoTheBox) {
    CItemBmp item(1, 1, Pic(Quad()), kPage256);
    item.m_nHandle = 5;
    item.MoveHandle(3, 3, 5, 5);
    Surface dc(8, 8, Rgb(9, 9, 9));
    item.Draw(dc);
    EXPECT_EQ(dc.GetPixel(1, 1), kRed);
    EXPECT_EQ(dc.GetPixel(4, 1), kGreen);
    EXPECT_EQ(dc.GetPixel(1, 4), kBlue);
    EXPECT_EQ(dc.GetPixel(4, 4), kWhite);
    EXPECT_EQ(dc.GetPixel(0, 0), Rgb(9, 9, 9));
    EXPECT_EQ(dc.GetPixel(5, 5), Rgb(9, 9, 9));

    Surface empty(8, 8, Rgb(9, 9, 9));
    item.m_pBitmap.reset();
    item.Draw(empty);
    EXPECT_EQ(empty.GetPixel(2, 2), Rgb(9, 9, 9));
}

TEST_F(ItemBmpTest, ReplacingKeepsBoxNumberPathAndFlashPlaceForEveryCopy) {
    auto item = Example(kPage256);
    item->m_nBitmap = 4;
    auto undoCopy = item->Clone();
    const CBmpObj* bitmap = item->Bitmap();
    const std::string oldPath = bitmap->m_strPath;
    EXPECT_TRUE(item->ReplacePicture(Solid("big.bmp", 100, 100, kGreen), messenger));
    EXPECT_EQ(item->Bitmap(), bitmap);
    EXPECT_EQ(item->m_nBitmap, 4);
    const CBmpObj& bmp = *item->Bitmap();
    EXPECT_EQ(bmp.GetWidth(), 100);
    EXPECT_EQ(bmp.GetColour(0, 0), kGreen);
    EXPECT_EQ(AsBmp(undoCopy)->Bitmap()->GetColour(0, 0), kGreen);
    EXPECT_EQ(bmp.m_strPath, oldPath);
    EXPECT_EQ(bmp.m_nBlock, 2);
    EXPECT_EQ(bmp.m_nStartPage, 17);
    EXPECT_EQ((Rect{item->m_x1, item->m_y1, item->m_x2, item->m_y2}), (Rect{100, 50, 140, 80}));
    EXPECT_EQ(item->m_rcDraw, (Rect{100, 50, 140, 80}));
    EXPECT_EQ(EncodedHex(*item), "1B 29 02 11 64 00 32 00 28 00 1E 00");
}

TEST_F(ItemBmpTest, AReplacementThatGivesNoPictureKeepsTheOldOne) {
    auto item = Example(kPage256);
    const CBmpObj* old = item->Bitmap();
    EXPECT_FALSE(item->ReplacePicture((dir / "missing.bmp").string(), messenger));
    EXPECT_EQ(item->Bitmap(), old);
    EXPECT_EQ(old->GetColour(0, 0), kRed);

    // An item without bitmap gets a new one.
    CItemBmp none;
    EXPECT_TRUE(none.ReplacePicture(Quad(), messenger));
    ASSERT_TRUE(none.HasValidBitmap());
    EXPECT_EQ(none.Bitmap()->GetColour(0, 0), kRed);
}

// --- mouse and description -----------------------------------------------------

struct PressRow {
    const char* name;
    bool selected;
    int x, y;
    int result, selectedAfter, draggingAfter;
};

void PrintTo(const PressRow& row, std::ostream* os) {
    *os << row.name;
}

class BmpPress : public testing::TestWithParam<PressRow> {};

TEST_P(BmpPress, SelectsDragsOrLetsGo) {
    const PressRow& r = GetParam();
    CItemBmp item;
    item.m_x1 = 10, item.m_y1 = 10, item.m_x2 = 50, item.m_y2 = 40;
    item.m_bSelected = r.selected;
    EXPECT_EQ(item.OnLButtonDown(r.x, r.y), r.result);
    EXPECT_EQ(item.m_bSelected, r.selectedAfter);
    EXPECT_EQ(item.m_bDragging, r.draggingAfter);
    EXPECT_EQ(item.OnLButtonUp(r.x, r.y), 0);
    EXPECT_EQ(item.m_bDragging, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, BmpPress,
                         testing::Values(
                             // A miss leaves the drag flag of an unselected item until release.
                             PressRow{"MissUnselected", false, 200, 200, 0, 0, 1},
                             PressRow{"MissSelected", true, 200, 200, 1, 0, 0},
                             PressRow{"HitUnselected", false, 20, 20, 1, 1, 1},
                             PressRow{"HitSelected", true, 20, 20, 0, 1, 1}),
                         [](const auto& info) { return info.param.name; });

TEST(CItemBmp, HandlesMoveTheBoxButTheBodyDoesNot) {
    struct Row {
        const char* name;
        int handle;
        Rect box;
    } rows[] = {
        {"Body", 0, {10, 10, 50, 40}},
        {"Centre", 9, {15, 12, 55, 42}},
        {"BottomRight", 5, {10, 10, 35, 32}},
        {"Left", 8, {15, 10, 50, 40}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CItemBmp item;
        item.m_x1 = 10, item.m_y1 = 10, item.m_x2 = 50, item.m_y2 = 40;
        item.m_nHandle = r.handle;
        item.m_bDragging = 1;
        CursorShape cursor = CursorShape::Unchanged;
        EXPECT_EQ(item.OnMouseMove(cursor, 30, 30, 35, 32), 1);
        EXPECT_EQ((Rect{item.m_x1, item.m_y1, item.m_x2, item.m_y2}), r.box);
        EXPECT_EQ(item.m_rcDraw, r.box);
        EXPECT_EQ(cursor, CursorShape::Unchanged);
    }
}

TEST(CItemBmp, HoverCursorsOfASelectedItem) {
    struct Row {
        int x, y;
        CursorShape cursor;
    } rows[] = {
        {10, 10, CursorShape::SizeNwSe}, {30, 10, CursorShape::SizeNs},
        {50, 10, CursorShape::SizeNeSw}, {50, 25, CursorShape::SizeWe},
        {50, 40, CursorShape::SizeNwSe}, {30, 40, CursorShape::SizeNs},
        {10, 40, CursorShape::SizeNeSw}, {10, 25, CursorShape::SizeWe},
        {30, 25, CursorShape::Move},     {20, 20, CursorShape::Cross},  // the body
        {90, 90, CursorShape::Cross},
    };
    CItemBmp item;
    item.m_x1 = 10, item.m_y1 = 10, item.m_x2 = 50, item.m_y2 = 40;
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.x << "," << r.y);
        CursorShape cursor = CursorShape::Unchanged;
        item.m_bSelected = 0;
        EXPECT_EQ(item.OnMouseMove(cursor, 0, 0, r.x, r.y), 0);
        EXPECT_EQ(cursor, CursorShape::Unchanged);
        item.m_bSelected = 1;
        EXPECT_EQ(item.OnMouseMove(cursor, 0, 0, r.x, r.y), 0);
        EXPECT_EQ(cursor, r.cursor);
    }
}

TEST(CItemBmp, RightPressAsksForTheReplaceMenu) {
    CItemBmp item;
    EXPECT_EQ(item.OnRButtonDown(0, 5, 5), 32825);
    EXPECT_STREQ(CItemBmp::kReplaceLabel, "替换");
}

TEST(CItemBmp, DescriptionLine) {
    CItemBmp item;
    item.m_x1 = 1, item.m_y1 = -2, item.m_x2 = 300, item.m_y2 = 4;
    item.m_bSelected = 1;
    bool checked = false;
    EXPECT_EQ(Description(item, &checked), "位图：左上角(1,-2)，右下角(300,4)");
    EXPECT_TRUE(checked);
}

}  // namespace
