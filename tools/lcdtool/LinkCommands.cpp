#include "LinkCommands.h"

#include <string_view>

#include "CommandLine.h"
#include "Output.h"
#include "SendCommands.h"
#include "ToolMessenger.h"
#include "base/AtomicFile.h"
#include "base/Messenger.h"
#include "base/StringFormat.h"
#include "link/CommandBuilder.h"
#include "link/DownloadFile.h"
#include "link/FirmwareBuilder.h"
#include "link/FontBuilder.h"
#include "link/HexConverter.h"
#include "project/CLedDoc.h"

namespace {

using CB = CommandBuilder;

// Names the input file in front of every message the builders tell, then hands it on to
// the command's messenger.
class AboutInput final : public Messenger {
public:
    AboutInput(std::string path, Messenger& outer) : m_path(std::move(path)), m_outer(outer) {}
    AboutInput(const AboutInput&) = delete;
    AboutInput& operator=(const AboutInput&) = delete;

    void Tell(const std::string& text, const std::string& caption) override {
        m_outer.Tell(m_path + "：" + text, caption);
    }
    Answer Ask(const std::string& text, const std::string& caption, Buttons buttons) override {
        return m_outer.Ask(text, caption, buttons);
    }

private:
    std::string m_path;
    Messenger& m_outer;
};

const char* ModeName(int mode) {
    return mode == CB::ModeChecksum ? "checksum" : mode == CB::ModeLong ? "long" : "short";
}

// Bytes per flash page of the local-bitmap area by board type.
constexpr int kBoardPageSize[] = {512, 512, 2048, 256};
// The board whose pixels always go out as 16-bit colour.
constexpr int kBoard16BitPixels = 1;
constexpr int kMaxSide = 8192;
constexpr int kPageArea = 256;
// The longest flash image read: the page area, the 32 MB local-bitmap area and 63
// full-screen pictures of an 800 x 600 16-bit module fit with room to spare.
constexpr uint64_t kMaxImageBytes = uint64_t{128} << 20;

bool ReadInput(const std::string& path, CByteArray& bytes, uint64_t limit) {
    std::string reason;
    switch (DownloadFile::Read(path, bytes, limit, &reason)) {
        case DownloadFile::TooLarge:
            Output::Fail(path + "：文件过大（最多 " + AtomicFile::SizeText(limit) + "）");
            return false;
        case DownloadFile::CannotOpen:
            Output::Fail(path + "：打开文件失败（" + reason + "）");
            return false;
        case DownloadFile::ShortRead:
            Output::Fail(path + "：文件未读取完毕（" + reason + "）");
            return false;
        case DownloadFile::Ok:
            break;
    }
    return true;
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find_first_of("xX*");
    if (x == std::string::npos) return false;
    return ParseDecimal(std::string_view(text).substr(0, x), 1, kMaxSide, width) &&
           ParseDecimal(std::string_view(text).substr(x + 1), 1, kMaxSide, height);
}

// -o, --send or both; false after saying so.
bool HasTarget(const CommandLine& args) {
    if (args.Has("-o") || args.Has("--send")) return true;
    Output::Fail(std::string(args.Spec().name) + " 须给出 -o OUT 或 --send（用法：" +
                 CommandLine::Synopsis(args.Spec()) + "）");
    return false;
}

// Writes the bytes to -o, then sends them with --send: as a download with progress, or as
// an immediate command.
int Deliver(const CommandLine& args, CByteArray bytes, bool immediate = false) {
    if (args.Has("-o") && !Output::WriteBytes(args.Value("-o"), bytes)) return 1;
    if (!args.Has("--send")) return 0;
    return immediate ? SendCommands::Immediate(args, bytes)
                     : SendCommands::Transfer(args, std::move(bytes));
}

}  // namespace

bool LinkCommands::ModeOption(const CommandLine& args, const std::string& name, int& mode) {
    const std::string value = args.Value(name, "short");
    if (value == "short") {
        mode = CB::ModeShort;
    } else if (value == "checksum") {
        mode = CB::ModeChecksum;
    } else if (value == "long") {
        mode = CB::ModeLong;
    } else {
        Output::Fail(name + " 须为 short、checksum 或 long，不是 " + value);
        return false;
    }
    return true;
}

bool LinkCommands::PageRecord(const CommandLine& args, CLedDoc& doc, CByteArray& bytes) {
    int mode = 0;
    int start = 0;
    if (!ModeOption(args, "--mode", mode)) return false;
    if (!args.IntValue("--start", doc.m_nStartPage, 0, kPageArea - 1, start)) {
        Output::Fail("--start 须为 0 到 255 的整数");
        return false;
    }
    doc.m_nStartPage = start;
    const int pages = doc.ComputePageCount();
    // The head's page count is one byte and the page area holds 256 pages.
    if (pages > kPageArea - 1 || start + pages > kPageArea) {
        Output::Fail(StringFormat("%s：页面需要 %d 个闪存页，从第 %d 页起超出页面区",
                                  args.Positional()[0].c_str(), pages, start));
        return false;
    }
    if (doc.m_strTitle.empty()) {
        const std::string& path = args.Positional()[0];
        doc.m_strTitle = path.substr(path.find_last_of('/') + 1);
    }
    doc.EncodeRecord(bytes, mode);
    return true;
}

int LinkCommands::Firmware(const CommandLine& args) {
    if (!HasTarget(args)) return 1;
    // A wrong program can leave the module unable to start: the upgrade is asked for.
    if (args.Has("--send") && !args.Has("--yes"))
        return Output::Fail("是否要升级CPU程序？升级须加 --yes 确认");
    const std::string& path = args.Positional()[0];
    CByteArray bytes;
    ToolMessenger messenger(args);
    AboutInput about(path, messenger);
    if (!FirmwareBuilder::Build(path, bytes, about)) return 1;
    return Deliver(args, std::move(bytes));
}

