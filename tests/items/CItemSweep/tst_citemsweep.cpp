// Behaviour the arc and the pie share, run on both classes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/Archive.h"
#include "base/ClassRegistry.h"
#include "gfx/Surface.h"
#include "items/CItemArc.h"
#include "items/CItemPie.h"

namespace {

constexpr COLORREF kRed = Rgb(255, 0, 0);

// What each class must carry, written down independently of the classes.
template <class T>
struct Expect;
template <>
struct Expect<CItemArc> {
    static constexpr int type = 40;
    static constexpr const char* opcode = "16";
    static constexpr const char* name = "CItemArc";
};
template <>
struct Expect<CItemPie> {
    static constexpr int type = 30;
    static constexpr const char* opcode = "17";
    static constexpr const char* name = "CItemPie";
};

std::string Hex32(uint32_t v) {
    CByteArray b;
    AppendWord(b, v & 0xFFFF);
    AppendWord(b, v >> 16);
    return ToHex(b);
}

std::string NameHex(const std::string& name) {
    return ToHex(CByteArray(name.begin(), name.end()));
}

CByteArray Record(CItemBase& item) {
    Archive ar;
    item.Serialize(ar);
    return ar.Bytes();
}

// Runs the three-press creation: centre, start point, end point.
template <class T>
T Create(Point centre, Point start, Point end, int* lastUp = nullptr) {
    T item(centre.x, centre.y, kRed);
    CursorShape cursor = CursorShape::Unchanged;
    item.OnLButtonUp(centre.x, centre.y);
    item.OnMouseMove(cursor, centre.x, centre.y, start.x, start.y);
    item.OnLButtonDown(start.x, start.y);
    item.OnLButtonUp(start.x, start.y);
    item.OnMouseMove(cursor, start.x, start.y, end.x, end.y);
    item.OnLButtonDown(end.x, end.y);
    const int up = item.OnLButtonUp(end.x, end.y);
    if (lastUp) *lastUp = up;
    return item;
}

// A finished quarter: centre (100, 100), start east (150, 100), end south (100, 150); the
// sweep covers the lower-right quarter of the circle of radius 50.
template <class T>
T Quarter() {
    return Create<T>({100, 100}, {150, 100}, {100, 150});
}

template <class T>
class SweepTest : public ::testing::Test {};
using SweepTypes = ::testing::Types<CItemArc, CItemPie>;
TYPED_TEST_SUITE(SweepTest, SweepTypes);

TYPED_TEST(SweepTest, ConstructorStartsCreatingAtStepOne) {
    TypeParam item(30, 40, kRed);
    EXPECT_EQ(item.m_nType, Expect<TypeParam>::type);
    EXPECT_EQ(item.m_nStep, 1);
    EXPECT_EQ(item.m_bCreating, 1);
    EXPECT_EQ(item.m_bSelected, 0);
    EXPECT_EQ(item.m_crColor, kRed);
    EXPECT_EQ((Point{item.m_xCentre, item.m_yCentre}), (Point{30, 40}));
    EXPECT_EQ((Point{item.m_x1, item.m_y1}), (Point{30, 40}));
    EXPECT_EQ((Point{item.m_x2, item.m_y2}), (Point{30, 40}));
    EXPECT_EQ(item.m_pRgn.GetKind(), Region::Kind::Empty);
    EXPECT_EQ(std::string(item.ClassName()), Expect<TypeParam>::name);
}

TYPED_TEST(SweepTest, ThreePressSequence) {
    TypeParam item(100, 100, kRed);
    CursorShape cursor = CursorShape::Unchanged;
    // Release of the creating press: keep going.
    EXPECT_EQ(item.OnLButtonUp(100, 100), 1);
    EXPECT_EQ(item.m_bCreating, 1);
    // Step 1: the start point follows the mouse.
    EXPECT_EQ(item.OnMouseMove(cursor, 100, 100, 140, 90), 1);
    EXPECT_EQ((Point{item.m_x1, item.m_y1}), (Point{140, 90}));
    EXPECT_EQ((Point{item.m_x2, item.m_y2}), (Point{100, 100}));
    EXPECT_EQ(cursor, CursorShape::Unchanged);
    EXPECT_EQ(item.OnLButtonDown(150, 100), 1);
    EXPECT_EQ(item.m_nStep, 2);
    EXPECT_EQ((Point{item.m_x1, item.m_y1}), (Point{150, 100}));
    EXPECT_EQ(item.OnLButtonUp(150, 100), 1);
    // Step 2: the end point follows; the start stays.
    EXPECT_EQ(item.OnMouseMove(cursor, 150, 100, 90, 160), 1);
    EXPECT_EQ((Point{item.m_x2, item.m_y2}), (Point{90, 160}));
    EXPECT_EQ((Point{item.m_x1, item.m_y1}), (Point{150, 100}));
    EXPECT_EQ(item.OnLButtonDown(100, 150), 1);
    EXPECT_EQ(item.m_nStep, 3);
    EXPECT_EQ((Point{item.m_x2, item.m_y2}), (Point{100, 150}));
    // Step 3: moves change nothing until the release ends creation.
    EXPECT_EQ(item.OnMouseMove(cursor, 100, 150, 10, 10), 1);
    EXPECT_EQ((Point{item.m_x2, item.m_y2}), (Point{100, 150}));
    EXPECT_EQ(item.OnLButtonUp(100, 150), 0);
    EXPECT_EQ(item.m_bCreating, 0);
    EXPECT_EQ(item.m_bDragging, 0);
    EXPECT_EQ((Point{item.m_xCentre, item.m_yCentre}), (Point{100, 100}));
}

struct DegenerateRow {
    const char* name;
    Point start, end;
    int result;
};

const DegenerateRow kDegenerate[] = {
    {"Distinct", {150, 100}, {100, 150}, 0},     {"StartOnCentre", {100, 100}, {100, 150}, -1},
    {"EndOnStart", {150, 100}, {150, 100}, -1},  {"EndOnCentre", {150, 100}, {100, 100}, -1},
    {"AllOnCentre", {100, 100}, {100, 100}, -1},
};

TYPED_TEST(SweepTest, ThirdReleaseReportsDegenerateItems) {
    for (const DegenerateRow& row : kDegenerate) {
        SCOPED_TRACE(row.name);
        int up = 99;
        TypeParam item = Create<TypeParam>({100, 100}, row.start, row.end, &up);
        EXPECT_EQ(up, row.result);
        EXPECT_EQ(item.m_bCreating, 0);
    }
}

TYPED_TEST(SweepTest, HitTestHandlesThenSector) {
    TypeParam item = Quarter<TypeParam>();
    struct Row {
        int x, y, handle;
    };
    const Row rows[] = {
        {100, 100, 1},   // centre
        {150, 100, 2},   // start
        {100, 150, 3},   // end
        {148, 102, 2},   // in the start square and in the sector: the handle wins
        {120, 120, 0},   // inside the quarter
        {130, 130, 0},   // 42.4 from the centre
        {140, 140, -1},  // 57.3 from the centre: beyond the radius
        {80, 120, -1},   // the lower-left quarter is outside the sweep
        {120, 80, -1},   // so is the upper-right one
        {80, 80, -1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.x << "," << r.y);
        EXPECT_EQ(item.HitTest(r.x, r.y), r.handle >= 0 ? 1 : 0);
        EXPECT_EQ(item.m_nHandle, r.handle);
    }
}

TYPED_TEST(SweepTest, CentreHandleComesFirst) {
    // Start point four pixels from the centre: the squares overlap.
    TypeParam item = Create<TypeParam>({100, 100}, {104, 100}, {100, 104});
    EXPECT_EQ(item.HitTest(102, 101), 1);
    EXPECT_EQ(item.m_nHandle, 1);
    EXPECT_EQ(item.HitTest(106, 99), 1);
    EXPECT_EQ(item.m_nHandle, 2);
}

TYPED_TEST(SweepTest, RegionUsesExactAnglesNotWholeDegrees) {
    // Start on the exact 45 degree diagonal, end on the 135 degree one: the module would get
    // 44 and 136, but the region starts at 45, so a pixel at 44.04 degrees is outside.
    TypeParam item = Create<TypeParam>({100, 100}, {150, 150}, {50, 150});
    EXPECT_EQ(item.HitTest(130, 129), 0);
    EXPECT_EQ(item.HitTest(129, 131), 1);  // 45.9 degrees
    EXPECT_EQ(item.m_nHandle, 0);
    EXPECT_EQ(item.HitTest(100, 130), 1);  // straight down
    EXPECT_EQ(item.HitTest(100, 70), 0);   // straight up
}

TYPED_TEST(SweepTest, SweepGoesClockwiseFromStartToEnd) {
    // Swapping the points sweeps the other three quarters.
    TypeParam item = Create<TypeParam>({100, 100}, {100, 150}, {150, 100});
    EXPECT_EQ(item.HitTest(120, 120), 0);
    EXPECT_EQ(item.HitTest(80, 120), 1);
    EXPECT_EQ(item.HitTest(80, 80), 1);
    EXPECT_EQ(item.HitTest(120, 80), 1);
}

TYPED_TEST(SweepTest, PressWhenFinished) {
    TypeParam item = Quarter<TypeParam>();
    // Miss while unselected: nothing.
    EXPECT_EQ(item.OnLButtonDown(10, 10), 0);
    EXPECT_EQ(item.m_bSelected, 0);
    EXPECT_EQ(item.m_bDragging, 0);
    // Hit: selected and dragging.
    EXPECT_EQ(item.OnLButtonDown(120, 120), 1);
    EXPECT_EQ(item.m_bSelected, 1);
    EXPECT_EQ(item.m_bDragging, 1);
    // Hit again while selected still reports a redraw.
    EXPECT_EQ(item.OnLButtonDown(100, 100), 1);
    EXPECT_EQ(item.m_nHandle, 1);
    EXPECT_EQ(item.OnLButtonUp(100, 100), 1);
    EXPECT_EQ(item.m_bDragging, 0);
    // Miss while selected: deselects.
    EXPECT_EQ(item.OnLButtonDown(10, 10), 1);
    EXPECT_EQ(item.m_bSelected, 0);
    EXPECT_EQ(item.m_bDragging, 0);
}

TYPED_TEST(SweepTest, MoveHandle) {
    struct Row {
        const char* name;
        int handle;
        Point centre, start, end;
    };
    // Each drag goes from (100, 100) to (110, 95).
    const Row rows[] = {
        {"Centre", 1, {110, 95}, {160, 95}, {110, 145}},
        {"Start", 2, {100, 100}, {110, 95}, {100, 150}},
        {"End", 3, {100, 100}, {150, 100}, {110, 95}},
        {"BodyDoesNothing", 0, {100, 100}, {150, 100}, {100, 150}},
        {"NothingDoesNothing", -1, {100, 100}, {150, 100}, {100, 150}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TypeParam item = Quarter<TypeParam>();
        item.m_nHandle = r.handle;
        EXPECT_EQ(item.MoveHandle(100, 100, 110, 95), 0);
        EXPECT_EQ((Point{item.m_xCentre, item.m_yCentre}), r.centre);
        EXPECT_EQ((Point{item.m_x1, item.m_y1}), r.start);
        EXPECT_EQ((Point{item.m_x2, item.m_y2}), r.end);
    }
}

TYPED_TEST(SweepTest, DragFollowsTheMouse) {
    TypeParam item = Quarter<TypeParam>();
    CursorShape cursor = CursorShape::Unchanged;
    ASSERT_EQ(item.OnLButtonDown(150, 100), 1);
    ASSERT_EQ(item.m_nHandle, 2);
    EXPECT_EQ(item.OnMouseMove(cursor, 150, 100, 150, 120), 1);
    EXPECT_EQ((Point{item.m_x1, item.m_y1}), (Point{150, 120}));
    EXPECT_EQ(cursor, CursorShape::Unchanged);
    item.OnLButtonUp(150, 120);
    // The region follows the new start (about 21.8 degrees).
    EXPECT_EQ(item.HitTest(130, 105), 0);
    EXPECT_EQ(item.m_nHandle, -1);
}

TYPED_TEST(SweepTest, IdleMoveOverUnselectedItemLeavesCursor) {
    TypeParam item = Quarter<TypeParam>();
    CursorShape cursor = CursorShape::Unchanged;
    EXPECT_EQ(item.OnMouseMove(cursor, 0, 0, 100, 100), 0);
    EXPECT_EQ(cursor, CursorShape::Unchanged);
    EXPECT_EQ(item.m_nHandle, 1);  // the hit test still ran
}

// The whole-degree angles and truncated radius go into the command.
struct CommandRow {
    const char* name;
    Point start;
    int startDegrees;
    int endDegrees;  // of the point opposite the start, through the centre
    int radius;
};

const CommandRow kCommandRows[] = {
    {"East", {150, 100}, 0, 180, 50},       {"South", {100, 150}, 90, 270, 50},
    {"West", {50, 100}, 180, 0, 50},        {"North", {100, 50}, 270, 90, 50},
    {"SouthEast", {150, 150}, 44, 224, 70}, {"SouthWest", {50, 150}, 136, 316, 70},
    {"NorthWest", {50, 50}, 224, 44, 70},   {"NorthEast", {150, 50}, 316, 136, 70},
};

TYPED_TEST(SweepTest, CommandCarriesWholeDegrees) {
    for (const CommandRow& row : kCommandRows) {
        SCOPED_TRACE(row.name);
        const Point end{200 - row.start.x, 200 - row.start.y};
        TypeParam item = Create<TypeParam>({100, 100}, row.start, end);
        item.m_codeHi = 0xA, item.m_codeLo = 0x5;
        CByteArray bytes;
        item.Encode(1, bytes);
        CByteArray expected;
        ASSERT_TRUE(FromHex(std::string("1B ") + Expect<TypeParam>::opcode + " A5", expected));
        AppendWord(expected, 100);
        AppendWord(expected, 100);
        AppendWord(expected, row.radius);
        AppendWord(expected, row.startDegrees);
        AppendWord(expected, row.endDegrees);
        EXPECT_EQ(ToHex(bytes), ToHex(expected));
        EXPECT_EQ(item.m_nStartAngle, row.startDegrees);
        EXPECT_EQ(item.m_nEndAngle, row.endDegrees);
        EXPECT_EQ(item.m_nRadius, row.radius);
        EXPECT_EQ(item.GetEncodedLength(), 13);
    }
}

TYPED_TEST(SweepTest, QuarterCommandBytes) {
    TypeParam item = Quarter<TypeParam>();
    item.m_codeHi = 0, item.m_codeLo = 7;
    CByteArray bytes{0xEE};  // appended after what is there
    item.Encode(0, bytes);
    EXPECT_EQ(ToHex(bytes), std::string("EE 1B ") + Expect<TypeParam>::opcode +
                                " 07 64 00 64 00 32 00 00 00 5A 00");
}

TYPED_TEST(SweepTest, CoincidentPointsEncodeNothing) {
    TypeParam item = Quarter<TypeParam>();
    item.m_x2 = item.m_x1, item.m_y2 = item.m_y1;
    CByteArray bytes;
    item.Encode(1, bytes);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(item.GetEncodedLength(), 0);
}

TYPED_TEST(SweepTest, CommandCutsToSixteenBits) {
    TypeParam item = Create<TypeParam>({70000, -1}, {70100, -1}, {70000, 99});
    CByteArray bytes;
    item.Encode(1, bytes);
    EXPECT_EQ(ToHex(bytes),
              std::string("1B ") + Expect<TypeParam>::opcode + " 00 70 11 FF FF 64 00 00 00 5A 00");
}

TYPED_TEST(SweepTest, EncodedLengthMatchesEncodeInRandomStates) {
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> coord(-3, 3);
    for (int i = 0; i < 400; ++i) {
        TypeParam item(coord(rng), coord(rng), kRed);
        item.m_x1 = coord(rng), item.m_y1 = coord(rng);
        item.m_x2 = coord(rng), item.m_y2 = coord(rng);
        item.m_nStep = 1 + i % 3;
        item.m_bCreating = i % 2;
        CByteArray bytes{1, 2};
        const int length = item.GetEncodedLength();
        item.Encode(1, bytes);
        ASSERT_EQ(static_cast<int>(bytes.size()) - 2, length) << i;
    }
}

TYPED_TEST(SweepTest, DescriptionRecomputesAngles) {
    TypeParam item = Quarter<TypeParam>();
    item.m_codeHi = 0, item.m_codeLo = 5;
    item.m_x1 = 50, item.m_y1 = 50;  // moved by a panel: angles are stale
    TreeNode root;
    item.AddToTree(root, 0);
    ASSERT_EQ(root.children.size(), 1u);
    const std::string& text = root.children[0].text;
    EXPECT_NE(text.find("：圆心坐标(100,100),半径 70,起始角:224 终止角:90 颜色代码:05"),
              std::string::npos)
        << text;
    EXPECT_FALSE(root.children[0].checked);
    item.m_bSelected = 1;
    item.AddToTree(root, 1);
    EXPECT_TRUE(root.children[1].checked);
}

TYPED_TEST(SweepTest, DrawHandlesMarksSelection) {
    TypeParam item = Quarter<TypeParam>();
    EXPECT_EQ(item.m_bSelected, 0);
    Surface dc(200, 200, Rgb(255, 255, 255));
    item.DrawHandles(dc);
    EXPECT_EQ(item.m_bSelected, 1);
    // The three squares, solid blue.
    EXPECT_EQ(dc.GetPixel(99, 99), Rgb(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(149, 99), Rgb(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(99, 149), Rgb(0, 0, 255));
}

// --- storage -----------------------------------------------------------------------

TYPED_TEST(SweepTest, RecordMatchesHandBuiltBytes) {
    TypeParam item = Create<TypeParam>({100, 200}, {-5, 200}, {100, 70000});
    item.m_crColor = Rgb(0x12, 0x34, 0x56);
    item.m_codeLo = 7, item.m_codeHi = 3;
    const std::string record = Hex32(Expect<TypeParam>::type) + " 64 00 00 00 C8 00 00 00" +
                               " FB FF FF FF C8 00 00 00" + " 64 00 00 00 70 11 01 00" +
                               " 12 34 56 00 07 03";
    Archive ar;
    ar.WriteObject(&item);
    // New class tag, schema 1, name length 8, the name.
    const std::string tag = "FF FF 01 00 08 00 " + NameHex(Expect<TypeParam>::name);
    EXPECT_EQ(ToHex(ar.Bytes()), tag + " " + record);
}

TYPED_TEST(SweepTest, LoadsHandBuiltRecord) {
    const std::string name = Expect<TypeParam>::name;
    CByteArray bytes;
    // Stored type 41 comes back as stored; the class's own code is not forced.
    ASSERT_TRUE(FromHex("FF FF 01 00 08 00 " + NameHex(name) +
                            " 29 00 00 00 0A 00 00 00 14 00 00 00 0A 00 00 00 46 00 00 00"
                            " 3C 00 00 00 14 00 00 00 FF 00 00 00 02 0E",
                        bytes));
    ClassRegistry registry;
    registry.Register<TypeParam>();
    Archive in(bytes, registry);
    std::unique_ptr<TypeParam> item = in.ReadObjectAs<TypeParam>("item");
    ASSERT_TRUE(in.Ok()) << in.Error().message;
    ASSERT_TRUE(item);
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_EQ(item->m_nType, 41);
    EXPECT_EQ((Point{item->m_xCentre, item->m_yCentre}), (Point{10, 20}));
    EXPECT_EQ((Point{item->m_x1, item->m_y1}), (Point{10, 70}));
    EXPECT_EQ((Point{item->m_x2, item->m_y2}), (Point{60, 20}));
    EXPECT_EQ(item->m_crColor, Rgb(255, 0, 0));
    EXPECT_EQ(item->m_codeLo, 2);
    EXPECT_EQ(item->m_codeHi, 14);
    // Finished, no region yet, angles derived from the points.
    EXPECT_EQ(item->m_bCreating, 0);
    EXPECT_EQ(item->m_bSelected, 0);
    EXPECT_EQ(item->m_pRgn.GetKind(), Region::Kind::Empty);
    EXPECT_EQ(item->m_nStartAngle, 90);
    EXPECT_EQ(item->m_nEndAngle, 0);
    EXPECT_EQ(item->m_nRadius, 50);
    EXPECT_NE(item->m_nStep, 1);
    EXPECT_NE(item->m_nStep, 2);
}

TYPED_TEST(SweepTest, RoundTrip) {
    TypeParam item = Create<TypeParam>({-7, 12}, {33, -40}, {1000, 2});
    item.m_crColor = Rgb(1, 2, 3);
    item.m_codeLo = 15, item.m_codeHi = 9;
    Archive out;
    out.WriteObject(&item);
    ClassRegistry registry;
    registry.Register<TypeParam>();
    Archive in(out.Bytes(), registry);
    std::unique_ptr<TypeParam> back = in.ReadObjectAs<TypeParam>("item");
    ASSERT_TRUE(back);
    EXPECT_EQ(ToHex(Record(*back)), ToHex(Record(item)));
    CByteArray a, b;
    item.Encode(1, a);
    back->Encode(1, b);
    EXPECT_EQ(ToHex(b), ToHex(a));
}

TYPED_TEST(SweepTest, TruncatedRecordFailsCleanly) {
    TypeParam item = Quarter<TypeParam>();
    Archive out;
    out.WriteObject(&item);
    ClassRegistry registry;
    registry.Register<TypeParam>();
    for (size_t cut = 0; cut < out.Bytes().size(); ++cut) {
        const CByteArray part(out.Bytes().begin(), out.Bytes().begin() + cut);
        Archive in(part, registry);
        in.ReadObject();
        EXPECT_FALSE(in.Ok()) << cut;
    }
}

// --- clone -------------------------------------------------------------------------

template <class T>
void ExpectSameItem(T& a, T& b) {
    EXPECT_EQ(ToHex(Record(a)), ToHex(Record(b)));
    EXPECT_EQ(a.m_crFill, b.m_crFill);
    EXPECT_EQ(a.m_bSolid, b.m_bSolid);
    EXPECT_EQ(a.m_pDoc, b.m_pDoc);
    EXPECT_EQ(a.m_bSelected, b.m_bSelected);
    EXPECT_EQ(a.m_bDragging, b.m_bDragging);
    EXPECT_EQ(a.m_bCreating, b.m_bCreating);
    EXPECT_EQ(a.m_bModified, b.m_bModified);
    EXPECT_EQ(a.m_bTextFlag, b.m_bTextFlag);
    EXPECT_EQ(a.m_nHandle, b.m_nHandle);
    EXPECT_EQ(a.m_nPenWidth, b.m_nPenWidth);
    EXPECT_EQ(a.m_nStep, b.m_nStep);
    EXPECT_EQ(a.m_nStartAngle, b.m_nStartAngle);
    EXPECT_EQ(a.m_nEndAngle, b.m_nEndAngle);
    EXPECT_EQ(a.m_nRadius, b.m_nRadius);
}

TYPED_TEST(SweepTest, CloneCopiesEverything) {
    TypeParam item(10, 20, kRed);
    CursorShape cursor = CursorShape::Unchanged;
    item.OnMouseMove(cursor, 0, 0, 60, 20);
    item.OnLButtonDown(60, 20);  // creating, step 2
    item.m_x2 = 10, item.m_y2 = 70;
    item.UpdateAngles();
    item.m_crFill = Rgb(9, 8, 7);
    item.m_bSolid = 1;
    item.m_codeHi = 4, item.m_codeLo = 11;
    item.m_bSelected = 1, item.m_bDragging = 1, item.m_bModified = 1;
    item.m_nHandle = 3, item.m_nPenWidth = 2;
    int doc = 0;
    item.m_pDoc = reinterpret_cast<CLedDoc*>(&doc);
    item.m_nType = 99;  // the clone takes the class's own code
    std::unique_ptr<CItemBase> base = item.Clone();
    auto* copy = dynamic_cast<TypeParam*>(base.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->m_nType, Expect<TypeParam>::type);
    item.m_nType = Expect<TypeParam>::type;
    ExpectSameItem(item, *copy);
    EXPECT_EQ(copy->m_nStep, 2);
    // The copy has its own region, built from its points.
    EXPECT_EQ(copy->m_pRgn.GetKind(), Region::Kind::Sector);
    EXPECT_TRUE(copy->m_pRgn.Contains(30, 30));
    EXPECT_EQ(copy->m_rcHandles[0], Rect::Around(10, 20));
}

}  // namespace
