#ifndef KVX_CAN_H
#define KVX_CAN_H
/*
 * KVX_CAN: a C interface to USB-to-CAN and network-to-CAN adapters.
 *
 * The first argument of most calls is the device type, which picks the transport:
 *   1       serial port; device index n opens "COM n+1" (/dev/ttyS<n>, or the path in the
 *           environment variable KVX_CAN_COM<n+1>); channel must be 0
 *   2       USB adapter with one channel; device index = USB device number; channel must be 0
 *   3       USB adapter with several channels; the channel (0..255) goes into every packet
 *   4       UDP; device index = adapter IPv4 address, most significant byte first
 *           (0x7F000001 is 127.0.0.1); channel must be 0
 *   5..10   no transport: open and close only mark the library open or closed
 *
 * Results: 1 success, 0 missing or wrong reply (or a rejected argument), -1 library not
 * open or unknown device type, unless a function says otherwise. One adapter is open at a
 * time; every exchange with it is serialised inside the library, so any thread may call.
 *
 * Ordinals (the table of record; ELF exports these names only):
 *    1 KVX_OpenDevice        7 KVX_ReadErrInfo      13 KVX_StartCAN
 *    2 KVX_CloseDevice       8 KVX_ReadCANStatus    14 KVX_ResetCAN
 *    3 KVX_InitCAN           9 KVX_GetReference     15 KVX_Transmit
 *    4 KVX_ResumeConfig     10 KVX_SetReference     16 KVX_Receive
 *    5 KVX_WriteBoardInfo   11 KVX_GetReceiveNum    17 KVX_FindQzUsbDevice
 *    6 KVX_ReadBoardInfo    12 KVX_ClearBuffer (same entry as 11)
 */

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#define KVX_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define KVX_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

#if defined(__GNUC__)
#define KVX_API __attribute__((visibility("default")))
#else
#define KVX_API
#endif

enum KvxOrdinal {
    KVX_ORD_OPEN_DEVICE = 1,
    KVX_ORD_CLOSE_DEVICE = 2,
    KVX_ORD_INIT_CAN = 3,
    KVX_ORD_RESUME_CONFIG = 4,
    KVX_ORD_WRITE_BOARD_INFO = 5,
    KVX_ORD_READ_BOARD_INFO = 6,
    KVX_ORD_READ_ERR_INFO = 7,
    KVX_ORD_READ_CAN_STATUS = 8,
    KVX_ORD_GET_REFERENCE = 9,
    KVX_ORD_SET_REFERENCE = 10,
    KVX_ORD_GET_RECEIVE_NUM = 11,
    KVX_ORD_CLEAR_BUFFER = 12,
    KVX_ORD_START_CAN = 13,
    KVX_ORD_RESET_CAN = 14,
    KVX_ORD_TRANSMIT = 15,
    KVX_ORD_RECEIVE = 16,
    KVX_ORD_FIND_QZ_USB_DEVICE = 17
};

/* One CAN frame (24 bytes). The library reads and writes only id, remote, extended,
 * length and data; the reserved bytes are the caller's. */
typedef struct CanFrame {
    uint8_t id[4];       /* identifier bytes in wire order: 2 used (standard), 4 (extended) */
    uint8_t reserved[6]; /* not touched */
    uint8_t remote;      /* 1 remote frame, 0 data frame */
    uint8_t extended;    /* 1 extended (29-bit), 0 standard (11-bit) */
    uint8_t length;      /* data length 0..8 */
    uint8_t data[8];
    uint8_t reserved2[3]; /* not touched */
} CanFrame;

/* Channel set-up read by KVX_InitCAN; the library only moves these bytes to the adapter. */
typedef struct CanInitConfig {
    uint32_t acceptCode; /* offset 0, sent most significant byte first */
    uint32_t acceptMask; /* offset 4, sent most significant byte first */
    uint32_t reserved;   /* offset 8, not read */
    uint8_t filter;      /* offset 12 */
    uint8_t timing0;     /* offset 13 */
    uint8_t timing1;     /* offset 14 */
    uint8_t timing2;     /* offset 15 */
    uint8_t mode;        /* offset 16 */
    uint8_t option;      /* offset 17 */
    uint8_t reserved2[2];
} CanInitConfig;

