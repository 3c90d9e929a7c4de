#include "JsonCommands.h"

#include <string>
#include <vector>

#include "CommandLine.h"
#include "Output.h"
#include "base/AtomicFile.h"
#include "project/ArchiveJson.h"
#include "project/CLedDoc.h"

namespace {

// The longest JSON read: a page's bitmaps at two hex digits a byte, with room to spare.
constexpr uint64_t kMaxJsonBytes = CLedDoc::kMaxFileBytes * 3;

bool IsJsonName(const std::string& path) {
    std::string lower;
    for (const char c : path)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.ends_with(".json");
}

bool ReadText(const std::string& path, std::string& text, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!AtomicFile::Read(path, bytes, error, kMaxJsonBytes)) return false;
    text.assign(bytes.begin(), bytes.end());
    return true;
}

}  // namespace

bool JsonCommands::LoadPage(const std::string& path, CLedDoc& doc, std::string& error) {
    if (!IsJsonName(path)) return doc.LoadFile(path, error);
    std::string text;
    if (!ReadText(path, text, error)) return false;
    ArchiveJson::Kind kind = ArchiveJson::Kind::Page;
    CByteArray bytes;
    if (!ArchiveJson::Load(text, kind, bytes, error)) {
        error = path + "：" + error;
        return false;
    }
    if (kind != ArchiveJson::Kind::Page) {
        error = path + "：不是页面的 JSON（format 为 " + ArchiveJson::FormatName(kind) + "）";
        return false;
    }
    if (!doc.Load(bytes, error)) {
        error = path + "：" + error;
        return false;
    }
    return true;
}

int JsonCommands::Dump(const CommandLine& args) {
    const std::string& path = args.Positional()[0];
    const std::string out = args.Value("-o");
    if (!Output::CheckName(out)) return 1;
    ArchiveJson::Kind kind = ArchiveJson::Kind::Page;
    const std::string as = args.Value("--as");
    if (as == "page") {
        kind = ArchiveJson::Kind::Page;
    } else if (as == "project") {
        kind = ArchiveJson::Kind::Project;
    } else if (as == "devices") {
        kind = ArchiveJson::Kind::Devices;
    } else if (!as.empty()) {
        return Output::Fail("--as 须为 page、project 或 devices，不是 " + as);
    } else if (!ArchiveJson::KindOfName(path, kind)) {
        return Output::Fail(path + "：看不出文件种类（.pg、.zkp 或 .dll），请用 --as 指定");
    }
    std::vector<uint8_t> bytes;
    std::string error, json;
    if (!AtomicFile::Read(path, bytes, error, CLedDoc::kMaxFileBytes)) return Output::Fail(error);
    if (!ArchiveJson::Dump(kind, bytes, json, error)) return Output::Fail(path + "：" + error);
    return Output::WriteBytes(out, {reinterpret_cast<const uint8_t*>(json.data()), json.size()})
               ? 0
               : 1;
}

int JsonCommands::Load(const CommandLine& args) {
    const std::string& path = args.Positional()[0];
    const std::string out = args.Value("-o");
    if (!Output::CheckName(out)) return 1;
    std::string text, error;
    if (!ReadText(path, text, error)) return Output::Fail(error);
    ArchiveJson::Kind kind = ArchiveJson::Kind::Page;
    CByteArray bytes;
    if (!ArchiveJson::Load(text, kind, bytes, error)) return Output::Fail(path + "：" + error);
    return Output::WriteBytes(out, bytes) ? 0 : 1;
}
