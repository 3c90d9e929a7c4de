#pragma once
// Every file the program writes goes to a temporary file in the same folder first and is
// renamed over the old one, so a crash never leaves a half-written file.
//
// - A symbolic link is followed: its target is replaced and the link stays.
// - A device, FIFO or other special file is written directly (there is nothing to
//   rename over it), like a shell redirection does.
// - Replacing an existing file keeps its permission bits (and its owner where allowed).
// - The temporary is hidden and recognisable: ".NAME.lcdtmp-PID-XXXXXX". One left behind
//   by a process that was killed is removed by the next save to the same file.
// Reading takes regular files only and refuses, before reading, one longer than the limit
// its caller states for that kind of file.

#include <sys/types.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class AtomicFile {
public:
    // The limit of a read that names none.
    static constexpr uint64_t kDefaultReadLimit = uint64_t{256} << 20;

    // A file written piece by piece: Open, Append as often as needed, Commit. Without
    // Commit (or when it fails) the old file stays as it was and no temporary is left.
    class Writer {
    public:
        Writer() = default;
        ~Writer();
        Writer(const Writer&) = delete;
        Writer& operator=(const Writer&) = delete;

        bool Open(const std::string& path, std::string& error);
        bool Append(std::span<const uint8_t> bytes, std::string& error);
        bool Commit(std::string& error);

    private:
        void Abandon();

        std::string m_path;    // as the caller named it, for messages
        std::string m_target;  // the file that ends up with the bytes
        std::string m_temp;    // "" when the target is written directly
        int m_fd = -1;
    };

    // Returns false, with `error` set (UTF-8) and the old file untouched, on failure.
    static bool Write(const std::string& path, std::span<const uint8_t> bytes, std::string& error);
    // Reads the whole file; false with `error` set when it cannot, when it is not a regular
    // file or when it is longer than `limit` bytes.
    static bool Read(const std::string& path, std::vector<uint8_t>& bytes, std::string& error,
                     uint64_t limit = kDefaultReadLimit);
    // The size-limit message of Read: names the file, its size and the limit.
    static std::string TooLarge(const std::string& path, uint64_t size, uint64_t limit);
    // A size limit as messages say it: "16 MB", or "2088960 字节" when not whole MB.
    static std::string SizeText(uint64_t bytes);
    // True when both paths exist and are one file (the same device and inode, through
    // symbolic and hard links alike): writing the one would destroy the other.
    static bool SameFile(const std::string& a, const std::string& b);
};
