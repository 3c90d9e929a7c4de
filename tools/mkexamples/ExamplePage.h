#pragma once
// A page under construction, drawn the way a user draws it: tools chosen, presses, drags,
// releases, clicks and typed bytes sent to the page controller as plain events; colours
// and widget settings written as the page bar and the property panels write them.
//
// Each item is drawn on a blank page of the same screen and colours and then moved to this
// one. On a single page the undo copy taken before every creation would give the earlier
// items their class's copy type code (a rectangle drawn as 3 is stored as 2 once copied),
// and the examples hold items as drawn.

#include <memory>
#include <string>
#include <vector>

#include "base/Geometry.h"
#include "edit/PageController.h"
#include "items/CItemFill.h"
#include "project/CLedDoc.h"
#include "project/LocalBitmapStore.h"

class ExamplePage {
public:
    ExamplePage(const std::string& device, int colours, double physW, double physH, int w, int h);

    // The page's drawing colour, which new items take.
    void Colour(int hi, int lo);
    void Background(int hi, int lo);
    void Kind(int kind) { m_doc.m_nKind = kind; }
    void Delay(int delay) { m_doc.m_nDelay = delay; }

    void Line(int x1, int y1, int x2, int y2);
    void Rectangle(int x1, int y1, int x2, int y2, bool solid);
    void Ellipse(int x1, int y1, int x2, int y2, bool solid);
    void Circle(int cx, int cy, int px, int py, bool solid);
    void Arc(Point centre, Point start, Point end);
    void Pie(Point centre, Point start, Point end);
    void Polyline(const std::vector<Point>& points);
    void Polygon(const std::vector<Point>& points);
    void Fill(int x, int y, int fillHi, int fillLo, int borderHi, int borderLo);

    // A run of text typed with one magnification and the current colour code; "\r" is a
    // line break.
    struct Run {
        std::string utf8;
        int hmag = 1, vmag = 1;
        int hi = -1, lo = -1;  // -1: the page's current code
    };
    // A text frame dragged from (x1, y1) to (x2, y2), then the runs typed into it.
    void Text(int x1, int y1, int x2, int y2, const std::vector<Run>& runs);

    // A bitmap item showing the picture at `path` with its top-left corner at (x, y).
    void Bitmap(int x, int y, const std::string& path);
    // A number widget at (x, y) with its digits, decimals and font size choice.
    void Number(int x, int y, int digits, int decimals, int fontSize);
    // An animation widget over the box dragged from (x1, y1) to (x2, y2).
    void Animation(int x1, int y1, int x2, int y2);
    // Makes the page a background-bitmap page showing the picture at `path`.
    bool Background(const std::string& path, int& nextBackId);

    bool Save(const std::string& path, std::string& error) { return m_doc.SaveFile(path, error); }
    CLedDoc& Doc() { return m_doc; }

private:
    COLORREF Screen(int hi, int lo) const;
    // A gesture of `tool` on a blank page like this one, and the move of what it made here.
    PageController& Begin(int tool);
    void End();
    // Press at `from`, drag to `to`, release, with `tool`.
    void Drag(int tool, Point from, Point to);
    // Presses and releases at each point in turn (the first one creates the item).
    void Clicks(int tool, const std::vector<Point>& points);

    CLedDoc m_doc;
    // The page's bitmaps are placed one after the other, as in a project of this page.
    LocalBitmapStore m_bitmaps{[this] { return std::vector<CLedDoc*>{&m_doc}; }};
    // What the dialogs answer for the next gesture.
    std::string m_picture;
    FillChoice m_fill{};
    std::unique_ptr<CLedDoc> m_blank;
    std::unique_ptr<PageController> m_canvas;
    int m_hi = 0, m_lo = 0;
};
