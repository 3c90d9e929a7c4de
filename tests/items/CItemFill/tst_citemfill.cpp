#include <gtest/gtest.h>

#include "gfx/Surface.h"
#include "items/CItemBase/ItemChecks.h"
#include "items/CItemFill.h"

using namespace itemchecks;

namespace {

constexpr COLORREF kFill = Rgb(0, 255, 0);
constexpr COLORREF kBorder = Rgb(255, 0, 0);

// A dialog confirming fill code row 3 column 5 and border code row 0 column 1.
FillDialog Confirming(int* calls = nullptr) {
    return [calls](FillChoice& c) {
        if (calls) ++*calls;
        c = FillChoice{kFill, kBorder, 3, 5, 0, 1};
        return true;
    };
}

TEST(CItemFill, ConfirmedDialogGivesAValidFill) {
    int calls = 0;
    CItemFill fill(40, 50, Confirming(&calls));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(fill.m_bValid, 1);
    EXPECT_EQ(fill.m_nType, 17);
    EXPECT_EQ(fill.m_xSeed, 40);
    EXPECT_EQ(fill.m_ySeed, 50);
    EXPECT_EQ(fill.m_crFillColor, kFill);
    EXPECT_EQ(fill.m_crBorder, kBorder);
    EXPECT_EQ(fill.m_fillHi, 3);
    EXPECT_EQ(fill.m_fillLo, 5);
    EXPECT_EQ(fill.m_borderHi, 0);
    EXPECT_EQ(fill.m_borderLo, 1);
    // The box is the seed point.
    EXPECT_EQ(fill.m_x1, 40);
    EXPECT_EQ(fill.m_x2, 40);
    EXPECT_EQ(fill.m_y1, 50);
    EXPECT_EQ(fill.m_y2, 50);
    EXPECT_EQ(fill.m_bSelected, 0);
    EXPECT_EQ(fill.m_bDragging, 0);
    EXPECT_EQ(fill.m_bCreating, 0);
}

TEST(CItemFill, CancelledOrMissingDialogGivesAnInvalidFill) {
    CItemFill cancelled(40, 50, [](FillChoice& c) {
        c.fillHi = 9;
        return false;
    });
    EXPECT_EQ(cancelled.m_bValid, 0);
    EXPECT_EQ(cancelled.m_fillHi, 0);
    CItemFill none(40, 50, FillDialog());
    EXPECT_EQ(none.m_bValid, 0);
}

TEST(CItemFill, CommandAndLength) {
    CItemFill fill(300, 20, Confirming());
    EXPECT_EQ(EncodedHex(fill), "1B 2A 2C 01 14 00 35 01");
    EXPECT_EQ(fill.GetEncodedLength(), 8);
    fill.m_xSeed = -1, fill.m_ySeed = 65536 + 2;
    fill.m_fillHi = 0xF, fill.m_fillLo = 0x0, fill.m_borderHi = 0xA, fill.m_borderLo = 0xB;
    EXPECT_EQ(EncodedHex(fill), "1B 2A FF FF 02 00 F0 AB");
}

TEST(CItemFill, DescriptionHasNoCheckMark) {
    CItemFill fill(300, 20, Confirming());
    fill.m_bSelected = 1;
    bool checked = true;
    EXPECT_EQ(Description(fill, &checked), "填充：填充点(300,20)填充色代码 35 ,边界颜色代码 01");
    EXPECT_FALSE(checked);
}

TEST(CItemFill, PickedAndDraggedBySeed) {
    CItemFill fill(40, 50, Confirming());
    EXPECT_EQ(fill.OnLButtonDown(100, 100), 0);  // a miss
    EXPECT_EQ(fill.OnLButtonDown(42, 48), 1);
    EXPECT_EQ(fill.m_bSelected, 1);
    EXPECT_EQ(fill.m_bDragging, 1);
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(fill.OnMouseMove(cursor, 42, 48, 52, 45), 1);
    EXPECT_EQ(fill.OnLButtonUp(52, 45), 0);
    EXPECT_EQ(fill.m_xSeed, 50);
    EXPECT_EQ(fill.m_ySeed, 47);
    EXPECT_EQ(fill.m_x1, 50);
    EXPECT_EQ(fill.m_x2, 50);
    EXPECT_EQ(fill.m_y1, 47);
    EXPECT_EQ(fill.m_y2, 47);
    EXPECT_EQ(EncodedHex(fill), "1B 2A 32 00 2F 00 35 01");
}

struct MoveRow {
    const char* name;
    int handle;
    int xSeed, ySeed;  // after moving from (10, 10) to (13, 6), seed at (40, 50)
};

void PrintTo(const MoveRow& row, std::ostream* os) {
    *os << row.name;
}

class FillMoveHandle : public testing::TestWithParam<MoveRow> {};

TEST_P(FillMoveHandle, EveryHandleMovesTheSeed) {
    CItemFill fill(40, 50, Confirming());
    fill.m_nHandle = GetParam().handle;
    fill.MoveHandle(10, 10, 13, 6);
    EXPECT_EQ(fill.m_xSeed, GetParam().xSeed);
    EXPECT_EQ(fill.m_ySeed, GetParam().ySeed);
    EXPECT_EQ(fill.m_x1, fill.m_xSeed);
    EXPECT_EQ(fill.m_x2, fill.m_xSeed);
    EXPECT_EQ(fill.m_y1, fill.m_ySeed);
    EXPECT_EQ(fill.m_y2, fill.m_ySeed);
}

INSTANTIATE_TEST_SUITE_P(Rows, FillMoveHandle,
                         testing::Values(MoveRow{"Body", 0, 43, 46}, MoveRow{"TopLeft", 1, 43, 46},
                                         MoveRow{"Right", 4, 43, 46},
                                         MoveRow{"BottomRight", 5, 43, 46},
                                         MoveRow{"Centre", 9, 43, 46},
                                         MoveRow{"Nothing", -1, 40, 50}),
                         [](const auto& info) { return info.param.name; });

TEST(CItemFill, CloneCopiesEveryField) {
    CItemFill fill(40, 50, Confirming());
    Scatter(fill);
    fill.m_nType = 99;
    std::unique_ptr<CItemBase> copy = fill.Clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->ClassName(), "CItemFill");
    EXPECT_EQ(copy->m_nType, 17);
    fill.m_nType = 17;
    ExpectSameItem(fill, *copy);
    auto* copied = static_cast<CItemFill*>(copy.get());
    EXPECT_EQ(copied->m_xSeed, 40);
    EXPECT_EQ(copied->m_ySeed, 50);
    EXPECT_EQ(copied->m_crFillColor, kFill);
    EXPECT_EQ(copied->m_crBorder, kBorder);
    EXPECT_EQ(copied->m_fillHi, 3);
    EXPECT_EQ(copied->m_fillLo, 5);
    EXPECT_EQ(copied->m_borderHi, 0);
    EXPECT_EQ(copied->m_borderLo, 1);
    EXPECT_EQ(copied->m_bValid, 1);
}

