#include "SendCommands.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>

#include "CommandLine.h"
#include "LinkCommands.h"
#include "Output.h"
#include "ProjectCommands.h"
#include "ToolMessenger.h"
#include "base/Messages.h"
#include "base/StringFormat.h"
#include "link/CommandBuilder.h"
#include "link/Download.h"
#include "link/PortList.h"
#include "link/UsbLink.h"
#include "project/CLedDoc.h"
#include "project/DownloadMemory.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBarWidth = 30;
constexpr auto kRedraw = std::chrono::milliseconds(100);
constexpr int kLineStep = 10;  // percent between the lines of a log

// The transfer Ctrl-C (or a SIGTERM or SIGHUP) stops: the link is closed as on any other
// end, so the port is not left exclusive. The handler only stores atomics.
std::atomic<Download*> g_download{nullptr};
std::atomic<bool> g_interrupted{false};
std::atomic<int> g_signal{SIGINT};
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

void OnInterrupt(int signal) {
    g_signal.store(signal);
    g_interrupted.store(true);
    if (Download* d = g_download.load()) d->RequestStop();
}

// The exit status of a stopped transfer, as a shell reports the signal (130 for Ctrl-C).
int Interrupted() {
    return 128 + g_signal.load();
}

// The stop signals stop the transfer instead of ending the program while this lives.
class InterruptGuard {
public:
    InterruptGuard() {
        g_interrupted.store(false);
        struct sigaction sa {};
        sa.sa_handler = OnInterrupt;
        sigemptyset(&sa.sa_mask);
        for (size_t i = 0; i < std::size(kStopSignals); ++i)
            sigaction(kStopSignals[i], &sa, &m_old[i]);
    }
    ~InterruptGuard() {
        g_download.store(nullptr);
        for (size_t i = 0; i < std::size(kStopSignals); ++i)
            sigaction(kStopSignals[i], &m_old[i], nullptr);
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    struct sigaction m_old[std::size(kStopSignals)]{};
};

std::string SizeText(int64_t bytes) {
    if (bytes < 1024) return StringFormat("%lld 字节", static_cast<long long>(bytes));
    if (bytes < 1024 * 1024) return StringFormat("%.1f KB", static_cast<double>(bytes) / 1024);
    return StringFormat("%.2f MB", static_cast<double>(bytes) / (1024 * 1024));
}

// The worker's progress on stderr: a bar redrawn in place on a terminal, a line every
// tenth otherwise, or nothing.
class ProgressBar final : public ProgressSink {
public:
    enum Style { Bar, Lines, Quiet };
    explicit ProgressBar(Style style) : m_style(style) {}

    void OnProgress(int code, int64_t value) override {
        if (code == kProgressTotal) {
            m_total = value;
            m_start = Clock::now();
            Draw(true);
        } else if (code == kProgressSent) {
            // Full CAN frames report the bytes sent, the others the index of the last one.
            m_sent = std::min(value + 1, m_total);
            Draw(m_sent == m_total);
        } else if (code == kProgressDone) {
            // The bar's events stop at its last step; a whole transfer ends at 100 %.
            if (value == static_cast<int64_t>(SendStatus::Done)) {
                m_sent = m_total;
                Draw(true);
            }
            if (m_style == Bar && m_drawn) std::fputs("\n", stderr);
        }
    }
    double Seconds() const { return std::chrono::duration<double>(Clock::now() - m_start).count(); }

private:
    void Draw(bool force) {
        const int percent = m_total > 0 ? static_cast<int>(m_sent * 100 / m_total) : 100;
        if (m_style == Lines && percent / kLineStep != m_lastPercent / kLineStep) {
            Output::Show(stderr, StringFormat("lcdtool: 已发送 %d%%（%s / %s）\n", percent,
                                              SizeText(m_sent).c_str(), SizeText(m_total).c_str()));
        }
        m_lastPercent = percent;
        const auto now = Clock::now();
        if (m_style != Bar || (!force && now - m_lastDraw < kRedraw)) return;
        m_lastDraw = now;
        m_drawn = true;
        const double seconds = std::chrono::duration<double>(now - m_start).count();
        const double rate = seconds > 0 ? static_cast<double>(m_sent) / seconds : 0;
        const std::string left =
            rate > 0 && m_sent < m_total
                ? StringFormat("  剩余 %.0f 秒", static_cast<double>(m_total - m_sent) / rate)
                : "";
        const int filled = percent * kBarWidth / 100;
        Output::Show(stderr,
                     StringFormat("\r[%s%s] %3d%%  %s / %s  %s/s%s\x1b[K",
                                  std::string(static_cast<size_t>(filled), '#').c_str(),
                                  std::string(static_cast<size_t>(kBarWidth - filled), '-').c_str(),
                                  percent, SizeText(m_sent).c_str(), SizeText(m_total).c_str(),
                                  SizeText(static_cast<int64_t>(rate)).c_str(), left.c_str()));
        std::fflush(stderr);
    }

