#include "FontOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/AtomicFile.h"

bool WriteOutput(const std::string& path, std::span<const uint8_t> bytes, std::string& error) {
    if (path != "-") return AtomicFile::Write(path, bytes, error);
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
        std::fflush(stdout) == 0)
        return true;
    error = std::string("写标准输出失败：") + std::strerror(errno);
    return false;
}

std::string OutputOntoInput(const std::string& path, const std::vector<std::string>& inputs) {
    for (const std::string& input : inputs)
        if (path != "-" && !input.empty() && AtomicFile::SameFile(path, input))
            return path +
                   (path == input ? " 是输入文件本身" : " 与输入文件 " + input + " 是同一个文件") +
                   "，写入会毁掉它；请换一个输出文件";
    return "";
}
