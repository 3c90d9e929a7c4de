// The bridge's device id setting; the bus itself is never touched in tests.

#include <gtest/gtest.h>

#include "LibusbBridge.h"

using kvx::LibusbBridge;

namespace {

struct IdRow {
    const char* name;
    const char* text;
    bool ok;
    uint16_t vendor;
    uint16_t product;
};

// Parameterised cases print as their row name.
void PrintTo(const IdRow& row, std::ostream* os) {
    *os << row.name;
}

class UsbIdTest : public testing::TestWithParam<IdRow> {};

TEST_P(UsbIdTest, Parses) {
    uint16_t vendor = 0x1111, product = 0x2222;
    EXPECT_EQ(LibusbBridge::ParseUsbId(GetParam().text, &vendor, &product), GetParam().ok);
    EXPECT_EQ(vendor, GetParam().vendor);
    EXPECT_EQ(product, GetParam().product);
}

INSTANTIATE_TEST_SUITE_P(Ids, UsbIdTest,
                         testing::Values(IdRow{"Default", "10c4:ea61", true, 0x10C4, 0xEA61},
                                         IdRow{"UpperCase", "ABCD:00EF", true, 0xABCD, 0x00EF},
                                         IdRow{"NoColon", "10c4ea61", false, 0x1111, 0x2222},
                                         IdRow{"Trailing", "10c4:ea61x", false, 0x1111, 0x2222},
                                         IdRow{"Empty", "", false, 0x1111, 0x2222},
                                         IdRow{"Null", nullptr, false, 0x1111, 0x2222}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
