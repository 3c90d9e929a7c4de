// lcdtool's sending commands over a pseudo-terminal: what arrives, and what is refused.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "base/ByteArray.h"
#include "support/LinkFixtures.h"
#include "support/RunTool.h"

namespace fs = std::filesystem;

namespace {

struct Row {
    const char* name;
    std::string args;     // $D: the test folder, $P: the pseudo-terminal
    int status;           // exit status
    const char* says;     // a piece of stderr
    std::string arrives;  // hex, or "=ARGS": what `lcdtool ARGS -o -` writes
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

class SendTool : public testing::TestWithParam<Row> {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/lcdtool-send-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        CByteArray page;
        ASSERT_TRUE(FromHex(kHandBuiltPage, page));
        std::ofstream(dir / "hand.pg", std::ios::binary)
            .write((const char*)page.data(), page.size());
        std::ofstream(dir / "three.bin", std::ios::binary) << "\x1B\x50\x03";
        std::ofstream(dir / "fw.hex") << ":040000001122334452\r\n:00000001FF\r\n";
    }
    void TearDown() override { fs::remove_all(dir); }
    Result Run(std::string args) {
        for (const auto& [key, value] : {std::pair{"$D", dir.string()}, {"$P", pty.path}})
            for (size_t p; (p = args.find(key)) != std::string::npos;)
                args.replace(p, 2, value);
        return RunTool(dir, args);
    }
    fs::path dir;
    PtyPair pty;
};

TEST_P(SendTool, DeliversOrRefuses) {
    const Row& row = GetParam();
    const Result r = Run(row.args);
    EXPECT_EQ(r.status, row.status) << r.err;
    EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
    EXPECT_TRUE(!row.status || std::count(r.err.begin(), r.err.end(), '\n') == 1) << r.err;
    std::string expected = row.arrives;
    if (expected.starts_with("=")) {
        const std::string bytes = Run(expected.substr(1) + " -o -").out;
        expected = ToHex(CByteArray(bytes.begin(), bytes.end()));
    }
    EXPECT_EQ(ToHex(pty.Received()), expected);
}

const std::string kLink = " --link serial:$P,interval=0";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, SendTool, testing::Values(
    Row{"SendFile", "send $D/three.bin" + kLink, 0, "已发送 3 字节", "1B 50 03"},
    Row{"ShowIsTheEncodedPage", "show $D/hand.pg" + kLink, 0, "已发送", "=encode $D/hand.pg"},
    Row{"StandardFont", "font --standard $D/three.bin --send" + kLink, 0, "", "1B 20 0A 20 1B 50 03"},
    Row{"CustomFontLong", "font --custom 3 --mode long $D/three.bin --send" + kLink, 0, "",
        "=font --custom 3 --mode long $D/three.bin"},
    Row{"Firmware", "firmware $D/fw.hex --send --yes --quiet" + kLink, 0, "", "=firmware $D/fw.hex"},
    Row{"ImmediateCommand", "command show-page 200 --mode checksum --send" + kLink, 0, "",
        "1B 50 01 C8 01 34"},
    Row{"FirmwareAsksForYes", "firmware $D/fw.hex --send" + kLink, 1, "--yes", ""},
    Row{"LinkOnlyWithSend", "command version -o $D/v.bin" + kLink, 1, "--send", ""},
    Row{"UnknownLink", "send $D/three.bin --link modem:x", 1, "无法识别的连接：modem:x", ""},
    Row{"MissingFile", "send $D/none.bin" + kLink, 1, "打开文件失败", ""},
    Row{"BusyCheckWithoutModemLines", "send $D/three.bin --link serial:$P,busy", 1, "DSR", ""},
    Row{"NoImmediateCommandOverCan", "command version --send --link can:udp=127.0.0.1:9", 1,
        "即时命令", ""}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(Ports, ListsEachKind) {
    const Result r = RunTool(testing::TempDir(), "ports");
    EXPECT_EQ(r.status, 0) << r.err;
    for (const char* kind : {"串口", "并口", "USB 模块", "USB-CAN 适配器"})
        EXPECT_NE(r.out.find(std::string(kind) + "："), std::string::npos) << r.out;
}

}  // namespace
