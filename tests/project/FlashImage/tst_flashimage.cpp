// The flash image of a small project, byte for byte against records built by hand from
// the record formats; its checks and messages; export, show page and the toggles.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/ByteArray.h"
#include "gfx/Surface.h"
#include "link/Crc16Xmodem.h"
#include "project/FlashImage.h"
#include "project/FlashLayout.h"
#include "project/FlashLayout/FlashFixture.h"
#include "project/FlashMap.h"
#include "support/ScriptedMessenger.h"

using flashfixture::Project;
using Answer = Messenger::Answer;

namespace {

constexpr COLORREF kRed = Rgb(255, 0, 0), kBlue = Rgb(0, 0, 255);
// A 16 x 8 module: a full-screen picture is 128 pixels.
const ScreenParams kSmall{"T", 256, 10.0, 5.0, 16, 8};

CByteArray Bytes(const std::string& hex) {
    CByteArray b;
    EXPECT_TRUE(FromHex(hex, b)) << hex;
    return b;
}
void Append(CByteArray& to, const CByteArray& more) {
    to.insert(to.end(), more.begin(), more.end());
}
void Repeat(CByteArray& to, const std::string& hex, size_t times) {
    const CByteArray unit = Bytes(hex);
    for (size_t i = 0; i < times; ++i)
        Append(to, unit);
}
std::string Slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}
CByteArray FileBytes(const std::string& path) {
    const std::string s = Slurp(path);
    return CByteArray(s.begin(), s.end());
}

// Head of a write-flash command with parameters p in mode m (0 short, 1 checksum, 2 long).
CByteArray FlashHead(int mode, uint8_t command, const CByteArray& p) {
    CByteArray h = {0x1B, command};
    if (mode == 1) {
        h.push_back(static_cast<uint8_t>(p.size()));
        Append(h, p);
        unsigned sum = 0;
        for (uint8_t b : h)
            sum += b;
        h.push_back(static_cast<uint8_t>(sum >> 8));
        h.push_back(static_cast<uint8_t>(sum));
        return h;
    }
    if (mode == 2) Append(h, {0x0A, 0xA0, 0x0A});
    Append(h, p);
    return h;
}

// A page record without items: head, body command, delay 10, next page none, FF to 128.
CByteArray PageRecord(int mode, uint8_t start, const std::string& body) {
    CByteArray r = FlashHead(mode, 0x56, {start, 0x01});
    Append(r, Bytes(body + " 1B 53 0A 1B 50 FF"));
    Repeat(r, "FF", 128 - 9);
    return r;
}

struct Board {
    int pageSize;
    std::string red;   // one pixel of the bitmap
    std::string blue;  // one pixel of the background
};
const Board kBoards[4] = {
    {512, "E0", "03"}, {512, "00 F8", "1F 00"}, {2048, "E0", "03"}, {256, "E0", "03"}};

// The local bitmap record: 20 x 10 red pixels at block 1, page 5, one flash page.
CByteArray BitmapRecord(int mode, int board) {
    CByteArray r = FlashHead(mode, 0x28, {0x01, 0x05, 0x01});
    const size_t start = r.size();
    Repeat(r, kBoards[board].red, 200);
    Repeat(r, "FF", kBoards[board].pageSize - (r.size() - start));
    return r;
}

// The background page's picture under id 0: 128 blue pixels, FF to a flash page.
CByteArray PageImageRecord(int mode, int board) {
    CByteArray r = mode == 1 ? Bytes("1B 20 01 00 00 3C") : FlashHead(mode, 0x20, {0x00});
    r.push_back(0x00);
    const size_t start = r.size();
    Repeat(r, kBoards[board].blue, 128);
    Repeat(r, "FF", kBoards[board].pageSize - (r.size() - start));
    return r;
}

