// The 17 exported C functions; each hands over to the one library instance.

#include "CanLibrary.h"
#include "kvx_can.h"

using kvx::CanLibrary;

extern "C" {

KVX_API int32_t KVX_OpenDevice(uint32_t deviceType, uint32_t deviceIndex, uint32_t reserved) {
    return CanLibrary::Instance().Open(deviceType, deviceIndex, reserved);
}

KVX_API int32_t KVX_CloseDevice(uint32_t, uint32_t) {
    return CanLibrary::Instance().Close();
}

KVX_API int32_t KVX_InitCAN(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex,
                            const CanInitConfig* config) {
    return CanLibrary::Instance().InitCan(deviceType, deviceIndex, canIndex, config);
}

KVX_API int32_t KVX_ResumeConfig(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex) {
    return CanLibrary::Instance().ResumeConfig(deviceType, deviceIndex, canIndex);
}

KVX_API int32_t KVX_WriteBoardInfo(uint32_t deviceType, uint32_t deviceIndex,
                                   const BoardInfo* info) {
    return CanLibrary::Instance().WriteBoardInfo(deviceType, deviceIndex, info);
}

KVX_API int32_t KVX_ReadBoardInfo(uint32_t deviceType, uint32_t deviceIndex, BoardInfo* info) {
    return CanLibrary::Instance().ReadBoardInfo(deviceType, deviceIndex, info);
}

KVX_API int32_t KVX_ReadErrInfo(uint32_t, uint32_t, uint32_t, void*) {
    return 0;
}

KVX_API int32_t KVX_ReadCANStatus(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex,
                                  CanStatus* status) {
    return CanLibrary::Instance().ReadCanStatus(deviceType, deviceIndex, canIndex, status);
}

KVX_API int32_t KVX_GetReference(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex,
                                 uint32_t, void* data) {
    // The adapter returns its whole reference block; the type is not sent.
    return CanLibrary::Instance().GetReference(deviceType, deviceIndex, canIndex, data);
}

KVX_API int32_t KVX_SetReference(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex,
                                 uint32_t refType, const void* data) {
    return CanLibrary::Instance().SetReference(deviceType, deviceIndex, canIndex, refType, data);
}

KVX_API int32_t KVX_GetReceiveNum(uint32_t, uint32_t, uint32_t) {
    return 0;
}

// One entry serves both names.
KVX_API int32_t KVX_ClearBuffer(uint32_t, uint32_t, uint32_t)
    __attribute__((alias("KVX_GetReceiveNum")));

KVX_API int32_t KVX_StartCAN(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex) {
    return CanLibrary::Instance().StartCan(deviceType, deviceIndex, canIndex);
}

KVX_API int32_t KVX_ResetCAN(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex) {
    return CanLibrary::Instance().ResetCan(deviceType, deviceIndex, canIndex);
}

KVX_API int32_t KVX_Transmit(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex,
                             const CanFrame* frame) {
    return CanLibrary::Instance().Transmit(deviceType, deviceIndex, canIndex, frame);
}

KVX_API int32_t KVX_Receive(uint32_t deviceType, uint32_t deviceIndex, uint32_t canIndex,
                            CanFrame* frames) {
    return CanLibrary::Instance().Receive(deviceType, deviceIndex, canIndex, frames);
}

KVX_API int32_t KVX_FindQzUsbDevice(BoardInfo* buffer) {
    return CanLibrary::Instance().FindUsbDevices(buffer);
}

}  // extern "C"
