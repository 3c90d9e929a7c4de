// Intel HEX conversion: HEX texts written by hand, their images and their refusals.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ByteArray.h"
#include "link/HexConverter.h"
#include "support/ScriptedMessenger.h"

namespace {

// One record line: ":" + the bytes given in hex + their checksum + CR LF.
std::string Rec(const std::string& hex) {
    CByteArray b;
    EXPECT_TRUE(FromHex(hex, b));
    uint8_t sum = 0;
    for (uint8_t v : b)
        sum = static_cast<uint8_t>(sum - v);
    std::string line = ":";
    for (char c : hex)
        if (c != ' ') line += c;
    return line + ToHex(CByteArray{sum}) + "\r\n";
}

const std::string kEnd = ":00000001FF\r\n";
// Sixteen data bytes 00..0F at address 0.
const std::string kSixteen = Rec("10 0000 00 000102030405060708090A0B0C0D0E0F");
const std::string kOne = Rec("01 0000 00 42");

// A refusal has length 0 and its message; an accepted text its length and the image bytes
// from `at` on.
struct Row {
    const char* name;
    std::string text;
    int length;
    size_t at;
    const char* result;
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

class Hex : public testing::TestWithParam<Row> {};

TEST_P(Hex, Converts) {
    const Row& row = GetParam();
    ScriptedMessenger messenger;
    CByteArray image;
    ASSERT_EQ(HexConverter::Convert(row.text, image, messenger), row.length);
    ASSERT_EQ(image.size(), 65536u);
    if (row.length == 0) {
        EXPECT_EQ(messenger.told,
                  std::vector<std::string>{std::string("*.Hex文件转换失败(") + row.result + ")!"});
        EXPECT_EQ(messenger.captions, std::vector<std::string>{HexConverter::kCaption});
        return;
    }
    const size_t n = (std::string(row.result).size() + 1) / 3;
    EXPECT_EQ(ToHex(CByteArray(image.begin() + row.at, image.begin() + row.at + n)), row.result);
    EXPECT_TRUE(messenger.told.empty());
}

std::string Longest() {
    std::string data;
    for (int i = 0; i < 255; ++i)
        data += "5A";
    return Rec("FF FF01 00 " + data);
}

const Row kRows[] = {
    {"NoEndRecordEvenWithValidRecords", kSixteen, 0, 0, "未找到\":00000001\"记录"},
    {"EmptyText", "", 0, 0, "未找到\":00000001\"记录"},
    {"EndRecordWithASpaceIsNotFound", ":00 000001FF\r\n", 0, 0, "未找到\":00000001\"记录"},
    {"LetterOutsideHex", ":0100000G00\r\n" + kEnd, 0, 0, "第1行：错误的字符"},
    {"SpaceInARecord", ":01 00000042\r\n" + kEnd, 0, 0, "第1行：错误的字符"},
    {"OddDigitBeforeLineEnd", kOne + ":010000004\r\n" + kEnd, 0, 0, "第2行：错误的字符"},
    {"TwoRecordsOnOneLine", ":0100000042BD" + kEnd, 0, 0, "第1行：错误的字符"},
    {"DigitsBeforeTheColon", "0102:0100000042\r\n" + kEnd, 0, 0, "第1行：错误的记录"},
    {"RecordOfFourBytes", ":00000000\r\n" + kEnd, 0, 0, "第1行：错误的记录"},
    {"EmptyRecord", kOne + "\n:\r\n" + kEnd, 0, 0, "第3行：错误的记录"},
    {"DataShorterThanItsCount", Rec("10 0000 00 00010203") + kEnd, 0, 0,
     "第1行：记录的字节数与数据不符"},
    {"DataLongerThanItsCount", Rec("01 0000 00 4243") + kEnd, 0, 0,
     "第1行：记录的字节数与数据不符"},
    {"ChecksumMissing", ":0100000042\r\n" + kEnd, 0, 0, "第1行：记录的字节数与数据不符"},
    {"WrongChecksum", kOne + ":0100010042BD\r\n" + kEnd, 0, 0, "第2行：校验和错误"},
    {"ExtendedSegmentAddress", Rec("02 0000 02 1000") + kEnd, 0, 0, "第1行：不支持大于64k"},
    {"ExtendedLinearAddress", Rec("02 0000 04 0800") + kEnd, 0, 0, "第1行：不支持大于64k"},
    {"StartLinearAddress", Rec("04 0000 05 08000000") + kEnd, 0, 0, "第1行：错误的记录"},
    {"EndRecordWithData", kOne + Rec("01 0000 01 00") + kEnd, 0, 0, "第2行：错误的记录"},
    {"DataPastTheImage", Rec("02 FFFF 00 AABB") + kEnd, 0, 0, "第1行：错误的记录"},
    {"RecordAfterTheEnd", kOne + kEnd + Rec("02 0000 04 0800"), 0, 0,
     "第3行：结束记录之后还有内容"},
    {"TextAfterTheEnd", kOne + kEnd + "\r\ngarbage", 0, 0, "第4行：结束记录之后还有内容"},
    {"NoDataRecord", kEnd, 0, 0, "文件中没有数据记录"},
    {"OnlyEmptyDataRecords", Rec("00 8000 00") + kEnd, 0, 0, "文件中没有数据记录"},
    // Records are checked in file order: the first fault is the one told.
    {"FirstFaultWins", kOne + ":00\r\n:01000000ZZ\r\n" + kEnd, 0, 0, "第2行：错误的记录"},
    {"SixteenBytesAtZero", kSixteen + kEnd, 16, 0,
     "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F FF"},
    {"DataAtTheTopGivesTheWholeSpace", Rec("02 FFFE 00 A0AF") + kEnd, 65536, 0xFFFD, "FF A0 AF"},
    // Lower-case digits, bare LF and CR, blank lines and an end-of-file mark.
    {"LineBreaksAndCase", ":0100000042bd\r:02000200BEEF4F\n\n" + kEnd + "\x1A\r\n", 4, 0,
     "42 FF BE EF FF"},
    {"LaterRecordsOverwrite",
     Rec("04 0010 00 11223344") + Rec("02 0000 00 5566") + Rec("01 0011 00 99") + kEnd, 0x14, 0x10,
     "11 99 33 44 FF"},
    {"LongestRecordEndsAtTheTop", Longest() + kEnd, 65536, 0xFF00, "FF 5A"},
};

INSTANTIATE_TEST_SUITE_P(Rows, Hex, testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
