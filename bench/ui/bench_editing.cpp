// Editing on the benchmark page (800 x 480, 2000 items, a text being typed into): from a
// key press on the canvas to the canvas repainted (one frame is 16 ms), the page's own
// redraw into its surface (target 2 ms), and the canvas's paint of it at 1x and 2x.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QWindow>
#include <cstdio>

#include "BenchPage.h"
#include "project/LocalBitmapStore.h"
#include "ui/PageCanvas.h"

namespace {

struct Editing {
    CLedDoc page;
    LocalBitmapStore bitmaps{[this] { return std::vector<CLedDoc*>{&page}; }};
    PageCanvas* canvas = nullptr;

    Editing() {
        benchpage::MakePage(page);
        canvas = new PageCanvas(&page);
        canvas->edit(bitmaps, {});
        canvas->show();
        // A window paints once the platform has exposed it.
        for (int i = 0; i < 100 && !(canvas->windowHandle() && canvas->windowHandle()->isExposed());
             ++i)
            QApplication::processEvents();
        // A text frame drawn on top, taking the typing.
        PageController& c = *canvas->controller();
        c.SetTool(15);
        c.MouseDown(MouseEvent{{300, 200}, kLeftButton});
        c.MouseMove(MouseEvent{{500, 260}, kLeftButton});
        c.MouseUp(MouseEvent{{500, 260}});
        canvas->repaint();
    }
    ~Editing() { delete canvas; }
    void key(int key, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(canvas, &press);
        canvas->repaint();
    }
};

Editing* g_editing = nullptr;

void BM_KeyPressToRepaintedCanvas(benchmark::State& state) {
    bool type = true;
    for (auto _ : state) {
        // Typing and taking back keeps the text the same length.
        if (type)
            g_editing->key(Qt::Key_A, QStringLiteral("A"));
        else
            g_editing->key(Qt::Key_Backspace, QStringLiteral("\b"));
        type = !type;
    }
}
BENCHMARK(BM_KeyPressToRepaintedCanvas)->Unit(benchmark::kMillisecond);

void BM_PageRedraw(benchmark::State& state) {
    Surface surface(benchpage::kWidth, benchpage::kHeight);
    for (auto _ : state) {
        g_editing->page.DrawPage(surface, false);
        benchmark::DoNotOptimize(surface.Pixels());
    }
}
BENCHMARK(BM_PageRedraw)->Unit(benchmark::kMillisecond);

void BM_CanvasRepaint(benchmark::State& state) {
    g_editing->canvas->setZoom(static_cast<int>(state.range(0)));
    for (auto _ : state)
        g_editing->canvas->repaint();
    g_editing->canvas->setZoom(1);
}
BENCHMARK(BM_CanvasRepaint)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        if (!text.contains(QLatin1String("propagateSizeHints")))
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QApplication app(argc, argv);
    Editing editing;
    g_editing = &editing;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
