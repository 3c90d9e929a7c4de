// lcdtool: everything the editor computes, without a window.

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "DeviceCommands.h"
#include "ImageCommands.h"
#include "LinkCommands.h"
#include "Output.h"
#include "PageCommands.h"
#include "ProjectCommands.h"
#include "WorkspaceCommands.h"

namespace {

const char kUsage[] =
    "usage: lcdtool COMMAND ...\n"
    "  info PAGE.pg                          print the page's instruction tree\n"
    "  encode PAGE.pg -o OUT                 write the direct drawing stream (- for stdout)\n"
    "  resave IN.pg OUT.pg                   load a page and save it again\n"
    "  render PAGE.pg -o OUT.png [--zoom N]  draw the page as the canvas shows it\n"
    "  export-page PAGE.pg -o OUT[.bin]      export the direct drawing stream as a .bin file\n"
    "  encode PAGE.pg --record [--start N] [--mode M] -o OUT\n"
    "                                        write the page record of the flash page area\n"
    "  firmware FILE -o OUT                  the firmware download (HEX when the path has .hex)\n"
    "  hex2bin FILE.hex -o OUT.bin           convert Intel HEX to a binary image\n"
    "  font --standard FILE | --custom KIND FILE [--mode M] -o OUT\n"
    "                                        the font download of a font file\n"
    "  crc IMAGE.bin [--mode M] [--board 0..3] [--size WxH --colours N] -o OUT\n"
    "                                        the CRC table command of a flash image\n"
    "  command show-page N | option O V | page-size 256|512 | baud I | start-check |\n"
    "          version | config [--mode M] [--prev-mode M] -o OUT   one immediate command\n"
    "  bmp2c IMAGE --size WxH|orig --colours 8|64|256|16|14 [--control or|and|xor|cover]\n"
    "        [--board 0..3] -o OUT.txt       a picture's pixel bytes as a C array\n"
    "  devices list | add NAME --size WxH --mm WxH --colours N [--bitmaps] | remove NAME\n"
    "                                        the device catalogue of the settings directory\n"
    "  new-project DIR NAME --device NAME    create the project DIR/NAME for a catalogue device\n"
    "  new-page PROJECT.zkp NAME [--device NAME]\n"
    "                                        add a page to a project (--device: the first)\n"
    "  export PROJECT.zkp -o IMAGE.bin [--mode M] [--board 0..3] [--order a.pg,b.pg,...]\n"
    "         [--display cyclic|sequential|independent] [--crc]\n"
    "                                        the project's flash image as the export writes it\n"
    "  layout PROJECT.zkp [--board 0..3] [--block N] [--png OUT.png]\n"
    "                                        every page's and bitmap's flash run and collisions\n"
    "  report bitmaps|backgrounds PROJECT.zkp -o OUT.txt\n"
    "                                        the local or full-screen bitmap report\n"
    "  (M: short, checksum or long; default short)\n";

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 1 : 0;
    }
    const std::string command = argv[1];
    // The device commands read their own options (--bitmaps takes no value).
    if (command == "devices") return DeviceCommands::Run(argc, argv);
    // Options that take no value, of every command.
    std::vector<std::string> flags = LinkCommands::Flags();
    flags.push_back("--yes");
    for (const std::string& f : ProjectCommands::Flags())
        flags.push_back(f);
    const CommandLine args(argc, argv, 2, flags);
    if (!args.Error().empty()) {
        Output::Fail(args.Error());
        return 1;
    }
    if (command == "info") return PageCommands::Info(args);
    if (command == "encode") return PageCommands::Encode(args);
    if (command == "resave") return PageCommands::Resave(args);
    if (command == "render") return PageCommands::Render(args);
    if (command == "export-page") return PageCommands::ExportPage(args);
    if (command == "firmware") return LinkCommands::Firmware(args);
    if (command == "hex2bin") return LinkCommands::HexToBin(args);
    if (command == "font") return LinkCommands::Font(args);
    if (command == "crc") return LinkCommands::Crc(args);
    if (command == "command") return LinkCommands::Command(args);
    if (command == "bmp2c") return ImageCommands::Bmp2c(args);
    if (command == "new-project") return WorkspaceCommands::NewProject(args);
    if (command == "new-page") return WorkspaceCommands::NewPage(args);
    if (command == "export") return ProjectCommands::Export(args);
    if (command == "layout") return ProjectCommands::Layout(args);
    if (command == "report") return ProjectCommands::Report(args);
    return Output::Fail("未知的命令 " + command + "（lcdtool --help 列出全部命令）");
}
