#include "LcdSim.h"

#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>

#include "ModuleServer.h"
#include "base/AtomicFile.h"
#include "base/Messages.h"
#include "base/Messenger.h"
#include "base/StringFormat.h"
#include "core/DisplayModule.h"
#include "core/ModuleFonts.h"
#include "gfx/PngWriter.h"
#include "project/DeviceCatalogue.h"

namespace {

constexpr double kMaxPlay = 3600;

std::atomic<bool> g_stop{false};
// Where the log, the reports and the server's lines go: standard output, unless the
// screen goes there (-o -).
std::FILE* g_text = stdout;

void OnSignal(int) {
    g_stop = true;
}

// A line for the person, in the locale's language.
void Say(std::FILE* to, const std::string& line) {
    std::fprintf(to, "%s\n", Messages::Tr(line).c_str());
}

int Fail(const std::string& message) {
    Say(stderr, "lcdsim: " + message);
    return 1;
}

std::string OntoInput(const std::string& output, const char* option,
                      const std::vector<std::string>& inputs);

// What the program shows of the module: the log on stdout, warnings on stderr, frames
// into a folder.
class Reporter final : public ModuleListener {
public:
    bool log = false;
    std::string source;  // the file being run, for warnings
    std::string framesDir;
    std::vector<std::string> inputs;  // files no frame may replace
    std::string error;                // the first frame that could not be written

