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

// What each class must carry, written down independently of the classes.
template <class T>
struct Expect;
template <>
struct Expect<CItemPoly> {
    static constexpr int type = 18;
    static constexpr size_t minimumPoints = 2;
    static constexpr const char* name = "CItemPoly";
};
template <>
struct Expect<CItemMultiLine> {
    static constexpr int type = 50;
    static constexpr size_t minimumPoints = 3;
    static constexpr const char* name = "CItemMultiLine";
};

CByteArray Record(CItemBase& item) {
    Archive ar;
    item.Serialize(ar);
    return ar.Bytes();
}

// Builds an item with the mouse: a press per point, then the right click.
template <class T>
T Build(const std::vector<Point>& points, int* rightClick = nullptr) {
    T item(points[0].x, points[0].y, kRed);
    CursorShape cursor = CursorShape::Unchanged;
    item.OnLButtonUp(points[0].x, points[0].y);
    for (size_t i = 1; i < points.size(); ++i) {
        item.OnMouseMove(cursor, 0, 0, points[i].x, points[i].y);
        item.OnLButtonDown(points[i].x, points[i].y);
        item.OnLButtonUp(points[i].x, points[i].y);
    }
    const int r = item.OnRButtonDown(0, 500, 500);
    if (rightClick) *rightClick = r;
    return item;
}

// Box (0, 0)-(100, 50).
const std::vector<Point> kThree = {{0, 0}, {40, 50}, {100, 20}};

template <class T>
class PointListTest : public ::testing::Test {};
using PointListTypes = ::testing::Types<CItemPoly, CItemMultiLine>;
TYPED_TEST_SUITE(PointListTest, PointListTypes);

TYPED_TEST(PointListTest, ConstructorStartsTracking) {
    TypeParam item(30, 40, kRed);
    EXPECT_EQ(item.m_nType, Expect<TypeParam>::type);
    EXPECT_EQ(std::string(item.ClassName()), Expect<TypeParam>::name);
    ASSERT_EQ(item.m_arrPoints.size(), 1u);
    EXPECT_EQ(item.m_arrPoints[0], (Point{30, 40}));
    EXPECT_EQ((Rect{item.m_x1, item.m_y1, item.m_x2, item.m_y2}), (Rect{30, 40, 30, 40}));
    EXPECT_EQ((Point{item.m_xTrack, item.m_yTrack}), (Point{30, 40}));
    EXPECT_EQ(item.m_bTracking, 1);
    EXPECT_EQ(item.m_bSelected, 0);
    EXPECT_EQ(item.m_bDragging, 0);
    EXPECT_TRUE(item.m_pPointHandles.empty());
    EXPECT_EQ(item.m_crColor, kRed);
}

TYPED_TEST(PointListTest, DefaultConstructedIsEmptyAndIdle) {
    TypeParam item;
    EXPECT_EQ(item.m_nType, Expect<TypeParam>::type);
    EXPECT_TRUE(item.m_arrPoints.empty());
    EXPECT_EQ(item.m_bTracking, 0);
    EXPECT_EQ(item.m_bCreating, 0);
}

TYPED_TEST(PointListTest, TrackingAddsPointsPressByPress) {
    TypeParam item(10, 10, kRed);
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(item.OnLButtonUp(10, 10), 1);
    EXPECT_EQ(item.OnMouseMove(cursor, 10, 10, 55, 66), 1);
    EXPECT_EQ((Point{item.m_xTrack, item.m_yTrack}), (Point{55, 66}));
    EXPECT_EQ(cursor, CursorShape::Unchanged);
    EXPECT_EQ(item.m_arrPoints.size(), 1u);  // moves add nothing
    EXPECT_EQ(item.OnLButtonDown(60, 70), 1);
    EXPECT_EQ(item.OnLButtonUp(60, 70), 1);
    EXPECT_EQ(item.OnLButtonDown(5, 90), 1);
    EXPECT_EQ(item.OnLButtonUp(5, 90), 1);
    EXPECT_EQ(item.m_arrPoints, (std::vector<Point>{{10, 10}, {60, 70}, {5, 90}}));
    EXPECT_EQ(item.m_bTracking, 1);
    EXPECT_EQ(item.OnRButtonDown(0, 200, 200), 3);
    EXPECT_EQ(item.m_arrPoints.size(), 3u);  // the right click adds no point
    EXPECT_EQ(item.m_bTracking, 0);
    EXPECT_EQ(item.m_bDragging, 0);
    EXPECT_EQ((Rect{item.m_x1, item.m_y1, item.m_x2, item.m_y2}), (Rect{5, 10, 60, 90}));
    // Finished: presses no longer add points.
    item.OnLButtonDown(300, 300);
    EXPECT_EQ(item.m_arrPoints.size(), 3u);
}

