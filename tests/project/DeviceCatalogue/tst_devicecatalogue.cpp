// The device catalogue: "device.dll" byte for byte, its operations, the device-edit checks
// and how a missing, unreadable or damaged file is handled.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "base/AtomicFile.h"
#include "base/ByteArray.h"
#include "base/Messenger.h"
#include "project/DeviceCatalogue.h"

namespace fs = std::filesystem;

namespace {

// The records of the hand-built files: "LCD" 320 x 240, 102.5 x 75.5 mm, bitmaps, 256
// colours; "液晶" 128 x 64, 60 x 40 mm, no bitmaps, 8 colours.
const char kLcd[] =
    "03 4C 43 44 40 01 00 00 F0 00 00 00 00 00 00 00 00 A0 59 40 "
    "00 00 00 00 00 E0 52 40 01 00 00 00 00 01 00 00";
const char kYejing[] =
    "04 D2 BA BE A7 80 00 00 00 40 00 00 00 00 00 00 00 00 00 4E 40 "
    "00 00 00 00 00 00 44 40 00 00 00 00 08 00 00 00";
const char kClassTag[] = "FF FF 01 00 0A 00 43 44 65 76 69 63 65 4F 62 6A ";  // "CDeviceObj"
const char kBackRef[] = "01 80 ";

std::string TwoDevices() {
    return std::string("02 00 ") + kClassTag + kLcd + " " + kBackRef + kYejing;
}

CDeviceObj Lcd() {
    CDeviceObj d;
    d.m_strName = "LCD";
    d.m_nLogWidth = 320;
    d.m_nLogHeight = 240;
    d.m_dPhysWidth = 102.5;
    d.m_dPhysHeight = 75.5;
    d.m_nBitmapSupport = 1;
    d.m_nColours = 256;
    return d;
}

CDeviceObj Yejing() {
    CDeviceObj d;
    d.m_strName = "液晶";
    d.m_nLogWidth = 128;
    d.m_nLogHeight = 64;
    d.m_dPhysWidth = 60;
    d.m_dPhysHeight = 40;
    d.m_nBitmapSupport = 0;
    d.m_nColours = 8;
    return d;
}

CByteArray Hex(const std::string& text) {
    CByteArray out;
    EXPECT_TRUE(FromHex(text, out)) << text;
    return out;
}

class Recorder : public Messenger {
public:
    void Tell(const std::string& text, const std::string& caption) override {
        told.push_back(caption + ": " + text);
    }
    Answer Ask(const std::string&, const std::string&, Buttons) override { return Answer::No; }
    std::vector<std::string> told;
};

class Catalogue : public testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/devices-test-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        path = (dir / "device.dll").string();
    }
    void TearDown() override { fs::remove_all(dir); }
    void WriteFile(const CByteArray& bytes) {
        std::string error;
        ASSERT_TRUE(AtomicFile::Write(path, bytes, error)) << error;
    }
    std::string FileHex() {
        std::vector<uint8_t> bytes;
        std::string error;
        EXPECT_TRUE(AtomicFile::Read(path, bytes, error)) << error;
        return ToHex(bytes);
    }

    fs::path dir;
    std::string path;
    Recorder recorder;
};

// --- the file --------------------------------------------------------------------------

TEST_F(Catalogue, TwoDevicesAreStoredAsTheFormatLaysThemOut) {
    DeviceCatalogue cat(path, recorder);
    cat.Put(Lcd());
    cat.Put(Yejing());
    ASSERT_TRUE(cat.Save());
    EXPECT_EQ(FileHex(), ToHex(Hex(TwoDevices())));
    EXPECT_TRUE(recorder.told.empty());
}

TEST_F(Catalogue, HandBuiltFileLoadsEveryField) {
    WriteFile(Hex(TwoDevices()));
    DeviceCatalogue cat(path, recorder);
    ASSERT_TRUE(cat.Load());
    ASSERT_EQ(cat.GetCount(), 2);
    CDeviceObj d;
    ASSERT_TRUE(cat.GetAt(1, d));
    const CDeviceObj want = Yejing();
    EXPECT_EQ(d.m_strName, want.m_strName);
    EXPECT_EQ(d.GetScreenParams(), want.GetScreenParams());
    EXPECT_EQ(d.m_nBitmapSupport, 0);
    ASSERT_TRUE(cat.GetAt(0, d));
    EXPECT_EQ(d.GetScreenParams(), Lcd().GetScreenParams());
    EXPECT_EQ(d.m_nBitmapSupport, 1);
    EXPECT_TRUE(recorder.told.empty());
}

