#pragma once
// Incremental download: what each link target last received of a flash image, so that the
// next download sends only the records whose bytes changed.
//
// A link target is the link kind with its port or address (LinkTarget). For each target
// the state directory keeps one small text file, replaced atomically, written after a
// download that ended well: the device type and screen of the module, the download
// settings the records were framed with (instruction mode, board type, flash page size,
// 16-bit pixels) and, per record, its kind, place, length and hash.
//
// The image's records never overlap (the layout checks refuse collisions) and each carries
// its own place, so a record whose kind, place, length and hash equal one the target
// received is still on the module: sending the others leaves the flash as a full download
// would. Anything that makes this unsure sends everything: no memory of the target,
// another device type or screen, other download settings, an unreadable memory file.
// A stopped or failed download forgets the target: the module may hold half a record.
//
// How a downloader uses it (lcdtool download, the editor's "只下载改动的部分"):
//
//   if (!image.CheckDownload()) return;
//   std::vector<FlashRecord> records;
//   image.BuildRecords(records, image.Settings(), withCrcTable);
//   DownloadTarget target{DownloadMemory::LinkTarget(linkSettings),
//                         workspace.GetProject().screen, image.Settings()};
//   const DownloadMemory memory;  // the state directory
//   const DownloadPlan plan = onlyChanged ? memory.Plan(target, records)
//                                         : DownloadPlan::Everything(records, "");
//   if (plan.send.empty()) { tell "没有改动"; return; }
//   const SendResult result = send(plan.Bytes(records));
//   // Opening may have chosen the USB module: name the target as the link was opened.
//   target.link = DownloadMemory::LinkTarget(linkSettings);
//   memory.Record(target, records, result, error);  // remembers or forgets
//
// Every download remembers, with or without onlyChanged, so that the next one can be
// incremental. A module whose flash does not outlive the program (the editor's virtual
// module) needs a target name of its own run, or no incremental download.

#include <cstdint>
#include <string>
#include <vector>

#include "base/ByteArray.h"
#include "images/DownloadSettings.h"
#include "link/Link.h"
#include "project/FlashImage.h"
#include "project/ScreenParams.h"

struct LinkSettings;

// The module a download goes to, and what the bytes of its records depend on.
struct DownloadTarget {
    std::string link;  // DownloadMemory::LinkTarget, or the caller's own name ("virtual")
    ScreenParams screen;
    DownloadSettings settings;
};

// Which records of an image a download sends.
struct DownloadPlan {
    std::vector<size_t> send;  // indexes into the records, in image order
    bool everything = true;
    std::string reason;  // why everything goes (UTF-8), "" for an incremental plan
    int64_t bytes = 0;   // of the records sent
    int64_t total = 0;   // of the whole image

    static DownloadPlan Everything(const std::vector<FlashRecord>& records, std::string reason);
    // The bytes to send: the chosen records, in image order.
    CByteArray Bytes(const std::vector<FlashRecord>& records) const;
};

class DownloadMemory {
public:
    // The memory files live in `dir`; "" is AppPaths::StateDir() + "/downloads".
    explicit DownloadMemory(std::string dir = "");

    // "serial:/dev/ttyUSB0", "parallel:0x378", "usb:PATH", "can:udp=10.0.0.7:3000"; USB
    // names the module chosen when the link was last opened.
    static std::string LinkTarget(const LinkSettings& settings);
    // 64-bit FNV-1a. Two records of one length that differ in a single byte never share a
    // hash; other differences do with a chance of 2^-64.
    static uint64_t Hash(const CByteArray& bytes);
    // Seconds the bytes take on the link, from its speed settings; negative when unknown
    // (USB, whose pace the module sets).
    static double EstimateSeconds(const LinkSettings& settings, int64_t bytes);

    // The records the target lacks; the CRC table goes along whenever anything does.
    DownloadPlan Plan(const DownloadTarget& target, const std::vector<FlashRecord>& records) const;
    // After a download that ended well: the target holds every record of the image.
    bool Remember(const DownloadTarget& target, const std::vector<FlashRecord>& records,
                  std::string& error) const;
    // After a stopped or failed one: nothing is known of the target any more.
    bool Forget(const std::string& link, std::string& error) const;
    // Remember when `result` is Done, Forget when it sent something and failed, and
    // keep the memory when it sent nothing.
    bool Record(const DownloadTarget& target, const std::vector<FlashRecord>& records,
                const SendResult& result, std::string& error) const;

    // The memory file of a link target.
    std::string FileOf(const std::string& link) const;
    // The file's text for the target and records, and the reverse: false (and `why`)
    // when `text` is not such a file or belongs to another link.
    static std::string Format(const DownloadTarget& target,
                              const std::vector<FlashRecord>& records);
    struct Entry {
        FlashRecord::Kind kind;
        int place;
        int64_t length;
        uint64_t hash;
        bool operator==(const Entry&) const = default;
    };
    struct Saved {
        DownloadTarget target;
        std::vector<Entry> entries;
    };
    static bool Parse(const std::string& text, Saved& saved, std::string& why);

private:
    std::string m_dir;
};
