#pragma once
// Projects for the flash layout and image tests, made with the project commands in a
// private folder: pages of a chosen flash page count, bitmap items from small BMP files,
// background pages. Shared by the layout, image, report and lcdtool tests and the
// export benchmark.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "base/Colour.h"
#include "images/CBmpObj.h"
#include "items/CItemBmp.h"
#include "items/CItemLine.h"
#include "project/CLedDoc.h"
#include "project/Workspace.h"
#include "support/ScriptedMessenger.h"

namespace flashfixture {

// A 24-bit BMP file of one colour.
inline void WriteSolidBmp(const std::string& path, int w, int h, COLORREF colour) {
    const auto put16 = [](std::string& s, uint32_t v) {
        s += static_cast<char>(v & 0xFF);
        s += static_cast<char>((v >> 8) & 0xFF);
    };
    const auto put32 = [&](std::string& s, uint32_t v) {
        put16(s, v & 0xFFFF);
        put16(s, v >> 16);
    };
    const uint32_t rowBytes = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
    std::string row;
    for (int x = 0; x < w; ++x) {
        row += static_cast<char>(BlueOf(colour));
        row += static_cast<char>(GreenOf(colour));
        row += static_cast<char>(RedOf(colour));
    }
    row.resize(rowBytes, '\0');
    std::string pixels;
    for (int y = 0; y < h; ++y)
        pixels += row;
    std::string f = "BM";
    put32(f, 54 + static_cast<uint32_t>(pixels.size()));
    put32(f, 0);
    put32(f, 54);
    put32(f, 40);
    put32(f, static_cast<uint32_t>(w));
    put32(f, static_cast<uint32_t>(h));
    put16(f, 1);
    put16(f, 24);
    put32(f, 0);
    put32(f, static_cast<uint32_t>(pixels.size()));
    put32(f, 2835);
    put32(f, 2835);
    put32(f, 0);
    put32(f, 0);
    std::ofstream(path, std::ios::binary) << f << pixels;
}

class Project {
public:
    // The workspace reports to `messenger`, or to `messages` when none is given.
    explicit Project(const ScreenParams& screen = ScreenParams{"LCD", 256, 70.0, 52.5, 320, 240},
                     Messenger* messenger = nullptr)
        : ws(messenger ? *messenger : messages), m_screen(screen) {
        char tmpl[] = "/tmp/lcd-flash-XXXXXX";
        if (mkdtemp(tmpl)) m_root = tmpl;
        m_ui.newProject = [this](NewProjectChoice& c) {
            c = NewProjectChoice{m_screen, true, "demo", m_root};
            return true;
        };
        m_ui.pageName = [this](std::string& n) {
            n = m_nextName;
            return true;
        };
        ws.NewProject(m_ui);
    }
    ~Project() {
        ws.CloseProject();
        std::error_code ec;
        if (!m_root.empty()) std::filesystem::remove_all(m_root, ec);
    }
    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;

    std::string Dir() const { return m_root + "/demo"; }
    std::string ProjectFile() const { return Dir() + "/demo.zkp"; }
    std::string File(const std::string& name) const { return m_root + "/" + name; }

    // A new page of `pages` flash pages (lines fill it) at start page `start`, entry and
    // page alike.
    CLedDoc* AddPage(const std::string& name, int pages = 1, int start = -1) {
        m_nextName = name;
        CLedDoc* page = ws.NewPage(m_ui);
        if (!page) return nullptr;
        while (page->ComputePageCount() < pages) {
            auto line = std::make_unique<CItemLine>(1, 1, Rgb(255, 255, 255), 1);
            line->m_x2 = 10, line->m_y2 = 10;
            page->CurrentItems().push_back(std::move(line));
        }
        if (start >= 0) SetStart(page, start);
        page->m_bModified = true;
        return page;
    }
    void SetStart(CLedDoc* page, int start) {
        page->m_nStartPage = start;
        for (CDocObj& e : ws.GetProject().entries) {
            if (e.m_strName == page->m_strTitle) {
                e.m_nStartPage = start;
                e.m_nPageCount = page->ComputePageCount();
            }
        }
    }

    // A bitmap item at (x, y) of a w x h picture of one colour, stretched to boxW x boxH
    // (the size that gives its flash pages); placed at `block`, `start` when given.
    CItemBmp* AddBitmap(CLedDoc* page, int x, int y, int w, int h, COLORREF colour, int boxW = -1,
                        int boxH = -1, int block = -1, int start = -1) {
        const std::string path = File("pic" + std::to_string(m_files++) + ".bmp");
        WriteSolidBmp(path, w, h, colour);
        auto item = ws.Bitmaps().NewItem(x, y, path, page->Format(), ws.GetMessenger());
        if (boxW >= 0) item->m_x2 = x + boxW;
        if (boxH >= 0) item->m_y2 = y + boxH;
        item->m_rcDraw = Rect{item->m_x1, item->m_y1, item->m_x2, item->m_y2};
        CItemBmp* raw = item.get();
        page->CurrentItems().push_back(std::move(item));
        if (CBmpObj* bmp = raw->Bitmap()) {
            if (block >= 0) bmp->m_nBlock = block;
            if (start >= 0) bmp->m_nStartPage = start;
        }
        page->m_bModified = true;
        return raw;
    }

    // Makes `page` a background page showing a w x h picture of one colour.
    bool MakeBackground(CLedDoc* page, int w, int h, COLORREF colour) {
        const std::string path = File("back" + std::to_string(m_files++) + ".bmp");
        WriteSolidBmp(path, w, h, colour);
        return page->ChooseKind(
            CLedDoc::PageKindBackground,
            [&](std::string& p) {
                p = path;
                return true;
            },
            ws.GetProject().nextBackId);
    }

    // What the workspace and its pages tell and ask.
    ScriptedMessenger messages;
    Workspace ws;

private:
    ScreenParams m_screen;
    std::string m_root;
    std::string m_nextName;
    WorkspaceUi m_ui;
    int m_files = 0;
};

}  // namespace flashfixture
