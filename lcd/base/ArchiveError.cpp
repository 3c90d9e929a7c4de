#include "base/ArchiveError.h"

#include "base/StringFormat.h"

std::string ArchiveError::Describe() const {
    return StringFormat("文件格式错误（偏移 %zu）：%s", offset, message.c_str());
}
