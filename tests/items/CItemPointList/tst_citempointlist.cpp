// Behaviour the polyline and the polygon share, run on both classes.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/Archive.h"
#include "base/ClassRegistry.h"
#include "gfx/Surface.h"
#include "items/CItemMultiLine.h"
#include "items/CItemPoly.h"

namespace {

constexpr COLORREF kRed = Rgb(255, 0, 0);
constexpr COLORREF kWhite = Rgb(255, 255, 255);
constexpr COLORREF kBlue = Rgb(0, 0, 255);
using Points = std::vector<Point>;
using C = CursorShape;

// What each class must carry; `lengths` are for 0, 1, 2 and 5 points.
template <class T>
struct Expect;
template <>
struct Expect<CItemPoly> {
    static constexpr int type = 18;
    static constexpr size_t minimumPoints = 2;
    static constexpr const char* nameHex = "09 00 43 49 74 65 6D 50 6F 6C 79";  // "CItemPoly"
    static constexpr int lengths[4] = {0, 0, 11, 44};  // one command per segment
};
template <>
struct Expect<CItemMultiLine> {
    static constexpr int type = 50;
    static constexpr size_t minimumPoints = 3;
    static constexpr const char* nameHex =  // "CItemMultiLine"
        "0E 00 43 49 74 65 6D 4D 75 6C 74 69 4C 69 6E 65";
    static constexpr int lengths[4] = {0, 11, 22, 55};  // one point closes on itself
};

std::string RecordHex(CItemBase& item) {
    Archive ar;
    item.Serialize(ar);
    return ToHex(ar.Bytes());
}

// A press per point, then the right click, whose result goes to `right`.
template <class T>
T Build(const Points& points, int* right = nullptr) {
    T item(points[0].x, points[0].y, kRed);
    C cursor = C::Unchanged;
    item.OnLButtonUp(points[0].x, points[0].y);
    for (size_t i = 1; i < points.size(); ++i) {
        item.OnMouseMove(cursor, 0, 0, points[i].x, points[i].y);
        item.OnLButtonDown(points[i].x, points[i].y);
        item.OnLButtonUp(points[i].x, points[i].y);
    }
    const int r = item.OnRButtonDown(0, 500, 500);
    if (right) *right = r;
    return item;
}

const Points kThree = {{0, 0}, {40, 50}, {100, 20}};  // box (0, 0)-(100, 50)

template <class T>
class PointListTest : public ::testing::Test {};
using PointListTypes = ::testing::Types<CItemPoly, CItemMultiLine>;
TYPED_TEST_SUITE(PointListTest, PointListTypes);

TYPED_TEST(PointListTest, TrackingAddsPointsUntilTheRightClick) {
    TypeParam item(10, 10, kRed);
    EXPECT_EQ(item.m_nType, Expect<TypeParam>::type);
    EXPECT_EQ(item.m_bTracking, 1);
    EXPECT_TRUE(item.m_pPointHandles.empty());
    C cursor = C::Unchanged;
    EXPECT_EQ(item.OnLButtonUp(10, 10), 1);
    EXPECT_EQ(item.OnMouseMove(cursor, 0, 0, 55, 66), 1);
    EXPECT_EQ((Point{item.m_xTrack, item.m_yTrack}), (Point{55, 66}));
    EXPECT_EQ(item.OnLButtonDown(60, 70), 1);
    EXPECT_EQ(item.OnLButtonUp(60, 70), 1);
    EXPECT_EQ(item.OnLButtonDown(5, 90), 1);
    EXPECT_EQ(item.OnRButtonDown(0, 200, 200), 3);  // adds no point
    EXPECT_EQ(item.m_arrPoints, (Points{{10, 10}, {60, 70}, {5, 90}}));
    EXPECT_EQ(item.m_bTracking, 0);
    EXPECT_EQ(cursor, C::Unchanged);
    // Box and handles.
    EXPECT_EQ(item.m_rcHandles[0], (Rect{5, 10, 60, 90}));  // not enlarged
    EXPECT_EQ(item.m_rcHandles[9], Rect::Around(32, 50));
    EXPECT_EQ(item.m_pPointHandles,
              (std::vector<Rect>{Rect::Around(10, 10), Rect::Around(60, 70), Rect::Around(5, 90)}));
}

TYPED_TEST(PointListTest, RightClickWithTooFewPointsAsksForRemoval) {
    const Points all = {{0, 0}, {10, 0}, {10, 10}};
    for (size_t n = 1; n <= all.size(); ++n) {
        int r = 0;
        TypeParam item = Build<TypeParam>({all.begin(), all.begin() + n}, &r);
        EXPECT_EQ(r, n < Expect<TypeParam>::minimumPoints ? -1 : static_cast<int>(n)) << n;
        EXPECT_EQ(item.m_bTracking + item.m_bDragging, 0);
    }
}

TYPED_TEST(PointListTest, HitTestPointsThenHandlesNineToZero) {
    TypeParam item = Build<TypeParam>({{0, 0}, {60, 40}, {62, 40}, {100, 80}});
    const struct {
        int x, y, handle;
    } rows[] = {
        {0, 0, 10},                    // point 0 before generic handle 1
        {61, 40, 11},                  // in two point squares: the first point
        {65, 40, 12},  {101, 83, 13},  // point 3 before handle 5
        {50, 40, 9},                   // the centre before the body
        {50, 0, 2},    {100, 40, 4},  {0, 80, 7},
        {20, 79, 0},   {20, 80, -1},  // the box's bottom edge is outside
        {105, 85, -1},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(item.HitTest(r.x, r.y), r.handle) << r.x << "," << r.y;
        EXPECT_EQ(item.m_nHandle, r.handle) << r.x << "," << r.y;
    }
}

TYPED_TEST(PointListTest, BoxHandlesScaleThePoints) {
    // kThree's box (0, 0)-(100, 50); each handle pressed on itself and moved by (20, 10).
    const struct {
        int handle;
        Point from;
        Points after;
    } rows[] = {
        {1, {0, 0}, {{20, 10}, {52, 50}, {100, 26}}},
        {2, {50, 0}, {{0, 10}, {40, 50}, {100, 26}}},
        {3, {100, 0}, {{0, 10}, {48, 50}, {120, 26}}},
        {4, {100, 25}, {{0, 0}, {48, 50}, {120, 20}}},
        {5, {100, 50}, {{0, 0}, {48, 60}, {120, 24}}},
        {6, {50, 50}, {{0, 0}, {40, 60}, {100, 24}}},
        {7, {0, 50}, {{20, 0}, {52, 60}, {100, 24}}},
        {8, {0, 25}, {{20, 0}, {52, 50}, {100, 20}}},
        {9, {50, 25}, {{20, 10}, {60, 60}, {120, 30}}},
        {0, {50, 25}, kThree},
    };
    for (const auto& r : rows) {
        TypeParam item = Build<TypeParam>(kThree);
        item.m_nHandle = r.handle;
        item.MoveHandle(r.from.x, r.from.y, r.from.x + 20, r.from.y + 10);
        EXPECT_EQ(item.m_arrPoints, r.after) << r.handle;
    }
    // Box x from 0 to 100, handle 4 dragged from 100 to 150: x + x * 50 / 100.
    TypeParam wide = Build<TypeParam>({{0, 0}, {100, 30}, {40, 60}});
    wide.m_nHandle = 4;
    wide.MoveHandle(100, 30, 150, 30);
    EXPECT_EQ(wide.m_arrPoints, (Points{{0, 0}, {150, 30}, {60, 60}}));
    EXPECT_EQ(wide.m_x2, 150);
    // Shrinking truncates toward zero: 33 - 9.9 gives 24.
    wide.MoveHandle(150, 30, 120, 30);
    EXPECT_EQ(wide.m_arrPoints, (Points{{0, 0}, {120, 30}, {48, 60}}));
    wide.m_arrPoints[2].x = 33;
    wide.UpdateHandles();
    wide.MoveHandle(120, 30, 84, 30);
    EXPECT_EQ(wide.m_arrPoints[2].x, 24);
}

TYPED_TEST(PointListTest, PressOnTheOppositeEdgeLeavesThatAxis) {
    TypeParam item = Build<TypeParam>({{50, 0}, {50, 40}, {50, 100}});  // zero width
    item.m_nHandle = 5;
    item.MoveHandle(50, 100, 80, 150);
    EXPECT_EQ(item.m_arrPoints, (Points{{50, 0}, {50, 60}, {50, 150}}));
}

TYPED_TEST(PointListTest, ScalingNearThe32BitLimits) {
    const int32_t big = 2'000'000'000;  // the box spans 4e9
    TypeParam item = Build<TypeParam>({{-big, 0}, {big, 10}, {0, 20}});
    item.m_nHandle = 4;
    item.MoveHandle(big, 5, big - 100'000'000, 5);
    EXPECT_EQ(item.m_arrPoints, (Points{{-big, 0}, {big - 100'000'000, 10}, {-50'000'000, 20}}));
    item.MoveHandle(-big + 1, 5, -big + 1001, 5);  // a factor of 1000: clamped
    EXPECT_EQ(item.m_arrPoints, (Points{{-big, 0}, {INT32_MAX, 10}, {INT32_MAX, 20}}));
}

TYPED_TEST(PointListTest, PointHandleDrag) {
    TypeParam item = Build<TypeParam>(kThree);
    EXPECT_EQ(item.OnLButtonDown(300, 300), 0);  // miss: the drag flag stays until release
    EXPECT_EQ(item.m_bDragging, 1);
    EXPECT_EQ(item.OnLButtonUp(300, 300), 0);
    EXPECT_EQ(item.OnLButtonDown(40, 50), 1);
    EXPECT_EQ(item.m_nHandle, 11);
    EXPECT_EQ(item.m_bSelected + item.m_bDragging, 2);
    item.MoveHandle(40, 50, 130, 70);  // the box grows at once
    EXPECT_EQ((Rect{item.m_x1, item.m_y1, item.m_x2, item.m_y2}), (Rect{0, 0, 130, 70}));
    C cursor = C::Unchanged;
    EXPECT_EQ(item.OnMouseMove(cursor, 130, 70, 30, 20), 1);  // and refits after a move
    EXPECT_EQ(item.m_arrPoints, (Points{{0, 0}, {30, 20}, {100, 20}}));
    EXPECT_EQ((Rect{item.m_x1, item.m_y1, item.m_x2, item.m_y2}), (Rect{0, 0, 100, 20}));
    EXPECT_EQ(item.OnLButtonUp(30, 20), 0);
    EXPECT_EQ(item.OnLButtonDown(300, 300), 1);  // miss while selected: deselects
    EXPECT_EQ(item.m_bSelected + item.m_bDragging, 0);
}

TYPED_TEST(PointListTest, HoverCursors) {
    TypeParam item = Build<TypeParam>(kThree);
    item.m_bSelected = 1;
    const struct {
        int x, y;
        C cursor;
    } rows[] = {{0, 2, C::Move},  // point 0 covers handle 1
                {50, 0, C::SizeNs},     {100, 0, C::SizeNeSw}, {100, 25, C::SizeWe},
                {100, 50, C::SizeNwSe}, {0, 50, C::SizeNeSw},  {50, 25, C::Move},
                {40, 48, C::Move},      {20, 20, C::Cross},    {200, 200, C::Cross}};
    for (const auto& r : rows) {
        C cursor = C::Unchanged;
        EXPECT_EQ(item.OnMouseMove(cursor, 0, 0, r.x, r.y), 0);
        EXPECT_EQ(cursor, r.cursor) << r.x << "," << r.y;
    }
}

TYPED_TEST(PointListTest, DrawHandles) {
    TypeParam item = Build<TypeParam>(kThree);
    Surface all(120, 80, kWhite), one(120, 80, kWhite);
    item.m_nHandle = 0;
    item.DrawHandles(all);
    EXPECT_EQ(all.GetPixel(50, 0), kBlue);   // generic handle 2
    EXPECT_EQ(all.GetPixel(40, 50), kBlue);  // point 1
    item.m_nHandle = 11;                     // while point 1 is dragged: only its square
    item.DrawHandles(one);
    EXPECT_EQ(one.GetPixel(40, 50), kBlue);
    EXPECT_EQ(one.GetPixel(50, 0), kWhite);
    EXPECT_EQ(one.GetPixel(100, 20), kWhite);
    EXPECT_EQ(item.m_bSelected, 1);
}

TYPED_TEST(PointListTest, EncodedLength) {
    const int counts[4] = {0, 1, 2, 5};
    for (int i = 0; i < 4; ++i) {
        TypeParam item;
        for (int k = 0; k < counts[i]; ++k)
            item.m_arrPoints.push_back({k, 2 * k});
        CByteArray bytes;
        item.Encode(0, bytes);
        EXPECT_EQ(item.GetEncodedLength(), Expect<TypeParam>::lengths[i]) << counts[i];
        EXPECT_EQ(static_cast<int>(bytes.size()), Expect<TypeParam>::lengths[i]) << counts[i];
    }
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> coord(-70000, 70000), count(0, 6);
    for (int i = 0; i < 300; ++i) {
        TypeParam item;
        for (int k = count(rng); k > 0; --k)
            item.m_arrPoints.push_back({coord(rng), coord(rng)});
        item.m_bTracking = i % 2;
        CByteArray bytes;
        item.Encode(1, bytes);
        ASSERT_EQ(static_cast<int>(bytes.size()), item.GetEncodedLength()) << i;
    }
}

TYPED_TEST(PointListTest, PointListDescriptionLine) {
    TypeParam item = Build<TypeParam>({{0, 0}, {10, 0}, {10, -10}});
    item.m_bSelected = 1;
    TreeNode root;
    item.AddToTree(root, 0);
    const TreeNode& points = root.children.at(0).children.at(0);
    EXPECT_EQ(points.text, "点队列:(0,0) (10,0) (10,-10) ");
    EXPECT_TRUE(points.checked);
}

// A hand-made record whose box is not the points' own: loading keeps it, so the file
// comes out again byte for byte.
TYPED_TEST(PointListTest, LoadKeepsTheStoredBox) {
    TypeParam item = Build<TypeParam>({{5, 5}, {20, 5}, {20, 30}});
    item.m_x1 = 0, item.m_y1 = 0, item.m_x2 = 99, item.m_y2 = 99;
    Archive out;
    out.WriteObject(&item);
    ClassRegistry registry;
    registry.Register<TypeParam>();
    Archive in(out.Bytes(), registry);
    std::unique_ptr<TypeParam> back = in.ReadObjectAs<TypeParam>("item");
    ASSERT_TRUE(back && in.Ok());
    EXPECT_EQ((std::vector<int>{back->m_x1, back->m_y1, back->m_x2, back->m_y2}),
              (std::vector<int>{0, 0, 99, 99}));
    Archive again;
    again.WriteObject(back.get());
    EXPECT_EQ(ToHex(again.Bytes()), ToHex(out.Bytes()));
}

TYPED_TEST(PointListTest, RecordAndLoad) {
    TypeParam item = Build<TypeParam>({{0, 0}, {10, 0}, {10, -10}});
    item.m_crColor = Rgb(0xAB, 0xCD, 0xEF);
    item.m_codeLo = 1, item.m_codeHi = 2;
    Archive out;
    out.WriteObject(&item);
    // Type, box, colour, low and high nibble, count, points.
    const std::string record = std::string(Expect<TypeParam>::type == 18 ? "12" : "32") +
                               " 00 00 00 00 00 00 00 F6 FF FF FF 0A 00 00 00 00 00 00 00"
                               " AB CD EF 00 01 02 03 00 00 00 00 00 00 00 00 00 00 00"
                               " 0A 00 00 00 00 00 00 00 0A 00 00 00 F6 FF FF FF";
    EXPECT_EQ(ToHex(out.Bytes()),
              std::string("FF FF 01 00 ") + Expect<TypeParam>::nameHex + " " + record);

    ClassRegistry registry;
    registry.Register<TypeParam>();
    Archive in(out.Bytes(), registry);
    std::unique_ptr<TypeParam> back = in.ReadObjectAs<TypeParam>("item");
    ASSERT_TRUE(back && in.Ok());
    EXPECT_EQ(RecordHex(*back), record);
    EXPECT_EQ(back->m_bTracking + back->m_bCreating + back->m_bSelected, 0);
    // Handles are not stored; the first hit test places one square per point.
    EXPECT_TRUE(back->m_pPointHandles.empty());
    EXPECT_EQ(back->HitTest(10, -10), CItemPointList::kFirstPointHandle + 2);
    EXPECT_EQ(back->m_pPointHandles.size(), 3u);
    // Counts that are negative or larger than the bytes left, and every cut, fail cleanly.
    const size_t countAt = out.Bytes().size() - 3 * 8 - 4;
    for (uint32_t bad : {0xFFFFFFFFu, 4u, 0x7FFFFFFFu}) {
        CByteArray bytes = out.Bytes();
        for (int k = 0; k < 4; ++k)
            bytes[countAt + k] = static_cast<uint8_t>(bad >> (8 * k));
        Archive damaged(bytes, registry);
        damaged.ReadObject();
        EXPECT_FALSE(damaged.Ok()) << bad;
    }
    for (size_t cut = 0; cut < out.Bytes().size(); ++cut) {
        Archive part(std::span<const uint8_t>(out.Bytes().data(), cut), registry);
        part.ReadObject();
        EXPECT_FALSE(part.Ok()) << cut;
    }
}

TYPED_TEST(PointListTest, CloneCopiesThePointList) {
    TypeParam item(1, 2, kRed);
    item.OnLButtonDown(30, 40);
    item.OnLButtonDown(-5, 60);
    C cursor = C::Unchanged;
    item.OnMouseMove(cursor, 0, 0, 77, 88);  // still tracking
    item.m_crFill = Rgb(9, 8, 7);
    item.m_bSolid = 1, item.m_codeHi = 4, item.m_codeLo = 11;
    item.m_bSelected = 1, item.m_bDragging = 1, item.m_bModified = 1;
    item.m_nHandle = 12, item.m_nPenWidth = 2;
    item.m_nType = 99;  // the clone takes the class's own code
    std::unique_ptr<CItemBase> base = item.Clone();
    auto* copy = dynamic_cast<TypeParam*>(base.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->m_nType, Expect<TypeParam>::type);
    item.m_nType = copy->m_nType;
    EXPECT_EQ(RecordHex(*copy), RecordHex(item));
    const auto state = [](const TypeParam& t) {
        return std::vector<int64_t>{t.m_crFill,    t.m_bSolid,    t.m_bSelected, t.m_bDragging,
                                    t.m_bCreating, t.m_bModified, t.m_nHandle,   t.m_nPenWidth,
                                    t.m_bTracking, t.m_xTrack,    t.m_yTrack};
    };
    EXPECT_EQ(state(*copy), state(item));
    EXPECT_EQ(copy->m_pPointHandles.size(), 3u);
    copy->m_arrPoints[0].x = 500;  // separate lists
    EXPECT_EQ(item.m_arrPoints, (Points{{1, 2}, {30, 40}, {-5, 60}}));
}

}  // namespace
