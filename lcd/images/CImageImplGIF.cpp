#include "images/CImageImplGIF.h"

#include <cstring>
#include <vector>

namespace {

constexpr int kMaxCodes = 4096;
constexpr int kMaxCodeWidth = 12;

// Hands finished rows to the picture: from the top of the picture (the last memory row)
// downwards, in the four interlace passes when the image is interlaced.
class RowWriter {
public:
    RowWriter(CImageImpl& image, bool interlaced)
        : m_image(image), m_interlaced(interlaced), m_height(image.GetHeight()) {}

    // False once the picture is full: the row is past its last row.
    bool Write(const uint8_t* pixels, size_t count) {
        if (m_row >= m_height) return false;
        std::memcpy(m_image.Row(m_height - 1 - m_row), pixels, count);
        if (!m_interlaced) {
            ++m_row;
            return true;
        }
        m_row += m_step;
        while (m_row >= m_height && m_pass < 4) {
            static const int kStart[4] = {0, 4, 2, 1};
            static const int kStep[4] = {8, 8, 4, 2};
            m_row = kStart[m_pass];
            m_step = kStep[m_pass];
            ++m_pass;
        }
        return true;
    }

private:
    CImageImpl& m_image;
    bool m_interlaced;
    int m_height;
    int m_row = 0;
    int m_step = 8;
    int m_pass = 1;
};

// Codes least significant bit first, read in place from the image's data sub-blocks (a
// size byte, then that many bytes) up to the empty one.
class CodeReader {
public:
    explicit CodeReader(std::span<const uint8_t> blocks)
        : m_p(blocks.data()), m_end(m_p + blocks.size()) {}
    // -1 when the data runs out.
    int Read(int width) {
        while (m_count < width) {
            if (m_left == 0) {
                if (m_p == m_end || *m_p == 0) return -1;
                m_left = *m_p++;
            }
            if (m_p == m_end) return -1;
            m_bits |= static_cast<uint64_t>(*m_p++) << m_count;
            --m_left;
            m_count += 8;
        }
        const int code = static_cast<int>(m_bits & ((1u << width) - 1));
        m_bits >>= width;
        m_count -= width;
        return code;
    }

private:
    const uint8_t* m_p;
    const uint8_t* m_end;
    size_t m_left = 0;
    uint64_t m_bits = 0;
    int m_count = 0;
};

bool IsWhite(const uint8_t* rgb) {
    return rgb[0] == 255 && rgb[1] == 255 && rgb[2] == 255;
}

}  // namespace

void CImageImplGIF::BuildPalette(const uint8_t* table, int count, int transparent) {
    uint8_t r[256] = {}, g[256] = {}, b[256] = {};
    bool white = false;
    for (int i = 0; i < count; ++i) {
        r[i] = table[3 * i];
        g[i] = table[3 * i + 1];
        b[i] = table[3 * i + 2];
        white = white || IsWhite(table + 3 * i);
    }
    int size = count;
    if (transparent >= 0) {
        // Transparent pixels show black; unused entries are white.
        r[transparent] = g[transparent] = b[transparent] = 0;
        if (count < 256) {
            for (int i = count; i < 256; ++i)
                r[i] = g[i] = b[i] = 255;
            white = true;
        }
        size = 256;
        if (!white) r[255] = g[255] = b[255] = 255;
    }
    SetPalette(size, r, g, b);
}

