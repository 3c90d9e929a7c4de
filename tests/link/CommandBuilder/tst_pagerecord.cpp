// The page record: head, background command by kind, items, trailer, padding, and the
// length check against what the items announce.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/ByteArray.h"
#include "base/Messenger.h"
#include "items/CItemLine.h"
#include "link/CommandBuilder.h"
#include "project/CLedDoc.h"

namespace {

using CB = CommandBuilder;

// An item that appends fixed bytes and announces a length of its own choosing.
class FixedItem : public CItemBase {
public:
    FixedItem(const std::string& hex, int announced) : m_announced(announced) {
        EXPECT_TRUE(FromHex(hex, m_bytes));
    }
    int Encode(int flashMode, CByteArray& bytes, const DownloadSettings&) override {
        m_lastMode = flashMode;
        bytes.insert(bytes.end(), m_bytes.begin(), m_bytes.end());
        return static_cast<int>(m_bytes.size());
    }
    int GetEncodedLength() override { return m_announced; }
    const char* ClassName() const override { return "FixedItem"; }
    CByteArray m_bytes;
    int m_announced;
    int m_lastMode = -1;
};

class Recorder : public Messenger {
public:
    void Tell(const std::string& text, const std::string& caption) override {
        told.push_back(text);
        captions.push_back(caption);
    }
    Answer Ask(const std::string&, const std::string&, Buttons) override { return Answer::No; }
    std::vector<std::string> told, captions;
};

class PageRecordTest : public testing::Test {
protected:
    Recorder recorder;
};

std::string Pad(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i)
        s += " FF";
    return s;
}

struct RecordRow {
    const char* name;
    int mode;
    int kind;
    int pageCount;
    std::vector<std::pair<const char*, int>> items;  // bytes, announced length
    std::string expected;
};

void PrintTo(const RecordRow& row, std::ostream* os) {
    *os << row.name;
}

class PageRecordRows : public PageRecordTest, public testing::WithParamInterface<RecordRow> {};

TEST_P(PageRecordRows, BytesAsBuiltFromTheRecordLayout) {
    const RecordRow& row = GetParam();
    CB::PageFields page;
    page.name = "main.pg";
    page.startPage = 0x105;  // only the low byte is sent
    page.pageCount = row.pageCount;
    page.kind = row.kind;
    page.backCode = 0x47;
    page.backId = 0x02;
    page.delay = 8;
    page.nextPage = 0x04;
    std::vector<std::unique_ptr<CItemBase>> items;
    for (const auto& [hex, announced] : row.items)
        items.push_back(std::make_unique<FixedItem>(hex, announced));
    CByteArray bytes{0xEE};
    EXPECT_TRUE(CB::PageRecord(bytes, row.mode, page, items, recorder));
    EXPECT_EQ(ToHex(bytes), "EE " + row.expected);
    for (const auto& item : items)
        EXPECT_EQ(static_cast<FixedItem*>(item.get())->m_lastMode, 1) << "flash form";
    EXPECT_TRUE(recorder.told.empty());
}

const char kLine[] = "1B 46 07 01 00 01 00 0A 00 01 00";

const RecordRow kRecordRows[] = {
    // Auxiliary page without items: head, trailer, 122 FF; one flash page.
    {"AuxiliaryEmptyShort", CB::ModeShort, 1, 1, {}, "1B 56 05 01 1B 53 08 1B 50 04" + Pad(122)},
    // 1B+56+02+05+01 = 0079
    {"AuxiliaryEmptyChecksum",
     CB::ModeChecksum,
     1,
     1,
     {},
     "1B 56 02 05 01 00 79 1B 53 08 1B 50 04" + Pad(122)},
    {"AuxiliaryEmptyLong",
     CB::ModeLong,
     1,
     1,
     {},
     "1B 56 0A A0 0A 05 01 1B 53 08 1B 50 04" + Pad(122)},
    // Main page: colour command, the line, trailer: 20 bytes, then 108 FF.
    {"MainWithLineShort",
     CB::ModeShort,
     0,
     1,
     {{kLine, 11}},
     std::string("1B 56 05 01 1B 42 47 ") + kLine + " 1B 53 08 1B 50 04" + Pad(108)},
    {"MainWithLineChecksum",
     CB::ModeChecksum,
     0,
     1,
     {{kLine, 11}},
     std::string("1B 56 02 05 01 00 79 1B 42 47 ") + kLine + " 1B 53 08 1B 50 04" + Pad(108)},
    // Background page: the background bitmap command instead of the colour.
    {"BackgroundLong",
     CB::ModeLong,
     2,
     1,
     {{kLine, 11}},
     std::string("1B 56 0A A0 0A 05 01 1B 19 02 ") + kLine + " 1B 53 08 1B 50 04" + Pad(108)},
    // Items in list order: 6 + 3 + 2 + 3 bytes, then 114 FF.
    {"ItemsInListOrder",
     CB::ModeShort,
     0,
     1,
     {{"1B 01", 2}, {"1B 02 03", 3}},
     "1B 56 05 01 1B 42 47 1B 01 1B 02 03 1B 53 08 1B 50 04" + Pad(114)},
};

