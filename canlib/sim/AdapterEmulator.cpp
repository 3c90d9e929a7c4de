#include "AdapterEmulator.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Protocol.h"

namespace kvx {

namespace {

constexpr size_t kStatusLength = 8;
constexpr size_t kInitPacketLength = 16;

// Reference payload length by type over serial, where the channel argument is always 0.
long ReferencePayload(uint8_t refType) {
    switch (refType) {
        case 1:
        case 13:
        case 14:
            return 1;
        case 2:
        case 6:
        case 16:
        case 20:
            return 4;
        case 10:
            return 3;
        default:
            return 0;
    }
}

void AppendRecord(std::vector<uint8_t>* out, const EmulatedFrame& frame) {
    out->push_back(static_cast<uint8_t>((frame.length & kFlagLengthMask) |
                                        (frame.remote ? kFlagRemote : 0) |
                                        (frame.extended ? kFlagExtended : 0)));
    const size_t idLength = frame.extended ? 4 : 2;
    out->insert(out->end(), frame.id, frame.id + idLength);
    out->insert(out->end(), frame.data, frame.data + 8);
    if (!frame.extended) out->insert(out->end(), 2, 0);
}

}  // namespace

AdapterEmulator::AdapterEmulator()
    : m_abBoard(kBoardInfoReplyLength, 0), m_abReference(kReferenceBlock, 0), m_abOpenReply{kAck} {
    // hardware 1.00, firmware 2.00, option 0, one channel, byte 7 unused
    const uint8_t head[8] = {0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00};
    std::copy(head, head + 8, m_abBoard.begin());
    const char serial[] = "KVXSIM01";
    std::copy(serial, serial + 8, m_abBoard.begin() + 8);
    const char type[] = "KVX emulator";
    std::copy(type, type + sizeof type - 1, m_abBoard.begin() + 16);
}

long AdapterEmulator::StreamPacketLength(const uint8_t* data, size_t length, bool quiet) {
    if (length == 0) return 0;
    if (data[0] == kFrameHead) return length >= kFramePacketLength ? kFramePacketLength : 0;
    if (data[0] != kCommandHead) return -1;
    if (length < 2) return quiet ? -1 : 0;
    switch (data[1]) {
        case kCmdStart:
        case kCmdReset:
        case kCmdGetReference:
        case kCmdStatus:
        case kCmdReadBoardInfo:
        case kCmdResume:
        case kCmdReceive:
        case kCmdOpen:
            return 2;
        case kCmdInit:
            return length >= kInitPacketLength ? kInitPacketLength : 0;
        case kCmdWriteBoardInfo:
            return length >= kBoardInfoPacketLength ? kBoardInfoPacketLength : 0;
        case kCmdSetReference: {
            if (length < 3) return quiet ? -1 : 0;
            if (data[2] == 0) {
                // Types 0 (one byte) and 15 (fifteen) both travel as 0: the quiet line
                // after the packet tells them apart.
                if (length >= 18) return 18;
                return quiet && length >= 4 ? 4 : 0;
            }
            const long total = 3 + ReferencePayload(data[2]);
            return static_cast<long>(length) >= total ? total : 0;
        }
        default:
            return -1;
    }
}

std::string AdapterEmulator::Describe(const EmulatedFrame& frame) {
    std::string line = frame.extended ? "frame ext" : "frame std";
    if (frame.remote) line += " remote";
    char text[8];
    std::snprintf(text, sizeof text, "%02X",
                  (frame.length & kFlagLengthMask) | (frame.remote ? kFlagRemote : 0) |
                      (frame.extended ? kFlagExtended : 0));
    line += " flags=";
    line += text;
    line += " id=";
    for (size_t i = 0; i < (frame.extended ? 4u : 2u); ++i) {
        std::snprintf(text, sizeof text, i ? " %02X" : "%02X", frame.id[i]);
        line += text;
    }
    line += " data=";
    for (size_t i = 0; i < frame.length && i < 8; ++i) {
        std::snprintf(text, sizeof text, i ? " %02X" : "%02X", frame.data[i]);
        line += text;
    }
    return line;
}

std::vector<uint8_t> AdapterEmulator::Handle(const uint8_t* packet, size_t length, Link link) {
    {
        std::lock_guard lock(m_mutex);
        if (m_bKeepHistory) m_packets.emplace_back(packet, packet + length);
    }
    if (length >= 2 && packet[0] == kFrameHead) {
        EmulatedFrame frame;
        Frame(packet, length, &frame);
        std::function<void(const EmulatedFrame&)> sink;
        {
            std::lock_guard lock(m_mutex);
            if (m_bKeepHistory) m_transmitted.push_back(frame);
            if (m_bLoopback) m_queue.push_back(frame);
            sink = m_sink;
        }
        if (sink) sink(frame);
        return {};
    }
    if (length < 2 || packet[0] != kCommandHead) return {};
    std::lock_guard lock(m_mutex);
    return Command(packet, length, link);
}

void AdapterEmulator::Frame(const uint8_t* packet, size_t length, EmulatedFrame* frame) {
    // Missing bytes of a short packet read as zero.
    uint8_t bytes[kUdpPacketLength] = {};
    std::memcpy(bytes, packet, std::min(length, sizeof bytes));
    const uint8_t flags = bytes[1];
    frame->extended = flags & kFlagExtended;
    frame->remote = flags & kFlagRemote;
    frame->length = std::min<uint8_t>(flags & kFlagLengthMask, 8);
    const size_t idLength = frame->extended ? 4 : 2;
    std::memcpy(frame->id, bytes + 2, idLength);
    std::memcpy(frame->data, bytes + 2 + idLength, frame->length);
}

std::vector<uint8_t> AdapterEmulator::Command(const uint8_t* packet, size_t length, Link link) {
    const std::vector<uint8_t> ack{kAck};
    switch (packet[1]) {
        case kCmdStart:
            m_bStarted = true;
            return ack;
        case kCmdReset:
            m_bStarted = false;
            m_queue.clear();
            return ack;
        case kCmdResume:
            return ack;
        case kCmdInit:
            if (length < kInitPacketLength) return {};
            m_abInit.assign(packet + 2, packet + kInitPacketLength);
            return ack;
        case kCmdGetReference: {
            const size_t n = link == Link::Udp ? kReferenceReplyLengthUdp : kReferenceReplyLength;
            return {m_abReference.begin(), m_abReference.begin() + n};
        }
        case kCmdSetReference: {
            if (length < 3) return {};
            const size_t n = std::min(length - 3, m_abReference.size());
            std::fill(m_abReference.begin(), m_abReference.end(), 0);
            std::copy(packet + 3, packet + 3 + n, m_abReference.begin());
            return ack;
        }
        case kCmdStatus: {
            // started flag, frames waiting, frames transmitted (16 bits, high byte first)
            std::vector<uint8_t> status(kStatusLength, 0);
            status[0] = m_bStarted ? 1 : 0;
            status[1] = static_cast<uint8_t>(std::min<size_t>(m_queue.size(), 0xFF));
            status[2] = static_cast<uint8_t>(m_transmitted.size() >> 8);
            status[3] = static_cast<uint8_t>(m_transmitted.size());
            return status;
        }
        case kCmdReadBoardInfo:
            return m_abBoard;
        case kCmdWriteBoardInfo:
            if (length < kBoardInfoPacketLength) return {};
            // The packet skips reply byte 7.
            std::copy(packet + 2, packet + 9, m_abBoard.begin());
            std::copy(packet + 9, packet + 33, m_abBoard.begin() + 8);
            return ack;
        case kCmdReceive: {
            const size_t limit =
                (link == Link::Udp ? kMaxDatagram : kReceiveBufferSize) / kRecordLength;
            std::vector<uint8_t> reply;
            for (size_t i = 0; i < limit && !m_queue.empty(); ++i) {
                AppendRecord(&reply, m_queue.front());
                m_queue.pop_front();
            }
            // One byte says "nothing received".
            if (reply.empty()) reply.push_back(kAck);
            return reply;
        }
        case kCmdOpen:
            return link == Link::Udp ? m_abOpenReply : std::vector<uint8_t>{};
        default:
            return {};
    }
}

void AdapterEmulator::QueueFrame(const EmulatedFrame& frame) {
    std::lock_guard lock(m_mutex);
    m_queue.push_back(frame);
}

void AdapterEmulator::SetLoopback(bool on) {
    std::lock_guard lock(m_mutex);
    m_bLoopback = on;
}

void AdapterEmulator::SetOpenReply(std::vector<uint8_t> reply) {
    std::lock_guard lock(m_mutex);
    m_abOpenReply = std::move(reply);
}

void AdapterEmulator::SetFrameSink(std::function<void(const EmulatedFrame&)> sink) {
    std::lock_guard lock(m_mutex);
    m_sink = std::move(sink);
}

void AdapterEmulator::SetKeepHistory(bool keep) {
    std::lock_guard lock(m_mutex);
    m_bKeepHistory = keep;
}

bool AdapterEmulator::Started() const {
    std::lock_guard lock(m_mutex);
    return m_bStarted;
}

std::vector<uint8_t> AdapterEmulator::InitConfig() const {
    std::lock_guard lock(m_mutex);
    return m_abInit;
}

std::vector<uint8_t> AdapterEmulator::BoardReply() const {
    std::lock_guard lock(m_mutex);
    return m_abBoard;
}

std::vector<uint8_t> AdapterEmulator::Reference() const {
    std::lock_guard lock(m_mutex);
    return m_abReference;
}

std::vector<EmulatedFrame> AdapterEmulator::Transmitted() const {
    std::lock_guard lock(m_mutex);
    return m_transmitted;
}

std::vector<std::vector<uint8_t>> AdapterEmulator::Packets() const {
    std::lock_guard lock(m_mutex);
    return m_packets;
}

}  // namespace kvx
