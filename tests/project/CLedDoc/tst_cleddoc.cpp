#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "base/ByteArray.h"
#include "base/ColourCode.h"
#include "gfx/Surface.h"
#include "items/CItemLine.h"
#include "items/CItemRectangle.h"
#include "project/CLedDoc.h"

namespace {

// Little helpers to build page files by hand from the field table.
std::string I32(int32_t v) {
    CByteArray b(4);
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
    return ToHex(b) + " ";
}
std::string U8(int v) {
    return ToHex(CByteArray{static_cast<uint8_t>(v)}) + " ";
}
std::string Dbl(double d) {
    CByteArray b(8);
    std::memcpy(b.data(), &d, 8);
    return ToHex(b) + " ";
}
std::string Str(const std::string& gbk) {
    CByteArray b(gbk.begin(), gbk.end());
    return U8(static_cast<int>(gbk.size())) + (b.empty() ? "" : ToHex(b) + " ");
}
std::string Name(const std::string& n) {
    return "FF FF 01 00 " + U8(static_cast<int>(n.size())) + "00 " +
           ToHex(CByteArray(n.begin(), n.end())) + " ";
}

// Fields 1 to 11: device "LCD", the given colours, 100.5 x 60.25 mm, 320 x 240, delay, kind,
// background colour 0x000000FF (red) with code hi 0 lo 4.
std::string Header(int colours = 8, int delay = 10, int kind = 0) {
    return Str("LCD") + I32(colours) + Dbl(100.5) + Dbl(60.25) + I32(320) + I32(240) + I32(delay) +
           I32(kind) + I32(0x000000FF) + U8(4) + U8(0);
}

std::string LineRecord(int x1, int y1, int x2, int y2, int hi, int lo) {
    return I32(11) + I32(x1) + I32(y1) + I32(x2) + I32(y2) + I32(0x00FFFFFF) + U8(lo) + U8(hi) +
           I32(1);
}

std::string RectRecord(int type, int x1, int y1, int x2, int y2, int solid, int hi, int lo) {
    return I32(type) + I32(x1) + I32(y1) + I32(x2) + I32(y2) + I32(0x0000FF00) + I32(0x00404040) +
           I32(solid) + U8(lo) + U8(hi);
}

// The framing example: two lines and a rectangle.
std::string TwoLinesAndARectangle() {
    return Header() + "03 00 " + Name("CItemLine") + LineRecord(10, 20, 300, 20, 0, 7) + "01 80 " +
           LineRecord(0, 0, 5, 5, 0, 1) + Name("CItemRectangle") +
           RectRecord(3, 0, 0, 10, 10, 1, 0, 7);
}

CByteArray Bytes(const std::string& hex) {
    CByteArray b;
    EXPECT_TRUE(FromHex(hex, b)) << hex;
    return b;
}

TEST(CLedDocNew, Defaults) {
    CLedDoc doc(ScreenParams{"LCD", 64, 1, 1, 320, 240});
    EXPECT_EQ(doc.m_nDelay, 10);
    EXPECT_EQ(doc.m_nKind, CLedDoc::PageKindMain);
    EXPECT_EQ(doc.m_byNextPage, 255);
    EXPECT_EQ(doc.m_strNextPage, "无");
    EXPECT_EQ(doc.m_backCodeHi, 0);
    EXPECT_EQ(doc.m_backCodeLo, 0);
    EXPECT_EQ(doc.m_nSel, -1);
    EXPECT_EQ(doc.m_drawCodeHi, 7);
    EXPECT_EQ(doc.m_drawCodeLo, 7);
    EXPECT_EQ(doc.ComputePageCount(), 1);
    EXPECT_EQ(doc.m_nPageCount, 1);
}

TEST(CLedDocFile, EmptyPageStoresCountZeroAndNothingAfter) {
    CLedDoc doc(ScreenParams{"LCD", 8, 100.5, 60.25, 320, 240});
    doc.m_crBack = 0x000000FF;
    doc.m_backCodeLo = 4;
    CByteArray out;
    std::string error;
    ASSERT_TRUE(doc.Save(out, error));
    EXPECT_EQ(ToHex(out), ToHex(Bytes(Header() + "00 00")));
}

TEST(CLedDocFile, HandBuiltPageLoadsAndResavesByteIdentical) {
    const CByteArray file = Bytes(TwoLinesAndARectangle());
    CLedDoc doc;
    std::string error;
    ASSERT_TRUE(doc.Load(file, error)) << error;
    EXPECT_EQ(doc.m_strDevice, "LCD");
    EXPECT_EQ(doc.m_nColours, 8);
    EXPECT_DOUBLE_EQ(doc.m_dPhysWidth, 100.5);
    EXPECT_DOUBLE_EQ(doc.m_dPhysHeight, 60.25);
    EXPECT_EQ(doc.m_nLogWidth, 320);
    EXPECT_EQ(doc.m_nLogHeight, 240);
    EXPECT_EQ(doc.m_crBack, 0x000000FFu);
    EXPECT_EQ(doc.m_backCodeLo, 4);
    ASSERT_EQ(doc.CurrentItems().size(), 3u);
    EXPECT_EQ(std::string(doc.CurrentItems()[0]->ClassName()), "CItemLine");
    EXPECT_EQ(std::string(doc.CurrentItems()[2]->ClassName()), "CItemRectangle");
    for (auto& item : doc.CurrentItems()) {
        EXPECT_EQ(item->m_bSelected, 0);
        EXPECT_EQ(item->m_bCreating, 0);
    }
    // The default drawing code of 8 colours.
    EXPECT_EQ(doc.m_drawCodeHi, 0);
    EXPECT_EQ(doc.m_drawCodeLo, 7);

    CByteArray out;
    ASSERT_TRUE(doc.Save(out, error));
    EXPECT_EQ(ToHex(out), ToHex(file));
}

TEST(CLedDocFile, DirectStreamIsBackgroundThenItemsInListOrder) {
    CLedDoc doc;
    std::string error;
    ASSERT_TRUE(doc.Load(Bytes(TwoLinesAndARectangle()), error)) << error;
    CByteArray stream;
    doc.EncodeDirect(stream, DownloadSettings{});
    EXPECT_EQ(ToHex(stream),
              "1B 42 04 "
              "1B 46 07 0A 00 14 00 2C 01 14 00 "
              "1B 46 01 00 00 00 00 05 00 05 00 "
              "1B 41 07 00 00 00 00 0A 00 0A 00");
}

TEST(CLedDocFile, AuxiliaryPageHasNoBackgroundCommand) {
    CLedDoc doc;
    std::string error;
    const std::string file =
        Header(8, 10, 1) + "01 00 " + Name("CItemLine") + LineRecord(1, 2, 3, 4, 0, 2);
    ASSERT_TRUE(doc.Load(Bytes(file), error)) << error;
    EXPECT_EQ(doc.m_nKind, CLedDoc::PageKindAux);
    CByteArray stream;
    doc.EncodeDirect(stream, DownloadSettings{});
    EXPECT_EQ(ToHex(stream), "1B 46 02 01 00 02 00 03 00 04 00");
}

struct PageCountRow {
    const char* name;
    int kind;
    int lines;  // 11 bytes each
    int expected;
};

void PrintTo(const PageCountRow& row, std::ostream* os) {
    *os << row.name;
}

class CLedDocPageCount : public testing::TestWithParam<PageCountRow> {};

TEST_P(CLedDocPageCount, HeadItemsAndTrailerIn128ByteFlashPages) {
    const PageCountRow& row = GetParam();
    CLedDoc doc;
    doc.m_nKind = row.kind;
    for (int i = 0; i < row.lines; ++i) {
        auto line = std::make_unique<CItemLine>(0, 0, 0, 1);
        line->m_x2 = 10 + i;
        line->m_bCreating = 0;
        doc.CurrentItems().push_back(std::move(line));
    }
    EXPECT_EQ(doc.ComputePageCount(), row.expected);
    EXPECT_EQ(doc.m_nPageCount, row.expected);
}

// 3 + 11n + 6 bytes on a main page, 11n + 6 on an auxiliary one.
INSTANTIATE_TEST_SUITE_P(Rows, CLedDocPageCount,
                         testing::Values(PageCountRow{"empty_main_9_bytes", 0, 0, 1},
                                         PageCountRow{"empty_aux_6_bytes", 1, 0, 1},
                                         PageCountRow{"main_119_bytes", 0, 10, 1},
                                         PageCountRow{"main_130_bytes", 0, 11, 2},
                                         PageCountRow{"aux_127_bytes", 1, 11, 1},
                                         PageCountRow{"aux_138_bytes", 1, 12, 2},
                                         PageCountRow{"main_251_bytes", 0, 22, 2},
                                         PageCountRow{"main_262_bytes", 0, 23, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

struct BadPageRow {
    const char* name;
    std::string hex;
};

void PrintTo(const BadPageRow& row, std::ostream* os) {
    *os << row.name;
}

class CLedDocMalformed : public testing::TestWithParam<BadPageRow> {};

TEST_P(CLedDocMalformed, RefusedWithOneLineAndThePreviousPageKept) {
    CLedDoc doc;
    std::string error;
    ASSERT_TRUE(doc.Load(Bytes(TwoLinesAndARectangle()), error)) << error;
    error.clear();
    EXPECT_FALSE(doc.Load(Bytes(GetParam().hex), error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(error.find('\n'), std::string::npos);
    EXPECT_EQ(doc.CurrentItems().size(), 3u);
    EXPECT_EQ(doc.m_strDevice, "LCD");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CLedDocMalformed,
    testing::Values(BadPageRow{"empty_file", ""},
                    BadPageRow{"unknown_class", Header() + "01 00 " + Name("CItemCircle") + I32(0)},
                    BadPageRow{"schema_2",
                               Header() + "01 00 FF FF 02 00 09 00 " +
                                   ToHex(CByteArray{'C', 'I', 't', 'e', 'm', 'L', 'i', 'n', 'e'}) +
                                   " " + LineRecord(0, 0, 1, 1, 0, 1)},
                    BadPageRow{"null_item", Header() + "01 00 00 00"},
                    BadPageRow{"count_past_the_end", Header() + "FF FF 00 00 01 00"},
                    BadPageRow{"background_bitmap_kind", Header(8, 10, 2 + 9) + "00 00"},
                    BadPageRow{"negative_kind", Header(8, 10, -1) + "00 00"},
                    BadPageRow{"back_reference_to_nothing", Header() + "01 00 05 80"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CLedDocMalformed, TruncatedAtEveryOffset) {
    const CByteArray full = Bytes(TwoLinesAndARectangle());
    for (size_t cut = 0; cut < full.size(); ++cut) {
        CLedDoc doc;
        std::string error;
        EXPECT_FALSE(doc.Load(std::span<const uint8_t>(full.data(), cut), error)) << cut;
        EXPECT_TRUE(doc.CurrentItems().empty());
    }
}

// A private folder for one test's page file, removed with everything in it.
class PageFolder {
public:
    PageFolder() {
        char tmpl[] = "/tmp/lcd-doc-XXXXXX";
        if (mkdtemp(tmpl)) m_dir = tmpl;
    }
    ~PageFolder() {
        if (!m_dir.empty()) std::filesystem::remove_all(m_dir);
    }
    std::string File(const std::string& name) const { return m_dir + "/" + name; }

private:
    std::string m_dir;
};

TEST(CLedDocFile, SaveFileAndLoadFile) {
    const PageFolder dir;
    const std::string path = dir.File("page.pg");
    CLedDoc doc;
    std::string error;
    ASSERT_TRUE(doc.Load(Bytes(TwoLinesAndARectangle()), error));
    doc.m_bModified = true;
    ASSERT_TRUE(doc.SaveFile(path, error)) << error;
    EXPECT_FALSE(doc.m_bModified);
    CLedDoc back;
    ASSERT_TRUE(back.LoadFile(path, error)) << error;
    CByteArray a, b;
    doc.Save(a, error);
    back.Save(b, error);
    EXPECT_EQ(a, b);
    EXPECT_FALSE(back.LoadFile(dir.File("missing.pg"), error));
    EXPECT_NE(error.find("missing.pg"), std::string::npos);
}

// A text GBK cannot hold would be stored as raw UTF-8 and make the page unreadable.
TEST(CLedDocFile, ATextGbkCannotHoldRefusesTheSaveAndKeepsTheFile) {
    const PageFolder dir;
    const std::string path = dir.File("page.pg");
    CLedDoc doc;
    std::string error;
    ASSERT_TRUE(doc.Load(Bytes(TwoLinesAndARectangle()), error));
    ASSERT_TRUE(doc.SaveFile(path, error)) << error;
    doc.m_strDevice = "LCD😀ẞ";
    doc.m_bModified = true;
    CByteArray bytes = {0xAB};
    EXPECT_FALSE(doc.Save(bytes, error));
    EXPECT_EQ(ToHex(bytes), "AB");
    EXPECT_FALSE(doc.SaveFile(path, error));
    EXPECT_NE(error.find("GBK"), std::string::npos) << error;
    EXPECT_TRUE(doc.m_bModified);
    CLedDoc back;
    ASSERT_TRUE(back.LoadFile(path, error)) << error;
    EXPECT_EQ(back.m_strDevice, "LCD");
}

TEST(CLedDocTree, ScreenLineClearLineAndItems) {
    CLedDoc doc;
    std::string error;
    ASSERT_TRUE(doc.Load(Bytes(TwoLinesAndARectangle()), error));
    TreeNode root;
    doc.BuildTree(root);
    EXPECT_EQ(root.text, "设备类型:LCD 颜色数:8 物理尺寸(100.5*60.2) 逻辑尺寸(320*240)");
    ASSERT_EQ(root.children.size(), 4u);
    EXPECT_EQ(root.children[0].text, "清屏    颜色代码：04");
    EXPECT_EQ(root.children[1].text, "直线：起点(10,20),终点(300,20) 颜色代码 07");
    EXPECT_EQ(root.children[3].text, "实心矩形：左上角(0,0),右下角(10,10),颜色代码 07");

    doc.m_nKind = CLedDoc::PageKindAux;
    doc.BuildTree(root);
    ASSERT_EQ(root.children.size(), 3u);
    EXPECT_EQ(root.children[0].text.rfind("直线", 0), 0u);
}

TEST(CLedDocDraw, BackgroundByKindThenItemsThenMarksOnlyWhenAsked) {
    CLedDoc doc;
    std::string error;
    ASSERT_TRUE(doc.Load(Bytes(TwoLinesAndARectangle()), error));
    Surface s(40, 40);
    doc.DrawPage(s, false);
    EXPECT_EQ(s.GetPixel(30, 30), 0x000000FFu);  // the red background
    EXPECT_EQ(s.GetPixel(5, 5), 0x00404040u);    // the solid rectangle's fill colour
    EXPECT_EQ(s.GetPixel(0, 9), 0x0000FF00u);    // its outline
    doc.CurrentItems()[2]->m_bSelected = 1;
    doc.DrawPage(s, false);
    EXPECT_EQ(s.GetPixel(7, 7), 0x00404040u);  // no handle square without marks
    doc.DrawPage(s, true);
    EXPECT_EQ(s.GetPixel(7, 7), Rgb(0, 0, 255));  // the blue handle square of corner 5

    doc.m_nKind = CLedDoc::PageKindAux;
    doc.DrawPage(s, false);
    EXPECT_EQ(s.GetPixel(30, 30), Rgb(0, 0, 0));
}

}  // namespace
