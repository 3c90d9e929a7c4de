#include "images/CBmpObj.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/Archive.h"
#include "base/GbkCodec.h"
#include "base/Messenger.h"
#include "base/StringFormat.h"
#include "gfx/Surface.h"
#include "images/CImageObject.h"
#include "images/PixelCodes.h"

namespace {

constexpr char kCaption[] = "提示";
constexpr char kCannotOpen[] = "未能打开文件！";
constexpr size_t kFileHeaderBytes = 14;

uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Moves `count` bytes between the archive and `data` (null when loading discards them),
// four at a time.
void TransferBytes(Archive& ar, uint8_t* data, size_t count) {
    size_t i = 0;
    uint8_t scratch[4];
    for (; i + 4 <= count; i += 4) {
        uint8_t* p = data ? data + i : scratch;
        uint32_t v = Get32(p);
        ar.UInt32(v);
        if (ar.IsLoading()) std::memcpy(p, &v, 4);
    }
    for (; i < count; ++i) {
        uint8_t* p = data ? data + i : scratch;
        ar.Byte(*p);
    }
}

// Zeros written in place of pixel bytes the picture does not have.
void StoreZeros(Archive& ar, size_t count) {
    uint32_t zero = 0;
    uint8_t zeroByte = 0;
    for (; count >= 4; count -= 4)
        ar.UInt32(zero);
    for (; count > 0; --count)
        ar.Byte(zeroByte);
}

// The source pixel under the centre of destination pixel d.
int64_t Pick(int64_t d, int64_t dstSize, int64_t srcSize) {
    return static_cast<int64_t>((__int128{2} * d + 1) * srcSize / (__int128{2} * dstSize));
}

}  // namespace

CBmpObj::CBmpObj() = default;

CBmpObj::~CBmpObj() = default;

CBmpObj::CBmpObj(const std::string& path, bool sizeCheck, const PageFormat& activePage,
                 Messenger& messenger)
    : m_strPath(path) {
    LoadImageFile(path, messenger);
    const int64_t area = int64_t{GetWidth()} * GetHeight();
    if (sizeCheck && activePage.colours >= 8) {
        const int64_t limit = activePage.colours == 8 ? 262144 : 131072;
        if (area > limit) {
            messenger.Tell(
                StringFormat("位图大小越限,单个局部位图的 宽度*高度<=%lld,\t\t\t\t\t\t\t\t\t\t\r\n"
                             "\r\n请用全屏位图或者缩小位图",
                             static_cast<long long>(limit)),
                kCaption);
        }
    }
}

int64_t CBmpObj::PlacementPages(const PageFormat& page) const {
    const int64_t area = int64_t{GetWidth()} * GetHeight();
    const int64_t divisor = page.Is8Colour320x234() ? 1024 : 512;
    return (area + divisor - 1) / divisor;
}

void CBmpObj::TakePicture(CBmpObj& other) {
    if (this == &other) return;
    m_fileHeader = other.m_fileHeader;
    m_nDataLen = other.m_nDataLen;
    m_info = other.m_info;
    m_table = std::move(other.m_table);
    m_bits = std::move(other.m_bits);
    m_nRowBytes = other.m_nRowBytes;
    other.Release();
}

void CBmpObj::Release() {
    m_bits.Release();
    m_table.clear();
    m_info = BitmapInfoHeader{};
    m_nRowBytes = 0;
}

int CBmpObj::GetHeight() const {
    if (!HasPicture()) return 0;
    return m_info.height < 0 ? -m_info.height : m_info.height;
}

