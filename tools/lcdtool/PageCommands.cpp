#include "PageCommands.h"

#include <cstdio>
#include <string>

#include "CommandLine.h"
#include "JsonCommands.h"
#include "LinkCommands.h"
#include "Output.h"
#include "ToolMessenger.h"
#include "base/StringFormat.h"
#include "gfx/PngWriter.h"
#include "gfx/Surface.h"
#include "project/CLedDoc.h"

namespace {

// The largest canvas lcdtool draws (256 MB of pixels).
constexpr int kMaxSide = 8192;
constexpr int kMaxZoom = 16;

bool LoadPage(const std::string& path, CLedDoc& doc, Messenger& messenger) {
    doc.SetMessenger(messenger);
    std::string error;
    if (JsonCommands::LoadPage(path, doc, error)) return true;
    Output::Fail(error);
    return false;
}

void PrintTree(const TreeNode& node, int depth) {
    Output::Show(stdout, StringFormat("%*s%s\n", depth * 2, "", Output::Escape(node.text).c_str()));
    for (const TreeNode& child : node.children)
        PrintTree(child, depth + 1);
}

}  // namespace

int PageCommands::Info(const CommandLine& args) {
    ToolMessenger messenger(args);
    CLedDoc doc;
    if (!LoadPage(args.Positional()[0], doc, messenger)) return 1;
    TreeNode root;
    doc.BuildTree(root);
    Output::Show(stdout, Output::Escape(root.text) + "\n");
    for (const TreeNode& line : root.children)
        PrintTree(line, 0);
    return 0;
}

int PageCommands::Encode(const CommandLine& args) {
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
    ToolMessenger messenger(args);
    CLedDoc doc;
    if (!LoadPage(args.Positional()[0], doc, messenger)) return 1;
    std::string error;
    CByteArray bytes;
    if (!doc.Save(bytes, error)) return Output::Fail(error);
    OutputFile out;
    return out.Open(args.Positional()[1], "OUT.pg") && out.Write(bytes) && out.Close() ? 0 : 1;
}

int PageCommands::Render(const CommandLine& args) {
    int zoom = 1;
    if (!args.IntValue("--zoom", 1, 1, kMaxZoom, zoom))
        return Output::Fail(StringFormat("--zoom 须为 1 到 %d 的整数", kMaxZoom));
    const std::string& path = args.Positional()[0];
    ToolMessenger messenger(args);
    CLedDoc doc;
    if (!LoadPage(path, doc, messenger)) return 1;
    if (doc.m_nLogWidth > kMaxSide || doc.m_nLogHeight > kMaxSide) {
        return Output::Fail(StringFormat("%s：逻辑尺寸 %d*%d 超过绘制上限 %d*%d", path.c_str(),
                                         doc.m_nLogWidth, doc.m_nLogHeight, kMaxSide, kMaxSide));
    }
    // Refused before the page is drawn.
    if (const std::string why = PngWriter::CheckSize(doc.m_nLogWidth, doc.m_nLogHeight, zoom);
        !why.empty())
        return Output::Fail(path + "：" + why);
    Surface surface(doc.m_nLogWidth, doc.m_nLogHeight);
    doc.DrawPage(surface, false);
    OutputFile out;
    if (!out.Open(args.Value("-o"))) return 1;
    std::string error;
    const PngWriter::Sink sink = [&](std::span<const uint8_t> b, std::string& e) {
        return out.Append(b, e);
    };
    if (!PngWriter::Encode(surface, zoom, sink, error)) return Output::Fail(error);
    return out.Close() ? 0 : 1;
}

int PageCommands::ExportPage(const CommandLine& args) {
    const std::string out = args.Value("-o");
    if (!Output::CheckName(out)) return 1;
    ToolMessenger messenger(args);
    CLedDoc doc;
    if (!LoadPage(args.Positional()[0], doc, messenger)) return 1;
    if (out == "-") {
        CByteArray bytes;
        doc.EncodeDirect(bytes, DownloadSettings{});
        return Output::WriteBytes(out, bytes) ? 0 : 1;
    }
    return doc.ExportBinary(
               [&](std::string& name) {
                   name = out;
                   return Output::NotAnInput(CLedDoc::BinaryName(out));
               },
               DownloadSettings{})
               ? 0
               : 1;
}
