// Intel HEX conversion: HEX texts written by hand, their images and their refusals.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ByteArray.h"
#include "base/Messenger.h"
#include "link/HexConverter.h"

namespace {

class Recorder : public Messenger {
public:
    void Tell(const std::string& text, const std::string& caption) override {
        told.push_back(text);
        captions.push_back(caption);
    }
    Answer Ask(const std::string&, const std::string&, Buttons) override { return Answer::No; }
    std::vector<std::string> told, captions;
};

class HexTest : public testing::Test {
protected:
    Recorder recorder;
};

const char kEnd[] = ":00000001FF\r\n";
// Sixteen data bytes 00..0F at address 0, with their checksum (sum 0x88 + 0x10 = 0x98).
const char kSixteenAtZero[] = ":10000000000102030405060708090A0B0C0D0E0F78\r\n";

struct BadRow {
    const char* name;
    std::string text;
    const char* message;
};

void PrintTo(const BadRow& row, std::ostream* os) {
    *os << row.name;
}

class HexRefused : public HexTest, public testing::WithParamInterface<BadRow> {};

TEST_P(HexRefused, ReturnsZeroWithItsMessage) {
    CByteArray image;
    EXPECT_EQ(HexConverter::Convert(GetParam().text, image, recorder), 0);
    ASSERT_EQ(recorder.told.size(), 1u);
    EXPECT_EQ(recorder.told[0], GetParam().message);
    EXPECT_EQ(recorder.captions[0], HexConverter::kCaption);
}

const char kNoEnd[] = "*.Hex文件转换失败(未找到\":00000001\"记录)!";
const char kBadChar[] = "*.Hex文件转换失败(错误的字符)!";
const char kBadRecord[] = "*.Hex文件转换失败(错误的记录)!";
const char kOver64k[] = "*.Hex文件转换失败(不支持大于64k)!";

const BadRow kBadRows[] = {
    {"NoEndRecordEvenWithValidRecords", std::string(kSixteenAtZero), kNoEnd},
    {"EmptyText", "", kNoEnd},
    {"EndRecordWithASpaceIsNotFound", ":00 000001FF\r\n", kNoEnd},
    {"LetterOutsideHex", std::string(":0100000G00\r\n") + kEnd, kBadChar},
    {"SpaceInARecord", std::string(":01 00000042\r\n") + kEnd, kBadChar},
    {"OddDigitBeforeLineEnd", std::string(":010000004\r\n") + kEnd, kBadChar},
    {"OddDigitRightBeforeTheEndRecord", std::string(":010000004") + kEnd, kBadChar},
    {"DigitsBeforeTheFirstColon", std::string("0102:0100000042\r\n") + kEnd, kBadRecord},
    {"RecordOfFourBytes", std::string(":00000000\r\n") + kEnd, kBadRecord},
    {"EmptyRecord", std::string(":\r\n") + kEnd, kBadRecord},
    {"DataShorterThanItsLength", std::string(":1000000000010203\r\n") + kEnd, kBadRecord},
    {"ExtendedSegmentAddress", std::string(":020000021000EC\r\n") + kEnd, kOver64k},
    {"ExtendedLinearAddress", std::string(":020000040800F2\r\n") + kEnd, kOver64k},
    {"StartSegmentAddress", std::string(":0400000300001000E9\r\n") + kEnd, kBadRecord},
    {"StartLinearAddress", std::string(":0400000508000000EF\r\n") + kEnd, kBadRecord},
    {"TypeOneWrittenOtherwise", std::string(":00000101FE\r\n") + kEnd, kBadRecord},
    // Data running past the 64 KB image.
    {"DataPastTheEndOfTheImage",
     std::string(":10FFF800000102030405060708090A0B0C0D0E0F00\r\n") + kEnd, kBadRecord},
    {"OneBytePastTheEnd", std::string(":02FFFF00AABB00\r\n") + kEnd, kBadRecord},
    // Records are checked in file order: the bad character is found before any record.
    {"CharacterBeforeRecordErrors", std::string(":00\r\n:01000000ZZ\r\n") + kEnd, kBadChar},
};

INSTANTIATE_TEST_SUITE_P(Rows, HexRefused, testing::ValuesIn(kBadRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HexTest, SixteenBytesAtZero) {
    CByteArray image;
    ASSERT_EQ(HexConverter::Convert(std::string(kSixteenAtZero) + kEnd, image, recorder), 16);
    ASSERT_EQ(image.size(), 65536u);
    EXPECT_EQ(ToHex(CByteArray(image.begin(), image.begin() + 17)),
              "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F FF");
    EXPECT_TRUE(recorder.told.empty());
}

TEST_F(HexTest, DataAtTheTopGivesTheWholeSpace) {
    CByteArray image;
    ASSERT_EQ(
        HexConverter::Convert(std::string(":10FFF000A0A1A2A3A4A5A6A7A8A9AAABACADAEAF00\n") + kEnd,
                              image, recorder),
        65536);
    EXPECT_TRUE(
        std::all_of(image.begin(), image.begin() + 0xFFF0, [](uint8_t b) { return b == 0xFF; }));
    EXPECT_EQ(image[0xFFF0], 0xA0);
    EXPECT_EQ(image[0xFFFF], 0xAF);
}

TEST_F(HexTest, NoDataRecordGivesLengthOne) {
    CByteArray image{1, 2, 3};
    EXPECT_EQ(HexConverter::Convert(kEnd, image, recorder), 1);
    EXPECT_EQ(image.size(), 65536u);
    EXPECT_EQ(image[0], 0xFF);
}

TEST_F(HexTest, ChecksumsAreNotCheckedAndMayBeMissing) {
    CByteArray image;
    // A wrong checksum (00) and a record without one; lower-case digits; bare LF and CR.
    EXPECT_EQ(HexConverter::Convert(":0100000042\r:02000200beef00\n:00000001FF", image, recorder),
              4);
    EXPECT_EQ(ToHex(CByteArray(image.begin(), image.begin() + 5)), "42 FF BE EF FF");
}

TEST_F(HexTest, LaterRecordsOverwriteAndLengthIsTheHighestEnd) {
    CByteArray image;
    const std::string text = std::string(":0400100011223344AA\r\n") +  // 0x10..0x13
                             ":0200000055660000\r\n" +                 // 0x00..0x01
                             ":0100110099AA\r\n" + kEnd;               // over 0x11
    EXPECT_EQ(HexConverter::Convert(text, image, recorder), 0x14);
    EXPECT_EQ(ToHex(CByteArray(image.begin() + 0x10, image.begin() + 0x15)), "11 99 33 44 FF");
    EXPECT_EQ(ToHex(CByteArray(image.begin(), image.begin() + 3)), "55 66 FF");
}

TEST_F(HexTest, ZeroLengthDataRecordWritesNothing) {
    CByteArray image;
    EXPECT_EQ(HexConverter::Convert(std::string(":00800000AA\r\n") + kEnd, image, recorder), 1);
}

TEST_F(HexTest, EverythingFromTheEndRecordOnIsIgnored) {
    CByteArray image;
    const std::string text = std::string(":0100000042\r\n") + kEnd + "garbage :020000040800F2\r\n";
    EXPECT_EQ(HexConverter::Convert(text, image, recorder), 1);
    EXPECT_EQ(image[0], 0x42);
    EXPECT_TRUE(recorder.told.empty());
}

TEST_F(HexTest, LongestDataRecordFitsAtTheTop) {
    // 255 bytes at 0xFF01 end exactly at 0x10000.
    std::string text = ":FFFF0100";
    for (int i = 0; i < 255; ++i)
        text += "5A";
    text += "\r\n";
    text += kEnd;
    CByteArray image;
    EXPECT_EQ(HexConverter::Convert(text, image, recorder), 65536);
    EXPECT_EQ(image[0xFF00], 0xFF);
    EXPECT_EQ(image[0xFF01], 0x5A);
    EXPECT_EQ(image[0xFFFF], 0x5A);
}

}  // namespace
