#include "link/FontBuilder.h"

#include "base/AtomicFile.h"
#include "base/Messenger.h"
#include "base/StringFormat.h"
#include "link/CommandBuilder.h"
#include "link/DownloadFile.h"

namespace {

// A font file the custom record's K byte cannot count is refused before it is read.
constexpr uint64_t kMaxCustomBytes =
    uint64_t{CommandBuilder::kMaxFontUnits} * CommandBuilder::kFontUnit;

std::string TooLargeText(uint64_t limit) {
    return StringFormat("自定义字库文件过大，最多 %llu 字节（%d × %d）",
                        static_cast<unsigned long long>(limit), CommandBuilder::kMaxFontUnits,
                        CommandBuilder::kFontUnit);
}

bool ReadFont(const std::string& path, CByteArray& file, uint64_t limit, Messenger& messenger) {
    std::string reason;
    switch (DownloadFile::Read(path, file, limit, &reason)) {
        case DownloadFile::TooLarge:
            messenger.Tell(limit == kMaxCustomBytes
                               ? TooLargeText(limit)
                               : "字库文件过大（最多 " + AtomicFile::SizeText(limit) + "）",
                           "提示");
            return false;
        case DownloadFile::CannotOpen:
            messenger.Tell("打开字库文件失败：" + path + "（" + reason + "）", "提示");
            return false;
        case DownloadFile::ShortRead:
            messenger.Tell("读取字库文件失败：" + path + "（" + reason + "）", "提示");
            return false;
        case DownloadFile::Ok:
            break;
    }
    // An empty font would overwrite the module's font with nothing.
    if (file.empty()) {
        messenger.Tell("字库文件为空", "提示");
        return false;
    }
    return true;
}

}  // namespace

bool FontBuilder::BuildStandard(const std::string& path, int mode, CByteArray& bytes,
                                Messenger& messenger) {
    CByteArray file;
    if (!ReadFont(path, file, kMaxStandardBytes, messenger)) return false;
    CommandBuilder::StandardFont(bytes, mode, file);
    return true;
}

bool FontBuilder::BuildCustom(const std::string& path, int kind, int mode, CByteArray& bytes,
                              Messenger& messenger) {
    if (kind < 0 || kind > kMaxKind) {
        messenger.Tell("请填写0-9之间的数字", "错误");
        return false;
    }
    CByteArray file;
    if (!ReadFont(path, file, kMaxCustomBytes, messenger)) return false;
    // The K byte counts 8192-byte units and cannot describe a larger file.
    if (!CommandBuilder::CustomFont(bytes, mode, static_cast<uint8_t>(kind), file)) {
        messenger.Tell(TooLargeText(kMaxCustomBytes), "提示");
        return false;
    }
    return true;
}
