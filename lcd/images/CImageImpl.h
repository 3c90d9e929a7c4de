#pragma once
// A decoded picture as a device-independent bitmap with its palette: the 40-byte header,
// a colour table (2^bits entries for depths up to 8), and bottom-up pixel rows padded to
// 4 bytes (the first row of the picture is the last row in memory). The per-format
// classes derive from it and add only reading and writing.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/Colour.h"
#include "images/DibBuffer.h"
#include "images/DibFormat.h"

class Messenger;

class CImageImpl {
public:
    using Palette = std::vector<COLORREF>;
    // Bits of m_nFlags.
    static constexpr int kFlagPaletteIndices = 1;
    static constexpr int kFlagColour = 2;

    CImageImpl() = default;
    virtual ~CImageImpl();
    CImageImpl(const CImageImpl&) = delete;
    CImageImpl& operator=(const CImageImpl&) = delete;

    // 0 <= x < width and 0 <= y < height.
    virtual bool IsInside(int x, int y) const;
    // A zero-filled picture; false (with no picture left) for sizes that make no sense,
    // sizes over the limits (LimitMessage() then says so) or missing memory.
    virtual bool Create(int width, int height, int bits, int flags);
    // The palette index at (x, y), y counted from the bottom row; -1 outside or for
    // pictures deeper than 8 bits.
    virtual int GetIndex(int x, int y) const;
    // The colour at (x, y), y counted from the bottom row (palette pictures through the
    // colour table, which holds the palette); black outside.
    virtual COLORREF GetRGB(int x, int y) const;
    virtual bool SetIndex(int x, int y, int index);
    // Stores the nearest palette colour for palette pictures, else the colour itself.
    virtual bool SetRGB(int x, int y, uint8_t r, uint8_t g, uint8_t b);
    // Maps the file and decodes it with ReadMemory.
    virtual bool Read(const std::string& path);
    // Writes the picture to `path`; the base class cannot.
    virtual bool Write(const std::string& path);
    // Decodes a picture held in memory; the base class cannot.
    virtual bool ReadMemory(std::span<const uint8_t> data);

    // The three palette forms. Each sets the palette, flags bits 0 and 1 and fills the
    // colour table with the palette's colours. Counts are limited to 256. Table entries
    // past the palette become black: only a damaged file has pixels with such indices,
    // and the default table's bright colours would pass the damage off as picture.
    void SetPalette(const Palette& palette);
    // `rgb` holds count red, green, blue triples.
    void SetPalette(int count, const uint8_t* rgb);
    // A missing green array means the red one, a missing blue array the green one.
    void SetPalette(int count, const uint8_t* red, const uint8_t* green, const uint8_t* blue);
    const Palette* GetPalette() const { return imagePalette.get(); }
    // Where a second triple-form palette is reported (not owned; null: nowhere).
    void SetMessenger(Messenger* messenger) { m_pMessenger = messenger; }

    // Takes the picture, palette and state of `other`, which is left empty.
    void TakeOver(CImageImpl& other);
    // Turns a 1- or 4-bit picture into an 8-bit one with the same colours.
    bool WidenTo8Bits();
    void Release();

    bool HasDib() const { return !m_bits.Empty(); }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetBitCount() const { return m_nBitCount; }
    int GetFlags() const { return m_nFlags; }
    int GetRowBytes() const { return m_nRowBytes; }
    int GetTransparent() const { return m_nTransparent; }
    const BitmapInfoHeader& Header() const { return m_header; }
    std::span<const RgbQuad> ColourTable() const { return m_table; }
    uint8_t* Bits() { return m_bits.Data(); }
    const uint8_t* Bits() const { return m_bits.Data(); }
    size_t ImageBytes() const { return m_bits.Size(); }
    // Memory row y (0 = the bottom row of the picture).
    uint8_t* Row(int y) { return m_bits.Data() + static_cast<size_t>(y) * m_nRowBytes; }
    const uint8_t* Row(int y) const { return m_bits.Data() + static_cast<size_t>(y) * m_nRowBytes; }
    // Why the last picture could not be read: its size over the limits, the decoder's or
    // the file system's reason ("" when it was read).
    const std::string& LimitMessage() const { return m_strLimit; }
    const std::string& GetFile() const { return m_strFile; }

protected:
    int NearestIndex(COLORREF c) const;

    BitmapInfoHeader m_header;
    std::vector<RgbQuad> m_table;
    DibBuffer m_bits;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nBitCount = 0;
    int m_nFlags = 0;
    int m_nRowBytes = 0;
    int m_nTransparent = -1;
    std::unique_ptr<Palette> imagePalette;
    std::string m_strFile;
    std::string m_strLimit;
    Messenger* m_pMessenger = nullptr;
};
