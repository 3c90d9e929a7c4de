#include "PageCommands.h"

#include <cstdio>
#include <string>

#include "CommandLine.h"
#include "LinkCommands.h"
#include "Output.h"
#include "ToolMessenger.h"
#include "base/StringFormat.h"
#include "gfx/PngWriter.h"
#include "gfx/Surface.h"
#include "project/CLedDoc.h"

namespace {

// The largest canvas lcdtool draws: a page claiming more is damaged or not a page.
constexpr int kMaxSide = 8192;
constexpr int kMaxZoom = 16;

bool LoadPage(const std::string& path, CLedDoc& doc, Messenger& messenger) {
    doc.SetMessenger(messenger);
    std::string error;
    if (!doc.LoadFile(path, error)) {
        Output::Fail(error);
        return false;
    }
    return true;
}

// One line each: a line break inside a text shows as "\r".
std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

void PrintTree(const TreeNode& node, int depth) {
    std::printf("%*s%s\n", depth * 2, "", OneLine(node.text).c_str());
    for (const TreeNode& child : node.children)
        PrintTree(child, depth + 1);
}

}  // namespace

int PageCommands::Info(const CommandLine& args) {
    if (args.Positional().size() != 1) return Output::Usage("lcdtool info PAGE.pg");
    ToolMessenger messenger(args);
    CLedDoc doc;
    if (!LoadPage(args.Positional()[0], doc, messenger)) return 1;
    TreeNode root;
    doc.BuildTree(root);
    std::printf("%s\n", root.text.c_str());
    for (const TreeNode& line : root.children)
        PrintTree(line, 0);
    return 0;
}

int PageCommands::Encode(const CommandLine& args) {
    if (args.Positional().size() != 1 || !args.Has("-o"))
        return Output::Usage("lcdtool encode PAGE.pg [--record [--start N] [--mode M]] -o OUT");
    ToolMessenger messenger(args);
    CLedDoc doc;
    if (!LoadPage(args.Positional()[0], doc, messenger)) return 1;
    CByteArray bytes;
    if (args.Has("--record")) {
        if (!LinkCommands::PageRecord(args, doc, bytes)) return 1;
    } else {
        doc.EncodeDirect(bytes, DownloadSettings{});
    }
    return Output::WriteBytes(args.Value("-o"), bytes) ? 0 : 1;
}

int PageCommands::Resave(const CommandLine& args) {
    if (args.Positional().size() != 2) return Output::Usage("lcdtool resave IN.pg OUT.pg");
    ToolMessenger messenger(args);
    CLedDoc doc;
    if (!LoadPage(args.Positional()[0], doc, messenger)) return 1;
    std::string error;
    if (!doc.SaveFile(args.Positional()[1], error)) return Output::Fail(error);
    return 0;
}

int PageCommands::Render(const CommandLine& args) {
    int zoom = 1;
    if (args.Positional().size() != 1 || !args.Has("-o"))
        return Output::Usage("lcdtool render PAGE.pg -o OUT.png [--zoom N]");
    if (!args.IntValue("--zoom", 1, 1, kMaxZoom, zoom))
        return Output::Fail(StringFormat("--zoom 须为 1 到 %d 的整数", kMaxZoom));
    ToolMessenger messenger(args);
    CLedDoc doc;
    if (!LoadPage(args.Positional()[0], doc, messenger)) return 1;
    if (doc.m_nLogWidth < 1 || doc.m_nLogHeight < 1 || doc.m_nLogWidth > kMaxSide ||
        doc.m_nLogHeight > kMaxSide) {
        return Output::Fail(StringFormat("%s：逻辑尺寸 %d*%d 无法绘制",
                                         args.Positional()[0].c_str(), doc.m_nLogWidth,
                                         doc.m_nLogHeight));
    }
    Surface surface(doc.m_nLogWidth, doc.m_nLogHeight);
    doc.DrawPage(surface, false);
    std::string error;
    if (!PngWriter::Write(surface, args.Value("-o"), zoom, error)) return Output::Fail(error);
    return 0;
}

int PageCommands::ExportPage(const CommandLine& args) {
    if (args.Positional().size() != 1 || !args.Has("-o"))
        return Output::Usage("lcdtool export-page PAGE.pg -o OUT[.bin]");
    ToolMessenger messenger(args);
    CLedDoc doc;
    if (!LoadPage(args.Positional()[0], doc, messenger)) return 1;
    const bool ok = doc.ExportBinary(
        [&](std::string& name) {
            name = args.Value("-o");
            return true;
        },
        DownloadSettings{});
    return ok ? 0 : 1;
}
