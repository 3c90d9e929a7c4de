#pragma once
// How the program reaches the module: the link kind and its parameters.
//
// "conf.dll" in the settings directory holds nine values, little-endian, 34 bytes, no
// header (the old program's archive of the same values):
//   0  i32 link kind        12 i32 interval (µs)     24 i32 busy check (DSR)
//   4  i32 COM port number  16 i32 timeout (s)       28 i32 parallel kind
//   8  i32 baud rate        20 i32 board type        32 u16 parallel base address
//
// "link.conf" beside it keeps what the 34 bytes cannot: which serial device "COM n"
// stands for, the USB ids of the modules, and which CAN adapter to drive. Text, one
// "key = value" a line, '#' comments; lines this version does not know are kept:
//   com3 = /dev/ttyUSB0        COM 3 opens /dev/ttyUSB0 (default /dev/ttyS2)
//   usb-a = 1a86:7523          a module with 1024-byte USB chunks (class A)
//   usb-b = 10c4:ea61          a module with 16-byte USB chunks (class B)
//   can = udp=192.168.1.20     the CAN adapter, written as after "can:" in a --link option
// The environment overrides for tests and scripts: LCDSCREEN_COM<n> (a device path) and
// LCDSCREEN_CAN (a CAN adapter as in link.conf).

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "base/ByteArray.h"

// None is no port at all (the editor's virtual module, tests); OpenLink opens only the
// four real kinds.
enum class LinkKind : int32_t { Serial = 0, Parallel = 1, Usb = 2, UsbCan = 3, None = 4 };

struct UsbId {
    uint16_t vendor = 0;
    uint16_t product = 0;
    friend bool operator==(const UsbId&, const UsbId&) = default;
};

// The adapter the CAN link drives through the adapter library: device type 2 (USB adapter
// with one channel) index 0 unless told otherwise; type 1 opens a serial adapter (the path
// goes to the library as KVX_CAN_COM1), type 4 a network adapter at an IPv4 address.
struct CanTarget {
    uint32_t deviceType = 2;
    uint32_t deviceIndex = 0;
    std::string serialPath;  // type 1
    uint16_t udpPort = 0;    // type 4: the adapter's port; 0 leaves the library's default
    friend bool operator==(const CanTarget&, const CanTarget&) = default;
};

struct LinkSettings {
    static constexpr int kFileBytes = 34;
    // link.conf holds a few lines; a file this large is not one.
    static constexpr uint64_t kMaxExtrasBytes = uint64_t{1} << 20;
    static constexpr int kMaxInterval = 99;
    static constexpr int kMaxTimeout = 86400;
    static constexpr int kMaxComPort = 255;
    static constexpr int32_t kBaudRates[] = {4800, 9600, 19200, 38400, 115200};

    // conf.dll
    int32_t linkKind = 0;  // LinkKind
    int32_t comPort = 1;   // "COM n"
    int32_t baudRate = 9600;
    int32_t interval = 2;      // µs after each byte; the frame interval for CAN (unused)
    int32_t timeout = 100;     // seconds of waiting for a busy module
    int32_t boardType = 0;     // kept here for the page manager
    int32_t busyCheck = 0;     // 1: wait for DSR before each serial byte
    int32_t parallelKind = 0;  // 0 ports 0x378..0x37A, 1 the ports at parallelBase
    uint16_t parallelBase = 0;

    // link.conf
    std::map<int, std::string> comPaths;  // COM n -> device path
    std::vector<UsbId> usbClassA, usbClassB;
    CanTarget can;
    std::vector<std::string> otherLines;  // kept as they were

    // This run only.
    std::string serialPath;      // a device chosen directly; wins over the COM mapping
    std::string parallelDevice;  // a /dev/parportN chosen directly
    std::string selectedUsbDevice;
    std::vector<std::string> usbDevices;  // found by the last USB open, class A first
    int usbChunk = 1024;                  // 16 once a class B module is attached
    // The pause after each CAN frame in µs; -1 keeps the module's 10 ms (5 ms after the
    // last, short frame). Only for the adapter emulator or a module known to keep up.
    int32_t canPaceMicros = -1;
    // Why the last Load could not take the saved settings ("" when it could). OpenLink
    // refuses while it is set, rather than reach the module over a link the user did not
    // choose; a good Load or a successful Save clears it.
    mutable std::string loadProblem;

    LinkKind Kind() const { return static_cast<LinkKind>(linkKind); }

    // The 34 bytes of conf.dll.
    CByteArray Encode() const;
    // Takes the nine values from `bytes` as they are; false, nothing changed, with `error`
    // set (UTF-8) when they are not 34 bytes. Values out of range are kept so the file
    // round-trips; the dialog and the links check each one where it is used.
    bool Decode(std::span<const uint8_t> bytes, std::string& error);
    std::string EncodeExtras() const;
    bool DecodeExtras(const std::string& text, std::string& error);

    enum class LoadResult { Loaded, Missing, Damaged, Unreadable };
    // Reads conf.dll and link.conf of `dir` (the settings directory when empty). A missing
    // file keeps the values as they are. A damaged file (wrong length, a line not
    // understood, with its number, larger than kMaxExtrasBytes) or one that cannot be read
    // (with the system's reason) keeps them too, with `error` and loadProblem saying why.
    LoadResult Load(std::string& error, const std::string& dir = "");
    // Writes both files atomically (link.conf only when its content changes); false with
    // `error` set when either cannot be written (the old file stays whole).
    bool Save(std::string& error, const std::string& dir = "") const;
    // "" when the values the link of this kind uses are ones it can use; else which value
    // is wrong and what is allowed. Values out of range only come from conf.dll (a --link
    // option is checked as it is read), and the message says so.
    std::string Problem() const;

    // The device path of the serial port: serialPath, else $LCDSCREEN_COM<n>, else the
    // mapping, else /dev/ttyS<n-1>.
    std::string SerialDevice() const;
    // The CAN adapter: $LCDSCREEN_CAN when set and valid, else `can`.
    CanTarget CanAdapter() const;
};

// Reads a link as a user writes it on a command line, into `settings`:
//   serial:PATH[,baud=N][,interval=N][,busy][,timeout=N]
//   parallel:/dev/parportN | parallel:0xBASE
//   usb[:VID:PID]                          (hex ids; the id becomes a class A module)
//   can[:udp=ADDR[:PORT] | serial=PATH | usb[=N]][,pace=MICROSECONDS]
// False with `error` set (UTF-8), settings unchanged, on anything else: the message names
// the field that is wrong and what it allows.
bool ParseLinkOption(const std::string& text, LinkSettings& settings, std::string& error);
// The CAN adapter part ("udp=10.0.0.7:3000", "serial=/dev/ttyUSB1", "usb=1", "usb").
bool ParseCanTarget(const std::string& text, CanTarget& target, std::string& error);
std::string FormatCanTarget(const CanTarget& target);
// "1a86:7523" (hex).
bool ParseUsbId(const std::string& text, UsbId& id);
