// The dot-matrix font files: offsets, bounds and loading.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "base/ByteArray.h"
#include "items/DotFont.h"

namespace {

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "dotfont_" + std::to_string(getpid()) + "_" + name;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Byte k of the file is k's low byte: every glyph shows where it was read from.
std::vector<uint8_t> Ramp(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t k = 0; k < n; ++k)
        v[k] = static_cast<uint8_t>(k * 7 + k / 256);
    return v;
}

struct OffsetRow {
    const char* name;
    int first, second;
    int64_t want;
};

void PrintTo(const OffsetRow& row, std::ostream* os) {
    *os << row.name;
}

class HanziOffsets : public ::testing::TestWithParam<OffsetRow> {};

TEST_P(HanziOffsets, GridPositionOrOutside) {
    const OffsetRow& r = GetParam();
    EXPECT_EQ(DotFont::HanziOffset(static_cast<uint8_t>(r.first), static_cast<uint8_t>(r.second)),
              r.want);
}

INSTANTIATE_TEST_SUITE_P(Rows, HanziOffsets,
                         ::testing::Values(OffsetRow{"FirstCell", 0xA1, 0xA1, 0},
                                           OffsetRow{"Ah_B0A1", 0xB0, 0xA1, 45120},
                                           OffsetRow{"EndOfRowA1", 0xA1, 0xFE, 93 * 32},
                                           OffsetRow{"StartOfRowA2", 0xA2, 0xA1, 94 * 32},
                                           OffsetRow{"LastCell", 0xFE, 0xFE, 282752 - 32},
                                           OffsetRow{"FirstByteBelowGrid", 0xA0, 0xA1, -1},
                                           OffsetRow{"SecondByteBelowGrid", 0xB0, 0xA0, -1},
                                           OffsetRow{"FirstByteFF", 0xFF, 0xA1, -1},
                                           OffsetRow{"SecondByteFF", 0xB0, 0xFF, -1},
                                           OffsetRow{"GbkOnlyCode", 0x81, 0x40, -1},
                                           OffsetRow{"Zeros", 0x00, 0x00, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DotFont, AsciiOffsets) {
    EXPECT_EQ(DotFont::AsciiOffset('A'), 1040);
    EXPECT_EQ(DotFont::AsciiOffset(0), 0);
    EXPECT_EQ(DotFont::AsciiOffset(255), 4080);
}

struct CopyRow {
    const char* name;
    size_t fileSize;
    int64_t offset;
    size_t inside;  // how many leading glyph bytes come from the file
};

void PrintTo(const CopyRow& row, std::ostream* os) {
    *os << row.name;
}

class CopyGlyphBounds : public ::testing::TestWithParam<CopyRow> {};

TEST_P(CopyGlyphBounds, ZerosOutsideTheFile) {
    const CopyRow& r = GetParam();
    const std::vector<uint8_t> bytes = Ramp(r.fileSize);
    const DotFont font(bytes, DotFont::kHanziGlyphBytes);
    uint8_t out[32];
    std::memset(out, 0xCC, sizeof out);
    EXPECT_EQ(font.CopyGlyph(r.offset, out), r.inside > 0);
    for (size_t k = 0; k < 32; ++k) {
        const uint8_t want = k < r.inside ? bytes[static_cast<size_t>(r.offset) + k] : 0;
        EXPECT_EQ(out[k], want) << "byte " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, CopyGlyphBounds,
                         ::testing::Values(CopyRow{"Inside", 282752, 45120, 32},
                                           CopyRow{"LastGlyph", 282752, 282720, 32},
                                           CopyRow{"StraddlesTheEnd", 45130, 45120, 10},
                                           CopyRow{"PastTheEnd", 45120, 45120, 0},
                                           CopyRow{"FarPastTheEnd", 100, 1LL << 40, 0},
                                           CopyRow{"NegativeOffset", 282752, -1, 0},
                                           CopyRow{"EmptyFile", 0, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DotFont, AsciiGlyphIsSixteenBytes) {
    const DotFont font(Ramp(4096), DotFont::kAsciiGlyphBytes);
    uint8_t out[32];
    std::memset(out, 0xCC, sizeof out);
    ASSERT_TRUE(font.CopyGlyph(DotFont::AsciiOffset('A'), out));
    const std::vector<uint8_t> bytes = Ramp(4096);
    EXPECT_EQ(ToHex(CByteArray(out, out + 16)), ToHex(CByteArray(&bytes[1040], &bytes[1056])));
    EXPECT_EQ(out[16], 0xCC) << "wrote past a 16-byte glyph";
}

TEST(DotFont, ReadFileReadsTheWholeFile) {
    const std::string path = TempPath("asc");
    WriteFile(path, Ramp(4096));
    const auto font = DotFont::ReadFile(path, 16);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->Size(), 4096u);
    unlink(path.c_str());
}

TEST(DotFont, MissingFileOrDirectoryIsNoFont) {
    EXPECT_EQ(DotFont::ReadFile(TempPath("missing"), 16), nullptr);
    const std::string dir = TempPath("dir");
    mkdir(dir.c_str(), 0755);
    EXPECT_EQ(DotFont::ReadFile(dir, 16), nullptr);
    rmdir(dir.c_str());
    // A pair with one file missing lacks that font only.
    const std::string path = TempPath("hz");
    WriteFile(path, Ramp(64));
    const auto fonts = DotFonts::Load(TempPath("missing"), path);
    EXPECT_EQ(fonts->Ascii(), nullptr);
    ASSERT_NE(fonts->Hanzi(), nullptr);
    EXPECT_EQ(fonts->Hanzi()->Size(), 64u);
    EXPECT_FALSE(fonts->Complete());
    unlink(path.c_str());
}

TEST(DotFont, ProgramFontsAreFoundInTheBuildTreeAndShared) {
    // The build generates both fonts; an uninstalled program must find them.
    const auto fonts = DotFonts::Shared();
    ASSERT_TRUE(fonts->Complete());
    EXPECT_EQ(DotFonts::Shared(), fonts) << "read once";
    EXPECT_EQ(fonts->Ascii()->Size(), 4096u);
    EXPECT_EQ(fonts->Hanzi()->Size(), 282752u);
    // Unifont's A: rows 4..13 carry ink, rows 0..3 and 14..15 are blank.
    uint8_t a[16];
    ASSERT_TRUE(fonts->Ascii()->CopyGlyph(DotFont::AsciiOffset('A'), a));
    EXPECT_EQ(ToHex(CByteArray(a, a + 16)), "00 00 00 00 18 24 24 42 42 7E 42 42 42 42 00 00");
}

}  // namespace
