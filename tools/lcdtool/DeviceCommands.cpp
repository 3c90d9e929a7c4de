#include "DeviceCommands.h"

#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "Output.h"
#include "base/Messenger.h"
#include "project/DeviceCatalogue.h"

namespace {

const char kUsage[] =
    "lcdtool devices list | add NAME --size WxH --mm WxH --colours N [--bitmaps] | remove NAME";

// The catalogue's messenger: gathers what it tells, so that a failed command prints one
// line.
class Collector final : public Messenger {
public:
    void Tell(const std::string& text, const std::string&) override {
        m_text += m_text.empty() ? text : "；" + text;
    }
    Answer Ask(const std::string& text, const std::string& caption, Buttons) override {
        Tell(text, caption);
        return Answer::No;
    }
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
};

template <class T>
bool ParseNumber(std::string_view text, T& out) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && !text.empty();
}

// "WxH" (also "W*H"), each side a number of type T.
template <class T>
bool ParsePair(const std::string& text, T& a, T& b) {
    const size_t x = text.find_first_of("xX*");
    if (x == std::string::npos) return false;
    const std::string_view all(text);
    return ParseNumber(all.substr(0, x), a) && ParseNumber(all.substr(x + 1), b);
}

std::string Number(double v) {
    char buf[32];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? std::string(buf, ptr) : "?";
}

// The options a subcommand takes; anything else is refused rather than ignored.
bool OnlyOptions(int argc, char** argv, const std::vector<std::string>& allowed) {
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.size() < 2 || arg[0] != '-') continue;
        bool known = false;
        for (const std::string& a : allowed)
            known = known || a == arg;
        if (!known) {
            Output::Fail("devices 不认识选项 " + arg + "（用法：" + kUsage + "）");
            return false;
        }
        if (arg != "--bitmaps") ++i;  // skip its value
    }
    return true;
}

// The one line of a catalogue that could not be loaded or changed. The damage message names
// the file itself; `undone` says what the command did not do.
int Failed(const DeviceCatalogue& catalogue, const Collector& told, const std::string& undone) {
    if (catalogue.IsDamaged()) return Output::Fail(told.Text() + undone);
    return Output::Fail(catalogue.Path() + "：" + told.Text());
}

int List(DeviceCatalogue& catalogue, const Collector& told) {
    if (!catalogue.Load()) return Failed(catalogue, told, "");
    for (int i = 0; i < catalogue.GetCount(); ++i) {
        CDeviceObj d;
        catalogue.GetAt(i, d);
        std::printf("%s\t%dx%d\t%sx%s\t%d\t%s\n", d.m_strName.c_str(), d.m_nLogWidth,
                    d.m_nLogHeight, Number(d.m_dPhysWidth).c_str(), Number(d.m_dPhysHeight).c_str(),
                    d.m_nColours, DeviceCatalogue::BitmapSupportText(d.m_nBitmapSupport).c_str());
    }
    return std::fflush(stdout) == 0 ? 0 : Output::Fail("写标准输出失败");
}

int Add(DeviceCatalogue& catalogue, const Collector& told, const CommandLine& args) {
    if (args.Positional().size() != 2 || !args.Has("--size") || !args.Has("--mm") ||
        !args.Has("--colours")) {
        return Output::Usage(kUsage);
    }
    CDeviceObj d;
    d.m_strName = args.Positional()[1];
    if (!ParsePair(args.Value("--size"), d.m_nLogWidth, d.m_nLogHeight)) {
        return Output::Fail("--size 应为 宽x高 的点数，例如 320x240");
    }
    if (!ParsePair(args.Value("--mm"), d.m_dPhysWidth, d.m_dPhysHeight)) {
        return Output::Fail("--mm 应为 宽x高 的毫米数，例如 102.5x75.5");
    }
    if (!ParseNumber(args.Value("--colours"), d.m_nColours)) {
        return Output::Fail("--colours 应为 8、16、64 或 256");
    }
    d.m_nBitmapSupport = args.Has("--bitmaps") ? 1 : 0;
    // Refuse bad fields before the catalogue file is opened (and maybe created).
    const std::string refusal = DeviceCatalogue::CheckDevice(d);
    if (!refusal.empty()) return Output::Fail(refusal);

    if (!catalogue.Load() || !catalogue.AddDevice(d))
        return Failed(catalogue, told, "（未添加设备）");
    return 0;
}

int Remove(DeviceCatalogue& catalogue, const Collector& told, const CommandLine& args) {
    if (args.Positional().size() != 2) return Output::Usage(kUsage);
    const std::string& name = args.Positional()[1];
    if (!catalogue.Load()) return Failed(catalogue, told, "（未删除设备）");
    if (catalogue.Find(name) < 0) return Output::Fail("设备表中没有名为“" + name + "”的设备");
    return catalogue.Remove(name) ? 0 : Failed(catalogue, told, "");
}

}  // namespace

int DeviceCommands::Run(int argc, char** argv) {
    const CommandLine args(argc, argv, 2, {"--bitmaps"});
    if (!args.Error().empty()) return Output::Fail(args.Error());
    const std::vector<std::string>& words = args.Positional();
    const std::string sub = words.empty() ? "" : words[0];
    Collector told;
    DeviceCatalogue catalogue(told);
    if (sub == "list") {
        if (words.size() != 1) return Output::Usage(kUsage);
        if (!OnlyOptions(argc, argv, {})) return 1;
        return List(catalogue, told);
    }
    if (sub == "add") {
        if (!OnlyOptions(argc, argv, {"--size", "--mm", "--colours", "--bitmaps"})) return 1;
        return Add(catalogue, told, args);
    }
    if (sub == "remove") {
        if (!OnlyOptions(argc, argv, {})) return 1;
        return Remove(catalogue, told, args);
    }
    return Output::Usage(kUsage);
}
