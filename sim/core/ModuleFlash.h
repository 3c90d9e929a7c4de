#pragma once
// The module's flash, erased to FF:
//   page area         256 pages of 128 bytes; page records are stored at their start page
//   local bitmaps     64 blocks of 256 flash pages of P bytes (P by board), allocated per
//                     block on its first write
//   full-screen       the background bitmaps by number, each in whole flash pages
//   fonts             the standard font block and the custom fonts by kind 0..9
//   firmware          the last CPU program whose sum was right
//   CRC table         the entries of the last table received (short layout)
// Only written pages are remembered as written, so a reader can tell stored data from
// erased flash.

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <vector>

#include "base/ByteArray.h"

class ModuleFlash {
public:
    static constexpr int kPageBytes = 128;
    static constexpr int kPages = 256;
    static constexpr int kBlocks = 64;
    static constexpr int kBlockPages = 256;
    static constexpr int kCustomFontKinds = 10;
    static constexpr uint8_t kErased = 0xFF;

    explicit ModuleFlash(int flashPageSize);

    int FlashPageSize() const { return m_nFlashPage; }

    // Page area. False (nothing written) when the run passes the area's end.
    bool WritePages(int start, std::span<const uint8_t> data);
    std::span<const uint8_t> PageArea() const { return m_abPages; }
    bool PageWritten(int page) const { return page >= 0 && page < kPages && m_pageWritten[page]; }

    // Local bitmap area. False (nothing written) when block or pages lie outside it.
    bool WriteBitmap(int block, int page, std::span<const uint8_t> data);
    // `n` bytes from `page` of `block` on (erased bytes where never written); false when
    // they pass the block's end. `unwritten` tells whether any page read was never written.
    bool ReadBitmap(int block, int page, size_t n, std::vector<uint8_t>& out,
                    bool& unwritten) const;

    void WriteFullScreen(uint8_t id, std::vector<uint8_t> data) {
        m_fullScreen[id] = std::move(data);
    }
    // Null when bitmap `id` was never written.
    const std::vector<uint8_t>* FullScreen(uint8_t id) const;

    std::vector<uint8_t> standardFont;
    std::map<int, std::vector<uint8_t>> customFonts;
    std::vector<uint8_t> firmware;
    std::vector<uint8_t> crcTable;

    // What was written, as a short-framed module stream that gives the same flash when
    // executed: page records per run of written pages, one record per written bitmap
    // block, the full-screen bitmaps, custom fonts, CPU program, CRC table and, last
    // because it runs to the end of the transfer, the standard font.
    void Save(CByteArray& out) const;
    // The same, one record at a time.
    void Save(const std::function<void(std::span<const uint8_t>)>& sink) const;

    friend bool operator==(const ModuleFlash& a, const ModuleFlash& b);

private:
    using Block = std::vector<uint8_t>;
    int m_nFlashPage;
    std::vector<uint8_t> m_abPages;
    std::bitset<kPages> m_pageWritten;
    std::array<std::unique_ptr<Block>, kBlocks> m_blocks;
    std::array<std::bitset<kBlockPages>, kBlocks> m_blockWritten;
    std::map<uint8_t, std::vector<uint8_t>> m_fullScreen;
};
