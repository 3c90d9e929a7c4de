#pragma once
// One local bitmap: a picture stored once in module flash, at a block and start page of
// its own, and shown by bitmap items. It holds the decoded picture as a bitmap (info
// header, colour table, bottom-up rows), the source path and its flash place, and turns
// the picture into the module's pixel streams. It knows nothing of the items showing it:
// the project's LocalBitmapStore lists the bitmaps and finds the item that gives each its
// size on the module.
//
// Archive record (class "CBmpObj", schema 1), little-endian, in this order:
//   1 file type u16 (0x4D42 "BM")   2 file size u32        3 reserved u16   4 reserved u16
//   5 pixel offset u32              6 bits per pixel u16   7 important colours u32
//   8 colours used u32              9 compression u32     10 height i32    11 planes u16
//  12 header size u32              13 image size u32      14 width i32
//  15 x resolution i32             16 y resolution i32    17 m_nDataLen i32
//  18 m_nBlock i32                 19 m_nStartPage i32    20 m_strPath string
//  21 colour table, 8 bits per pixel only: 256 x (blue, green, red, 0)
//  22 pixel rows, m_nDataLen - 2 bytes                    23 the last two pixel bytes
// 1- and 4-bit records carry no colour table and load with black and white or the 16
// standard colours; pictures loaded from files are widened to 8 bits, so theirs is kept.
// An object without picture stores an empty header, data length 2 and two zero bytes.
// Storing recomputes fields 2 and 5 from the picture. A record whose header describes
// no usable picture, or more pixels than its data length holds, still has its pixel
// bytes consumed and leaves the object empty.

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "base/ByteArray.h"
#include "base/CObject.h"
#include "base/Colour.h"
#include "base/Geometry.h"
#include "images/DibBuffer.h"
#include "images/DibFormat.h"
#include "images/DownloadSettings.h"
#include "images/PageFormat.h"

class CImageImpl;
class Messenger;
class Surface;

class CBmpObj : public CObject {
public:
    struct FileHeader {
        uint16_t type = 0x4D42;
        uint32_t size = 0;
        uint16_t reserved1 = 0;
        uint16_t reserved2 = 0;
        uint32_t offset = 0;
    };
    static constexpr int kPagesPerBlock = 256;

    // Empty; used when loading from an archive.
    CBmpObj();
    // Loads the picture at `path` (a failed load leaves the object empty after its
    // message) and tells the user when the picture is too big for a local bitmap on
    // `activePage` (only with `sizeCheck`). The flash place is block 0, page 0.
    CBmpObj(const std::string& path, bool sizeCheck, const PageFormat& activePage,
            Messenger& messenger);
    ~CBmpObj() override;
    CBmpObj(const CBmpObj&) = delete;
    CBmpObj& operator=(const CBmpObj&) = delete;

    const char* ClassName() const override { return "CBmpObj"; }
    void Serialize(Archive& ar) override;

    // Decodes a BMP, GIF, JPEG or PNG file (by its extension) in memory and takes the
    // picture as a BMP file of it would carry it. Unknown extensions fail silently; a
    // picture that cannot be decoded gives one "未能打开文件！".
    bool LoadImageFile(const std::string& path, Messenger& messenger);
    // Reads a whole BMP file from the current position of `file`.
    bool ReadBmpFile(std::FILE* file, Messenger& messenger);

    bool HasPicture() const { return !m_bits.Empty(); }
    int GetWidth() const { return HasPicture() ? m_info.width : 0; }
    int GetHeight() const;
    int GetBitCount() const { return HasPicture() ? m_info.bitCount : 0; }
    // Flash pages a bitmap shown in `box` on `page` takes at `settings`.
    static int PageCount(const Rect& box, const PageFormat& page, const DownloadSettings& settings);
    // Flash pages a new picture of this size needs before any item gives it a size: fixed
    // pages of 512 pixels (1024 on the 8-colour 320 x 234 module), whatever the board.
    int64_t PlacementPages(const PageFormat& page) const;
    // Takes the picture of `other`, keeping this bitmap's path and flash place.
    void TakePicture(CBmpObj& other);
    // The colour at picture column x, row y (row 0 at the top); black outside.
    COLORREF GetColour(int x, int y) const;
    const BitmapInfoHeader& InfoHeader() const { return m_info; }
    std::span<const RgbQuad> ColourTable() const { return m_table; }
    std::span<const uint8_t> PixelBytes() const { return {m_bits.Data(), m_bits.Size()}; }
    void Release();

    // The picture stretched (nearest neighbour) to width x height, rows top to bottom,
    // in the module's format for `colours` and the board of `settings`; width and height
    // both -1 mean the picture's own size. Returns the bytes appended, or -1 (nothing
    // appended) without picture or for a size beyond the picture limits.
    int AppendPixels(CByteArray& bytes, int colours, int width, int height,
                     const DownloadSettings& settings) const;
    // 1B 18, four zero bytes, the page's size (A0 EA on the 8-colour 320 x 234 module),
    // then the pixels. Returns the pixel bytes; -1 and nothing appended without picture.
    int AppendFullScreenBitmap(CByteArray& bytes, const PageFormat& page,
                               const DownloadSettings& settings) const;
    // 1B 20, the prefix of the instruction mode for background bitmap `backId`, 00, the
    // pixels and 0xFF up to a whole flash page. Returns pixel plus padding bytes; -1 and
    // nothing appended without picture.
    int AppendPageImage(CByteArray& bytes, const PageFormat& page, uint8_t backId,
                        const DownloadSettings& settings) const;
    // Stretches the picture into `rc` (nearest neighbour), as a bitmap item shows it.
    void Draw(Surface& dc, const Rect& rc) const;

    FileHeader m_fileHeader;
    int32_t m_nDataLen = 0;
    std::string m_strPath;
    int32_t m_nBlock = 0;
    int32_t m_nStartPage = 0;

private:
    const uint8_t* PictureRow(int y) const;
    // Checks the header and makes the colour table and the pixel memory (taking `pixels`
    // when they are given and of the right size); false (nothing made) when it describes
    // no usable picture or more pixel bytes than `available`.
    bool CreatePicture(const BitmapInfoHeader& header, std::span<const RgbQuad> table,
                       size_t available, DibBuffer* pixels = nullptr);
    // Takes a decoded picture's header, table and pixels (the picture is left empty).
    bool TakeDecoded(CImageImpl& decoded);

    BitmapInfoHeader m_info;
    std::vector<RgbQuad> m_table;
    DibBuffer m_bits;
    int m_nRowBytes = 0;
};
