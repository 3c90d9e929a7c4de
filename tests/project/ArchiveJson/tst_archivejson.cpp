// Files as JSON and back: byte for byte, and refused with the path of the first bad value.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <tuple>

#include "base/AtomicFile.h"
#include "base/ByteArray.h"
#include "project/ArchiveJson.h"
#include "project/CLedDoc.h"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;
using Kind = ArchiveJson::Kind;

// A page written by hand with one item of every class.
const char* const kEveryClass = R"({
 "format": "lcdscreen-page", "version": 1, "m_strDevice": "LCD", "m_nColours": 8,
 "m_dPhysWidth": 10.0, "m_dPhysHeight": 5.0, "m_nLogWidth": 16, "m_nLogHeight": 8,
 "m_nDelay": 10, "m_nKind": 0, "m_crBack": "#ff0000", "m_backCodeLo": 4, "m_backCodeHi": 0,
 "items": [
  {"class": "CItemLine", "m_nType": 11, "m_x1": 1, "m_y1": 1, "m_x2": 10, "m_y2": 1,
   "m_crColor": "#ffffff", "m_codeLo": 7, "m_codeHi": 0, "m_nPenWidth": 1},
  {"class": "CItemRectangle", "m_nType": 2, "m_x1": 0, "m_y1": 0, "m_x2": 4, "m_y2": 3,
   "m_crColor": "#00ff00", "m_crFill": "#00ff00", "m_bSolid": 0, "m_codeLo": 2, "m_codeHi": 0},
  {"class": "CItemRound", "m_nType": 14, "m_x1": 2, "m_y1": 2, "m_x2": 6, "m_y2": 6,
   "m_xCentre": 4, "m_yCentre": 4, "m_crColor": "#ffffff", "m_codeLo": 7, "m_codeHi": 0,
   "m_bSolid": 1},
  {"class": "CItemEllipse", "m_nType": 4, "m_x1": 1, "m_y1": 1, "m_x2": 9, "m_y2": 5,
   "m_crColor": "#ffffff", "m_crFill": "#ffffff", "m_bSolid": 0, "m_codeLo": 7, "m_codeHi": 0},
  {"class": "CItemArc", "m_nType": 40, "m_xCentre": 8, "m_yCentre": 4, "m_x1": 12, "m_y1": 4,
   "m_x2": 8, "m_y2": 0, "m_crColor": "#ffffff", "m_codeLo": 7, "m_codeHi": 0},
  {"class": "CItemPie", "m_nType": 30, "m_xCentre": 8, "m_yCentre": 4, "m_x1": 12, "m_y1": 4,
   "m_x2": 8, "m_y2": 0, "m_crColor": "#ffffff", "m_codeLo": 7, "m_codeHi": 0},
  {"class": "CItemPoly", "m_nType": 50, "m_x1": 0, "m_y1": 4, "m_x2": 6, "m_y2": 7,
   "m_crColor": "#00ff00", "m_codeLo": 2, "m_codeHi": 0, "m_arrPoints": [[0, 7], [3, 4], [6, 7]]},
  {"class": "CItemMultiLine", "m_nType": 18, "m_x1": 0, "m_y1": 4, "m_x2": 6, "m_y2": 7,
   "m_crColor": "#00ff00", "m_codeLo": 2, "m_codeHi": 0, "m_arrPoints": [[0, 7], [6, 4]]},
  {"class": "CItemFill", "m_nType": 17, "m_crFillColor": "#ffffff", "m_crBorder": "#00ff00",
   "m_xSeed": 1, "m_ySeed": 1, "m_borderLo": 2, "m_borderHi": 0, "m_fillLo": 7, "m_fillHi": 0},
  {"class": "CItemFont", "m_nType": 15, "m_x1": 0, "m_y1": 0, "m_x2": 16, "m_y2": 8,
   "text": "A中", "m_arrChars": [
    {"char": "A", "m_x": 0, "m_y": 0, "m_nHMag": 1, "m_nVMag": 1, "m_crColor": "#ffffff",
     "m_codeLo": 7, "m_codeHi": 0},
    {"char": "中", "m_x": 8, "m_y": 0, "m_nHMag": 1, "m_nVMag": 1, "m_crColor": "#ffffff",
     "m_codeLo": 7, "m_codeHi": 0}]},
  {"class": "CItemBmp", "m_x1": 3, "m_y1": 3, "m_x2": 4, "m_y2": 4, "m_nBitmap": 0,
   "m_pBitmap": {"m_fileHeader": {"type": 19778, "size": 58, "reserved1": 0, "reserved2": 0,
    "offset": 54}, "m_info": {"bitCount": 24, "clrImportant": 0, "clrUsed": 0,
    "compression": 0, "height": 1, "planes": 1, "size": 40, "sizeImage": 4, "width": 1,
    "xPelsPerMeter": 0, "yPelsPerMeter": 0}, "m_nDataLen": 4, "m_nBlock": 0,
    "m_nStartPage": 0, "m_strPath": "dot.bmp", "m_bits": ["0000ff00"]}},
  {"class": "CItemNumberWidget", "m_nReserved": 12, "m_x1": 0, "m_y1": 0, "m_x2": 15,
   "m_y2": 7, "m_nDigits": 3, "m_nDecimals": 1, "m_bLeadingZeros": 0, "m_nSign": 0,
   "m_nAlign": 0, "m_nId": 1, "m_crFore": "#ffffff", "m_crBack": "#000000", "m_nFontSize": 16,
   "m_foreHi": 0, "m_foreLo": 7, "m_backHi": 0, "m_backLo": 0},
  {"class": "CitemAnimationWidget", "m_x1": 0, "m_y1": 0, "m_x2": 8, "m_y2": 8,
   "m_nAnimValue": 2}]})";

