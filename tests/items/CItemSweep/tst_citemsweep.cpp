// Behaviour the arc and the pie share, run on both classes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/Archive.h"
#include "base/ClassRegistry.h"
#include "items/CItemArc.h"
#include "items/CItemPie.h"

namespace {

constexpr COLORREF kRed = Rgb(255, 0, 0);
using C = CursorShape;

// What each class must carry. `hover`: cursors over a selected quarter (below) at its
// centre, start, end, body and outside; the arc moves by body, centre and start, the pie
// by its three handles.
template <class T>
struct Expect;
template <>
struct Expect<CItemArc> {
    static constexpr int type = 40;
    static constexpr const char* opcode = "16";
    static constexpr const char* nameHex = "08 00 43 49 74 65 6D 41 72 63";  // "CItemArc"
    static constexpr C hover[5] = {C::Move, C::Move, C::Cross, C::Move, C::Cross};
};
template <>
struct Expect<CItemPie> {
    static constexpr int type = 30;
    static constexpr const char* opcode = "17";
    static constexpr const char* nameHex = "08 00 43 49 74 65 6D 50 69 65";  // "CItemPie"
    static constexpr C hover[5] = {C::Move, C::Move, C::Move, C::Cross, C::Cross};
};

std::string RecordHex(CItemBase& item) {
    Archive ar;
    item.Serialize(ar);
    return ToHex(ar.Bytes());
}

// The three-press creation: centre, start point, end point; `up` gets the last release.
template <class T>
T Create(Point centre, Point start, Point end, int* up = nullptr) {
    T item(centre.x, centre.y, kRed);
    C cursor = C::Unchanged;
    item.OnLButtonUp(centre.x, centre.y);
    item.OnMouseMove(cursor, 0, 0, start.x, start.y);
    item.OnLButtonDown(start.x, start.y);
    item.OnLButtonUp(start.x, start.y);
    item.OnMouseMove(cursor, 0, 0, end.x, end.y);
    item.OnLButtonDown(end.x, end.y);
    const int last = item.OnLButtonUp(end.x, end.y);
    if (up) *up = last;
    return item;
}

// Centre (100, 100), start east, end south: the lower-right quarter of radius 50.
template <class T>
T Quarter() {
    return Create<T>({100, 100}, {150, 100}, {100, 150});
}

template <class T>
class SweepTest : public ::testing::Test {};
using SweepTypes = ::testing::Types<CItemArc, CItemPie>;
TYPED_TEST_SUITE(SweepTest, SweepTypes);

TYPED_TEST(SweepTest, ThreePressCreation) {
    TypeParam item(100, 100, kRed);
    EXPECT_EQ(item.m_nType, Expect<TypeParam>::type);
    EXPECT_EQ(item.m_nStep, 1);
    C cursor = C::Unchanged;
    EXPECT_EQ(item.OnLButtonUp(100, 100), 1);
    EXPECT_EQ(item.OnMouseMove(cursor, 0, 0, 140, 90), 1);  // step 1: the start follows
    EXPECT_EQ((Point{item.m_x1, item.m_y1}), (Point{140, 90}));
    EXPECT_EQ(item.OnLButtonDown(150, 100), 1);
    EXPECT_EQ(item.m_nStep, 2);
    EXPECT_EQ(item.OnLButtonUp(150, 100), 1);
    EXPECT_EQ(item.OnMouseMove(cursor, 0, 0, 90, 160), 1);  // step 2: the end follows
    EXPECT_EQ((Point{item.m_x1, item.m_y1}), (Point{150, 100}));
    EXPECT_EQ((Point{item.m_x2, item.m_y2}), (Point{90, 160}));
    EXPECT_EQ(item.OnLButtonDown(100, 150), 1);
    EXPECT_EQ(item.OnMouseMove(cursor, 0, 0, 10, 10), 1);  // step 3: nothing follows
    EXPECT_EQ((Point{item.m_x2, item.m_y2}), (Point{100, 150}));
    EXPECT_EQ(cursor, C::Unchanged);
    EXPECT_EQ(item.m_bCreating, 1);
    EXPECT_EQ(item.OnLButtonUp(100, 150), 0);
    EXPECT_EQ(item.m_bCreating, 0);
    EXPECT_EQ((Point{item.m_xCentre, item.m_yCentre}), (Point{100, 100}));
}

TYPED_TEST(SweepTest, DegenerateCreationIsReported) {
    const struct {
        const char* name;
        Point start, end;
        int up;
    } rows[] = {{"Distinct", {150, 100}, {100, 150}, 0},
                {"StartOnCentre", {100, 100}, {100, 150}, -1},
                {"EndOnStart", {150, 100}, {150, 100}, -1},
                {"EndOnCentre", {150, 100}, {100, 100}, -1}};
    for (const auto& r : rows) {
        int up = 99;
        Create<TypeParam>({100, 100}, r.start, r.end, &up);
        EXPECT_EQ(up, r.up) << r.name;
    }
}

TYPED_TEST(SweepTest, HitTestHandlesBeforeTheExactSector) {
    TypeParam item = Quarter<TypeParam>();
    const struct {
        int x, y, handle;
    } rows[] = {
        {100, 100, 1}, {150, 100, 2}, {100, 150, 3},
        {148, 102, 2},  // in the start square and the sector: the handle wins
        {120, 120, 0}, {130, 130, 0}, {140, 140, -1},  // 57 from the centre
        {80, 120, -1}, {120, 80, -1},                  // the other quarters
    };
    for (const auto& r : rows) {
        EXPECT_EQ(item.HitTest(r.x, r.y), r.handle) << r.x << "," << r.y;
        EXPECT_EQ(item.m_nHandle, r.handle) << r.x << "," << r.y;
    }
    // Overlapping squares: the centre comes first.
    TypeParam small = Create<TypeParam>({100, 100}, {104, 100}, {100, 104});
    small.HitTest(102, 101);
    EXPECT_EQ(small.m_nHandle, 1);
    // The region runs from the exact 45 degrees (the module gets 44): 44.04 is outside.
    TypeParam diagonal = Create<TypeParam>({100, 100}, {150, 150}, {50, 150});
    EXPECT_EQ(diagonal.HitTest(130, 129), -1);
    EXPECT_EQ(diagonal.HitTest(129, 131), 0);
    // Swapped points sweep the other three quarters.
    TypeParam rest = Create<TypeParam>({100, 100}, {100, 150}, {150, 100});
    EXPECT_EQ(rest.HitTest(120, 120), -1);
    EXPECT_EQ(rest.HitTest(80, 120) | rest.HitTest(80, 80) | rest.HitTest(120, 80), 0);
}

TYPED_TEST(SweepTest, PressesAndDrags) {
    TypeParam item = Quarter<TypeParam>();
    EXPECT_EQ(item.OnLButtonDown(10, 10), 0);  // miss, unselected
    EXPECT_EQ(item.m_bSelected + item.m_bDragging, 0);
    EXPECT_EQ(item.OnLButtonDown(150, 100), 1);  // the start handle
    EXPECT_EQ(item.m_bSelected + item.m_bDragging, 2);
    C cursor = C::Unchanged;
    EXPECT_EQ(item.OnMouseMove(cursor, 150, 100, 150, 120), 1);
    EXPECT_EQ((Point{item.m_x1, item.m_y1}), (Point{150, 120}));
    EXPECT_EQ(item.OnLButtonUp(150, 120), 1);
    EXPECT_EQ(item.m_bDragging, 0);
    EXPECT_EQ(item.OnLButtonDown(10, 10), 1);  // miss, selected: deselects
    EXPECT_EQ(item.m_bSelected, 0);
}

TYPED_TEST(SweepTest, MoveHandle) {
    // Each row drags from (100, 100) to (110, 95); the body does nothing.
    const struct {
        int handle;
        Point centre, start, end;
    } rows[] = {{1, {110, 95}, {160, 95}, {110, 145}},
                {2, {100, 100}, {110, 95}, {100, 150}},
                {3, {100, 100}, {150, 100}, {110, 95}},
                {0, {100, 100}, {150, 100}, {100, 150}}};
    for (const auto& r : rows) {
        TypeParam item = Quarter<TypeParam>();
        item.m_nHandle = r.handle;
        item.MoveHandle(100, 100, 110, 95);
        EXPECT_EQ((Point{item.m_xCentre, item.m_yCentre}), r.centre) << r.handle;
        EXPECT_EQ((Point{item.m_x1, item.m_y1}), r.start) << r.handle;
        EXPECT_EQ((Point{item.m_x2, item.m_y2}), r.end) << r.handle;
    }
}

TYPED_TEST(SweepTest, HoverCursors) {
    TypeParam item = Quarter<TypeParam>();
    const Point places[5] = {{100, 100}, {150, 100}, {100, 150}, {120, 120}, {60, 60}};
    for (int i = 0; i < 5; ++i) {
        C cursor = C::Unchanged;
        item.m_bSelected = 0;
        item.OnMouseMove(cursor, 0, 0, places[i].x, places[i].y);
        EXPECT_EQ(cursor, C::Unchanged);
        item.m_bSelected = 1;
        EXPECT_EQ(item.OnMouseMove(cursor, 0, 0, places[i].x, places[i].y), 0);
        EXPECT_EQ(cursor, Expect<TypeParam>::hover[i]) << i;
    }
}

TYPED_TEST(SweepTest, CommandCarriesWholeDegrees) {
    // Start points around (100, 100); the end point is opposite, through the centre.
    const struct {
        Point start;
        int from, to, radius;
    } rows[] = {{{150, 100}, 0, 180, 50}, {{100, 150}, 90, 270, 50}, {{50, 100}, 180, 0, 50},
                {{100, 50}, 270, 90, 50}, {{150, 150}, 44, 224, 70}, {{50, 150}, 136, 316, 70},
                {{50, 50}, 224, 44, 70},  {{150, 50}, 316, 136, 70}};
    for (const auto& r : rows) {
        TypeParam item = Create<TypeParam>({100, 100}, r.start, {200 - r.start.x, 200 - r.start.y});
        item.m_codeHi = 0xA, item.m_codeLo = 0x5;
        CByteArray bytes, expected;
        item.Encode(1, bytes);
        ASSERT_TRUE(
            FromHex(std::string("1B ") + Expect<TypeParam>::opcode + " A5 64 00 64 00", expected));
        for (int v : {r.radius, r.from, r.to})
            AppendWord(expected, v);
        EXPECT_EQ(ToHex(bytes), ToHex(expected)) << r.start.x << "," << r.start.y;
    }
    // Values cut to 16 bits; coincident points send nothing.
    TypeParam far = Create<TypeParam>({70000, -1}, {70100, -1}, {70000, 99});
    CByteArray bytes{0xEE};
    far.Encode(0, bytes);
    EXPECT_EQ(ToHex(bytes), std::string("EE 1B ") + Expect<TypeParam>::opcode +
                                " 00 70 11 FF FF 64 00 00 00 5A 00");
    far.m_x2 = far.m_x1, far.m_y2 = far.m_y1;
    far.Encode(1, bytes);
    EXPECT_EQ(bytes.size(), 14u);
    EXPECT_EQ(far.GetEncodedLength(), 0);
}

TYPED_TEST(SweepTest, EncodedLengthMatchesEncodeInRandomStates) {
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> coord(-3, 3);  // small, so points often coincide
    for (int i = 0; i < 400; ++i) {
        TypeParam item(coord(rng), coord(rng), kRed);
        item.m_x1 = coord(rng), item.m_y1 = coord(rng), item.m_x2 = coord(rng),
        item.m_y2 = coord(rng);
        item.m_nStep = 1 + i % 3;
        CByteArray bytes;
        item.Encode(1, bytes);
        ASSERT_EQ(static_cast<int>(bytes.size()), item.GetEncodedLength()) << i;
    }
}

TYPED_TEST(SweepTest, DescriptionRecomputesAngles) {
    TypeParam item = Quarter<TypeParam>();
    item.m_codeHi = 0, item.m_codeLo = 5;
    item.m_x1 = 50, item.m_y1 = 50;  // moved by a panel after the last encoding
    TreeNode root;
    item.AddToTree(root, 0);
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_NE(
        root.children[0].text.find("：圆心坐标(100,100),半径 70,起始角:224 终止角:90 颜色代码:05"),
        std::string::npos);
    EXPECT_FALSE(root.children[0].checked);
}

TYPED_TEST(SweepTest, RecordAndLoad) {
    TypeParam item = Create<TypeParam>({100, 200}, {-5, 200}, {100, 70000});
    item.m_crColor = Rgb(0x12, 0x34, 0x56);
    item.m_codeLo = 7, item.m_codeHi = 3;
    Archive out;
    out.WriteObject(&item);
    // Class tag (new class, schema 1, name), then type, centre, start, end, colour, nibbles.
    const std::string record =
        std::string(Expect<TypeParam>::type == 40 ? "28" : "1E") +
        " 00 00 00 64 00 00 00 C8 00 00 00 FB FF FF FF C8 00 00 00 64 00 00 00 70 11 01 00"
        " 12 34 56 00 07 03";
    EXPECT_EQ(ToHex(out.Bytes()),
              std::string("FF FF 01 00 ") + Expect<TypeParam>::nameHex + " " + record);

    ClassRegistry registry;
    registry.Register<TypeParam>();
    Archive in(out.Bytes(), registry);
    std::unique_ptr<TypeParam> back = in.ReadObjectAs<TypeParam>("item");
    ASSERT_TRUE(back && in.Ok());
    EXPECT_EQ(RecordHex(*back), record);
    EXPECT_EQ(back->m_bCreating, 0);
    EXPECT_EQ(back->m_pRgn.GetKind(), Region::Kind::Empty);
    EXPECT_EQ(back->m_nStartAngle, 180);  // derived, not stored
    EXPECT_EQ(back->m_nRadius, 105);
    // Every cut of the bytes fails cleanly.
    for (size_t cut = 0; cut < out.Bytes().size(); ++cut) {
        Archive part(std::span<const uint8_t>(out.Bytes().data(), cut), registry);
        part.ReadObject();
        EXPECT_FALSE(part.Ok()) << cut;
    }
}

TYPED_TEST(SweepTest, CloneCopiesEverything) {
    TypeParam item(10, 20, kRed);
    item.OnLButtonDown(60, 20);  // still creating, at step 2
    item.m_x2 = 10, item.m_y2 = 70;
    item.UpdateAngles();
    item.m_crFill = Rgb(9, 8, 7);
    item.m_bSolid = 1, item.m_codeHi = 4, item.m_codeLo = 11;
    item.m_bSelected = 1, item.m_bDragging = 1, item.m_bModified = 1;
    item.m_nHandle = 3, item.m_nPenWidth = 2;
    item.m_nType = 99;  // the clone takes the class's own code
    std::unique_ptr<CItemBase> base = item.Clone();
    auto* copy = dynamic_cast<TypeParam*>(base.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->m_nType, Expect<TypeParam>::type);
    item.m_nType = copy->m_nType;
    EXPECT_EQ(RecordHex(*copy), RecordHex(item));
    const auto state = [](const TypeParam& t) {
        return std::vector<int64_t>{t.m_crFill,    t.m_bSolid,      t.m_bSelected, t.m_bDragging,
                                    t.m_bCreating, t.m_bModified,   t.m_nHandle,   t.m_nPenWidth,
                                    t.m_nStep,     t.m_nStartAngle, t.m_nEndAngle, t.m_nRadius};
    };
    EXPECT_EQ(state(*copy), state(item));
    // The copy has its own region, built from its points.
    EXPECT_TRUE(copy->m_pRgn.Contains(30, 30));
    EXPECT_FALSE(copy->m_pRgn.Contains(0, 30));
}

}  // namespace