TEST_F(Catalogue, SaveAndLoadGiveTheSameCatalogue) {
    DeviceCatalogue first(path, recorder);
    first.Put(Yejing());
    first.Put(Lcd());
    CDeviceObj odd = Lcd();
    odd.m_strName = "奇数 7x5";
    odd.m_nLogWidth = 7;
    odd.m_nLogHeight = 5;
    odd.m_dPhysWidth = 0.1;
    odd.m_dPhysHeight = 1e-3;
    odd.m_nColours = 16;
    first.Put(odd);
    ASSERT_TRUE(first.Save());
    DeviceCatalogue second(path, recorder);
    ASSERT_TRUE(second.Load());
    ASSERT_EQ(second.GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        CDeviceObj a, b;
        ASSERT_TRUE(first.GetAt(i, a));
        ASSERT_TRUE(second.GetAt(i, b));
        EXPECT_EQ(a.GetScreenParams(), b.GetScreenParams());
        EXPECT_EQ(a.m_nBitmapSupport, b.m_nBitmapSupport);
    }
    EXPECT_EQ(ToHex(second.Write()), FileHex());
}

TEST_F(Catalogue, MissingFileIsCreatedEmpty) {
    DeviceCatalogue cat(path, recorder);
    ASSERT_TRUE(cat.Load());
    EXPECT_EQ(cat.GetCount(), 0);
    ASSERT_TRUE(fs::exists(path));
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_TRUE(recorder.told.empty());
}

TEST_F(Catalogue, EmptyFileIsAnEmptyCatalogueAndIsLeftAlone) {
    WriteFile({});
    DeviceCatalogue cat(path, recorder);
    ASSERT_TRUE(cat.Load());
    EXPECT_EQ(cat.GetCount(), 0);
    EXPECT_FALSE(cat.IsDamaged());
    EXPECT_EQ(fs::file_size(path), 0u);
}

TEST_F(Catalogue, EmptyCatalogueSavesACountOfZero) {
    DeviceCatalogue cat(path, recorder);
    ASSERT_TRUE(cat.Save());
    EXPECT_EQ(FileHex(), "00 00");
}

TEST_F(Catalogue, BytesAfterTheRecordsAreIgnored) {
    WriteFile(Hex(TwoDevices() + " 00 11 22"));
    DeviceCatalogue cat(path, recorder);
    ASSERT_TRUE(cat.Load());
    EXPECT_EQ(cat.GetCount(), 2);
}

TEST_F(Catalogue, UnopenableFileIsToldAndTheCatalogueIsEmpty) {
    // A regular file where the directory should be: neither read nor write can open it.
    WriteFile({});
    DeviceCatalogue cat((dir / "device.dll" / "device.dll").string(), recorder);
    cat.Put(Lcd());
    EXPECT_FALSE(cat.Load());
    EXPECT_EQ(cat.GetCount(), 0);
    EXPECT_EQ(recorder.told, std::vector<std::string>{"提示: 找不到配置文件"});
    recorder.told.clear();
    cat.Put(Lcd());
    EXPECT_FALSE(cat.Save());
    EXPECT_EQ(recorder.told, std::vector<std::string>{"提示: 找不到配置文件"});
    EXPECT_EQ(fs::file_size(path), 0u);
}

TEST_F(Catalogue, SettingsDirectoryComesFromLcdscreenHomeAndIsCreated) {
    const char* old = std::getenv("LCDSCREEN_HOME");
    const std::string saved = old ? old : "";
    const fs::path home = dir / "a" / "b";
    setenv("LCDSCREEN_HOME", home.c_str(), 1);
    DeviceCatalogue cat(recorder);
    EXPECT_EQ(cat.Path(), (home / "device.dll").string());
    const bool loaded = cat.Load();
    const bool created = fs::exists(home / "device.dll");
    if (old) {
        setenv("LCDSCREEN_HOME", saved.c_str(), 1);
    } else {
        unsetenv("LCDSCREEN_HOME");
    }
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(created);
    EXPECT_TRUE(recorder.told.empty());
}

// --- damaged files -----------------------------------------------------------------------

