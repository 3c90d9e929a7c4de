// One device record: its fields in file order, read back, and the screen parameters it
// gives a project.

#include <gtest/gtest.h>

#include <string>

#include "base/Archive.h"
#include "base/ByteArray.h"
#include "base/ClassRegistry.h"
#include "project/CDeviceObj.h"

namespace {

struct RecordRow {
    const char* label;
    std::string name;
    int32_t logWidth, logHeight;
    double physWidth, physHeight;
    int32_t bitmaps, colours;
    std::string hex;  // the record as the format lays it out
};

void PrintTo(const RecordRow& row, std::ostream* os) {
    *os << row.label;
}

CDeviceObj Make(const RecordRow& row) {
    CDeviceObj d;
    d.m_strName = row.name;
    d.m_nLogWidth = row.logWidth;
    d.m_nLogHeight = row.logHeight;
    d.m_dPhysWidth = row.physWidth;
    d.m_dPhysHeight = row.physHeight;
    d.m_nBitmapSupport = row.bitmaps;
    d.m_nColours = row.colours;
    return d;
}

std::string Repeat(const std::string& unit, int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += unit;
    return s;
}

const RecordRow kRecords[] = {
    {"Ascii", "LCD", 320, 240, 102.5, 75.5, 1, 256,
     "03 4C 43 44 "               // name
     "40 01 00 00 F0 00 00 00 "   // 320 x 240 points
     "00 00 00 00 00 A0 59 40 "   // 102.5 mm
     "00 00 00 00 00 E0 52 40 "   // 75.5 mm
     "01 00 00 00 00 01 00 00"},  // bitmaps, 256 colours
    {"GbkName", "液晶", 128, 64, 60.0, 40.0, 0, 8,
     "04 D2 BA BE A7 "
     "80 00 00 00 40 00 00 00 "
     "00 00 00 00 00 00 4E 40 "
     "00 00 00 00 00 00 44 40 "
     "00 00 00 00 08 00 00 00"},
    // A name of 300 bytes takes the long length prefix 0xFF + uint16.
    {"LongName", std::string(300, 'A'), 1, 1, 0.5, 0.25, 0, 0,
     "FF 2C 01 " + Repeat("41 ", 300) +
         "01 00 00 00 01 00 00 00 "
         "00 00 00 00 00 00 E0 3F "
         "00 00 00 00 00 00 D0 3F "
         "00 00 00 00 00 00 00 00"},
};

class DeviceRecord : public testing::TestWithParam<RecordRow> {};

TEST_P(DeviceRecord, FieldsInFileOrder) {
    CDeviceObj d = Make(GetParam());
    Archive out;
    d.Serialize(out);
    CByteArray expected;
    ASSERT_TRUE(FromHex(GetParam().hex, expected));
    EXPECT_EQ(ToHex(out.Bytes()), ToHex(expected));
}

TEST_P(DeviceRecord, ReadsBackEveryField) {
    const RecordRow& row = GetParam();
    CByteArray bytes;
    ASSERT_TRUE(FromHex(row.hex, bytes));
    const ClassRegistry none;
    Archive in(bytes, none);
    CDeviceObj d;
    d.Serialize(in);
    ASSERT_TRUE(in.Ok()) << in.Error().Describe();
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_EQ(d.m_strName, row.name);
    EXPECT_EQ(d.m_nLogWidth, row.logWidth);
    EXPECT_EQ(d.m_nLogHeight, row.logHeight);
    EXPECT_EQ(d.m_dPhysWidth, row.physWidth);
    EXPECT_EQ(d.m_dPhysHeight, row.physHeight);
    EXPECT_EQ(d.m_nBitmapSupport, row.bitmaps);
    EXPECT_EQ(d.m_nColours, row.colours);
}

INSTANTIATE_TEST_SUITE_P(Rows, DeviceRecord, testing::ValuesIn(kRecords),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(DeviceScreen, CarriesTheValuesBothWays) {
    ScreenParams screen;
    screen.device = "LCD240128";
    screen.colours = 64;
    screen.physWidth = 114.0;
    screen.physHeight = 64.5;
    screen.logWidth = 240;
    screen.logHeight = 128;
    const CDeviceObj d(screen, 1);
    EXPECT_EQ(d.m_strName, "LCD240128");
    EXPECT_EQ(d.m_nBitmapSupport, 1);
    EXPECT_EQ(d.m_nLogWidth, 240);
    EXPECT_EQ(d.m_dPhysHeight, 64.5);
    EXPECT_EQ(d.GetScreenParams(), screen);
}

}  // namespace
