// lcdtool as a careless or hostile user runs it: one table per kind of harm. Each row
// prepares the test folder with shell commands, runs lcdtool once and checks its exit
// status, its one stderr line and, with a shell test, what is on disk afterwards.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "support/RunTool.h"

namespace fs = std::filesystem;

namespace {

struct Case {
    const char* name;
    std::string prep;  // shell commands run first; $D the test folder, $E the examples,
                       // $T lcdtool with the test's settings directory
    std::string args;  // lcdtool's arguments (may redirect its output)
    int status;
    std::string err;    // a piece of the one stderr line; "" when stderr must be empty
    std::string check;  // a shell test that must pass afterwards ("" for none)
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

// A shell command writing `bytes` to `path`.
std::string WriteBytes(const std::string& path, const std::string& bytes) {
    std::string escaped;
    char buf[8];
    for (unsigned char c : bytes) {
        std::snprintf(buf, sizeof buf, "\\%03o", c);
        escaped += buf;
    }
    return "printf '" + escaped + "' >" + path;
}

// A page without items whose logical size is w x h.
std::string Page(const std::string& path, int32_t w, int32_t h) {
    std::string b("\x03LCD\x08\0\0\0\0\0\0\0\0\0\x24\x40\0\0\0\0\0\0\x14\x40", 24);
    for (const int32_t v : {w, h, 10, 0, 0xFF, 4})
        for (int i = 0; i < 4; ++i)
            b += static_cast<char>(static_cast<uint32_t>(v) >> (8 * i));
    return WriteBytes(path, b);
}

class Tool : public testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/lcdtool-cli-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Expand(std::string s) const {
        const std::pair<std::string, std::string> vars[] = {
            {"$T", "LCDSCREEN_HOME=$D/home " LCDTOOL_PATH},
            {"$D", dir.string()},
            {"$E", LCD_EXAMPLES}};
        for (const auto& [from, to] : vars)
            for (size_t p; (p = s.find(from)) != std::string::npos;)
                s.replace(p, from.size(), to);
        return s;
    }
    fs::path dir;
};

TEST_P(Tool, Runs) {
    const Case& c = GetParam();
    ASSERT_EQ(std::system(Expand(c.prep).c_str()), 0) << Expand(c.prep);
    const Result r = RunTool(dir, Expand(c.args), Expand("LCDSCREEN_HOME=$D/home"));
    EXPECT_EQ(r.status, c.status) << r.err;
    if (c.err.empty()) {
        EXPECT_EQ(r.err, "");
    } else {
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_EQ(std::system(Expand(c.check).c_str()), 0) << c.check;
}

const std::string kPage = "$E/shapes-8.pg";
const std::string kDemo = "$E/demo/demo.zkp";
const std::string kCopyDemo = "cp -r $E/demo $D/ && ";
const std::string kDevice = "$T devices add LCD --size 320x240 --mm 70x52 --colours 256 && ";
const std::string kOwnPage = "cp " + kPage + " $D/p.pg", kPageKept = "cmp $D/p.pg " + kPage;
const std::string kImage = "$T export " + kDemo + " -o $D/i.bin && cp $D/i.bin $D/j.bin",
                  kImageKept = "cmp $D/i.bin $D/j.bin";
const std::string kHex =
                      "printf ':040000001122334452\\r\\n:00000001FF\\r\\n' >$D/f.hex && "
                      "cp $D/f.hex $D/g.hex",
                  kHexKept = "cmp $D/f.hex $D/g.hex";
const std::string kOntoInput = "写入会毁掉它";

INSTANTIATE_TEST_SUITE_P(
    DataLoss, Tool,
    testing::Values(
        Case{"NewProjectKeepsAnExistingProject", kCopyDemo + kDevice + "true",
             "new-project $D demo --device LCD", 1, "已经存在",
             "cmp $D/demo/demo.zkp $E/demo/demo.zkp"},
        Case{"NewPageKeepsAPageFileOutsideTheProject",
             kCopyDemo + "cp " + kPage + " $D/demo/extra.pg", "new-page $D/demo/demo.zkp extra", 1,
             "已经存在", "cmp $D/demo/extra.pg " + kPage + " && cmp $D/demo/demo.zkp " + kDemo},
        Case{"OutputThroughASymbolicLinkKeepsTheLink", "ln -s real.bin $D/link.bin",
             "encode " + kPage + " -o $D/link.bin", 0, "", "test -L $D/link.bin -a -s $D/real.bin"},
        Case{"KilledSavesTemporaryGoesWithTheNextSave", "touch $D/.o.bin.lcdtmp-999999999-abcdef",
             "encode " + kPage + " -o $D/o.bin", 0, "",
             "test ! -e $D/.o.bin.lcdtmp-999999999-abcdef"},
        Case{"OutputKeepsItsMode", "touch $D/o.bin && chmod 600 $D/o.bin",
             "encode " + kPage + " -o $D/o.bin", 0, "", "test $(stat -c %a $D/o.bin) = 600"},
        // An output that is one of the inputs, by name or through a link, is refused.
        Case{"EncodeOntoItsPage", kOwnPage, "encode $D/p.pg -o $D/p.pg", 1, kOntoInput, kPageKept},
        Case{"RecordThroughASymbolicLink", kOwnPage + " && ln -s p.pg $D/l.pg",
             "encode $D/p.pg --record -o $D/l.pg", 1, "与输入文件", kPageKept},
        Case{"RenderThroughAHardLink", kOwnPage + " && ln $D/p.pg $D/h.pg",
             "render $D/p.pg -o $D/h.pg", 1, kOntoInput, kPageKept},
        Case{"ResaveInPlace", kOwnPage, "resave $D/p.pg $D/p.pg", 1, kOntoInput, kPageKept},
        Case{"CrcOntoItsImage", kImage, "crc $D/i.bin -o $D/i.bin", 1, kOntoInput, kImageKept},
        Case{"FontOntoItsFile", kImage, "font --standard $D/i.bin -o $D/i.bin", 1, kOntoInput,
             kImageKept},
        Case{"HexToBinOntoItsHex", kHex, "hex2bin $D/f.hex -o $D/f.hex", 1, kOntoInput, kHexKept},
        Case{"FirmwareOntoItsHex", kHex, "firmware $D/f.hex -o $D/f.hex", 1, kOntoInput, kHexKept},
        Case{"Bmp2cOntoItsPicture", "cp $E/pictures/icon.bmp $D/i.bmp",
             "bmp2c $D/i.bmp --size orig --colours 8 -o $D/i.bmp", 1, kOntoInput,
             "cmp $D/i.bmp $E/pictures/icon.bmp"},
        Case{"LayoutMapOverTheProject", kCopyDemo + "true",
             "layout $D/demo/demo.zkp --png $D/demo/demo.zkp", 1, kOntoInput,
             "cmp $D/demo/demo.zkp " + kDemo},
        Case{"LayoutMapOverOneOfItsPages", kCopyDemo + "true",
             "layout $D/demo/demo.zkp --png $D/demo/main.pg", 1, kOntoInput,
             "cmp $D/demo/main.pg $E/demo/main.pg"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Bounded, Tool,
    testing::Values(Case{"DevZero", "", "info /dev/zero", 1, "不是普通文件：/dev/zero", ""},
                    Case{"PageLinkedToUrandom", "ln -s /dev/urandom $D/r.pg", "info $D/r.pg", 1,
                         "不是普通文件", ""},
                    Case{"FifoDoesNotHang", "mkfifo $D/p.pg", "info $D/p.pg", 1, "不是普通文件",
                         ""},
                    Case{"SparsePageOf4GB", "truncate -s 4G $D/big.pg", "info $D/big.pg", 1,
                         "此类文件最多 128 MB", ""},
                    Case{"SparseProjectOf4GB", "truncate -s 4G $D/big.zkp", "layout $D/big.zkp", 1,
                         "此类文件最多 16 MB", ""},
                    Case{"SparseCatalogue", "mkdir $D/home && truncate -s 4G $D/home/device.dll",
                         "devices list", 1, "此类文件最多 16 MB", ""},
                    Case{"SparseHex", "truncate -s 4G $D/fw.hex", "hex2bin $D/fw.hex -o $D/o", 1,
                         "最多 16 MB", "test ! -e $D/o"},
                    Case{"SparseFirmware", "truncate -s 4G $D/fw.bin", "firmware $D/fw.bin -o $D/o",
                         1, "升级程序文件过大（最多 16 MB）", ""},
                    Case{"SparseFont", "truncate -s 4G $D/f.bin",
                         "font --custom 1 $D/f.bin -o $D/o", 1, "自定义字库文件过大", ""}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Strict, Tool,
    testing::Values(
        Case{"UnknownOption", "", "render " + kPage + " -o $D/a.png --zoon 4", 1,
             "render 没有选项 --zoon", "test ! -e $D/a.png"},
        Case{"StartWithoutRecord", "", "encode " + kPage + " --start 5 -o $D/o", 1,
             "--start 只能与 --record 一起使用", "test ! -e $D/o"},
        Case{"RepeatedOption", "", "render " + kPage + " -o $D/a -o $D/b", 1, "选项 -o 只能给一次",
             ""},
        Case{"LeadingZeroIsDecimal", "", "command show-page 010 -o -", 0, "",
             "test \"$(od -An -tx1 $D/stdout)\" = ' 1b 50 0a'"},
        Case{"HexNumberRefused", "", "command show-page 0x10 -o -", 1, "0 到 255", ""},
        Case{"HelpPerCommand", "", "render --help", 0, "", "grep -q -- '--zoom N' $D/stdout"},
        Case{"Version", "", "--version", 0, "", "grep -q '^lcdtool [0-9]' $D/stdout"},
        Case{"RenderToStdout", "$T render " + kPage + " -o $D/ref.png", "render " + kPage + " -o -",
             0, "", "cmp $D/stdout $D/ref.png"},
        Case{"ResaveToStdout", "", "resave " + kPage + " -", 0, "", "cmp $D/stdout " + kPage},
        Case{"LayoutPngToStdout", "$T layout " + kDemo + " --png $D/ref.png >/dev/null",
             "layout " + kDemo + " --png -", 0, "", "cmp $D/stdout $D/ref.png"},
        Case{"ExportToStdout", "$T export " + kDemo + " -o $D/ref.bin", "export " + kDemo + " -o -",
             0, "", "cmp $D/stdout $D/ref.bin"},
        Case{"ExportPageToStdout", "$T export-page " + kPage + " -o $D/ref.bin",
             "export-page " + kPage + " -o -", 0, "", "cmp $D/stdout $D/ref.bin"},
        Case{"ReportToStdout", "$T report backgrounds " + kDemo + " -o $D/ref.txt",
             "report backgrounds " + kDemo + " -o -", 0, "", "cmp $D/stdout $D/ref.txt"},
        Case{"EmptyOutputName", "", "export-page " + kPage + " -o ''", 1, "-o 的文件名不能为空",
             "test ! -e .bin"},
        Case{"DirectoryAsOutput", "", "export " + kDemo + " -o $D", 1, "是一个目录",
             "test ! -e $D.bin"},
        Case{"FullStdout", "", "info " + kPage + " >/dev/full", 1, "写标准输出失败", ""},
        Case{"FullStdoutForHelp", "", "--help >/dev/full", 1, "写标准输出失败", ""},
        Case{"SkippedPageIsAWarning", kCopyDemo + "rm $D/demo/menu.pg",
             "layout $D/demo/demo.zkp >/dev/null", 0, "警告：无法打开工程页面 menu.pg", ""},
        Case{"NulAndLineBreakInAName",
             "mkdir $D/n && " +
                 WriteBytes("$D/n/n.zkp",
                            std::string(
                                "\x01\0\xFF\xFF\x01\0\x07\0CDocObj\010a\nb\0c.pg\0\0\0\0\x01\0\0\0",
                                32)),
             "layout $D/n/n.zkp >/dev/null", 0, "“a b\\x00c.pg”不在工程目录中", ""}),
    [](const auto& info) { return std::string(info.param.name); });

const std::string kEnd = "\\r\\n:00000001FF\\r\\n";

INSTANTIATE_TEST_SUITE_P(
    Module, Tool,
    testing::Values(Case{"HexWithAWrongChecksum", "printf ':0100000042BE" + kEnd + "' >$D/fw.hex",
                         "firmware $D/fw.hex -o $D/o", 1, "第1行：校验和错误", "test ! -e $D/o"},
                    Case{"HexRecordAfterTheEnd",
                         "printf ':0100000042BD" + kEnd + ":0100010042BC\\r\\n' >$D/fw.hex",
                         "hex2bin $D/fw.hex -o $D/o", 1, "第3行：结束记录之后还有内容", ""},
                    Case{"HexWithoutData", "printf ':00000001FF\\r\\n' >$D/fw.hex",
                         "firmware $D/fw.hex -o $D/o", 1, "文件中没有数据记录", ""},
                    Case{"RenderPastThePngLimitSaysSo", Page("$D/p.pg", 8192, 8192),
                         "render $D/p.pg --zoom 3 -o $D/p.png", 1,
                         "8192*8192 点放大 3 倍超过 PNG 图像的上限", "test ! -e $D/p.png"},
                    Case{"EmptyFont", "touch $D/f.bin", "font --standard $D/f.bin -o $D/o", 1,
                         "字库文件为空", "test ! -e $D/o"},
                    Case{"InfoOfAZeroWidePage", Page("$D/p.pg", 0, 8), "info $D/p.pg", 1,
                         "页面逻辑尺寸 0*8 无效", ""},
                    Case{"EncodeOfANegativeHighPage", Page("$D/p.pg", 8, -8), "encode $D/p.pg -o -",
                         1, "页面逻辑尺寸 8*-8 无效", ""},
                    Case{"ResaveOfAPageWiderThanAnyModule", Page("$D/p.pg", 70000, 8),
                         "resave $D/p.pg -", 1, "页面逻辑尺寸 70000*8 无效", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Pages as JSON where pages are read, and what an incremental download would send.
INSTANTIATE_TEST_SUITE_P(
    Text, Tool,
    testing::Values(
        Case{"InfoOfAPagesJson",
             "$T dump $E/text-8.pg -o $D/t.json && $T info $E/text-8.pg >$D/ref", "info $D/t.json",
             0, "", "cmp $D/stdout $D/ref"},
        Case{"RenderOfAPagesJson",
             "$T dump " + kPage + " -o $D/p.json && $T render " + kPage + " -o $D/ref.png",
             "render $D/p.json -o -", 0, "", "cmp $D/stdout $D/ref.png"},
        Case{"LoadOfAProjectsJson", "$T dump " + kDemo + " -o $D/d.json",
             "load $D/d.json -o $D/d.zkp", 0, "", "cmp $D/d.zkp " + kDemo},
        Case{"LoadNamesTheBadValue",
             "$T dump " + kPage + " -o - | sed 's/\"m_nDelay\": 10/\"m_nDelay\": 2.5/' >$D/b.json",
             "load $D/b.json -o $D/o.pg", 1, "/m_nDelay：须为 32 位有符号整数",
             "test ! -e $D/o.pg"},
        Case{"InfoOfAProjectsJson", "$T dump " + kDemo + " -o $D/d.json", "info $D/d.json", 1,
             "不是页面的 JSON", ""},
        Case{"DumpOfAFileOfNoKnownKind", "", "dump $E/pictures/logo.bmp -o -", 1, "请用 --as 指定",
             ""},
        Case{"DryRunWithoutMemory", "",
             "download " + kDemo + " --changed --dry-run --link serial:/dev/null", 0, "",
             "grep -q '发送全部记录：8 / 8 条记录，81698 / 81698 字节' $D/stdout && "
             "test $(grep -c '^页面' $D/stdout) = 5"}),
    [](const auto& info) { return std::string(info.param.name); });

// The README's command list is the one `lcdtool help` prints.
TEST(Readme, ListsTheCommandsAsHelpDoes) {
    char tmpl[] = "/tmp/lcdtool-readme-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const Result r = RunTool(tmpl, "help");
    fs::remove_all(tmpl);
    const size_t from = r.out.find("\n\n") + 2, to = r.out.find("\n\n", from);
    const std::string readme = Slurp(fs::path(LCD_EXAMPLES).parent_path() / "README.md");
    EXPECT_NE(readme.find("```\n" + r.out.substr(from, to + 1 - from) + "```\n"),
              std::string::npos);
}

}  // namespace
