#include "images/CImageImpl.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "base/Messenger.h"
#include "images/MappedFile.h"

CImageImpl::~CImageImpl() = default;

void CImageImpl::Release() {
    m_bits.Release();
    m_table.clear();
    m_header = BitmapInfoHeader{};
    m_nWidth = m_nHeight = m_nBitCount = m_nRowBytes = 0;
    m_nFlags = 0;
    imagePalette.reset();
}

bool CImageImpl::IsInside(int x, int y) const {
    return x >= 0 && x < m_nWidth && y >= 0 && y < m_nHeight;
}

bool CImageImpl::Create(int width, int height, int bits, int flags) {
    Release();
    m_strLimit.clear();
    if (!DibFormat::IsPlainDepth(bits)) return false;
    const int64_t bytes = DibFormat::CheckSize(width, height, bits, m_strLimit);
    if (bytes < 0 || !m_bits.Allocate(static_cast<size_t>(bytes))) return false;
    m_nWidth = width;
    m_nHeight = height;
    m_nBitCount = bits;
    m_nRowBytes = static_cast<int>(DibFormat::RowBytes(bits, width));
    m_header = BitmapInfoHeader{};
    m_header.width = width;
    m_header.height = height;
    m_header.bitCount = static_cast<uint16_t>(bits);
    m_header.sizeImage = static_cast<uint32_t>(bytes);
    m_header.clrUsed = bits == 4 ? 16 : bits == 8 ? 256 : 0;
    if (bits <= 8) {
        m_table.resize(size_t{1} << bits);
        if (bits == 1) {
            m_table[1] = RgbQuad{255, 255, 255, 0};
        } else {
            for (size_t i = 0; i < m_table.size(); ++i)
                m_table[i] = DibFormat::StandardColour(static_cast<int>(i & 15));
        }
    }
    m_nFlags = flags >= 0 ? flags : (bits <= 8 ? 0 : kFlagColour);
    return true;
}

int CImageImpl::GetIndex(int x, int y) const {
    if (!IsInside(x, y) || m_nBitCount > 8 || !HasDib()) return -1;
    const uint8_t* row = Row(y);
    switch (m_nBitCount) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
        case 4:
            return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
        default:
            return row[x];
    }
}

bool CImageImpl::SetIndex(int x, int y, int index) {
    if (!IsInside(x, y) || m_nBitCount > 8 || !HasDib()) return false;
    uint8_t* row = Row(y);
    switch (m_nBitCount) {
        case 1: {
            const uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
            row[x >> 3] =
                static_cast<uint8_t>((index & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit));
            break;
        }
        case 4: {
            const int shift = (x & 1) ? 0 : 4;
            row[x >> 1] =
                static_cast<uint8_t>((row[x >> 1] & ~(15 << shift)) | ((index & 15) << shift));
            break;
        }
        default:
            row[x] = static_cast<uint8_t>(index);
    }
    return true;
}

COLORREF CImageImpl::GetRGB(int x, int y) const {
    if (!IsInside(x, y) || !HasDib()) return 0;
    if (m_nBitCount <= 8) {
        // The palette's colours are in the colour table; an index past the palette shows
        // the table entry a written file gives it too.
        const int index = GetIndex(x, y);
        return index < static_cast<int>(m_table.size()) ? m_table[index].Colour() : 0;
    }
    return DibFormat::PixelColour(Row(y), x, m_nBitCount, m_table);
}

