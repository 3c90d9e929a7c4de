#pragma once
// Writes a Surface to a PNG file through libpng.

#include <string>

class Surface;

class PngWriter {
public:
    // Each module pixel becomes zoom x zoom pixels of the image. Writes through a
    // temporary file renamed over `path`; on failure nothing is left behind, false is
    // returned and `error` says why.
    static bool Write(const Surface& surface, const std::string& path, int zoom, std::string& error);
};