bool CBmpObj::CreatePicture(const BitmapInfoHeader& header, std::span<const RgbQuad> table,
                            size_t available, DibBuffer* pixels) {
    Release();
    const int bits = header.bitCount;
    if (header.compression != DibFormat::kBiRgb || !DibFormat::IsPlainDepth(bits) ||
        header.height == INT32_MIN)
        return false;
    const int64_t height = header.height < 0 ? -int64_t{header.height} : header.height;
    std::string limit;
    const int64_t bytes = DibFormat::CheckSize(header.width, height, bits, limit);
    // Pixels the file does not hold are never allocated.
    if (bytes < 0 || static_cast<size_t>(bytes) > available) return false;
    if (pixels && pixels->Size() == static_cast<size_t>(bytes)) {
        m_bits = std::move(*pixels);
    } else {
        if (!m_bits.Allocate(static_cast<size_t>(bytes))) return false;
        if (pixels) std::memcpy(m_bits.Data(), pixels->Data(), m_bits.Size());
    }
    m_info = header;
    m_nRowBytes = static_cast<int>(DibFormat::RowBytes(bits, header.width));
    if (bits <= 8) {
        m_table.assign(size_t{1} << bits, RgbQuad{});
        if (bits == 1) m_table[1] = RgbQuad{255, 255, 255, 0};
        if (bits == 4) {
            for (int i = 0; i < 16; ++i)
                m_table[i] = DibFormat::StandardColour(i);
        }
        std::copy_n(table.begin(), std::min(table.size(), m_table.size()), m_table.begin());
    }
    return true;
}

bool CBmpObj::LoadImageFile(const std::string& path, Messenger& messenger) {
    const int type = CImageObject::PictureTypeFromPath(path);
    if (type < 0) return false;
    Release();
    CImageObject image(path, type);
    CImageImpl* impl = image.Impl();
    if (!impl || image.GetWidth() <= 0 || image.GetHeight() <= 0) {
        const std::string limit = impl ? impl->LimitMessage() : "";
        messenger.Tell(limit.empty() ? std::string(kCannotOpen)
                                     : std::string(kCannotOpen) + "\r\n\r\n" + limit,
                       kCaption);
        return false;
    }
    // Bitmap records keep the colour table of 8-bit pictures only.
    impl->WidenTo8Bits();
    return TakeDecoded(*impl);
}

namespace {

// Hands over the pixel memory of a decoded picture instead of copying it.
class DecodedPicture : public CImageImpl {
public:
    explicit DecodedPicture(CImageImpl& decoded) { TakeOver(decoded); }
    DibBuffer TakePixels() { return std::move(m_bits); }
};

}  // namespace

bool CBmpObj::TakeDecoded(CImageImpl& decoded) {
    // The picture as a BMP file of it holds it: a 40-byte header, the colour table of a
    // palette picture, the rows as decoded; its record needs nothing else.
    DecodedPicture picture(decoded);
    BitmapInfoHeader header = picture.Header();
    std::vector<RgbQuad> table;
    for (const RgbQuad& q : picture.ColourTable())
        if (table.size() < 256) table.push_back(RgbQuad{q.blue, q.green, q.red, 0});
    DibBuffer pixels = picture.TakePixels();
    header.size = BitmapInfoHeader::kBytes;
    header.compression = DibFormat::kBiRgb;
    header.sizeImage = static_cast<uint32_t>(pixels.Size());
    header.clrUsed = static_cast<uint32_t>(picture.ColourTable().size());
    m_fileHeader = FileHeader{};
    m_fileHeader.offset = static_cast<uint32_t>(kFileHeaderBytes + BitmapInfoHeader::kBytes +
                                                picture.ColourTable().size() * 4);
    m_fileHeader.size = static_cast<uint32_t>(m_fileHeader.offset + pixels.Size());
    m_nDataLen = static_cast<int32_t>(pixels.Size());
    return CreatePicture(header, table, pixels.Size(), &pixels);
}