TEST(CItemFill, StoredRecordMatchesTheFormat) {
    CItemFill fill(-3, 70000, [](FillChoice& c) {
        c = FillChoice{Rgb(1, 2, 3), Rgb(4, 5, 6), 0xA, 0xB, 0xC, 0xD};
        return true;
    });
    const CByteArray expected = Record("CItemFill")
                                    .Int(17)
                                    .Int(0x00030201)
                                    .Int(0x00060504)
                                    .Int(-3)
                                    .Int(70000)
                                    .Byte(0xD)  // border low, border high, fill low, fill high
                                    .Byte(0xC)
                                    .Byte(0xB)
                                    .Byte(0xA)
                                    .Bytes();
    EXPECT_EQ(ToHex(Stored(fill)), ToHex(expected));
}

TEST(CItemFill, LoadsBackOnItsSeed) {
    CItemFill fill(40, 50, Confirming());
    std::unique_ptr<CItemFill> back = Load<CItemFill>(Stored(fill));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(ToHex(Stored(*back)), ToHex(Stored(fill)));
    EXPECT_EQ(back->m_bValid, 1);
    EXPECT_EQ(back->m_x1, 40);
    EXPECT_EQ(back->m_x2, 40);
    EXPECT_EQ(back->m_y1, 50);
    EXPECT_EQ(back->m_y2, 50);
    EXPECT_EQ(back->m_bSelected, 0);
    EXPECT_EQ(back->m_nHandle, -1);
    EXPECT_EQ(back->HitTest(40, 50), 1);
}

TEST(CItemFill, FillsUpToTheBorder) {
    const COLORREF bg = Rgb(0, 0, 0);
    Surface dc(30, 30, bg);
    dc.SetPen(Surface::Pen{Surface::PenStyle::Solid, 1, kBorder});
    dc.SetBrush(Surface::Brush{Surface::BrushStyle::None, 0});
    dc.Rectangle(5, 5, 20, 20);
    CItemFill fill(10, 10, Confirming());
    fill.Draw(dc);
    EXPECT_EQ(dc.GetPixel(10, 10), kFill);
    EXPECT_EQ(dc.GetPixel(6, 18), kFill);
    EXPECT_EQ(dc.GetPixel(5, 5), kBorder);
    EXPECT_EQ(dc.GetPixel(2, 2), bg);
    EXPECT_EQ(dc.GetPixel(25, 10), bg);
}

}  // namespace
