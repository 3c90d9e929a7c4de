#include "CanLibrary.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "LibusbBridge.h"
#include "PacketBuilder.h"
#include "ReplyParser.h"

namespace kvx {

namespace {

// UDP replies other than receive replies would otherwise be awaited for ever.
constexpr int kUdpReplyTimeoutMs = 1000;
constexpr int kUdpReceiveTimeoutMs = 100;
constexpr int kUsbTimeoutMs = 10;
constexpr int kUsbPolls = 5;
constexpr size_t kSerialReadChunk = 300;

void SleepMs(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The time a frame needs on the wire at the port's rate, rounded up generously.
int SerialTransmitPauseMs(uint32_t baudRate) {
    switch (baudRate) {
        case 19200:
            return 9;
        case 38400:
            return 5;
        case 57600:
            return 4;
        default:
            return 18;
    }
}

int SerialReceivePauseMs(uint32_t baudRate) {
    switch (baudRate) {
        case 19200:
            return 9;
        case 38400:
        case 57600:
            return 5;
        default:
            return 18;
    }
}

bool IsTransportType(uint32_t type) {
    return type >= kTypeSerial && type <= kTypeUdp;
}
bool IsUsbType(uint32_t type) {
    return type == kTypeUsbSingle || type == kTypeUsbMulti;
}

}  // namespace

CanLibrary& CanLibrary::Instance() {
    static CanLibrary library;
    return library;
}

CanLibrary::CanLibrary() : m_pBridge(&LibusbBridge::Instance()) {}

CanLibrary::~CanLibrary() {
    std::lock_guard lock(m_mutex);
    CloseHandles();
}

void CanLibrary::SetUsbBridge(UsbBridge* bridge) {
    std::lock_guard lock(m_mutex);
    m_pBridge = bridge ? bridge : &LibusbBridge::Instance();
}

int32_t CanLibrary::Check(uint32_t type, uint32_t channel) const {
    if (!m_bOpen) return -1;
    if (type < kTypeSerial || type > kTypeMarkOnlyLast) return -1;
    if (!IsTransportType(type)) return 0;
    // Only the multi-channel adapter takes a channel, and it travels as one byte.
    if (type == kTypeUsbMulti ? channel > 0xFF : channel != 0) return 0;
    return kProceed;
}

bool CanLibrary::CloseHandles() {
    if (m_bUsbOpen) {
        m_pBridge->SetTimeouts(UsbBridge::kInfinite, UsbBridge::kInfinite);
        if (m_pBridge->Close(m_hUsb) != 0) return false;
        m_bUsbOpen = false;
    }
    m_serial.Close();
    m_udp.Close();
    return true;
}

int32_t CanLibrary::Open(uint32_t type, uint32_t index, uint32_t reserved) {
    if (type < kTypeSerial || type > kTypeMarkOnlyLast) {
        // A shared library has no window to show this in.
        std::fprintf(stderr, "Error：device type not exist!\n");
        return -1;
    }
    std::lock_guard lock(m_mutex);
    if (!IsTransportType(type)) {
        m_bOpen = true;
        return 1;
    }
    // One adapter at a time: whatever was open goes first.
    CloseHandles();
    m_bOpen = false;
    switch (type) {
        case kTypeSerial: {
            if (!m_serial.Open(SerialPort::PathForIndex(index), reserved)) return -1;
            std::memset(m_abReceive, 0, sizeof m_abReceive);
            m_bOpen = true;
            return 1;
        }
        case kTypeUsbSingle:
        case kTypeUsbMulti: {
            m_pBridge->SetTimeouts(kUsbTimeoutMs, kUsbTimeoutMs);
            UsbHandle handle = 0;
            if (m_pBridge->Open(index, &handle) != 0) return 0;
            m_hUsb = handle;
            m_bUsbOpen = true;
            m_bUsbError = false;
            m_bOpen = true;
            return 1;
        }
        default: {
            if (!m_udp.Open(UdpSocket::LocalPort())) return 0;
            m_udp.SetPeer(index, UdpSocket::AdapterPort());
            const Bytes packet = PacketBuilder::OpenUdp();
            int n = -1;
            if (m_udp.Send(packet.data(), packet.size()))
                n = m_udp.ReceiveFrom(index, m_abReceive, kMaxDatagram, kUdpReplyTimeoutMs);
            if (n == 1 && m_abReceive[0] == kAck) {
                m_bOpen = true;
                return 1;
            }
            m_udp.Close();
            if (n == 4) return m_abReceive[0] | m_abReceive[1] | m_abReceive[2] | m_abReceive[3];
            return 0;
        }
    }
}

int32_t CanLibrary::Close() {
    std::lock_guard lock(m_mutex);
    if (!CloseHandles()) return 0;
    m_bOpen = false;
    return 1;
}

size_t CanLibrary::SerialExchange(const Bytes& packet, size_t expected, int waitMs) {
    m_serial.Purge();
    if (!m_serial.Write(packet.data(), packet.size())) return 0;
    SleepMs(waitMs);
    return m_serial.ReadAvailable(m_abReceive, std::min(expected, sizeof m_abReceive));
}

bool CanLibrary::UsbWrite(const Bytes& packet) {
    if (!m_bUsbOpen) return false;
    uint32_t waiting = 0;
    if (m_pBridge->CheckRxQueue(m_hUsb, &waiting) == 0 && waiting > 0) {
        // Left over from an earlier exchange: read in pieces and drop.
        uint8_t scrap[256];
        while (waiting > 0) {
            uint32_t got = 0;
            const uint32_t want = std::min<uint32_t>(waiting, sizeof scrap);
            m_pBridge->Read(m_hUsb, scrap, want, &got);
            if (got == 0) break;
            waiting -= std::min(got, waiting);
        }
    }
    uint32_t written = 0;
    const int rc =
        m_pBridge->Write(m_hUsb, packet.data(), static_cast<uint32_t>(packet.size()), &written);
    if (rc != 0 || written != packet.size()) {
        m_bUsbError = true;
        return false;
    }
    return true;
}

size_t CanLibrary::UsbExchange(const Bytes& packet, size_t expected, int holdMs) {
    if (!UsbWrite(packet)) return 0;
    size_t got = 0;
    for (int poll = 0; poll < kUsbPolls; ++poll) {
        SleepMs(1);
        uint32_t waiting = 0;
        if (m_pBridge->CheckRxQueue(m_hUsb, &waiting) != 0 || waiting != expected) continue;
        uint32_t read = 0;
        if (m_pBridge->Read(m_hUsb, m_abReceive, static_cast<uint32_t>(expected), &read) != 0 ||
            read != expected)
            m_bUsbError = true;
        got = std::min<size_t>(read, expected);
        break;
    }
    SleepMs(holdMs);
    return got;
}

size_t CanLibrary::UdpExchange(uint32_t index, const Bytes& packet, int holdMs) {
    m_udp.Drain();
    if (!m_udp.Send(packet.data(), packet.size())) return 0;
    const int n = m_udp.ReceiveFrom(index, m_abReceive, kMaxDatagram, kUdpReplyTimeoutMs);
    SleepMs(holdMs);
    return n < 0 ? 0 : static_cast<size_t>(n);
}

size_t CanLibrary::Exchange(uint32_t type, uint32_t index, const Bytes& packet, size_t expected,
                            const Pauses& pauses) {
    if (type == kTypeSerial) return SerialExchange(packet, expected, pauses.serialMs);
    if (IsUsbType(type)) return UsbExchange(packet, expected, pauses.usbHoldMs);
    return UdpExchange(index, packet, pauses.udpHoldMs);
}

int32_t CanLibrary::Acknowledged(uint32_t type, uint32_t index, const Bytes& packet,
                                 const Pauses& pauses) {
    std::lock_guard lock(m_mutex);
    const size_t n = Exchange(type, index, packet, 1, pauses);
    return n == 1 && m_abReceive[0] == kAck ? 1 : 0;
}

int32_t CanLibrary::InitCan(uint32_t type, uint32_t index, uint32_t channel,
                            const CanInitConfig* config) {
    if (const int32_t r = Check(type, channel); r != kProceed) return r;
    if (!config) return 0;
    return Acknowledged(type, index,
                        PacketBuilder::InitCan(type, static_cast<uint8_t>(channel), *config),
                        {.serialMs = 100, .usbHoldMs = 40, .udpHoldMs = 40});
}

int32_t CanLibrary::ResumeConfig(uint32_t type, uint32_t index, uint32_t channel) {
    if (const int32_t r = Check(type, channel); r != kProceed) return r;
    return Acknowledged(type, index,
                        PacketBuilder::Simple(type, kCmdResume, static_cast<uint8_t>(channel)),
                        {.serialMs = 100, .usbHoldMs = 50});
}

int32_t CanLibrary::StartCan(uint32_t type, uint32_t index, uint32_t channel) {
    if (const int32_t r = Check(type, channel); r != kProceed) return r;
    // The adapter needs a moment after open or reset before it takes a start.
    SleepMs(100);
    return Acknowledged(type, index,
                        PacketBuilder::Simple(type, kCmdStart, static_cast<uint8_t>(channel)),
                        {.serialMs = 50});
}

int32_t CanLibrary::ResetCan(uint32_t type, uint32_t index, uint32_t channel) {
    if (const int32_t r = Check(type, channel); r != kProceed) return r;
    {
        std::lock_guard lock(m_mutex);
        m_serial.Purge();
    }
    return Acknowledged(type, index,
                        PacketBuilder::Simple(type, kCmdReset, static_cast<uint8_t>(channel)),
                        {.serialMs = 100});
}

int32_t CanLibrary::SetReference(uint32_t type, uint32_t index, uint32_t channel, uint32_t refType,
                                 const void* data) {
    if (const int32_t r = Check(type, channel); r != kProceed) return r;
    const uint8_t ch = static_cast<uint8_t>(channel);
    if (!data && PacketBuilder::ReferenceLength(refType, ch) > 0) return 0;
    const int32_t result = Acknowledged(
        type, index,
        PacketBuilder::SetReference(type, ch, refType, static_cast<const uint8_t*>(data)),
        {.serialMs = 100, .usbHoldMs = 50});
    // Over UDP the adapter gets its pause after the lock is released.
    if (type == kTypeUdp) SleepMs(50);
    return result;
}

int32_t CanLibrary::GetReference(uint32_t type, uint32_t index, uint32_t channel, void* data) {
    if (const int32_t r = Check(type, channel); r != kProceed) return r;
    if (!data) return 0;
    const size_t expected = type == kTypeUdp ? kReferenceReplyLengthUdp : kReferenceReplyLength;
    std::lock_guard lock(m_mutex);
    const size_t n = Exchange(
        type, index, PacketBuilder::Simple(type, kCmdGetReference, static_cast<uint8_t>(channel)),
        expected, {.serialMs = 200});
    if (n != expected) return 0;
    std::memcpy(data, m_abReceive, expected);
    return 1;
}

int32_t CanLibrary::ReadCanStatus(uint32_t type, uint32_t index, uint32_t channel,
                                  CanStatus* status) {
    if (const int32_t r = Check(type, channel); r != kProceed) return r;
    if (!status) return 0;
    std::lock_guard lock(m_mutex);
    m_serial.Purge();
    const size_t n = Exchange(
        type, index, PacketBuilder::Simple(type, kCmdStatus, static_cast<uint8_t>(channel)),
        kStatusReplyLength, {.serialMs = 200});
    if (n != kStatusReplyLength) return 0;
    ReplyParser::ParseStatus(m_abReceive, status);
    return 1;
}

int32_t CanLibrary::ReadBoardInfo(uint32_t type, uint32_t index, BoardInfo* info) {
    if (const int32_t r = Check(type, 0); r != kProceed) return r;
    if (!info) return 0;
    std::lock_guard lock(m_mutex);
    m_serial.Purge();
    const size_t n = Exchange(type, index, PacketBuilder::ReadBoardInfo(type),
                              kBoardInfoReplyLength, {.serialMs = 200});
    if (n != kBoardInfoReplyLength) return 0;
    ReplyParser::ParseBoardInfo(m_abReceive, info);
    return 1;
}

int32_t CanLibrary::WriteBoardInfo(uint32_t type, uint32_t index, const BoardInfo* info) {
    if (const int32_t r = Check(type, 0); r != kProceed) return r;
    if (!info) return 0;
    std::lock_guard lock(m_mutex);
    const size_t n =
        Exchange(type, index, PacketBuilder::WriteBoardInfo(*info), 1, {.serialMs = 200});
    // The adapter writes its flash before the answer counts.
    SleepMs(40);
    return n == 1 && m_abReceive[0] == kAck ? 1 : 0;
}

int32_t CanLibrary::Transmit(uint32_t type, uint32_t index, uint32_t channel,
                             const CanFrame* frame) {
    (void)index;
    if (const int32_t r = Check(type, channel); r != kProceed) return r;
    Bytes packet;
    if (!frame || !PacketBuilder::Frame(type, static_cast<uint8_t>(channel), *frame, &packet))
        return 0;
    if (type == kTypeUdp) {
        // A datagram cannot interleave with another, so no lock: a waiting receive does
        // not hold the frame up.
        const bool sent = m_udp.Send(packet.data(), packet.size());
        SleepMs(2);
        return sent ? 1 : 0;
    }
    std::lock_guard lock(m_mutex);
    if (type == kTypeSerial) {
        const bool sent = m_serial.Write(packet.data(), packet.size());
        SleepMs(SerialTransmitPauseMs(m_serial.BaudRate()));
        return sent ? 1 : 0;
    }
    const bool sent = UsbWrite(packet);
    SleepMs(1);
    return sent ? 1 : 0;
}

int32_t CanLibrary::Receive(uint32_t type, uint32_t index, uint32_t channel, CanFrame* frames) {
    if (const int32_t r = Check(type, channel); r != kProceed) return r;
    if (!frames) return 0;
    const Bytes packet = PacketBuilder::Simple(type, kCmdReceive, static_cast<uint8_t>(channel));
    std::lock_guard lock(m_mutex);
    size_t total = 0;
    if (type == kTypeSerial) {
        m_serial.Purge();
        if (m_serial.Write(packet.data(), packet.size())) {
            SleepMs(SerialReceivePauseMs(m_serial.BaudRate()));
            size_t n = m_serial.ReadAvailable(m_abReceive, kSerialReadChunk);
            total = n;
            while (n > 0 && total < sizeof m_abReceive) {
                SleepMs(5);
                n = m_serial.ReadAvailable(m_abReceive + total,
                                           std::min(kSerialReadChunk, sizeof m_abReceive - total));
                total += n;
            }
        }
    } else if (IsUsbType(type)) {
        if (UsbWrite(packet)) {
            // Wait until the count stops growing; at most ten polls.
            uint32_t first = 0, second = 0;
            for (int round = 0; round < kUsbPolls; ++round) {
                SleepMs(1);
                if (m_pBridge->CheckRxQueue(m_hUsb, &first) != 0) first = 0;
                SleepMs(1);
                if (m_pBridge->CheckRxQueue(m_hUsb, &second) != 0) second = 0;
                if (first == second && second > 0) break;
            }
            // More than the buffer holds would overrun it: take what fits.
            const uint32_t want = std::min<uint32_t>(second, sizeof m_abReceive);
            uint32_t read = 0;
            if (want > 0 &&
                (m_pBridge->Read(m_hUsb, m_abReceive, want, &read) != 0 || read != want))
                m_bUsbError = true;
            total = std::min<size_t>(read, want);
        }
    } else {
        m_udp.Drain();
        if (m_udp.Send(packet.data(), packet.size())) {
            const int n = m_udp.ReceiveFrom(index, m_abReceive, kMaxDatagram, kUdpReceiveTimeoutMs);
            total = n < 0 ? 0 : static_cast<size_t>(n);
        }
    }
    return static_cast<int32_t>(
        ReplyParser::ParseFrames(m_abReceive, total, frames, KVX_RECEIVE_MAX_FRAMES));
}

int32_t CanLibrary::FindUsbDevices(BoardInfo* buffer) {
    if (!buffer) return 0;
    std::lock_guard lock(m_mutex);
    uint32_t count = 0;
    if (m_pBridge->GetNumDevices(&count) != 0) {
        std::fprintf(stderr, "Error finding Morvane USB device.\n");
        return 0;
    }
    uint8_t* out = reinterpret_cast<uint8_t*>(buffer) + sizeof(BoardInfo);
    for (uint32_t k = 0; k < count; ++k) {
        std::string serial;
        if (m_pBridge->GetSerialNumber(k, &serial) != 0) serial.clear();
        // A shorter serial number is padded with zero bytes rather than read past.
        for (size_t i = 0; i < 4; ++i)
            out[4 * k + i] = i < serial.size() ? serial[i] : 0;
    }
    return static_cast<int32_t>(count);
}

}  // namespace kvx
