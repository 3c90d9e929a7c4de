#pragma once
// GIF pictures (GIF87a and GIF89a): the first image of the file, decoded by our own
// variable-length-code LZW decompressor into an 8-bit picture, with the transparent
// index of a graphic control block and interlaced row order. A damaged stream (a file
// that ends inside the image, a code size outside 2..9, a code beyond the table, rows
// past the picture) fails the read and leaves no picture.

#include "images/CImageImpl.h"

class CImageImplGIF : public CImageImpl {
public:
    // Results of the image decoder.
    static constexpr int kOk = 0;
    static constexpr int kRowsPastPicture = -1;
    static constexpr int kBadCodeSize = -20;
    static constexpr int kCodeOutOfRange = -30;

    bool ReadMemory(std::span<const uint8_t> data) override;
    // The result of the last image decode (kOk, or one of the codes above).
    int LastDecodeResult() const { return m_nDecodeResult; }

private:
    void BuildPalette(const uint8_t* table, int count, int transparent);
    // Decodes the LZW stream of the image's data sub-blocks (`blocks` ends with the empty
    // one).
    int DecodeImage(std::span<const uint8_t> blocks, int codeSize, bool interlaced);

    int m_nDecodeResult = kOk;
};
