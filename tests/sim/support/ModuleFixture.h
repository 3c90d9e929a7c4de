#pragma once
// What the module tests share: a module for a page's screen, the canvas render as the
// module's pixel format shows it, and a listener that keeps what the module said.

#include <string>
#include <vector>

#include "core/DisplayModule.h"
#include "core/ModuleFonts.h"
#include "project/CLedDoc.h"

namespace simtest {

inline ModuleConfig ConfigOf(const CLedDoc& page, Framing framing = Framing::Auto) {
    ModuleConfig c;
    c.width = page.m_nLogWidth, c.height = page.m_nLogHeight, c.colours = page.m_nColours;
    c.framing = framing;
    ModuleFonts::Use(c);
    return c;
}

// The page as the canvas draws it, in the module's colours. With `over`, an auxiliary page
// draws over that screen instead of the canvas's black.
inline Surface Render(CLedDoc& page, const ModuleConfig& c, const Surface* over = nullptr) {
    Surface s(c.width, c.height);
    if (over && page.m_nKind == CLedDoc::PageKindAux) {
        s = *over;
        for (auto& item : page.CurrentItems())
            item->Draw(s);
    } else {
        page.DrawPage(s, false);
    }
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            s.SetPixel(x, y, c.Quantize(s.GetPixel(x, y)));
    return s;
}

inline int Differences(const Surface& a, const Surface& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
    int n = 0;
    for (int i = 0; i < a.Width() * a.Height(); ++i)
        n += a.Pixels()[i] != b.Pixels()[i];
    return n;
}

inline CByteArray Bytes(const std::string& hex, size_t pad = 0, const std::string& tail = "") {
    CByteArray out, more;
    FromHex(hex, out);
    out.insert(out.end(), pad, 0xFF);
    FromHex(tail, more);
    out.insert(out.end(), more.begin(), more.end());
    return out;
}

// A small flash image: a page record at page 3 (background `colour`, a line, delay 4, no
// next page) and a local bitmap record of one 512-byte flash page at block 2, page 5.
inline CByteArray SmallImage(uint8_t colour) {
    CByteArray image = Bytes("1B 56 03 01 1B 42");
    image.push_back(colour);
    const CByteArray rest =
        Bytes("1B 46 07 00 00 00 00 20 00 20 00 1B 53 04 1B 50 FF", 108, "1B 28 02 05 01");
    image.insert(image.end(), rest.begin(), rest.end());
    image.insert(image.end(), 512, 0x42);
    return image;
}

struct Recorder : ModuleListener {
    std::vector<std::string> log, warnings, reports;
    std::vector<int> pages;  // every frame's page
    void OnCommand(const ModuleEvent& e) override { log.push_back(e.text); }
    void OnWarning(const ModuleEvent& e) override { warnings.push_back(e.Format()); }
    void OnReport(const std::string& t) override { reports.push_back(t); }
    void OnFrame(const Surface&, int page) override { pages.push_back(page); }
};

}  // namespace simtest
