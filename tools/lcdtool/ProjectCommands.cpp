#include "ProjectCommands.h"

#include <cstdio>
#include <string>

#include "CommandLine.h"
#include "LinkCommands.h"
#include "Output.h"
#include "ToolMessenger.h"
#include "base/Messages.h"
#include "base/StringFormat.h"
#include "gfx/PngWriter.h"
#include "gfx/Surface.h"
#include "images/CBmpObj.h"
#include "project/CLedDoc.h"
#include "project/DownloadMemory.h"
#include "project/FlashImage.h"
#include "project/FlashLayout.h"
#include "project/FlashMap.h"
#include "project/LayoutReport.h"
#include "project/Workspace.h"

namespace {

constexpr int kBoards = 4;

bool BoardOption(const CommandLine& args, DownloadSettings& settings) {
    int board = 0;
    if (!args.IntValue("--board", 0, 0, kBoards - 1, board)) {
        Output::Fail("--board 须为 0 到 3 的整数");
        return false;
    }
    settings.SetBoardType(board);
    return true;
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    size_t from = 0;
    while (from <= text.size()) {
        const size_t comma = text.find(',', from);
        const size_t end = comma == std::string::npos ? text.size() : comma;
        if (end > from) items.push_back(text.substr(from, end - from));
        if (comma == std::string::npos) break;
        from = comma + 1;
    }
    return items;
}

bool DisplayOption(const CommandLine& args, FlashLayout::DisplayMode& mode) {
    const std::string value = args.Value("--display", "independent");
    if (value == "cyclic") {
        mode = FlashLayout::DisplayCyclic;
    } else if (value == "sequential") {
        mode = FlashLayout::DisplaySequential;
    } else if (value == "independent") {
        mode = FlashLayout::DisplayIndependent;
    } else {
        Output::Fail("--display 须为 cyclic、sequential 或 independent，不是 " + value);
        return false;
    }
    return true;
}

const char* State(bool collision) {
    return collision ? "冲突" : "正常";
}

std::string LastPage(int64_t start, int64_t count) {
    return count > 0 ? StringFormat("%lld", static_cast<long long>(start + count - 1)) : "-";
}

// Opens the project; its page files are inputs too, which no output may replace.
bool OpenProject(Workspace& ws, const std::string& path) {
    if (!ws.OpenProjectFile(path)) return false;
    for (const CDocObj& e : ws.GetProject().entries)
        Output::AddInput(ws.EntryFile(e.m_strName));
    return true;
}

}  // namespace

// Loads the project as project management does, with the export's options (mode, board,
// order, display, crc), and hands its flash image to `use`.
bool ProjectCommands::WithImage(const CommandLine& args,
                                const std::function<bool(FlashImage&)>& use, ScreenParams* screen) {
    DownloadSettings settings;
    FlashLayout::DisplayMode display = FlashLayout::DisplayIndependent;
    if (!LinkCommands::ModeOption(args, "--mode", settings.instructionMode) ||
        !BoardOption(args, settings) || !DisplayOption(args, display))
        return false;
    if (args.Has("--order") && SplitList(args.Value("--order")).empty()) {
        Output::Fail("--order 须列出页面名称，以逗号分隔");
        return false;
    }

    ToolMessenger messenger(args);
    Workspace ws(messenger);
    ws.Settings() = settings;
    if (!OpenProject(ws, args.Positional()[0])) return false;
    if (screen) *screen = ws.GetProject().screen;
    FlashLayout layout(ws);
    // The project's own order unless the command line gives one.
    std::vector<std::string> order;
    if (args.Has("--order")) {
        order = SplitList(args.Value("--order"));
    } else {
        for (const CDocObj& e : ws.GetProject().entries)
            order.push_back(e.m_strName);
    }
    layout.SetPageOrder(order);
    layout.SetDisplayMode(display);

    // Items off the screen (older files) are sent as they are; the user hears of them.
    for (const auto& page : ws.Pages())
        if (const int n = page->CountOffScreen())
            Output::Warn(StringFormat("页面 %s 有 %d 个图元超出屏幕", page->m_strTitle.c_str(), n));
    FlashImage image(layout);
    image.Open();
    image.m_bCrc = args.Has("--crc") || args.Has("--verify");
    return use(image);
}

int ProjectCommands::Export(const CommandLine& args) {
    const std::string out = args.Value("-o");
    if (!Output::CheckName(out)) return 1;
    return WithImage(args,
                     [&](FlashImage& image) {
                         if (out != "-")
                             return image.Export([&](std::string& name) {
                                 name = out;
                                 return Output::NotAnInput(CLedDoc::BinaryName(out));
                             });
                         if (!image.CheckExport()) return false;
                         CByteArray bytes;
                         image.ExportBytes(bytes);
                         return Output::WriteBytes(out, bytes);
                     })
               ? 0
               : 1;
}

