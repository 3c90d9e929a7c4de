// The links at full speed.
//
//   BM_SerialPty   1 MB through the serial link into a pseudo-terminal (interval 0, busy
//                  check off), timed until the far end has read the last byte
//   BM_CatPty      the same file written by cat into the same pseudo-terminal: the floor
//   BM_CanPacing   1000 full frames to the adapter emulator over loopback UDP; counters:
//                  drift_ms, how late the last frame left against start + 999 x 10 ms, and
//                  late_max_ms, the latest any frame left against its slot

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "../tests/support/LinkFixtures.h"
#include "AdapterEmulator.h"
#include "EmulatorServer.h"
#include "link/CanLink.h"
#include "link/SerialLink.h"

namespace {

constexpr size_t kBytes = 1 << 20;

struct NullSink : ProgressSink {
    void OnProgress(int, int64_t) override {}
};

// Reads the far end of `pty` on its own thread until `count` bytes came.
void Drain(const PtyPair& pty, size_t count) {
    std::vector<uint8_t> buf(65536);
    for (size_t got = 0; got < count;) {
        const ssize_t n = read(pty.master, buf.data(), buf.size());
        if (n > 0) got += static_cast<size_t>(n);
    }
}

void MakeRaw(const PtyPair& pty) {
    termios tio{};
    tcgetattr(pty.slave, &tio);
    cfmakeraw(&tio);
    tcsetattr(pty.slave, TCSANOW, &tio);
}

void BM_SerialPty(benchmark::State& state) {
    PtyPair pty;
    MakeRaw(pty);
    LinkSettings settings;
    settings.serialPath = pty.path;
    settings.baudRate = 115200;
    settings.interval = 0;
    settings.busyCheck = 0;
    const CByteArray bytes(kBytes, 0x5A);
    NullSink sink;
    std::atomic<bool> stop{false};
    for (auto _ : state) {
        std::string error;
        auto link = SerialLink::Open(settings, error);
        if (!link) {
            state.SkipWithError(error.c_str());
            return;
        }
        std::thread reader(Drain, std::cref(pty), kBytes);
        const SendResult r = SendBuffer(*link, bytes, sink, stop);
        reader.join();
        if (!r.Ok()) state.SkipWithError(r.message.c_str());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
BENCHMARK(BM_SerialPty)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CatPty(benchmark::State& state) {
    PtyPair pty;
    MakeRaw(pty);
    char file[] = "/tmp/bench-link-XXXXXX";
    const int fd = mkstemp(file);
    const CByteArray bytes(kBytes, 0x5A);
    if (fd < 0 || write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(kBytes)) {
        state.SkipWithError("no temporary file");
        return;
    }
    close(fd);
    for (auto _ : state) {
        std::thread reader(Drain, std::cref(pty), kBytes);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, pty.path.c_str(), O_WRONLY, 0);
        char* argv[] = {const_cast<char*>("cat"), file, nullptr};
        pid_t pid = 0;
        if (posix_spawnp(&pid, "cat", &actions, nullptr, argv, environ) == 0)
            waitpid(pid, nullptr, 0);
        posix_spawn_file_actions_destroy(&actions);
        reader.join();
    }
    unlink(file);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
BENCHMARK(BM_CatPty)->Unit(benchmark::kMillisecond)->UseRealTime();

// Notes when each frame was handed to the adapter.
struct TimingSink : ProgressSink {
    std::vector<std::chrono::steady_clock::time_point> sent;
    void OnProgress(int code, int64_t) override {
        if (code == kProgressSent) sent.push_back(std::chrono::steady_clock::now());
    }
};

void BM_CanPacing(benchmark::State& state) {
    kvx::AdapterEmulator emulator;
    kvx::EmulatorServer server(emulator);
    kvx::EmulatorServer::Options options;
    options.serial = false;
    options.udpAddress = 0x7F000001;
    options.udpPort = 0;
    if (!server.Open(options) || !server.Start()) {
        state.SkipWithError("no emulator");
        return;
    }
    setenv("KVX_CAN_UDP_LOCAL_PORT", "0", 1);
    std::string error;
    const CanApi* api = CanApi::Load(error);
    if (!api) {
        state.SkipWithError(error.c_str());
        return;
    }
    CanTarget target{4, 0x7F000001, "", server.UdpPort()};
    setenv("KVX_CAN_UDP_ADAPTER_PORT", std::to_string(server.UdpPort()).c_str(), 1);
    const CByteArray bytes(8 * 1000, 0x33);
    std::atomic<bool> stop{false};
    double drift = 0, lateMax = 0;
    for (auto _ : state) {
        CanLink link(*api, target, 0);
        TimingSink sink;
        const auto start = std::chrono::steady_clock::now();
        const SendResult r = link.Send(bytes, sink, stop);
        if (!r.Ok() || sink.sent.empty()) {
            state.SkipWithError(r.message.c_str());
            break;
        }
        // Frame k leaves right after its slot start + k x 10 ms (the first after opening).
        const auto first = sink.sent.front();
        for (size_t k = 0; k < sink.sent.size(); ++k) {
            const auto slot = first + std::chrono::milliseconds(CanLink::kFrameMs * k);
            lateMax = std::max(
                lateMax, std::chrono::duration<double, std::milli>(sink.sent[k] - slot).count());
        }
        drift = std::chrono::duration<double, std::milli>(
                    sink.sent.back() - first -
                    std::chrono::milliseconds(CanLink::kFrameMs * (sink.sent.size() - 1)))
                    .count();
        state.counters["open_ms"] =
            std::chrono::duration<double, std::milli>(first - start).count();
    }
    state.counters["drift_ms"] = drift;
    state.counters["late_max_ms"] = lateMax;
    server.Stop();
}
BENCHMARK(BM_CanPacing)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
