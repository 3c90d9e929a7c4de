#include "ExamplePage.h"

#include "base/ColourCode.h"
#include "base/GbkCodec.h"
#include "items/CItemFont.h"
#include "items/CItemNumberWidget.h"

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
    m_doc.m_crDraw = Screen(hi, lo);
    m_doc.m_drawCodeHi = static_cast<uint8_t>(hi);
    m_doc.m_drawCodeLo = static_cast<uint8_t>(lo);
}

void ExamplePage::Background(int hi, int lo) {
    m_doc.m_crBack = Screen(hi, lo);
    m_doc.m_backCodeHi = static_cast<uint8_t>(hi);
    m_doc.m_backCodeLo = static_cast<uint8_t>(lo);
}

PageController& ExamplePage::Begin(int tool) {
    m_blank = std::make_unique<CLedDoc>(m_doc.GetScreenParams());
    m_blank->m_crDraw = m_doc.m_crDraw;
    m_blank->m_drawCodeHi = m_doc.m_drawCodeHi;
    m_blank->m_drawCodeLo = m_doc.m_drawCodeLo;
    m_blank->m_crBack = m_doc.m_crBack;
    PageController::Dialogs dialogs{[this](FillChoice& c) {
                                        c = m_fill;
                                        return true;
                                    },
                                    [this](std::string& path) {
                                        path = m_picture;
                                        return true;
                                    }};
    m_canvas = std::make_unique<PageController>(*m_blank, m_bitmaps, dialogs);
    m_canvas->SetTool(tool);
    return *m_canvas;
}

void ExamplePage::End() {
    for (auto& item : m_blank->CurrentItems()) {
        item->m_bSelected = 0;
        m_doc.CurrentItems().push_back(std::move(item));
    }
    m_canvas.reset();
    m_blank.reset();
}

void ExamplePage::Drag(int tool, Point from, Point to) {
    PageController& canvas = Begin(tool);
    canvas.MouseDown(MouseEvent{from, kLeftButton});
    canvas.MouseMove(MouseEvent{to, kLeftButton});
    canvas.MouseUp(MouseEvent{to});
}

void ExamplePage::Clicks(int tool, const std::vector<Point>& points) {
    PageController& canvas = Begin(tool);
    for (size_t i = 0; i < points.size(); ++i) {
        if (i > 0) canvas.MouseMove(MouseEvent{points[i]});
        canvas.MouseDown(MouseEvent{points[i], kLeftButton});
        canvas.MouseUp(MouseEvent{points[i]});
    }
}

void ExamplePage::Line(int x1, int y1, int x2, int y2) {
    Drag(11, {x1, y1}, {x2, y2});
    End();
}

void ExamplePage::Rectangle(int x1, int y1, int x2, int y2, bool solid) {
    Drag(solid ? 2 : 3, {x1, y1}, {x2, y2});
    // The colour dialog applied to the new rectangle: a hollow one is filled with the
    // drawing colour instead of the background's.
    if (!solid) m_blank->SetColour(Screen(m_hi, m_lo), m_hi, m_lo, 1);
    End();
}

void ExamplePage::Ellipse(int x1, int y1, int x2, int y2, bool solid) {
    Drag(solid ? 4 : 5, {x1, y1}, {x2, y2});
    End();
}

void ExamplePage::Circle(int cx, int cy, int px, int py, bool solid) {
    Drag(solid ? 14 : 104, {cx, cy}, {px, py});
    End();
}

void ExamplePage::Arc(Point c, Point s, Point e) {
    Clicks(40, {c, s, e});
    End();
}

void ExamplePage::Pie(Point c, Point s, Point e) {
    Clicks(30, {c, s, e});
    End();
}

void ExamplePage::Polyline(const std::vector<Point>& points) {
    Clicks(18, points);
    m_canvas->RightDown(MouseEvent{points.back(), kRightButton});
    End();
}

void ExamplePage::Polygon(const std::vector<Point>& points) {
    Clicks(50, points);
    m_canvas->RightDown(MouseEvent{points.back(), kRightButton});
    End();
}

void ExamplePage::Fill(int x, int y, int fillHi, int fillLo, int borderHi, int borderLo) {
    m_fill = FillChoice{Screen(fillHi, fillLo),         Screen(borderHi, borderLo),
                        static_cast<uint8_t>(fillHi),   static_cast<uint8_t>(fillLo),
                        static_cast<uint8_t>(borderHi), static_cast<uint8_t>(borderLo)};
    Clicks(17, {{x, y}});
    End();
}

void ExamplePage::Text(int x1, int y1, int x2, int y2, const std::vector<Run>& runs) {
    Drag(15, {x1, y1}, {x2, y2});
    auto* text = dynamic_cast<CItemFont*>(m_canvas->Selected());
    if (!text) return End();
    for (const Run& run : runs) {
        const int hi = run.hi < 0 ? m_hi : run.hi, lo = run.lo < 0 ? m_lo : run.lo;
        // The text panel's magnifications and colour; the page's colour code.
        text->m_nHMag = run.hmag;
        text->m_nVMag = run.vmag;
        text->m_crColor = Screen(hi, lo);
        m_blank->m_drawCodeHi = static_cast<uint8_t>(hi);
        m_blank->m_drawCodeLo = static_cast<uint8_t>(lo);
        for (char b : GbkCodec::FromUtf8(run.utf8))
            m_canvas->Char(static_cast<uint8_t>(b));
    }
    // The canvas lays the text out when it shows it.
    text->LayoutAndDraw(nullptr, 16, 16);
    End();
}

void ExamplePage::Bitmap(int x, int y, const std::string& path) {
    m_picture = path;
    Clicks(16, {{x, y}});
    End();
}

void ExamplePage::Number(int x, int y, int digits, int decimals, int fontSize) {
    Clicks(12, {{x, y}});
    auto* number = dynamic_cast<CItemNumberWidget*>(m_canvas->Selected());
    if (!number) return End();
    // The number panel.
    number->m_nDigits = digits;
    number->m_nDecimals = decimals;
    number->m_nFontSize = fontSize;
    number->m_crFore = Screen(m_hi, m_lo);
    number->m_foreHi = static_cast<uint8_t>(m_hi);
    number->m_foreLo = static_cast<uint8_t>(m_lo);
    number->UpdateBox();
    End();
}

void ExamplePage::Animation(int x1, int y1, int x2, int y2) {
    Drag(13, {x1, y1}, {x2, y2});
    End();
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
