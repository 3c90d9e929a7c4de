// Laying out and drawing a text box of 2000 mixed ASCII and GB2312 characters on an
// 800 x 480 page, with the generated fonts.

#include <benchmark/benchmark.h>

#include <string>

#include "base/GbkCodec.h"
#include "gfx/Surface.h"
#include "items/CItemFont.h"
#include "items/DotFont.h"

namespace {

constexpr int kChars = 2000;

CItemFont MakeText() {
    CItemFont t(10, 10, Rgb(255, 255, 255));
    CursorShape cursor = CursorShape::Unchanged;
    t.OnMouseMove(cursor, 10, 10, 790, 40);
    t.OnLButtonUp(790, 40);
    const std::string gbk = GbkCodec::FromUtf8("液晶屏模块 Display 123，文字测试 abc。");
    int n = 0;
    for (size_t i = 0; n < kChars; i = (i + 1) % gbk.size()) {
        const auto b = static_cast<uint8_t>(gbk[i]);
        if (n % 300 == 299) t.InsertChar(13, 0, 0), ++n;
        t.m_nHMag = 1 + (n / 500) % 2;
        t.m_nVMag = 1 + (n / 700) % 2;
        if (t.InsertChar(b, 7, 0) && (b < 0x80 || t.m_bExpectLead)) ++n;
    }
    t.OnLButtonDown(0, 0);  // not editing: no frame, no caret
    return t;
}

void BM_TextLayout(benchmark::State& state) {
    CItemFont t = MakeText();
    for (auto _ : state) {
        t.LayoutAndDraw(nullptr, 16, 16);
        benchmark::DoNotOptimize(t.m_y2);
    }
}
BENCHMARK(BM_TextLayout)->Unit(benchmark::kMillisecond);

void BM_TextDraw(benchmark::State& state) {
    if (!DotFonts::Shared()->Complete()) {
        state.SkipWithError("fonts ASC16 / hzk16 not found");
        return;
    }
    CItemFont t = MakeText();
    Surface s(800, 480, 0);
    for (auto _ : state) {
        t.Draw(s);
        benchmark::DoNotOptimize(s.Pixels());
    }
}
BENCHMARK(BM_TextDraw)->Unit(benchmark::kMillisecond);

void BM_TextEncode(benchmark::State& state) {
    CItemFont t = MakeText();
    t.LayoutAndDraw(nullptr, 16, 16);
    for (auto _ : state) {
        CByteArray bytes;
        t.Encode(1, bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_TextEncode)->Unit(benchmark::kMillisecond);

}  // namespace
