#pragma once
// JPEG pictures through libjpeg: colour pictures quantized to at most 128 colours as the
// library's two-pass quantizer does it (its defaults otherwise; for a file of one scan the
// first pass is done here, without the copy of the whole picture the library keeps),
// greyscale ones with a grey ramp; an 8-bit picture either way. A file that ends early or whose
// data runs into a marker fails the read.

#include "images/CImageImpl.h"

class CImageImplJPG : public CImageImpl {
public:
    bool ReadMemory(std::span<const uint8_t> data) override;
};
