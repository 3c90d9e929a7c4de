#include "images/CImageImplJPG.h"

// clang-format off
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

namespace {

// The library buffers the whole picture of a file of many scans for its two-pass
// quantizer, and the file as coefficients: at most 9 bytes a pixel, under 600 MB for the
// largest picture accepted. Beyond this it would need a backing store, which ends the
// read instead.
constexpr long kLibraryMemory = 640L << 20;
// Each scan of a progressive file passes over the whole picture, and a file of a few
// kilobytes can hold thousands of them; the files cameras and editors write have about
// ten. More than this ends the read, which keeps the largest picture under 10 s.
constexpr int kMaxScans = 100;

struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
    longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings are ignored, except the two that mean the data is missing: the library would
// go on with a made-up end of image.
void OnMessage(j_common_ptr cinfo, int level) {
    if (level < 0 &&
        (cinfo->err->msg_code == JWRN_JPEG_EOF || cinfo->err->msg_code == JWRN_HIT_MARKER))
        OnError(cinfo);
}

// Library texts are shown only as the reason a picture cannot be read.
void Silent(j_common_ptr) {}

void OnProgress(j_common_ptr cinfo) {
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) OnError(cinfo);
}

// The library's two-pass quantizer, with its first pass done here. The library keeps the
// whole colour picture between its passes (three bytes a pixel, written and read back)
// and counts the histogram as it goes; here a file of one scan, cheap to decode, is
// decoded once to count the colours and once more to map them, with nothing kept between
// (a progressive file, costly to decode, is left to the library). The colour map is chosen here as
// the library chooses it (median cut of the same histogram, the same splits and rounding), and its
// mapping pass does the rest, so every pixel gets the index it always had.
class ColourMap {
public:
    // The histogram cells: 5 bits of red, 6 of green, 5 of blue; counts stop at 65535.
    static constexpr int kR = 32, kG = 64, kB = 32;

    void Count(const uint8_t* rgb, size_t pixels) {
        for (size_t i = 0; i < pixels; ++i, rgb += 3) {
            uint16_t& cell = m_hist[Cell(rgb[0] >> 3, rgb[1] >> 2, rgb[2] >> 3)];
            cell = static_cast<uint16_t>(cell + (cell != 0xFFFF));
        }
    }

    // Up to `wanted` colours; returns how many.
    int Choose(int wanted, uint8_t* red, uint8_t* green, uint8_t* blue) {
        std::vector<Box> boxes{{0, kR - 1, 0, kG - 1, 0, kB - 1, 0, 0}};
        boxes.reserve(static_cast<size_t>(wanted));
        Shrink(boxes[0]);
        while (static_cast<int>(boxes.size()) < wanted) {
            // By population for the first half of the colours, then by size.
            const bool byCount = static_cast<int>(boxes.size()) * 2 <= wanted;
            Box* b1 = nullptr;
            int64_t best = 0;
            for (Box& b : boxes) {
                const int64_t key = byCount ? (b.volume > 0 ? b.count : 0) : b.volume;
                if (key > best) best = key, b1 = &b;
            }
            if (!b1) break;
            Box b2 = *b1;
            // The longest side in scaled units; ties go to green, then red, then blue.
            const int64_t r = int64_t{b1->r1 - b1->r0} * 8 * 2,
                          g = int64_t{b1->g1 - b1->g0} * 4 * 3, b = int64_t{b1->b1 - b1->b0} * 8;
            int axis = 1;
            int64_t longest = g;
            if (r > longest) longest = r, axis = 0;
            if (b > longest) axis = 2;
            int& lo1 = axis == 0 ? b1->r1 : axis == 1 ? b1->g1 : b1->b1;
            int& lo2 = axis == 0 ? b2.r0 : axis == 1 ? b2.g0 : b2.b0;
            const int half = ((axis == 0 ? b1->r0 : axis == 1 ? b1->g0 : b1->b0) + lo1) / 2;
            lo1 = half;
            lo2 = half + 1;
            Shrink(*b1);
            Shrink(b2);
            boxes.push_back(b2);
        }
        for (size_t i = 0; i < boxes.size(); ++i)
            Mean(boxes[i], red[i], green[i], blue[i]);
        return static_cast<int>(boxes.size());
    }

private:
    struct Box {
        int r0, r1, g0, g1, b0, b1;
        int64_t volume, count;
    };
    static size_t Cell(int r, int g, int b) {
        return (size_t(r) * kG + size_t(g)) * kB + size_t(b);
    }
    uint16_t At(int r, int g, int b) const { return m_hist[Cell(r, g, b)]; }