struct DamageRow {
    const char* label;
    std::string hex;
};

void PrintTo(const DamageRow& row, std::ostream* os) {
    *os << row.label;
}

const DamageRow kDamaged[] = {
    {"CutInsideARecord", "01 00 FF FF 01 00 0A 00 43 44 65 76 69 63 65 4F 62 6A 03 4C 43"},
    {"CountBeyondTheFile", std::string("09 00 ") + kClassTag + kLcd},
    {"SchemaTwo", std::string("01 00 FF FF 02 00 0A 00 43 44 65 76 69 63 65 4F 62 6A ") + kLcd},
    {"UnknownClass",
     std::string("01 00 FF FF 01 00 09 00 43 49 74 65 6D 4C 69 6E 65 ") + kLcd + " 00 00 00"},
    {"NullRecord", std::string("02 00 00 00 ") + kClassTag + kLcd},
    {"BackReferenceToAnObject", std::string("02 00 ") + kClassTag + kLcd + " 02 00 " + kLcd},
    {"NameNotGbk",
     "01 00 FF FF 01 00 0A 00 43 44 65 76 69 63 65 4F 62 6A 02 FF FF 40 01 00 00 F0 00 00 00 "
     "00 00 00 00 00 A0 59 40 00 00 00 00 00 E0 52 40 01 00 00 00 00 01 00 00"},
    {"OneStrayByte", "05"},
};

class DamagedCatalogue : public Catalogue, public testing::WithParamInterface<DamageRow> {};