// a.pg: a main page at 0; b.pg: a background page at 1; c.pg at 2 holds the local
// bitmap and is not in the order, which is b, a.
class FlashImageTest : public testing::Test {
public:
    FlashImageTest() : project(kSmall) {}
    void SetUp() override {
        a = project.AddPage("a", 1, 0);
        b = project.AddPage("b", 1, 1);
        c = project.AddPage("c", 1, 2);
        ASSERT_TRUE(project.MakeBackground(b, 4, 4, kBlue));
        ASSERT_EQ(b->m_byBackId, 0);
        bitmap = project.AddBitmap(c, 0, 0, 2, 2, kRed, 20, 10, 1, 5);
        layout = std::make_unique<FlashLayout>(project.ws);
        layout->SetPageOrder({"b.pg", "a.pg"});
        image = std::make_unique<FlashImage>(*layout);
    }
    CByteArray Expected(int mode, int board) {
        CByteArray e = PageRecord(mode, 1, "1B 19 00");
        Append(e, PageRecord(mode, 0, "1B 42 00"));
        Append(e, BitmapRecord(mode, board));
        Append(e, PageImageRecord(mode, board));
        return e;
    }
    void UseMode(int mode) {
        CByteArray ignored;
        image->ChooseInstructionMode(mode, ignored);
        messages.told.clear();
        messages.captions.clear();
    }

    Project project;
    ScriptedMessenger& messages = project.messages;
    CLedDoc *a = nullptr, *b = nullptr, *c = nullptr;
    CItemBmp* bitmap = nullptr;
    std::unique_ptr<FlashLayout> layout;
    std::unique_ptr<FlashImage> image;
};

struct ImageRow {
    const char* name;
    int mode;
    int board;
};

void PrintTo(const ImageRow& row, std::ostream* os) {
    *os << row.name;
}

class FlashImageOrder : public FlashImageTest, public testing::WithParamInterface<ImageRow> {};

