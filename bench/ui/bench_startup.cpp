// From start to the demo project's pages shown: a main window, the project opened and
// every page window painted. The first run pays for fonts, icons and the style; later
// runs show what opening costs once the program is up.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "app/Startup.h"
#include "ui/MainWindow.h"
#include "ui/PageWindow.h"

namespace {

QString g_project;

void StartAndShowDemo() {
    MainWindow window;
    window.show();
    Startup::OpenArguments(window, {g_project});
    for (PageWindow* page : window.pageWindows())
        page->repaint();
    QApplication::processEvents();
    benchmark::DoNotOptimize(window.pageWindows().size());
}

void BM_FirstStartToDemoShown(benchmark::State& state) {
    for (auto _ : state)
        StartAndShowDemo();
}
BENCHMARK(BM_FirstStartToDemoShown)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_StartToDemoShown(benchmark::State& state) {
    for (auto _ : state)
        StartAndShowDemo();
}
BENCHMARK(BM_StartToDemoShown)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform says for every window that it keeps no size hints.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        if (!text.contains(QLatin1String("propagateSizeHints")))
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QApplication app(argc, argv);
    // A copy, since closing the window writes the project file back.
    QTemporaryDir dir;
    const QDir demo(QStringLiteral(LCD_EXAMPLES "/demo"));
    for (const QString& name : demo.entryList(QDir::Files))
        QFile::copy(demo.filePath(name), dir.filePath(name));
    g_project = dir.filePath(QStringLiteral("demo.zkp"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
