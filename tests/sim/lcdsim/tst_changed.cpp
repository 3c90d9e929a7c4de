// lcdtool download --changed end to end: after a full download of the demo, an edit sent
// with --changed leaves lcdsim's flash as a full download of the edit does, for a fraction
// of the bytes.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <iostream>
#include <nlohmann/json.hpp>
#include <regex>

#include "base/AtomicFile.h"
#include "project/ArchiveJson.h"
#include "support/Programs.h"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

// A page or project of `dir` edited through its JSON.
void EditFile(const fs::path& file, ArchiveJson::Kind kind,
              const std::function<void(Json&)>& edit) {
    std::vector<uint8_t> bytes;
    std::string error, text;
    ASSERT_TRUE(AtomicFile::Read(file.string(), bytes, error)) << error;
    ASSERT_TRUE(ArchiveJson::Dump(kind, bytes, text, error)) << error;
    Json json = Json::parse(text);
    edit(json);
    CByteArray edited;
    ASSERT_TRUE(ArchiveJson::Load(json.dump(), kind, edited, error)) << error;
    ASSERT_TRUE(AtomicFile::Write(file.string(), edited, error)) << error;
}
void EditPage(const fs::path& dir, const char* page, const std::function<void(Json&)>& edit) {
    EditFile(dir / page, ArchiveJson::Kind::Page, edit);
}
void EditProject(const fs::path& dir, const std::function<void(Json&)>& edit) {
    EditFile(dir / "demo.zkp", ArchiveJson::Kind::Project, edit);
}

struct Case {
    const char* name;
    std::function<void(const fs::path& demo)> edit;
    int maxPercent;  // of the full image --changed may send
};
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class ChangedDownload : public ProgramTest, public testing::WithParamInterface<Case> {
protected:
    // The bytes lcdtool reports sent; -1 when it failed.
    int64_t Download(const fs::path& demo, const std::string& pty, const std::string& home,
                     const std::string& options) {
        const Result r = RunTool(dir,
                                 "download " + (demo / "demo.zkp").string() +
                                     " --display cyclic --link serial:" + pty +
                                     ",baud=115200,interval=0 " + options,
                                 "LCDSCREEN_HOME=" + Path(home.c_str()) + ".home");
        std::smatch m;
        if (r.status != 0 || !std::regex_search(r.err, m, std::regex("已发送 (\\d+) 字节，用时")))
            return ADD_FAILURE() << r.err, -1;
        return std::stoll(m[1]);
    }
    // A module served over a pseudo-terminal takes `first` then `second` (full, or
    // --changed); its flash, and the bytes of `second` in `sent`.
    std::string Flash(const char* name, const std::string& second, int64_t& sent,
                      const std::string& first = "") {
        const std::string flash = Path(name) + ".flash";
        Spawned sim(std::string(LCDSIM_PATH) + " serve --pty --size 320x240 --colours 256 " +
                    "-o /dev/null --flash " + flash + " 2>/dev/null");
        const std::string pty = sim.WaitFor("pty ").substr(4);
        EXPECT_FALSE(pty.empty());
        const int64_t full = Download(dir / "orig", pty, name, first);
        sent = Download(dir / "edit", pty, name, second);
        // The module has taken every byte before it is stopped.
        int64_t taken = 0;
        for (size_t at = 0; taken < full + sent && sim.ReadSome(10000) > 0;) {
            for (size_t line, end; (line = sim.text.find("传输结束：", at)) != std::string::npos &&
                                   (end = sim.text.find('\n', line)) != std::string::npos;
                 at = end)
                taken += std::stoll(sim.text.substr(line + std::string("传输结束：").size()));
        }
        EXPECT_EQ(taken, full + sent);
        EXPECT_EQ(sim.Stop(SIGINT), 0);
        log = sim.text;
        return Slurp(flash);
    }
    std::string log;  // what the module said
};

class ChangedVerify : public ChangedDownload {};

// Nothing changed since a verified download: --changed --verify sends the start check
// alone (3 bytes), and the module checks its flash again.
TEST_F(ChangedVerify, SendsTheCheckWhenNothingChanged) {
    fs::copy(fs::path(LCD_EXAMPLES) / "demo", dir / "orig", fs::copy_options::recursive);
    fs::copy(dir / "orig", dir / "edit", fs::copy_options::recursive);
    int64_t sent = 0;
    Flash("verify", "--changed --verify", sent, "--verify");
    EXPECT_EQ(sent, 3);
    const std::string checked = "校验结束：8 项正确，0 项错误";
    EXPECT_NE(log.find(checked, log.find(checked) + 1), std::string::npos) << log;
}

TEST_P(ChangedDownload, LeavesTheFlashOfAFullDownload) {
    fs::copy(fs::path(LCD_EXAMPLES) / "demo", dir / "orig", fs::copy_options::recursive);
    fs::copy(dir / "orig", dir / "edit", fs::copy_options::recursive);
    GetParam().edit(dir / "edit");
    int64_t changed = 0, full = 0;
    const std::string incremental = Flash("changed", "--changed", changed);
    const std::string whole = Flash("full", "", full);
    ASSERT_FALSE(whole.empty());
    EXPECT_TRUE(incremental == whole);
    EXPECT_LT(changed * 100, full * GetParam().maxPercent) << changed << " of " << full;
    std::cout << GetParam().name << ": --changed " << changed << " of " << full << " bytes ("
              << changed * 100.0 / static_cast<double>(full) << " %)\n";
}

INSTANTIATE_TEST_SUITE_P(
    Edits, ChangedDownload,
    testing::Values(
        Case{"OnePageColour",
             [](const fs::path& d) {
                 EditPage(d, "menu.pg", [](Json& p) {
                     p["m_backCodeLo"] = (p["m_backCodeLo"].get<int>() + 1) % 16;
                 });
             },
             10},
        Case{"PageAdded",
             [](const fs::path& d) {
                 ASSERT_EQ(std::system((std::string(LCDTOOL_PATH) + " new-page " +
                                        (d / "demo.zkp").string() + " extra 2>/dev/null")
                                           .c_str()),
                           0);
             },
             10},
        Case{"PageRemoved",
             [](const fs::path& d) { EditProject(d, [](Json& p) { p["entries"].erase(2); }); }, 10},
        Case{"PagesReordered",
             [](const fs::path& d) {
                 EditProject(d, [](Json& p) { std::swap(p["entries"][0], p["entries"][1]); });
             },
             10},
        Case{"BitmapReplaced",
             [](const fs::path& d) {
                 EditPage(d, "photo.pg", [](Json& p) {
                     for (Json& item : p["items"])
                         if (item["class"] == "CItemBmp") {
                             // The picture's negative, of the same size.
                             for (Json& line : item["m_pBitmap"]["m_bits"]) {
                                 std::string hex = line.get<std::string>();
                                 for (char& c : hex)
                                     c = "fedcba9876543210"[std::stoi(std::string(1, c), nullptr,
                                                                      16)];
                                 line = hex;
                             }
                             break;
                         }
                 });
             },
             10}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
