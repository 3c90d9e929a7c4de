#include <gtest/gtest.h>

#include "gfx/Surface.h"
#include "items/CItemBase/ItemChecks.h"
#include "items/CItemRectangle.h"

using namespace itemchecks;

namespace {

CItemRectangle MakeRect(int x1, int y1, int x2, int y2, int solid, uint8_t hi = 0, uint8_t lo = 7) {
    CItemRectangle rect;
    rect.m_x1 = x1, rect.m_y1 = y1, rect.m_x2 = x2, rect.m_y2 = y2;
    rect.m_bSolid = solid;
    rect.m_codeHi = hi, rect.m_codeLo = lo;
    return rect;
}

struct EncodeRow {
    const char* name;
    int x1, y1, x2, y2, solid;
    const char* hex;
};

void PrintTo(const EncodeRow& row, std::ostream* os) {
    *os << row.name;
}

class RectangleEncode : public testing::TestWithParam<EncodeRow> {};

TEST_P(RectangleEncode, BytesAndLengthAgree) {
    const EncodeRow& r = GetParam();
    CItemRectangle rect = MakeRect(r.x1, r.y1, r.x2, r.y2, r.solid);
    EXPECT_EQ(EncodedHex(rect), r.hex);
    CByteArray bytes;
    rect.Encode(1, bytes);
    EXPECT_EQ(rect.GetEncodedLength(), static_cast<int>(bytes.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RectangleEncode,
    testing::Values(EncodeRow{"Solid", 0, 0, 10, 10, 1, "1B 41 07 00 00 00 00 0A 00 0A 00"},
                    EncodeRow{"Hollow", 0, 0, 10, 10, 0, "1B 5A 07 00 00 00 00 0A 00 0A 00"},
                    EncodeRow{"AnyNonZeroIsSolid", 0, 0, 10, 10, 2,
                              "1B 41 07 00 00 00 00 0A 00 0A 00"},
                    // Not normalised: the press corner goes first.
                    EncodeRow{"Flipped", 300, 40, 20, 5, 0, "1B 5A 07 2C 01 28 00 14 00 05 00"},
                    EncodeRow{"FlatStillSent", 3, 3, 3, 9, 0, "1B 5A 07 03 00 03 00 03 00 09 00"},
                    EncodeRow{"ZeroSize", 3, 3, 3, 3, 1, ""}),
    [](const auto& info) { return info.param.name; });

TEST(CItemRectangle, CreationConstructorState) {
    CItemRectangle rect(7, 8, Rgb(1, 1, 1), Rgb(2, 2, 2), true);
    EXPECT_EQ(rect.m_nType, 3);
    EXPECT_EQ(rect.m_x1, 7);
    EXPECT_EQ(rect.m_x2, 7);
    EXPECT_EQ(rect.m_y1, 8);
    EXPECT_EQ(rect.m_y2, 8);
    EXPECT_EQ(rect.m_crColor, Rgb(1, 1, 1));
    EXPECT_EQ(rect.m_crFill, Rgb(2, 2, 2));
    EXPECT_EQ(rect.m_bSolid, 1);
    EXPECT_EQ(rect.m_nHandle, 5);
    EXPECT_EQ(rect.m_bSelected, 1);
    EXPECT_EQ(rect.m_bDragging, 1);
    EXPECT_EQ(rect.m_bCreating, 0);
    EXPECT_EQ(CItemRectangle(0, 0, 0, 0, false).m_bSolid, 0);
    EXPECT_EQ(CItemRectangle(0, 0, 0, 0, false).m_nType, 3);
}

TEST(CItemRectangle, DrawnAsADragOfTheCorner) {
    CItemRectangle rect(10, 10, 0, 0, false);
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(rect.OnMouseMove(cursor, 10, 10, 50, 30), 1);
    EXPECT_EQ(rect.m_x2, 50);
    EXPECT_EQ(rect.m_y2, 30);
    EXPECT_EQ(rect.OnMouseMove(cursor, 50, 30, 60, 35), 1);
    EXPECT_EQ(rect.OnLButtonUp(60, 35), 0);
    EXPECT_EQ(rect.m_x2, 60);
    EXPECT_EQ(rect.m_y2, 35);
    EXPECT_EQ(rect.m_bDragging, 0);
    EXPECT_EQ(rect.m_bSelected, 1);
}

TEST(CItemRectangle, ReleasedWhereItStartedStaysWithZeroSize) {
    CItemRectangle rect(10, 10, 0, 0, true);
    EXPECT_EQ(rect.OnLButtonUp(10, 10), 0);
    EXPECT_EQ(rect.GetEncodedLength(), 0);
    EXPECT_EQ(EncodedHex(rect), "");
}

TEST(CItemRectangle, DescriptionLines) {
    CItemRectangle solid = MakeRect(1, 2, 30, 40, 1, 0x7, 0xF);
    solid.m_bSelected = 1;
    bool checked = false;
    EXPECT_EQ(Description(solid, &checked), "实心矩形：左上角(1,2),右下角(30,40),颜色代码 7F");
    EXPECT_TRUE(checked);
    CItemRectangle hollow = MakeRect(-1, 2, 3, 4, 0, 0x0, 0x5);
    EXPECT_EQ(Description(hollow, &checked), "空心矩形：左上角(-1,2),右下角(3,4),颜色代码 05");
    EXPECT_FALSE(checked);
}

TEST(CItemRectangle, CloneCopiesEveryFieldAndResetsType) {
    CItemRectangle rect;
    Scatter(rect);
    rect.m_nType = 3;
    std::unique_ptr<CItemBase> copy = rect.Clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->ClassName(), "CItemRectangle");
    EXPECT_EQ(copy->m_nType, 2);
    rect.m_nType = 2;
    ExpectSameItem(rect, *copy);
    EXPECT_EQ(copy->m_rcHandles[5], Rect::Around(133, 144));
}

TEST(CItemRectangle, StoredRecordMatchesTheFormat) {
    CItemRectangle rect = MakeRect(-5, 6, 700, 8, 1, 0x4, 0x2);
    rect.m_nType = 3;
    rect.m_crColor = Rgb(0xAA, 0xBB, 0xCC);
    rect.m_crFill = Rgb(0x01, 0x02, 0x03);
    const CByteArray expected = Record("CItemRectangle")
                                    .Int(3)
                                    .Int(-5)
                                    .Int(6)
                                    .Int(700)
                                    .Int(8)
                                    .Int(0x00CCBBAA)
                                    .Int(0x00030201)
                                    .Int(1)
                                    .Byte(0x2)
                                    .Byte(0x4)
                                    .Bytes();
    EXPECT_EQ(ToHex(Stored(rect)), ToHex(expected));
}

TEST(CItemRectangle, LoadsBackAsIdle) {
    CItemRectangle rect(4, 5, Rgb(1, 2, 3), Rgb(4, 5, 6), true);
    rect.m_x2 = 40, rect.m_y2 = 50;
    rect.m_bCreating = 1;
    std::unique_ptr<CItemRectangle> back = Load<CItemRectangle>(Stored(rect));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(ToHex(Stored(*back)), ToHex(Stored(rect)));
    EXPECT_EQ(back->m_nType, 3);  // kept as stored
    EXPECT_EQ(back->m_crFill, Rgb(4, 5, 6));
    EXPECT_EQ(back->m_bCreating, 0);
    EXPECT_EQ(back->m_bSelected, 0);
    EXPECT_EQ(back->m_bDragging, 0);
    EXPECT_EQ(back->m_nHandle, -1);
}

TEST(CItemRectangle, SolidIsFilledWithTheFillColour) {
    const COLORREF bg = Rgb(0, 0, 0), pen = Rgb(255, 0, 0), fill = Rgb(0, 255, 0);
    Surface dc(20, 20, bg);
    CItemRectangle rect = MakeRect(2, 2, 12, 10, 1);
    rect.m_crColor = pen, rect.m_crFill = fill;
    rect.Draw(dc);
    EXPECT_EQ(dc.GetPixel(2, 2), pen);
    EXPECT_EQ(dc.GetPixel(11, 9), pen);
    EXPECT_EQ(dc.GetPixel(6, 6), fill);
    EXPECT_EQ(dc.GetPixel(12, 10), bg);

    Surface hollowDc(20, 20, bg);
    rect.m_bSolid = 0;
    rect.Draw(hollowDc);
    EXPECT_EQ(hollowDc.GetPixel(2, 2), pen);
    EXPECT_EQ(hollowDc.GetPixel(6, 6), bg);
}

}  // namespace
