#include "link/DownloadFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "base/AtomicFile.h"
#include "base/Messenger.h"

DownloadFile::Result DownloadFile::Read(const std::string& path, CByteArray& bytes, uint64_t limit,
                                        std::string* reason) {
    bytes.clear();
    std::string why;
    // O_NONBLOCK: a FIFO must not hang the open; it is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (reason) *reason = std::strerror(errno);
        return CannotOpen;
    }
    struct stat st {};
    Result result = Ok;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = S_ISDIR(st.st_mode) ? "是一个目录" : "不是普通文件";
        result = CannotOpen;
    } else if (static_cast<uint64_t>(st.st_size) > limit) {
        result = TooLarge;
    } else {
        // The length is taken once, as the download announces it; a file that shrinks
        // while it is read is a short read.
        try {
            bytes.resize(static_cast<size_t>(st.st_size));
        } catch (const std::bad_alloc&) {
            result = TooLarge;
        }
        size_t got = 0;
        while (result == Ok && got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) result = ShortRead;
            if (n < 0) why = std::strerror(errno);
            if (n == 0) why = "文件在读取时变短了";
            if (n > 0) got += static_cast<size_t>(n);
        }
    }
    ::close(fd);
    if (result != Ok) CByteArray().swap(bytes);
    if (reason) *reason = why;
    return result;
}

bool DownloadFile::Read(const std::string& path, CByteArray& bytes, uint64_t limit,
                        const std::string& what, Messenger& messenger) {
    std::string reason;
    switch (Read(path, bytes, limit, &reason)) {
        case TooLarge:
            messenger.Tell(what + "过大（最多 " + AtomicFile::SizeText(limit) + "）", "提示");
            return false;
        case CannotOpen:
            messenger.Tell("打开文件失败：" + path + "（" + reason + "）", "提示");
            return false;
        case ShortRead:
            messenger.Tell("文件未读取完毕：" + path + "（" + reason + "）", "提示");
            return false;
        case Ok:
            break;
    }
    return true;
}
