// The USB link through a fake bus: which module is chosen and what is told, the chunk size
// of class A and B modules, the chunks and their progress events.

#include <gtest/gtest.h>
#include <libusb.h>

#include "link/UsbLink.h"
#include "support/LinkFixtures.h"
#include "support/ScriptedMessenger.h"

namespace {

constexpr UsbId kClassA{0x1A86, 0x7523}, kClassB{0x10C4, 0xEA61}, kOther{0x046D, 0xC077};

struct FakePipe : UsbPipe {
    explicit FakePipe(std::string& w) : writes(w) {}
    SendStatus Write(std::span<const uint8_t> bytes, std::string&,
                     const std::atomic<bool>&) override {
        writes += " " + std::to_string(bytes.size());
        return SendStatus::Done;
    }
    std::string& writes;  // sizes of the transfers, " 1024 1024 452"
};

// Modules as listed; the one at usb:9-9 cannot be opened.
struct FakeBus : UsbBus {
    std::vector<UsbDeviceInfo> devices;
    std::vector<std::string> opened;
    std::string writes;
    std::vector<UsbDeviceInfo> Devices() override { return devices; }
    std::unique_ptr<UsbPipe> Open(const std::string& path, int, std::string&) override {
        opened.push_back(path);
        return path == "usb:9-9" ? nullptr : std::make_unique<FakePipe>(writes);
    }
};

struct OpenCase {
    const char* name;
    std::vector<UsbDeviceInfo> devices;
    std::string selected;     // before the open
    std::string chooserPick;  // what the settings dialog picks ("" = cancelled / not shown)
    const char* told;         // what the user is told, "" for nothing
    const char* opened;       // the path opened, "" for none
    int chunk;
};

class UsbOpen : public testing::TestWithParam<OpenCase> {};

TEST_P(UsbOpen, SettlesTheDeviceAndTellsWhy) {
    const OpenCase& c = GetParam();
    FakeBus bus;
    bus.devices = c.devices;
    LinkSettings s;
    s.usbClassA = {kClassA};
    s.usbClassB = {kClassB};
    s.selectedUsbDevice = c.selected;
    ScriptedMessenger messenger;
    LinkEnvironment env;
    env.usb = &bus;
    int asked = 0;
    env.chooseDevice = [&](LinkSettings& settings) {
        ++asked;
        settings.selectedUsbDevice = c.chooserPick;
        return !c.chooserPick.empty();
    };
    const std::unique_ptr<Link> link = UsbLink::Open(s, messenger, env);
    EXPECT_EQ(link != nullptr, *c.opened != 0 && bus.opened.front() != "usb:9-9");
    EXPECT_EQ(
        messenger.told.empty() ? "" : messenger.told.front().substr(0, std::string(c.told).size()),
        c.told);
    EXPECT_EQ(bus.opened.empty() ? "" : bus.opened.front(), c.opened);
    EXPECT_EQ(s.usbChunk, c.chunk);
    // The dialog is offered exactly when several modules leave the choice open.
    EXPECT_EQ(asked > 0, std::string(c.told).find("选择") != std::string::npos);
    // Immediate commands have no USB sender: they are refused, not dropped silently.
    const std::atomic<bool> never{false};
    EXPECT_TRUE(!link || link->SendCommand(CByteArray{1}, never).message.find("即时命令") !=
                             std::string::npos);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, UsbOpen, testing::Values(
    OpenCase{"None", {{"usb:1-1", kOther}}, "", "", "usb设备没连接，或者设备驱动错误", "", 1024},
    OpenCase{"OneClassAAsksNothing", {{"usb:1-1", kOther}, {"usb:1-2", kClassA}}, "", "", "",
             "usb:1-2", 1024},
    OpenCase{"ClassAAndBNoChoiceYet", {{"usb:1-2", kClassA}, {"usb:2-1", kClassB}}, "", "usb:2-1",
             "检测到多个设备，请选择一个", "usb:2-1", 16},
    OpenCase{"ChosenDeviceStillThere", {{"usb:1-2", kClassA}, {"usb:1-3", kClassA}}, "usb:1-3", "",
             "", "usb:1-3", 1024},
    OpenCase{"ChosenDeviceMovedAndDialogCancelled", {{"usb:1-2", kClassA}, {"usb:1-3", kClassA}},
             "usb:1-4", "", "您更换了usb端口？请重新选择要写的设备", "", 1024},
    OpenCase{"PipeThatCannotOpen", {{"usb:9-9", kClassA}}, "", "", "USB 打开失败", "usb:9-9", 1024}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(UsbLink, SendsWholeChunksThenTheRest) {
    for (const auto& [size, chunk, writes, posts] :
         {std::tuple{2500, 1024, " 1024 1024 452", "1024 2048 2499"},
          std::tuple{40, 16, " 16 16 8", "16 32 39"}, std::tuple{100, 1024, " 100", "99"}}) {
        FakeBus bus;
        RecordingSink sink;
        std::atomic<bool> stop{false};
        std::string error;
        UsbLink link(bus.Open("usb:1-1", 1, error), chunk);
        EXPECT_EQ(link.Send(CByteArray(size, 0xA5), sink, stop).status, SendStatus::Done);
        EXPECT_EQ(bus.writes, writes);
        EXPECT_EQ(sink.Values(kProgressSent), posts);
    }
}

// Writes go in slices so that a stop lands within one: each row scripts what the device
// does with each slice (libusb's code and the bytes it took) for an 8-byte write.
TEST(UsbLink, WritesInSlicesThatAStopInterrupts) {
    struct Row {
        const char* name;
        std::vector<std::pair<int, int>> slices;  // repeated from the last one
        bool stop;
        SendStatus status;
        const char* calls;  // "offset+length" of each transfer
        const char* error;
    };
    constexpr int kWait = LIBUSB_ERROR_TIMEOUT;
    for (const Row& row : {
             Row{"at once", {{0, 8}}, false, SendStatus::Done, " 0+8", ""},
             Row{"over three slices",
                 {{kWait, 3}, {kWait, 3}, {0, 2}},
                 false,
                 SendStatus::Done,
                 " 0+8 3+5 6+2",
                 ""},
             Row{"stopped while the module waits",
                 {{kWait, 0}},
                 true,
                 SendStatus::Stopped,
                 " 0+8",
                 ""},
             Row{"unplugged",
                 {{kWait, 5}, {LIBUSB_ERROR_NO_DEVICE, 0}},
                 false,
                 SendStatus::Failed,
                 " 0+8 5+3",
                 "USB 设备已断开"},
             Row{"short transfer",
                 {{0, 4}},
                 false,
                 SendStatus::Failed,
                 " 0+8",
                 "USB 设备只收下了部分数据"},
         }) {
        const CByteArray bytes(8, 0x5A);
        std::string calls, error;
        size_t turn = 0;
        const std::atomic<bool> stop{row.stop};
        const SendStatus status = WriteBulk(
            bytes, 1000, stop, error, [&](const uint8_t* data, int length, int& done, unsigned ms) {
                EXPECT_EQ(ms, kBulkSliceMs);
                calls += " " + std::to_string(data - bytes.data()) + "+" + std::to_string(length);
                const auto& [rc, took] = row.slices[std::min(turn++, row.slices.size() - 1)];
                done = took;
                return rc;
            });
        EXPECT_EQ(status, row.status) << row.name;
        EXPECT_EQ(calls, row.calls) << row.name;
        EXPECT_EQ(error, row.error) << row.name;
    }
    // A device that takes nothing times out after the whole time-out, slice by slice.
    std::string error;
    int turns = 0;
    const std::atomic<bool> never{false};
    EXPECT_EQ(WriteBulk(CByteArray(8), 250, never, error,
                        [&](const uint8_t*, int, int& done, unsigned ms) {
                            ++turns;
                            done = 0;
                            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
                            return int(LIBUSB_ERROR_TIMEOUT);
                        }),
              SendStatus::TimedOut);
    EXPECT_GE(turns, 2);
    EXPECT_EQ(error, "USB 写入超时，请检查连接是否正确");
}

}  // namespace
