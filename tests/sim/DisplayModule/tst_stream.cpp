// The module's reading of the byte stream: hostile input, the framings of heads, every
// item's command read back, the checks it reports and its flash kept in a file.

#include <gtest/gtest.h>

#include "images/DownloadSettings.h"
#include "items/CItemArc.h"
#include "items/CItemEllipse.h"
#include "items/CItemFill.h"
#include "items/CItemLine.h"
#include "items/CItemPie.h"
#include "items/CItemRectangle.h"
#include "items/CItemRound.h"
#include "link/CommandBuilder.h"
#include "sim/support/ModuleFixture.h"

using namespace simtest;

namespace {

ModuleConfig Config256(Framing framing = Framing::Auto) {
    ModuleConfig c;
    c.framing = framing;
    ModuleFonts::Use(c);
    return c;
}

struct Hostile {
    const char* name;
    Framing framing;
    const char* hex;
    size_t pad;        // FF bytes after hex
    const char* tail;  // then these
    const char* where;
    const char* says;
};

class HostileStream : public testing::TestWithParam<Hostile> {};

// One warning with its offset, and the clear command after the fault still runs.
TEST_P(HostileStream, OneWarningThenTheNextEscRuns) {
    const Hostile& r = GetParam();
    DisplayModule module(Config256(r.framing));
    Recorder seen;
    module.SetListener(&seen);
    CByteArray stream = Bytes(r.hex, r.pad, r.tail), clear = Bytes("1B 42 E0");
    stream.insert(stream.end(), clear.begin(), clear.end());
    module.Execute(stream);
    ASSERT_EQ(seen.warnings.size(), 1u) << testing::PrintToString(seen.warnings);
    EXPECT_EQ(seen.warnings[0].rfind(r.where, 0), 0u) << seen.warnings[0];
    EXPECT_NE(seen.warnings[0].find(r.says), std::string::npos) << seen.warnings[0];
    EXPECT_EQ(module.Screen().GetPixel(5, 5), module.Config().CodeColour(0xE0));
}

INSTANTIATE_TEST_SUITE_P(
    Table, HostileStream,
    testing::Values(
        Hostile{"UnknownCommand", Framing::Auto, "1B 7E 01 02", 0, "", "0x000000",
                "未知命令 1B 7E"},
        Hostile{"StrayBytes", Framing::Auto, "41 42 43", 0, "", "0x000000", "不是命令"},
        Hostile{"BadSum", Framing::Checksum, "1B 50 01 05 00 00", 0, "", "0x000000", "校验和错误"},
        Hostile{"CountNotTheHeads", Framing::Checksum, "1B 56 05 00 01 00 00", 0, "", "0x000000",
                "参数个数 5 应为 2"},
        Hostile{"LongWithoutMark", Framing::Long, "1B 56 00 01", 128, "", "0x000000", "0A A0 0A"},
        Hostile{"PagesPastTheArea", Framing::Auto, "1B 56 FF 02", 256, "", "0x000000",
                "页面记录越界"},
        Hostile{"BlockPastTheArea", Framing::Auto, "1B 28 40 00 01", 512, "", "0x000000",
                "局部位图记录越界"},
        Hostile{"RunsPastTheTransfer", Framing::Auto, "1B 56 00 02", 0, "", "0x000000",
                "在数据结束前没有结束"},
        Hostile{"OffTheScreen", Framing::Auto, "1B 46 FF 00 00 00 00 FF FF 10 00", 0, "",
                "0x000000", "坐标超出屏幕"},
        Hostile{"HugeBitmap", Framing::Auto, "1B 18 00 00 00 00 FF FF FF FF", 0, "", "0x000000",
                "超过上限"},
        Hostile{"HugeFirmware", Framing::Auto, "1B 3D 7F FF FF FF", 0, "", "0x000000",
                "超过 16 MB"},
        Hostile{"FullScreenIdNoModuleHas", Framing::Auto, "1B 20 41 00", 320 * 240, "", "0x000000",
                "全屏位图编号 65 超出"},
        Hostile{"FirmwareSum", Framing::Auto, "1B 3D 00 00 00 04 01 02 03 04 00 00", 0, "",
                "0x000000", "应为 0066"},
        Hostile{"EllipseScaleZero", Framing::Auto, "1B 4E 00 64 1B 59 FF 10 00 10 00 05 00", 0, "",
                "0x000004", "不能为 0"},
        Hostile{"HanziCut", Framing::Auto, "1B 23 B0", 0, "", "0x000000", "缺少第二个字节"},
        Hostile{"UnknownOption", Framing::Auto, "1B 5D 07", 0, "", "0x000000", "1B 5D 07"},
        Hostile{"NoCrcTable", Framing::Auto, "1B 3F 01", 0, "", "0x000000", "没有CRC校验表"},
        Hostile{"BitmapNeverStored", Framing::Auto, "1B 29 00 00 00 00 00 00 04 00 04 00", 0, "",
                "0x000000", "未写入的页"},
        Hostile{"FullScreenNeverStored", Framing::Auto, "1B 19 05", 0, "", "0x000000",
                "全屏位图 5 没有写入"},
        Hostile{"FullScreenWithout00", Framing::Auto, "1B 20 05 07", 0, "", "0x000000", "应为 00"},
        Hostile{"FontKind", Framing::Auto, "1B 20 08 01 0C", 8192, "", "0x000000", "种类 12"},
        Hostile{"PageNeverStored", Framing::Auto, "1B 50 07", 0, "", "页面区 0x0380",
                "没有写入记录"},
        Hostile{"FlashWriteInAPage", Framing::Auto, "1B 56 00 01 1B 5E 00 1B 53 0A 1B 50 FF", 119,
                "1B 50 00", "页面区 0x0000", "1B 5E 不能执行"}),
    [](const auto& info) { return std::string(info.param.name); });

struct Head {
    const char* name;
    Framing framing;
    const char* hex;
    size_t pad;
    const char* log;
    Framing after;
};

class Heads : public testing::TestWithParam<Head> {};

TEST_P(Heads, ReadInTheirFraming) {
    const Head& r = GetParam();
    DisplayModule module(Config256(r.framing));
    Recorder seen;
    module.SetListener(&seen);
    module.Execute(Bytes(r.hex, r.pad));
    ASSERT_FALSE(seen.log.empty());
    EXPECT_EQ(seen.log[0], r.log);
    EXPECT_EQ(module.CurrentFraming(), r.after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Heads,
    testing::Values(Head{"ShowPage200Checked", Framing::Auto, "1B 50 01 C8 01 34", 0,
                         "显示页面 200 [校验和]", Framing::Auto},
                    Head{"ShowPageShort", Framing::Auto, "1B 50 01 1B 42 00", 0, "显示页面 1 [短]",
                         Framing::Auto},
                    Head{"ShortToLong", Framing::Short, "1B 5D 01 00 01", 0,
                         "指令模式：校验和或长 [短]", Framing::Auto},
                    Head{"ShortToChecksum", Framing::Short, "1B 5D 03 01 00 01 00 7D", 0,
                         "指令模式：校验和或长 [校验和]", Framing::Auto},
                    Head{"ChecksumToShort", Framing::Checksum, "1B 5D 03 01 00 00 00 7C", 0,
                         "指令模式：短 [校验和]", Framing::Short},
                    Head{"PageSizeAlwaysShort", Framing::Checksum, "1B 5D 01 02 01", 0,
                         "局部位图页大小/并口开关 02 = 1 [短]", Framing::Checksum},
                    Head{"CustomFontChecked", Framing::Auto, "1B 20 01 08 00 44 02 03", 16384,
                         "写自定义字库：种类 3,16384 字节 [校验和]", Framing::Auto},
                    Head{"StandardFontLong", Framing::Long, "1B 20 0A A0 0A 0A 20 41 42 43", 0,
                         "写标准字库 3 字节", Framing::Long},
                    Head{"CrcTableChecked", Framing::Checksum, "1B 3F 01 00 00 5B 00 00", 0,
                         "写CRC校验表 0 字节 [校验和]", Framing::Checksum},
                    Head{"StartCheckLong", Framing::Auto, "1B 3F 0A A0 0A 01", 0, "开始校验 [长]",
                         Framing::Auto},
                    Head{"BaudChecked", Framing::Auto, "1B 1D 01 02 00 3B", 0,
                         "波特率 19200 [校验和]", Framing::Auto},
                    Head{"Version", Framing::Long, "1B 5E 00", 0, "读取系统版本", Framing::Long}),
    [](const auto& info) { return std::string(info.param.name); });

template <typename T>
std::unique_ptr<CItemBase> Item(int x1, int y1, int x2, int y2, bool solid = false) {
    auto item = std::make_unique<T>();
    item->m_x1 = x1, item->m_y1 = y1, item->m_x2 = x2, item->m_y2 = y2;
    item->m_bSolid = solid;
    item->m_codeHi = 0xE, item->m_codeLo = 0x3;
    return item;
}

// Read back, every shape's command describes the item as the instruction tree does.
TEST(ModuleReading, EveryShapeCommandReadsAsItsItem) {
    std::vector<std::unique_ptr<CItemBase>> items;
    items.push_back(Item<CItemLine>(10, 20, 300, 20));
    items.push_back(Item<CItemRectangle>(0, 0, 10, 10, true));
    items.push_back(Item<CItemRectangle>(5, 6, 70, 80));
    items.push_back(Item<CItemEllipse>(0, 0, 100, 50));
    items.push_back(Item<CItemEllipse>(0, 0, 50, 100, true));
    items.push_back(Item<CItemRound>(100, 100, 103, 104, true));
    for (auto* sweep :
         {static_cast<CItemSweep*>(new CItemArc), static_cast<CItemSweep*>(new CItemPie)}) {
        sweep->m_xCentre = sweep->m_yCentre = 100;
        sweep->m_x1 = 150, sweep->m_y1 = 150, sweep->m_x2 = 50, sweep->m_y2 = 100;
        items.emplace_back(sweep);
    }
    auto fill = std::make_unique<CItemFill>();
    fill->m_xSeed = 40, fill->m_ySeed = 30, fill->m_fillHi = 3, fill->m_fillLo = 5,
    fill->m_borderLo = 1;
    items.push_back(std::move(fill));
    for (auto& item : items) {
        DisplayModule module(Config256());
        Recorder seen;
        module.SetListener(&seen);
        CByteArray bytes;
        item->Encode(0, bytes);
        module.Execute(bytes);
        TreeNode tree;
        item->AddToTree(tree, 0);
        ASSERT_FALSE(seen.log.empty());
        EXPECT_EQ(seen.log.back(), tree.children.at(0).text) << ToHex(bytes);
        EXPECT_TRUE(seen.warnings.empty());
    }
}

TEST(ModuleChecks, CrcTableAndCpuProgram) {
    DisplayModule module(Config256());
    Recorder seen;
    module.SetListener(&seen);
    const CByteArray image = SmallImage(0x01);
    CByteArray table, check = Bytes("1B 3F 01");
    ASSERT_EQ(CommandBuilder::CrcTable(table, 0, image, 512, 0), 2);
    module.Execute(image);
    module.Execute(table);
    module.Execute(check);
    EXPECT_EQ(seen.reports.back(), "校验结束：2 项正确，0 项错误");
    module.Execute(SmallImage(0x02));  // the page changes after the table was made
    module.Execute(check);
    ASSERT_EQ(seen.warnings.size(), 1u);
    EXPECT_NE(seen.warnings[0].find("校验错误：页面记录 起始页 3,页数 1"), std::string::npos);

    CByteArray program(5000, 0x5A), firmware;
    ASSERT_TRUE(CommandBuilder::FirmwareImage(firmware, program));
    module.Execute(firmware);
    EXPECT_EQ(seen.reports.back().rfind("CPU程序校验和正确", 0), 0u);
    EXPECT_EQ(module.Flash().firmware.size(), 8192u);
}

TEST(ModuleFlashFile, KeepsTheFlashAndRefusesOtherFiles) {
    DisplayModule module(Config256()), fresh(Config256()), empty(Config256());
    module.Execute(SmallImage(0x01));
    module.Execute(Bytes("1B 20 0A 20 41 42"));
    CByteArray file;
    module.SaveFlash(file);
    std::string error;
    ASSERT_TRUE(fresh.RestoreFlash(file, error)) << error;
    EXPECT_TRUE(fresh.Flash() == module.Flash());
    EXPECT_EQ(fresh.Flash().standardFont, Bytes("41 42"));

    const std::string head = "LCDSIM-FLASH board=0 size=320x240 colours=256\n";
    ASSERT_EQ(std::string(file.begin(), file.begin() + int(head.size())), head);
    const auto headed = [&](const char* hex) {
        CByteArray bytes(head.begin(), head.end()), more = Bytes(hex);
        bytes.insert(bytes.end(), more.begin(), more.end());
        return bytes;
    };
    ModuleConfig other = Config256();
    other.board = 2;
    DisplayModule board2(other);
    const struct {
        DisplayModule* target;
        CByteArray bytes;
        const char* says;
    } rows[] = {
        {&empty, Bytes("00 01 02"), "不是 lcdsim 的存储区文件"},
        {&board2, file, "另一种模块"},
        {&empty, headed("1B 42 00"), "含有绘图命令"},
        {&empty, headed("1B 56 00 05"), "没有结束"},
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(row.target->RestoreFlash(row.bytes, error));
        EXPECT_NE(error.find(row.says), std::string::npos) << error;
    }
    EXPECT_TRUE(empty.Flash() == DisplayModule(Config256()).Flash());
}

// A transfer cut into chunks of any size gives what it gives whole.
// Drawing stops with one warning once a transfer has spent its pixels (three clears here);
// flash writes go on, and the next transfer or page shown draws again.
TEST(ModuleTransfer, DrawsNoMoreThanItsBudget) {
    ModuleConfig c = Config256();
    c.drawWork = 3 * 320 * 240;
    DisplayModule module(c);
    Recorder seen;
    module.SetListener(&seen);
    module.Execute(Bytes("1B 42 01 1B 42 02 1B 42 03 1B 42 04 1B 56 00 01 1B 42 07 1B 50 FF", 122,
                         "1B 42 05"));
    ASSERT_EQ(seen.warnings.size(), 1u);
    EXPECT_EQ(seen.warnings[0].rfind("0x000009  绘图工作量超过一次传输的上限", 0), 0u);
    EXPECT_EQ(module.Screen().GetPixel(5, 5), c.CodeColour(0x03));
    for (int i = 0; i < 4; ++i)  // each with a budget of its own
        module.ShowPage(0);
    EXPECT_EQ(seen.warnings.size(), 1u);
    EXPECT_EQ(module.Screen().GetPixel(5, 5), c.CodeColour(0x07));
    module.Execute(Bytes("1B 42 06"));
    EXPECT_EQ(module.Screen().GetPixel(5, 5), c.CodeColour(0x06));
}

TEST(ModuleTransfer, ChunksOfAnySizeReadAsOne) {
    CByteArray stream = SmallImage(0x1C), show = Bytes("1B 50 03");
    stream.insert(stream.end(), show.begin(), show.end());
    DisplayModule whole(Config256());
    whole.Execute(stream);
    for (size_t chunk : {1, 3, 130}) {
        DisplayModule module(Config256());
        for (size_t i = 0; i < stream.size(); i += chunk)
            module.Feed(std::span(stream).subspan(i, std::min(chunk, stream.size() - i)));
        module.Finish();
        EXPECT_TRUE(module.Flash() == whole.Flash());
        EXPECT_EQ(Differences(module.Screen(), whole.Screen()), 0);
        EXPECT_EQ(module.ShownPage(), 3);
    }
}

}  // namespace