bool CBmpObj::ReadBmpFile(std::FILE* file, Messenger& messenger) {
    const auto Tell = [&](const std::string& text) { messenger.Tell(text, kCaption); };
    Release();
    uint8_t head[kFileHeaderBytes];
    if (!file || std::fread(head, 1, sizeof head, file) != sizeof head || head[0] != 'B' ||
        head[1] != 'M') {
        Tell("文件已经损坏");
        return false;
    }
    m_fileHeader.type = Get16(head);
    m_fileHeader.size = Get32(head + 2);
    m_fileHeader.reserved1 = Get16(head + 6);
    m_fileHeader.reserved2 = Get16(head + 8);
    m_fileHeader.offset = Get32(head + 10);
    struct stat st {};
    if (fstat(fileno(file), &st) != 0 || st.st_size != static_cast<off_t>(m_fileHeader.size) ||
        m_fileHeader.offset < kFileHeaderBytes + BitmapInfoHeader::kBytes ||
        m_fileHeader.offset > m_fileHeader.size) {
        Tell("文件已经损坏！");
        return false;
    }
    // The info header and the colour table lie between the file header and the pixels.
    std::vector<uint8_t> info(m_fileHeader.offset - kFileHeaderBytes);
    if (std::fread(info.data(), 1, info.size(), file) != info.size()) {
        Tell("读文件时发生错误！");
        return false;
    }
    m_nDataLen = static_cast<int32_t>(m_fileHeader.size - m_fileHeader.offset);
    const BitmapInfoHeader header = BitmapInfoHeader::Unpack(info.data());
    std::vector<RgbQuad> table;
    if (header.size >= BitmapInfoHeader::kBytes && header.size <= info.size()) {
        for (size_t p = header.size; p + 4 <= info.size() && table.size() < 256; p += 4)
            table.push_back(RgbQuad{info[p], info[p + 1], info[p + 2], 0});
    }
    if (header.size < BitmapInfoHeader::kBytes ||
        !CreatePicture(header, table, static_cast<size_t>(m_nDataLen))) {
        // The picture cannot be made: the object stays empty, with no message.
        return false;
    }
    m_info.size = BitmapInfoHeader::kBytes;
    // Every pixel byte, the last two included.
    const size_t want = std::min<size_t>(static_cast<size_t>(m_nDataLen), m_bits.Size());
    if (std::fread(m_bits.Data(), 1, want, file) != want) {
        Tell("读文件时发生错误！");
        Release();
        return false;
    }
    return true;
}

void CBmpObj::Serialize(Archive& ar) {
    BitmapInfoHeader h = m_info;
    FileHeader f = m_fileHeader;
    int32_t dataLen = m_nDataLen;
    if (ar.IsStoring()) {
        if (!HasPicture()) {
            // An object without picture: an empty header and just the two final bytes.
            h = BitmapInfoHeader{};
            h.planes = 0;
            dataLen = 2;
            f.offset = kFileHeaderBytes + BitmapInfoHeader::kBytes;
            f.size = f.offset;
        } else {
            const uint32_t table = h.bitCount <= 8 ? 4u << h.bitCount : 0;
            f.offset = static_cast<uint32_t>(kFileHeaderBytes + BitmapInfoHeader::kBytes + table);
            f.size = static_cast<uint32_t>(m_bits.Size() + f.offset);
        }
    }
    uint16_t bitCount = h.bitCount, planes = h.planes;
    ar.UInt16(f.type);
    ar.UInt32(f.size);
    ar.UInt16(f.reserved1);
    ar.UInt16(f.reserved2);
    ar.UInt32(f.offset);
    ar.UInt16(bitCount);
    ar.UInt32(h.clrImportant);
    ar.UInt32(h.clrUsed);
    ar.UInt32(h.compression);
    ar.Int32(h.height);
    ar.UInt16(planes);
    ar.UInt32(h.size);
    ar.UInt32(h.sizeImage);
    ar.Int32(h.width);
    ar.Int32(h.xPelsPerMeter);
    ar.Int32(h.yPelsPerMeter);
    ar.Int32(dataLen);
    ar.Int32(m_nBlock);
    ar.Int32(m_nStartPage);
    if (ar.IsStoring()) {
        // The path only tells where the picture came from; a file name GBK cannot hold
        // must not stop the page from being saved, so such characters are stored as "?".
        std::string stored = GbkCodec::ToUtf8(GbkCodec::FromUtf8Lossy(m_strPath));
        ar.Text(stored);
    } else {
        ar.Text(m_strPath);
    }
    h.bitCount = bitCount;
    h.planes = planes;

    if (ar.IsStoring()) {
        if (h.bitCount == 8) {
            for (int i = 0; i < 256; ++i) {
                RgbQuad q = i < static_cast<int>(m_table.size()) ? m_table[i] : RgbQuad{};
                uint8_t reserved = 0;
                ar.Byte(q.blue);
                ar.Byte(q.green);
                ar.Byte(q.red);
                ar.Byte(reserved);
            }
        }
        const size_t len = static_cast<size_t>(dataLen);
        const size_t have = std::min(len, m_bits.Size());
        TransferBytes(ar, const_cast<uint8_t*>(m_bits.Data()), have);
        StoreZeros(ar, len - have);
        return;
    }

    Release();
    if (!ar.Ok()) return;
    m_fileHeader = f;
    m_nDataLen = dataLen;
    if (dataLen < 2) {
        ar.Fail(StringFormat("位图数据长度 %d 无效", dataLen));
        return;
    }
    const size_t tableBytes = h.bitCount == 8 ? 1024 : 0;
    const size_t need = tableBytes + static_cast<size_t>(dataLen);
    if (ar.Remaining() < need) {
        ar.Fail(
            StringFormat("文件在此处截断（还需 %zu 字节，只剩 %zu 字节）", need, ar.Remaining()));
        return;
    }
    std::vector<RgbQuad> table;
    for (size_t i = 0; i < tableBytes / 4; ++i) {
        RgbQuad q;
        ar.Byte(q.blue);
        ar.Byte(q.green);
        ar.Byte(q.red);
        ar.Byte(q.reserved);
        q.reserved = 0;
        table.push_back(q);
    }
    // A header that describes no usable picture leaves the object empty; its pixel bytes
    // are still consumed so the rest of the file reads in step.
    const bool made = CreatePicture(h, table, static_cast<size_t>(dataLen));
    const size_t len = static_cast<size_t>(dataLen);
    const size_t have = made ? std::min(len, m_bits.Size()) : 0;
    TransferBytes(ar, made ? m_bits.Data() : nullptr, have);
    TransferBytes(ar, nullptr, len - have);
    if (!ar.Ok()) Release();
}