INSTANTIATE_TEST_SUITE_P(Rows, PageRecordRows, testing::ValuesIn(kRecordRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PageRecordTest, WholePagesGetNoPaddingAndOneMoreByteStartsAPage) {
    for (const size_t itemBytes : {122u, 123u}) {
        CByteArray body(itemBytes, 0x33);
        auto item = std::make_unique<FixedItem>("", static_cast<int>(itemBytes));
        item->m_bytes = body;
        std::vector<std::unique_ptr<CItemBase>> items;
        items.push_back(std::move(item));
        CB::PageFields page;
        page.kind = 1;
        page.nextPage = 0x11;
        page.pageCount = itemBytes == 122 ? 1 : 2;
        CByteArray bytes;
        ASSERT_TRUE(CB::PageRecord(bytes, CB::ModeShort, page, items, recorder));
        // Everything after the 4-byte head is whole 128-byte pages.
        EXPECT_EQ(bytes.size() - 4, itemBytes == 122 ? 128u : 256u);
        EXPECT_EQ(bytes[3], page.pageCount);
        EXPECT_EQ(bytes[4 + itemBytes + 5], 0x11) << "next page byte";
        if (itemBytes == 123) {
            EXPECT_EQ(bytes.back(), 0xFF);
        }
    }
}

TEST_F(PageRecordTest, LengthMismatchIsReportedAndTheRecordStaysAsBuilt) {
    std::vector<std::unique_ptr<CItemBase>> items;
    items.push_back(std::make_unique<FixedItem>(kLine, 10));  // says 10, writes 11
    CB::PageFields page;
    page.name = "p1.pg";
    page.kind = 0;
    page.backCode = 0x01;
    page.delay = 1;
    CByteArray bytes;
    EXPECT_FALSE(CB::PageRecord(bytes, CB::ModeShort, page, items, recorder));
    ASSERT_EQ(recorder.told.size(), 1u);
    // E = 6 + 3 + 10 announced, M = 20 built.
    EXPECT_EQ(recorder.told[0], "p1.pg的前一页面有错误 (19,20)");
    EXPECT_EQ(recorder.captions[0], "提示");
    EXPECT_EQ(ToHex(bytes),
              std::string("1B 56 00 01 1B 42 01 ") + kLine + " 1B 53 01 1B 50 FF" + Pad(108));
}

TEST_F(PageRecordTest, KindWithoutBackgroundCommandIsAMismatch) {
    // A kind the record does not know gets no background command, yet counts its 3 bytes.
    CB::PageFields page;
    page.name = "odd.pg";
    page.kind = 7;
    CByteArray bytes;
    EXPECT_FALSE(CB::PageRecord(bytes, CB::ModeShort, page, {}, recorder));
    ASSERT_EQ(recorder.told.size(), 1u);
    EXPECT_EQ(recorder.told[0], "odd.pg的前一页面有错误 (9,6)");
}

// The page document's record, with real items and its own page count.
TEST_F(PageRecordTest, PageDocumentRecordUsesItsFieldsAndPageCount) {
    CLedDoc doc;
    doc.m_strTitle = "home.pg";
    doc.m_nStartPage = 9;
    doc.m_nDelay = 0x28;
    doc.m_byNextPage = 0x0A;
    doc.m_backCodeHi = 3;
    doc.m_backCodeLo = 0xC;
    // Twelve lines: 3 + 12 * 11 + 6 = 141 bytes, two flash pages.
    for (int i = 0; i < 12; ++i) {
        auto line = std::make_unique<CItemLine>();
        line->m_x1 = i;
        line->m_y1 = 2;
        line->m_x2 = 300;
        line->m_y2 = 2;
        line->m_codeHi = 0;
        line->m_codeLo = 7;
        doc.CurrentItems().push_back(std::move(line));
    }
    CByteArray bytes;
    ASSERT_TRUE(doc.EncodeRecord(bytes, CB::ModeChecksum));
    EXPECT_EQ(doc.m_nPageCount, 2);
    // 1B+56+02+09+02 = 007E
    EXPECT_EQ(ToHex(CByteArray(bytes.begin(), bytes.begin() + 10)),
              "1B 56 02 09 02 00 7E 1B 42 3C");
    EXPECT_EQ(ToHex(CByteArray(bytes.begin() + 10, bytes.begin() + 21)),
              "1B 46 07 00 00 02 00 2C 01 02 00");
    ASSERT_EQ(bytes.size(), 7u + 256u);
    EXPECT_EQ(ToHex(CByteArray(bytes.begin() + 7 + 135, bytes.begin() + 7 + 142)),
              "1B 53 28 1B 50 0A FF");
    EXPECT_TRUE(recorder.told.empty());
}

TEST_F(PageRecordTest, PageDocumentNamesItselfInTheMismatchMessage) {
    CLedDoc doc;
    doc.SetMessenger(recorder);
    doc.m_strTitle = "bad.pg";
    doc.m_nKind = CLedDoc::PageKindAux;
    doc.CurrentItems().push_back(std::make_unique<FixedItem>("1B 00", 5));
    CByteArray bytes;
    EXPECT_FALSE(doc.EncodeRecord(bytes, CB::ModeShort));
    ASSERT_EQ(recorder.told.size(), 1u);
    EXPECT_EQ(recorder.told[0], "bad.pg的前一页面有错误 (11,8)");
}

}  // namespace
