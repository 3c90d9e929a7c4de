#include "Output.h"

#include <cstdio>

#include "base/AtomicFile.h"

int Output::Fail(const std::string& message) {
    std::fprintf(stderr, "lcdtool: %s\n", message.c_str());
    return 1;
}

int Output::Usage(const std::string& usage) {
    Fail("用法：" + usage);
    return 1;
}

bool Output::WriteBytes(const std::string& path, const CByteArray& bytes) {
    if (path == "-") {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
            std::fflush(stdout) != 0) {
            Fail("写标准输出失败");
            return false;
        }
        return true;
    }
    std::string error;
    if (!AtomicFile::Write(path, bytes, error)) {
        Fail(error);
        return false;
    }
    return true;
}
