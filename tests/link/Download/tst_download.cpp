// The download machinery: the progress range, the worker's events and stop, what is built
// for each kind, the immediate-command routine and the words for a port that will not open.

#include <grp.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "link/Download.h"
#include "support/LinkFixtures.h"
#include "support/ScriptedMessenger.h"

namespace {

TEST(ProgressScale, SixteenBitRangeRule) {
    // clang-format off
    for (const auto& [total, upper, divisor, index, position] :
         {std::tuple{0x7FFF, 32767, 1, 0x7FFE, 32766}, {0x8000, 1000, 32, 0x7FFF, 999},
          {100000, 1000, 100, 550, 5}, {0, 0, 1, 0, 0}}) {
        // clang-format on
        const ProgressScale scale = ProgressScale::For(total);
        const std::vector<int64_t> got = {scale.upper, scale.divisor, scale.Position(index)};
        EXPECT_EQ(got, (std::vector<int64_t>{upper, divisor, position})) << total;
    }
}

// Posts every byte; with `hold` it waits for a stop instead.
struct FakeLink : Link {
    bool hold = false;
    LinkKind Kind() const override { return LinkKind::None; }
    SendResult Send(std::span<const uint8_t> bytes, ProgressSink& sink,
                    const std::atomic<bool>& stop) override {
        while (hold && !stop)
            std::this_thread::yield();
        if (stop) return {SendStatus::Stopped, 0, ""};
        for (size_t i = 0; i < bytes.size(); ++i)
            sink.OnProgress(kProgressSent, static_cast<int64_t>(i));
        return {SendStatus::Done, static_cast<int64_t>(bytes.size()), ""};
    }
    // The immediate sender: says so in its message.
    SendResult SendCommand(std::span<const uint8_t> bytes, const std::atomic<bool>& stop) override {
        while (hold && !stop)
            std::this_thread::yield();
        if (stop) return {SendStatus::Stopped, 0, ""};
        return {SendStatus::Done, static_cast<int64_t>(bytes.size()), "command"};
    }
};

TEST(Download, WorkerReportsTotalThinnedProgressAndTheEnd) {
    RecordingSink sink;
    Download download(std::make_unique<FakeLink>(), CByteArray(100000), sink);
    EXPECT_EQ(download.Wait().status, SendStatus::Done);
    EXPECT_TRUE(download.IsFinished());
    const auto& events = sink.events;
    ASSERT_EQ(events.size(), 1000u + 2);  // one per step of the 1000-step bar
    EXPECT_EQ(events.front(), std::make_pair(int(kProgressTotal), int64_t{100000}));
    EXPECT_EQ(events[events.size() - 2], std::make_pair(0, int64_t{99900}));
    EXPECT_EQ(events.back(), std::make_pair(int(kProgressDone), int64_t(SendStatus::Done)));
}

TEST(Download, StopAndDestructionEndTheWorker) {
    RecordingSink sink;
    for (const auto mode : {Download::Mode::Transfer, Download::Mode::Command}) {
        for (bool wait : {true, false}) {
            auto link = std::make_unique<FakeLink>();
            link->hold = true;
            Download download(std::move(link), CByteArray(10), sink, mode);
            if (wait) {
                download.RequestStop();
                EXPECT_EQ(download.Wait().status, SendStatus::Stopped);
            }
        }  // the second one is stopped and joined by its destructor
    }
    EXPECT_EQ(sink.Values(kProgressDone), "1 1 1 1");
}

// A command goes through the link's immediate sender, with no progress of its own.
TEST(Download, CommandsTakeTheImmediateSender) {
    RecordingSink sink;
    Download download(std::make_unique<FakeLink>(), CByteArray(3), sink, Download::Mode::Command);
    EXPECT_EQ(download.Wait().message, "command");
    EXPECT_EQ(sink.Values(kProgressSent), "");
}

TEST(Download, BuildsEachKind) {
    const std::string path = testing::TempDir() + "raw-download.bin";
    std::ofstream(path, std::ios::binary) << std::string("\x1B\x0A\x00", 3);
    ScriptedMessenger messenger;
    for (const auto& [kind, file, built, ok, bytes, told] :
         {std::tuple{DownloadKind::RawFile, path, CByteArray{}, true, "1B 0A 00", ""},
          {DownloadKind::RawFile, path + ".none", CByteArray{}, false, "", "打开文件失败：/"},
          {DownloadKind::FlashImage, std::string(), CByteArray{1, 2}, true, "01 02", ""},
          {DownloadKind::StandardFont, path, CByteArray{}, true, "1B 20 0A 20 1B 0A 00", ""},
          {DownloadKind(3), std::string(), CByteArray{}, false, "", "未知的下载内容"}}) {
        messenger.told.clear();
        DownloadRequest request{kind, file, 0, 0, built};
        CByteArray out;
        EXPECT_EQ(BuildDownload(request, messenger, out), ok);
        EXPECT_EQ(ToHex(out), bytes);
        EXPECT_EQ(messenger.told.empty() ? "" : messenger.told.front().substr(0, strlen(told)),
                  told);
    }
    std::remove(path.c_str());
}

TEST(Download, ImmediateCommandOverAnUnknownLinkIsRefused) {
    LinkSettings settings;
    settings.linkKind = 9;
    CByteArray command = {0x1B, 0x50};
    ScriptedMessenger messenger;
    EXPECT_FALSE(SendImmediateCommand(settings, command, messenger));
    ASSERT_EQ(messenger.told.size(), 2u);
    EXPECT_EQ(messenger.told[1], "接口配置失败");
    EXPECT_TRUE(command.empty());
}

TEST(Download, OpenFailuresAreExplained) {
    const std::string path = testing::TempDir() + "fake-tty";
    std::ofstream(path) << "";
    ASSERT_EQ(chown(path.c_str(), -1, getgrnam("dialout")->gr_gid), 0);  // Debian has it
    chmod(path.c_str(), 0660);
    // clang-format off
    for (const auto& [err, words] : {std::pair{EACCES, "“dialout”"}, {EACCES, "重新登录"},
                                     {EBUSY, "占用"}, {ENOENT, "不存在"}, {EIO, "失败"}})
        // clang-format on
        EXPECT_NE(DescribeOpenFailure(path, err).find(words), std::string::npos) << words;
    chmod(path.c_str(), 0600);
    EXPECT_NE(DescribeOpenFailure(path, EACCES).find("udev"), std::string::npos);
    std::remove(path.c_str());
}

}  // namespace