const uint8_t* CBmpObj::PictureRow(int y) const {
    const int height = GetHeight();
    const int memoryRow = m_info.height < 0 ? y : height - 1 - y;
    return m_bits.Data() + static_cast<size_t>(memoryRow) * m_nRowBytes;
}

COLORREF CBmpObj::GetColour(int x, int y) const {
    if (!HasPicture() || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight()) return 0;
    return DibFormat::PixelColour(PictureRow(y), x, m_info.bitCount, m_table);
}

int CBmpObj::PageCount(const Rect& box, const PageFormat& page, const DownloadSettings& settings) {
    const double area =
        std::fabs(double(box.right) - box.left) * std::fabs(double(box.bottom) - box.top);
    int64_t divisor = settings.flashPageSize;
    if (settings.pixels16)
        divisor = settings.flashPageSize / 2;
    else if (page.Is8Colour320x234())
        divisor = int64_t{2} * settings.flashPageSize;
    if (divisor < 1) divisor = 1;
    const double pages = std::ceil(area / static_cast<double>(divisor));
    return pages > INT_MAX ? INT_MAX : static_cast<int>(pages);
}

int CBmpObj::AppendPixels(CByteArray& bytes, int colours, int width, int height,
                          const DownloadSettings& settings) const {
    if (!HasPicture()) return -1;
    if (width == -1 && height == -1) {
        width = GetWidth();
        height = GetHeight();
    }
    if (width <= 0 || height <= 0) return 0;
    std::string limit;
    if (DibFormat::CheckSize(width, height, 16, limit) < 0) return -1;
    const size_t before = bytes.size();
    const int srcWidth = GetWidth(), srcHeight = GetHeight();
    std::vector<int> columns(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x)
        columns[static_cast<size_t>(x)] = static_cast<int>(Pick(x, width, srcWidth));
    const bool lowFirst = settings.LowByteFirst();
    const bool wide = settings.pixels16 || colours == 14 || colours == 16;
    bytes.reserve(before + static_cast<size_t>(width) * height * (wide ? 2 : 1));
    const int bits = m_info.bitCount;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = PictureRow(static_cast<int>(Pick(y, height, srcHeight)));
        uint8_t pending = 0;
        for (int x = 0; x < width; ++x) {
            const COLORREF c =
                DibFormat::PixelColour(row, columns[static_cast<size_t>(x)], bits, m_table);
            const uint8_t r = RedOf(c), g = GreenOf(c), b = BlueOf(c);
            if (wide) {
                const uint16_t v = PixelCodes::ColourTo565(r, g, b);
                const uint8_t hi = static_cast<uint8_t>(v >> 8), lo = static_cast<uint8_t>(v);
                bytes.push_back(lowFirst ? lo : hi);
                bytes.push_back(lowFirst ? hi : lo);
            } else if (colours == 8) {
                // Two pixels a byte: the even one in bits 0..2, the odd one in bits 4..6.
                // An odd row's last pixel has no partner and is not sent, as the module
                // takes width / 2 bytes per row.
                if ((x & 1) == 0) {
                    pending = PixelCodes::ColourTo8(r, g, b);
                } else {
                    bytes.push_back(
                        static_cast<uint8_t>(pending | (PixelCodes::ColourTo8(r, g, b) << 4)));
                }
            } else if (colours == 64) {
                bytes.push_back(PixelCodes::ColourTo64(r, g, b));
            } else if (colours == 256) {
                bytes.push_back(PixelCodes::ColourTo256(r, g, b));
            }
        }
    }
    return static_cast<int>(bytes.size() - before);
}

