#pragma once
// lcdtool's project commands: the flash image of a project (export), its flash layout
// (layout) and the two layout reports (report). Each loads the project as project
// management does, returns the exit status (0 success, 1 bad input or a refusal) and
// prints one clear line on stderr for every problem.

#include <functional>

#include "base/ByteArray.h"

#include <vector>

class CommandLine;
class FlashImage;
class FlashLayout;
struct FlashRecord;
struct DownloadTarget;
struct ScreenParams;

class ProjectCommands {
public:
    static int Export(const CommandLine& args);
    static int Layout(const CommandLine& args);
    static int Report(const CommandLine& args);
    // `download`: the image export writes with the same options, after the download's
    // checks, as its records (the CRC table last with --crc), with the screen and the
    // settings of `target` they were built for; false once the user has been told why not.
    static bool DownloadRecords(const CommandLine& args, std::vector<FlashRecord>& records,
                                DownloadTarget& target);

private:
    // `screen`, when given, takes the project's screen.
    static bool WithImage(const CommandLine& args, const std::function<bool(FlashImage&)>& use,
                          ScreenParams* screen = nullptr);
    // The layout's table on standard output.
    static void PrintLayout(FlashLayout& layout, int block);
};
