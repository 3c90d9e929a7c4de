#include "images/CImageImplBMP.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstring>

namespace {

uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void Put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// One channel of a bit-field pixel scaled to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;
    explicit Channel(uint32_t m) : mask(m) {
        if (!m) return;
        shift = std::countr_zero(m);
        max = m >> shift;
    }
    uint8_t Of(uint32_t v) const {
        if (!mask) return 0;
        return static_cast<uint8_t>(uint64_t{(v & mask) >> shift} * 255 / max);
    }
};

constexpr size_t kFileHeader = 14;
// Pixels are written in pieces no larger than this.
constexpr size_t kPiece = 32768;

}  // namespace

bool CImageImplBMP::ReadMemory(std::span<const uint8_t> data) {
    Release();
    m_strLimit.clear();
    const uint8_t* d = data.data();
    const size_t size = data.size();
    size_t base = 0;
    int64_t pixelOffset = -1;
    if (size >= kFileHeader && d[0] == 'B' && d[1] == 'M') {
        pixelOffset = Get32(d + 10);
        base = kFileHeader;
    }
    if (size - base < 4) return false;
    const uint32_t headerSize = Get32(d + base);
    int64_t width = 0, height = 0;
    int bits = 0;
    uint32_t compression = DibFormat::kBiRgb, colours = 0;
    size_t entryBytes = 4, pos = 0;
    uint32_t masks[3] = {0, 0, 0};
    bool masksInHeader = false;
    if (headerSize == 12) {
        // The older header: 16-bit width and height, planes, bit count; 3-byte colours.
        if (size - base < 12) return false;
        width = Get16(d + base + 4);
        height = Get16(d + base + 6);
        bits = Get16(d + base + 10);
        pos = base + 12;
        entryBytes = 3;
    } else if (headerSize >= BitmapInfoHeader::kBytes && headerSize <= size - base) {
        const BitmapInfoHeader h = BitmapInfoHeader::Unpack(d + base);
        width = h.width;
        height = h.height;
        bits = h.bitCount;
        compression = h.compression;
        colours = h.clrUsed;
        pos = base + headerSize;
        if (headerSize >= 52) {
            masksInHeader = true;
            for (int i = 0; i < 3; ++i)
                masks[i] = Get32(d + base + 40 + 4 * i);
        }
    } else {
        return false;
    }

    const bool topDown = height < 0;
    if (topDown) height = -height;
    const bool bitfields = compression == DibFormat::kBiBitfields && (bits == 16 || bits == 32);
    if (!DibFormat::IsPlainDepth(bits)) return false;
    if (compression != DibFormat::kBiRgb && !bitfields) return false;
    if (bitfields && !masksInHeader) {
        if (size - pos < 12) return false;
        for (int i = 0; i < 3; ++i)
            masks[i] = Get32(d + pos + 4 * i);
        pos += 12;
    }

    // Colour table: colours-used entries, or 2^bits when none is given.
    std::vector<RgbQuad> table;
    if (bits <= 8 || colours) {
        const uint64_t entries = colours ? colours : (uint64_t{1} << bits);
        if (entries * entryBytes > size - pos) return false;
        if (bits <= 8) {
            const uint64_t used = std::min<uint64_t>(entries, uint64_t{1} << bits);
            for (uint64_t i = 0; i < used; ++i) {
                const uint8_t* e = d + pos + i * entryBytes;
                table.push_back(RgbQuad{e[0], e[1], e[2], 0});
            }
        }
        pos += static_cast<size_t>(entries * entryBytes);
    }

    std::string limit;
    if (DibFormat::CheckSize(width, height, bits, limit) < 0) {
        m_strLimit = limit;
        return false;
    }
    const size_t srcRow = static_cast<size_t>(DibFormat::RowBytes(bits, width));
    const size_t start = pixelOffset >= 0 ? static_cast<size_t>(pixelOffset) : pos;
    if (start > size || (size - start) / srcRow < static_cast<size_t>(height)) return false;
    if (!Create(static_cast<int>(width), static_cast<int>(height), bitfields ? 24 : bits, -1))
        return false;

    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    for (int y = 0; y < m_nHeight; ++y) {
        const uint8_t* src = d + start + static_cast<size_t>(y) * srcRow;
        uint8_t* dst = Row(topDown ? m_nHeight - 1 - y : y);
        if (!bitfields) {
            std::memcpy(dst, src, srcRow);
            continue;
        }
        for (int x = 0; x < m_nWidth; ++x) {
            const uint32_t v = bits == 16 ? Get16(src + 2 * x) : Get32(src + 4 * x);
            dst[3 * x] = blue.Of(v);
            dst[3 * x + 1] = green.Of(v);
            dst[3 * x + 2] = red.Of(v);
        }
    }
    if (!table.empty()) {
        Palette p;
        for (const RgbQuad& q : table)
            p.push_back(q.Colour());
        SetPalette(p);
    }
    return true;
}

int64_t CImageImplBMP::FileBytes() const {
    if (!HasDib()) return 0;
    return static_cast<int64_t>(kFileHeader + BitmapInfoHeader::kBytes + m_table.size() * 4 +
                                m_bits.Size());
}

bool CImageImplBMP::WriteStream(std::FILE* file) const {
    if (!HasDib() || !file) return false;
    // The table always has 2^bits entries for palette depths, so the header's size and
    // offset match what follows (a table shorter than the pixels need is never written).
    const size_t tableBytes = m_table.size() * 4;
    const uint32_t offset =
        static_cast<uint32_t>(kFileHeader + BitmapInfoHeader::kBytes + tableBytes);
    uint8_t head[kFileHeader + BitmapInfoHeader::kBytes];
    head[0] = 'B';
    head[1] = 'M';
    Put32(head + 2, static_cast<uint32_t>(FileBytes()));
    Put16(head + 6, 0);
    Put16(head + 8, 0);
    Put32(head + 10, offset);
    BitmapInfoHeader h = m_header;
    h.size = BitmapInfoHeader::kBytes;
    h.compression = DibFormat::kBiRgb;
    h.sizeImage = static_cast<uint32_t>(m_bits.Size());
    h.clrUsed = static_cast<uint32_t>(m_table.size());
    h.Pack(head + kFileHeader);
    if (std::fwrite(head, 1, sizeof head, file) != sizeof head) return false;
    std::vector<uint8_t> table(tableBytes);
    for (size_t i = 0; i < m_table.size(); ++i) {
        table[4 * i] = m_table[i].blue;
        table[4 * i + 1] = m_table[i].green;
        table[4 * i + 2] = m_table[i].red;
    }
    if (tableBytes && std::fwrite(table.data(), 1, tableBytes, file) != tableBytes) return false;
    for (size_t done = 0; done < m_bits.Size();) {
        const size_t n = std::min(kPiece, m_bits.Size() - done);
        if (std::fwrite(m_bits.Data() + done, 1, n, file) != n) return false;
        done += n;
    }
    return std::fflush(file) == 0;
}

bool CImageImplBMP::Write(const std::string& path) {
    if (!HasDib()) return false;
    std::string tmp = path + ".XXXXXX";
    const int fd = mkstemp(tmp.data());
    if (fd < 0) return false;
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    std::FILE* f = fdopen(fd, "wb");
    if (!f) {
        ::close(fd);
        ::unlink(tmp.c_str());
        return false;
    }
    bool ok = WriteStream(f) && ::fsync(fileno(f)) == 0;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok || std::rename(tmp.c_str(), path.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    m_strFile = path;
    return true;
}
