#pragma once
// lcdtool's module command builders: page records, firmware, HEX conversion, fonts, the
// CRC table and the immediate commands. Each returns the exit status (0 success, 1 bad
// input) and prints one clear line on stderr when it fails; nothing is written then.

#include <string>

#include "base/ByteArray.h"

class CLedDoc;
class CommandLine;

class LinkCommands {
public:
    // Reads an instruction mode option ("short", "checksum", "long"); short when absent.
    // False after reporting a bad value.
    static bool ModeOption(const CommandLine& args, const std::string& name, int& mode);

    // `encode PAGE.pg --record`: the page record of a loaded page into `bytes`.
    static bool PageRecord(const CommandLine& args, CLedDoc& doc, CByteArray& bytes);
    static int Firmware(const CommandLine& args);
    static int HexToBin(const CommandLine& args);
    static int Font(const CommandLine& args);
    static int Crc(const CommandLine& args);
    static int Command(const CommandLine& args);
};
