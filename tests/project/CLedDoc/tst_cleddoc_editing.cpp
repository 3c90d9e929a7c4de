// The page document's editing: undo history, deletion, colours and the binary export.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "base/ByteArray.h"
#include "base/Messenger.h"
#include "items/CItemFont.h"
#include "items/CItemLine.h"
#include "items/CItemRectangle.h"
#include "project/CLedDoc.h"

namespace fs = std::filesystem;

namespace {

class RecordingMessenger : public Messenger {
public:
    void Tell(const std::string& text, const std::string&) override { told.push_back(text); }
    Answer Ask(const std::string& text, const std::string&, Buttons) override {
        told.push_back(text);
        return Answer::No;
    }
    std::vector<std::string> told;
};

std::unique_ptr<CItemLine> Line(int x2) {
    auto l = std::make_unique<CItemLine>(0, 0, 0, 1);
    l->m_x2 = x2;
    l->m_bCreating = 0;
    l->m_bDragging = 0;
    return l;
}

// The x2 of every line of the current list: a fingerprint of the page's state.
std::vector<int> State(CLedDoc& doc) {
    std::vector<int> xs;
    for (auto& item : doc.CurrentItems())
        xs.push_back(item->m_x2);
    return xs;
}

// What the canvas does before each change: checkpoint, then add a line.
void AddLine(CLedDoc& doc, int x2) {
    doc.Checkpoint();
    doc.CurrentItems().push_back(Line(x2));
}

// The history keeps the newest steps within both limits (a copy of n lines counts 512 n
// bytes); undo walks back to the oldest kept state, redo forward again.
TEST(CLedDocUndo, HistoryKeepsTheNewestStepsWithinItsLimits) {
    struct Row {
        const char* name;
        int steps;
        size_t bytes;
        int lines, kept;
    };
    for (const Row& row : {Row{"a hundred steps by default", 100, size_t{64} << 20, 120, 100},
                           Row{"four steps", 4, size_t{64} << 20, 5, 4},
                           Row{"memory before steps", 100, 512 * 40, 20, 2}}) {
        CLedDoc doc;
        if (row.steps != 100 || row.bytes != CLedDoc::UndoLimits{}.bytes)
            doc.SetUndoLimits({row.steps, row.bytes});
        for (int i = 1; i <= row.lines; ++i)
            AddLine(doc, i);
        EXPECT_EQ(doc.UndoCount(), row.kept) << row.name;
        EXPECT_LE(doc.HistoryBytes(), row.bytes) << row.name;
        while (doc.CanUndo())
            doc.Undo();
        EXPECT_EQ(State(doc).size(), size_t(row.lines - row.kept)) << row.name;
        EXPECT_EQ(doc.RedoCount(), row.kept) << row.name;
        doc.Redo();
        EXPECT_EQ(State(doc).size(), size_t(row.lines - row.kept + 1)) << row.name;
    }
}

TEST(CLedDocUndo, ACheckpointAfterUndoDropsTheRedoSteps) {
    CLedDoc doc;
    AddLine(doc, 1);
    AddLine(doc, 2);
    doc.Undo();
    EXPECT_TRUE(doc.CanRedo());
    AddLine(doc, 9);
    EXPECT_FALSE(doc.CanRedo());
    EXPECT_EQ(State(doc), (std::vector<int>{1, 9}));
    doc.Redo();
    EXPECT_EQ(State(doc), (std::vector<int>{1, 9}));
}

TEST(CLedDocUndo, SnapshotsAreDeepCopies) {
    CLedDoc doc;
    AddLine(doc, 1);
    doc.Checkpoint();
    doc.CurrentItems()[0]->m_x2 = 50;  // an edit of the current list only
    doc.Undo();
    EXPECT_EQ(State(doc), (std::vector<int>{1}));
}

TEST(CLedDocUndo, SelectionIsRecomputedAfterUndoAndRedo) {
    CLedDoc doc;
    AddLine(doc, 1);
    AddLine(doc, 2);
    doc.Checkpoint();
    doc.CurrentItems()[1]->m_bSelected = 1;
    doc.m_nSel = 1;
    doc.Undo();
    EXPECT_EQ(doc.m_nSel, -1);
    doc.Redo();
    EXPECT_EQ(doc.m_nSel, 1);
}

TEST(CLedDocDelete, RemovesTheSelectedItemUndoably) {
    CLedDoc doc;
    AddLine(doc, 1);
    AddLine(doc, 2);
    doc.m_nSel = 0;
    doc.m_nSelType = 11;
    doc.DeleteSelection();
    EXPECT_EQ(State(doc), (std::vector<int>{2}));
    EXPECT_EQ(doc.m_nSel, -1);
    EXPECT_TRUE(doc.m_bModified);
    doc.Undo();
    EXPECT_EQ(State(doc), (std::vector<int>{1, 2}));
}

TEST(CLedDocDelete, NothingWithoutASelectionOrWithAStaleIndex) {
    CLedDoc doc;
    AddLine(doc, 1);
    const int undo = doc.UndoCount();
    doc.DeleteSelection();  // m_nSel -1
    doc.m_nSel = 5;
    doc.m_nSelType = 11;
    doc.DeleteSelection();  // past the end
    EXPECT_EQ(State(doc), (std::vector<int>{1}));
    EXPECT_EQ(doc.UndoCount(), undo);
}

std::unique_ptr<CItemFont> TextOf(const char* ascii) {
    auto t = std::make_unique<CItemFont>(0, 0, 0);
    t->m_x2 = 200, t->m_y2 = 20, t->m_bCreating = 0;
    for (const char* p = ascii; *p; ++p)
        t->InsertChar(static_cast<uint8_t>(*p), 7, 0);
    return t;
}

struct TextDeleteRow {
    const char* name;
    bool wholeBox;            // selected as a whole (else being edited)
    std::vector<int> marked;  // highlighted characters of "abcd"
    const char* left;         // the text afterwards; nullptr when the box is gone
};

void PrintTo(const TextDeleteRow& row, std::ostream* os) {
    *os << row.name;
}

class CLedDocTextDelete : public testing::TestWithParam<TextDeleteRow> {};

TEST_P(CLedDocTextDelete, WholeBoxOrHighlightedCharacters) {
    const TextDeleteRow& row = GetParam();
    CLedDoc doc;
    doc.CurrentItems().push_back(TextOf("abcd"));
    auto* text = static_cast<CItemFont*>(doc.CurrentItems()[0].get());
    text->m_bSelected = row.wholeBox ? 1 : 0;
    text->m_bTextFlag = row.wholeBox ? 0 : 1;
    for (int i : row.marked)
        text->m_arrChars[static_cast<size_t>(i)].m_bHighlight = 1;
    doc.m_nSel = 0;
    doc.m_nSelType = 15;
    doc.DeleteSelection();
    if (!row.left) {
        EXPECT_TRUE(doc.CurrentItems().empty());
        EXPECT_EQ(doc.m_nSel, -1);
        return;
    }
    ASSERT_EQ(doc.CurrentItems().size(), 1u);
    std::string left;
    for (const auto& c : static_cast<CItemFont*>(doc.CurrentItems()[0].get())->m_arrChars)
        left += static_cast<char>(c.m_lead);
    EXPECT_EQ(left, row.left);
    EXPECT_EQ(doc.m_nSel, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CLedDocTextDelete,
    testing::Values(TextDeleteRow{"SelectedBoxGoes", true, {}, nullptr},
                    TextDeleteRow{"SelectedBoxGoesWhateverIsMarked", true, {1}, nullptr},
                    TextDeleteRow{"EditingDeletesTheMarkedCharacters", false, {1, 2}, "ad"},
                    TextDeleteRow{"EditingWithACaretOnlyDeletesNothing", false, {}, "abcd"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CLedDocColour, BackgroundWithFlagZero) {
    CLedDoc doc;
    doc.SetColour(Rgb(1, 2, 3), 4, 5, 0);
    EXPECT_EQ(doc.m_crBack, Rgb(1, 2, 3));
    EXPECT_EQ(doc.m_backCodeHi, 4);
    EXPECT_EQ(doc.m_backCodeLo, 5);
    EXPECT_TRUE(doc.m_bModified);
}

TEST(CLedDocColour, SelectedItemAndDrawingColour) {
    CLedDoc doc;
    doc.CurrentItems().push_back(std::make_unique<CItemRectangle>(0, 0, 0, 0, true));
    doc.m_nSel = 0;
    doc.SetColour(Rgb(9, 9, 9), 3, 6, 1);
    const CItemBase& r = *doc.CurrentItems()[0];
    EXPECT_EQ(r.m_crColor, Rgb(9, 9, 9));
    EXPECT_EQ(r.m_crFill, Rgb(9, 9, 9));
    EXPECT_EQ(r.ColourByte(), 0x36);
    EXPECT_EQ(doc.m_crDraw, Rgb(9, 9, 9));
    EXPECT_EQ(doc.m_drawCodeHi, 3);
    EXPECT_EQ(doc.m_drawCodeLo, 6);
}

struct TextColourRow {
    const char* name;
    std::vector<int> marked;      // highlighted characters of "abc"
    std::vector<int> recoloured;  // characters that must take the new code
    bool wholeItem;
};

void PrintTo(const TextColourRow& row, std::ostream* os) {
    *os << row.name;
}

class CLedDocTextColour : public testing::TestWithParam<TextColourRow> {};

TEST_P(CLedDocTextColour, MarkedCharactersOrTheWholeText) {
    const TextColourRow& row = GetParam();
    CLedDoc doc;
    doc.CurrentItems().push_back(TextOf("abc"));
    auto* text = static_cast<CItemFont*>(doc.CurrentItems()[0].get());
    for (int i : row.marked)
        text->m_arrChars[static_cast<size_t>(i)].m_bHighlight = 1;
    doc.m_nSel = 0;
    doc.SetColour(Rgb(1, 1, 1), 2, 9, 1);
    for (int i = 0; i < 3; ++i) {
        const bool expect = std::count(row.recoloured.begin(), row.recoloured.end(), i) > 0;
        EXPECT_EQ(text->m_arrChars[static_cast<size_t>(i)].m_codeLo == 9, expect) << i;
    }
    EXPECT_EQ(text->m_codeLo == 9, row.wholeItem);
    EXPECT_EQ(doc.m_drawCodeLo, 9);
}

INSTANTIATE_TEST_SUITE_P(Rows, CLedDocTextColour,
                         testing::Values(TextColourRow{"none_marked", {}, {0, 1, 2}, true},
                                         TextColourRow{"some_marked", {1}, {1}, false},
                                         TextColourRow{"all_marked", {0, 1, 2}, {0, 1, 2}, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct NameRow {
    const char* chosen;
    const char* written;
};

void PrintTo(const NameRow& row, std::ostream* os) {
    *os << row.chosen;
}

class CLedDocBinaryName : public testing::TestWithParam<NameRow> {};

TEST_P(CLedDocBinaryName, BinAppendedUnlessPresent) {
    EXPECT_EQ(CLedDoc::BinaryName(GetParam().chosen), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(Rows, CLedDocBinaryName,
                         testing::Values(NameRow{"page", "page.bin"},
                                         NameRow{"page.bin", "page.bin"},
                                         NameRow{"PAGE.BIN", "PAGE.BIN"},
                                         NameRow{"page.Bin", "page.Bin.bin"},
                                         NameRow{"a.pg", "a.pg.bin"}));

TEST(CLedDocExport, WritesTheDirectStreamOrSaysCreateFailed) {
    char tmpl[] = "/tmp/lcd-export-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const fs::path dir = tmpl;
    RecordingMessenger messages;
    CLedDoc doc;
    doc.SetMessenger(messages);
    doc.m_backCodeLo = 3;
    doc.CurrentItems().push_back(Line(10));
    doc.CurrentItems()[0]->m_codeLo = 7;
    const DownloadSettings board;
    ASSERT_TRUE(doc.ExportBinary(
        [&](std::string& name) {
            name = (dir / "out").string();
            return true;
        },
        board));
    std::ifstream f(dir / "out.bin", std::ios::binary);
    const std::string got((std::istreambuf_iterator<char>(f)), {});
    EXPECT_EQ(ToHex(CByteArray(got.begin(), got.end())),
              "1B 42 03 1B 46 07 00 00 00 00 0A 00 00 00");

    EXPECT_FALSE(doc.ExportBinary(
        [&](std::string& name) {
            name = (dir / "no" / "such" / "x").string();
            return true;
        },
        board));
    EXPECT_FALSE(doc.ExportBinary([](std::string&) { return false; }, board));  // cancelled: silent
    EXPECT_EQ(
        messages.told.at(0).rfind("创建文件失败：无法创建文件 " + (dir / "no/such/x.bin").string()),
        0u);
    fs::remove_all(dir);
}

}  // namespace
