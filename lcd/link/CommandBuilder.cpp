#include "link/CommandBuilder.h"

#include <array>

#include "base/Messenger.h"
#include "base/StringFormat.h"
#include "images/CBmpObj.h"
#include "items/CItemBase.h"
#include "link/Crc16Xmodem.h"

namespace {

constexpr uint8_t kEsc = 0x1B;
constexpr uint8_t kPageRecord = 0x56;
constexpr uint8_t kBitmapRecord = 0x28;
constexpr uint8_t kBlockRecord = 0x20;
constexpr uint8_t kFirmware = 0x3D;
constexpr uint8_t kCrc = 0x3F;
constexpr uint8_t kShowPage = 0x50;
constexpr uint8_t kOption = 0x5D;
constexpr uint8_t kBaud = 0x1D;
constexpr uint8_t kVersion = 0x5E;
constexpr uint8_t kColour = 0x42;
constexpr uint8_t kBackBitmap = 0x19;
constexpr uint8_t kDelay = 0x53;
// The three bytes after the command byte that arm a long-form flash write.
constexpr std::array<uint8_t, 3> kLongMark = {0x0A, 0xA0, 0x0A};

// Bytes of a record's page count: the items plus the delay and next-page trailer, and the
// background command on every page but an auxiliary one.
constexpr int kTrailerBytes = 6;
constexpr int kBackgroundBytes = 3;

void PadTo(CByteArray& bytes, size_t dataBytes, size_t unit) {
    if (unit == 0 || dataBytes % unit == 0) return;
    bytes.insert(bytes.end(), unit - dataBytes % unit, CommandBuilder::kPad);
}

void Short(CByteArray& bytes, std::initializer_list<uint8_t> all) {
    bytes.insert(bytes.end(), all);
}

}  // namespace

void CommandBuilder::AppendBigEndian16(CByteArray& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value >> 8));
    bytes.push_back(static_cast<uint8_t>(value & 0xFF));
}

void CommandBuilder::Head(CByteArray& bytes, int mode, uint8_t command,
                          std::span<const uint8_t> params, bool flashWrite) {
    bytes.push_back(kEsc);
    bytes.push_back(command);
    if (mode == ModeChecksum) {
        const auto n = static_cast<uint8_t>(params.size());
        uint16_t sum = static_cast<uint16_t>(kEsc + command + n);
        for (const uint8_t p : params)
            sum = static_cast<uint16_t>(sum + p);
        bytes.push_back(n);
        bytes.insert(bytes.end(), params.begin(), params.end());
        AppendBigEndian16(bytes, sum);
        return;
    }
    if (mode == ModeLong && flashWrite)
        bytes.insert(bytes.end(), kLongMark.begin(), kLongMark.end());
    bytes.insert(bytes.end(), params.begin(), params.end());
}

void CommandBuilder::PageRecordHead(CByteArray& bytes, int mode, uint8_t startPage,
                                    uint8_t pageCount) {
    const uint8_t p[] = {startPage, pageCount};
    Head(bytes, mode, kPageRecord, p, true);
}

void CommandBuilder::BitmapRecordHead(CByteArray& bytes, int mode, uint8_t block, uint8_t startPage,
                                      int pageCount) {
    const uint8_t p[] = {block, startPage, static_cast<uint8_t>(pageCount & 0xFF)};
    Head(bytes, mode, kBitmapRecord, p, true);
}

void CommandBuilder::BlockRecordHead(CByteArray& bytes, int mode, uint8_t block) {
    if (mode != ModeChecksum) {
        const uint8_t p[] = {block};
        Head(bytes, mode, kBlockRecord, p, true);
        return;
    }
    // The module checks only the low byte here; the high byte is always sent as 00.
    Short(bytes, {kEsc, kBlockRecord, 0x01, block, 0x00,
                  static_cast<uint8_t>(kEsc + kBlockRecord + 0x01 + block)});
}

void CommandBuilder::StartCheck(CByteArray& bytes, int mode) {
    const uint8_t p[] = {0x01};
    Head(bytes, mode, kCrc, p, true);
}

void CommandBuilder::ShowPage(CByteArray& bytes, int mode, uint8_t startPage) {
    const uint8_t p[] = {startPage};
    Head(bytes, mode, kShowPage, p, false);
}

void CommandBuilder::Option(CByteArray& bytes, int mode, uint8_t option, uint8_t value) {
    const uint8_t p[] = {0x01, option, value};
    Head(bytes, mode == ModeChecksum ? ModeChecksum : ModeShort, kOption, p, false);
}

void CommandBuilder::ModeOption(CByteArray& bytes, int previousMode, int newMode) {
    // The module still reads with the previous framing; going from short to checksum it
    // already expects the sum.
    const bool checksum =
        previousMode == ModeChecksum || (previousMode == ModeShort && newMode == ModeChecksum);
    const uint8_t value = (newMode == ModeChecksum || newMode == ModeLong) ? 1 : 0;
    Option(bytes, checksum ? ModeChecksum : ModeShort, 0x00, value);
}

