// Drawing, loading and saving an 800 x 480 page of 2000 mixed shape items. The target
// for a full draw is half a 60 Hz frame (8 ms).

#include <benchmark/benchmark.h>

#include "BenchPage.h"
#include "gfx/Surface.h"

namespace {

using namespace benchpage;

void BM_DrawPage(benchmark::State& state) {
    CLedDoc doc;
    MakePage(doc);
    Surface surface(kWidth, kHeight);
    for (auto _ : state) {
        doc.DrawPage(surface, false);
        benchmark::DoNotOptimize(surface.Pixels());
    }
}
BENCHMARK(BM_DrawPage)->Unit(benchmark::kMillisecond);

void BM_SavePage(benchmark::State& state) {
    CLedDoc doc;
    MakePage(doc);
    std::string error;
    for (auto _ : state) {
        CByteArray bytes;
        doc.Save(bytes, error);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_SavePage)->Unit(benchmark::kMicrosecond);

void BM_LoadPage(benchmark::State& state) {
    CLedDoc doc;
    MakePage(doc);
    std::string error;
    CByteArray bytes;
    doc.Save(bytes, error);
    state.counters["bytes"] = static_cast<double>(bytes.size());
    for (auto _ : state) {
        CLedDoc loaded;
        loaded.Load(bytes, error);
        benchmark::DoNotOptimize(loaded.CurrentItems().data());
    }
}
BENCHMARK(BM_LoadPage)->Unit(benchmark::kMicrosecond);

}  // namespace
