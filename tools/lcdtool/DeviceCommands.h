#pragma once
// lcdtool devices: the device catalogue (device.dll) of the settings directory.
//   devices list                       one line per device: name, WxH, WxH mm, colours,
//                                      bitmap support, tab-separated
//   devices add NAME --size WxH --mm WxH --colours N [--bitmaps]
//   devices remove NAME
// Each returns the exit status: 0 success; 1 with one line on stderr and the catalogue
// file untouched for bad input, a name taken or missing, or a file that cannot be read.

class CommandLine;

class DeviceCommands {
public:
    static int List(const CommandLine& args);
    static int Add(const CommandLine& args);
    static int Remove(const CommandLine& args);
};