    bool Used(int r0, int r1, int g0, int g1, int b0, int b1) const {
        for (int r = r0; r <= r1; ++r)
            for (int g = g0; g <= g1; ++g)
                for (int b = b0; b <= b1; ++b)
                    if (At(r, g, b)) return true;
        return false;
    }
    // The box shrunk to its used cells, with its scaled size and the cells used.
    void Shrink(Box& x) const {
        while (x.r0 < x.r1 && !Used(x.r0, x.r0, x.g0, x.g1, x.b0, x.b1))
            ++x.r0;
        while (x.r1 > x.r0 && !Used(x.r1, x.r1, x.g0, x.g1, x.b0, x.b1))
            --x.r1;
        while (x.g0 < x.g1 && !Used(x.r0, x.r1, x.g0, x.g0, x.b0, x.b1))
            ++x.g0;
        while (x.g1 > x.g0 && !Used(x.r0, x.r1, x.g1, x.g1, x.b0, x.b1))
            --x.g1;
        while (x.b0 < x.b1 && !Used(x.r0, x.r1, x.g0, x.g1, x.b0, x.b0))
            ++x.b0;
        while (x.b1 > x.b0 && !Used(x.r0, x.r1, x.g0, x.g1, x.b1, x.b1))
            --x.b1;
        const int64_t dr = int64_t{x.r1 - x.r0} * 8 * 2, dg = int64_t{x.g1 - x.g0} * 4 * 3,
                      db = int64_t{x.b1 - x.b0} * 8;
        x.volume = dr * dr + dg * dg + db * db;
        x.count = 0;
        for (int r = x.r0; r <= x.r1; ++r)
            for (int g = x.g0; g <= x.g1; ++g)
                for (int b = x.b0; b <= x.b1; ++b)
                    x.count += At(r, g, b) != 0;
    }
    // The box's colour: the mean of its cells' centres weighted by their counts, rounded.
    void Mean(const Box& x, uint8_t& red, uint8_t& green, uint8_t& blue) const {
        int64_t total = 0, rs = 0, gs = 0, bs = 0;
        for (int r = x.r0; r <= x.r1; ++r)
            for (int g = x.g0; g <= x.g1; ++g)
                for (int b = x.b0; b <= x.b1; ++b) {
                    const int64_t n = At(r, g, b);
                    total += n;
                    rs += (r * 8 + 4) * n;
                    gs += (g * 4 + 2) * n;
                    bs += (b * 8 + 4) * n;
                }
        red = static_cast<uint8_t>((rs + total / 2) / total);
        green = static_cast<uint8_t>((gs + total / 2) / total);
        blue = static_cast<uint8_t>((bs + total / 2) / total);
    }

    std::vector<uint16_t> m_hist = std::vector<uint16_t>(size_t{kR} * kG * kB, 0);
};

constexpr int kColours = 128;