    Style m_style;
    int64_t m_total = 0;
    int64_t m_sent = 0;
    int m_lastPercent = -1;
    bool m_drawn = false;
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_lastDraw{};
};

std::string Counts(int64_t sent, int64_t total) {
    return StringFormat("（已发送 %lld / %lld 字节）", static_cast<long long>(sent),
                        static_cast<long long>(total));
}

// Keeps what opening the link tells, so that an open cut short by Ctrl-C is reported as
// the stop it is.
class OpenMessages final : public Messenger {
public:
    explicit OpenMessages(Messenger& outer) : m_outer(outer) {}
    void Tell(const std::string& text, const std::string&) override {
        told += (told.empty() ? "" : " ") + text;
    }
    Answer Ask(const std::string& text, const std::string& caption, Buttons buttons) override {
        return m_outer.Ask(text, caption, buttons);
    }
    std::string told;

private:
    Messenger& m_outer;
};

}  // namespace

bool SendCommands::LinkOf(const CommandLine& args, LinkSettings& settings, bool transfer) {
    std::string error;
    const LinkSettings::LoadResult loaded = settings.Load(error);
    if (loaded == LinkSettings::LoadResult::Damaged ||
        loaded == LinkSettings::LoadResult::Unreadable) {
        // Another link than the saved one could reach another device: never guessed.
        if (transfer) {
            Output::Fail(error + "。不会改用别的连接：请改正或删除这个文件");
            return false;
        }
        Output::Warn(error);
    }
    if (args.Has("--link") && !ParseLinkOption(args.Value("--link"), settings, error)) {
        Output::Fail(error);
        return false;
    }
    if (transfer && loaded == LinkSettings::LoadResult::Missing && !args.Has("--link")) {
        if (const std::string console = ConsolePortWarning(settings); !console.empty()) {
            Output::Fail(console + "；请用 --link 指定连接（例如 --link serial:/dev/ttyUSB0）");
            return false;
        }
    }
    return true;
}

int SendCommands::Transfer(const CommandLine& args, CByteArray bytes, const Ended& ended) {
    LinkSettings settings;
    if (!LinkOf(args, settings, true)) return 1;
    const InterruptGuard guard;
    ToolMessenger messenger(args);
    OpenMessages opening(messenger);
    // The port's own message (absent, busy, no permission) is the command's failure.
    std::unique_ptr<Link> link = OpenLink(settings, opening);
    if (g_interrupted.load()) {
        Output::Fail("已停止，未发送");
        return Interrupted();
    }
    if (!link) return Output::Fail(opening.told);
    // The CAN protocol has no answer: what the adapter took may still be lost on the bus.
    const bool acknowledged = link->Kind() != LinkKind::UsbCan;

    const auto total = static_cast<int64_t>(bytes.size());
    ProgressBar progress(args.Has("--quiet")         ? ProgressBar::Quiet
                         : isatty(STDERR_FILENO) > 0 ? ProgressBar::Bar
                                                     : ProgressBar::Lines);
    SendResult result;
    {
        ::Download download(std::move(link), std::move(bytes), progress);
        g_download.store(&download);
        if (g_interrupted.load()) download.RequestStop();
        result = download.Wait();
        g_download.store(nullptr);
    }
    if (ended) ended(settings, result);
    const double seconds = progress.Seconds();
    if (g_interrupted.load() && result.status != SendStatus::Done) {
        Output::Fail("已停止" + Counts(result.sent, total));
        return Interrupted();
    }
    switch (result.status) {
        case SendStatus::Done: {
            if (args.Has("--quiet")) return 0;
            const std::string rate =
                SizeText(static_cast<int64_t>(seconds > 0 ? total / seconds : 0));
            if (acknowledged)
                Output::Show(stderr,
                             StringFormat("lcdtool: 已发送 %lld 字节，用时 %.2f 秒（%s/s）\n",
                                          static_cast<long long>(total), seconds, rate.c_str()));
            else
                Output::Show(
                    stderr,
                    StringFormat("lcdtool: 已把 %lld 字节交给 CAN 适配器，用时 %.2f 秒（%s/"
                                 "s）；CAN 连接没有应答，无法确认模块全部收到%s\n",
                                 static_cast<long long>(total), seconds, rate.c_str(),
                                 args.Has("--verify") ? "，模块将自检闪存并显示结果"
                                                      : "（download --verify 让模块自检闪存）"));
            return 0;
        }
        case SendStatus::Stopped:
            Output::Fail("已停止" + Counts(result.sent, total));
            return Interrupted();
        case SendStatus::TimedOut:
            // The module stayed busy ("请检查连接是否正确"), or the port took nothing.
            return Output::Fail(
                (result.message.find("超时") == std::string::npos ? "发送超时，" : "") +
                result.message + Counts(result.sent, total));
        case SendStatus::Failed:
            break;
    }
    return Output::Fail(result.message + Counts(result.sent, total));
}

