#pragma once
// Runs lcdtool as a user does, for the lcdtool tests.

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
