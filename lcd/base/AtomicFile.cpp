#include "base/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr const char* kTempTag = ".lcdtmp-";
constexpr int kMaxLinkHops = 40;

std::string Reason(const std::string& what, const std::string& path, int err = errno) {
    return what + " " + path + "：" + std::strerror(err);
}

std::string DirOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// ".NAME.lcdtmp-": the start of every temporary of one target, cut so that a whole
// temporary name ("<prefix>PID-XXXXXX") still fits a file name.
std::string TempPrefix(const std::string& base) {
    const size_t room = NAME_MAX - 1 - std::strlen(kTempTag) - 7 - 1 - 6;
    return "." + base.substr(0, room) + kTempTag;
}

// Follows symbolic links to the file that is really written. `st` describes it when
// `exists`; a dangling link leads to the path it names.
bool Resolve(const std::string& path, std::string& target, struct stat& st, bool& exists,
             std::string& error) {
    target = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        if (lstat(target.c_str(), &st) != 0) {
            exists = false;
            if (errno == ENOENT) return true;
            error = Reason("无法写入文件", path);
            return false;
        }
        exists = true;
        if (!S_ISLNK(st.st_mode)) return true;
        std::string link(PATH_MAX, '\0');
        const ssize_t n = readlink(target.c_str(), link.data(), link.size());
        if (n < 0) {
            error = Reason("无法写入文件", path);
            return false;
        }
        link.resize(static_cast<size_t>(n));
        target = link.starts_with('/') ? link : DirOf(target) + "/" + link;
    }
    error = Reason("无法写入文件", path, ELOOP);
    return false;
}

// Removes temporaries of `base` left in `dir` by processes that no longer run.
void RemoveStaleTemporaries(const std::string& dir, const std::string& base) {
    DIR* d = opendir(dir.c_str());
    if (!d) return;
    const std::string prefix = TempPrefix(base);
    while (const dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (!name.starts_with(prefix)) continue;
        const std::string rest = name.substr(prefix.size());
        char* end = nullptr;
        const long pid = std::strtol(rest.c_str(), &end, 10);
        if (pid <= 0 || *end != '-' || std::strlen(end) != 7 || pid == getpid()) continue;
        if (kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        unlinkat(dirfd(d), name.c_str(), 0);
    }
    closedir(d);
}

}  // namespace

AtomicFile::Writer::~Writer() {
    Abandon();
}

void AtomicFile::Writer::Abandon() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    if (!m_temp.empty()) ::unlink(m_temp.c_str());
    m_temp.clear();
}

bool AtomicFile::Writer::Open(const std::string& path, std::string& error) {
    Abandon();
    m_path = path;
    struct stat st {};
    bool exists = false;
    if (!Resolve(path, m_target, st, exists, error)) return false;
    if (exists && S_ISDIR(st.st_mode)) {
        error = Reason("无法写入文件", path, EISDIR);
        return false;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        // A device or FIFO takes the bytes as they come; O_NONBLOCK keeps a FIFO without
        // a reader from hanging the program.
        m_fd = ::open(m_target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
        if (m_fd < 0) {
            error = Reason("无法写入文件", path);
            return false;
        }
        fcntl(m_fd, F_SETFL, fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
        return true;
    }
    const std::string dir = DirOf(m_target), base = BaseOf(m_target);
    RemoveStaleTemporaries(dir, base);
    m_temp = dir + "/" + TempPrefix(base) + std::to_string(getpid()) + "-XXXXXX";
    m_fd = mkostemp(m_temp.data(), O_CLOEXEC);
    if (m_fd < 0) {
        m_temp.clear();
        error = Reason("无法创建文件", path);
        return false;
    }
    if (exists) {
        // The replacement keeps what the old file had; the owner only where we may.
        (void)!fchown(m_fd, st.st_uid, st.st_gid);
        fchmod(m_fd, st.st_mode & 07777);
    } else {
        // mkstemp makes the file private; give it the usual permissions of a document.
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(m_fd, 0666 & ~mask);
    }
    return true;
}

bool AtomicFile::Writer::Append(std::span<const uint8_t> bytes, std::string& error) {
    if (m_fd < 0) {
        error = Reason("写文件失败", m_path, EBADF);
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = Reason("写文件失败", m_path);
            Abandon();
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool AtomicFile::Writer::Commit(std::string& error) {
    if (m_fd < 0) {
        error = Reason("写文件失败", m_path, EBADF);
        return false;
    }
    if (m_temp.empty()) {
        // Special files: fsync means nothing to most of them.
        const int closed = ::close(m_fd);
        m_fd = -1;
        if (closed != 0) error = Reason("写文件失败", m_path);
        return closed == 0;
    }
    const bool synced = ::fsync(m_fd) == 0;
    const int err = errno;
    const bool closed = ::close(m_fd) == 0;
    m_fd = -1;
    if (!synced || !closed) {
        error = Reason("写文件失败", m_path, synced ? errno : err);
        Abandon();
        return false;
    }
    if (std::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        error = Reason("无法替换文件", m_path);
        Abandon();
        return false;
    }
    m_temp.clear();
    return true;
}

bool AtomicFile::Write(const std::string& path, std::span<const uint8_t> bytes,
                       std::string& error) {
    Writer writer;
    return writer.Open(path, error) && writer.Append(bytes, error) && writer.Commit(error);
}

std::string AtomicFile::SizeText(uint64_t bytes) {
    if (bytes % (1 << 20) == 0) return std::to_string(bytes >> 20) + " MB";
    return std::to_string(bytes) + " 字节";
}

bool AtomicFile::SameFile(const std::string& a, const std::string& b) {
    struct stat x {
    }, y{};
    return stat(a.c_str(), &x) == 0 && stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev &&
           x.st_ino == y.st_ino;
}

std::string AtomicFile::TooLarge(const std::string& path, uint64_t size, uint64_t limit) {
    return "文件过大 " + path + "：" + std::to_string(size) + " 字节，此类文件最多 " +
           SizeText(limit);
}

bool AtomicFile::Read(const std::string& path, std::vector<uint8_t>& bytes, std::string& error,
                      uint64_t limit) {
    bytes.clear();
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = Reason("无法打开文件", path);
        return false;
    }
    struct stat st {};
    bool ok = false;
    if (fstat(fd, &st) != 0) {
        error = Reason("无法打开文件", path);
    } else if (!S_ISREG(st.st_mode)) {
        error = "不是普通文件：" + path;
    } else if (static_cast<uint64_t>(st.st_size) > limit) {
        error = TooLarge(path, static_cast<uint64_t>(st.st_size), limit);
    } else {
        try {
            // One byte more than the limit tells a file that grew while it was read.
            bytes.resize(static_cast<size_t>(st.st_size) + 1);
            size_t got = 0;
            ok = true;
            while (got < bytes.size()) {
                const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) {
                    error = Reason("读文件失败", path);
                    ok = false;
                    break;
                }
                if (n == 0) break;
                got += static_cast<size_t>(n);
                if (got == bytes.size() && got <= limit)
                    bytes.resize(std::min<uint64_t>(got * 2, limit + 1));
            }
            if (ok && got > limit) {
                error = TooLarge(path, got, limit);
                ok = false;
            }
            bytes.resize(got);
        } catch (const std::bad_alloc&) {
            error = "内存不足，无法读取 " + path;
            ok = false;
        }
    }
    ::close(fd);
    if (!ok) {
        bytes.clear();
        bytes.shrink_to_fit();
    }
    return ok;
}