TYPED_TEST(PointListTest, RightClickWithTooFewPointsAsksForRemoval) {
    const std::vector<Point> all = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    for (size_t n = 1; n <= all.size(); ++n) {
        SCOPED_TRACE(n);
        int r = 0;
        TypeParam item = Build<TypeParam>({all.begin(), all.begin() + n}, &r);
        EXPECT_EQ(r, n < Expect<TypeParam>::minimumPoints ? -1 : static_cast<int>(n));
        EXPECT_EQ(item.m_bTracking, 0);
        EXPECT_EQ(item.m_bDragging, 0);
    }
}

TYPED_TEST(PointListTest, HandlesOnTheBoundingBox) {
    TypeParam item = Build<TypeParam>(kThree);
    item.UpdateHandles();
    EXPECT_EQ((Rect{item.m_x1, item.m_y1, item.m_x2, item.m_y2}), (Rect{0, 0, 100, 50}));
    EXPECT_EQ(item.m_rcHandles[0], (Rect{0, 0, 100, 50}));  // not enlarged
    EXPECT_EQ(item.m_rcHandles[1], Rect::Around(0, 0));
    EXPECT_EQ(item.m_rcHandles[4], Rect::Around(100, 25));
    EXPECT_EQ(item.m_rcHandles[9], Rect::Around(50, 25));
    ASSERT_EQ(item.m_pPointHandles.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(item.m_pPointHandles[i], Rect::Around(kThree[i].x, kThree[i].y));
}

TYPED_TEST(PointListTest, HitTestOrder) {
    // Point 0 sits on handle 1's corner; points 1 and 2 are two pixels apart.
    TypeParam item = Build<TypeParam>({{0, 0}, {60, 40}, {62, 40}, {100, 80}});
    struct Row {
        int x, y, handle;
    };
    const Row rows[] = {
        {0, 0, 10},     // point 0 before generic handle 1
        {61, 40, 11},   // in both point squares: the first point wins
        {65, 40, 12},   // only in point 2's square
        {100, 80, 13},  // point 3 before generic handle 5
        {50, 40, 9},    // centre handle before the body
        {50, 0, 2},    {100, 40, 4},  {0, 80, 7}, {20, 20, 0},  // the body
        {99, 79, 13},  {101, 83, 13},  // outside the box, still in point 3's square
        {105, 85, -1}, {-10, 40, -1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.x << "," << r.y);
        EXPECT_EQ(item.HitTest(r.x, r.y), r.handle >= 0 ? 1 : 0);
        EXPECT_EQ(item.m_nHandle, r.handle);
    }
}

TYPED_TEST(PointListTest, BodyIsTheBoxItself) {
    TypeParam item = Build<TypeParam>({{0, 0}, {100, 0}, {100, 100}});
    EXPECT_EQ(item.HitTest(20, 99), 1);
    EXPECT_EQ(item.m_nHandle, 0);
    // The right and bottom edges are outside, as for any rectangle.
    EXPECT_EQ(item.HitTest(20, 100), 0);
    EXPECT_EQ(item.m_nHandle, -1);
}

struct ScaleRow {
    const char* name;
    int handle;
    Point from, to;
    std::vector<Point> points;
    std::vector<Point> start = kThree;
};

// kThree in the box (0, 0)-(100, 50), each handle pressed on itself and moved by (20, 10).
const ScaleRow kScaleRows[] = {
    {"TopLeft", 1, {0, 0}, {20, 10}, {{20, 10}, {52, 50}, {100, 26}}},
    {"Top", 2, {50, 0}, {70, 10}, {{0, 10}, {40, 50}, {100, 26}}},
    {"TopRight", 3, {100, 0}, {120, 10}, {{0, 10}, {48, 50}, {120, 26}}},
    {"Right", 4, {100, 25}, {120, 35}, {{0, 0}, {48, 50}, {120, 20}}},
    {"BottomRight", 5, {100, 50}, {120, 60}, {{0, 0}, {48, 60}, {120, 24}}},
    {"Bottom", 6, {50, 50}, {70, 60}, {{0, 0}, {40, 60}, {100, 24}}},
    {"BottomLeft", 7, {0, 50}, {20, 60}, {{20, 0}, {52, 60}, {100, 24}}},
    {"Left", 8, {0, 25}, {20, 35}, {{20, 0}, {52, 50}, {100, 20}}},
    {"Centre", 9, {50, 25}, {70, 35}, {{20, 10}, {60, 60}, {120, 30}}},
    {"Body", 0, {50, 25}, {70, 35}, {{0, 0}, {40, 50}, {100, 20}}},
    {"Nothing", -1, {50, 25}, {70, 35}, {{0, 0}, {40, 50}, {100, 20}}},
    // Shrinking: 40 - 12 = 28, and 33 - 9.9 truncates toward zero to 24.
    {"ShrinkTruncates",
     4,
     {100, 25},
     {70, 25},
     {{0, 0}, {28, 50}, {70, 20}, {24, 0}},
     {{0, 0}, {40, 50}, {100, 20}, {33, 0}}},
};

TYPED_TEST(PointListTest, BoxHandlesScaleThePoints) {
    for (const ScaleRow& row : kScaleRows) {
        SCOPED_TRACE(row.name);
        TypeParam item = Build<TypeParam>(row.start);
        item.m_nHandle = row.handle;
        EXPECT_EQ(item.MoveHandle(row.from.x, row.from.y, row.to.x, row.to.y), 0);
        EXPECT_EQ(item.m_arrPoints, row.points);
    }
}

TYPED_TEST(PointListTest, RightHandleExample) {
    // Box x from 0 to 100, handle 4 pressed at x = 100 and moved to x = 150 in one step.
    TypeParam item = Build<TypeParam>({{0, 0}, {100, 30}, {40, 60}});
    item.m_nHandle = 4;
    item.MoveHandle(100, 30, 150, 30);
    EXPECT_EQ(item.m_arrPoints, (std::vector<Point>{{0, 0}, {150, 30}, {60, 60}}));
    EXPECT_EQ(item.m_x2, 150);
    EXPECT_EQ(item.m_x1, 0);
}

TYPED_TEST(PointListTest, PressOnTheOppositeEdgeLeavesThatAxis) {
    // A vertical line of points: left and right edges coincide at x = 50.
    TypeParam item = Build<TypeParam>({{50, 0}, {50, 40}, {50, 100}});
    item.m_nHandle = 5;
    item.MoveHandle(50, 100, 80, 150);
    // x cannot be scaled away from an edge it is pressed on; y still scales from the top.
    EXPECT_EQ(item.m_arrPoints, (std::vector<Point>{{50, 0}, {50, 60}, {50, 150}}));
}

TYPED_TEST(PointListTest, ExtremeCoordinatesDoNotOverflow) {
    // The box spans 4e9: offsets from its edges no longer fit 32 bits.
    const int32_t big = 2'000'000'000;
    TypeParam item = Build<TypeParam>({{-big, 0}, {big, 10}, {0, 20}});
    item.m_nHandle = 4;
    item.MoveHandle(big, 5, big - 100'000'000, 5);
    EXPECT_EQ(item.m_arrPoints,
              (std::vector<Point>{{-big, 0}, {big - 100'000'000, 10}, {-50'000'000, 20}}));
    // Pressed one pixel from the left edge: a factor of a thousand clamps at the limit.
    item.MoveHandle(-big + 1, 5, -big + 1001, 5);
    EXPECT_EQ(item.m_arrPoints, (std::vector<Point>{{-big, 0}, {INT32_MAX, 10}, {INT32_MAX, 20}}));
    item.m_nHandle = 9;
    item.MoveHandle(0, 0, 1000, -1000);
    EXPECT_EQ(item.m_arrPoints[1], (Point{INT32_MAX, -990}));
}

TYPED_TEST(PointListTest, PointHandleMovesOnePointAndGrowsTheBox) {
    TypeParam item = Build<TypeParam>(kThree);
    item.m_nHandle = 11;
    item.MoveHandle(40, 50, 130, 70);
    EXPECT_EQ(item.m_arrPoints, (std::vector<Point>{{0, 0}, {130, 70}, {100, 20}}));
    EXPECT_EQ((Rect{item.m_x1, item.m_y1, item.m_x2, item.m_y2}), (Rect{0, 0, 130, 70}));
    // A handle past the last point changes nothing.
    item.m_nHandle = 13;
    item.MoveHandle(0, 0, 5, 5);
    EXPECT_EQ(item.m_arrPoints.size(), 3u);
}

TYPED_TEST(PointListTest, PressAndReleaseWhenFinished) {
    TypeParam item = Build<TypeParam>(kThree);
    // Miss on an unselected item: 0, and the drag flag stays set until the release.
    EXPECT_EQ(item.OnLButtonDown(300, 300), 0);
    EXPECT_EQ(item.m_bSelected, 0);
    EXPECT_EQ(item.m_bDragging, 1);
    EXPECT_EQ(item.OnLButtonUp(300, 300), 0);
    EXPECT_EQ(item.m_bDragging, 0);
    // Hit: selected and dragging.
    EXPECT_EQ(item.OnLButtonDown(40, 50), 1);
    EXPECT_EQ(item.m_nHandle, 11);
    EXPECT_EQ(item.m_bSelected, 1);
    EXPECT_EQ(item.m_bDragging, 1);
    EXPECT_EQ(item.OnLButtonUp(40, 50), 0);
    // Miss on a selected item: deselects.
    EXPECT_EQ(item.OnLButtonDown(300, 300), 1);
    EXPECT_EQ(item.m_bSelected, 0);
    EXPECT_EQ(item.m_bDragging, 0);
}

TYPED_TEST(PointListTest, DragMovesAPointAndRefitsTheBox) {
    TypeParam item = Build<TypeParam>(kThree);
    CursorShape cursor = CursorShape::Unchanged;
    ASSERT_EQ(item.OnLButtonDown(100, 20), 1);
    ASSERT_EQ(item.m_nHandle, 12);
    EXPECT_EQ(item.OnMouseMove(cursor, 100, 20, 60, 20), 1);
    EXPECT_EQ(item.m_arrPoints[2], (Point{60, 20}));
    // The box shrinks to the points again.
    EXPECT_EQ((Rect{item.m_x1, item.m_y1, item.m_x2, item.m_y2}), (Rect{0, 0, 60, 50}));
    EXPECT_EQ(item.m_pPointHandles[2], Rect::Around(60, 20));
    EXPECT_EQ(cursor, CursorShape::Unchanged);
}

struct CursorRow {
    const char* name;
    int x, y;
    CursorShape cursor;
};

const CursorRow kCursorRows[] = {
    {"TopLeft", 0, 2, CursorShape::Move},  // point 0's square covers handle 1
    {"Top", 50, 0, CursorShape::SizeNs},       {"TopRight", 100, 0, CursorShape::SizeNeSw},
    {"Right", 100, 25, CursorShape::SizeWe},   {"BottomRight", 100, 50, CursorShape::SizeNwSe},
    {"Bottom", 50, 50, CursorShape::SizeNs},   {"BottomLeft", 0, 50, CursorShape::SizeNeSw},
    {"Left", 0, 25, CursorShape::SizeWe},      {"Centre", 50, 25, CursorShape::Move},
    {"Point", 40, 48, CursorShape::Move},      {"Body", 20, 20, CursorShape::Cross},
    {"Outside", 200, 200, CursorShape::Cross},
};

TYPED_TEST(PointListTest, HoverCursors) {
    TypeParam item = Build<TypeParam>(kThree);
    for (const CursorRow& row : kCursorRows) {
        SCOPED_TRACE(row.name);
        CursorShape cursor = CursorShape::Unchanged;
        item.m_bSelected = 0;
        EXPECT_EQ(item.OnMouseMove(cursor, 0, 0, row.x, row.y), 0);
        EXPECT_EQ(cursor, CursorShape::Unchanged);  // unselected: left alone
        item.m_bSelected = 1;
        EXPECT_EQ(item.OnMouseMove(cursor, 0, 0, row.x, row.y), 0);
        EXPECT_EQ(cursor, row.cursor);
    }
}

TYPED_TEST(PointListTest, TopLeftHandleCursorWithoutAPointThere) {
    TypeParam item = Build<TypeParam>({{50, 0}, {100, 50}, {0, 30}});
    item.m_bSelected = 1;
    CursorShape cursor = CursorShape::Unchanged;
    item.OnMouseMove(cursor, 0, 0, 0, 0);
    EXPECT_EQ(item.m_nHandle, 1);
    EXPECT_EQ(cursor, CursorShape::SizeNwSe);
}

TYPED_TEST(PointListTest, DrawHandles) {
    TypeParam item = Build<TypeParam>(kThree);
    {
        Surface dc(120, 80, kWhite);
        item.m_nHandle = 0;
        item.DrawHandles(dc);
        EXPECT_EQ(item.m_bSelected, 1);
        EXPECT_EQ(dc.GetPixel(50, 0), kBlue);   // generic handle 2
        EXPECT_EQ(dc.GetPixel(40, 50), kBlue);  // point 1
    }
    {
        // While point 1 is dragged only its square is shown.
        Surface dc(120, 80, kWhite);
        item.m_nHandle = 11;
        item.DrawHandles(dc);
        EXPECT_EQ(dc.GetPixel(40, 50), kBlue);
        EXPECT_EQ(dc.GetPixel(50, 0), kWhite);
        EXPECT_EQ(dc.GetPixel(100, 20), kWhite);
    }
}

TYPED_TEST(PointListTest, PointListLine) {
    TypeParam item = Build<TypeParam>({{0, 0}, {10, 0}, {10, -10}});
    TreeNode root;
    item.AddToTree(root, 0);
    ASSERT_EQ(root.children.size(), 1u);
    ASSERT_EQ(root.children[0].children.size(), 1u);
    EXPECT_EQ(root.children[0].children[0].text, "点队列:(0,0) (10,0) (10,-10) ");
    EXPECT_FALSE(root.children[0].children[0].checked);
    item.m_bSelected = 1;
    item.AddToTree(root, 1);
    EXPECT_TRUE(root.children[1].checked);
    EXPECT_TRUE(root.children[1].children[0].checked);
}

TYPED_TEST(PointListTest, EncodedLengthMatchesEncodeInRandomStates) {
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> coord(-70000, 70000);
    std::uniform_int_distribution<int> count(0, 6);
    for (int i = 0; i < 300; ++i) {
        TypeParam item;
        const int n = i < 2 ? i : count(rng);  // 0 and 1 point come first
        for (int k = 0; k < n; ++k)
            item.m_arrPoints.push_back({coord(rng), coord(rng)});
        item.m_bTracking = i % 2;
        CByteArray bytes{0xAA};
        const int length = item.GetEncodedLength();
        item.Encode(1, bytes);
        ASSERT_EQ(static_cast<int>(bytes.size()) - 1, length) << n;
        ASSERT_EQ(length % 11, 0);
    }
}

// --- storage -----------------------------------------------------------------------

TYPED_TEST(PointListTest, RecordMatchesHandBuiltBytes) {
    TypeParam item = Build<TypeParam>({{0, 0}, {10, 0}, {10, -10}});
    item.m_crColor = Rgb(0xAB, 0xCD, 0xEF);
    item.m_codeLo = 1, item.m_codeHi = 2;
    std::string type = Expect<TypeParam>::type == 18 ? "12" : "32";
    EXPECT_EQ(ToHex(Record(item)), type +
                                       " 00 00 00"
                                       " 00 00 00 00 F6 FF FF FF"  // (x1, y1)
                                       " 0A 00 00 00 00 00 00 00"  // (x2, y2)
                                       " AB CD EF 00 01 02"        // colour, low, high
                                       " 03 00 00 00"              // three points
                                       " 00 00 00 00 00 00 00 00"
                                       " 0A 00 00 00 00 00 00 00"
                                       " 0A 00 00 00 F6 FF FF FF");
}

TYPED_TEST(PointListTest, LoadsHandBuiltRecord) {
    const std::string name = Expect<TypeParam>::name;
    CByteArray bytes{0xFF, 0xFF, 0x01, 0x00, static_cast<uint8_t>(name.size()), 0x00};
    bytes.insert(bytes.end(), name.begin(), name.end());
    CByteArray record;
    ASSERT_TRUE(
        FromHex("07 00 00 00 05 00 00 00 06 00 00 00 0F 00 00 00 10 00 00 00"
                " 00 00 FF 00 0C 0D 02 00 00 00 05 00 00 00 10 00 00 00"
                " 0F 00 00 00 06 00 00 00",
                record));
    bytes.insert(bytes.end(), record.begin(), record.end());
    ClassRegistry registry;
    registry.Register<TypeParam>();
    Archive in(bytes, registry);
    std::unique_ptr<TypeParam> item = in.ReadObjectAs<TypeParam>("item");
    ASSERT_TRUE(in.Ok()) << in.Error().message;
    ASSERT_TRUE(item);
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_EQ(item->m_nType, 7);  // as stored
    EXPECT_EQ((Rect{item->m_x1, item->m_y1, item->m_x2, item->m_y2}), (Rect{5, 6, 15, 16}));
    EXPECT_EQ(item->m_crColor, Rgb(0, 0, 255));
    EXPECT_EQ(item->m_codeLo, 12);
    EXPECT_EQ(item->m_codeHi, 13);
    EXPECT_EQ(item->m_arrPoints, (std::vector<Point>{{5, 16}, {15, 6}}));
    EXPECT_EQ(item->m_bTracking, 0);
    EXPECT_EQ(item->m_bCreating, 0);
    EXPECT_EQ(item->m_bSelected, 0);
    ASSERT_EQ(item->m_pPointHandles.size(), 2u);
    EXPECT_EQ(item->m_pPointHandles[1], Rect::Around(15, 6));
}

TYPED_TEST(PointListTest, BadPointCountsFailTheLoad) {
    TypeParam item = Build<TypeParam>(kThree);
    Archive out;
    out.WriteObject(&item);
    const CByteArray good = out.Bytes();
    const size_t countAt = good.size() - 3 * 8 - 4;
    ClassRegistry registry;
    registry.Register<TypeParam>();
    // Negative, one more than the bytes left hold, and huge.
    for (uint32_t bad : {0xFFFFFFFFu, 4u, 0x7FFFFFFFu}) {
        SCOPED_TRACE(bad);
        CByteArray bytes = good;
        for (int k = 0; k < 4; ++k)
            bytes[countAt + k] = static_cast<uint8_t>(bad >> (8 * k));
        Archive in(bytes, registry);
        in.ReadObject();
        EXPECT_FALSE(in.Ok());
    }
    // Cut anywhere: a clean failure.
    for (size_t cut = 0; cut < good.size(); ++cut) {
        Archive in(std::span<const uint8_t>(good.data(), cut), registry);
        in.ReadObject();
        EXPECT_FALSE(in.Ok()) << cut;
    }
}

TYPED_TEST(PointListTest, RoundTripWithZeroOneAndManyPoints) {
    ClassRegistry registry;
    registry.Register<TypeParam>();
    for (size_t n : {0u, 1u, 5u}) {
        SCOPED_TRACE(n);
        TypeParam item;
        for (size_t k = 0; k < n; ++k)
            item.m_arrPoints.push_back({static_cast<int>(k * 7) - 3, static_cast<int>(k * k)});
        item.UpdateHandles();
        item.m_crColor = Rgb(4, 5, 6);
        item.m_codeLo = 3, item.m_codeHi = 14;
        Archive out;
        out.WriteObject(&item);
        Archive in(out.Bytes(), registry);
        std::unique_ptr<TypeParam> back = in.ReadObjectAs<TypeParam>("item");
        ASSERT_TRUE(back);
        EXPECT_TRUE(in.Ok());
        EXPECT_EQ(back->m_arrPoints, item.m_arrPoints);
        EXPECT_EQ(ToHex(Record(*back)), ToHex(Record(item)));
    }
}

// --- clone -------------------------------------------------------------------------

TYPED_TEST(PointListTest, CloneCopiesThePointList) {
    TypeParam item(1, 2, kRed);
    item.OnLButtonDown(30, 40);
    item.OnLButtonDown(-5, 60);
    CursorShape cursor = CursorShape::Unchanged;
    item.OnMouseMove(cursor, 0, 0, 77, 88);  // still tracking
    item.m_crFill = Rgb(9, 8, 7);
    item.m_bSolid = 1;
    item.m_codeHi = 4, item.m_codeLo = 11;
    item.m_bSelected = 1, item.m_bDragging = 1, item.m_bModified = 1;
    item.m_nHandle = 12, item.m_nPenWidth = 2;
    int doc = 0;
    item.m_pDoc = reinterpret_cast<CLedDoc*>(&doc);
    item.m_nType = 99;
    std::unique_ptr<CItemBase> base = item.Clone();
    auto* copy = dynamic_cast<TypeParam*>(base.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->m_nType, Expect<TypeParam>::type);
    item.m_nType = Expect<TypeParam>::type;
    EXPECT_EQ(ToHex(Record(*copy)), ToHex(Record(item)));
    EXPECT_EQ(copy->m_crFill, item.m_crFill);
    EXPECT_EQ(copy->m_bSolid, item.m_bSolid);
    EXPECT_EQ(copy->m_pDoc, item.m_pDoc);
    EXPECT_EQ(copy->m_bSelected, 1);
    EXPECT_EQ(copy->m_bDragging, 1);
    EXPECT_EQ(copy->m_bCreating, item.m_bCreating);
    EXPECT_EQ(copy->m_bModified, 1);
    EXPECT_EQ(copy->m_nHandle, 12);
    EXPECT_EQ(copy->m_nPenWidth, 2);
    EXPECT_EQ(copy->m_bTracking, 1);
    EXPECT_EQ((Point{copy->m_xTrack, copy->m_yTrack}), (Point{77, 88}));
    EXPECT_EQ(copy->m_pPointHandles.size(), 3u);
    // The lists are separate.
    copy->m_arrPoints[0].x = 500;
    copy->m_arrPoints.push_back({1, 1});
    EXPECT_EQ(item.m_arrPoints, (std::vector<Point>{{1, 2}, {30, 40}, {-5, 60}}));
}

}  // namespace
