// Exporting the flash image of a full project: 255 pages of one flash page each and 64
// local bitmaps of 160 x 120 at 256 colours (board 0: 38 flash pages each, 11 blocks).
// Reports the time and, as counters, the image size, the peak of live heap bytes during
// one export (counted by this program's operator new) and the process's peak RSS.
//
//   BM_BuildImage      the image in memory, project already open
//   BM_ExportFile/crc  the export button: checks, image, optional CRC table, file
//   BM_OpenAndExport   what lcdtool export does: open the project from disk, then export

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "../tests/project/FlashLayout/FlashFixture.h"
#include "project/FlashImage.h"
#include "project/FlashLayout.h"

namespace {

std::atomic<int64_t> g_live{0};
std::atomic<int64_t> g_peak{0};

void Note(int64_t delta) {
    const int64_t now = g_live.fetch_add(delta) + delta;
    int64_t peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
}

}  // namespace

void* operator new(size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    Note(static_cast<int64_t>(malloc_usable_size(p)));
    return p;
}
void operator delete(void* p) noexcept {
    if (!p) return;
    Note(-static_cast<int64_t>(malloc_usable_size(p)));
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    operator delete(p);
}

namespace {

constexpr int kPages = 255;
constexpr int kBitmaps = 64;
constexpr int kBitmapWidth = 160, kBitmapHeight = 120;

// The project on disk, made once; its folder goes when the program ends.
struct BigProject {
    BigProject() {
        for (int i = 0; i < kPages; ++i) {
            CLedDoc* page = project.AddPage("page" + std::to_string(i), 1, i);
            if (i < kBitmaps) {
                const COLORREF colour =
                    Rgb(static_cast<uint8_t>(i * 4), 128, static_cast<uint8_t>(255 - i * 4));
                project.AddBitmap(page, 0, 0, kBitmapWidth, kBitmapHeight, colour);
            }
        }
        project.ws.SaveProject();
        project.ws.CloseProject();
    }
    flashfixture::Project project{ScreenParams{"LCD", 256, 70.0, 52.5, 320, 240}};
};

BigProject& Big() {
    static BigProject big;
    return big;
}

struct Opened {
    Opened() {
        ok = ws.OpenProjectFile(Big().project.ProjectFile());
        layout = std::make_unique<FlashLayout>(ws);
        image = std::make_unique<FlashImage>(*layout);
        image->Open();
    }
    ~Opened() {
        image.reset();
        layout.reset();
        ws.CloseProject();
    }
    Workspace ws{Messenger::Stderr()};
    bool ok = false;
    std::unique_ptr<FlashLayout> layout;
    std::unique_ptr<FlashImage> image;
};

void Report(benchmark::State& state, int64_t imageBytes, int64_t peakHeap) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["image_MB"] = static_cast<double>(imageBytes) / 1e6;
    state.counters["peak_heap_MB"] = static_cast<double>(peakHeap) / 1e6;
    state.counters["max_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1e3;
}

void BM_BuildImage(benchmark::State& state) {
    Big();
    Opened open;
    if (!open.ok || !open.image->CheckExport()) {
        state.SkipWithError("the project did not open or failed its checks");
        return;
    }
    int64_t size = 0, peak = 0;
    for (auto _ : state) {
        const int64_t base = g_live.load();
        g_peak.store(base);
        CByteArray bytes;
        open.image->Build(bytes);
        size = static_cast<int64_t>(bytes.size());
        benchmark::DoNotOptimize(bytes.data());
        peak = g_peak.load() - base;
    }
    Report(state, size, peak);
}
BENCHMARK(BM_BuildImage)->Unit(benchmark::kMillisecond);

void BM_ExportFile(benchmark::State& state) {
    Big();
    Opened open;
    open.image->m_bCrc = state.range(0) != 0;
    const std::string out = Big().project.File("image.bin");
    int64_t peak = 0;
    for (auto _ : state) {
        const int64_t base = g_live.load();
        g_peak.store(base);
        if (!open.image->Export([&](std::string& name) {
                name = out;
                return true;
            })) {
            state.SkipWithError("export failed");
            return;
        }
        peak = g_peak.load() - base;
    }
    std::error_code ec;
    Report(state, static_cast<int64_t>(std::filesystem::file_size(out, ec)), peak);
}
BENCHMARK(BM_ExportFile)->ArgName("crc")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_OpenAndExport(benchmark::State& state) {
    Big();
    const std::string out = Big().project.File("opened.bin");
    int64_t peak = 0;
    for (auto _ : state) {
        const int64_t base = g_live.load();
        g_peak.store(base);
        {
            Opened open;
            open.layout->SetDisplayMode(FlashLayout::DisplayCyclic);
            if (!open.ok || !open.image->Export([&](std::string& name) {
                    name = out;
                    return true;
                })) {
                state.SkipWithError("export failed");
                return;
            }
        }
        peak = g_peak.load() - base;
    }
    std::error_code ec;
    Report(state, static_cast<int64_t>(std::filesystem::file_size(out, ec)), peak);
}
BENCHMARK(BM_OpenAndExport)->Unit(benchmark::kMillisecond);

}  // namespace
