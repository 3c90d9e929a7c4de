#pragma once
// Shared by the link tests: a progress sink that records, and a pseudo-terminal pair.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "link/Link.h"

// Read the events once the sender has returned (or the download was waited for).
class RecordingSink : public ProgressSink {
public:
    void OnProgress(int code, int64_t value) override {
        events.emplace_back(code, value);
        if (onEvent) onEvent(code, value);
    }
    // The values of the events of one code, "8 16 19".
    std::string Values(int code) const {
        std::string out;
        for (const auto& [c, v] : events)
            if (c == code) out += (out.empty() ? "" : " ") + std::to_string(v);
        return out;
    }
    std::vector<std::pair<int, int64_t>> events;
    std::function<void(int, int64_t)> onEvent;  // on the sender's thread
};

// A link that reports every byte as sent and ends with `result`.
struct ScriptedLink : Link {
    explicit ScriptedLink(SendResult r = {}, LinkKind k = LinkKind::None)
        : result(std::move(r)), kind(k) {}
    LinkKind Kind() const override { return kind; }
    SendResult Send(std::span<const uint8_t> bytes, ProgressSink& sink,
                    const std::atomic<bool>&) override {
        for (size_t i = 0; i < bytes.size(); ++i)
            sink.OnProgress(kProgressSent, static_cast<int64_t>(i));
        return result;
    }
    SendResult result;
    LinkKind kind;
};

// A pseudo-terminal pair: links open `path`, the test reads the far end.
struct PtyPair {
    PtyPair() {
        grantpt(master);
        unlockpt(master);
        path = ptsname(master);
        // Held open so that the far end never sees a hang-up between links.
        slave = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    }
    ~PtyPair() {
        close(slave);
        close(master);
    }
    // What arrived, up to the first 50 ms without a byte.
    std::vector<uint8_t> Received() const {
        std::vector<uint8_t> bytes;
        uint8_t buf[4096];
        pollfd p{master, POLLIN, 0};
        for (ssize_t n = 1; n > 0 && poll(&p, 1, 50) > 0;) {
            n = read(master, buf, sizeof buf);
            bytes.insert(bytes.end(), buf, buf + std::max<ssize_t>(n, 0));
        }
        return bytes;
    }
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC), slave = -1;
    std::string path;
};
