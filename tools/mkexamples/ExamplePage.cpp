#include "ExamplePage.h"

#include "base/ColourCode.h"
#include "base/GbkCodec.h"
#include "base/Messenger.h"
#include "items/CItemArc.h"
#include "items/CItemBmp.h"
#include "items/CItemEllipse.h"
#include "items/CItemFill.h"
#include "items/CItemFont.h"
#include "items/CItemLine.h"
#include "items/CItemMultiLine.h"
#include "items/CItemNumberWidget.h"
#include "items/CItemPie.h"
#include "items/CItemPoly.h"
#include "items/CItemRectangle.h"
#include "items/CItemRound.h"
#include "items/CitemAnimationWidget.h"

ExamplePage::ExamplePage(const std::string& device, int colours, double physW, double physH, int w,
                         int h)
    : m_doc(ScreenParams{device, colours, physW, physH, w, h}) {
    uint8_t hi = 0, lo = 0;
    ColourCode::DefaultDrawCode(colours, hi, lo);
    Colour(hi, lo);
}

COLORREF ExamplePage::Screen(int hi, int lo) const {
    return ColourCode::ScreenColour(m_doc.m_nColours, hi, lo);
}

void ExamplePage::Colour(int hi, int lo) {
    m_hi = hi, m_lo = lo;
}

void ExamplePage::Background(int hi, int lo) {
    m_doc.m_crBack = Screen(hi, lo);
    m_doc.m_backCodeHi = static_cast<uint8_t>(hi);
    m_doc.m_backCodeLo = static_cast<uint8_t>(lo);
}

void ExamplePage::Add(std::unique_ptr<CItemBase> item, bool takeCode) {
    if (takeCode) {
        item->m_codeHi = static_cast<uint8_t>(m_hi);
        item->m_codeLo = static_cast<uint8_t>(m_lo);
    }
    item->m_bSelected = 0;
    item->m_pDoc = &m_doc;
    m_doc.CurrentItems().push_back(std::move(item));
}

namespace {

// Press at (x1, y1), drag to (x2, y2), release: how the canvas makes two-point items.
template <class T>
std::unique_ptr<T> Drag(std::unique_ptr<T> item, int x1, int y1, int x2, int y2) {
    CursorShape cursor = CursorShape::Unchanged;
    item->OnMouseMove(cursor, x1, y1, x2, y2);
    item->OnLButtonUp(x2, y2);
    return item;
}

}  // namespace

void ExamplePage::Line(int x1, int y1, int x2, int y2) {
    Add(Drag(std::make_unique<CItemLine>(x1, y1, Screen(m_hi, m_lo), 1), x1, y1, x2, y2));
}

void ExamplePage::Rectangle(int x1, int y1, int x2, int y2, bool solid) {
    const COLORREF c = Screen(m_hi, m_lo);
    Add(Drag(std::make_unique<CItemRectangle>(x1, y1, c, c, solid), x1, y1, x2, y2));
}

void ExamplePage::Ellipse(int x1, int y1, int x2, int y2, bool solid) {
    const COLORREF c = Screen(m_hi, m_lo);
    Add(Drag(std::make_unique<CItemEllipse>(x1, y1, c, c, solid), x1, y1, x2, y2));
}

void ExamplePage::Circle(int cx, int cy, int px, int py, bool solid) {
    const COLORREF c = Screen(m_hi, m_lo);
    Add(Drag(std::make_unique<CItemRound>(cx, cy, c, c, solid), cx, cy, px, py));
}

