#pragma once
// The benchmark page: 800 x 480 at 256 colours with 2000 mixed shape items (lines,
// rectangles, ellipses, circles, arcs, pies, polylines, polygons and fills in frames).

#include <random>

#include "base/ColourCode.h"
#include "gfx/Surface.h"
#include "items/CItemArc.h"
#include "items/CItemEllipse.h"
#include "items/CItemFill.h"
#include "items/CItemLine.h"
#include "items/CItemMultiLine.h"
#include "items/CItemPie.h"
#include "items/CItemPoly.h"
#include "items/CItemRectangle.h"
#include "items/CItemRound.h"
#include "project/CLedDoc.h"

namespace benchpage {

constexpr int kWidth = 800, kHeight = 480, kItems = 2000;

inline void MakePage(CLedDoc& doc) {
    doc.SetScreenParams(ScreenParams{"bench", 256, 154.2, 85.9, kWidth, kHeight});
    std::mt19937 rng(12345);
    auto x = [&] { return static_cast<int>(rng() % kWidth); };
    auto y = [&] { return static_cast<int>(rng() % kHeight); };
    auto small = [&] { return static_cast<int>(rng() % 60) + 2; };
    CursorShape cursor = CursorShape::Unchanged;
    for (int i = 0; i < kItems; ++i) {
        const int code = static_cast<int>(rng() % 256);
        const COLORREF c = ColourCode::ScreenColour(256, code >> 4, code & 15);
        std::unique_ptr<CItemBase> item;
        const int ax = x(), ay = y();
        switch (i % 9) {
            case 0: {
                auto l = std::make_unique<CItemLine>(ax, ay, c, 1);
                l->OnMouseMove(cursor, ax, ay, x(), y());
                l->OnLButtonUp(l->m_x2, l->m_y2);
                item = std::move(l);
                break;
            }
            case 1:
            case 2: {
                auto r = std::make_unique<CItemRectangle>(ax, ay, c, c, i % 2 == 0);
                r->OnMouseMove(cursor, ax, ay, ax + small(), ay + small());
                item = std::move(r);
                break;
            }
            case 3: {
                auto e = std::make_unique<CItemEllipse>(ax, ay, c, c, i % 2 == 0);
                const int ex = ax + small(), ey = ay + small();
                e->OnMouseMove(cursor, ax, ay, ex, ey);
                e->OnLButtonUp(ex, ey);
                item = std::move(e);
                break;
            }
            case 4: {
                auto r = std::make_unique<CItemRound>(ax, ay, c, c, i % 2 == 0);
                r->OnMouseMove(cursor, ax, ay, ax + small() / 2, ay);
                item = std::move(r);
                break;
            }
            case 5:
            case 6: {
                std::unique_ptr<CItemBase> s;
                if (i % 9 == 5) {
                    s = std::make_unique<CItemArc>(ax, ay, c);
                } else {
                    s = std::make_unique<CItemPie>(ax, ay, c);
                }
                const int r = small();
                s->OnLButtonUp(ax, ay);
                s->OnMouseMove(cursor, ax, ay, ax + r, ay);
                s->OnLButtonDown(ax + r, ay);
                s->OnLButtonUp(ax + r, ay);
                s->OnMouseMove(cursor, ax + r, ay, ax, ay + r);
                s->OnLButtonDown(ax, ay + r);
                s->OnLButtonUp(ax, ay + r);
                item = std::move(s);
                break;
            }
            case 7: {
                std::unique_ptr<CItemBase> p;
                if (i % 2) {
                    p = std::make_unique<CItemPoly>(ax, ay, c);
                } else {
                    p = std::make_unique<CItemMultiLine>(ax, ay, c);
                }
                for (int k = 0; k < 4; ++k) {
                    const int px = ax + small(), py = ay + small();
                    p->OnLButtonDown(px, py);
                    p->OnLButtonUp(px, py);
                }
                p->OnRButtonDown(0, ax, ay);
                p->UpdateHandles();
                item = std::move(p);
                break;
            }
            default: {
                // A fill inside a hollow frame of its border colour, as fills are used.
                const int w = small() + 4, h = small() + 4;
                auto frame = std::make_unique<CItemRectangle>(ax, ay, c, c, false);
                frame->OnMouseMove(cursor, ax, ay, ax + w, ay + h);
                frame->m_codeHi = static_cast<uint8_t>(code >> 4);
                frame->m_codeLo = static_cast<uint8_t>(code & 15);
                frame->m_bSelected = 0;
                doc.CurrentItems().push_back(std::move(frame));
                ++i;
                const COLORREF inside = ColourCode::ScreenColour(256, 3, 3);
                const FillDialog dialog = [&](FillChoice& f) {
                    f = FillChoice{inside,
                                   c,
                                   3,
                                   3,
                                   static_cast<uint8_t>(code >> 4),
                                   static_cast<uint8_t>(code & 15)};
                    return true;
                };
                item = std::make_unique<CItemFill>(ax + w / 2, ay + h / 2, dialog);
                break;
            }
        }
        item->m_codeHi = static_cast<uint8_t>(code >> 4);
        item->m_codeLo = static_cast<uint8_t>(code & 15);
        item->m_bSelected = 0;
        doc.CurrentItems().push_back(std::move(item));
    }
}

}  // namespace benchpage