int CImageImpl::NearestIndex(COLORREF c) const {
    const int count =
        imagePalette ? static_cast<int>(imagePalette->size()) : static_cast<int>(m_table.size());
    int best = 0;
    long bestDistance = LONG_MAX;
    for (int i = 0; i < count; ++i) {
        const COLORREF p = imagePalette ? (*imagePalette)[i] : m_table[i].Colour();
        const long dr = RedOf(p) - RedOf(c), dg = GreenOf(p) - GreenOf(c),
                   db = BlueOf(p) - BlueOf(c);
        const long d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

bool CImageImpl::SetRGB(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    if (!IsInside(x, y) || !HasDib()) return false;
    if (m_nBitCount <= 8) return SetIndex(x, y, NearestIndex(Rgb(r, g, b)));
    uint8_t* row = Row(y);
    switch (m_nBitCount) {
        case 16: {
            const unsigned v = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
            row[2 * x] = static_cast<uint8_t>(v);
            row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
            break;
        }
        case 24:
        case 32: {
            uint8_t* p = row + static_cast<size_t>(x) * (m_nBitCount / 8);
            p[0] = b;
            p[1] = g;
            p[2] = r;
            break;
        }
        default:
            return false;
    }
    return true;
}

bool CImageImpl::Read(const std::string& path) {
    m_strFile = path;
    MappedFile file;
    if (!file.Open(path)) {
        const int err = errno;
        struct stat st {};
        Release();
        const bool special = stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
        m_strLimit = special ? "不是普通文件" : std::strerror(err);
        return false;
    }
    if (ReadMemory(file.Bytes())) return true;
    // Every failure names its reason; the decoders that know none are told here.
    if (m_strLimit.empty()) m_strLimit = "文件已损坏或不是这种格式的图像";
    return false;
}

bool CImageImpl::Write(const std::string&) {
    return false;
}

bool CImageImpl::ReadMemory(std::span<const uint8_t>) {
    Release();
    return false;
}

void CImageImpl::SetPalette(const Palette& palette) {
    const size_t count = std::min<size_t>(palette.size(), 256);
    imagePalette = std::make_unique<Palette>(palette.begin(), palette.begin() + count);
    m_nFlags |= kFlagPaletteIndices | kFlagColour;
    for (size_t i = 0; i < m_table.size(); ++i)
        m_table[i] = i < count ? RgbQuad::From((*imagePalette)[i]) : RgbQuad{};
}

void CImageImpl::SetPalette(int count, const uint8_t* rgb) {
    if (imagePalette && m_pMessenger)
        m_pMessenger->Tell("CImageImpl::imagePalette already exists!", "提示");
    Palette p;
    for (int i = 0; rgb && i < std::clamp(count, 0, 256); ++i)
        p.push_back(Rgb(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]));
    SetPalette(p);
}

void CImageImpl::SetPalette(int count, const uint8_t* red, const uint8_t* green,
                            const uint8_t* blue) {
    if (!red) return;
    if (!green) green = red;
    if (!blue) blue = green;
    Palette p;
    for (int i = 0; i < std::clamp(count, 0, 256); ++i)
        p.push_back(Rgb(red[i], green[i], blue[i]));
    SetPalette(p);
}

void CImageImpl::TakeOver(CImageImpl& other) {
    if (this == &other) return;
    m_header = other.m_header;
    m_table = std::move(other.m_table);
    m_bits = std::move(other.m_bits);
    m_nWidth = other.m_nWidth;
    m_nHeight = other.m_nHeight;
    m_nBitCount = other.m_nBitCount;
    m_nFlags = other.m_nFlags;
    m_nRowBytes = other.m_nRowBytes;
    m_nTransparent = other.m_nTransparent;
    imagePalette = std::move(other.imagePalette);
    m_strFile = other.m_strFile;
    m_strLimit = other.m_strLimit;
    other.Release();
}

bool CImageImpl::WidenTo8Bits() {
    if (!HasDib() || (m_nBitCount != 1 && m_nBitCount != 4)) return false;
    const int64_t rowBytes = DibFormat::RowBytes(8, m_nWidth);
    DibBuffer wide;
    if (!wide.Allocate(static_cast<size_t>(rowBytes * m_nHeight))) return false;
    for (int y = 0; y < m_nHeight; ++y) {
        uint8_t* out = wide.Data() + static_cast<size_t>(y) * rowBytes;
        for (int x = 0; x < m_nWidth; ++x)
            out[x] = static_cast<uint8_t>(GetIndex(x, y));
    }
    const size_t oldEntries = m_table.size();
    m_table.resize(256);
    for (size_t i = oldEntries; i < 256; ++i)
        m_table[i] = DibFormat::StandardColour(static_cast<int>(i & 15));
    m_bits = std::move(wide);
    m_nBitCount = 8;
    m_nRowBytes = static_cast<int>(rowBytes);
    m_header.bitCount = 8;
    m_header.sizeImage = static_cast<uint32_t>(m_bits.Size());
    m_header.clrUsed = 256;
    return true;
}
