// Adapter replies as the library parses them: receive runs of frame records, board
// information and status. Whatever the bytes, the parser stays inside the buffers, stores
// at most the frames the caller was promised and only legal field values.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Protocol.h"
#include "ReplyParser.h"
#include "kvx_can.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The library never hands the parser more than its receive buffer.
    const size_t length = size < kvx::kReceiveBufferSize ? size : kvx::kReceiveBufferSize;
    static CanFrame frames[KVX_RECEIVE_MAX_FRAMES];
    std::memset(frames, 0x5A, sizeof frames);
    const size_t count =
        kvx::ReplyParser::ParseFrames(data, length, frames, KVX_RECEIVE_MAX_FRAMES);
    const size_t whole = length / kvx::kRecordLength;
    if (count != (whole < KVX_RECEIVE_MAX_FRAMES ? whole : KVX_RECEIVE_MAX_FRAMES))
        __builtin_trap();
    for (size_t i = 0; i < count; ++i) {
        const CanFrame& f = frames[i];
        if (f.length > 8 || f.remote > 1 || f.extended > 1) __builtin_trap();
        if (!f.extended && (f.id[1] & 0x1F)) __builtin_trap();
        for (uint8_t b : f.reserved)
            if (b != 0x5A) __builtin_trap();
    }
    if (count < KVX_RECEIVE_MAX_FRAMES && frames[count].length != 0x5A) __builtin_trap();

    if (size >= kvx::kBoardInfoReplyLength) {
        BoardInfo info;
        kvx::ReplyParser::ParseBoardInfo(data, &info);
        if (info.libraryVersion != KVX_LIBRARY_VERSION) __builtin_trap();
    }
    if (size >= kvx::kStatusReplyLength) {
        CanStatus status;
        kvx::ReplyParser::ParseStatus(data, &status);
        if (status.zero != 0) __builtin_trap();
    }
    return 0;
}