#pragma pack(push, 1)
/* Adapter information (35 bytes). 16-bit fields are host-order values (big-endian on the
 * wire). KVX_FindQzUsbDevice also writes past the end: see there. */
typedef struct BoardInfo {
    uint16_t hardwareVersion;  /* offset 0 */
    uint16_t firmwareVersion;  /* offset 2 */
    uint16_t libraryVersion;   /* offset 4, KVX_ReadBoardInfo sets KVX_LIBRARY_VERSION */
    uint16_t interfaceVersion; /* offset 6, KVX_ReadBoardInfo sets KVX_INTERFACE_VERSION */
    uint16_t boardOption;      /* offset 8 */
    uint8_t channelCount;      /* offset 10 */
    uint8_t serialNumber[8];   /* offset 11 */
    uint8_t boardType[16];     /* offset 19 */
} BoardInfo;
#pragma pack(pop)

/* Channel status written by KVX_ReadCANStatus (12 bytes): the adapter's 8 bytes, then 0. */
typedef struct CanStatus {
    uint8_t bytes[8];
    uint32_t zero;
} CanStatus;

KVX_STATIC_ASSERT(sizeof(CanFrame) == 24, "CanFrame is 24 bytes");
KVX_STATIC_ASSERT(offsetof(CanFrame, remote) == 10, "CanFrame.remote at 10");
KVX_STATIC_ASSERT(offsetof(CanFrame, extended) == 11, "CanFrame.extended at 11");
KVX_STATIC_ASSERT(offsetof(CanFrame, length) == 12, "CanFrame.length at 12");
KVX_STATIC_ASSERT(offsetof(CanFrame, data) == 13, "CanFrame.data at 13");
KVX_STATIC_ASSERT(sizeof(CanInitConfig) >= 18, "CanInitConfig holds 18 bytes");
KVX_STATIC_ASSERT(offsetof(CanInitConfig, acceptMask) == 4, "acceptMask at 4");
KVX_STATIC_ASSERT(offsetof(CanInitConfig, filter) == 12, "filter at 12");
KVX_STATIC_ASSERT(offsetof(CanInitConfig, option) == 17, "option at 17");
KVX_STATIC_ASSERT(sizeof(BoardInfo) == 35, "BoardInfo is 35 bytes");
KVX_STATIC_ASSERT(offsetof(BoardInfo, boardOption) == 8, "boardOption at 8");
KVX_STATIC_ASSERT(offsetof(BoardInfo, channelCount) == 10, "channelCount at 10");
KVX_STATIC_ASSERT(offsetof(BoardInfo, serialNumber) == 11, "serialNumber at 11");
KVX_STATIC_ASSERT(offsetof(BoardInfo, boardType) == 19, "boardType at 19");
KVX_STATIC_ASSERT(sizeof(CanStatus) == 12, "CanStatus is 12 bytes");

#define KVX_LIBRARY_VERSION 0x0310
#define KVX_INTERFACE_VERSION 0x0510
/* Most frames one KVX_Receive stores: its 3000-byte buffer holds 230 13-byte records. */
#define KVX_RECEIVE_MAX_FRAMES 230
/* Bytes of the KVX_FindQzUsbDevice buffer for n adapters. */
#define KVX_FIND_BUFFER_BYTES(n) (35 + 4 * (n))

/* 1. Opens an adapter; a previously open one is closed first.
 * reserved: the baud rate for type 1 (1..4000000; the driver may refuse a rate its UART
 *           cannot keep).
 * Returns 1 opened; 0 failed (types 2..4); -1 serial port unusable or unknown device type
 * (reported on stderr). Type 4: a 4-byte refusal from the adapter returns the OR of its
 * bytes and leaves the library closed. */