int CImageImplGIF::DecodeImage(std::span<const uint8_t> blocks, int codeSize, bool interlaced) {
    if (codeSize < 2 || codeSize > 9) return kBadCodeSize;
    const int clear = 1 << codeSize;
    const int end = clear + 1;
    const int firstFree = clear + 2;
    const size_t width = static_cast<size_t>(m_nWidth);

    static thread_local uint16_t prefix[kMaxCodes];
    static thread_local uint8_t suffix[kMaxCodes];
    static thread_local uint16_t length[kMaxCodes];
    for (int i = 0; i < clear; ++i) {
        suffix[i] = static_cast<uint8_t>(i);
        length[i] = 1;
    }
    // Room for one row plus the longest string a code can stand for.
    std::vector<uint8_t> line(width + kMaxCodes + 1);

    RowWriter rows(*this, interlaced);
    CodeReader reader(blocks);
    int codeWidth = codeSize + 1;
    int limit = 1 << codeWidth;
    int next = firstFree;
    int old = -1;
    uint8_t first = 0;
    size_t fill = 0;
    int result = kOk;

    for (;;) {
        int code = reader.Read(codeWidth);
        if (code < 0 || code == end) break;
        if (code == clear) {
            codeWidth = codeSize + 1;
            limit = 1 << codeWidth;
            next = firstFree;
            do {
                code = reader.Read(codeWidth);
            } while (code == clear);
            if (code < 0 || code == end) break;
            old = -1;
        }
        uint8_t* out = line.data() + fill;
        if (code > next || (old < 0 && code == next)) {
            result = kCodeOutOfRange;
            break;
        }
        if (old < 0) {
            // The first code after a clear (or at the start) is a single pixel.
            first = static_cast<uint8_t>(code);
            *out = first;
            fill += 1;
            old = code;
        } else {
            int in = code;
            size_t len;
            uint8_t* p;
            if (code == next) {
                // The code being defined: the old string plus its own first character.
                code = old;
                len = static_cast<size_t>(length[old]) + 1;
                p = out + len - 1;
                *p = first;
                in = next < kMaxCodes ? next : old;
            } else {
                len = length[code];
                p = out + len;
            }
            while (code >= clear && p > out) {
                *--p = suffix[code];
                code = prefix[code];
            }
            if (p != out + 1 || code >= clear) {
                // A chain that does not match its length: the tables are damaged.
                result = kCodeOutOfRange;
                break;
            }
            first = static_cast<uint8_t>(code);
            *--p = first;
            fill += len;
            if (next < limit) {
                prefix[next] = static_cast<uint16_t>(old);
                suffix[next] = first;
                length[next] = static_cast<uint16_t>(length[old] + 1);
                ++next;
                if (next >= limit && codeWidth < kMaxCodeWidth) {
                    ++codeWidth;
                    limit <<= 1;
                }
            }
            old = in;
        }
        if (fill >= width) {
            size_t done = 0;
            while (fill - done >= width) {
                if (!rows.Write(line.data() + done, width)) {
                    result = kRowsPastPicture;
                    break;
                }
                done += width;
            }
            if (result != kOk) break;
            std::memmove(line.data(), line.data() + done, fill - done);
            fill -= done;
        }
    }
    // A last, partial row; past the picture it is data the picture has no room for.
    if (result == kOk && fill > 0 && !rows.Write(line.data(), fill)) result = kRowsPastPicture;
    return result;
}

bool CImageImplGIF::ReadMemory(std::span<const uint8_t> data) {
    Release();
    m_strLimit.clear();
    m_nTransparent = -1;
    m_nDecodeResult = kOk;
    const uint8_t* d = data.data();
    const size_t size = data.size();
    if (size < 13 || std::memcmp(d, "GIF8", 4) != 0) return false;
    size_t pos = 13;
    const uint8_t* globalTable = nullptr;
    int globalCount = 0;
    if (d[10] & 0x80) {
        globalCount = 2 << (d[10] & 7);
        if (size - pos < static_cast<size_t>(3 * globalCount)) return false;
        globalTable = d + pos;
        pos += static_cast<size_t>(3 * globalCount);
    }
    int transparent = -1;
    // Skips data sub-blocks up to and including the empty one; false when the file ends
    // first.
    auto skipBlocks = [&]() {
        for (;;) {
            if (pos >= size) return false;
            const size_t n = d[pos++];
            if (n == 0) return true;
            if (size - pos < n) return false;
            pos += n;
        }
    };
    while (pos < size) {
        const uint8_t tag = d[pos++];
        if (tag == 0x21) {
            if (pos >= size) return false;
            const uint8_t label = d[pos++];
            if (label == 0xF9) {
                if (size - pos < 5) return false;
                const uint8_t blockSize = d[pos];
                const uint8_t* gce = d + pos + 1;
                pos += 5;
                if (blockSize != 4) break;
                if (gce[0] & 1) transparent = gce[3];
            }
            if (!skipBlocks()) return false;
        } else if (tag == 0x2C) {
            if (size - pos < 9) return false;
            const uint8_t* desc = d + pos;
            pos += 9;
            const int width = desc[4] | (desc[5] << 8);
            const int height = desc[6] | (desc[7] << 8);
            const uint8_t packed = desc[8];
            const uint8_t* table = globalTable;
            int count = globalCount;
            if (packed & 0x80) {
                count = 2 << (packed & 7);
                if (size - pos < static_cast<size_t>(3 * count)) return false;
                table = d + pos;
                pos += static_cast<size_t>(3 * count);
            }
            if (pos >= size) return false;
            const int codeSize = d[pos++];
            // The image data: sub-blocks up to the empty one, all within the file.
            const size_t blocks = pos;
            if (!skipBlocks()) return false;
            if (!Create(width, height, 8, -1)) return false;
            m_nTransparent = transparent;
            if (table) BuildPalette(table, count, transparent);
            m_nDecodeResult =
                DecodeImage(data.subspan(blocks, pos - blocks), codeSize, (packed & 0x40) != 0);
            if (m_nDecodeResult != kOk) {
                // A damaged stream leaves no half picture behind.
                Release();
                return false;
            }
            break;  // the first image only
        } else {
            break;
        }
    }
    return true;
}
