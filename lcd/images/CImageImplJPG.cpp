#include "images/CImageImplJPG.h"

// clang-format off
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

namespace {

// The library buffers the whole picture for its two-pass quantizer, and a file of many
// scans as coefficients: at most 9 bytes a pixel, under 600 MB for the largest picture
// accepted. Beyond this it would need a backing store, which ends the read instead.
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

}  // namespace

bool CImageImplJPG::ReadMemory(std::span<const uint8_t> data) {
    Release();
    m_strLimit.clear();
    if (data.empty()) return false;
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
        Release();
        m_strLimit = std::string("JPEG 解码失败：") + text;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_progress_mgr progress{};
    progress.progress_monitor = OnProgress;
    cinfo.progress = &progress;
    jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.jpeg_color_space != JCS_GRAYSCALE) {
        cinfo.quantize_colors = TRUE;
        cinfo.desired_number_of_colors = 128;
    }
    // Refuse oversize pictures before the library allocates its buffers.
    if (DibFormat::CheckSize(cinfo.image_width, cinfo.image_height, 8, m_strLimit) < 0) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.mem->max_memory_to_use = kLibraryMemory;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 1 || !Create(static_cast<int>(cinfo.output_width),
                                                static_cast<int>(cinfo.output_height), 8, -1)) {
        jpeg_destroy_decompress(&cinfo);
        Release();
        return false;
    }
    if (cinfo.quantize_colors) {
        SetPalette(cinfo.actual_number_of_colors, cinfo.colormap[0], cinfo.colormap[1],
                   cinfo.colormap[2]);
    } else {
        uint8_t ramp[256];
        for (int i = 0; i < 256; ++i)
            ramp[i] = static_cast<uint8_t>(i);
        SetPalette(256, ramp, nullptr, nullptr);
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = Row(m_nHeight - 1 - static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}