int LinkCommands::HexToBin(const CommandLine& args) {
    const std::string& path = args.Positional()[0];
    CByteArray text;
    if (!ReadInput(path, text, HexConverter::kMaxTextBytes)) return 1;
    CByteArray image;
    ToolMessenger messenger(args);
    AboutInput about(path, messenger);
    const int length = HexConverter::Convert(
        std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), image, about);
    if (length == 0) return 1;
    image.resize(static_cast<size_t>(length));
    return Output::WriteBytes(args.Value("-o"), image) ? 0 : 1;
}

int LinkCommands::Font(const CommandLine& args) {
    if (!HasTarget(args)) return 1;
    if (args.Has("--standard") == args.Has("--custom"))
        return Output::Fail("font 须给出 --standard 或 --custom KIND 之一");
    int mode = 0;
    if (!ModeOption(args, "--mode", mode)) return 1;
    int kind = 0;
    if (args.Has("--custom") && !ParseDecimal(args.Value("--custom"), -1000, 1000, kind))
        return Output::Fail("--custom 须为 0 到 9 的字库种类");
    const std::string& path = args.Positional()[0];
    CByteArray bytes;
    ToolMessenger messenger(args);
    AboutInput about(path, messenger);
    const bool built = args.Has("--standard")
                           ? FontBuilder::BuildStandard(path, mode, bytes, about)
                           : FontBuilder::BuildCustom(path, kind, mode, bytes, about);
    if (!built) return 1;
    return Deliver(args, std::move(bytes));
}

int LinkCommands::Crc(const CommandLine& args) {
    int mode = 0, board = 0, width = 320, height = 234, colours = 8;
    if (!ModeOption(args, "--mode", mode)) return 1;
    if (!args.IntValue("--board", 0, 0, 3, board)) return Output::Fail("--board 须为 0 到 3");
    if (args.Has("--size") && !ParseSize(args.Value("--size"), width, height))
        return Output::Fail(StringFormat("--size 须为 宽x高，各在 1 到 %d 之间", kMaxSide));
    if (!args.IntValue("--colours", 8, 8, 256, colours) ||
        (colours != 8 && colours != 14 && colours != 16 && colours != 64 && colours != 256))
        return Output::Fail("--colours 须为 8、14、16、64 或 256");
    const std::string& path = args.Positional()[0];
    CByteArray image;
    if (!ReadInput(path, image, kMaxImageBytes)) return 1;
    CByteArray table;
    bool truncated = false;
    const int entries = CB::CrcTable(
        table, mode, image, kBoardPageSize[board],
        CB::FullScreenBytes(width, height, colours, board == kBoard16BitPixels), &truncated);
    if (entries < 0) return Output::Fail(path + "：校验表超过 65535 字节，无法发送");
    // An image with a table already appended ends in what looks like a cut record.
    if (truncated) Output::Warn(path + "：最后一个记录不完整，未列入校验表");
    return Output::WriteBytes(args.Value("-o"), table) ? 0 : 1;
}

int LinkCommands::Command(const CommandLine& args) {
    if (!HasTarget(args)) return 1;
    const auto& words = args.Positional();
    int mode = 0, previous = 0;
    if (!ModeOption(args, "--mode", mode) || !ModeOption(args, "--prev-mode", previous)) return 1;
    const std::string name = args.Word();

    CByteArray bytes;
    if (name == "show-page") {
        int page = 0;
        if (!ParseDecimal(words[0], 0, 255, page)) return Output::Fail("页面的起始页须为 0 到 255");
        CB::ShowPage(bytes, mode, static_cast<uint8_t>(page));
    } else if (name == "option") {
        int option = 0, value = 0;
        if (!ParseDecimal(words[0], 0, 2, option)) return Output::Fail("选项须为 0、1 或 2");
        if (!ParseDecimal(words[1], 0, 1, value)) return Output::Fail("选项的值须为 0 或 1");
        if (option == 0) {
            // Option 00 announces the new mode: its value follows from --mode.
            const int announced = mode == CB::ModeShort ? 0 : 1;
            if (value != announced)
                return Output::Fail(
                    StringFormat("选项 0 的值须为 %d（--mode %s）", announced, ModeName(mode)));
            CB::ModeOption(bytes, previous, mode);
        } else {
            if (args.Has("--prev-mode")) return Output::Fail("--prev-mode 只用于 option 0");
            CB::Option(bytes, mode, static_cast<uint8_t>(option), static_cast<uint8_t>(value));
        }
    } else if (name == "page-size") {
        // Option 02 again, but as the local-bitmap page size it always goes out short.
        if (words[0] != "256" && words[0] != "512")
            return Output::Fail("局部位图每页的字节数须为 256 或 512");
        CB::PageSizeOption(bytes, words[0] == "512");
    } else if (name == "baud") {
        int index = 0;
        if (!ParseDecimal(words[0], 0, 4, index))
            return Output::Fail("波特率序号须为 0 到 4（4800、9600、19200、38400、115200）");
        CB::Baud(bytes, mode, static_cast<uint8_t>(index));
    } else if (name == "start-check") {
        CB::StartCheck(bytes, mode);
    } else if (name == "version") {
        CB::ReadVersion(bytes);
    } else {
        CB::ReadConfiguration(bytes);
    }
    return Deliver(args, std::move(bytes), true);
}