int CBmpObj::AppendFullScreenBitmap(CByteArray& bytes, const PageFormat& page,
                                    const DownloadSettings& settings) const {
    if (!HasPicture()) return -1;
    const size_t before = bytes.size();
    bytes.insert(bytes.end(), {0x1B, 0x18, 0x00, 0x00, 0x00, 0x00});
    if (page.Is8Colour320x234()) {
        bytes.push_back(0xA0);  // 160 bytes a row at two pixels a byte
        bytes.push_back(0xEA);  // 234 rows
    } else {
        AppendWord(bytes, page.width);
        AppendWord(bytes, page.height);
    }
    const int n = AppendPixels(bytes, page.colours, page.width, page.height, settings);
    if (n < 0) bytes.resize(before);
    return n;
}

int CBmpObj::AppendPageImage(CByteArray& bytes, const PageFormat& page, uint8_t backId,
                             const DownloadSettings& settings) const {
    if (!HasPicture()) return -1;
    const size_t before = bytes.size();
    bytes.push_back(0x1B);
    bytes.push_back(0x20);
    switch (settings.instructionMode) {
        case 2:
            bytes.insert(bytes.end(), {0x0A, 0xA0, 0x0A, backId});
            break;
        case 1:
            bytes.insert(bytes.end(), {0x01, backId, 0x00, static_cast<uint8_t>(backId + 60)});
            break;
        default:
            bytes.push_back(backId);
    }
    bytes.push_back(0x00);
    const int n = AppendPixels(bytes, page.colours, page.width, page.height, settings);
    if (n < 0) {
        bytes.resize(before);
        return -1;
    }
    const int pageSize = settings.flashPageSize;
    int padding = 0;
    if (pageSize > 0 && n % pageSize != 0) padding = pageSize - n % pageSize;
    bytes.insert(bytes.end(), static_cast<size_t>(padding), 0xFF);
    return n + padding;
}

void CBmpObj::Draw(Surface& dc, const Rect& rc) const {
    if (!HasPicture()) return;
    const int64_t l = std::min(rc.left, rc.right), r = std::max(rc.left, rc.right);
    const int64_t t = std::min(rc.top, rc.bottom), b = std::max(rc.top, rc.bottom);
    if (l == r || t == b) return;
    const int64_t x0 = std::max<int64_t>(l, 0), x1 = std::min<int64_t>(r, dc.Width());
    const int64_t y0 = std::max<int64_t>(t, 0), y1 = std::min<int64_t>(b, dc.Height());
    const int srcWidth = GetWidth(), srcHeight = GetHeight();
    for (int64_t y = y0; y < y1; ++y) {
        const uint8_t* row = PictureRow(static_cast<int>(Pick(y - t, b - t, srcHeight)));
        uint32_t* out = dc.Pixels() + y * dc.Width();
        for (int64_t x = x0; x < x1; ++x) {
            const int sx = static_cast<int>(Pick(x - l, r - l, srcWidth));
            out[x] = Surface::ToPixel(DibFormat::PixelColour(row, sx, m_info.bitCount, m_table));
        }
    }
}