int SendCommands::Immediate(const CommandLine& args, CByteArray& command) {
    LinkSettings settings;
    if (!LinkOf(args, settings, true)) return 1;
    ToolMessenger messenger(args);
    const InterruptGuard guard;
    std::unique_ptr<Link> link = OpenLink(settings, messenger);
    if (!link) return 1;
    // Ctrl-C stops a command that waits for a busy module.
    const SendResult result = link->SendCommand(command, g_interrupted);
    command.clear();
    if (result.status == SendStatus::Stopped) {
        Output::Fail("已停止");
        return Interrupted();
    }
    return result.Ok() ? 0 : Output::Fail(result.message);
}

int SendCommands::Send(const CommandLine& args) {
    ToolMessenger messenger(args);
    DownloadRequest request;
    request.file = args.Positional()[0];
    CByteArray bytes;
    if (!BuildDownload(request, messenger, bytes)) return 1;
    return Transfer(args, std::move(bytes));
}

int SendCommands::Show(const CommandLine& args) {
    ToolMessenger messenger(args);
    CLedDoc doc;
    doc.SetMessenger(messenger);
    std::string error;
    if (!doc.LoadFile(args.Positional()[0], error)) return Output::Fail(error);
    CByteArray bytes;
    doc.EncodeDirect(bytes, DownloadSettings{});
    return Transfer(args, std::move(bytes));
}

namespace {

std::string PlaceText(const FlashRecord& r) {
    switch (r.kind) {
        case FlashRecord::Kind::Page:
            return StringFormat("页面\t第 %d 页", r.place);
        case FlashRecord::Kind::Bitmap:
            return StringFormat("局部位图\t第 %d 块第 %d 页", r.place / 256, r.place % 256);
        case FlashRecord::Kind::Background:
            return StringFormat("全屏位图\t编号 %d", r.place);
        case FlashRecord::Kind::CrcTable:
            break;
    }
    return "校验表\t-";
}

std::string TimeText(const LinkSettings& settings, int64_t bytes) {
    const double seconds = DownloadMemory::EstimateSeconds(settings, bytes);
    return seconds < 0 ? "未知" : StringFormat("%.1f 秒", seconds);
}

// What a plan sends, one line.
std::string PlanLine(const DownloadPlan& plan, size_t records, const LinkSettings& settings) {
    const double share =
        plan.total > 0 ? 100.0 * static_cast<double>(plan.bytes) / static_cast<double>(plan.total)
                       : 0;
    return StringFormat("%s：%zu / %zu 条记录，%lld / %lld 字节（%.1f%%），预计 %s",
                        plan.everything ? "发送全部记录" : "只发送改动的记录", plan.send.size(),
                        records, static_cast<long long>(plan.bytes),
                        static_cast<long long>(plan.total), share,
                        TimeText(settings, plan.bytes).c_str()) +
           (plan.reason.empty() ? "" : "（" + plan.reason + "）");
}

}  // namespace

