#pragma once
// The lcdsim program: `run` executes stream files, `serve` executes what a pseudo-terminal
// or the CAN adapter emulator delivers. Exit status 0, or 1 with one line on stderr.

#include <cstdint>

int LcdSimMain(int argc, char** argv);

// How many frames --frames writes at most: a count, the pixels encoded and the bytes
// written (some seconds of encoding). A stream of frame commands after one large bitmap
// would otherwise write for hours.
class FrameBudget {
public:
    FrameBudget(int frames = 10000, int64_t pixels = int64_t{512} << 20,
                int64_t bytes = int64_t{128} << 20)
        : m_frames(frames), m_pixels(pixels), m_bytes(bytes) {}
    // True when a frame of `pixels` may be written (and counts it); false from the first
    // one that may not.
    bool Take(int64_t pixels);
    void Wrote(int64_t bytes) { m_bytes -= bytes; }
    bool Spent() const { return m_spent; }

private:
    int m_frames;
    int64_t m_pixels, m_bytes;
    bool m_spent = false;
};
