#pragma once
// Turns adapter replies into the caller's records.

#include <cstddef>
#include <cstdint>

#include "kvx_can.h"

namespace kvx {

class ReplyParser {
public:
    // Fills one frame per whole 13-byte record (a trailing partial record is ignored), at
    // most capacity; returns the number filled.
    static size_t ParseFrames(const uint8_t* reply, size_t length, CanFrame* frames,
                              size_t capacity);
    static void ParseRecord(const uint8_t* record, CanFrame* frame);
    // reply holds the 32 bytes of a board information reply.
    static void ParseBoardInfo(const uint8_t* reply, BoardInfo* info);
    // reply holds the 8 bytes of a status reply.
    static void ParseStatus(const uint8_t* reply, CanStatus* status);
};

}  // namespace kvx
