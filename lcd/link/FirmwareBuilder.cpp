#include "link/FirmwareBuilder.h"

#include <cctype>
#include <span>
#include <string_view>

#include "base/Messenger.h"
#include "link/CommandBuilder.h"
#include "link/DownloadFile.h"
#include "link/HexConverter.h"

bool FirmwareBuilder::IsHexPath(const std::string& path) {
    std::string lower = path;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.find(".hex") != std::string::npos;
}

bool FirmwareBuilder::Build(const std::string& path, CByteArray& bytes, Messenger& messenger) {
    CByteArray file;
    const uint64_t limit = IsHexPath(path) ? HexConverter::kMaxTextBytes : kMaxBinaryBytes;
    if (!DownloadFile::Read(path, file, limit, "升级程序文件", messenger)) return false;
    // An empty program would leave the module with nothing to run.
    if (file.empty()) {
        messenger.Tell("升级程序文件为空", "提示");
        return false;
    }
    std::span<const uint8_t> program = file;
    CByteArray image;
    if (IsHexPath(path)) {
        const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
        const int length = HexConverter::Convert(text, image, messenger);
        if (length == 0) return false;
        program = std::span<const uint8_t>(image.data(), static_cast<size_t>(length));
    }
    if (!CommandBuilder::FirmwareImage(bytes, program)) {
        messenger.Tell("升级程序文件过大", "提示");
        return false;
    }
    return true;
}
