#pragma once
// lcdtool's image command: bmp2c, the bitmap-to-array conversion. Returns the exit status
// (0 success, 1 bad input) and prints one clear line on stderr when it fails.

class CommandLine;

class ImageCommands {
public:
    // bmp2c IMAGE --size WxH|orig --colours N [--control MODE] [--board B] -o OUT.txt
    static int Bmp2c(const CommandLine& args);
};
