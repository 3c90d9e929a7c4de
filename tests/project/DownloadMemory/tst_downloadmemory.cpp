// What an incremental download sends, after what the link's module last received.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "base/AtomicFile.h"
#include "link/LinkSettings.h"
#include "project/DownloadMemory.h"

namespace {

using K = FlashRecord::Kind;

// Pages at 0 and 2, a bitmap at block 1 page 3, a background, the CRC table.
std::vector<FlashRecord> Image() {
    return {{K::Page, 0, "a.pg", {0x1B, 0x56, 0x00, 0x01}},
            {K::Page, 2, "b.pg", {0x1B, 0x56, 0x02, 0x01}},
            {K::Bitmap, 256 + 3, "x.bmp", CByteArray(512, 0x11)},
            {K::Background, 9, "b.pg", CByteArray(64, 0x22)},
            {K::CrcTable, 0, "CRC", {0x1B, 0x3F, 0x00, 0x00, 0x00}}};
}

DownloadTarget Target() {
    return {"serial:/dev/ttyUSB0", {"LCD", 256, 0, 0, 320, 240}, DownloadSettings{}};
}

struct Case {
    const char* name;
    // What the module received before (nothing: no memory), and how the image changed since.
    std::function<void(const DownloadMemory&)> before;
    std::function<void(std::vector<FlashRecord>&, DownloadTarget&)> edit;
    const char* sent;  // indexes of the records sent
    bool everything;
};
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

void Received(const DownloadMemory& m) {
    std::string error;
    ASSERT_TRUE(m.Remember(Target(), Image(), error)) << error;
}
void Nothing(std::vector<FlashRecord>&, DownloadTarget&) {}

class Plans : public testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/lcd-memory-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string dir;
};

TEST_P(Plans, SendWhatTheModuleLacks) {
    const DownloadMemory memory(dir + "/downloads");
    if (GetParam().before) GetParam().before(memory);
    std::vector<FlashRecord> records = Image();
    DownloadTarget target = Target();
    GetParam().edit(records, target);
    const DownloadPlan plan = memory.Plan(target, records);
    std::string sent;
    for (const size_t i : plan.send)
        sent += (sent.empty() ? "" : " ") + std::to_string(i);
    EXPECT_EQ(sent, GetParam().sent);
    EXPECT_EQ(plan.everything, GetParam().everything);
    EXPECT_EQ(plan.everything, !plan.reason.empty()) << plan.reason;
}

INSTANTIATE_TEST_SUITE_P(
    DownloadMemory, Plans,
    testing::Values(
        Case{"NothingKnown", nullptr, Nothing, "0 1 2 3 4", true},
        Case{"NothingChanged", Received, Nothing, "", false},
        Case{"OnePageChanged", Received, [](auto& r, auto&) { r[1].bytes.back() = 0x02; }, "1 4",
             false},
        Case{"BitmapMovedInItsBlock", Received, [](auto& r, auto&) { r[2].place = 256 + 4; }, "2 4",
             false},
        Case{"PageRemoved", Received, [](auto& r, auto&) { r.erase(r.begin()); }, "", false},
        Case{"CrcTableAloneChanged", Received, [](auto& r, auto&) { r[4].bytes.back() = 0x01; },
             "4", false},
        Case{"OtherDeviceType", Received, [](auto&, auto& t) { t.screen.device = "LCD2"; },
             "0 1 2 3 4", true},
        Case{"OtherBoard", Received, [](auto&, auto& t) { t.settings.SetBoardType(2); },
             "0 1 2 3 4", true},
        Case{"OtherInstructionMode", Received,
             [](auto&, auto& t) { t.settings.instructionMode = 2; }, "0 1 2 3 4", true},
        Case{"OtherPort", Received, [](auto&, auto& t) { t.link = "serial:/dev/ttyUSB1"; },
             "0 1 2 3 4", true},
        Case{"StoppedDownloadForgot",
             [](const DownloadMemory& m) {
                 std::string error;
                 Received(m);
                 ASSERT_TRUE(m.Record(Target(), Image(), {SendStatus::Stopped, 9, ""}, error));
             },
             Nothing, "0 1 2 3 4", true},
        Case{"FailureThatSentNothingKeeps",
             [](const DownloadMemory& m) {
                 std::string error;
                 Received(m);
                 ASSERT_TRUE(m.Record(Target(), Image(), SendResult::Fail("busy"), error));
             },
             Nothing, "", false},
        Case{"DamagedMemory",
             [](const DownloadMemory& m) {
                 std::string error;
                 const std::string junk = "lcdscreen-download-memory 1\nrecord page x\n";
                 Received(m);
                 ASSERT_TRUE(AtomicFile::Write(
                     m.FileOf(Target().link),
                     {reinterpret_cast<const uint8_t*>(junk.data()), junk.size()}, error));
             },
             Nothing, "0 1 2 3 4", true}),
    [](const auto& info) { return std::string(info.param.name); });

struct LinkCase {
    const char* name;
    const char* option;  // as --link takes it
    const char* target;
    int64_t bytes;
    double seconds;  // at the link's speed; negative: unknown
};
void PrintTo(const LinkCase& c, std::ostream* os) {
    *os << c.name;
}
class Links : public testing::TestWithParam<LinkCase> {};

TEST_P(Links, NameTheTargetAndItsPace) {
    LinkSettings settings;
    std::string error;
    ASSERT_TRUE(ParseLinkOption(GetParam().option, settings, error)) << error;
    EXPECT_EQ(DownloadMemory::LinkTarget(settings), GetParam().target);
    EXPECT_NEAR(DownloadMemory::EstimateSeconds(settings, GetParam().bytes), GetParam().seconds,
                0.05);
}

INSTANTIATE_TEST_SUITE_P(
    DownloadMemory, Links,
    testing::Values(
        // The demo at 9600 baud, 8N2 and 2 µs after each byte.
        LinkCase{"Serial", "serial:/dev/ttyUSB0,baud=9600,interval=2", "serial:/dev/ttyUSB0", 81698,
                 81698 * (11.0 / 9600 + 2e-6)},
        LinkCase{"ParallelCard", "parallel:0x3BC", "parallel:0x3BC", 1000, 1000 * 2 * 2e-6},
        // 10 ms after each frame of 8 bytes.
        LinkCase{"Can", "can:udp=10.0.0.7:3000", "can:udp=10.0.0.7:3000", 81698, 10213 * 0.010},
        LinkCase{"Usb", "usb", "usb:", 1000, -1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
