// Image import: decoding a 4000 x 3000 colour JPEG and turning it into an 800 x 480
// 64-colour pixel stream, and decoding a large GIF. Each of our times is reported beside
// a reference decoder's on the same file in the same run (libjpeg-turbo's djpeg, giflib)
// as the counter "ratio" (ours / reference). The references are optional: without
// djpeg or libgif the benchmark runs and says so in its label.

#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <random>

#include "../tests/images/TestImages.h"
#include "base/Messenger.h"
#include "images/CBmpObj.h"
#include "images/CImageImplGIF.h"
#include "images/CImageImplJPG.h"
#include "images/MappedFile.h"

#if __has_include(<gif_lib.h>)
#include <gif_lib.h>
#define LCD_HAVE_GIFLIB_HEADER 1
#endif

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace testimages;

constexpr int kJpegWidth = 4000, kJpegHeight = 3000;
constexpr int kGifWidth = 3000, kGifHeight = 2000;

struct Files {
    TempDir dir;
    std::string jpeg, gif;
    Bytes jpegBytes, gifBytes;
};

// A photograph-like picture: smooth gradients, soft shapes and a little grain.
Bytes PhotoSamples(int w, int h) {
    Bytes rgb(static_cast<size_t>(w) * h * 3);
    std::mt19937 rng(1);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double fx = double(x) / w, fy = double(y) / h;
            const double ring = std::sin(30 * std::hypot(fx - 0.4, fy - 0.5));
            const int grain = int(rng() % 9) - 4;
            uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            p[0] = uint8_t(std::clamp(int(255 * fx * (0.7 + 0.3 * ring)) + grain, 0, 255));
            p[1] = uint8_t(std::clamp(int(200 * fy + 40 * ring) + grain, 0, 255));
            p[2] = uint8_t(std::clamp(int(255 * (1 - fx) * fy) + grain, 0, 255));
        }
    }
    return rgb;
}

// A GIF-like picture: flat areas, stripes, a gradient and a dithered region.
Bytes GifIndices(int w, int h) {
    Bytes indices(static_cast<size_t>(w) * h);
    std::mt19937 rng(2);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t v;
            if (x < w / 4)
                v = uint8_t((y / 40) % 16);
            else if (x < w / 2)
                v = uint8_t(16 + ((x + y) / 7) % 32);
            else if (y < h / 2)
                v = uint8_t(64 + (x * 64) / w);
            else
                v = uint8_t(128 + (rng() % 4) + ((x * 32) / w) * 4);
            indices[static_cast<size_t>(y) * w + x] = v;
        }
    }
    return indices;
}

Files& TestFiles() {
    static Files files = [] {
        Files f;
        f.jpeg = f.dir.File("photo.jpg");
        WriteJpeg(f.jpeg, kJpegWidth, kJpegHeight, 3, PhotoSamples(kJpegWidth, kJpegHeight), 85);
        f.jpegBytes = ReadFile(f.jpeg);
        GifSpec s;
        s.width = kGifWidth;
        s.height = kGifHeight;
        s.minCodeSize = 8;
        for (int i = 0; i < 256; ++i)
            s.globalTable.insert(s.globalTable.end(),
                                 {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)});
        s.indices = GifIndices(kGifWidth, kGifHeight);
        f.gif = f.dir.File("large.gif");
        f.gifBytes = MakeGif(s);
        WriteFile(f.gif, f.gifBytes);
        return f;
    }();
    return files;
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Median of `runs` timings of `f`; negative when `f` fails.
template <class F>
double Median(int runs, F f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        if (!f()) return -1;
        times.push_back(Seconds(Clock::now() - start));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Runs djpeg with `options` on the JPEG, output discarded.
bool RunDjpeg(const std::vector<std::string>& options) {
    std::vector<std::string> args = {"djpeg"};
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), {"-outfile", "/dev/null", TestFiles().jpeg});
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "djpeg", nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// djpeg doing what our reader asks of the library: two-pass quantization to 128 colours.
double DjpegQuantized() {
    static const double t = Median(3, [] { return RunDjpeg({"-colors", "128", "-bmp"}); });
    return t;
}
double DjpegPlain() {
    static const double t = Median(3, [] { return RunDjpeg({}); });
    return t;
}

#ifdef LCD_HAVE_GIFLIB_HEADER
// giflib, loaded at run time so the benchmark builds and runs without it.
struct Giflib {
    using Open = GifFileType* (*)(void*, InputFunc, int*);
    using Slurp = int (*)(GifFileType*);
    using Close = int (*)(GifFileType*, int*);
    Open open = nullptr;
    Slurp slurp = nullptr;
    Close close = nullptr;
    bool Loaded() const { return open && slurp && close; }
};

