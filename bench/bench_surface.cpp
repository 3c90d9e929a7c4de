// Raster operations on an 800 x 480 module screen. Each benchmark draws a fixed batch of
// shapes (sizes typical of page items) and reports the time per batch and per shape.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "gfx/Surface.h"

namespace {

constexpr int kW = 800, kH = 480;
constexpr int kBatch = 500;

struct Shape {
    int kind;
    int l, t, r, b;
    double a1, a2;
    std::vector<Point> points;
};

// Shapes up to `maxSize` pixels across, a few of them partly off the screen.
std::vector<Shape> MakeShapes(int kind, int count, int maxSize, unsigned seed = 7) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> px(-40, kW + 40), py(-40, kH + 40), size(2, maxSize),
        angle(0, 359), kinds(0, 5);
    std::vector<Shape> out;
    for (int i = 0; i < count; ++i) {
        Shape s;
        s.kind = kind < 0 ? kinds(rng) : kind;
        s.l = px(rng);
        s.t = py(rng);
        s.r = s.l + size(rng);
        s.b = s.t + size(rng);
        s.a1 = angle(rng);
        s.a2 = angle(rng);
        for (int k = 0; k < 6; ++k)
            s.points.push_back({s.l + size(rng) - maxSize / 2, s.t + size(rng) - maxSize / 2});
        out.push_back(std::move(s));
    }
    return out;
}

void Draw(Surface& s, const Shape& sh) {
    switch (sh.kind) {
        case 0:
            s.Line(sh.l, sh.t, sh.r, sh.b);
            break;
        case 1:
            s.Rectangle(sh.l, sh.t, sh.r, sh.b);
            break;
        case 2:
            s.Ellipse(sh.l, sh.t, sh.r, sh.b);
            break;
        case 3:
            s.Arc(sh.l, sh.t, sh.r, sh.b, sh.a1, sh.a2);
            break;
        case 4:
            s.Pie(sh.l, sh.t, sh.r, sh.b, sh.a1, sh.a2);
            break;
        default:
            s.Polygon(sh.points);
            break;
    }
}

void RunBatch(benchmark::State& state, int kind, int maxSize, bool filled) {
    Surface s(kW, kH, Rgb(255, 255, 255));
    s.SetPen(Surface::Pen{Surface::PenStyle::Solid, 1, Rgb(0, 0, 0)});
    s.SetBrush(filled ? Surface::Brush{Surface::BrushStyle::Solid, Rgb(0, 128, 255)}
                      : Surface::Brush{Surface::BrushStyle::None, 0});
    const std::vector<Shape> shapes = MakeShapes(kind, kBatch, maxSize);
    for (auto _ : state) {
        for (const Shape& sh : shapes)
            Draw(s, sh);
        benchmark::DoNotOptimize(s.Pixels());
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

void BM_Lines(benchmark::State& st) {
    RunBatch(st, 0, static_cast<int>(st.range(0)), false);
}
void BM_Rectangles(benchmark::State& st) {
    RunBatch(st, 1, static_cast<int>(st.range(0)), true);
}
void BM_Ellipses(benchmark::State& st) {
    RunBatch(st, 2, static_cast<int>(st.range(0)), true);
}
void BM_EllipseOutlines(benchmark::State& st) {
    RunBatch(st, 2, static_cast<int>(st.range(0)), false);
}
void BM_Arcs(benchmark::State& st) {
    RunBatch(st, 3, static_cast<int>(st.range(0)), false);
}
void BM_Pies(benchmark::State& st) {
    RunBatch(st, 4, static_cast<int>(st.range(0)), true);
}
void BM_Polygons(benchmark::State& st) {
    RunBatch(st, 5, static_cast<int>(st.range(0)), true);
}

BENCHMARK(BM_Lines)->Arg(50)->Arg(400);
BENCHMARK(BM_Rectangles)->Arg(50)->Arg(200);
BENCHMARK(BM_Ellipses)->Arg(50)->Arg(200);
BENCHMARK(BM_EllipseOutlines)->Arg(50)->Arg(200);
BENCHMARK(BM_Arcs)->Arg(50)->Arg(200);
BENCHMARK(BM_Pies)->Arg(50)->Arg(200);
BENCHMARK(BM_Polygons)->Arg(50)->Arg(200);

// A page of 2000 mixed shapes, the figure the canvas redraw has to stay well under.
void BM_MixedPage2000(benchmark::State& state) {
    Surface s(kW, kH);
    const std::vector<Shape> shapes = MakeShapes(-1, 2000, static_cast<int>(state.range(0)), 11);
    for (auto _ : state) {
        s.Clear(Rgb(255, 255, 255));
        int k = 0;
        for (const Shape& sh : shapes) {
            s.SetPen(Surface::Pen{Surface::PenStyle::Solid, 1 + (k & 1), Rgb(0, 0, 0)});
            s.SetBrush(k % 3 == 0
                           ? Surface::Brush{Surface::BrushStyle::None, 0}
                           : Surface::Brush{Surface::BrushStyle::Solid, Rgb(k & 255, 64, 128)});
            Draw(s, sh);
            ++k;
        }
        benchmark::DoNotOptimize(s.Pixels());
    }
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK(BM_MixedPage2000)->Arg(40)->Arg(100)->Unit(benchmark::kMillisecond);

// Flood fill of the whole screen inside a frame, and of a maze of vertical walls.
void BM_FloodFillScreen(benchmark::State& state) {
    Surface s(kW, kH, Rgb(255, 255, 255));
    s.SetPen(Surface::Pen{Surface::PenStyle::Solid, 1, Rgb(0, 0, 0)});
    s.Rectangle(0, 0, kW, kH);
    int k = 0;
    for (auto _ : state) {
        s.SetBrush(Surface::Brush{Surface::BrushStyle::Solid, Rgb(0, 0, (k++ & 1) ? 255 : 128)});
        s.FloodFill(kW / 2, kH / 2, Rgb(0, 0, 0));
    }
    state.SetItemsProcessed(state.iterations() * (kW - 2) * (kH - 2));
}
BENCHMARK(BM_FloodFillScreen)->Unit(benchmark::kMicrosecond);

void BM_FloodFillMaze(benchmark::State& state) {
    Surface s(kW, kH, Rgb(255, 255, 255));
    s.SetPen(Surface::Pen{Surface::PenStyle::Solid, 1, Rgb(0, 0, 0)});
    for (int x = 4; x < kW; x += 4)
        s.Line(x, (x / 4) % 2 ? 0 : 2, x, (x / 4) % 2 ? kH - 2 : kH);
    int k = 0;
    for (auto _ : state) {
        s.SetBrush(Surface::Brush{Surface::BrushStyle::Solid, Rgb(0, 0, (k++ & 1) ? 255 : 128)});
        s.FloodFill(1, 1, Rgb(0, 0, 0));
    }
}
BENCHMARK(BM_FloodFillMaze)->Unit(benchmark::kMicrosecond);

}  // namespace
