/* A C program's view of the library: the header must compile as C and link by name. */
#include "kvx_can.h"

int kvx_c_caller_round_trip(void) {
    CanFrame frame = {{0x12, 0x34}, {0}, 0, 0, 0, {0}, {0}};
    if (KVX_Transmit(2, 0, 0, &frame) != -1) return 0; /* closed */
    if (KVX_OpenDevice(7, 0, 0) != 1) return 0;
    if (KVX_Transmit(7, 0, 0, &frame) != 0) return 0; /* no transport */
    return KVX_CloseDevice(7, 0) == 1 && sizeof(BoardInfo) == 35;
}
