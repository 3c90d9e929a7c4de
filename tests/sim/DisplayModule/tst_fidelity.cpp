// The module draws what the canvas draws. Every example and demo page goes through the
// module as its direct stream and, for the demo project, as a flash image followed by
// show-page commands in each framing; the screen must equal the page's render in the
// module's colours. Where the module draws differently by design, the table below says
// what it draws instead, and the difference is checked to be real.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "base/ColourCode.h"
#include "base/Messenger.h"
#include "images/DownloadSettings.h"
#include "items/CItemEllipse.h"
#include "items/CItemLine.h"
#include "link/CommandBuilder.h"
#include "project/FlashImage.h"
#include "project/FlashLayout.h"
#include "project/Workspace.h"
#include "sim/support/ModuleFixture.h"

using namespace simtest;
namespace fs = std::filesystem;

namespace {

using Make = std::function<std::unique_ptr<CItemBase>(const CItemBase&, int colours)>;

// A widget sends the line command over its box and nothing else.
std::unique_ptr<CItemBase> LineOverBox(const CItemBase& w, int colours) {
    auto line = std::make_unique<CItemLine>();
    line->m_x1 = w.m_x1, line->m_y1 = w.m_y1, line->m_x2 = w.m_x2, line->m_y2 = w.m_y2;
    line->m_crColor = ColourCode::ScreenColour(colours, w.m_codeHi, w.m_codeLo);
    return line;
}

Make EllipseBox(int l, int t, int r, int b) {
    return [=](const CItemBase& e, int) -> std::unique_ptr<CItemBase> {
        auto copy = e.Clone();
        copy->m_x1 = l, copy->m_y1 = t, copy->m_x2 = r, copy->m_y2 = b;
        return copy;
    };
}

struct Reading {
    const char* page;
    size_t item;
    Make module;  // what the module draws for that item
};

const Reading kReadings[] = {
    {"bitmaps-256.pg", 4, LineOverBox},  // number widget
    {"bitmaps-256.pg", 5, LineOverBox},  // animation widget
    {"photo.pg", 2, LineOverBox},        // number widget
    // 260 x 80 is 30.77 %, sent as 30: the module's ellipse is 266 wide.
    {"shapes-256.pg", 5, EllipseBox(487, 50, 753, 130)},
};

// Swaps the page's items for the module's readings; how many were swapped.
int ModuleView(CLedDoc& page, const std::string& name) {
    int swapped = 0;
    for (const Reading& r : kReadings) {
        if (name != r.page) continue;
        auto& items = page.CurrentItems();
        items.at(r.item) = r.module(*items.at(r.item), page.m_nColours);
        ++swapped;
    }
    return swapped;
}

TEST(Fidelity, DirectStreamOfEveryExamplePageDrawsItsRender) {
    int pages = 0;
    for (const auto& entry : fs::recursive_directory_iterator(LCD_EXAMPLES)) {
        const fs::path& path = entry.path();
        if (path.extension() != ".pg") continue;
        ++pages;
        SCOPED_TRACE(path.string());
        CLedDoc page;
        std::string error;
        ASSERT_TRUE(page.LoadFile(path, error)) << error;
        const ModuleConfig config = ConfigOf(page);
        DisplayModule module(config);
        CByteArray stream;
        page.EncodeDirect(stream, DownloadSettings{});
        module.Execute(stream);
        EXPECT_EQ(module.Warnings(), 0);
        const Surface canvas = Render(page, config);
        if (ModuleView(page, path.filename().string()) > 0) {
            EXPECT_GT(Differences(module.Screen(), canvas), 0) << "listed as drawn differently";
        }
        EXPECT_EQ(Differences(module.Screen(), Render(page, config)), 0);
    }
    EXPECT_GE(pages, 13);
}

// The demo project opened as project management opens it.
struct Demo {
    Workspace ws{Messenger::Stderr()};
    std::unique_ptr<FlashLayout> layout;
    std::vector<CLedDoc*> order;

    explicit Demo(FlashLayout::DisplayMode display = FlashLayout::DisplayIndependent) {
        EXPECT_TRUE(ws.OpenProjectFile(std::string(LCD_EXAMPLES) + "/demo/demo.zkp"));
        ws.OpenProjectPages();
        layout = std::make_unique<FlashLayout>(ws);
        std::vector<std::string> titles;
        for (const CDocObj& e : ws.GetProject().entries)
            titles.push_back(e.m_strName);
        layout->SetPageOrder(titles);
        layout->SetDisplayMode(display);
        for (const auto& t : titles)
            order.push_back(layout->FindPage(t));
    }
    CByteArray Image(int mode) {
        DownloadSettings settings;
        settings.instructionMode = mode;
        FlashImage image(*layout);
        image.Open();
        CByteArray bytes;
        image.Build(bytes, settings);
        return bytes;
    }
};

TEST(Fidelity, DemoFlashImageShowsEveryPageInEveryFraming) {
    Demo demo;
    std::unique_ptr<DisplayModule> first;
    for (int mode :
         {CommandBuilder::ModeShort, CommandBuilder::ModeChecksum, CommandBuilder::ModeLong}) {
        const CByteArray image = demo.Image(mode);
        for (Framing framing : {Framing::Auto, static_cast<Framing>(mode + 1)}) {
            SCOPED_TRACE(std::string(FlashImage::ModeName(mode)) + " / " +
                         ModuleConfig::FramingName(framing));
            auto module = std::make_unique<DisplayModule>(ConfigOf(*demo.order[0], framing));
            module->Execute(image);
            Surface expected = module->Screen();
            for (CLedDoc* page : demo.order) {
                SCOPED_TRACE(page->m_strTitle);
                CByteArray show;
                CommandBuilder::ShowPage(show, mode, static_cast<uint8_t>(page->m_nStartPage));
                module->Execute(show);
                ModuleView(*page, page->m_strTitle);
                expected = Render(*page, module->Config(), &expected);
                EXPECT_EQ(Differences(module->Screen(), expected), 0);
            }
            EXPECT_EQ(module->Warnings(), 0);
            if (!first) {
                first = std::move(module);
                continue;
            }
            EXPECT_TRUE(module->Flash() == first->Flash()) << "the framings store the same flash";
            EXPECT_EQ(Differences(module->Screen(), first->Screen()), 0);
        }
    }
}

TEST(Fidelity, SlideshowFollowsTheDisplayMode) {
    const struct {
        FlashLayout::DisplayMode display;
        std::vector<size_t> shown;  // indexes into the page order
    } rows[] = {
        {FlashLayout::DisplayCyclic, {0, 1, 2, 3, 4, 0, 1}},
        {FlashLayout::DisplaySequential, {0, 1, 2, 3, 4}},
        {FlashLayout::DisplayIndependent, {0}},
    };
    for (const auto& row : rows) {
        Demo demo(row.display);
        DisplayModule module(ConfigOf(*demo.order[0]));
        Recorder seen;
        module.Execute(demo.Image(CommandBuilder::ModeShort));
        module.SetListener(&seen);
        module.ShowPage(demo.order[0]->m_nStartPage);
        // Each page waits its delay (0.25 s units) before the next one shows.
        double until = 0;
        for (size_t k = 0; k + 1 < row.shown.size(); ++k)
            until += demo.order[row.shown[k]]->m_nDelay * 0.25;
        module.Advance(until + 0.01);
        std::vector<int> expected;
        for (size_t k : row.shown)
            expected.push_back(demo.order[k]->m_nStartPage);
        EXPECT_EQ(seen.pages, expected) << "display mode " << row.display;
    }
}

}  // namespace
