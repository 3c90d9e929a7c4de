#pragma once
// lcdtool's commands that reach a module: send, show, download, ports, and the --send of
// font, firmware and command. The link is the --link option's, else the saved settings'.
//
// A transfer shows a progress bar on stderr when it is a terminal (percentage lines
// otherwise, nothing with --quiet), ends with what it sent and how fast (over CAN: what
// the adapter took, since nothing answers), and stops cleanly on Ctrl-C, while the link
// opens too (the link closed, exit status 130). A port that will not open, a module that
// stays busy and a failed write are one line each and exit status 1.

#include <functional>

#include "base/ByteArray.h"

class CommandLine;
struct LinkSettings;
struct SendResult;

class SendCommands {
public:
    // The saved link settings with the --link option over them; false after reporting.
    // Saved settings that are damaged or cannot be read stop a transfer; without one
    // (`transfer` false) they are a warning and the defaults stand. Settings nobody chose
    // may not send a transfer to the system console.
    static bool LinkOf(const CommandLine& args, LinkSettings& settings, bool transfer = true);
    // Sends `bytes` as a download (worker thread, progress, stop); the exit status.
    // `ended`, when given, hears how a transfer that began ended, with the settings of the
    // link as opened (the USB module chosen).
    using Ended = std::function<void(const LinkSettings&, const SendResult&)>;
    static int Transfer(const CommandLine& args, CByteArray bytes, const Ended& ended = {});
    // Sends an immediate command with the link's command sender; the exit status.
    static int Immediate(const CommandLine& args, CByteArray& command);

    // lcdtool send FILE: the file's bytes as they are.
    static int Send(const CommandLine& args);
    // lcdtool show PAGE.pg: the page's direct drawing stream.
    static int Show(const CommandLine& args);
    // lcdtool download PROJECT.zkp: the flash image as export writes it; with --changed
    // only the records the link's module lacks (DownloadMemory), with --dry-run only the
    // list of what would go.
    static int Download(const CommandLine& args);
    // lcdtool ports: the serial and parallel ports, USB modules and CAN adapters found.
    static int Ports(const CommandLine& args);
};
