#pragma once
// The ports a link could use, for the settings dialog and "lcdtool ports".

#include <string>
#include <vector>

#include "link/Link.h"

struct PortInfo {
    std::string name;    // what a --link option or the settings take: a path, "usb:1-2", ...
    std::string detail;  // shown beside it (UTF-8)
};

struct PortList {
    std::vector<PortInfo> serial;    // real serial ports, USB serial adapters, by-id links
    std::vector<PortInfo> parallel;  // /dev/parportN with their base addresses
    std::vector<PortInfo> usb;       // modules of the settings' ids, as "usb-lcd%d"
    std::vector<PortInfo> can;       // "USBCAN-xxxx" adapters
};

// Everything present; `root` prefixes /dev, /sys and /proc (for tests).
PortList FindPorts(LinkSettings& settings, const LinkEnvironment& env = {},
                   const std::string& root = "");
std::vector<PortInfo> FindSerialPorts(const std::string& root = "");
// Settings that nobody chose (no settings file yet) name COM1 by default, which on many
// machines is the system console: sending a download there writes into the console.
// When the serial link of `settings` opens a console device (/sys/class/tty/console/active,
// through symbolic links too), the words that say which port that is; empty otherwise.
std::string ConsolePortWarning(const LinkSettings& settings, const std::string& root = "");
std::vector<PortInfo> FindParallelPorts(const std::string& root = "");
