// The virtual module: executing the demo project's flash image (reported as bytes per
// second) and showing an 800 x 480 page of 2000 items, stored and sent direct (target: 2 ms,
// the canvas's budget).

#include <benchmark/benchmark.h>

#include "BenchPage.h"
#include "base/Messenger.h"
#include "core/DisplayModule.h"
#include "core/ModuleFonts.h"
#include "project/FlashImage.h"
#include "project/FlashLayout.h"
#include "project/Workspace.h"

namespace {

ModuleConfig Config(int width, int height) {
    ModuleConfig c;
    c.width = width, c.height = height;
    ModuleFonts::Use(c);
    return c;
}

void BM_ExecuteDemoImage(benchmark::State& state) {
    Workspace ws(Messenger::Stderr());
    ws.OpenProjectFile(LCD_EXAMPLES "/demo/demo.zkp");
    ws.OpenProjectPages();
    FlashLayout layout(ws);
    std::vector<std::string> order;
    for (const CDocObj& e : ws.GetProject().entries)
        order.push_back(e.m_strName);
    layout.SetPageOrder(order);
    FlashImage image(layout);
    image.Open();
    CByteArray bytes;
    image.Build(bytes);
    DisplayModule module(Config(320, 240));
    for (auto _ : state)
        module.Execute(bytes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
    state.counters["image_bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_ExecuteDemoImage)->Iterations(1000)->Unit(benchmark::kMicrosecond);

void BM_ShowPage2000Items(benchmark::State& state) {
    CLedDoc doc;
    benchpage::MakePage(doc);
    doc.m_nStartPage = 0;
    CByteArray record;
    doc.EncodeRecord(record, 0);
    DisplayModule module(Config(benchpage::kWidth, benchpage::kHeight));
    module.Execute(record);
    for (auto _ : state) {
        module.ShowPage(0);
        benchmark::DoNotOptimize(module.Screen().Pixels());
    }
    state.counters["record_pages"] = doc.ComputePageCount();
}
BENCHMARK(BM_ShowPage2000Items)->Unit(benchmark::kMillisecond);

void BM_DirectPage2000Items(benchmark::State& state) {
    CLedDoc doc;
    benchpage::MakePage(doc);
    CByteArray stream;
    doc.EncodeDirect(stream, DownloadSettings{});
    DisplayModule module(Config(benchpage::kWidth, benchpage::kHeight));
    for (auto _ : state) {
        module.Execute(stream);
        benchmark::DoNotOptimize(module.Screen().Pixels());
    }
    state.counters["stream_bytes"] = static_cast<double>(stream.size());
}
BENCHMARK(BM_DirectPage2000Items)->Unit(benchmark::kMillisecond);

}  // namespace
