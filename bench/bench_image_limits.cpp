// Each image reader on the heaviest files it accepts: pictures at the 67108864-pixel
// limit (8192 x 8192) whose data touches every pixel, in the reader's costliest form, and
// the small files that declare more. Each case decodes the file from disk in a child
// process and reports its processor time (user and system; "wall_s" is the elapsed time,
// longer on a busy machine) and the peak memory the decoding added ("peak_MiB", the
// mapped file included). The goal is under 10 s and 1 GB for every case.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <random>

#include "../tests/images/TestImages.h"
#include "images/CImageObject.h"

namespace {

using namespace testimages;

constexpr int kSide = 8192;

// Writes the file `name` through `write` once, into a folder kept for the whole run.
std::string Make(const std::string& name, const std::function<void(std::FILE*)>& write) {
    static TempDir dir;
    const std::string path = dir.File(name);
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        write(f);
        std::fclose(f);
    }
    return path;
}

void Put(std::FILE* f, const Bytes& b) {
    std::fwrite(b.data(), 1, b.size(), f);
}

// 8 bits, run-length: every row as literal runs of random indices.
void Rle8(std::FILE* f) {
    std::mt19937 rng(1);
    Bytes codes;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; x += 254) {
            const int n = std::min(254, kSide - x);
            codes.insert(codes.end(), {0, uint8_t(n)});
            for (int i = 0; i < n; ++i)
                codes.push_back(uint8_t(rng()));
        }
        codes.insert(codes.end(), {0, uint8_t(y + 1 < kSide ? 0 : 1)});
    }
    Put(f, MakeBmp(BmpSpec{kSide, kSide, 8, 1, 0, Bytes(1024, 7), codes}));
}

// 32 bits with 10-bit bit fields, the widening path: 256 MB of pixels.
void Bitfields32(std::FILE* f) {
    Bytes masks;
    for (uint32_t m : {0x3FF00000u, 0xFFC00u, 0x3FFu})
        Put32(masks, m);
    Bytes head = MakeBmp(BmpSpec{kSide, kSide, 32, 3, 0, masks, {}});
    Put(f, head);
    Bytes row(size_t{kSide} * 4);
    for (int y = 0; y < kSide; ++y) {
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = uint8_t(i * 7 + y);
        Put(f, row);
    }
}

// 8 bits, every pixel its own code: a clear code before the table grows past 9 bits.
void GifLiterals(std::FILE* f) {
    GifSpec s;
    s.width = s.height = kSide;
    s.globalTable = Bytes(768, 5);
    s.useCodes = true;
    Bytes gif = MakeGif(s);
    gif.resize(gif.size() - 2);  // the empty data and the end: the stream follows
    Put(f, gif);
    Bytes block = {0};
    uint32_t acc = 0;
    int bits = 0, sinceClear = 254;
    std::mt19937 rng(2);
    const auto emit = [&](int code) {
        acc |= uint32_t(code) << bits;
        for (bits += 9; bits >= 8; bits -= 8, acc >>= 8) {
            block.push_back(uint8_t(acc));
            if (block.size() == 256) {
                block[0] = 255;
                Put(f, block);
                block = {0};
            }
        }
    };
    for (int64_t i = 0; i < int64_t{kSide} * kSide; ++i, ++sinceClear) {
        if (sinceClear == 254) emit(256), sinceClear = 0;
        emit(int(rng() & 255));
    }
    emit(257);
    emit(0);  // flushes the last bits
    block[0] = uint8_t(block.size() - 1);
    Put(f, block);
    Put(f, {0, 0x3B});
}

// The 35-byte file that declares a 16000 x 16000 screen and gives one pixel.
void GifHugeScreen(std::FILE* f) {
    GifSpec s;
    s.width = s.height = 16000;
    s.minCodeSize = 2;
    s.globalTable = Bytes(6, 0);
    s.useCodes = true;
    s.codes = PackCodes({{4, 3}, {1, 3}, {5, 3}});
    Put(f, MakeGif(s));
}

// Interlaced 16-bit RGBA with varying alpha: reduction, compositing and seven passes.
void PngRgba16(std::FILE* f) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_set_compression_level(png, 1);
    png_set_IHDR(png, info, kSide, kSide, 16, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_ADAM7,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    Bytes row(size_t{kSide} * 8);
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < kSide; ++y) {
            for (size_t i = 0; i < row.size(); ++i)
                row[i] = uint8_t((i * 13 + y * 3) >> (i % 8 == 6 ? 4 : 0));
            png_write_row(png, row.data());
        }
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
}

