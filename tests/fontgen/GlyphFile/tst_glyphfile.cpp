#include <gtest/gtest.h>

#include <fstream>

#include "FontgenTest.h"
#include "GlyphFile.h"

namespace {

struct PackRow {
    const char* name;
    int width, height;
    std::vector<std::pair<int, int>> ink;  // (x, y); empty means every pixel
    std::string hex;
};

class GlyphFilePack : public testing::TestWithParam<PackRow> {};

TEST_P(GlyphFilePack, RowsTopDownBit7LeftUnusedBitsZero) {
    const PackRow& r = GetParam();
    Cell cell(r.width, r.height);
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            if (r.ink.empty()) cell.Set(x, y);
    for (auto [x, y] : r.ink)
        cell.Set(x, y);
    std::vector<uint8_t> bytes;
    GlyphFile::Pack(cell, bytes);
    EXPECT_EQ(bytes.size(), GlyphFile::GlyphBytes(r.width, r.height));
    EXPECT_EQ(Hex(bytes), r.hex);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, GlyphFilePack,
    testing::Values(PackRow{"w12h12_24_bytes", 12, 12, {}, Repeat("FFF0", 12)},
                    PackRow{"w32h32_128_bytes", 32, 32, {}, Repeat("FF", 128)},
                    PackRow{"w8h16_16_bytes", 8, 16, {}, Repeat("FF", 16)},
                    PackRow{"corners_of_12x2", 12, 2, {{0, 0}, {11, 1}}, "80000010"},
                    PackRow{"w1h3_bit7", 1, 3, {{0, 1}}, "008000"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ViewRow {
    const char* name;
    size_t fileBytes;
    int width, height;
    size_t count;
    size_t index;
    bool shown;
    bool noted;  // a note about bytes after the last glyph
};

class GlyphFileView : public testing::TestWithParam<ViewRow> {};

TEST_P(GlyphFileView, CountsWholeGlyphsAndShowsNothingPastTheLast) {
    const ViewRow& r = GetParam();
    std::vector<uint8_t> bytes(r.fileBytes);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i / GlyphFile::GlyphBytes(r.width, r.height));
    GlyphFile file;
    file.SetBytes(bytes, r.width, r.height);
    EXPECT_EQ(file.Count(), r.count);
    EXPECT_EQ(file.Note().empty(), !r.noted);
    Cell cell;
    EXPECT_EQ(file.Glyph(r.index, cell), r.shown);
    EXPECT_EQ(file.Missing(r.index).empty(), r.shown) << file.Missing(r.index);
    // Glyph i of the file holds the byte i in every row: bit pattern of i, from the left.
    for (int x = 0; r.shown && x < 8; ++x)
        EXPECT_EQ(cell.At(x, 0), ((r.index >> (7 - x)) & 1) != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, GlyphFileView,
    testing::Values(ViewRow{"ten_glyphs_last", 160, 8, 16, 10, 9, true, false},
                    ViewRow{"ten_glyphs_past_last", 160, 8, 16, 10, 10, false, false},
                    ViewRow{"rounded_down_with_note", 161, 8, 16, 10, 3, true, true},
                    ViewRow{"shorter_than_a_glyph", 15, 8, 16, 0, 0, false, true},
                    ViewRow{"empty_file", 0, 12, 12, 0, 0, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GlyphFile, RefusesCellSidesOutside1To255AndKeepsWhatWasOpen) {
    for (auto [w, h] : {std::pair{0, 8}, {8, 0}, {256, 8}, {8, -1}})
        EXPECT_FALSE(GlyphFile::CheckCellSize(w, h).empty()) << w << "x" << h;
    EXPECT_EQ(GlyphFile::CheckCellSize(1, 1) + GlyphFile::CheckCellSize(255, 255), "");

    const std::string path = testing::TempDir() + "glyphfile.bin";
    std::ofstream(path, std::ios::binary) << std::string(32, '\xFF');
    GlyphFile file;
    std::string error;
    ASSERT_TRUE(file.Load(path, 16, 16, error)) << error;
    EXPECT_FALSE(file.Load(path, 0, 16, error));
    EXPECT_FALSE(file.Load(path + ".missing", 16, 16, error));
    EXPECT_NE(error.find(".missing"), std::string::npos);
    EXPECT_EQ(file.Count(), 1u);
    EXPECT_EQ(file.Width(), 16);
}

}  // namespace
