// The kvxsim program end to end: the library opens it over UDP and its serial device, and
// the frames sent show up in its output.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>

#include "kvx_can.h"
#include "support/TestSupport.h"

namespace {

// Runs kvxsim with its standard output on a pipe; stops it on destruction.
class Simulator {
public:
    explicit Simulator(std::vector<std::string> args) {
        int fds[2];
        EXPECT_EQ(pipe(fds), 0);
        m_pid = fork();
        if (m_pid == 0) {
            dup2(fds[1], STDOUT_FILENO);
            ::close(fds[0]);
            ::close(fds[1]);
            std::vector<char*> argv{const_cast<char*>(KVXSIM_PATH)};
            for (auto& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(KVXSIM_PATH, argv.data());
            _exit(127);
        }
        ::close(fds[1]);
        m_out = fds[0];
    }
    ~Simulator() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            int status = 0;
            waitpid(m_pid, &status, 0);
        }
        ::close(m_out);
    }
    // Output up to and including the first line containing text, or "" after a second.
    std::string WaitFor(const std::string& text) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < deadline) {
            const auto at = m_text.find(text);
            if (at != std::string::npos) {
                const auto end = m_text.find('\n', at);
                if (end != std::string::npos) return m_text.substr(0, end);
            }
            pollfd pfd{m_out, POLLIN, 0};
            if (poll(&pfd, 1, 100) > 0) {
                char chunk[256];
                const ssize_t n = ::read(m_out, chunk, sizeof chunk);
                if (n <= 0) break;
                m_text.append(chunk, static_cast<size_t>(n));
            }
        }
        return "";
    }
    // Exit status after SIGTERM, or after it ended by itself.
    int Stop(bool terminate = true) {
        if (terminate) kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_text;
};

std::string ValueAfter(const std::string& text, const std::string& key) {
    const auto at = text.find(key + " ");
    if (at == std::string::npos) return "";
    const auto start = at + key.size() + 1;
    return text.substr(start, text.find('\n', start) - start);
}

TEST(KvxsimTest, LogsFramesSentOverUdpAndSerial) {
    Simulator sim({"--udp-port", "0", "--bind", "127.0.0.1"});
    const std::string banner = sim.WaitFor("udp ");
    const std::string port = ValueAfter(banner, "udp");
    const std::string tty = ValueAfter(banner, "serial");
    ASSERT_FALSE(port.empty()) << banner;
    ASSERT_FALSE(tty.empty()) << banner;

    kvxtest::ScopedEnv local("KVX_CAN_UDP_LOCAL_PORT", "0");
    kvxtest::ScopedEnv remote("KVX_CAN_UDP_ADAPTER_PORT", port);
    ASSERT_EQ(KVX_OpenDevice(4, 0x7F000001, 0), 1);
    CanFrame frame{};
    frame.id[0] = 0x06;
    frame.id[1] = 0x40;
    frame.length = 3;
    std::memcpy(frame.data, "\x1B\x46\x07", 3);
    EXPECT_EQ(KVX_Transmit(4, 0x7F000001, 0, &frame), 1);
    EXPECT_NE(sim.WaitFor("frame std flags=03 id=06 40 data=1B 46 07"), "");

    kvxtest::ScopedEnv com("KVX_CAN_COM1", tty);
    ASSERT_EQ(KVX_OpenDevice(1, 0, 57600), 1);
    EXPECT_EQ(KVX_StartCAN(1, 0, 0), 1);
    frame.extended = 1;
    std::memcpy(frame.id, "\x01\x02\x03\x04", 4);
    EXPECT_EQ(KVX_Transmit(1, 0, 0, &frame), 1);
    EXPECT_NE(sim.WaitFor("frame ext flags=83 id=01 02 03 04 data=1B 46 07"), "");
    EXPECT_EQ(KVX_CloseDevice(1, 0), 1);
    EXPECT_EQ(sim.Stop(), 0);
}

TEST(KvxsimTest, RefusesBadArguments) {
    Simulator sim({"--udp-port", "99999"});
    EXPECT_EQ(sim.Stop(false), 2);
}

}  // namespace
