#pragma once
// Small pictures made in the tests themselves: BMP files from their fields, GIF files
// through a plain LZW encoder (or from hand-picked code sequences), PNG and JPEG files
// through the libraries. Shared by the image tests and the image benchmark.

// clang-format off
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
// clang-format on
#include <png.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/Messenger.h"

namespace testimages {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline bool WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}
inline Bytes ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), {});
}

// A BMP file: 14-byte file header, 40-byte info header, colour table (blue, green, red, 0
// each) and the pixel rows as given (bottom-up unless height < 0).
struct BmpSpec {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    Bytes table;   // already 4 bytes per entry
    Bytes pixels;  // already padded rows
    bool fileHeader = true;
};
inline Bytes MakeBmp(const BmpSpec& s) {
    Bytes b;
    const uint32_t offset = (s.fileHeader ? 14 : 0) + 40 + static_cast<uint32_t>(s.table.size());
    if (s.fileHeader) {
        b.push_back('B');
        b.push_back('M');
        Put32(b, offset + static_cast<uint32_t>(s.pixels.size()));
        Put32(b, 0);
        Put32(b, offset);
    }
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(s.width));
    Put32(b, static_cast<uint32_t>(s.height));
    Put16(b, 1);
    Put16(b, s.bits);
    Put32(b, s.compression);
    Put32(b, static_cast<uint32_t>(s.pixels.size()));
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, s.coloursUsed);
    Put32(b, 0);
    b.insert(b.end(), s.table.begin(), s.table.end());
    b.insert(b.end(), s.pixels.begin(), s.pixels.end());
    return b;
}

// 24-bit rows from top-down RGB triples.
inline Bytes Rows24(int width, int height, const std::vector<uint32_t>& rgbTopDown) {
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    Bytes out(rowBytes * height, 0);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = out.data() + (height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const uint32_t c = rgbTopDown[static_cast<size_t>(y) * width + x];
            row[3 * x] = static_cast<uint8_t>(c);
            row[3 * x + 1] = static_cast<uint8_t>(c >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(c >> 16);
        }
    }
    return out;
}

// Packs GIF codes least significant bit first: (code, width) pairs.
inline Bytes PackCodes(const std::vector<std::pair<int, int>>& codes) {
    Bytes out;
    uint32_t acc = 0;
    int n = 0;
    for (auto [code, width] : codes) {
        acc |= static_cast<uint32_t>(code) << n;
        n += width;
        while (n >= 8) {
            out.push_back(static_cast<uint8_t>(acc));
            acc >>= 8;
            n -= 8;
        }
    }
    if (n > 0) out.push_back(static_cast<uint8_t>(acc));
    return out;
}

// LZW codes of `pixels` as GIF writes them: a clear code first, the table reset with a
// clear code whenever it fills (or, with `deferredClear`, kept full and no longer
// extended), the end code last.
inline Bytes LzwEncode(const Bytes& pixels, int minCodeSize, bool deferredClear = false) {
    const int clear = 1 << minCodeSize, end = clear + 1;
    std::vector<std::pair<int, int>> codes;
    int width = minCodeSize + 1, next = clear + 2;
    std::unordered_map<uint32_t, int> dict;
    dict.reserve(8192);
    codes.push_back({clear, width});
    if (pixels.empty()) {
        codes.push_back({end, width});
        return PackCodes(codes);
    }
    int prefix = pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        const uint32_t key = (static_cast<uint32_t>(prefix) << 8) | pixels[i];
        const auto it = dict.find(key);
        if (it != dict.end()) {
            prefix = it->second;
            continue;
        }
        codes.push_back({prefix, width});
        prefix = pixels[i];
        if (next == 4096) continue;  // full and kept: no more entries
        dict.emplace(key, next++);
        if (next > (1 << width) && width < 12) ++width;
        if (next == 4096 && !deferredClear) {
            codes.push_back({clear, width});
            dict.clear();
            width = minCodeSize + 1;
            next = clear + 2;
        }
    }
    codes.push_back({prefix, width});
    codes.push_back({end, width});
    return PackCodes(codes);
}

// The rows of an interlaced GIF in the order they are stored.
inline Bytes InterlaceRows(const Bytes& pixels, int width, int height) {
    Bytes out;
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = start[pass]; y < height; y += step[pass])
            out.insert(out.end(), pixels.begin() + static_cast<std::ptrdiff_t>(y) * width,
                       pixels.begin() + static_cast<std::ptrdiff_t>(y + 1) * width);
    }
    return out;
}

struct GifSpec {
    int width = 0;
    int height = 0;
    Bytes globalTable;  // RGB triples; size a power of two >= 2, or empty
    Bytes localTable;   // RGB triples, or empty
    int transparent = -1;
    bool interlaced = false;
    int minCodeSize = 8;
    Bytes indices;  // top-down; encoded with LzwEncode unless `codes` is given
    Bytes codes;    // a raw LZW stream
    bool useCodes = false;
    bool deferredClear = false;
};

