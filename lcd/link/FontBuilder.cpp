#include "link/FontBuilder.h"

#include "base/Messenger.h"
#include "base/StringFormat.h"
#include "link/CommandBuilder.h"
#include "link/DownloadFile.h"

namespace {

bool ReadFont(const std::string& path, CByteArray& file, Messenger& messenger) {
    switch (DownloadFile::Read(path, file)) {
        case DownloadFile::CannotOpen:
            messenger.Tell("打开字库文件失败", "提示");
            return false;
        case DownloadFile::ShortRead:
            messenger.Tell("读取字库文件失败", "提示");
            return false;
        case DownloadFile::Ok:
            break;
    }
    return true;
}

}  // namespace

bool FontBuilder::BuildStandard(const std::string& path, int mode, CByteArray& bytes,
                                Messenger& messenger) {
    CByteArray file;
    if (!ReadFont(path, file, messenger)) return false;
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
    if (!ReadFont(path, file, messenger)) return false;
    // The K byte counts 8192-byte units and cannot describe a larger file.
    if (!CommandBuilder::CustomFont(bytes, mode, static_cast<uint8_t>(kind), file)) {
        messenger.Tell(
            StringFormat("自定义字库文件过大：%zu 字节，最多 %d 字节（%d × %d）", file.size(),
                         CommandBuilder::kMaxFontUnits * CommandBuilder::kFontUnit,
                         CommandBuilder::kMaxFontUnits, CommandBuilder::kFontUnit),
            "提示");
        return false;
    }
    return true;
}
