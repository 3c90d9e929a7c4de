#include "ReplyParser.h"

#include <algorithm>
#include <cstring>

#include "Protocol.h"

namespace kvx {

size_t ReplyParser::ParseFrames(const uint8_t* reply, size_t length, CanFrame* frames,
                                size_t capacity) {
    const size_t count = std::min(length / kRecordLength, capacity);
    for (size_t i = 0; i < count; ++i)
        ParseRecord(reply + i * kRecordLength, &frames[i]);
    return count;
}

void ReplyParser::ParseRecord(const uint8_t* record, CanFrame* frame) {
    const uint8_t flags = record[0];
    // A classic CAN length code above 8 still carries 8 data bytes.
    frame->length = std::min<uint8_t>(flags & kFlagLengthMask, 8);
    frame->remote = (flags & kFlagRemote) ? 1 : 0;
    frame->extended = (flags & kFlagExtended) ? 1 : 0;
    if (frame->extended) {
        std::memcpy(frame->id, record + 1, 4);
        std::memcpy(frame->data, record + 5, 8);
    } else {
        // An 11-bit identifier fills the top of two bytes; the low five bits are noise.
        frame->id[0] = record[1];
        frame->id[1] = record[2] & 0xE0;
        frame->id[2] = 0;
        frame->id[3] = 0;
        std::memcpy(frame->data, record + 3, 8);
    }
}

void ReplyParser::ParseBoardInfo(const uint8_t* reply, BoardInfo* info) {
    info->hardwareVersion = static_cast<uint16_t>(reply[0] << 8 | reply[1]);
    info->firmwareVersion = static_cast<uint16_t>(reply[2] << 8 | reply[3]);
    info->libraryVersion = KVX_LIBRARY_VERSION;
    info->interfaceVersion = KVX_INTERFACE_VERSION;
    info->boardOption = static_cast<uint16_t>(reply[4] << 8 | reply[5]);
    info->channelCount = reply[6];
    // Reply byte 7 has no place in the record.
    std::memcpy(info->serialNumber, reply + 8, sizeof(info->serialNumber));
    std::memcpy(info->boardType, reply + 16, sizeof(info->boardType));
}

void ReplyParser::ParseStatus(const uint8_t* reply, CanStatus* status) {
    std::memcpy(status->bytes, reply, sizeof(status->bytes));
    status->zero = 0;
}

}  // namespace kvx