TEST_P(FlashImageOrder, RecordsInTransferOrderPaddedToTheBoardsFlashPage) {
    UseMode(GetParam().mode);
    ASSERT_TRUE(image->ChooseBoardType(GetParam().board));
    ASSERT_TRUE(image->CheckDownload());
    ASSERT_TRUE(image->CheckExport());
    CByteArray built;
    image->Build(built);
    EXPECT_EQ(ToHex(built), ToHex(Expected(GetParam().mode, GetParam().board)));
    EXPECT_TRUE(messages.told.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FlashImageOrder,
    testing::Values(ImageRow{"short_arm7", 0, 0}, ImageRow{"short_arm9_16bit", 0, 1},
                    ImageRow{"short_2048", 0, 2}, ImageRow{"short_old_board_256", 0, 3},
                    ImageRow{"checksum_arm7", 1, 0}, ImageRow{"long_2048", 2, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FlashImageTest, PixelsFillingWholeFlashPagesGetNoPadding) {
    bitmap->m_x2 = 32, bitmap->m_y2 = 16;  // 512 pixels, one 512-byte page
    bitmap->m_rcDraw = Rect{0, 0, 32, 16};
    CByteArray built;
    image->Build(built);
    CByteArray record = Bytes("1B 28 01 05 01");
    Repeat(record, "E0", 512);
    Append(record, PageImageRecord(0, 0));
    ASSERT_GE(built.size(), record.size());
    EXPECT_EQ(ToHex(CByteArray(built.end() - static_cast<long>(record.size()), built.end())),
              ToHex(record));
}

TEST_F(FlashImageTest, BitmapWithoutItsItemIsNeitherCheckedNorWritten) {
    // A deleted item's bitmap, far too big and overlapping the other: ignored.
    CItemBmp* gone = project.AddBitmap(c, 0, 0, 2, 2, kRed, 32, 16 * 300, 1, 0);
    const auto undoCopy = gone->Clone();  // keeps the bitmap listed
    c->CurrentItems().pop_back();
    ASSERT_EQ(project.ws.Bitmaps().Bitmaps().size(), 2u);
    EXPECT_TRUE(image->CheckDownload());
    EXPECT_TRUE(image->CheckExport());
    CByteArray built;
    image->Build(built);
    EXPECT_EQ(ToHex(built), ToHex(Expected(0, 0)));
}

// A line that switches the workspace to board 1 and long instructions while its page
// record is being built.
class SettingsChanger : public CItemLine {
public:
    explicit SettingsChanger(DownloadSettings& settings)
        : CItemLine(1, 1, kRed, 1), m_settings(settings) {}
    int Encode(int flashMode, CByteArray& bytes, const DownloadSettings& settings) override {
        m_settings = DownloadSettings::ForBoard(1, 2);
        return CItemLine::Encode(flashMode, bytes, settings);
    }
    DownloadSettings& m_settings;
};

TEST_F(FlashImageTest, ASettingsChangeDuringTheBuildChangesNoByteOfIt) {
    a->CurrentItems().push_back(std::make_unique<SettingsChanger>(project.ws.Settings()));
    CByteArray built;
    image->Build(built);
    ASSERT_EQ(project.ws.Settings().boardType, 1) << "changed half-way through";
    // The records after the change are still those of board 0 in short mode.
    CByteArray tail = BitmapRecord(0, 0);
    Append(tail, PageImageRecord(0, 0));
    ASSERT_GE(built.size(), tail.size());
    EXPECT_EQ(ToHex(CByteArray(built.end() - static_cast<long>(tail.size()), built.end())),
              ToHex(tail));
}

TEST_F(FlashImageTest, DownloadTakesTheOrdersTitles) {
    EXPECT_EQ(image->DownloadPages(), (std::vector<std::string>{"b.pg", "a.pg"}));
}

// ---- refusals -------------------------------------------------------------------------

struct RefusalRow {
    const char* name;
    std::function<void(FlashImageTest&)> setup;
    std::string downloadText, downloadCaption, exportText, exportCaption;
};

void PrintTo(const RefusalRow& row, std::ostream* os) {
    *os << row.name;
}

class FlashImageRefusals : public FlashImageTest,
                           public testing::WithParamInterface<std::tuple<RefusalRow, bool>> {};

void DrawPages(FlashImageTest& t) {
    Surface dc(FlashMap::kSize, FlashMap::kSize);
    t.layout->DrawPageMap(dc);
}
void DrawBitmaps(FlashImageTest& t, int block) {
    Surface dc(FlashMap::kSize, FlashMap::kSize);
    t.layout->ChooseBitmapBlock(block);
    t.layout->DrawBitmapMap(dc);
}
void OverlapPages(FlashImageTest& t) {
    t.project.SetStart(t.b, 0);
}
void OverlapBitmaps(FlashImageTest& t, int block) {
    t.bitmap->Bitmap()->m_nBlock = block;
    t.project.AddBitmap(t.c, 0, 0, 2, 2, kRed, 32, 16, block, 5);
}

const std::string kPageDownload = "页面区有地址重叠或越界，请重新设置";
const std::string kPageExport = "页面区有页面地址重叠或越界，请重新设置";
const std::string kBitmapDownload = "局部位图区有地址重叠或越界，请重新设置";
const std::string kBitmapExport = "局部位图区有位图地址重叠或越界，请重新设置";
const std::string kFlash = "不能写Flash", kFile = "不能写文件";
const std::string kTooBig =
    "出错位图信息：\r\n\r\n起始块：1 块，\r\n起始页：5 页,\r\n位图名称：big.bmp";
const std::string kTooBigCaption = "局部位图大小越限，请检查     ";

TEST_P(FlashImageRefusals, DownloadAndExportSayWhy) {
    const auto& [row, download] = GetParam();
    row.setup(*this);
    messages.told.clear();
    messages.captions.clear();
    EXPECT_FALSE(download ? image->CheckDownload() : image->CheckExport());
    ASSERT_EQ(messages.told.size(), 1u);
    EXPECT_EQ(messages.told[0], download ? row.downloadText : row.exportText);
    EXPECT_EQ(messages.captions[0], download ? row.downloadCaption : row.exportCaption);
}

const RefusalRow kRefusals[] = {
    RefusalRow{"page_flag",
               [](FlashImageTest& t) {
                   OverlapPages(t);
                   DrawPages(t);
               },
               kPageDownload, kFlash, kPageExport, kFile},
    RefusalRow{"bitmap_flag",
               [](FlashImageTest& t) {
                   OverlapBitmaps(t, 1);
                   DrawBitmaps(t, 1);
               },
               kBitmapDownload, kFlash, kBitmapExport, kFile},
    RefusalRow{"page_flag_before_bitmap_flag",
               [](FlashImageTest& t) {
                   OverlapBitmaps(t, 1);
                   DrawBitmaps(t, 1);
                   OverlapPages(t);
                   DrawPages(t);
               },
               kPageDownload, kFlash, kPageExport, kFile},
    // Not drawn yet (or since): the whole area is checked again.
    RefusalRow{"page_overlap_not_drawn", OverlapPages, kPageDownload, kFlash, kPageExport, kFile},
    RefusalRow{"bitmap_overlap_in_a_block_not_shown",
               [](FlashImageTest& t) {
                   OverlapBitmaps(t, 3);
                   DrawBitmaps(t, 0);
               },
               kBitmapDownload, kFlash, kBitmapExport, kFile},
    // Export refuses it as the download does: its record would carry a wrong count.
    RefusalRow{"bitmap_over_256_pages",
               [](FlashImageTest& t) {
                   CItemBmp* item = t.bitmap;
                   item->m_x2 = 32, item->m_y2 = 16 * 257;
                   item->m_rcDraw = Rect{0, 0, 32, 16 * 257};
                   item->Bitmap()->m_strPath = "big.bmp";
               },
               kTooBig, kTooBigCaption, kTooBig, kTooBigCaption},
    // Without pixels a record would be left out and the module would keep a stale copy.
    RefusalRow{"bitmap_without_pixels",
               [](FlashImageTest& t) {
                   t.bitmap->Bitmap()->m_strPath = "gone.bmp";
                   t.bitmap->Bitmap()->Release();
               },
               "位图“gone.bmp”没有图像数据，请替换它", kFlash,
               "位图“gone.bmp”没有图像数据，请替换它", kFile},
    RefusalRow{"background_without_pixels", [](FlashImageTest& t) { t.b->BackBitmap()->Release(); },
               "页面“b.pg”的背景位图没有图像数据，请重新选择", kFlash,
               "页面“b.pg”的背景位图没有图像数据，请重新选择", kFile},
    RefusalRow{"empty_order", [](FlashImageTest& t) { t.layout->SetPageOrder({}); },
               "请您先排好画面的顺序", "提示", "请您先排好画面的顺序", "提示"},
    RefusalRow{"title_not_open",
               [](FlashImageTest& t) {
                   t.layout->SetPageOrder({"a.pg", "x.pg"});
               },
               "页面顺序中的页面“x.pg”没有打开", "提示", "页面顺序中的页面“x.pg”没有打开", "提示"}};

INSTANTIATE_TEST_SUITE_P(Rows, FlashImageRefusals,
                         testing::Combine(testing::ValuesIn(kRefusals), testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "_download" : "_export");
                         });

TEST_F(FlashImageTest, ABitmapOfExactly256PagesPasses) {
    bitmap->m_x2 = 32, bitmap->m_y2 = 16 * 256;
    bitmap->m_rcDraw = Rect{0, 0, 32, 16 * 256};
    bitmap->Bitmap()->m_nStartPage = 0;
    EXPECT_TRUE(image->CheckExport());
    CByteArray built;
    image->Build(built);
    // 256 pages go out as 00.
    const CByteArray head = Bytes("1B 28 01 00 00");
    EXPECT_NE(std::search(built.begin(), built.end(), head.begin(), head.end()), built.end());
}

// ---- export ---------------------------------------------------------------------------

struct ExportName {
    const char* chosen;
    const char* written;
};

void PrintTo(const ExportName& row, std::ostream* os) {
    *os << row.chosen;
}

class FlashImageExportNames : public FlashImageTest,
                              public testing::WithParamInterface<ExportName> {};

TEST_P(FlashImageExportNames, WritesTheImageUnderTheBinName) {
    ASSERT_TRUE(image->Export([&](std::string& name) {
        name = project.File(GetParam().chosen);
        return true;
    }));
    EXPECT_EQ(ToHex(FileBytes(project.File(GetParam().written))), ToHex(Expected(0, 0)));
    EXPECT_TRUE(messages.told.empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, FlashImageExportNames,
                         testing::Values(ExportName{"img", "img.bin"},
                                         ExportName{"img.bin", "img.bin"},
                                         ExportName{"img.BIN", "img.BIN"},
                                         ExportName{"img.Bin", "img.Bin.bin"}),
                         [](const auto& info) {
                             std::string n = info.param.chosen;
                             std::replace(n.begin(), n.end(), '.', '_');
                             return n;
                         });

TEST_F(FlashImageTest, ExportWithCrcAppendsTheTableOfTheWrittenRecords) {
    image->m_bCrc = true;
    ASSERT_TRUE(image->Export([&](std::string& name) {
        name = project.File("img");
        return true;
    }));
    const CByteArray records = Expected(0, 0);
    const auto crc = [&](size_t from, size_t n) {
        const uint16_t v = Crc16Xmodem(std::span(records).subspan(from, n));
        return CByteArray{static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
    };
    // Entries in the short layout: b's page, a's page, the bitmap, the background.
    CByteArray table = Bytes("1B 3F 00 00 18");
    Append(table, Bytes("1B 56 01 01"));
    Append(table, crc(4, 128));
    Append(table, Bytes("1B 56 00 01"));
    Append(table, crc(132 + 4, 128));
    Append(table, Bytes("1B 28 01 05 01"));
    Append(table, crc(264 + 5, 512));
    Append(table, Bytes("1B 20 00"));
    Append(table, crc(264 + 517 + 4, 512));
    CByteArray expected = records;
    Append(expected, table);
    EXPECT_EQ(ToHex(FileBytes(project.File("img.bin"))), ToHex(expected));
}

TEST_F(FlashImageTest, ExportStopsAtAFailedCheckBeforeAskingForAName) {
    layout->SetPageOrder({});
    bool asked = false;
    EXPECT_FALSE(image->Export([&](std::string&) { return asked = true; }));
    EXPECT_FALSE(asked);
}

TEST_F(FlashImageTest, CancelledExportWritesNothing) {
    EXPECT_FALSE(image->Export([](std::string&) { return false; }));
    EXPECT_TRUE(messages.told.empty());
}

TEST_F(FlashImageTest, ExportThatCannotCreateTheFileSaysSo) {
    EXPECT_FALSE(image->Export([&](std::string& name) {
        name = project.File("missing-folder/img");
        return true;
    }));
    EXPECT_EQ(messages.told, std::vector<std::string>{"创建文件失败：无法创建文件 " +
                                                      project.File("missing-folder/img.bin") +
                                                      "：No such file or directory"});
}

// ---- settings and immediate commands --------------------------------------------------

struct ModeRow {
    const char* name;
    int from, to;
    const char* text;
    const char* command;
};

void PrintTo(const ModeRow& row, std::ostream* os) {
    *os << row.name;
}

class FlashImageModes : public FlashImageTest, public testing::WithParamInterface<ModeRow> {};

TEST_P(FlashImageModes, PickerTellsSetsAndAnnouncesTheMode) {
    UseMode(GetParam().from);
    CByteArray command;
    ASSERT_TRUE(image->ChooseInstructionMode(GetParam().to, command));
    EXPECT_EQ(messages.told, std::vector<std::string>{GetParam().text});
    EXPECT_EQ(messages.captions[0], "提示");
    EXPECT_EQ(project.ws.Settings().instructionMode, GetParam().to);
    EXPECT_EQ(image->ModePicker(), GetParam().to);
    EXPECT_EQ(ToHex(command), GetParam().command);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FlashImageModes,
    testing::Values(
        ModeRow{"short_to_long", 0, 2, "修改lcd的写指令为: 长指令模式!", "1B 5D 01 00 01"},
        ModeRow{"short_to_checksum", 0, 1, "修改lcd的写指令为: 校验和指令模式!",
                "1B 5D 03 01 00 01 00 7D"},
        ModeRow{"checksum_to_short", 1, 0, "修改lcd的写指令为: 短指令模式!",
                "1B 5D 03 01 00 00 00 7C"},
        ModeRow{"long_to_short", 2, 0, "修改lcd的写指令为: 短指令模式!", "1B 5D 01 00 00"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FlashImageTest, UnknownModeIsRefused) {
    CByteArray command;
    EXPECT_FALSE(image->ChooseInstructionMode(3, command));
    EXPECT_TRUE(command.empty());
    EXPECT_TRUE(messages.told.empty());
}

TEST_F(FlashImageTest, BoardTypeSetsPageSizeAndPixelsAndSavesEachTime) {
    int saved = 0;
    image->saveSettings = [&] { ++saved; };
    const DownloadSettings& settings = project.ws.Settings();
    ASSERT_TRUE(image->ChooseBoardType(2));
    EXPECT_EQ(settings.flashPageSize, 2048);
    EXPECT_FALSE(settings.pixels16);
    ASSERT_TRUE(image->ChooseBoardType(1));
    EXPECT_EQ(settings.flashPageSize, 512);
    EXPECT_TRUE(settings.pixels16);
    EXPECT_FALSE(image->ChooseBoardType(4));
    EXPECT_EQ(settings.boardType, 1);
    EXPECT_EQ(saved, 2);
}

TEST_F(FlashImageTest, OpeningShowsTheModeAndAppliesTheBoardAgain) {
    project.ws.Settings().instructionMode = 2;
    project.ws.Settings().boardType = 3;  // the page size not yet in step with it
    int saved = 0;
    image->saveSettings = [&] { ++saved; };
    image->Open();
    EXPECT_EQ(image->ModePicker(), 2);
    EXPECT_EQ(project.ws.Settings().flashPageSize, 256);
    EXPECT_EQ(saved, 1);
}

TEST_F(FlashImageTest, ShowWithoutAPickedPageSaysSo) {
    CByteArray command;
    EXPECT_FALSE(image->ShowPicked(command));
    EXPECT_TRUE(command.empty());
    EXPECT_EQ(messages.told, std::vector<std::string>{"请选择你要显示的页面"});
    EXPECT_EQ(messages.captions[0], "你没有指定要显示哪个页面哦");
}

TEST_F(FlashImageTest, ShowTakesTheLastPickedPage) {
    a->m_bPicked = 1;
    project.SetStart(c, 200);
    c->m_bPicked = 1;
    CByteArray command;
    ASSERT_TRUE(image->ShowPicked(command));
    EXPECT_EQ(ToHex(command), "1B 50 C8");
    UseMode(1);
    command.clear();
    ASSERT_TRUE(image->ShowPicked(command));
    EXPECT_EQ(ToHex(command), "1B 50 01 C8 01 34");
}

// Notes the toggle's label at the moment the question is asked.
class LabelWatcher : public ScriptedMessenger {
public:
    Answer Ask(const std::string& text, const std::string& caption, Buttons b) override {
        if (label) labels.push_back(label());
        return ScriptedMessenger::Ask(text, caption, b);
    }
    std::function<std::string()> label;
    std::vector<std::string> labels;
};

enum class Toggle { Character, Parallel, PageSize };

struct ToggleRow {
    const char* name;
    Toggle toggle;
    int mode;
    Answer answer;
    const char* question;
    const char* labelWhileAsking;
    const char* labelAfter;
    const char* command;
};

void PrintTo(const ToggleRow& row, std::ostream* os) {
    *os << row.name;
}

class FlashImageToggles : public testing::TestWithParam<ToggleRow> {};

TEST_P(FlashImageToggles, FlipAskAndSend) {
    const ToggleRow& r = GetParam();
    LabelWatcher watcher;
    Project project(kSmall, &watcher);
    FlashLayout layout(project.ws);
    FlashImage image(layout);
    project.ws.Settings().instructionMode = r.mode;
    const auto label = [&] {
        return r.toggle == Toggle::Character  ? image.CharacterSwitchLabel()
               : r.toggle == Toggle::Parallel ? image.ParallelSwitchLabel()
                                              : image.PageSizeLabel();
    };
    watcher.label = label;
    watcher.answers = {r.answer};
    CByteArray command;
    const bool sent = r.toggle == Toggle::Character  ? image.ToggleCharacterSwitch(command)
                      : r.toggle == Toggle::Parallel ? image.ToggleParallelSwitch(command)
                                                     : image.TogglePageSize(command);
    EXPECT_EQ(sent, r.answer == Answer::Yes);
    EXPECT_EQ(watcher.asked, std::vector<std::string>{r.question});
    EXPECT_EQ(watcher.captions, std::vector<std::string>{"提示"});
    EXPECT_EQ(watcher.labels, std::vector<std::string>{r.labelWhileAsking});
    EXPECT_EQ(label(), r.labelAfter);
    EXPECT_EQ(ToHex(command), r.command);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FlashImageToggles,
    testing::Values(ToggleRow{"character_yes", Toggle::Character, 0, Answer::Yes,
                              "是否要: 开字符开关？", "开", "开", "1B 5D 01 01 01"},
                    ToggleRow{"character_no", Toggle::Character, 0, Answer::No,
                              "是否要: 开字符开关？", "开", "关", ""},
                    ToggleRow{"character_checksum", Toggle::Character, 1, Answer::Yes,
                              "是否要: 开字符开关？", "开", "开", "1B 5D 03 01 01 01 00 7E"},
                    ToggleRow{"character_long_goes_short", Toggle::Character, 2, Answer::Yes,
                              "是否要: 开字符开关？", "开", "开", "1B 5D 01 01 01"},
                    ToggleRow{"parallel_yes", Toggle::Parallel, 0, Answer::Yes,
                              "是否要: 开字符开关？", "关", "开", "1B 5D 01 02 01"},
                    ToggleRow{"parallel_no", Toggle::Parallel, 0, Answer::No,
                              "是否要: 开字符开关？", "关", "关", ""},
                    ToggleRow{"page_size_yes", Toggle::PageSize, 0, Answer::Yes,
                              "是否要把局部位图的每页的字节数改为: 256？", "256", "256",
                              "1B 5D 01 02 00"},
                    ToggleRow{"page_size_no", Toggle::PageSize, 0, Answer::No,
                              "是否要把局部位图的每页的字节数改为: 256？", "256", "512", ""},
                    ToggleRow{"page_size_always_short", Toggle::PageSize, 1, Answer::Yes,
                              "是否要把局部位图的每页的字节数改为: 256？", "256", "256",
                              "1B 5D 01 02 00"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FlashImage, TogglesSwitchBackOnTheSecondClick) {
    Project project(kSmall);
    ScriptedMessenger& messages = project.messages;
    FlashLayout layout(project.ws);
    FlashImage image(layout);
    messages.answers = {Answer::Yes, Answer::Yes, Answer::Yes, Answer::Yes};
    CByteArray command;
    image.ToggleCharacterSwitch(command);
    image.ToggleCharacterSwitch(command);
    image.TogglePageSize(command);
    image.TogglePageSize(command);
    EXPECT_EQ(ToHex(command), "1B 5D 01 01 01 1B 5D 01 01 00 1B 5D 01 02 00 1B 5D 01 02 01");
    EXPECT_EQ(messages.asked.back(), "是否要把局部位图的每页的字节数改为: 512？");
    EXPECT_FALSE(image.CharacterSwitchOn());
    EXPECT_TRUE(image.PageSize512());
}

}  // namespace
