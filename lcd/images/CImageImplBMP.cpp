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

// One channel of a bit-field pixel widened to 8 bits by repeating its bits below
// themselves (5 bits abcde become abcdeabc, 6 bits abcdef become abcdefab), as displays
// do: 0 and full scale stay 0 and 255 and every level keeps its place, so a 5-6-5 pixel
// comes back through the module's own 5-6-5 code (a scale by 255 / 31 that truncates
// would make most levels one step darker). Channels wider than 8 bits keep their top 8.
class Channel {
public:
    explicit Channel(uint32_t mask) : m_mask(mask) {
        if (!mask) return;
        m_shift = std::countr_zero(mask);
        m_width = std::bit_width(mask >> m_shift);
        if (m_width > 8) return;
        for (uint32_t v = 0; v < (1u << m_width); ++v) {
            uint32_t wide = 0;
            for (int at = 8 - m_width; at > -m_width; at -= m_width)
                wide |= at >= 0 ? v << at : v >> -at;
            m_levels[v] = static_cast<uint8_t>(wide);
        }
    }
    uint8_t Of(uint32_t pixel) const {
        if (!m_mask) return 0;
        const uint32_t v = (pixel & m_mask) >> m_shift;
        return m_width > 8 ? static_cast<uint8_t>(v >> (m_width - 8)) : m_levels[v];
    }

private:
    uint32_t m_mask;
    int m_shift = 0;
    int m_width = 0;
    uint8_t m_levels[256] = {};
};

constexpr size_t kFileHeader = 14;
// Pixels are written in pieces no larger than this.
constexpr size_t kPiece = 32768;
// Compression codes of the info header besides plain and bit-field pixels.
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;

}  // namespace

void CImageImplBMP::DecodeRunLength(std::span<const uint8_t> codes, bool fourBits, bool topDown) {
    // File row r (0 = the first row the codes give) and the memory row it lands on.
    int x = 0, r = 0;
    const auto put = [&](int index) {
        if (x < m_nWidth) SetIndex(x++, topDown ? m_nHeight - 1 - r : r, index);
    };
    const uint8_t* p = codes.data();
    const uint8_t* const end = p + codes.size();
    while (end - p >= 2 && r < m_nHeight) {
        const int count = p[0], value = p[1];
        p += 2;
        if (count > 0) {
            // A run: `count` pixels of one index (two alternating ones for 4 bits), cut
            // at the end of the row.
            for (int i = 0; i < count && x < m_nWidth; ++i)
                put(fourBits ? (i & 1 ? value & 15 : value >> 4) : value);
            continue;
        }
        if (value == 0) {  // end of row
            x = 0;
            ++r;
        } else if (value == 1) {  // end of picture
            break;
        } else if (value == 2) {  // move right and up (towards later rows)
            if (end - p < 2) break;
            x = std::min(x + p[0], m_nWidth);
            r += p[1];
            p += 2;
        } else {
            // `value` indices as they are, in bytes padded to an even count; a file that
            // ends inside them gives what it holds.
            const size_t bytes = fourBits ? (value + 1) / 2 : value;
            const size_t held = std::min<size_t>(bytes, static_cast<size_t>(end - p));
            for (int i = 0; i < value && static_cast<size_t>(fourBits ? i / 2 : i) < held; ++i)
                put(fourBits ? (i & 1 ? p[i / 2] & 15 : p[i / 2] >> 4) : p[i]);
            p += std::min<size_t>((bytes + 1) & ~size_t{1}, static_cast<size_t>(end - p));
        }
    }
}

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
    } else if (headerSize >= 16 && headerSize <= size - base) {
        // 40 bytes or longer, or an OS/2 2.x header of 16 to 39 bytes: the fields of the
        // 40-byte layout it holds, zero for those it leaves out.
        uint8_t header[BitmapInfoHeader::kBytes] = {};
        std::memcpy(header, d + base, std::min<size_t>(headerSize, sizeof header));
        const BitmapInfoHeader h = BitmapInfoHeader::Unpack(header);
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
    const bool runLength =
        (compression == kBiRle8 && bits == 8) || (compression == kBiRle4 && bits == 4);
    // Two bits per pixel (a few Windows CE programs write them) become 8.
    if (!DibFormat::IsPlainDepth(bits) && bits != 2) return false;
    if (compression != DibFormat::kBiRgb && !bitfields && !runLength) return false;
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
    if (start > size || (!runLength && (size - start) / srcRow < static_cast<size_t>(height)))
        return false;
    const int depth = bitfields ? 24 : bits == 2 ? 8 : bits;
    if (!Create(static_cast<int>(width), static_cast<int>(height), depth, -1)) return false;

    if (runLength) {
        DecodeRunLength(data.subspan(start), bits == 4, topDown);
    } else {
        const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
        for (int y = 0; y < m_nHeight; ++y) {
            const uint8_t* src = d + start + static_cast<size_t>(y) * srcRow;
            uint8_t* dst = Row(topDown ? m_nHeight - 1 - y : y);
            if (bits == 2) {
                for (int x = 0; x < m_nWidth; ++x)
                    dst[x] = (src[x >> 2] >> (6 - 2 * (x & 3))) & 3;
            } else if (!bitfields) {
                std::memcpy(dst, src, srcRow);
            } else {
                for (int x = 0; x < m_nWidth; ++x) {
                    const uint32_t v = bits == 16 ? Get16(src + 2 * x) : Get32(src + 4 * x);
                    dst[3 * x] = blue.Of(v);
                    dst[3 * x + 1] = green.Of(v);
                    dst[3 * x + 2] = red.Of(v);
                }
            }
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