void CommandBuilder::PageSizeOption(CByteArray& bytes, bool bytes512) {
    Option(bytes, ModeShort, 0x02, bytes512 ? 1 : 0);
}

void CommandBuilder::Baud(CByteArray& bytes, int mode, uint8_t index) {
    const uint8_t p[] = {index};
    Head(bytes, mode, kBaud, p, false);
}

void CommandBuilder::ReadConfiguration(CByteArray& bytes) {
    Short(bytes, {kEsc, kOption, 0x00});
}

void CommandBuilder::ReadVersion(CByteArray& bytes) {
    Short(bytes, {kEsc, kVersion, 0x00});
}

bool CommandBuilder::PageRecord(CByteArray& bytes, int mode, const PageFields& page,
                                std::span<const std::unique_ptr<CItemBase>> items,
                                Messenger& messenger) {
    PageRecordHead(bytes, mode, static_cast<uint8_t>(page.startPage & 0xFF),
                   static_cast<uint8_t>(page.pageCount & 0xFF));
    const size_t body = bytes.size();
    if (page.kind == 0) Short(bytes, {kEsc, kColour, page.backCode});
    if (page.kind == 2) Short(bytes, {kEsc, kBackBitmap, page.backId});
    int64_t announced = kTrailerBytes + (page.kind == 1 ? 0 : kBackgroundBytes);
    for (const auto& item : items) {
        item->Encode(1, bytes);
        announced += item->GetEncodedLength();
    }
    Short(bytes,
          {kEsc, kDelay, static_cast<uint8_t>(page.delay & 0xFF), kEsc, kShowPage, page.nextPage});
    const size_t built = bytes.size() - body;
    const bool agree = announced == static_cast<int64_t>(built);
    if (!agree) {
        messenger.Tell(page.name + "的前一页面" +
                           StringFormat("有错误 (%lld,%lld)", static_cast<long long>(announced),
                                        static_cast<long long>(built)),
                       "提示");
    }
    PadTo(bytes, built, kPageBytes);
    return agree;
}

void CommandBuilder::BitmapRecord(CByteArray& bytes, int mode, uint8_t block, uint8_t startPage,
                                  int pageCount, std::span<const uint8_t> pixels,
                                  int flashPageSize) {
    BitmapRecordHead(bytes, mode, block, startPage, pageCount);
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    PadTo(bytes, pixels.size(), flashPageSize > 0 ? static_cast<size_t>(flashPageSize) : 0);
}

void CommandBuilder::PageImageRecord(CByteArray& bytes, int mode, uint8_t backId,
                                     std::span<const uint8_t> pixels, int flashPageSize) {
    BlockRecordHead(bytes, mode, backId);
    bytes.push_back(0x00);
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    PadTo(bytes, pixels.size(), flashPageSize > 0 ? static_cast<size_t>(flashPageSize) : 0);
}

bool CommandBuilder::BitmapRecord(CByteArray& bytes, const DownloadSettings& settings,
                                  const CBmpObj& bmp, const Rect& box, const PageFormat& page) {
    if (!bmp.HasPicture()) return false;
    CByteArray pixels;
    const int width = box.right - box.left, height = box.bottom - box.top;
    if (width > 0 && height > 0 &&
        bmp.AppendPixels(pixels, page.colours, width, height, settings) < 0)
        return false;
    BitmapRecord(bytes, settings.instructionMode, static_cast<uint8_t>(bmp.m_nBlock & 0xFF),
                 static_cast<uint8_t>(bmp.m_nStartPage & 0xFF),
                 CBmpObj::PageCount(box, page, settings), pixels, settings.flashPageSize);
    return true;
}

bool CommandBuilder::PageImageRecord(CByteArray& bytes, const DownloadSettings& settings,
                                     const CBmpObj& bmp, const PageFormat& page, uint8_t backId) {
    CByteArray pixels;
    if (bmp.AppendPixels(pixels, page.colours, page.width, page.height, settings) < 0) return false;
    PageImageRecord(bytes, settings.instructionMode, backId, pixels, settings.flashPageSize);
    return true;
}

void CommandBuilder::StandardFont(CByteArray& bytes, int mode, std::span<const uint8_t> file) {
    BlockRecordHead(bytes, mode, kStandardFontBlock);
    bytes.push_back(0x20);
    bytes.insert(bytes.end(), file.begin(), file.end());
}

