#include "base/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::string Reason(const std::string& what, const std::string& path) {
    return what + " " + path + "：" + std::strerror(errno);
}

}  // namespace

bool AtomicFile::Write(const std::string& path, std::span<const uint8_t> bytes,
                       std::string& error) {
    std::string tmp = path + ".XXXXXX";
    const int fd = mkstemp(tmp.data());
    if (fd < 0) {
        error = Reason("无法创建文件", path);
        return false;
    }
    // mkstemp makes the file private; give it the usual permissions of a document.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = Reason("写文件失败", path);
            ::close(fd);
            ::unlink(tmp.c_str());
            return false;
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        error = Reason("写文件失败", path);
        ::unlink(tmp.c_str());
        return false;
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        error = Reason("无法替换文件", path);
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

bool AtomicFile::Read(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    bytes.clear();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = Reason("无法打开文件", path);
        return false;
    }
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.insert(bytes.end(), buf, buf + n);
    const bool bad = std::ferror(f) != 0;
    std::fclose(f);
    if (bad) {
        error = Reason("读文件失败", path);
        bytes.clear();
        return false;
    }
    return true;
}
