#pragma once
// Runs the programs as a user does: to the end in a folder of the test's own, or in the
// background, read as they print and stopped with a signal.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>

#include "support/RunTool.h"

// A shell command ("PROGRAM ARGS", redirections allowed) in the background, its standard
// output on a pipe.
struct Spawned {
    pid_t pid = -1;
    int out = -1;
    std::string text;  // the output read so far

    explicit Spawned(const std::string& command) {
        int fds[2];
        EXPECT_EQ(pipe(fds), 0);
        if ((pid = fork()) == 0) {
            dup2(fds[1], STDOUT_FILENO);
            execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), nullptr);
            _exit(127);
        }
        ::close(fds[1]);
        out = fds[0];
    }
    // Reads on: 1 after reading, 0 after `ms` without output, -1 at its end.
    int ReadSome(int ms) {
        pollfd pfd{out, POLLIN, 0};
        char chunk[512];
        if (poll(&pfd, 1, ms) <= 0) return 0;
        const ssize_t n = ::read(out, chunk, sizeof chunk);
        if (n > 0) text.append(chunk, size_t(n));
        return n > 0 ? 1 : -1;
    }
    // The output up to the end of the first line holding `what`; "" after ten seconds.
    std::string WaitFor(const std::string& what) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            const size_t at = text.find(what);
            if (at != std::string::npos && text.find('\n', at) != std::string::npos)
                return text.substr(at, text.find('\n', at) - at);
            if (ReadSome(100) < 0) break;
        }
        return "";
    }
    // Sends `signal` (0: none), reads the rest of the output and gives the exit status.
    int Stop(int signal) {
        if (signal) kill(pid, signal);
        while (ReadSome(10000) > 0) {
        }
        int status = 0;
        waitpid(pid, &status, 0);
        ::close(out);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

// A test with a temporary folder of its own.
class ProgramTest : public testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/lcd-program-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    // Runs `program args` to the end; its stderr into `err`.
    int Run(const std::string& program, const std::string& args, std::string* err = nullptr) {
        const int rc = std::system((program + " " + args + " >/dev/null 2>" + Path("err")).c_str());
        if (err) *err = Slurp(dir / "err");
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
    std::string Path(const char* name) const { return (dir / name).string(); }

    std::filesystem::path dir;
};
