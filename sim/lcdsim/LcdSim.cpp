#include "LcdSim.h"

#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <optional>

#include "ModuleServer.h"
#include "base/AtomicFile.h"
#include "base/Messenger.h"
#include "base/StringFormat.h"
#include "core/DisplayModule.h"
#include "core/ModuleFonts.h"
#include "gfx/PngWriter.h"
#include "project/DeviceCatalogue.h"

namespace {

constexpr int kMaxFrames = 10000;
constexpr double kMaxPlay = 3600;

std::atomic<bool> g_stop{false};

void OnSignal(int) {
    g_stop = true;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "lcdsim: %s\n", message.c_str());
    return 1;
}

// What the program shows of the module: the log on stdout, warnings on stderr, frames
// into a folder.
class Reporter final : public ModuleListener {
public:
    bool log = false;
    std::string source;  // the file being run, for warnings
    std::string framesDir;
    std::string error;  // the first frame that could not be written

    void OnCommand(const ModuleEvent& e) override {
        if (log) std::printf("%s\n", e.Format().c_str());
    }
    void OnWarning(const ModuleEvent& e) override {
        std::fprintf(stderr, "lcdsim: %s%s\n", source.empty() ? "" : (source + ": ").c_str(),
                     e.Format().c_str());
    }
    void OnReport(const std::string& text) override {
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    }
    void OnFrame(const Surface& screen, int page) override {
        if (log) std::printf("-- %s\n", page < 0 ? "画面" : StringFormat("页面 %d", page).c_str());
        if (framesDir.empty() || !error.empty()) return;
        if (++m_frames > kMaxFrames) {
            if (m_frames == kMaxFrames + 1)
                std::fprintf(stderr, "lcdsim: 已写出 %d 帧，之后的帧不再写出\n", kMaxFrames);
            return;
        }
        const std::string path = StringFormat("%s/frame-%05d.png", framesDir.c_str(), m_frames);
        PngWriter::Write(screen, path, 1, error);
    }

private:
    int m_frames = 0;
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
        int w = 0, h = 0;
        char x = 0, rest = 0;
        if (s.size.empty() || !s.colours ||
            std::sscanf(s.size.c_str(), "%d%c%d%c", &w, &x, &h, &rest) != 3 ||
            (x != 'x' && x != 'X'))
            return "--size WxH 与 --colours N 须一起给出";
        config.width = w, config.height = h, config.colours = s.colours;
    }
    return config.Check();
}

bool MakeFramesDir(const std::string& dir) {
    if (dir.empty()) return true;
    struct stat st {};
    if (stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    return ::mkdir(dir.c_str(), 0777) == 0;
}

int WriteScreen(const DisplayModule& module, const Settings& s) {
    std::string error;
    if (!PngWriter::Write(module.Screen(), s.output, 1, error)) return Fail(error);
    return 0;
}

// The flash as `serve --flash` keeps it; 0 or the failure's status.
int WriteFlash(const DisplayModule& module, const std::string& path) {
    CByteArray flash;
    std::string error;
    module.SaveFlash(flash);
    return path.empty() || AtomicFile::Write(path, flash, error) ? 0 : Fail(error);
}

int Run(const Settings& s, ModuleConfig config, Reporter& reporter) {
    if (!(s.play >= 0 && s.play <= kMaxPlay)) return Fail("--play 须在 0 到 3600 秒之间");
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
        std::printf("传输结束：%lld 字节\n", static_cast<long long>(bytes));
    };
    if (options.pty == options.can) return Fail("serve 须给出 --pty 或 --can-udp ADDR:PORT 之一");
    if (options.can &&
        !ModuleServer::ParseAddress(s.canAddress, options.udpAddress, options.udpPort))
        return Fail("--can-udp 须为 IPv4地址:端口，不是 " + s.canAddress);
    if (!MakeFramesDir(s.framesDir)) return Fail("无法建立文件夹 " + s.framesDir);
    // Whoever watches a server sees each line as it happens.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
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
    if (options.pty) std::printf("pty %s\n", server.PtyPath().c_str());
    if (options.can) std::printf("udp %u\n", server.UdpPort());
    std::fflush(stdout);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    server.Run(g_stop);
    int status = WriteScreen(module, s);
    if (WriteFlash(module, s.flashFile)) status = 1;
    if (!reporter.error.empty()) status = Fail(reporter.error);
    return status;
}

}  // namespace

int LcdSimMain(int argc, char** argv) {
    Settings s;
    CLI::App app{"lcdsim: a virtual display module that executes the module byte stream"};
    app.require_subcommand(1);
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
        return Fail(e.what());
    }
    ModuleConfig config;
    const std::string bad = BuildConfig(s, config);
    if (!bad.empty()) return Fail(bad);
    const std::string fonts = ModuleFonts::Use(config);
    if (!fonts.empty()) std::fprintf(stderr, "lcdsim: %s\n", fonts.c_str());
    Reporter reporter;
    reporter.log = s.log;
    reporter.framesDir = s.framesDir;
    return run->parsed() ? Run(s, config, reporter) : Serve(s, config, reporter);
}
