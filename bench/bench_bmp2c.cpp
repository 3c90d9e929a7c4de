// bmp2c on the largest pictures a user can hand it, run as a user runs it: lcdtool as a
// child process, its C array written to /dev/null. The pictures are PNG files of a few
// hundred KB: one declaring the largest side the readers accept in both directions, and a
// 64-megapixel camera-sized colour picture. Reported: the wall time (the benchmark's
// time) and the child's peak memory as the counter "peak_MB". The target is under 10 s
// and under 1 GB for any input file.

#include <benchmark/benchmark.h>
#include <png.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "../tests/images/TestImages.h"

extern char** environ;

namespace {

// A PNG of flat colour: tiny on disk, as large as declared once decoded.
bool WriteFlatPng(const std::string& path, int width, int height, bool colour) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, width, height, 8, colour ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<size_t>(width) * (colour ? 3 : 1), 0x40);
    for (int y = 0; y < height; ++y)
        png_write_row(png, row.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

// Runs lcdtool bmp2c on `picture`; false when it could not run. `peakKb` is its peak RSS.
bool RunBmp2c(const std::string& picture, long& peakKb, int& status) {
    std::vector<std::string> args = {LCDTOOL_PATH, "bmp2c", picture, "--size",   "orig",
                                     "--colours",  "256",   "-o",    "/dev/null"};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, LCDTOOL_PATH, nullptr, nullptr, argv.data(), environ) != 0) return false;
    int wstatus = 0;
    rusage usage{};
    if (wait4(pid, &wstatus, 0, &usage) != pid) return false;
    peakKb = usage.ru_maxrss;
    status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    return true;
}

void Bmp2c(benchmark::State& state, int width, int height, bool colour) {
    const testimages::TempDir dir;
    const std::string picture = dir.File("picture.png");
    if (!WriteFlatPng(picture, width, height, colour)) {
        state.SkipWithError("cannot write the picture");
        return;
    }
    long peakKb = 0;
    int status = 0;
    for (auto _ : state) {
        if (!RunBmp2c(picture, peakKb, status)) {
            state.SkipWithError("cannot run lcdtool");
            return;
        }
    }
    state.counters["peak_MB"] = static_cast<double>(peakKb) / 1024;
    state.counters["exit_status"] = status;
}

BENCHMARK_CAPTURE(Bmp2c, LargestSides16384x16384, 16384, 16384, false)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(Bmp2c, Camera64Megapixels, 9248, 6936, true)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

}  // namespace