inline int TableBits(size_t entries) {
    int bits = 0;
    while ((2u << bits) < entries)
        ++bits;
    return bits;
}

inline Bytes MakeGif(const GifSpec& s) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    Put16(b, static_cast<uint32_t>(s.width));
    Put16(b, static_cast<uint32_t>(s.height));
    const size_t globalEntries = s.globalTable.size() / 3;
    b.push_back(globalEntries ? static_cast<uint8_t>(0x80 | 0x70 | TableBits(globalEntries))
                              : 0x70);
    b.push_back(0);
    b.push_back(0);
    b.insert(b.end(), s.globalTable.begin(), s.globalTable.end());
    if (s.transparent >= 0) {
        b.insert(b.end(),
                 {0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, static_cast<uint8_t>(s.transparent), 0x00});
    }
    b.push_back(0x2C);
    Put16(b, 0);
    Put16(b, 0);
    Put16(b, static_cast<uint32_t>(s.width));
    Put16(b, static_cast<uint32_t>(s.height));
    const size_t localEntries = s.localTable.size() / 3;
    uint8_t packed = s.interlaced ? 0x40 : 0;
    if (localEntries) packed |= static_cast<uint8_t>(0x80 | TableBits(localEntries));
    b.push_back(packed);
    b.insert(b.end(), s.localTable.begin(), s.localTable.end());
    b.push_back(static_cast<uint8_t>(s.minCodeSize));
    const Bytes data =
        s.useCodes
            ? s.codes
            : LzwEncode(s.interlaced ? InterlaceRows(s.indices, s.width, s.height) : s.indices,
                        s.minCodeSize);
    for (size_t i = 0; i < data.size(); i += 255) {
        const size_t n = std::min<size_t>(255, data.size() - i);
        b.push_back(static_cast<uint8_t>(n));
        b.insert(b.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                 data.begin() + static_cast<std::ptrdiff_t>(i + n));
    }
    b.push_back(0);
    b.push_back(0x3B);
    return b;
}

// A PNG through libpng; `rows` are top-down in the layout of the colour type and depth.
struct PngSpec {
    int width = 0;
    int height = 0;
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<png_color> palette;
    Bytes trns;                     // palette alpha
    std::vector<png_color_16> key;  // the transparent grey or colour, at most one
    std::vector<Bytes> rows;
};
inline bool WritePng(const std::string& path, const PngSpec& s) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(s.width), static_cast<png_uint_32>(s.height),
                 s.bitDepth, s.colourType, s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!s.palette.empty())
        png_set_PLTE(png, info, s.palette.data(), static_cast<int>(s.palette.size()));
    if (!s.trns.empty())
        png_set_tRNS(png, info, s.trns.data(), static_cast<int>(s.trns.size()), nullptr);
    if (!s.key.empty()) png_set_tRNS(png, info, nullptr, 0, s.key.data());
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (const Bytes& r : s.rows)
        rows.push_back(const_cast<png_bytep>(r.data()));
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

// A baseline JPEG through libjpeg from top-down samples (RGB triples or grey bytes).
inline bool WriteJpeg(const std::string& path, int width, int height, int components,
                      const Bytes& samples, int quality = 90) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(
            samples.data() + static_cast<size_t>(cinfo.next_scanline) * width * components);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(f) == 0;
}

// Peak resident memory `decode` adds, in MiB, measured in a child process; `loaded` is
// what it returned. -1 when the child could not report.
template <class Decode>
long PeakMiB(Decode decode, bool& loaded) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        const char ok = decode() ? 1 : 0;
        getrusage(RUSAGE_SELF, &after);
        const long grown = (after.ru_maxrss - before.ru_maxrss) / 1024;
        (void)!write(fds[1], &ok, 1);
        (void)!write(fds[1], &grown, sizeof grown);
        _exit(0);
    }
    close(fds[1]);
    char ok = 0;
    long grown = -1;
    const bool got = read(fds[0], &ok, 1) == 1 &&
                     read(fds[0], &grown, sizeof grown) == static_cast<ssize_t>(sizeof grown);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    loaded = ok != 0;
    return got ? grown : -1;
}

// A private folder removed with everything in it.
class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/lcd-images-test-XXXXXX";
        if (mkdtemp(tmpl)) m_path = tmpl;
    }
    ~TempDir() {
        std::error_code ec;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
    }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// Records every message instead of showing it, while it lives.
class MessageRecorder : public Messenger {
public:
    void Tell(const std::string& text, const std::string& caption) override {
        messages.push_back(text);
        captions.push_back(caption);
    }
    Answer Ask(const std::string& text, const std::string& caption, Buttons) override {
        Tell(text, caption);
        return Answer::No;
    }
    std::vector<std::string> messages;
    std::vector<std::string> captions;
};

}  // namespace testimages
