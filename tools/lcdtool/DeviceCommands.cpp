#include "DeviceCommands.h"

#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "Output.h"
#include "base/Messages.h"
#include "base/Messenger.h"
#include "base/StringFormat.h"
#include "project/DeviceCatalogue.h"

namespace {

// Gathers what the catalogue tells, so that a failed command prints one line.
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

// The one line of a catalogue that could not be loaded or changed. The damage message names
// the file itself; `undone` says what the command did not do.
int Failed(const DeviceCatalogue& catalogue, const Collector& told, const std::string& undone) {
    if (catalogue.IsDamaged()) return Output::Fail(told.Text() + undone);
    return Output::Fail(catalogue.Path() + "：" + told.Text());
}

}  // namespace

int DeviceCommands::List(const CommandLine&) {
    Collector told;
    DeviceCatalogue catalogue(told);
    // Listing makes no folder and no file.
    if (!catalogue.Load(false)) return Failed(catalogue, told, "");
    if (catalogue.GetCount() == 0)
        Output::Show(stderr,
                     StringFormat("lcdtool: 设备表 %s 中还没有设备（lcdtool devices add 添加）\n",
                                  Output::OneLine(catalogue.Path()).c_str()));
    for (int i = 0; i < catalogue.GetCount(); ++i) {
        CDeviceObj d;
        catalogue.GetAt(i, d);
        std::printf("%s\t%dx%d\t%sx%s\t%d\t%s\n", Output::Escape(d.m_strName).c_str(),
                    d.m_nLogWidth, d.m_nLogHeight, Number(d.m_dPhysWidth).c_str(),
                    Number(d.m_dPhysHeight).c_str(), d.m_nColours,
                    Messages::Tr(DeviceCatalogue::BitmapSupportText(d.m_nBitmapSupport)).c_str());
    }
    return 0;
}

int DeviceCommands::Add(const CommandLine& args) {
    CDeviceObj d;
    d.m_strName = args.Positional()[0];
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

    Collector told;
    DeviceCatalogue catalogue(told);
    if (!catalogue.Load() || !catalogue.AddDevice(d))
        return Failed(catalogue, told, "（未添加设备）");
    return 0;
}

int DeviceCommands::Remove(const CommandLine& args) {
    const std::string& name = args.Positional()[0];
    Collector told;
    DeviceCatalogue catalogue(told);
    if (!catalogue.Load(false)) return Failed(catalogue, told, "（未删除设备）");
    if (catalogue.Find(name) < 0) return Output::Fail("设备表中没有名为“" + name + "”的设备");
    return catalogue.Remove(name) ? 0 : Failed(catalogue, told, "");
}
