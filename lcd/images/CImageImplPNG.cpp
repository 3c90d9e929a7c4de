#include "images/CImageImplPNG.h"

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Source {
    const uint8_t* p;
    size_t left;
    size_t budget = SIZE_MAX;  // what libpng may still take
};

void ReadData(png_structp png, png_bytep out, png_size_t n) {
    auto* src = static_cast<Source*>(png_get_io_ptr(png));
    if (n > src->left || n > src->budget) png_error(png, "truncated");
    std::memcpy(out, src->p, n);
    src->p += n;
    src->left -= n;
    if (src->budget != SIZE_MAX) src->budget -= n;
}

// The library's reason is kept for the message that the picture cannot be read.
struct Reason {
    char text[128];
};

[[noreturn]] void OnError(png_structp png, png_const_charp text) {
    auto* reason = static_cast<Reason*>(png_get_error_ptr(png));
    std::snprintf(reason->text, sizeof reason->text, "%s", text ? text : "");
    png_longjmp(png, 1);
}

// Warnings are never shown to the user.
void OnWarning(png_structp, png_const_charp) {}

}  // namespace

bool CImageImplPNG::ReadMemory(std::span<const uint8_t> data) {
    Release();
    m_strLimit.clear();
    if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0) return false;
    // The header chunk comes first: refuse oversize pictures with their size.
    if (data.size() >= 24) {
        const uint8_t* ihdr = data.data() + 16;
        const int64_t width = (int64_t{ihdr[0]} << 24) | (ihdr[1] << 16) | (ihdr[2] << 8) | ihdr[3];
        const int64_t height =
            (int64_t{ihdr[4]} << 24) | (ihdr[5] << 16) | (ihdr[6] << 8) | ihdr[7];
        if (DibFormat::CheckSize(width, height, 8, m_strLimit) < 0 && !m_strLimit.empty())
            return false;
    }
    Reason reason{};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reason, OnError, OnWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    Source src{data.data(), data.size()};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        Release();
        m_strLimit = std::string("PNG 解码失败：") + reason.text;
        return false;
    }
    png_set_read_fn(png, &src, ReadData);
    png_set_user_limits(png, DibFormat::kMaxSide, DibFormat::kMaxSide);
    // libpng sizes the buffer of these ancillary chunks from their declared length before
    // reading them, so a file of a few bytes could ask for gigabytes. The picture needs
    // none of them: they are skipped unread.
    static const png_byte kSkipped[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0pCAL\0sCAL\0eXIf";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kSkipped, sizeof kSkipped / 5);
    png_read_info(png, info);
    const int colourType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);

    png_color_16 background{};
    background.red = 31;
    background.green = 127;
    background.blue = 255;
    png_set_background(png, &background, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
    if (bitDepth == 16) png_set_strip_16(png);
    // Grey of 1, 2 and 4 bits is widened to 8 before compositing, its transparent grey
    // value with it (libpng would otherwise compare the widened pixels with the narrow
    // value and composite none of them), so every grey depth treats transparency alike.
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) {
        if (png_get_valid(png, info, PNG_INFO_tRNS))
            png_set_tRNS_to_alpha(png);
        else
            png_set_expand_gray_1_2_4_to_8(png);
    }
    if (colourType == PNG_COLOR_TYPE_PALETTE && bitDepth == 2) png_set_packing(png);
    png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const int depth = png_get_bit_depth(png, info) * png_get_channels(png, info);
    const int width = static_cast<int>(png_get_image_width(png, info));
    const int height = static_cast<int>(png_get_image_height(png, info));
    const bool usable = depth == 1 || depth == 4 || depth == 8 || depth == 24;
    if (!usable ||
        png_get_rowbytes(png, info) > static_cast<size_t>(DibFormat::RowBytes(depth, width)) ||
        !Create(width, height, depth, colourType)) {
        png_destroy_read_struct(&png, &info, nullptr);
        Release();
        return false;
    }
    png_colorp palette = nullptr;
    int entries = 0;
    if (colourType == PNG_COLOR_TYPE_PALETTE &&
        png_get_PLTE(png, info, &palette, &entries) == PNG_INFO_PLTE) {
        static_assert(sizeof(png_color) == 3);
        SetPalette(entries, reinterpret_cast<const uint8_t*>(palette));
    } else if (depth == 8) {
        uint8_t ramp[256];
        for (int i = 0; i < 256; ++i)
            ramp[i] = static_cast<uint8_t>(i);
        SetPalette(256, ramp, nullptr, nullptr);
    }
    // Each pass adds its pixels to the rows already in the picture. While it reads the
    // last row, libpng inflates whatever compressed data follows the picture into nothing,
    // and a few hundred kilobytes can stand for gigabytes: the last row may take its own
    // data and a little more, and a file that holds more is refused.
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < m_nHeight; ++y) {
            if (pass == passes - 1 && y == m_nHeight - 1)
                src.budget = 4 * png_get_rowbytes(png, info) + 65536;
            png_read_row(png, Row(m_nHeight - 1 - y), nullptr);
        }
    }
    src.budget = SIZE_MAX;
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}
