// The project's local bitmap list: where a new bitmap is placed, and that each workspace
// has its own.

#include <gtest/gtest.h>

#include "images/CBmpObj.h"
#include "project/FlashLayout.h"
#include "project/FlashLayout/FlashFixture.h"
#include "project/LayoutReport.h"
#include "project/LocalBitmapStore.h"

using flashfixture::Project;

namespace {

constexpr COLORREF kRed = Rgb(255, 0, 0);

struct Earlier {
    int block, start, pages;
    bool inUse;
};
struct PlaceRow {
    const char* name;
    ScreenParams screen;
    std::vector<Earlier> earlier;  // in list order
    int width, height;             // of the new picture
    int block, start;
};

void PrintTo(const PlaceRow& row, std::ostream* os) {
    *os << row.name;
}

const ScreenParams k256{"LCD", 256, 70.0, 52.5, 320, 240};
const ScreenParams k8Small{"LCD", 8, 70.0, 52.5, 320, 234};
const ScreenParams k8{"LCD", 8, 70.0, 52.5, 320, 240};

class StorePlacement : public testing::TestWithParam<PlaceRow> {};

TEST_P(StorePlacement, AfterTheLastBitmapInUse) {
    const PlaceRow& r = GetParam();
    Project project(r.screen);
    CLedDoc* page = project.AddPage("a");
    std::vector<std::unique_ptr<CItemBase>> undoCopies;
    for (const Earlier& e : r.earlier) {
        // A box of e.pages flash pages: 512 pixels a page, 1024 on the 8-colour 320 x 234.
        const int width = r.screen.colours == 8 && r.screen.logHeight == 234 ? 1024 : 512;
        CItemBmp* item =
            project.AddBitmap(page, 0, 0, 2, 2, kRed, width, e.pages, e.block, e.start);
        if (e.inUse) continue;
        undoCopies.push_back(item->Clone());  // still listed, but shown by no open page
        page->CurrentItems().pop_back();
    }
    flashfixture::WriteSolidBmp(project.File("new.bmp"), r.width, r.height, kRed);
    auto item = project.ws.Bitmaps().NewItem(5, 6, project.File("new.bmp"), page->Format(),
                                             project.messages);
    ASSERT_TRUE(item->HasValidBitmap());
    EXPECT_EQ(item->Bitmap()->m_nBlock, r.block);
    EXPECT_EQ(item->Bitmap()->m_nStartPage, r.start);
    EXPECT_EQ(item->m_nBitmap, static_cast<int>(r.earlier.size())) << "its place in the list";
    EXPECT_EQ((Rect{item->m_x1, item->m_y1, item->m_x2, item->m_y2}),
              (Rect{5, 6, 5 + r.width, 6 + r.height}));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StorePlacement,
    testing::Values(
        PlaceRow{"FirstGoesToBlockZeroPageZero", k256, {}, 10, 10, 0, 0},
        PlaceRow{"NotInUseIsNotPlacedAfter", k256, {{5, 20, 30, false}}, 10, 10, 0, 0},
        // 292 x 256 pixels need exactly 146 pages of 512: 10 + 100 + 146 = 256.
        PlaceRow{"RunEndingOnPage256StillFits", k256, {{2, 10, 100, true}}, 292, 256, 2, 110},
        PlaceRow{"OnePageMoreMovesToTheNextBlock", k256, {{2, 10, 100, true}}, 293, 256, 3, 0},
        PlaceRow{"TheLastInUseCounts", k256, {{1, 20, 30, true}, {7, 0, 10, false}}, 16, 16, 1, 50},
        // 292 x 512 pixels: 146 pages of 1024 (fits exactly), but 292 pages of 512.
        PlaceRow{
            "EightColour320x234Counts1024Pixels", k8Small, {{0, 10, 100, true}}, 292, 512, 0, 110},
        PlaceRow{"EightColour320x240Counts512", k8, {{0, 10, 100, true}}, 292, 512, 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LocalBitmapStore, TwoWorkspacesDoNotSeeEachOthersBitmaps) {
    Project one, two;
    CLedDoc* a = one.AddPage("a");
    CLedDoc* b = two.AddPage("b");
    one.AddBitmap(a, 0, 0, 2, 2, kRed, 512, 40)->Bitmap()->m_strPath = "one";
    two.AddBitmap(b, 0, 0, 2, 2, kRed, 512, 8)->Bitmap()->m_strPath = "two";
    // The second workspace's first bitmap starts its own area, not after the first's.
    EXPECT_EQ(two.ws.Bitmaps().At(0)->m_nStartPage, 0);
    for (Project* p : {&one, &two}) {
        const std::string own = p == &one ? "one" : "two";
        ASSERT_EQ(p->ws.Bitmaps().Bitmaps().size(), 1u);
        EXPECT_EQ(p->ws.Bitmaps().At(0)->m_strPath, own);
        const auto runs = FlashLayout(p->ws).BitmapRuns(-1);
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_FALSE(runs[0].collision);
        const std::string report = LayoutReport::LocalBitmaps(p->ws);
        EXPECT_NE(report.find(own), std::string::npos);
        EXPECT_EQ(report.find(p == &one ? "two" : "one"), std::string::npos);
    }
}

}  // namespace