const Giflib& LoadGiflib() {
    static const Giflib lib = [] {
        Giflib g;
        void* handle = dlopen("libgif.so.7", RTLD_NOW);
        if (!handle) return g;
        g.open = reinterpret_cast<Giflib::Open>(dlsym(handle, "DGifOpen"));
        g.slurp = reinterpret_cast<Giflib::Slurp>(dlsym(handle, "DGifSlurp"));
        g.close = reinterpret_cast<Giflib::Close>(dlsym(handle, "DGifCloseFile"));
        return g;
    }();
    return lib;
}

struct MemoryReader {
    const Bytes* bytes;
    size_t pos;
};

int ReadGifBytes(GifFileType* gif, GifByteType* out, int n) {
    auto* r = static_cast<MemoryReader*>(gif->UserData);
    const size_t take = std::min<size_t>(static_cast<size_t>(n), r->bytes->size() - r->pos);
    std::memcpy(out, r->bytes->data() + r->pos, take);
    r->pos += take;
    return static_cast<int>(take);
}

bool GiflibDecode(const Bytes& bytes) {
    const Giflib& lib = LoadGiflib();
    MemoryReader reader{&bytes, 0};
    int error = 0;
    GifFileType* gif = lib.open(&reader, ReadGifBytes, &error);
    if (!gif) return false;
    const bool ok = lib.slurp(gif) == GIF_OK && gif->ImageCount > 0;
    lib.close(gif, &error);
    return ok;
}

double GiflibTime() {
    static const double t =
        LoadGiflib().Loaded() ? Median(5, [] { return GiflibDecode(TestFiles().gifBytes); }) : -1;
    return t;
}
#else
double GiflibTime() {
    return -1;
}
#endif

// Sets the reference counters and the label.
void Report(benchmark::State& state, double ours, double reference, const char* name) {
    if (reference <= 0) {
        state.SetLabel(std::string(name) + " not available: no reference");
        return;
    }
    state.counters[std::string(name) + "_ms"] = reference * 1000;
    state.counters["ratio"] = ours / reference;
}

void BM_JpegDecode(benchmark::State& state) {
    const Bytes& bytes = TestFiles().jpegBytes;
    const double reference = DjpegQuantized();
    Clock::duration total{};
    for (auto _ : state) {
        const auto start = Clock::now();
        CImageImplJPG image;
        if (!image.ReadMemory(bytes)) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(image.Bits());
        total += Clock::now() - start;
    }
    Report(state, Seconds(total) / double(state.iterations()), reference, "djpeg_colors128");
    if (DjpegPlain() > 0) state.counters["djpeg_plain_ms"] = DjpegPlain() * 1000;
}
BENCHMARK(BM_JpegDecode)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The whole import: file -> decoder -> local bitmap (in memory) -> the 64-colour stream
// of an 800 x 480 screen.
void BM_JpegTo64ColourStream(benchmark::State& state) {
    const std::string& path = TestFiles().jpeg;
    const double reference = DjpegQuantized();
    Clock::duration total{};
    for (auto _ : state) {
        const auto start = Clock::now();
        CBmpObj bmp(path, false, PageFormat{64, 800, 480}, Messenger::Stderr());
        CByteArray pixels;
        if (bmp.AppendPixels(pixels, 64, 800, 480, DownloadSettings{}) != 800 * 480)
            state.SkipWithError("conversion failed");
        benchmark::DoNotOptimize(pixels.data());
        total += Clock::now() - start;
    }
    Report(state, Seconds(total) / double(state.iterations()), reference, "djpeg_colors128");
}
BENCHMARK(BM_JpegTo64ColourStream)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_GifDecode(benchmark::State& state) {
    const Bytes& bytes = TestFiles().gifBytes;
    const double reference = GiflibTime();
    Clock::duration total{};
    for (auto _ : state) {
        const auto start = Clock::now();
        CImageImplGIF image;
        if (!image.ReadMemory(bytes)) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(image.Bits());
        total += Clock::now() - start;
    }
    Report(state, Seconds(total) / double(state.iterations()), reference, "giflib");
    state.counters["Mpixel/s"] = benchmark::Counter(double(kGifWidth) * kGifHeight *
                                                    state.iterations() / 1e6 / Seconds(total));
}
BENCHMARK(BM_GifDecode)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