// Every example, and every file of the fuzz corpus that reads as what its reader takes
// (Dump refuses the damaged ones), comes back byte for byte.
TEST(ArchiveJson, EveryExampleAndCorpusFileComesBackByteForByte) {
    const fs::path corpus = fs::path(LCD_SOURCE_ROOT) / "fuzz/corpus";
    for (const auto& [folder, of] : {std::pair{fs::path(LCD_EXAMPLES), std::optional<Kind>{}},
                                     {corpus / "fuzz_pagefile", Kind::Page},
                                     {corpus / "fuzz_projectfile", Kind::Project},
                                     {corpus / "fuzz_devicecatalogue", Kind::Devices}}) {
        int files = 0;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            Kind kind = of.value_or(Kind::Page);
            if (!of && !ArchiveJson::KindOfName(entry.path().string(), kind)) continue;
            std::vector<uint8_t> bytes;
            std::string error, json;
            ASSERT_TRUE(AtomicFile::Read(entry.path().string(), bytes, error)) << error;
            if (!ArchiveJson::Dump(kind, bytes, json, error) && of) continue;
            Kind back = Kind::Devices;
            CByteArray again;
            ASSERT_TRUE(ArchiveJson::Load(json, back, again, error)) << entry.path() << error;
            EXPECT_TRUE(back == kind && again == bytes) << entry.path();
            ++files;
        }
        EXPECT_GE(files, 14) << folder;
    }
}

// The page made by hand is what the editor would write: it saves to the same bytes.
TEST(ArchiveJson, APageOfEveryClassMadeByHandIsTheEditorsPage) {
    Kind kind = Kind::Devices;
    CByteArray bytes, saved;
    std::string error;
    ASSERT_TRUE(ArchiveJson::Load(kEveryClass, kind, bytes, error)) << error;
    EXPECT_EQ(kind, Kind::Page);
    CLedDoc doc;
    ASSERT_TRUE(doc.Load(bytes, error)) << error;
    EXPECT_EQ(doc.CurrentItems().size(), 13u);
    ASSERT_TRUE(doc.Save(saved, error)) << error;
    EXPECT_EQ(ToHex(saved), ToHex(bytes));
}

// Files no writer of ours makes keep their odd forms in "@" members.
struct OddFile {
    const char* name;
    Kind kind;
    const char* hex;
    const char* member;  // a JSON pointer the dump has
};
void PrintTo(const OddFile& c, std::ostream* os) {
    *os << c.name;
}
class OddForms : public testing::TestWithParam<OddFile> {};

TEST_P(OddForms, AreKeptByteForByte) {
    CByteArray bytes, again;
    ASSERT_TRUE(FromHex(GetParam().hex, bytes));
    std::string json, error;
    ASSERT_TRUE(ArchiveJson::Dump(GetParam().kind, bytes, json, error)) << error;
    EXPECT_TRUE(Json::parse(json).contains(Json::json_pointer(GetParam().member))) << json;
    Kind kind = Kind::Page;
    ASSERT_TRUE(ArchiveJson::Load(json, kind, again, error)) << error;
    EXPECT_EQ(ToHex(again), ToHex(bytes));
}

#define DOC_TAG "FF FF 01 00 07 00 43 44 6F 63 4F 62 6A "  // "CDocObj"
INSTANTIATE_TEST_SUITE_P(
    ArchiveJson, OddForms,
    testing::Values(OddFile{"LongCount", Kind::Project,
                            "FF FF 01 00 00 00 " DOC_TAG "01 61 00 00 00 00 01 00 00 00",
                            "/@entriesCount"},
                    OddFile{"ClassTagGivenAgain", Kind::Project,
                            "02 00 " DOC_TAG "01 61 00 00 00 00 01 00 00 00 " DOC_TAG
                            "01 62 01 00 00 00 01 00 00 00",
                            "/entries/1/@tag"},
                    OddFile{"LongPrefix", Kind::Project,
                            "01 00 " DOC_TAG "FF 01 00 61 00 00 00 00 01 00 00 00",
                            "/entries/0/m_strName/@prefix"},
                    OddFile{"BytesAfterTheEnd", Kind::Project,
                            "01 00 " DOC_TAG "01 61 00 00 00 00 01 00 00 00 99", "/@trailing"},
                    OddFile{"EmptyCatalogue", Kind::Devices, "", "/format"}),
    [](const auto& info) { return std::string(info.param.name); });

