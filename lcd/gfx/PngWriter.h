#pragma once
// Writes a Surface to a PNG file through libpng.

#include <cstdint>
#include <functional>
#include <span>
#include <string>

class Surface;

class PngWriter {
public:
    // Takes the encoded bytes piece by piece; false stops the encoding (its `error` then
    // says why).
    using Sink = std::function<bool(std::span<const uint8_t>, std::string& error)>;

    // Each module pixel becomes zoom x zoom pixels of the image. Writes through a
    // temporary file renamed over `path`; on failure nothing is left behind, false is
    // returned and `error` says why.
    static bool Write(const Surface& surface, const std::string& path, int zoom,
                      std::string& error);
    // Why an image of width x height module pixels cannot be written at `zoom` ("" when it
    // can): a side or the pixel count over PNG's limits, or a zoom below 1.
    static std::string CheckSize(int64_t width, int64_t height, int zoom);
    // The same image handed to `sink` as it is encoded, never held whole. `quick` trades
    // size for speed (zlib's fastest level, one filter): for series of frames, where a
    // screen of noise would otherwise cost seconds each.
    static bool Encode(const Surface& surface, int zoom, const Sink& sink, std::string& error,
                       bool quick = false);
};