// Progressive colour without subsampling; `scans` 0 takes the library's script. Else a
// flat picture, so the file stays small while every scan still passes over the whole
// picture: `scans` > 0 gives one DC scan and 3 x (scans - 1) / 3 bands of AC coefficients;
// -1 gives every coefficient in all 11 successive-approximation scans (44 scans, each
// refinement scan visiting every coefficient of every block), -2 the same with
// arithmetic coding.
void Jpeg(std::FILE* f, int scans) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = cinfo.image_height = kSide;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    for (int c = 0; c < 3; ++c)
        cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    std::vector<jpeg_scan_info> script;
    const int bands = (scans - 1) / 3;
    cinfo.arith_code = scans == -2;
    for (int al = 10; scans < 0 && al >= 0; --al) {
        script.push_back({3, {0, 1, 2}, 0, 0, al == 10 ? 0 : al + 1, al});
        for (int c = 0; c < 3; ++c)
            script.push_back({1, {c}, 1, 63, al == 10 ? 0 : al + 1, al});
    }
    for (int c = -1; c < 3 && scans > 0; ++c) {
        for (int b = 0; b < (c < 0 ? 1 : bands); ++b)
            script.push_back(
                c < 0 ? jpeg_scan_info{3, {0, 1, 2}, 0, 0, 0, 0}
                      : jpeg_scan_info{1, {c}, 1 + 63 * b / bands, 63 * (b + 1) / bands, 0, 0});
    }
    if (scans) {
        cinfo.scan_info = script.data();
        cinfo.num_scans = int(script.size());
    } else {
        jpeg_simple_progression(&cinfo);
    }
    jpeg_start_compress(&cinfo, TRUE);
    Bytes row(size_t{kSide} * 3);
    std::mt19937 rng(3);
    while (cinfo.next_scanline < cinfo.image_height) {
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = uint8_t(scans ? 90 : (i / 3 + cinfo.next_scanline) / 32 * 5 + rng() % 16);
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&cinfo, &p, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
}

// Decodes `path` in a child; reports the child's time and added peak memory.
void Decode(benchmark::State& state, const std::string& path, bool accepted) {
    for (auto _ : state) {
        int fds[2];
        if (pipe(fds) != 0) return state.SkipWithError("pipe");
        const pid_t pid = fork();
        if (pid == 0) {
            rusage before{}, after{};
            getrusage(RUSAGE_SELF, &before);
            const auto start = std::chrono::steady_clock::now();
            CImageObject image(path, -1);
            const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
            getrusage(RUSAGE_SELF, &after);
            const auto seconds = [](const timeval& t) {
                return double(t.tv_sec) + t.tv_usec / 1e6;
            };
            const double report[4] = {seconds(after.ru_utime) + seconds(after.ru_stime) -
                                          seconds(before.ru_utime) - seconds(before.ru_stime),
                                      (after.ru_maxrss - before.ru_maxrss) / 1024.0,
                                      double(image.GetWidth() > 0), wall.count()};
            (void)!write(fds[1], report, sizeof report);
            _exit(0);
        }
        close(fds[1]);
        double report[4] = {-1, -1, -1, -1};
        const bool got = read(fds[0], report, sizeof report) == sizeof report;
        close(fds[0]);
        waitpid(pid, nullptr, 0);
        if (!got || (report[2] != 0) != accepted) return state.SkipWithError("unexpected result");
        state.SetIterationTime(report[0]);
        state.counters["peak_MiB"] = report[1];
        state.counters["wall_s"] = report[3];
    }
}

#define LIMIT_CASE(name, file, writer, accepted)            \
    void BM_##name(benchmark::State& state) {               \
        static const std::string path = Make(file, writer); \
        Decode(state, path, accepted);                      \
    }                                                       \
    BENCHMARK(BM_##name)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime()

// clang-format off
LIMIT_CASE(BmpRle8AtTheLimit, "rle8.bmp", Rle8, true);
LIMIT_CASE(BmpBitfields32AtTheLimit, "bitfields32.bmp", Bitfields32, true);
LIMIT_CASE(GifAtTheLimit, "literals.gif", GifLiterals, true);
LIMIT_CASE(GifHugeScreen, "huge.gif", GifHugeScreen, false);
LIMIT_CASE(PngRgba16InterlacedAtTheLimit, "rgba16.png", PngRgba16, true);
LIMIT_CASE(JpegProgressive444AtTheLimit, "progressive.jpg", [](std::FILE* f) { Jpeg(f, 0); }, true);
LIMIT_CASE(JpegRefinementScansAtTheLimit, "refine.jpg", [](std::FILE* f) { Jpeg(f, -1); }, true);
LIMIT_CASE(JpegArithmeticRefinementAtTheLimit, "arith.jpg", [](std::FILE* f) { Jpeg(f, -2); }, true);
LIMIT_CASE(Jpeg100ScansAtTheLimit, "scans100.jpg", [](std::FILE* f) { Jpeg(f, 100); }, true);
LIMIT_CASE(Jpeg103ScansAtTheLimit, "scans103.jpg", [](std::FILE* f) { Jpeg(f, 103); }, false);
// clang-format on

}  // namespace