// A JSON that describes no valid page is refused at its first bad value.
struct Refusal {
    const char* name;
    const char* pointer;  // the member changed
    const char* value;    // its new JSON value; "" removes it
    const char* told;     // the start of the error
};
void PrintTo(const Refusal& c, std::ostream* os) {
    *os << c.name;
}
class Refusals : public testing::TestWithParam<Refusal> {};

TEST_P(Refusals, NameThePathOfTheFirstBadValue) {
    const Refusal& c = GetParam();
    Json page = Json::parse(kEveryClass);
    const Json::json_pointer at(c.pointer);
    if (*c.value)
        page[at] = Json::parse(c.value);
    else
        page[at.parent_pointer()].erase(at.back());
    Kind kind = Kind::Page;
    CByteArray bytes;
    std::string error;
    EXPECT_FALSE(ArchiveJson::Load(page.dump(), kind, bytes, error));
    EXPECT_EQ(error.substr(0, std::string(c.told).size()), c.told) << error;
}

// What no JSON value holds is named by its path too: a key given twice (the parser would
// keep the second unseen), in the page or in an item, and a number out of range.
TEST(ArchiveJson, RefusesRepeatedKeysAndHugeNumbers) {
    const std::string text = Json::parse(kEveryClass).dump();
    const size_t delay = text.find("\"m_nDelay\":"),
                 item1 = text.find("\"class\":", text.find("},{"));
    for (const auto& [at, insert, told] :
         {std::tuple{delay, "\"m_nDelay\":5,", "/m_nDelay：这个键出现了两次"},
          {item1, "\"class\":\"CItemLine\",", "/items/1/class：这个键出现了两次"},
          {delay, "\"m_nDelay\":1e400,", "/m_nDelay：数值超出范围"}}) {
        Kind kind;
        CByteArray bytes;
        std::string error;
        EXPECT_FALSE(ArchiveJson::Load(std::string(text).insert(at, insert), kind, bytes, error));
        EXPECT_EQ(error, told);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ArchiveJson, Refusals,
    testing::Values(
        Refusal{"UnknownFormat", "/format", R"("lcdscreen-picture")", "/format："},
        Refusal{"MissingField", "/m_nDelay", "", "/m_nDelay：缺少此项"},
        Refusal{"TextForANumber", "/m_nDelay", R"("10")", "/m_nDelay：须为 32 位有符号整数"},
        Refusal{"ByteOutOfRange", "/m_backCodeLo", "256", "/m_backCodeLo：须为 0 到 255 的整数"},
        Refusal{"ColourWithoutHash", "/m_crBack", R"("ff0000")", "/m_crBack：颜色须为 #rrggbb"},
        Refusal{"NoGbkText", "/m_strDevice", R"("😀")", "/m_strDevice：含有 GBK 编码无法表示的字符"},
        Refusal{"NoModuleThatSize", "/m_nLogWidth", "0", "/m_nLogWidth：页面逻辑尺寸 0*8 无效"},
        Refusal{"UnknownKind", "/m_nKind", "3", "/m_nKind：须为 0"},
        Refusal{"UnknownClass", "/items/0/class", R"("CItemStar")",
                "/items/0/class：不是这里可以有的类"},
        Refusal{"MisspeltMember", "/items/0/m_nPenWidht", "1",
                "/items/0/m_nPenWidht：不是这里的成员"},
        Refusal{"PointOfOneNumber", "/items/6/m_arrPoints/1", "[3]",
                "/items/6/m_arrPoints/1：须为两个整数"},
        Refusal{"CharNotGbk", "/items/9/m_arrChars/1/char", R"("😀")",
                "/items/9/m_arrChars/1/char：须为一个 GBK 字符"},
        Refusal{"CharOfNoGbkBytes", "/items/9/m_arrChars/1",
                R"({"char": "中", "m_lead": 65, "m_trail": 208, "m_bDouble": 1, "m_x": 8, "m_y": 0,
                    "m_nHMag": 1, "m_nVMag": 1, "m_crColor": "#ffffff", "m_codeLo": 7, "m_codeHi": 0})",
                "/items/9/m_arrChars/1/char：与 m_lead、m_trail、m_bDouble "
                "不符：应为“?”（这两个字节不是 "
                "GBK 字符）"},
        Refusal{"TextOtherThanChars", "/items/9/text", R"("AB")",
                "/items/9/text：与 m_arrChars 的字符不符"},
        Refusal{"BitmapDataShort", "/items/10/m_pBitmap/m_bits", R"(["0000ff"])",
                "/items/10/m_pBitmap/m_bits：须为 4 字节"},
        Refusal{"NullItem", "/items/2", "null", "/items/2：不能为空"},
        Refusal{"TagOfAnotherClass", "/items/1/@tag", R"("0180")",
                "/items/1/@tag：不是类 CItemRectangle 的引用"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
