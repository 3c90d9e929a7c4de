// lcdtool: everything the editor computes, without a window.

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "CommandLine.h"
#include "Output.h"
#include "PageCommands.h"

namespace {

const char kUsage[] =
    "usage: lcdtool COMMAND ...\n"
    "  info PAGE.pg                          print the page's instruction tree\n"
    "  encode PAGE.pg -o OUT                 write the direct drawing stream (- for stdout)\n"
    "  resave IN.pg OUT.pg                   load a page and save it again\n"
    "  render PAGE.pg -o OUT.png [--zoom N]  draw the page as the canvas shows it\n";

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 1 : 0;
    }
    const std::string command = argv[1];
    const CommandLine args(argc, argv, 2);
    if (!args.Error().empty()) {
        Output::Fail(args.Error());
        return 1;
    }
    if (command == "info") return PageCommands::Info(args);
    if (command == "encode") return PageCommands::Encode(args);
    if (command == "resave") return PageCommands::Resave(args);
    if (command == "render") return PageCommands::Render(args);
    return Output::Fail("未知的命令 " + command + "（lcdtool --help 列出全部命令）");
}