KVX_API int32_t KVX_OpenDevice(uint32_t deviceType, uint32_t deviceIndex, uint32_t reserved);
/* 2. Closes whatever the library holds. Returns 1; 0 when the USB close fails (the library
 * then stays open). */
KVX_API int32_t KVX_CloseDevice(uint32_t deviceType, uint32_t deviceIndex);
/* 3. Sends the channel set-up. Returns 1 acknowledged, 0 not, -1 closed or unknown type. */
KVX_API int32_t KVX_InitCAN(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex,
                            const CanInitConfig* config);
/* 4. Restores the adapter's saved configuration. 1 / 0 / -1 as KVX_InitCAN. */
KVX_API int32_t KVX_ResumeConfig(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex);
/* 5. Writes the adapter information (types 1..4). 1 acknowledged, 0 not, -1 closed. */
KVX_API int32_t KVX_WriteBoardInfo(uint32_t deviceType, uint32_t deviceIndex,
                                   const BoardInfo* info);
/* 6. Reads the adapter information (types 1..4). 1 when the 32-byte reply arrived and info
 * was filled, 0 otherwise, -1 closed. */
KVX_API int32_t KVX_ReadBoardInfo(uint32_t deviceType, uint32_t deviceIndex, BoardInfo* info);
/* 7. Not supported by the adapters: always 0, nothing is sent. */
KVX_API int32_t KVX_ReadErrInfo(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex,
                                void* errInfo);
/* 8. Reads the channel status. 1 when the 8-byte reply arrived, 0 otherwise, -1 closed. */
KVX_API int32_t KVX_ReadCANStatus(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex,
                                  CanStatus* status);
/* 9. Reads the reference block into data, which must hold 16 bytes (32 for type 4).
 * 1 when the whole block arrived, 0 otherwise, -1 closed. */
KVX_API int32_t KVX_GetReference(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex,
                                 uint32_t refType, void* data);
/* 10. Sends a reference value; its length follows refType: 0, 1, 13, 14 -> 1 byte;
 * 2, 6, 16, 20 -> 4; 10 -> 3; 15 -> 15; any other -> canIndex bytes.
 * 1 acknowledged, 0 not, -1 closed. */
KVX_API int32_t KVX_SetReference(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex,
                                 uint32_t refType, const void* data);
/* 11. Not supported: always 0, nothing is sent. */
KVX_API int32_t KVX_GetReceiveNum(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex);
/* 12. Not supported: always 0 (the same entry as KVX_GetReceiveNum). */
KVX_API int32_t KVX_ClearBuffer(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex);
/* 13. Starts the CAN channel. 1 acknowledged, 0 not, -1 closed. */
KVX_API int32_t KVX_StartCAN(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex);
/* 14. Resets the CAN channel. 1 acknowledged, 0 not, -1 closed. */
KVX_API int32_t KVX_ResetCAN(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex);
/* 15. Sends one frame without waiting for a reply. 1 handed to the transport; 0 failed or
 * frame->length above 8; -1 closed. */
KVX_API int32_t KVX_Transmit(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex,
                             const CanFrame* frame);
/* 16. Fetches the frames the adapter has received into frames, which must hold
 * KVX_RECEIVE_MAX_FRAMES entries. Returns the number stored, -1 closed. */
KVX_API int32_t KVX_Receive(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex,
                            CanFrame* frames);
/* 17. Counts the USB adapters and writes the first four characters of adapter k's serial
 * number at byte 35 + 4k of buffer, which must hold KVX_FIND_BUFFER_BYTES(count) bytes.
 * Returns the count; 0 on failure (reported on stderr). Works open or closed. */
KVX_API int32_t KVX_FindQzUsbDevice(BoardInfo* buffer);

#ifdef __cplusplus
}
#endif

#endif /* KVX_CAN_H */
