// The CRC table: scanning a flash image made in each instruction mode for its page,
// local bitmap and full-screen bitmap records.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/ByteArray.h"
#include "items/CItemLine.h"
#include "link/CommandBuilder.h"
#include "project/CLedDoc.h"

namespace {

using CB = CommandBuilder;

CByteArray Hex(const std::string& s) {
    CByteArray b;
    EXPECT_TRUE(FromHex(s, b)) << s;
    return b;
}

CByteArray operator+(CByteArray a, const CByteArray& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The bit-at-a-time register, independent of the table-driven one.
uint16_t ReferenceCrc(const CByteArray& data) {
    uint16_t crc = 0;
    for (const uint8_t b : data) {
        crc ^= static_cast<uint16_t>(b << 8);
        for (int i = 0; i < 8; ++i)
            crc = (crc & 0x8000) ? static_cast<uint16_t>((crc << 1) ^ 0x1021)
                                 : static_cast<uint16_t>(crc << 1);
    }
    return crc;
}

std::string CrcHex(const CByteArray& data) {
    const uint16_t c = ReferenceCrc(data);
    return ToHex(CByteArray{static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c & 0xFF)});
}

// Record data that itself holds ESC sequences the scanner must not look into.
CByteArray PageBody() {
    CByteArray b = Hex("1B 42 07 1B 56 00 05 1B 28 00 00 01 1B 20 00 00 1B 53 0A 1B 50 FF");
    b.resize(128, 0xFF);
    return b;
}
const CByteArray kBitmapData = Hex("1B 28 1B 20 1B 56 00 00");  // two pages of 4
const CByteArray kScreenData = Hex("10 20 30 40 50 60 FF FF");  // 6 bytes, two pages of 4

// Flash page size 4 and a 6-byte full-screen picture: two flash pages per picture.
constexpr int kP = 4;
constexpr int kZ = 6;

struct ModeRow {
    const char* name;
    int mode;
    const char* pageHead;
    const char* bitmapHead;
    const char* screenHead;  // through the 00 that opens the pixel data
    const char* tableHead;   // up to the count
};

void PrintTo(const ModeRow& row, std::ostream* os) {
    *os << row.name;
}

class CrcTableModes : public testing::TestWithParam<ModeRow> {};

TEST_P(CrcTableModes, EntriesInShortLayoutWhateverTheImageMode) {
    const ModeRow& row = GetParam();
    // Between the records: filler, an unknown command and an ESC right before a head.
    const CByteArray image = Hex("00 11") + Hex(row.pageHead) + PageBody() + Hex("1B 46 22") +
                             Hex(row.bitmapHead) + kBitmapData + Hex("1B") + Hex(row.screenHead) +
                             kScreenData + Hex("FF FF");
    CByteArray table{0xEE};
    bool truncated = true;
    ASSERT_EQ(CB::CrcTable(table, row.mode, image, kP, kZ, &truncated), 3);
    EXPECT_FALSE(truncated);
    // 6 + 7 + 5 entry bytes.
    EXPECT_EQ(ToHex(table), std::string("EE ") + row.tableHead + " 00 12 " + "1B 56 03 01 " +
                                CrcHex(PageBody()) + " " + "1B 28 01 02 02 " + CrcHex(kBitmapData) +
                                " " + "1B 20 07 " + CrcHex(kScreenData));
}

const ModeRow kModeRows[] = {
    {"Short", CB::ModeShort, "1B 56 03 01", "1B 28 01 02 02", "1B 20 07 00", "1B 3F 00"},
    // Sums: 1B+56+02+03+01 = 77; 1B+28+03+01+02+02 = 4B; 3C+07 = 43.
    {"Checksum", CB::ModeChecksum, "1B 56 02 03 01 00 77", "1B 28 03 01 02 02 00 4B",
     "1B 20 01 07 00 43 00", "1B 3F 01 00 00 5B"},
    {"Long", CB::ModeLong, "1B 56 0A A0 0A 03 01", "1B 28 0A A0 0A 01 02 02",
     "1B 20 0A A0 0A 07 00", "1B 3F 0A A0 0A 00"},
};

INSTANTIATE_TEST_SUITE_P(Rows, CrcTableModes, testing::ValuesIn(kModeRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CrcTable, EmptyImageGivesAnEmptyTable) {
    CByteArray table;
    EXPECT_EQ(CB::CrcTable(table, CB::ModeShort, {}, 512, 37440), 0);
    EXPECT_EQ(ToHex(table), "1B 3F 00 00 00");
}

TEST(CrcTable, BitmapOfZeroPagesMeansTwoHundredFiftySix) {
    const CByteArray data(256 * kP, 0x5A);
    const CByteArray image = Hex("1B 28 00 00 00") + data + Hex("1B 56 01 00");
    CByteArray table;
    ASSERT_EQ(CB::CrcTable(table, CB::ModeShort, image, kP, kZ), 2);
    // The page record after the bitmap is found: the bitmap's data was stepped over whole.
    EXPECT_EQ(ToHex(table), "1B 3F 00 00 0D 1B 28 00 00 00 " + CrcHex(data) + " 1B 56 01 00 00 00");
}

struct CutRow {
    const char* name;
    const char* image;
};

void PrintTo(const CutRow& row, std::ostream* os) {
    *os << row.name;
}

class CrcTableCut : public testing::TestWithParam<CutRow> {};

TEST_P(CrcTableCut, RecordCutShortGetsNoEntry) {
    // A whole zero-page record first (1B+56+02+05+00 = 78): its entry stays.
    const CByteArray image = Hex("1B 56 02 05 00 00 78") + Hex(GetParam().image);
    CByteArray table;
    bool truncated = false;
    EXPECT_EQ(CB::CrcTable(table, CB::ModeChecksum, image, kP, kZ, &truncated), 1);
    EXPECT_TRUE(truncated);
    EXPECT_EQ(ToHex(table), "1B 3F 01 00 00 5B 00 06 1B 56 05 00 00 00");
}

const CutRow kCutRows[] = {
    {"PageHead", "1B 56 02 00"},      {"PageData", "1B 56 02 00 01 00 7A 00 01 02"},
    {"BitmapHead", "1B 28 03 00 00"}, {"BitmapData", "1B 28 03 00 00 01 00 47 AA"},
    {"ScreenHead", "1B 20 01 07"},    {"ScreenData", "1B 20 01 07 00 43 00 01 02 03 04 05 06 07"},
};

INSTANTIATE_TEST_SUITE_P(Rows, CrcTableCut, testing::ValuesIn(kCutRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CrcTable, ChecksumImageHeadsAreReadInChecksumLength) {
    // The whole seven-byte head is stepped over: the sum bytes 00 77 start no record.
    const CByteArray image = Hex("1B 56 02 04 00 00 77");
    CByteArray table;
    ASSERT_EQ(CB::CrcTable(table, CB::ModeChecksum, image, kP, kZ), 1);
    EXPECT_EQ(ToHex(table), "1B 3F 01 00 00 5B 00 06 1B 56 04 00 00 00");
}

TEST(CrcTable, CountFillsSixteenBitsAndNoMore) {
    // Zero-page page records: six entry bytes each. 10922 of them make 65532 bytes.
    CByteArray image;
    for (int i = 0; i < 10922; ++i) {
        const CByteArray rec = Hex("1B 56 00 00");
        image.insert(image.end(), rec.begin(), rec.end());
    }
    CByteArray table;
    ASSERT_EQ(CB::CrcTable(table, CB::ModeShort, image, kP, kZ), 10922);
    EXPECT_EQ(ToHex(CByteArray(table.begin(), table.begin() + 5)), "1B 3F 00 FF FC");
    EXPECT_EQ(table.size(), 5u + 65532u);

    // One more would pass 65535: refused, nothing appended.
    const CByteArray rec = Hex("1B 56 00 00");
    image.insert(image.end(), rec.begin(), rec.end());
    CByteArray refused{0x01};
    EXPECT_EQ(CB::CrcTable(refused, CB::ModeShort, image, kP, kZ), -1);
    EXPECT_EQ(ToHex(refused), "01");
}

TEST(CrcTable, FlashPageSizeMustBePositive) {
    CByteArray table;
    EXPECT_EQ(CB::CrcTable(table, CB::ModeShort, Hex("1B 20 00 00"), 0, kZ), -1);
    EXPECT_TRUE(table.empty());
}

// An image made by the record builders, scanned back: every record found, each CRC over
// exactly its stored flash pages.
class ExportedImage : public testing::TestWithParam<int> {};

TEST_P(ExportedImage, ScanFindsEveryRecordTheBuildersWrote) {
    const int mode = GetParam();
    constexpr int kPage = 512;
    CLedDoc first, second;
    first.m_nStartPage = 0;
    second.m_nStartPage = 1;
    second.m_nKind = CLedDoc::PageKindAux;
    for (int i = 0; i < 20; ++i) {  // 3 + 220 + 6 bytes: two flash pages
        auto line = std::make_unique<CItemLine>();
        line->m_x1 = 0x1B;  // ESC bytes inside the record body
        line->m_y1 = 0x56;
        line->m_x2 = i + 40;
        line->m_y2 = 0x28;
        first.CurrentItems().push_back(std::move(line));
    }
    CByteArray image;
    ASSERT_TRUE(first.EncodeRecord(image, mode));
    const size_t firstEnd = image.size();
    ASSERT_TRUE(second.EncodeRecord(image, mode));
    const size_t secondEnd = image.size();
    CByteArray pixels(700, 0x1B);
    CB::BitmapRecord(image, mode, 0, 3, 2, pixels, kPage);
    const size_t bitmapEnd = image.size();
    const CByteArray screen(320 * 234 / 2, 0x20);
    CB::PageImageRecord(image, mode, 4, screen, kPage);

    CByteArray table;
    bool truncated = true;
    ASSERT_EQ(CB::CrcTable(table, mode, image, kPage, CB::FullScreenBytes(320, 234, 8, false),
                           &truncated),
              4);
    EXPECT_FALSE(truncated);
    const size_t pageHead = mode == CB::ModeShort ? 4 : 7;
    const size_t bitmapHead = mode == CB::ModeShort ? 5 : 8;
    const size_t screenHead = mode == CB::ModeShort ? 4 : 7;  // with the 00
    const auto slice = [&](size_t from, size_t to) {
        return CByteArray(image.begin() + static_cast<std::ptrdiff_t>(from),
                          image.begin() + static_cast<std::ptrdiff_t>(to));
    };
    const size_t entriesAt = table.size() - (6 + 6 + 7 + 5);
    EXPECT_EQ(
        ToHex(CByteArray(table.begin() + static_cast<std::ptrdiff_t>(entriesAt - 2), table.end())),
        "00 18 1B 56 00 02 " + CrcHex(slice(pageHead, firstEnd)) + " 1B 56 01 01 " +
            CrcHex(slice(firstEnd + pageHead, secondEnd)) + " 1B 28 00 03 02 " +
            CrcHex(slice(secondEnd + bitmapHead, bitmapEnd)) + " 1B 20 04 " +
            CrcHex(slice(bitmapEnd + screenHead, image.size())));
}

INSTANTIATE_TEST_SUITE_P(Modes, ExportedImage,
                         testing::Values(CB::ModeShort, CB::ModeChecksum, CB::ModeLong),
                         [](const auto& info) {
                             return std::string(info.param == CB::ModeShort      ? "Short"
                                                : info.param == CB::ModeChecksum ? "Checksum"
                                                                                 : "Long");
                         });

}  // namespace
