// CRC-16/XMODEM against its check value and a bit-at-a-time reference.

#include <gtest/gtest.h>

#include <random>
#include <string_view>

#include "base/ByteArray.h"
#include "link/Crc16Xmodem.h"

namespace {

std::span<const uint8_t> Bytes(std::string_view s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

// The textbook shift register, one bit at a time.
uint16_t BitwiseCrc(std::span<const uint8_t> data) {
    uint16_t crc = 0;
    for (const uint8_t b : data) {
        crc ^= static_cast<uint16_t>(b << 8);
        for (int i = 0; i < 8; ++i)
            crc = (crc & 0x8000) ? static_cast<uint16_t>((crc << 1) ^ 0x1021)
                                 : static_cast<uint16_t>(crc << 1);
    }
    return crc;
}

TEST(Crc16Xmodem, CheckValueOfTheNineDigits) {
    EXPECT_EQ(Crc16Xmodem(Bytes("123456789")), 0x31C3);
}

TEST(Crc16Xmodem, StartsAtZeroWithNoFinalXor) {
    EXPECT_EQ(Crc16Xmodem({}), 0x0000);
    EXPECT_EQ(Crc16Xmodem(Bytes(std::string_view("\0", 1))), 0x0000);
    // One byte A: the polynomial folded in from the top.
    EXPECT_EQ(Crc16Xmodem(Bytes("A")), 0x58E5);
}

TEST(Crc16Xmodem, AgreesWithTheBitwiseRegister) {
    std::mt19937 rng(7);
    for (const size_t n : {1u, 2u, 15u, 128u, 512u, 2049u}) {
        CByteArray data(n);
        for (auto& b : data)
            b = static_cast<uint8_t>(rng());
        EXPECT_EQ(Crc16Xmodem(data), BitwiseCrc(data)) << n << " bytes";
    }
    const CByteArray pad(256, 0xFF);
    EXPECT_EQ(Crc16Xmodem(pad), BitwiseCrc(pad));
}

TEST(Crc16Xmodem, ContinuesFromAPreviousValue) {
    const auto all = Bytes("123456789");
    EXPECT_EQ(Crc16Xmodem(all.subspan(4), Crc16Xmodem(all.first(4))), 0x31C3);
}

}  // namespace
