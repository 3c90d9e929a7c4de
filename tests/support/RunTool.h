#pragma once
// Runs lcdtool as a user does; and the hand-built page the lcdtool tests share.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

struct Result {
    int status = -1;
    std::string out, err;
};

inline std::string Slurp(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// "lcdtool ARGS" through the shell (ARGS are shell words; `env` assignments go in front);
// its stdout and stderr are caught in files in `dir` unless ARGS redirect them.
inline Result RunTool(const std::filesystem::path& dir, const std::string& args,
                      const std::string& env = "") {
    const std::filesystem::path out = dir / "stdout", err = dir / "stderr";
    const std::string cmd =
        env + " " + LCDTOOL_PATH + " >'" + out.string() + "' 2>'" + err.string() + "' " + args;
    const int rc = std::system(cmd.c_str());
    return Result{WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, Slurp(out), Slurp(err)};
}

// A page built by hand from the format: 8 colours, 16 x 8 pixels, delay 10, main page,
// background code 04, one line (1,1)-(10,1) in code 07 and one polyline (0,7) (3,4) (6,7)
// in code 02.
inline const char kHandBuiltPage[] =
    "03 4C 43 44 "                                      // "LCD"
    "08 00 00 00 "                                      // colours
    "00 00 00 00 00 00 24 40 00 00 00 00 00 00 14 40 "  // 10.0 x 5.0 mm
    "10 00 00 00 08 00 00 00 "                          // 16 x 8
    "0A 00 00 00 00 00 00 00 "                          // delay 10, main page
    "FF 00 00 00 04 00 "                                // red, code 04
    "02 00 "                                            // two items
    "FF FF 01 00 09 00 43 49 74 65 6D 4C 69 6E 65 "     // CItemLine
    "0B 00 00 00 01 00 00 00 01 00 00 00 0A 00 00 00 01 00 00 00 "
    "FF FF FF 00 07 00 01 00 00 00 "
    "FF FF 01 00 09 00 43 49 74 65 6D 50 6F 6C 79 "  // CItemPoly
    "12 00 00 00 00 00 00 00 04 00 00 00 06 00 00 00 07 00 00 00 "
    "00 FF 00 00 02 00 03 00 00 00 "
    "00 00 00 00 07 00 00 00 03 00 00 00 04 00 00 00 06 00 00 00 07 00 00 00";
