// The animation widget: line command over its box, placement by a click, generic handles
// and drags, a frame seen on any page, tree line, page-file record, clone.

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <set>

#include "base/Archive.h"
#include "base/ClassRegistry.h"
#include "gfx/Surface.h"
#include "items/CItemAnimationWidget.h"
#include "items/CItemBase/ItemChecks.h"
#include "items/ItemClasses.h"

using namespace itemchecks;

namespace {

constexpr COLORREF kPaper = Rgb(10, 20, 30);

CItemAnimationWidget Box(int x1, int y1, int x2, int y2) {
    CItemAnimationWidget w;
    w.m_x1 = x1, w.m_y1 = y1, w.m_x2 = x2, w.m_y2 = y2;
    return w;
}

struct EncodeRow {
    const char* name;
    int x1, y1, x2, y2;
    uint8_t hi, lo;
    const char* hex;
};

void PrintTo(const EncodeRow& row, std::ostream* os) {
    *os << row.name;
}

class AnimationWidgetEncode : public testing::TestWithParam<EncodeRow> {};

TEST_P(AnimationWidgetEncode, LineOverTheBox) {
    const EncodeRow& r = GetParam();
    CItemAnimationWidget w = Box(r.x1, r.y1, r.x2, r.y2);
    w.m_codeHi = r.hi, w.m_codeLo = r.lo;
    EXPECT_EQ(EncodedHex(w), r.hex);
    CByteArray bytes;
    w.Encode(0, bytes);
    EXPECT_EQ(ToHex(bytes), r.hex);
    EXPECT_EQ(w.GetEncodedLength(), static_cast<int>(bytes.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AnimationWidgetEncode,
    testing::Values(
        EncodeRow{"PlacedBox", 100, 200, 132, 216, 0x7, 0x7, "1B 46 77 64 00 C8 00 84 00 D8 00"},
        // Not normalised: a box dragged inside out goes out as it is.
        EncodeRow{"InsideOut", 50, 60, 10, 5, 0x0, 0xA, "1B 46 0A 32 00 3C 00 0A 00 05 00"},
        EncodeRow{"WrapsTo16Bits", 65536, -2, 65535, 0, 0xE, 0x1,
                  "1B 46 E1 00 00 FE FF FF FF 00 00"},
        EncodeRow{"SinglePointSendsNothing", -4, 4, -4, 4, 0x7, 0x7, ""}),
    [](const auto& info) { return info.param.name; });

TEST(AnimationWidget, LengthEqualsBytesInRandomStates) {
    std::mt19937 rng(777);
    std::uniform_int_distribution<int> small(-1, 1), nib(0, 15);
    std::uniform_int_distribution<int> any(std::numeric_limits<int>::min(),
                                           std::numeric_limits<int>::max());
    CursorShape cursor = CursorShape::Unchanged;
    for (int i = 0; i < 400; ++i) {
        CItemAnimationWidget w(small(rng), small(rng), 0);
        w.m_codeHi = static_cast<uint8_t>(nib(rng)), w.m_codeLo = static_cast<uint8_t>(nib(rng));
        w.OnLButtonUp(0, 0);
        // A few presses and drags of whatever handle they hit.
        for (int step = 0; step < 3; ++step) {
            const bool near = i % 2 == 0;
            const int x = near ? small(rng) * 16 : any(rng), y = near ? small(rng) * 16 : any(rng);
            w.OnLButtonDown(x, y);
            w.OnMouseMove(cursor, x, y, near ? small(rng) : any(rng), near ? small(rng) : any(rng));
            w.OnLButtonUp(x, y);
        }
        CByteArray bytes;
        w.Encode(1, bytes);
        ASSERT_EQ(w.GetEncodedLength(), static_cast<int>(bytes.size()))
            << "state " << i << ": " << ToHex(bytes);
    }
}

TEST(AnimationWidget, ClickPlacesA32x16BoxThatStays) {
    CItemAnimationWidget w(10, 20, Rgb(1, 2, 3));
    EXPECT_EQ(w.m_nType, 13);
    EXPECT_EQ(w.m_x2, 42);
    EXPECT_EQ(w.m_y2, 36);
    EXPECT_EQ(w.m_nAnimValue, 0);
    EXPECT_EQ(w.m_nHandle, 5);
    EXPECT_EQ(w.m_nPenWidth, 1);
    EXPECT_EQ(w.m_bCreating, 1);
    EXPECT_EQ(w.m_bDragging, 1);
    EXPECT_EQ(w.m_bSelected, 0);
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(w.OnMouseMove(cursor, 10, 20, 90, 95), 1);
    EXPECT_EQ(cursor, CursorShape::Unchanged);
    EXPECT_EQ(w.m_x2, 42);
    EXPECT_EQ(w.m_y2, 36);
    EXPECT_EQ(w.OnLButtonUp(10, 20), 0);  // released at the press point: kept
    EXPECT_EQ(w.m_x2, 42);
    EXPECT_EQ(w.m_y2, 36);
    EXPECT_EQ(w.m_bCreating, 0);
    EXPECT_EQ(w.m_bDragging, 0);
    EXPECT_EQ(CItemAnimationWidget().m_nType, 13);
}

struct DragRow {
    const char* name;
    int press_x, press_y;  // on the box 10,10 - 42,26
    int handle;
    CursorShape cursor;
    int to_x, to_y;
    int x1, y1, x2, y2;
};

void PrintTo(const DragRow& row, std::ostream* os) {
    *os << row.name;
}

class AnimationWidgetDrag : public testing::TestWithParam<DragRow> {};

TEST_P(AnimationWidgetDrag, GenericHandles) {
    const DragRow& r = GetParam();
    CItemAnimationWidget w = Box(10, 10, 42, 26);
    w.m_bSelected = 1;
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(w.OnMouseMove(cursor, 0, 0, r.press_x, r.press_y), 0);
    EXPECT_EQ(cursor, r.cursor);
    EXPECT_EQ(w.OnLButtonDown(r.press_x, r.press_y), 0);
    EXPECT_EQ(w.m_nHandle, r.handle);
    EXPECT_EQ(w.OnMouseMove(cursor, r.press_x, r.press_y, r.to_x, r.to_y), 1);
    EXPECT_EQ(w.OnLButtonUp(r.to_x, r.to_y), 0);
    EXPECT_EQ(w.m_bDragging, 0);
    EXPECT_EQ((Rect{w.m_x1, w.m_y1, w.m_x2, w.m_y2}), (Rect{r.x1, r.y1, r.x2, r.y2}));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AnimationWidgetDrag,
    testing::Values(
        DragRow{"TopLeft", 10, 10, 1, CursorShape::SizeNwSe, 2, 3, 2, 3, 42, 26},
        DragRow{"TopMiddle", 26, 12, 2, CursorShape::SizeNs, 30, 2, 10, 0, 42, 26},
        DragRow{"Right", 45, 18, 4, CursorShape::SizeWe, 60, 0, 10, 10, 57, 26},
        DragRow{"BottomRight", 42, 26, 5, CursorShape::SizeNwSe, 80, 90, 10, 10, 80, 90},
        DragRow{"BottomLeft", 7, 29, 7, CursorShape::SizeNeSw, 0, 30, 3, 10, 42, 27},
        DragRow{"Centre", 26, 18, 9, CursorShape::Move, 36, 8, 20, 0, 52, 16},
        DragRow{"Body", 33, 12, 0, CursorShape::Move, 34, 14, 11, 12, 43, 28},
        // Dragged past the right edge: not re-normalised.
        DragRow{"LeftPastRight", 10, 18, 8, CursorShape::SizeWe, 60, 18, 60, 10, 42, 26}),
    [](const auto& info) { return info.param.name; });

TEST(AnimationWidget, PressOutsideAndHoverUnselected) {
    CItemAnimationWidget w = Box(10, 10, 42, 26);
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(w.OnMouseMove(cursor, 0, 0, 10, 10), 0);
    EXPECT_EQ(cursor, CursorShape::Unchanged);
    EXPECT_EQ(w.OnLButtonDown(100, 100), 0);
    EXPECT_EQ(w.OnLButtonDown(26, 18), 1);
    EXPECT_EQ(w.m_bSelected, 1);
    w.OnLButtonUp(26, 18);
    EXPECT_EQ(w.OnMouseMove(cursor, 0, 0, 100, 100), 0);
    EXPECT_EQ(cursor, CursorShape::Cross);
    EXPECT_EQ(w.OnLButtonDown(100, 100), 1);
    EXPECT_EQ(w.m_bSelected, 0);
}

// Whatever pen and brush the item before left, the box is a frame of black dots over
// white with nothing filled.
TEST(AnimationWidget, DrawsAFrameSeenOnAnyPage) {
    for (const COLORREF page : {Rgb(0, 0, 0), Rgb(255, 255, 255)}) {
        Surface dc(40, 40, page);
        dc.SetPen(Surface::Pen{Surface::PenStyle::Solid, 1, page});
        dc.SetBrush(Surface::Brush{Surface::BrushStyle::Solid, Rgb(0, 255, 0)});
        CItemAnimationWidget w = Box(5, 6, 25, 20);
        w.Draw(dc);
        std::set<COLORREF> frame;
        for (int x = 5; x < 25; ++x)
            frame.insert(dc.GetPixel(x, 6));
        EXPECT_EQ(frame, (std::set<COLORREF>{Rgb(0, 0, 0), Rgb(255, 255, 255)}));
        EXPECT_EQ(dc.GetPixel(15, 12), page);
        EXPECT_EQ(dc.GetPixel(25, 20), page);
    }
}

TEST(AnimationWidget, HandlesWithoutOutline) {
    Surface dc(80, 40, kPaper);
    CItemAnimationWidget w = Box(10, 10, 70, 30);
    w.DrawHandles(dc);
    EXPECT_EQ(w.m_bSelected, 1);
    EXPECT_EQ(dc.GetPixel(70, 30), Rgb(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(40, 20), Rgb(0, 0, 255));
    // Where the outline would run, between the squares of handles 1 and 2 and of 6 and 5.
    for (int x = 14; x < 36; ++x)
        EXPECT_EQ(dc.GetPixel(x, 9), kPaper) << x;
    for (int x = 44; x < 66; ++x)
        EXPECT_EQ(dc.GetPixel(x, 30), kPaper) << x;
}

TEST(AnimationWidget, DescribedAsALine) {
    CItemAnimationWidget w = Box(1, -2, 33, 14);
    w.m_bSelected = 1;
    bool checked = false;
    EXPECT_EQ(Description(w, &checked), "直线：起点(1,-2),终点(33,14)");
    EXPECT_TRUE(checked);
}

TEST(AnimationWidget, StoredRecordMatchesTheFormat) {
    CItemAnimationWidget w = Box(-1, 2, 70000, 4);
    w.m_nAnimValue = -9;
    w.m_codeHi = 3, w.m_crColor = Rgb(1, 2, 3), w.m_bSelected = 1;  // none of these is stored
    const CByteArray expected =
        Record("CitemAnimationWidget").Int(-1).Int(2).Int(70000).Int(4).Int(-9).Bytes();
    EXPECT_EQ(ToHex(Stored(w)), ToHex(expected));

    std::unique_ptr<CItemAnimationWidget> back = Load<CItemAnimationWidget>(expected);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->m_nType, 13);
    EXPECT_EQ((Rect{back->m_x1, back->m_y1, back->m_x2, back->m_y2}), (Rect{-1, 2, 70000, 4}));
    EXPECT_EQ(back->m_nAnimValue, -9);
    EXPECT_EQ(back->m_bCreating, 0);
    EXPECT_EQ(back->m_bSelected, 0);
}

TEST(AnimationWidget, RoundTripClearsCreating) {
    CItemAnimationWidget w(3, 4, 0);
    w.m_nAnimValue = 12345;
    std::unique_ptr<CItemAnimationWidget> back = Load<CItemAnimationWidget>(Stored(w));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(ToHex(Stored(*back)), ToHex(Stored(w)));
    EXPECT_EQ(back->m_bCreating, 0);
    EXPECT_EQ(back->m_bDragging, 0);
    CByteArray cut = Stored(w);
    cut.resize(cut.size() - 2);
    EXPECT_EQ(Load<CItemAnimationWidget>(cut), nullptr);
}

TEST(AnimationWidget, PageFilesKnowBothWidgetsByName) {
    ClassRegistry registry;
    ItemClasses::Register(registry);
    const CByteArray animation =
        Record("CitemAnimationWidget").Int(0).Int(0).Int(5).Int(5).Int(1).Bytes();
    Archive in(animation, registry);
    std::unique_ptr<CObject> obj = in.ReadObjectAs<CObject>("item");
    ASSERT_TRUE(in.Ok()) << in.Error().message;
    ASSERT_NE(obj, nullptr);
    EXPECT_STREQ(obj->ClassName(), "CitemAnimationWidget");

    CByteArray number = Record("CItemNumberWidget").Bytes();
    number.resize(number.size() + 4 * 14 + 4, 0);  // 14 ints, 4 colour bytes
    Archive in2(number, registry);
    std::unique_ptr<CObject> obj2 = in2.ReadObjectAs<CObject>("item");
    ASSERT_TRUE(in2.Ok()) << in2.Error().message;
    ASSERT_NE(obj2, nullptr);
    EXPECT_STREQ(obj2->ClassName(), "CItemNumberWidget");
}

TEST(AnimationWidget, CloneCopiesEveryField) {
    CItemAnimationWidget w;
    Scatter(w);
    w.m_nAnimValue = 77;
    w.m_nType = 4;
    std::unique_ptr<CItemBase> copy = w.Clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->ClassName(), "CitemAnimationWidget");
    EXPECT_EQ(copy->m_nType, 13);
    w.m_nType = 13;
    ExpectSameItem(w, *copy);
    EXPECT_EQ(copy->m_rcHandles[9], Rect::Around(72, 83));
}

}  // namespace