// One decode of `data`: `setup` sees the header (false: stop, nothing read), `use` the
// started decompressor and reads its rows. False when either says so or the library
// fails, with `why` set then. Nothing with a destructor may live in `use` across a
// library call: a failure leaves it by longjmp (buffers come from the library's pools).
template <typename Setup, typename Use>
bool Decode(std::span<const uint8_t> data, std::string& why, Setup setup, Use use) {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnError;
    err.pub.emit_message = OnMessage;
    err.pub.output_message = Silent;
    if (setjmp(err.jump)) {
        char text[JMSG_LENGTH_MAX] = "";
        err.pub.format_message(reinterpret_cast<j_common_ptr>(&cinfo), text);
        jpeg_destroy_decompress(&cinfo);
        why = std::string("JPEG 解码失败：") + text;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_progress_mgr progress{};
    progress.progress_monitor = OnProgress;
    cinfo.progress = &progress;
    jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    bool ok = setup(cinfo);
    if (ok) {
        cinfo.mem->max_memory_to_use = kLibraryMemory;
        jpeg_start_decompress(&cinfo);
        ok = use(cinfo);
        if (ok) jpeg_finish_decompress(&cinfo);
    }
    jpeg_destroy_decompress(&cinfo);
    return ok;
}

}  // namespace

bool CImageImplJPG::ReadMemory(std::span<const uint8_t> data) {
    Release();
    m_strLimit.clear();
    if (data.empty()) return false;
    // Refuse oversize pictures before the library allocates its buffers.
    const auto sizeOk = [&](const jpeg_decompress_struct& c) {
        return DibFormat::CheckSize(c.image_width, c.image_height, 8, m_strLimit) >= 0;
    };
    // A colour picture of one scan the library gives as RGB has its colours counted first.
    bool grey = false, rgb = false;
    ColourMap counts;
    const bool counted = Decode(
        data, m_strLimit,
        [&](jpeg_decompress_struct& c) {
            grey = c.jpeg_color_space == JCS_GRAYSCALE;
            rgb = !grey && c.out_color_space == JCS_RGB && c.num_components == 3 &&
                  !jpeg_has_multiple_scans(&c);
            return sizeOk(c) && rgb;
        },
        [&](jpeg_decompress_struct& c) {
            // As many rows a call as the library makes at a time.
            const JDIMENSION n = std::max(c.rec_outbuf_height, 1);
            JSAMPARRAY rows = c.mem->alloc_sarray(reinterpret_cast<j_common_ptr>(&c), JPOOL_IMAGE,
                                                  c.output_width * 3, n);
            while (c.output_scanline < c.output_height) {
                const JDIMENSION got = jpeg_read_scanlines(&c, rows, n);
                for (JDIMENSION i = 0; i < got; ++i)
                    counts.Count(rows[i], c.output_width);
            }
            return true;
        });
    if (!counted && (rgb || !m_strLimit.empty())) return false;
    uint8_t map[3][kColours];
    JSAMPROW mapRows[3] = {map[0], map[1], map[2]};
    const int colours = rgb ? counts.Choose(kColours, map[0], map[1], map[2]) : 0;
    const bool made = Decode(
        data, m_strLimit,
        [&](jpeg_decompress_struct& c) {
            if (!grey) {
                c.quantize_colors = TRUE;
                c.desired_number_of_colors = kColours;
            }
            if (rgb) {
                // The library maps to a given map with its second pass alone.
                c.colormap = mapRows;
                c.actual_number_of_colors = colours;
            }
            return sizeOk(c);
        },
        [&](jpeg_decompress_struct& c) {
            if (c.output_components != 1 ||
                !Create(static_cast<int>(c.output_width), static_cast<int>(c.output_height), 8, -1))
                return false;
            if (c.quantize_colors) {
                SetPalette(c.actual_number_of_colors, c.colormap[0], c.colormap[1], c.colormap[2]);
            } else {
                uint8_t ramp[256];
                for (int i = 0; i < 256; ++i)
                    ramp[i] = static_cast<uint8_t>(i);
                SetPalette(256, ramp, nullptr, nullptr);
            }
            JSAMPROW rows[16];
            const int n = std::clamp(c.rec_outbuf_height, 1, 16);
            while (c.output_scanline < c.output_height) {
                const int y = static_cast<int>(c.output_scanline);
                const int k = std::min(n, m_nHeight - y);
                for (int i = 0; i < k; ++i)
                    rows[i] = Row(m_nHeight - 1 - y - i);
                jpeg_read_scanlines(&c, rows, static_cast<JDIMENSION>(k));
            }
            return true;
        });
    if (!made) Release();
    return made;
}
