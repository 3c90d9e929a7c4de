#include "core/ModuleFlash.h"

#include <algorithm>

#include "link/CommandBuilder.h"

using CB = CommandBuilder;

ModuleFlash::ModuleFlash(int flashPageSize)
    : m_nFlashPage(flashPageSize), m_abPages(size_t{kPages} * kPageBytes, kErased) {}

bool ModuleFlash::WritePages(int start, std::span<const uint8_t> data) {
    const size_t pages = (data.size() + kPageBytes - 1) / kPageBytes;
    if (start < 0 || start + pages > kPages) return false;
    std::copy(data.begin(), data.end(), m_abPages.begin() + int64_t{start} * kPageBytes);
    for (size_t p = 0; p < pages; ++p)
        m_pageWritten.set(start + p);
    return true;
}

bool ModuleFlash::WriteBitmap(int block, int page, std::span<const uint8_t> data) {
    const size_t pages = (data.size() + m_nFlashPage - 1) / m_nFlashPage;
    if (block < 0 || block >= kBlocks || page < 0 || page + pages > kBlockPages) return false;
    auto& b = m_blocks[block];
    if (!b) b = std::make_unique<Block>(size_t{kBlockPages} * m_nFlashPage, kErased);
    std::copy(data.begin(), data.end(), b->begin() + int64_t{page} * m_nFlashPage);
    for (size_t p = 0; p < pages; ++p)
        m_blockWritten[block].set(page + p);
    return true;
}

bool ModuleFlash::ReadBitmap(int block, int page, size_t n, std::vector<uint8_t>& out,
                             bool& unwritten) const {
    const size_t blockBytes = size_t{kBlockPages} * m_nFlashPage;
    if (block < 0 || block >= kBlocks || page < 0 || page >= kBlockPages) return false;
    const size_t from = size_t(page) * m_nFlashPage;
    if (n > blockBytes - from) return false;
    unwritten = false;
    const size_t pages = (n + m_nFlashPage - 1) / m_nFlashPage;
    for (size_t p = 0; p < pages; ++p)
        unwritten = unwritten || !m_blockWritten[block][page + p];
    const Block* b = m_blocks[block].get();
    if (b) {
        out.assign(b->begin() + from, b->begin() + from + n);
    } else {
        out.assign(n, kErased);
    }
    return true;
}

const std::vector<uint8_t>* ModuleFlash::FullScreen(uint8_t id) const {
    const auto it = m_fullScreen.find(id);
    return it == m_fullScreen.end() ? nullptr : &it->second;
}

namespace {

// Calls `run(first, count)` for every run of set bits, no run longer than `most`.
template <size_t N, typename F>
void ForRuns(const std::bitset<N>& bits, size_t most, F run) {
    size_t i = 0;
    while (i < N) {
        if (!bits[i]) {
            ++i;
            continue;
        }
        size_t n = 0;
        while (i + n < N && bits[i + n] && n < most)
            ++n;
        run(i, n);
        i += n;
    }
}

}  // namespace

void ModuleFlash::Save(CByteArray& out) const {
    Save(
        [&](std::span<const uint8_t> piece) { out.insert(out.end(), piece.begin(), piece.end()); });
}

void ModuleFlash::Save(const std::function<void(std::span<const uint8_t>)>& sink) const {
    // Record by record: no copy of the whole flash is ever held.
    CByteArray out;
    const auto flush = [&] {
        sink(out);
        out.clear();
    };
    ForRuns(m_pageWritten, 255, [&](size_t first, size_t n) {
        CB::PageRecordHead(out, CB::ModeShort, static_cast<uint8_t>(first),
                           static_cast<uint8_t>(n));
        const auto from = m_abPages.begin() + int64_t(first) * kPageBytes;
        out.insert(out.end(), from, from + int64_t(n) * kPageBytes);
        flush();
    });
    for (int block = 0; block < kBlocks; ++block) {
        ForRuns(m_blockWritten[block], kBlockPages, [&](size_t first, size_t n) {
            CB::BitmapRecordHead(out, CB::ModeShort, static_cast<uint8_t>(block),
                                 static_cast<uint8_t>(first), static_cast<int>(n));
            const auto from = m_blocks[block]->begin() + int64_t(first) * m_nFlashPage;
            out.insert(out.end(), from, from + int64_t(n) * m_nFlashPage);
            flush();
        });
    }
    for (const auto& [id, data] : m_fullScreen) {
        CB::PageImageRecord(out, CB::ModeShort, id, data, m_nFlashPage);
        flush();
    }
    for (const auto& [kind, data] : customFonts) {
        CB::CustomFont(out, CB::ModeShort, static_cast<uint8_t>(kind), data);
        flush();
    }
    if (!firmware.empty()) {
        // As it came: its length need not be the builder's whole 4096-byte units.
        out.insert(out.end(), {0x1B, 0x3D});
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<uint8_t>(firmware.size() >> shift));
        out.insert(out.end(), firmware.begin(), firmware.end());
        uint16_t sum = 0;
        for (const uint8_t b : out)
            sum = static_cast<uint16_t>(sum + b);
        CB::AppendBigEndian16(out, sum);
        flush();
    }
    if (!crcTable.empty()) {
        const uint8_t head[] = {0x00, static_cast<uint8_t>(crcTable.size() >> 8),
                                static_cast<uint8_t>(crcTable.size())};
        CB::Head(out, CB::ModeShort, 0x3F, head, true);
        out.insert(out.end(), crcTable.begin(), crcTable.end());
        flush();
    }
    if (!standardFont.empty()) {
        CB::StandardFont(out, CB::ModeShort, standardFont);
        flush();
    }
}

bool operator==(const ModuleFlash& a, const ModuleFlash& b) {
    if (a.m_nFlashPage != b.m_nFlashPage || a.m_abPages != b.m_abPages ||
        a.m_pageWritten != b.m_pageWritten || a.m_blockWritten != b.m_blockWritten ||
        a.m_fullScreen != b.m_fullScreen || a.standardFont != b.standardFont ||
        a.customFonts != b.customFonts || a.firmware != b.firmware || a.crcTable != b.crcTable)
        return false;
    for (int i = 0; i < ModuleFlash::kBlocks; ++i) {
        const auto* x = a.m_blocks[i].get();
        const auto* y = b.m_blocks[i].get();
        if (x && y ? *x != *y : (x || y) && a.m_blockWritten[i].any()) return false;
    }
    return true;
}