TEST_P(DamagedCatalogue, ToldOnceEmptyAndUntouchedUntilSaved) {
    const CByteArray damaged = Hex(GetParam().hex);
    WriteFile(damaged);
    DeviceCatalogue cat(path, recorder);
    EXPECT_FALSE(cat.Load());
    EXPECT_TRUE(cat.IsDamaged());
    EXPECT_EQ(cat.GetCount(), 0);
    ASSERT_EQ(recorder.told.size(), 1u);
    EXPECT_EQ(
        recorder.told[0].rfind("提示: 设备配置文件 " + path + " 已损坏（文件格式错误（偏移 ", 0),
        0u)
        << recorder.told[0];
    EXPECT_NE(recorder.told[0].find("暂按空的设备表使用；保存设备表之前不会改动该文件"),
              std::string::npos);

    // Every later user loads it again without another message, and nothing writes it.
    DeviceCatalogue again(path, recorder);
    EXPECT_FALSE(again.Load());
    EXPECT_EQ(again.GetCount(), 0);
    EXPECT_EQ(recorder.told.size(), 1u);
    EXPECT_EQ(FileHex(), ToHex(damaged));

    // A refused edit does not save either.
    EXPECT_FALSE(again.AddDevice(CDeviceObj()));
    EXPECT_EQ(FileHex(), ToHex(damaged));

    // The user's save replaces it.
    ASSERT_TRUE(again.AddDevice(Lcd()));
    EXPECT_FALSE(again.IsDamaged());
    EXPECT_EQ(FileHex(), ToHex(Hex(std::string("01 00 ") + kClassTag + kLcd)));

    // Damaged the same way again later, it is told again.
    WriteFile(damaged);
    recorder.told.clear();
    DeviceCatalogue third(path, recorder);
    EXPECT_FALSE(third.Load());
    EXPECT_EQ(recorder.told.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Rows, DamagedCatalogue, testing::ValuesIn(kDamaged),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(Catalogue, ReadFailureKeepsTheRecordsInMemory) {
    DeviceCatalogue cat(path, recorder);
    cat.Put(Lcd());
    std::string error;
    EXPECT_FALSE(cat.Read(Hex("02 00 00 00"), error));
    EXPECT_EQ(error.rfind("文件格式错误（偏移 ", 0), 0u) << error;
    EXPECT_EQ(cat.GetCount(), 1);
}

// --- operations --------------------------------------------------------------------------

class Loaded : public Catalogue {
protected:
    void SetUp() override {
        Catalogue::SetUp();
        WriteFile(Hex(TwoDevices()));
        cat = DeviceCatalogue(path, recorder);
        ASSERT_TRUE(cat.Load());
    }
    DeviceCatalogue cat{"", recorder};
};

TEST_F(Loaded, NamesByIndexAndExactFind) {
    EXPECT_EQ(cat.GetName(0), "LCD");
    EXPECT_EQ(cat.GetName(1), "液晶");
    EXPECT_EQ(cat.GetName(-1), "");
    EXPECT_EQ(cat.GetName(2), "");
    EXPECT_EQ(cat.Find("液晶"), 1);
    EXPECT_EQ(cat.Find("lcd"), -1);
    EXPECT_EQ(cat.Find("LCD "), -1);
    CDeviceObj d = Lcd();
    EXPECT_FALSE(cat.GetAt(-1, d));
    EXPECT_FALSE(cat.GetAt(2, d));
    EXPECT_EQ(d.m_strName, "LCD");
}

TEST_F(Catalogue, FindAndLookupTakeTheFirstOfTwins) {
    // Only a file written elsewhere can hold one name twice.
    WriteFile(Hex(std::string("02 00 ") + kClassTag + kLcd + " " + kBackRef +
                  "03 4C 43 44 01 00 00 00 01 00 00 00 00 00 00 00 00 00 F0 3F "
                  "00 00 00 00 00 00 F0 3F 00 00 00 00 08 00 00 00"));
    DeviceCatalogue cat(path, recorder);
    ASSERT_TRUE(cat.Load());
    EXPECT_EQ(cat.Find("LCD"), 0);
    ScreenParams screen;
    int32_t bitmaps = -1;
    ASSERT_TRUE(cat.Lookup("LCD", screen, bitmaps));
    EXPECT_EQ(screen.logWidth, 320);
    ASSERT_TRUE(cat.Remove("LCD"));
    ASSERT_TRUE(cat.Lookup("LCD", screen, bitmaps));
    EXPECT_EQ(screen.logWidth, 1);
    EXPECT_EQ(screen.colours, 8);
}

TEST_F(Loaded, LookupCopiesTheValuesOrLeavesTheOutputs) {
    ScreenParams screen;
    int32_t bitmaps = 7;
    ASSERT_TRUE(cat.Lookup("液晶", screen, bitmaps));
    EXPECT_EQ(screen, Yejing().GetScreenParams());
    EXPECT_EQ(bitmaps, 0);

    ScreenParams untouched;
    untouched.device = "----";
    untouched.physWidth = 102.5;
    ScreenParams probe = untouched;
    bitmaps = 7;
    EXPECT_FALSE(cat.Lookup("LCD1", probe, bitmaps));
    EXPECT_EQ(probe, untouched);
    EXPECT_EQ(bitmaps, 7);
}

TEST_F(Loaded, PutReplacesTheNamedRecordOrAppends) {
    CDeviceObj changed = Lcd();
    changed.m_nColours = 64;
    changed.m_nLogHeight = 234;
    cat.Put(changed);
    ASSERT_EQ(cat.GetCount(), 2);
    CDeviceObj d;
    ASSERT_TRUE(cat.GetAt(0, d));
    EXPECT_EQ(d.m_nColours, 64);
    EXPECT_EQ(d.m_nLogHeight, 234);
    CDeviceObj added = Lcd();
    added.m_strName = "LCD2";
    cat.Put(added);
    EXPECT_EQ(cat.GetCount(), 3);
    EXPECT_EQ(cat.GetName(2), "LCD2");
    // Put is in memory only.
    EXPECT_EQ(FileHex(), ToHex(Hex(TwoDevices())));
}

TEST_F(Loaded, RemoveDeletesAndSaves) {
    ASSERT_TRUE(cat.Remove("LCD"));
    EXPECT_EQ(cat.GetCount(), 1);
    EXPECT_EQ(FileHex(), ToHex(Hex(std::string("01 00 ") + kClassTag + kYejing)));
}

TEST_F(Catalogue, RemovingAnUnknownNameStillSaves) {
    // The long string form of "LCD" reads fine; only a save writes the short form.
    std::string longForm = kLcd;
    longForm.replace(0, 2, "FF 03 00");
    WriteFile(Hex(std::string("01 00 ") + kClassTag + longForm));
    DeviceCatalogue cat(path, recorder);
    ASSERT_TRUE(cat.Load());
    ASSERT_TRUE(cat.Remove("LCD9"));
    EXPECT_EQ(cat.GetCount(), 1);
    EXPECT_EQ(FileHex(), ToHex(Hex(std::string("01 00 ") + kClassTag + kLcd)));
}

TEST_F(Loaded, RemoveAtAndClear) {
    cat.RemoveAt(-1);
    cat.RemoveAt(2);
    EXPECT_EQ(cat.GetCount(), 2);
    cat.RemoveAt(0);
    ASSERT_EQ(cat.GetCount(), 1);
    EXPECT_EQ(cat.GetName(0), "液晶");
    cat.Clear();
    EXPECT_EQ(cat.GetCount(), 0);
    EXPECT_EQ(FileHex(), ToHex(Hex(TwoDevices())));
}

// --- the device-edit dialog's save -------------------------------------------------------

TEST_F(Loaded, AddDeviceAppendsAndSaves) {
    CDeviceObj added = Yejing();
    added.m_strName = "LCD240";
    ASSERT_TRUE(cat.AddDevice(added));
    EXPECT_TRUE(recorder.told.empty());
    EXPECT_EQ(cat.GetName(2), "LCD240");
    std::string record = kYejing;
    record.replace(0, 14, "06 4C 43 44 32 34 30");
    EXPECT_EQ(FileHex(), ToHex(Hex(std::string("03 00 ") + kClassTag + kLcd + " " + kBackRef +
                                   kYejing + " " + kBackRef + record)));
}

TEST_F(Loaded, AddDeviceUnderATakenNameChangesNothing) {
    CDeviceObj again = Lcd();
    again.m_nColours = 8;
    EXPECT_FALSE(cat.AddDevice(again));
    EXPECT_EQ(recorder.told,
              std::vector<std::string>{"提示: 设备“LCD”已存在；要修改它，请先删除再重新添加"});
    CDeviceObj d;
    ASSERT_TRUE(cat.GetAt(0, d));
    EXPECT_EQ(d.m_nColours, 256);
    EXPECT_EQ(cat.GetCount(), 2);
    EXPECT_EQ(FileHex(), ToHex(Hex(TwoDevices())));
}

struct RefusalRow {
    const char* label;
    void (*change)(CDeviceObj&);
    const char* message;
};

void PrintTo(const RefusalRow& row, std::ostream* os) {
    *os << row.label;
}

const RefusalRow kRefusals[] = {
    {"EmptyName", [](CDeviceObj& d) { d.m_strName.clear(); }, "请填写设备名称"},
    {"TabInName", [](CDeviceObj& d) { d.m_strName = "LCD\t1"; }, "设备名称不能含有控制字符"},
    {"NewlineInName", [](CDeviceObj& d) { d.m_strName = "LCD\n"; }, "设备名称不能含有控制字符"},
    {"NameOutsideGbk", [](CDeviceObj& d) { d.m_strName = "LCD😀"; },
     "设备名称含有 GBK 编码无法表示的字符"},
    {"NameOf65Bytes", [](CDeviceObj& d) { d.m_strName = std::string(65, 'N'); },
     "设备名称过长（最多 64 字节，汉字每字 2 字节）"},
    {"NameOf33Hanzi",
     [](CDeviceObj& d) {
         d.m_strName.clear();
         for (int i = 0; i < 33; ++i)
             d.m_strName += "屏";
     },
     "设备名称过长（最多 64 字节，汉字每字 2 字节）"},
    {"WidthZero", [](CDeviceObj& d) { d.m_nLogWidth = 0; },
     "逻辑尺寸的宽和高必须在 1 到 65535 点之间"},
    {"HeightNegative", [](CDeviceObj& d) { d.m_nLogHeight = -240; },
     "逻辑尺寸的宽和高必须在 1 到 65535 点之间"},
    {"Width65536", [](CDeviceObj& d) { d.m_nLogWidth = 65536; },
     "逻辑尺寸的宽和高必须在 1 到 65535 点之间"},
    {"TooManyPixels",
     [](CDeviceObj& d) {
         d.m_nLogWidth = 65535;
         d.m_nLogHeight = 65535;
     },
     "逻辑尺寸过大（宽×高最多 268435456 点）"},
    {"PhysicalWidthZero", [](CDeviceObj& d) { d.m_dPhysWidth = 0; },
     "物理尺寸的宽和高必须是大于 0 的毫米数"},
    {"PhysicalHeightNegative", [](CDeviceObj& d) { d.m_dPhysHeight = -75.5; },
     "物理尺寸的宽和高必须是大于 0 的毫米数"},
    {"PhysicalNotANumber",
     [](CDeviceObj& d) { d.m_dPhysWidth = std::numeric_limits<double>::quiet_NaN(); },
     "物理尺寸的宽和高必须是大于 0 的毫米数"},
    {"PhysicalInfinite",
     [](CDeviceObj& d) { d.m_dPhysHeight = std::numeric_limits<double>::infinity(); },
     "物理尺寸的宽和高必须是大于 0 的毫米数"},
    {"NoColourChosen", [](CDeviceObj& d) { d.m_nColours = 0; }, "请选择设备支持颜色数目"},
    {"Colours32", [](CDeviceObj& d) { d.m_nColours = 32; },
     "设备支持颜色数目只能是 8、16、64 或 256"},
    {"Colours14", [](CDeviceObj& d) { d.m_nColours = 14; },
     "设备支持颜色数目只能是 8、16、64 或 256"},
    {"BitmapSupportTwo", [](CDeviceObj& d) { d.m_nBitmapSupport = 2; },
     "位图支持只能是 1（支持）或 0（不支持）"},
};

class Refusal : public Loaded, public testing::WithParamInterface<RefusalRow> {};

TEST_P(Refusal, IsToldAndNothingChanges) {
    CDeviceObj d = Lcd();
    d.m_strName = "NEW";
    GetParam().change(d);
    EXPECT_EQ(DeviceCatalogue::CheckDevice(d), GetParam().message);
    EXPECT_FALSE(cat.AddDevice(d));
    EXPECT_EQ(recorder.told, std::vector<std::string>{std::string("提示: ") + GetParam().message});
    EXPECT_EQ(cat.GetCount(), 2);
    EXPECT_EQ(FileHex(), ToHex(Hex(TwoDevices())));
}

INSTANTIATE_TEST_SUITE_P(Rows, Refusal, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(DeviceChecks, AcceptTheLimitsAndEveryOfferedColourCount) {
    CDeviceObj d = Lcd();
    d.m_strName = std::string(32, 'x') + std::string("屏") + std::string(30, 'y');  // 64 bytes
    d.m_nLogWidth = 1;
    d.m_nLogHeight = 65535;
    d.m_dPhysWidth = 1e-9;
    d.m_nBitmapSupport = 0;
    for (const int colours : {8, 16, 64, 256}) {
        d.m_nColours = colours;
        EXPECT_EQ(DeviceCatalogue::CheckDevice(d), "") << colours;
    }
    // 4096 x 65535 is just under the pixel limit, one column more is over it.
    d.m_nLogWidth = 4096;
    EXPECT_EQ(DeviceCatalogue::CheckDevice(d), "");
    d.m_nLogWidth = 4097;
    EXPECT_NE(DeviceCatalogue::CheckDevice(d), "");
}

TEST_F(Catalogue, AddDeviceThatCannotBeSavedIsNotKept) {
    WriteFile({});
    DeviceCatalogue cat((dir / "device.dll" / "device.dll").string(), recorder);
    EXPECT_FALSE(cat.AddDevice(Lcd()));
    EXPECT_EQ(cat.GetCount(), 0);
    EXPECT_EQ(recorder.told, std::vector<std::string>{"提示: 找不到配置文件"});
}

// --- the dialog's pickers ----------------------------------------------------------------

TEST(DevicePickers, ColourChoicesMapBothWays) {
    const std::vector<int> want = {8, 64, 256, 16};
    EXPECT_EQ(DeviceCatalogue::ColourChoices(), want);
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(DeviceCatalogue::ColourChoiceIndex(want[i]), static_cast<int>(i));
        EXPECT_EQ(DeviceCatalogue::ColoursOfChoice(static_cast<int>(i)), want[i]);
    }
    EXPECT_EQ(DeviceCatalogue::ColourChoiceIndex(0), -1);
    EXPECT_EQ(DeviceCatalogue::ColourChoiceIndex(14), -1);
    EXPECT_EQ(DeviceCatalogue::ColoursOfChoice(-1), 0);
    EXPECT_EQ(DeviceCatalogue::ColoursOfChoice(4), 0);
    EXPECT_EQ(DeviceCatalogue::BitmapSupportText(1), "支持");
    EXPECT_EQ(DeviceCatalogue::BitmapSupportText(0), "不支持");
}

}  // namespace
