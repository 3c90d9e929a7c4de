// Files may hold any 32-bit coordinate: every operation must stay defined and the encoded
// length must still match the bytes appended.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>

#include "gfx/Surface.h"
#include "items/CItemArc.h"
#include "items/CItemBase/ItemChecks.h"
#include "items/CItemEllipse.h"
#include "items/CItemFill.h"
#include "items/CItemLine.h"
#include "items/CItemMultiLine.h"
#include "items/CItemPie.h"
#include "items/CItemPoly.h"
#include "items/CItemRectangle.h"
#include "items/CItemRound.h"

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

struct Maker {
    const char* name;
    std::function<std::unique_ptr<CItemBase>()> make;
};

void PrintTo(const Maker& row, std::ostream* os) {
    *os << row.name;
}

class ExtremeCoordinates : public testing::TestWithParam<Maker> {};

TEST_P(ExtremeCoordinates, EveryOperationStaysDefined) {
    const int32_t corners[][4] = {{kMin, kMin, kMax, kMax},
                                  {kMax, kMax, kMin, kMin},
                                  {kMax, kMin, kMax, kMin},
                                  {kMin, 0, kMin, 0}};
    for (const auto& c : corners) {
        std::unique_ptr<CItemBase> item = GetParam().make();
        item->m_x1 = c[0], item->m_y1 = c[1], item->m_x2 = c[2], item->m_y2 = c[3];
        if (auto* fill = dynamic_cast<CItemFill*>(item.get())) fill->m_xSeed = c[0];
        if (auto* sweep = dynamic_cast<CItemSweep*>(item.get()))
            sweep->m_xCentre = c[2], sweep->m_yCentre = c[3];
        if (auto* list = dynamic_cast<CItemPointList*>(item.get()))
            list->m_arrPoints = {{c[0], c[1]}, {c[2], c[3]}, {c[0], c[3]}};
        item->UpdateHandles();
        const int h = item->HitTest(0, 0);
        EXPECT_GE(h, -1);
        EXPECT_LE(h, 9);
        for (int handle = -1; handle <= 9; ++handle) {
            item->m_nHandle = handle;
            item->MoveHandle(kMin, kMax, kMax, kMin);
        }
        Surface dc(8, 8, 0);
        item->Draw(dc);
        item->DrawHandles(dc);
        CByteArray bytes;
        item->Encode(1, bytes);
        EXPECT_EQ(item->GetEncodedLength(), static_cast<int>(bytes.size()));
        EXPECT_FALSE(itemchecks::Description(*item).empty());
        std::unique_ptr<CItemBase> copy = item->Clone();
        ASSERT_NE(copy, nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Classes, ExtremeCoordinates,
    testing::Values(Maker{"Line", [] { return std::make_unique<CItemLine>(); }},
                    Maker{"Rectangle", [] { return std::make_unique<CItemRectangle>(); }},
                    Maker{"Ellipse", [] { return std::make_unique<CItemEllipse>(); }},
                    Maker{"Round", [] { return std::make_unique<CItemRound>(); }},
                    Maker{"Fill", [] { return std::make_unique<CItemFill>(); }},
                    Maker{"Arc", [] { return std::make_unique<CItemArc>(); }},
                    Maker{"Pie", [] { return std::make_unique<CItemPie>(); }},
                    Maker{"Poly", [] { return std::make_unique<CItemPoly>(); }},
                    Maker{"MultiLine", [] { return std::make_unique<CItemMultiLine>(); }}),
    [](const auto& info) { return info.param.name; });

}  // namespace