namespace {

// The three presses of an arc or a pie: centre, start point, end point.
template <class T>
std::unique_ptr<T> Sweep(Point c, Point s, Point e, COLORREF colour) {
    auto item = std::make_unique<T>(c.x, c.y, colour);
    CursorShape cursor = CursorShape::Unchanged;
    item->OnLButtonUp(c.x, c.y);
    item->OnMouseMove(cursor, c.x, c.y, s.x, s.y);
    item->OnLButtonDown(s.x, s.y);
    item->OnLButtonUp(s.x, s.y);
    item->OnMouseMove(cursor, s.x, s.y, e.x, e.y);
    item->OnLButtonDown(e.x, e.y);
    item->OnLButtonUp(e.x, e.y);
    return item;
}

// Presses at every point, then the right click that ends the list.
template <class T>
std::unique_ptr<T> Points(const std::vector<Point>& points, COLORREF colour) {
    auto item = std::make_unique<T>(points[0].x, points[0].y, colour);
    CursorShape cursor = CursorShape::Unchanged;
    item->OnLButtonUp(points[0].x, points[0].y);
    for (size_t i = 1; i < points.size(); ++i) {
        item->OnMouseMove(cursor, points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
        item->OnLButtonDown(points[i].x, points[i].y);
        item->OnLButtonUp(points[i].x, points[i].y);
    }
    item->OnRButtonDown(0, points.back().x, points.back().y);
    item->UpdateHandles();
    return item;
}

}  // namespace

void ExamplePage::Arc(Point c, Point s, Point e) {
    Add(Sweep<CItemArc>(c, s, e, Screen(m_hi, m_lo)));
}

void ExamplePage::Pie(Point c, Point s, Point e) {
    Add(Sweep<CItemPie>(c, s, e, Screen(m_hi, m_lo)));
}

void ExamplePage::Polyline(const std::vector<Point>& points) {
    Add(Points<CItemPoly>(points, Screen(m_hi, m_lo)));
}

void ExamplePage::Polygon(const std::vector<Point>& points) {
    Add(Points<CItemMultiLine>(points, Screen(m_hi, m_lo)));
}

void ExamplePage::Fill(int x, int y, int fillHi, int fillLo, int borderHi, int borderLo) {
    const FillDialog dialog = [&](FillChoice& c) {
        c.fillColour = Screen(fillHi, fillLo);
        c.borderColour = Screen(borderHi, borderLo);
        c.fillHi = static_cast<uint8_t>(fillHi);
        c.fillLo = static_cast<uint8_t>(fillLo);
        c.borderHi = static_cast<uint8_t>(borderHi);
        c.borderLo = static_cast<uint8_t>(borderLo);
        return true;
    };
    Add(std::make_unique<CItemFill>(x, y, dialog), false);
}

void ExamplePage::Text(int x1, int y1, int x2, int y2, const std::vector<Run>& runs) {
    auto item = Drag(std::make_unique<CItemFont>(x1, y1, Screen(m_hi, m_lo)), x1, y1, x2, y2);
    for (const Run& run : runs) {
        const int hi = run.hi < 0 ? m_hi : run.hi, lo = run.lo < 0 ? m_lo : run.lo;
        item->m_nHMag = run.hmag;
        item->m_nVMag = run.vmag;
        item->m_crColor = Screen(hi, lo);
        for (char b : GbkCodec::FromUtf8(run.utf8))
            item->InsertChar(static_cast<uint8_t>(b), static_cast<uint8_t>(lo),
                             static_cast<uint8_t>(hi));
    }
    // Typing ends as the canvas ends it: a click elsewhere leaves the text laid out and idle.
    item->LayoutAndDraw(nullptr, 16, 16);
    item->m_codeHi = static_cast<uint8_t>(m_hi);
    item->m_codeLo = static_cast<uint8_t>(m_lo);
    item->m_bTextFlag = 0;
    item->m_bSelected = 0;
    item->m_pDoc = &m_doc;
    m_doc.CurrentItems().push_back(std::move(item));
}

void ExamplePage::Bitmap(int x, int y, const std::string& path) {
    Add(m_bitmaps.NewItem(x, y, path, m_doc.Format(), Messenger::Stderr()), false);
}

void ExamplePage::Number(int x, int y, int digits, int decimals, int fontSize) {
    auto item = std::make_unique<CItemNumberWidget>(x, y, Screen(m_hi, m_lo));
    item->m_nDigits = digits;
    item->m_nDecimals = decimals;
    item->m_nFontSize = fontSize;
    item->m_crFore = Screen(m_hi, m_lo);
    item->m_foreHi = static_cast<uint8_t>(m_hi);
    item->m_foreLo = static_cast<uint8_t>(m_lo);
    item->UpdateBox();
    Add(std::move(item));
}

void ExamplePage::Animation(int x1, int y1, int x2, int y2) {
    Add(Drag(std::make_unique<CitemAnimationWidget>(x1, y1, Screen(m_hi, m_lo)), x1, y1, x2, y2));
}

bool ExamplePage::Background(const std::string& path, int& nextBackId) {
    return m_doc.ChooseKind(
        CLedDoc::PageKindBackground,
        [&](std::string& chosen) {
            chosen = path;
            return true;
        },
        nextBackId);
}
