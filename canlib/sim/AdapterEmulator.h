#pragma once
// Plays a CAN adapter: answers command packets with the replies an adapter gives, logs every
// frame it is asked to transmit and hands queued frames to receive requests.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace kvx {

// One frame as it travels in a frame packet or a received record.
struct EmulatedFrame {
    bool extended = false;
    bool remote = false;
    uint8_t length = 0;  // 0..8
    uint8_t id[4] = {};  // 2 bytes used for a standard frame
    uint8_t data[8] = {};
};

class AdapterEmulator {
public:
    enum class Link { Serial, Udp };
    static constexpr size_t kReferenceBlock = 32;

    AdapterEmulator();

    // Length of the packet at the head of a serial byte stream: 0 when more bytes are
    // needed, -1 when the first byte starts no packet and must be dropped. quiet says no
    // further bytes are on their way (the one packet whose length is not in its bytes).
    static long StreamPacketLength(const uint8_t* data, size_t length, bool quiet);
    // One log line: "frame std flags=02 id=12 34 data=AA BB".
    static std::string Describe(const EmulatedFrame& frame);

    // Answers one whole packet (a serial packet or a datagram); an empty reply sends nothing.
    std::vector<uint8_t> Handle(const uint8_t* packet, size_t length, Link link);

    // Frames for the next receive replies.
    void QueueFrame(const EmulatedFrame& frame);
    // Transmitted frames come back on receive, as on a bus with a second node echoing them.
    void SetLoopback(bool on);
    // Reply to the UDP open request (one byte 0xAA accepts).
    void SetOpenReply(std::vector<uint8_t> reply);
    // Called for every transmitted frame, outside the emulator's lock.
    void SetFrameSink(std::function<void(const EmulatedFrame&)> sink);
    // Whether Packets() and Transmitted() keep what went by (on by default); a long-running
    // server with a frame sink turns it off so that its memory stays bounded.
    void SetKeepHistory(bool keep);

    bool Started() const;
    std::vector<uint8_t> InitConfig() const;  // the 14 set-up bytes of the last init
    std::vector<uint8_t> BoardReply() const;  // the 32 bytes a board read answers
    std::vector<uint8_t> Reference() const;   // the reference block
    std::vector<EmulatedFrame> Transmitted() const;
    // Every packet handled so far, as it arrived.
    std::vector<std::vector<uint8_t>> Packets() const;

private:
    std::vector<uint8_t> Command(const uint8_t* packet, size_t length, Link link);
    void Frame(const uint8_t* packet, size_t length, EmulatedFrame* frame);

    mutable std::mutex m_mutex;
    bool m_bStarted = false;
    bool m_bLoopback = false;
    bool m_bKeepHistory = true;
    std::vector<uint8_t> m_abInit;
    std::vector<uint8_t> m_abBoard;
    std::vector<uint8_t> m_abReference;
    std::vector<uint8_t> m_abOpenReply;
    std::deque<EmulatedFrame> m_queue;
    std::vector<EmulatedFrame> m_transmitted;
    std::vector<std::vector<uint8_t>> m_packets;
    std::function<void(const EmulatedFrame&)> m_sink;
};

}  // namespace kvx
