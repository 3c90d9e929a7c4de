#pragma once
// The module's byte commands, appended to a caller-owned buffer; nothing here sends.
//
// The instruction mode frames the head of a command with parameter bytes p1..pn:
//   short     1B cmd p1..pn
//   checksum  1B cmd n p1..pn S_hi S_lo   (S: 16-bit sum of the head bytes before it)
//   long      1B cmd 0A A0 0A p1..pn      (write-flash commands only; others go short)
// The checksum covers the head only; data after a head goes out as it is. Numbers in
// heads and records are big-endian; padding is FF, the erased flash value.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "base/ByteArray.h"
#include "base/Geometry.h"
#include "images/DownloadSettings.h"

class CBmpObj;
class CItemBase;
class Messenger;
struct PageFormat;

class CommandBuilder {
public:
    enum Mode { ModeShort = 0, ModeChecksum = 1, ModeLong = 2 };

    // Page-area flash page: page records are padded to and counted in these.
    static constexpr int kPageBytes = 128;
    // Custom font files are stored in units of this many bytes; the K byte counts them.
    static constexpr int kFontUnit = 8192;
    static constexpr int kMaxFontUnits = 255;
    // Firmware images are rounded up to this many bytes.
    static constexpr int kFirmwareUnit = 4096;
    // Flash blocks of the fonts.
    static constexpr uint8_t kStandardFontBlock = 0x0A;
    static constexpr uint8_t kCustomFontBlock = 0x08;
    static constexpr uint8_t kPad = 0xFF;

    // The framing of one head. `flashWrite` allows the long form; in long mode every other
    // command is framed short.
    static void Head(CByteArray& bytes, int mode, uint8_t command, std::span<const uint8_t> params,
                     bool flashWrite);

    // Write-flash heads.
    static void PageRecordHead(CByteArray& bytes, int mode, uint8_t startPage, uint8_t pageCount);
    // The N byte carries the page count's low byte: 256 pages go out as 00.
    static void BitmapRecordHead(CByteArray& bytes, int mode, uint8_t block, uint8_t startPage,
                                 int pageCount);
    // The checksum form of this head is fixed by the module: 00, then the low byte of 3C + A.
    static void BlockRecordHead(CByteArray& bytes, int mode, uint8_t block);

    // Immediate commands.
    static void StartCheck(CByteArray& bytes, int mode);
    static void ShowPage(CByteArray& bytes, int mode, uint8_t startPage);
    // Options 01 (character switch) and 02 (parallel-port switch): checksum form in
    // checksum mode, else short.
    static void Option(CByteArray& bytes, int mode, uint8_t option, uint8_t value);
    // Option 00 announcing a new instruction mode; its framing follows the mode before the
    // change (checksum when that was checksum, or short going to checksum).
    static void ModeOption(CByteArray& bytes, int previousMode, int newMode);
    // Option 02 choosing 256- or 512-byte local-bitmap pages, always short.
    static void PageSizeOption(CByteArray& bytes, bool bytes512);
    // Baud index 0..4 (4800, 9600, 19200, 38400, 115200).
    static void Baud(CByteArray& bytes, int mode, uint8_t index);
    static void ReadConfiguration(CByteArray& bytes);
    static void ReadVersion(CByteArray& bytes);

    // What the page record needs of a page document.
    struct PageFields {
        std::string name;  // the page's title, for the length message
        int startPage = 0;
        int pageCount = 1;  // flash pages the record says it needs
        int kind = 0;       // 0 main, 1 auxiliary, 2 background bitmap
        uint8_t backCode = 0;
        uint8_t backId = 0xFF;
        int delay = 0;  // 0.25 s units
        uint8_t nextPage = 0xFF;
    };
    // Head, background command by kind, every item's flash-form commands, delay and
    // next-page trailer, FF up to whole 128-byte pages. When the bytes after the head
    // differ from what the items announce, the user is told and the record stays as built;
    // returns false then.
    static bool PageRecord(CByteArray& bytes, int mode, const PageFields& page,
                           std::span<const std::unique_ptr<CItemBase>> items, Messenger& messenger);

    // A local bitmap: head, pixel stream, FF up to whole flash pages of `flashPageSize`.
    static void BitmapRecord(CByteArray& bytes, int mode, uint8_t block, uint8_t startPage,
                             int pageCount, std::span<const uint8_t> pixels, int flashPageSize);
    // A full-screen bitmap stored under its id: block head, 00, pixels, FF up to whole
    // flash pages.
    static void PageImageRecord(CByteArray& bytes, int mode, uint8_t backId,
                                std::span<const uint8_t> pixels, int flashPageSize);
    // A local bitmap of the project shown in `box` on a page of format `page`: its block,
    // start page and page count, its pixel stream at the box's size, framed and padded as
    // `settings` say. False (nothing appended) for a bitmap without picture.
    static bool BitmapRecord(CByteArray& bytes, const DownloadSettings& settings,
                             const CBmpObj& bmp, const Rect& box, const PageFormat& page);
    // A page's background bitmap at the page's size and colours, stored under `backId`.
    // False (nothing appended) without picture.
    static bool PageImageRecord(CByteArray& bytes, const DownloadSettings& settings,
                                const CBmpObj& bmp, const PageFormat& page, uint8_t backId);
    // Standard font: block head for block 0A, 20, the file as it is.
    static void StandardFont(CByteArray& bytes, int mode, std::span<const uint8_t> file);
    // Custom font: block head for block 08, K = 8192-byte units, the kind, the file, FF up
    // to whole units. False (nothing appended) when the file needs more units than K holds.
    static bool CustomFont(CByteArray& bytes, int mode, uint8_t kind,
                           std::span<const uint8_t> file);
    // 1B 3D, the length rounded up to 4096 (32 bits), the image, FF padding, then the 16-bit
    // sum of everything before. Same in every mode. False (nothing appended) when the
    // rounded length does not fit 32 bits.
    static bool FirmwareImage(CByteArray& bytes, std::span<const uint8_t> image);

    // Bytes of one full-screen bitmap's pixel stream: 2 per pixel for 16-bit pixels (the
    // board's flag, or the 16- and 14-bit colour counts), width / 2 per row at 8 colours,
    // 1 per pixel at 64 and 256 colours; 0 for a colour count without pixel format.
    static int64_t FullScreenBytes(int width, int height, int colours, bool pixels16);
    // The CRC table of a flash image made in `mode`: head, then for every page record,
    // local bitmap record and full-screen bitmap record found, its short head and the CRC
    // of its flash pages; the head's count is patched in at the end. Returns the number of
    // entries, or -1 (nothing appended) when the flash page size is not positive or the
    // entries pass the 16-bit count. A record cut short by the end of the image gets no
    // entry and sets `truncated`.
    static int CrcTable(CByteArray& bytes, int mode, std::span<const uint8_t> image,
                        int flashPageSize, int64_t fullScreenBytes, bool* truncated = nullptr);

    // Appends `value` high byte first.
    static void AppendBigEndian16(CByteArray& bytes, uint16_t value);
};