bool ProjectCommands::DownloadRecords(const CommandLine& args, std::vector<FlashRecord>& records,
                                      DownloadTarget& target) {
    return WithImage(
        args,
        [&](FlashImage& image) {
            if (!image.CheckDownload()) return false;
            image.BuildRecords(records, image.Settings(), image.m_bCrc);
            target.settings = image.Settings();
            return true;
        },
        &target.screen);
}

int ProjectCommands::Layout(const CommandLine& args) {
    int block = -1;
    DownloadSettings settings;
    if (!BoardOption(args, settings)) return 1;
    if (!args.IntValue("--block", -1, 0, FlashLayout::kBlocks - 1, block))
        return Output::Fail("--block 须为 0 到 63 的整数");
    const std::string png = args.Value("--png");
    if (args.Has("--png") && !Output::CheckName(png, "--png")) return 1;
    // "--png -": the map alone goes to standard output.
    const bool table = png != "-";

    ToolMessenger messenger(args);
    Workspace ws(messenger);
    ws.Settings() = settings;
    if (!OpenProject(ws, args.Positional()[0])) return 1;
    if (args.Has("--png") && !Output::NotAnInput(png, "--png")) return 1;
    FlashLayout layout(ws);

    if (table) PrintLayout(layout, block);
    if (!args.Has("--png")) return 0;
    Surface map(FlashMap::kSize, FlashMap::kSize);
    bool drawn;
    if (block >= 0) {
        layout.ChooseBitmapBlock(block);
        drawn = layout.DrawBitmapMap(map);
    } else {
        drawn = layout.DrawPageMap(map);
    }
    if (!drawn) return 1;
    OutputFile file;
    if (!file.Open(png, "--png")) return 1;
    std::string error;
    const PngWriter::Sink sink = [&](std::span<const uint8_t> b, std::string& e) {
        return file.Append(b, e);
    };
    if (!PngWriter::Encode(map, 1, sink, error)) return Output::Fail(error);
    return file.Close() ? 0 : 1;
}

void ProjectCommands::PrintLayout(FlashLayout& layout, int block) {
    Output::Show(stdout, "# 页面区：256 页，每页 128 字节，第 255 页保留\n");
    Output::Show(stdout, "页面\t起始页\t页数\t末页\t状态\n");
    bool pageCollision = false;
    for (const auto& r : layout.PageRuns()) {
        std::printf("%s\t%lld\t%lld\t%s\t%s\n", Output::Escape(r.page->m_strTitle).c_str(),
                    static_cast<long long>(r.start), static_cast<long long>(r.count),
                    LastPage(r.start, r.count).c_str(), Messages::Tr(State(r.collision)).c_str());
        pageCollision = pageCollision || r.collision;
    }
    Output::Show(stdout, StringFormat("# 局部位图区：64 块，每块 256 页，每页 %d 字节\n",
                                      layout.GetWorkspace().Settings().flashPageSize));
    Output::Show(stdout, "位图\t块\t起始页\t页数\t末页\t状态\t调用页面\n");
    bool bitmapCollision = false;
    for (const auto& r : layout.BitmapRuns(block)) {
        const CLedDoc* owner = layout.OwnerPage(*r.bitmap);
        std::printf("%s\t%lld\t%lld\t%lld\t%s\t%s\t%s\n",
                    Output::Escape(r.bitmap->m_strPath).c_str(), static_cast<long long>(r.block),
                    static_cast<long long>(r.start), static_cast<long long>(r.count),
                    LastPage(r.start, r.count).c_str(), Messages::Tr(State(r.collision)).c_str(),
                    owner ? Output::Escape(owner->m_strTitle).c_str() : "-");
        bitmapCollision = bitmapCollision || r.collision;
    }
    Output::Show(stdout, StringFormat("页面区：%s\n", pageCollision ? "有地址重叠或越界" : "正常"));
    Output::Show(stdout, StringFormat("局部位图区%s：%s\n",
                                      block >= 0 ? StringFormat("第%d块", block).c_str() : "",
                                      bitmapCollision ? "有地址重叠或越界" : "正常"));
}

int ProjectCommands::Report(const CommandLine& args) {
    const std::string out = args.Value("-o");
    if (!Output::CheckName(out)) return 1;
    ToolMessenger messenger(args);
    Workspace ws(messenger);
    if (!OpenProject(ws, args.Positional()[0])) return 1;
    const std::string text =
        args.Word() == "bitmaps" ? LayoutReport::LocalBitmaps(ws) : LayoutReport::Backgrounds(ws);
    if (out == "-")
        return Output::WriteBytes(out, {reinterpret_cast<const uint8_t*>(text.data()), text.size()})
                   ? 0
                   : 1;
    return LayoutReport::Write(
               text,
               [&](std::string& name) {
                   name = out;
                   return Output::NotAnInput(LayoutReport::ReportName(out));
               },
               messenger)
               ? 0
               : 1;
}