    void OnCommand(const ModuleEvent& e) override {
        if (log) Say(g_text, e.Format());
    }
    void OnWarning(const ModuleEvent& e) override {
        // A stream of thousands of faulty commands would otherwise fill the terminal.
        if (++m_warnings > kMaxWarnings) {
            if (m_warnings == kMaxWarnings + 1)
                Say(stderr, StringFormat("lcdsim: 已有 %d 条警告，之后的不再显示", kMaxWarnings));
            return;
        }
        // The file's name is the person's: only the warning is translated.
        std::fprintf(stderr, "lcdsim: %s%s\n", source.empty() ? "" : (source + ": ").c_str(),
                     Messages::Tr(e.Format()).c_str());
    }
    void OnReport(const std::string& text) override {
        Say(g_text, text);
        std::fflush(g_text);
    }
    void OnFrame(const Surface& screen, int page) override {
        if (log) Say(g_text, page < 0 ? "-- 画面" : StringFormat("-- 页面 %d", page));
        if (framesDir.empty() || !error.empty() || m_budget.Spent()) return;
        if (!m_budget.Take(int64_t{screen.Width()} * screen.Height())) {
            Say(stderr, StringFormat("lcdsim: 已写出 %d 帧（%.1f MB），达到帧输出的上限（10000 "
                                     "帧、512M 像素、128 MB），之后的帧不再写出",
                                     m_frames, static_cast<double>(m_bytes) / (1 << 20)));
            return;
        }
        const std::string path = StringFormat("%s/frame-%05d.png", framesDir.c_str(), ++m_frames);
        if (error = OntoInput(path, "--frames", inputs); !error.empty()) return;
        CByteArray png;
        const PngWriter::Sink sink = [&](std::span<const uint8_t> b, std::string&) {
            png.insert(png.end(), b.begin(), b.end());
            return true;
        };
        // Quick to encode: a screen of noise takes 0.2 s instead of 3.
        if (PngWriter::Encode(screen, 1, sink, error, true)) AtomicFile::Write(path, png, error);
        m_bytes += static_cast<int64_t>(png.size());
        m_budget.Wrote(static_cast<int64_t>(png.size()));
    }

private:
    static constexpr int kMaxWarnings = 100;
    int m_warnings = 0;
    FrameBudget m_budget;
    int m_frames = 0;
    int64_t m_bytes = 0;
};

struct Settings {
    std::string device, size, mode = "auto", output, framesDir, flashFile, canAddress;
    int colours = 0, board = 0;
    bool log = false, pty = false;
    double play = 0;
    std::vector<std::string> streams;
};

void AddScreenOptions(CLI::App* app, Settings& s) {
    auto* device = app->add_option("--device", s.device, "module type of the device catalogue");
    app->add_option("--size", s.size, "screen size WxH")->excludes(device);
    app->add_option("--colours", s.colours, "colour count")
        ->check(CLI::IsMember({8, 16, 64, 256}))
        ->excludes(device);
    app->add_option("--mode", s.mode, "framing of command heads")
        ->check(CLI::IsMember({"auto", "short", "checksum", "long"}));
    app->add_option("--board", s.board, "board type")->check(CLI::Range(0, 3));
    app->add_option("-o", s.output, "the last screen as PNG")->required();
    app->add_option("--frames", s.framesDir, "write every shown frame into this folder");
    app->add_flag("--log", s.log, "one line per command");
}

// The module's screen and board from the options; "" or why not.
std::string BuildConfig(const Settings& s, ModuleConfig& config) {
    config.board = s.board;
    ModuleConfig::ParseFraming(s.mode, config.framing);
    if (!s.device.empty()) {
        DeviceCatalogue catalogue(Messenger::Stderr());
        catalogue.Load(false);
        ScreenParams screen;
        int32_t bitmaps = 0;
        if (!catalogue.Lookup(s.device, screen, bitmaps))
            return "设备目录中没有 " + s.device + "（lcdtool devices list 列出全部）";
        config.width = screen.logWidth;
        config.height = screen.logHeight;
        config.colours = screen.colours;
    } else if (!s.size.empty() || s.colours) {
        if (s.size.empty() || !s.colours) return "--size WxH 与 --colours N 须一起给出";
        // Whole decimal sides, so that "320x" or a side past any int is no size at all.
        const size_t x = s.size.find_first_of("xX");
        const auto side = [&](size_t from, size_t to, int& out) {
            const char* end = s.size.data() + to;
            const auto [p, ec] = std::from_chars(s.size.data() + from, end, out);
            return to > from && ec == std::errc() && p == end && out >= 1 &&
                   out <= ModuleConfig::kMaxSide;
        };
        if (x == std::string::npos || !side(0, x, config.width) ||
            !side(x + 1, s.size.size(), config.height))
            return StringFormat("--size 须写成 宽x高，各为 1 到 %d 的整数，不是“%s”",
                                ModuleConfig::kMaxSide, s.size.c_str());
        config.colours = s.colours;
    }
    return config.Check();
}

// An output that is one of the inputs would destroy it: "" or the refusal.
std::string OntoInput(const std::string& output, const char* option,
                      const std::vector<std::string>& inputs) {
    for (const std::string& input : inputs)
        if (output != "-" && AtomicFile::SameFile(output, input))
            return std::string(option) + " " + output +
                   (output == input ? " 是输入文件本身"
                                    : " 与输入文件 " + input + " 是同一个文件") +
                   "，写入会毁掉它；请换一个输出文件";
    return "";
}

bool MakeFramesDir(const std::string& dir) {
    if (dir.empty()) return true;
    struct stat st {};
    if (stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    return ::mkdir(dir.c_str(), 0777) == 0;
}

int WriteScreen(const DisplayModule& module, const Settings& s) {
    std::string error;
    if (s.output != "-")
        return PngWriter::Write(module.Screen(), s.output, 1, error) ? 0 : Fail(error);
    const PngWriter::Sink sink = [](std::span<const uint8_t> b, std::string& e) {
        if (std::fwrite(b.data(), 1, b.size(), stdout) == b.size()) return true;
        e = std::string("写标准输出失败：") + std::strerror(errno);
        return false;
    };
    if (!PngWriter::Encode(module.Screen(), 1, sink, error)) return Fail(error);
    return std::fflush(stdout) == 0 ? 0
                                    : Fail(std::string("写标准输出失败：") + std::strerror(errno));
}

// The flash as `serve --flash` keeps it, written record by record; 0 or the failure's
// status. Nothing is made without --flash.
int WriteFlash(const DisplayModule& module, const std::string& path) {
    if (path.empty()) return 0;
    AtomicFile::Writer file;
    std::string error;
    bool ok = file.Open(path, error);
    module.SaveFlash([&](std::span<const uint8_t> piece) { ok = ok && file.Append(piece, error); });
    return ok && file.Commit(error) ? 0 : Fail(error);
}

int Run(const Settings& s, ModuleConfig config, Reporter& reporter) {
    if (!(s.play >= 0 && s.play <= kMaxPlay)) return Fail("--play 须在 0 到 3600 秒之间");
    for (const auto& [output, option] : {std::pair{s.output, "-o"}, {s.flashFile, "--flash"}})
        if (const std::string why = OntoInput(output, option, s.streams); !why.empty())
            return Fail(why);
    std::vector<std::vector<uint8_t>> inputs(s.streams.size());
    for (size_t i = 0; i < s.streams.size(); ++i) {
        std::string error;
        if (!AtomicFile::Read(s.streams[i], inputs[i], error)) return Fail(error);
    }
    if (!MakeFramesDir(s.framesDir)) return Fail("无法建立文件夹 " + s.framesDir);
    DisplayModule module(config);
    module.SetListener(&reporter);
    for (size_t i = 0; i < inputs.size(); ++i) {
        reporter.source = s.streams[i];
        module.Execute(inputs[i]);
    }
    reporter.source.clear();
    module.Advance(s.play);
    if (!reporter.error.empty()) return Fail(reporter.error);
    const int status = WriteScreen(module, s);
    return status ? status : WriteFlash(module, s.flashFile);
}

int Serve(const Settings& s, ModuleConfig config, Reporter& reporter) {
    ModuleServer::Options options;
    options.pty = s.pty;
    options.can = !s.canAddress.empty();
    options.onTransferEnd = [](int64_t bytes) {
        Say(g_text, StringFormat("传输结束：%lld 字节", static_cast<long long>(bytes)));
    };
    if (options.pty == options.can) return Fail("serve 须给出 --pty 或 --can-udp ADDR:PORT 之一");
    // The flash file is read at the start: the screen may not be written over it.
    if (const std::string why = OntoInput(s.output, "-o", {s.flashFile}); !why.empty())
        return Fail(why);
    if (options.can &&
        !ModuleServer::ParseAddress(s.canAddress, options.udpAddress, options.udpPort))
        return Fail("--can-udp 须为 IPv4地址:端口，不是 " + s.canAddress);
    if (!MakeFramesDir(s.framesDir)) return Fail("无法建立文件夹 " + s.framesDir);
    // Whoever watches a server sees each line as it happens.
    std::setvbuf(g_text, nullptr, _IOLBF, 0);
    DisplayModule module(config);
    module.SetListener(&reporter);
    if (!s.flashFile.empty()) {
        std::vector<uint8_t> saved;
        std::string error;
        struct stat st {};
        if (stat(s.flashFile.c_str(), &st) == 0) {
            if (!AtomicFile::Read(s.flashFile, saved, error) || !module.RestoreFlash(saved, error))
                return Fail(s.flashFile + "：" + error);
        }
    }
    ModuleServer server(module);
    std::string error;
    if (!server.Open(options, error)) return Fail(error);
    if (options.pty) std::fprintf(g_text, "pty %s\n", server.PtyPath().c_str());
    if (options.can) std::fprintf(g_text, "udp %u\n", server.UdpPort());
    std::fflush(g_text);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    server.Run(g_stop);
    int status = WriteScreen(module, s);
    if (WriteFlash(module, s.flashFile)) status = 1;
    if (!reporter.error.empty()) status = Fail(reporter.error);
    return status;
}

}  // namespace

bool FrameBudget::Take(int64_t pixels) {
    m_spent = m_spent || m_frames <= 0 || pixels > m_pixels || m_bytes <= 0;
    if (m_spent) return false;
    --m_frames;
    m_pixels -= pixels;
    return true;
}

int LcdSimMain(int argc, char** argv) {
    Settings s;
    CLI::App app{"lcdsim: a virtual display module that executes the module byte stream"};
    app.require_subcommand(1);
    // An option given twice is refused, not taken at its last value.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    auto* run = app.add_subcommand(
        "run", "execute stream files in order (a flash image, then commands...)");
    run->add_option("STREAM", s.streams, "files of module bytes")->required();
    run->add_option("--play", s.play, "let the slideshow run this many seconds of virtual time");
    run->add_option("--flash", s.flashFile, "write the flash after the run to this file");
    AddScreenOptions(run, s);
    auto* serve = app.add_subcommand("serve", "execute what arrives over a link until SIGINT");
    auto* pty = serve->add_flag("--pty", s.pty, "a pseudo-terminal plays the serial port");
    serve->add_option("--can-udp", s.canAddress, "play the CAN adapter on ADDR:PORT")
        ->excludes(pty);
    serve->add_option("--flash", s.flashFile, "keep the flash in this file across runs");
    AddScreenOptions(serve, s);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        const std::string what = e.what(), name = what.substr(0, what.find(':'));
        if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) &&
            what.find("received") != std::string::npos)
            return Fail("选项 " + name + " 只能给一次");
        // A value out of its set, or past what a number holds, is refused, never wrapped.
        for (const auto& [option, allowed] : {std::pair{"--colours", "8、16、64 或 256"},
                                              {"--board", "0 到 3 的整数"},
                                              {"--mode", "auto、short、checksum 或 long"},
                                              {"--play", "0 到 3600 的秒数"}})
            if (name == option) return Fail(name + " 须为 " + allowed + "：" + what);
        return Fail("命令行有误：" + what);
    }
    for (const CLI::App* command : app.get_subcommands())
        for (const CLI::Option* o : command->get_options())
            if (o->get_expected_max() <= 1 && o->count() > 1)
                return Fail("选项 " + o->get_name() + " 只能给一次");
    if (s.output == "-") g_text = stderr;
    ModuleConfig config;
    const std::string bad = BuildConfig(s, config);
    if (!bad.empty()) return Fail(bad);
    const std::string fonts = ModuleFonts::Use(config);
    if (!fonts.empty()) Say(stderr, "lcdsim: " + fonts);
    Reporter reporter;
    reporter.log = s.log;
    reporter.framesDir = s.framesDir;
    reporter.inputs = s.streams;
    reporter.inputs.push_back(s.flashFile);
    return run->parsed() ? Run(s, config, reporter) : Serve(s, config, reporter);
}
