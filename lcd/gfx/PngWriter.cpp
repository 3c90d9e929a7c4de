#include "gfx/PngWriter.h"

#include <png.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "base/AtomicFile.h"
#include "gfx/Surface.h"

namespace {

// libpng's default reading limit on either side, so every image we write can be read
// back; the pixel count is bounded too so a mistyped zoom cannot run for hours.
constexpr int64_t kMaxSide = 1000000;
constexpr int64_t kMaxPixels = int64_t{1} << 28;

struct PngSink {
    const PngWriter::Sink* sink;
    std::string* error;
    bool failed;
    char message[256];
};

void OnWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    if (!(*sink->sink)({data, length}, *sink->error)) {
        sink->failed = true;
        png_error(png, "write");
    }
}

void OnFlush(png_structp) {}

void OnError(png_structp png, png_const_charp text) {
    auto* sink = static_cast<PngSink*>(png_get_error_ptr(png));
    std::strncpy(sink->message, text ? text : "", sizeof sink->message - 1);
    sink->message[sizeof sink->message - 1] = '\0';
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Encodes row by row into the sink. Kept free of objects with destructors between setjmp and the
// end, since an error leaves through longjmp.
bool EncodeRows(const Surface& surface, int zoom, uint8_t* row, PngSink* sink, bool quick) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, sink, OnError, OnWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, sink, OnWrite, OnFlush);
    if (quick) {
        png_set_compression_level(png, 1);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    }
    const int w = surface.Width(), h = surface.Height();
    const png_uint_32 outW = static_cast<png_uint_32>(w) * static_cast<png_uint_32>(zoom);
    const png_uint_32 outH = static_cast<png_uint_32>(h) * static_cast<png_uint_32>(zoom);
    png_set_IHDR(png, info, outW, outH, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const uint32_t* pixels = surface.Pixels();
    for (int y = 0; y < h; ++y) {
        uint8_t* p = row;
        for (int x = 0; x < w; ++x) {
            const uint32_t v = pixels[static_cast<size_t>(y) * w + x];
            for (int k = 0; k < zoom; ++k) {
                *p++ = static_cast<uint8_t>(v >> 16);
                *p++ = static_cast<uint8_t>(v >> 8);
                *p++ = static_cast<uint8_t>(v);
            }
        }
        for (int k = 0; k < zoom; ++k)
            png_write_row(png, row);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

std::string PngWriter::CheckSize(int64_t w, int64_t h, int zoom) {
    if (zoom < 1) return "图像放大倍数无效：" + std::to_string(zoom);
    if (w * zoom > kMaxSide || h * zoom > kMaxSide || w * h * zoom * zoom > kMaxPixels) {
        return "图像过大：" + std::to_string(w) + "*" + std::to_string(h) + " 点放大 " +
               std::to_string(zoom) + " 倍超过 PNG 图像的上限（每边最多 " +
               std::to_string(kMaxSide) + " 点，共最多 " + std::to_string(kMaxPixels) + " 点）";
    }
    return "";
}

bool PngWriter::Encode(const Surface& surface, int zoom, const Sink& sink, std::string& error,
                       bool quick) {
    const int64_t w = surface.Width(), h = surface.Height();
    if (w <= 0 || h <= 0) {
        error = "图像为空，无法保存";
        return false;
    }
    if (error = CheckSize(w, h, zoom); !error.empty()) return false;
    std::vector<uint8_t> row(static_cast<size_t>(w) * zoom * 3);
    PngSink state{&sink, &error, false, {}};
    if (!EncodeRows(surface, zoom, row.data(), &state, quick)) {
        if (!state.failed) error = std::string("PNG 编码失败：") + state.message;
        return false;
    }
    return true;
}

bool PngWriter::Write(const Surface& surface, const std::string& path, int zoom,
                      std::string& error) {
    AtomicFile::Writer file;
    const Sink sink = [&](std::span<const uint8_t> bytes, std::string& e) {
        return file.Append(bytes, e);
    };
    return file.Open(path, error) && Encode(surface, zoom, sink, error) && file.Commit(error);
}