bool CommandBuilder::CustomFont(CByteArray& bytes, int mode, uint8_t kind,
                                std::span<const uint8_t> file) {
    const size_t units = (file.size() + kFontUnit - 1) / kFontUnit;
    if (units > kMaxFontUnits) return false;
    BlockRecordHead(bytes, mode, kCustomFontBlock);
    bytes.push_back(static_cast<uint8_t>(units));
    bytes.push_back(kind);
    bytes.insert(bytes.end(), file.begin(), file.end());
    PadTo(bytes, file.size(), kFontUnit);
    return true;
}

bool CommandBuilder::FirmwareImage(CByteArray& bytes, std::span<const uint8_t> image) {
    const uint64_t rounded =
        (static_cast<uint64_t>(image.size()) + kFirmwareUnit - 1) / kFirmwareUnit * kFirmwareUnit;
    if (rounded > 0xFFFFFFFFu) return false;
    const size_t start = bytes.size();
    Short(bytes, {kEsc, kFirmware});
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<uint8_t>(rounded >> shift));
    bytes.insert(bytes.end(), image.begin(), image.end());
    bytes.insert(bytes.end(), rounded - image.size(), kPad);
    uint16_t sum = 0;
    for (size_t i = start; i < bytes.size(); ++i)
        sum = static_cast<uint16_t>(sum + bytes[i]);
    AppendBigEndian16(bytes, sum);
    return true;
}

int64_t CommandBuilder::FullScreenBytes(int width, int height, int colours, bool pixels16) {
    if (width <= 0 || height <= 0) return 0;
    const int64_t pixels = static_cast<int64_t>(width) * height;
    if (pixels16 || colours == 16 || colours == 14) return pixels * 2;
    // Two pixels a byte; an odd row's last pixel is not sent.
    if (colours == 8) return static_cast<int64_t>(width / 2) * height;
    if (colours == 64 || colours == 256) return pixels;
    return 0;
}

int CommandBuilder::CrcTable(CByteArray& bytes, int mode, std::span<const uint8_t> image,
                             int flashPageSize, int64_t fullScreenBytes, bool* truncated) {
    if (truncated) *truncated = false;
    if (flashPageSize <= 0) return -1;
    const size_t start = bytes.size();
    const uint8_t p[] = {0x00};
    Head(bytes, mode, kCrc, p, true);
    const size_t countAt = bytes.size();
    AppendBigEndian16(bytes, 0);

    // Where the address bytes sit after the command byte: behind n in checksum form,
    // behind the long mark in long form.
    const size_t fieldAt = mode == ModeChecksum ? 1 : (mode == ModeLong ? 3 : 0);
    const size_t extra = (mode == ModeChecksum || mode == ModeLong) ? 3 : 0;
    const int64_t fullScreenUnits = (fullScreenBytes + flashPageSize - 1) / flashPageSize;
    int entries = 0;
    size_t i = 0;
    while (i < image.size()) {
        if (image[i] != kEsc) {
            ++i;
            continue;
        }
        if (i + 1 >= image.size()) break;
        const uint8_t command = image[i + 1];
        size_t fields;  // address bytes of the head
        size_t rest;    // head bytes after the command byte
        if (command == kBlockRecord) {
            fields = 1;
            rest = 2 + extra;  // the 00 after the head belongs to it
        } else if (command == kBitmapRecord) {
            fields = 3;
            rest = 3 + extra;
        } else if (command == kPageRecord) {
            fields = 2;
            rest = 2 + extra;
        } else {
            ++i;
            continue;
        }
        const size_t headEnd = i + 2 + rest;
        if (headEnd > image.size()) {
            if (truncated) *truncated = true;
            break;
        }
        const uint8_t* f = image.data() + i + 2 + fieldAt;
        uint64_t dataBytes;
        if (command == kBlockRecord) {
            dataBytes = static_cast<uint64_t>(fullScreenUnits) * flashPageSize;
        } else if (command == kBitmapRecord) {
            // 256 pages are announced as 00.
            dataBytes = static_cast<uint64_t>(f[2] ? f[2] : 256) * flashPageSize;
        } else {
            dataBytes = static_cast<uint64_t>(f[1]) * kPageBytes;
        }
        if (dataBytes > image.size() - headEnd) {
            if (truncated) *truncated = true;
            break;
        }
        const size_t entryBytes = 2 + fields + 2;
        if (bytes.size() - (countAt + 2) + entryBytes > 0xFFFF) {
            bytes.resize(start);
            return -1;
        }
        bytes.push_back(kEsc);
        bytes.push_back(command);
        bytes.insert(bytes.end(), f, f + fields);
        AppendBigEndian16(bytes, Crc16Xmodem(image.subspan(headEnd, dataBytes)));
        ++entries;
        i = headEnd + dataBytes;
    }
    const size_t count = bytes.size() - countAt - 2;
    bytes[countAt] = static_cast<uint8_t>(count >> 8);
    bytes[countAt + 1] = static_cast<uint8_t>(count & 0xFF);
    return entries;
}