int SendCommands::Download(const CommandLine& args) {
    std::vector<FlashRecord> records;
    DownloadTarget target;
    if (!ProjectCommands::DownloadRecords(args, records, target)) return 1;
    const bool dryRun = args.Has("--dry-run");
    LinkSettings settings;
    if (!LinkOf(args, settings, !dryRun)) return 1;
    // A single USB module is the one opening will choose: the plan names it already.
    if (settings.Kind() == LinkKind::Usb) {
        UsbLink::FindModules(settings, UsbBus::System());
        if (settings.usbDevices.size() == 1) settings.selectedUsbDevice = settings.usbDevices[0];
    }
    target.link = DownloadMemory::LinkTarget(settings);
    const DownloadMemory memory;
    const DownloadPlan plan = args.Has("--changed") ? memory.Plan(target, records)
                                                    : DownloadPlan::Everything(records, "");
    if (dryRun) {
        Output::Show(stdout, StringFormat("连接：%s\n%s\n", Output::Escape(target.link).c_str(),
                                          PlanLine(plan, records.size(), settings).c_str()));
        Output::Show(stdout, "类型\t位置\t字节\t名称\n");
        for (const size_t i : plan.send)
            std::printf("%s\t%zu\t%s\n", Messages::Tr(PlaceText(records[i])).c_str(),
                        records[i].bytes.size(), Output::Escape(records[i].name).c_str());
        return 0;
    }
    // Nothing changed: with --verify the module still checks its flash.
    if (plan.send.empty() && !args.Has("--quiet"))
        Output::Warn(args.Has("--verify") ? "模块上已是这个工程的内容，只发送校验命令"
                                          : "模块上已是这个工程的内容，没有要发送的改动");
    if (plan.send.empty() && !args.Has("--verify")) return 0;
    if (args.Has("--changed") && !args.Has("--quiet"))
        Output::Show(stderr, "lcdtool: " + PlanLine(plan, records.size(), settings) + "\n");
    CByteArray bytes = plan.Bytes(records);
    // With --verify the CRC table is part of the records (DownloadRecords); the start check
    // makes the module compare its flash with it and show the result, the only answer a
    // one-way link has.
    int mode = 0;
    if (args.Has("--verify") && LinkCommands::ModeOption(args, "--mode", mode))
        CommandBuilder::StartCheck(bytes, mode);
    return Transfer(args, std::move(bytes),
                    [&](const LinkSettings& opened, const SendResult& result) {
                        // The module chosen on opening (USB) names the target.
                        target.link = DownloadMemory::LinkTarget(opened);
                        std::string error;
                        if (!memory.Record(target, records, result, error))
                            Output::Warn("下载记录未能保存：" + error);
                    });
}

int SendCommands::Ports(const CommandLine& args) {
    LinkSettings settings;
    if (!LinkOf(args, settings, false)) return 1;
    const PortList ports = FindPorts(settings);
    // A by-id link goes on the line of the port it names.
    std::vector<PortInfo> serial, byId;
    for (const PortInfo& p : ports.serial)
        (p.name.starts_with("/dev/serial/by-id/") ? byId : serial).push_back(p);
    for (const PortInfo& a : byId)
        if (std::ranges::none_of(serial,
                                 [&](const PortInfo& p) { return a.detail == "→ " + p.name; }))
            serial.push_back(a);
    const auto section = [](const char* title, const std::vector<PortInfo>& list,
                            const std::vector<PortInfo>& aliases) {
        Output::Show(stdout, std::string(title) + (list.empty() ? "：无" : "：") + "\n");
        for (const PortInfo& p : list) {
            std::string names;
            for (const PortInfo& a : aliases)
                if (a.detail == "→ " + p.name) names += "  " + Output::Escape(a.name);
            std::printf("  %s\t%s%s\n", Output::Escape(p.name).c_str(),
                        Output::Escape(Messages::Tr(p.detail)).c_str(), names.c_str());
        }
    };
    section("串口", serial, byId);
    section("并口", ports.parallel, {});
    section("USB 模块", ports.usb, {});
    section("USB-CAN 适配器", ports.can, {});
    return 0;
}
