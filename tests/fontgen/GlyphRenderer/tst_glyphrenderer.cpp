#include <gtest/gtest.h>

#include "FontgenTest.h"
#include "GlyphRenderer.h"

namespace {

std::vector<uint8_t> Font(const std::string& face, const std::vector<GbkCode>& codes, int w, int h,
                          std::vector<GbkCode>* missing = nullptr) {
    GlyphRenderer renderer;
    FaceChoice choice;
    std::string error;
    EXPECT_TRUE(GlyphRenderer::Find(face, choice, error) && renderer.Open(choice, error)) << error;
    GeneratedFont font = GenerateFont(renderer, codes, w, h);
    if (missing) *missing = font.missing;
    return font.bytes;
}

// The fitting rule on bitmap faces, whose bits are known: at the strike's own size the
// glyph is the font's bits; a narrow character is widened to fill W; a wide one narrowed.
struct FitRow {
    const char* name;
    const char* font;
    GbkCode code;
    int width, height;
    std::string hex;
};

class GlyphRendererFit : public testing::TestWithParam<FitRow> {};

TEST_P(GlyphRendererFit, BitmapFaceGivesExactBits) {
    const FitRow& r = GetParam();
    EXPECT_EQ(Hex(Font(r.font, {r.code}, r.width, r.height)), r.hex);
}

INSTANTIATE_TEST_SUITE_P(
    Faces, GlyphRendererFit,
    testing::Values(
        FitRow{"fixed_A_at_its_size", kFixed8x13, 'A', 8, 13, "000018244242427E4242420000"},
        FitRow{"fixed_A_doubled", kFixed8x13, 'A', 16, 26,
               Repeat("0000", 4) + Repeat("03C0", 2) + Repeat("0C30", 2) + Repeat("300C", 6) +
                   Repeat("3FFC", 2) + Repeat("300C", 6) + Repeat("0000", 4)},
        FitRow{"unifont_wide_hanzi_narrowed_to_16", kUnifont, 0xD6D0, 16, 16,
               "01000100010001003FF8210821082108210821083FF821080100010001000100"},
        FitRow{"unifont_narrow_A_widened_to_16", kUnifont, 'A', 16, 16,
               Repeat("0000", 4) + "03C00C300C30300C300C3FFC" + Repeat("300C", 4) +
                   Repeat("0000", 2)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GlyphRenderer, SongNameFindsAnInstalledMingFaceAndUnusedLowBitsStayZero) {
    FaceChoice face;
    std::string error;
    ASSERT_TRUE(GlyphRenderer::Find("宋体", face, error)) << error;
    EXPECT_NE(face.family.find("UMing"), std::string::npos) << face.family;
    EXPECT_FALSE(GlyphRenderer::Find("", face, error));
    EXPECT_FALSE(GlyphRenderer::Find("/no/such/font.ttf", face, error));

    const std::vector<uint8_t> bytes = Font("宋体", {0xD2BA, 0xBEA7, 'A'}, 12, 12);
    ASSERT_EQ(bytes.size(), 3u * 24u);
    for (size_t glyph = 0; glyph < 3; ++glyph) {
        int ink = 0;
        for (size_t i = glyph * 24; i < glyph * 24 + 24; ++i)
            ink += __builtin_popcount(bytes[i]);
        EXPECT_GT(ink, 10) << "glyph " << glyph;
    }
    for (size_t i = 1; i < bytes.size(); i += 2)
        EXPECT_EQ(bytes[i] & 0x0F, 0) << "byte " << i;
}

TEST(GlyphRenderer, MissingGlyphsAreBlankAndReportedControlCharactersBlankOnly) {
    std::vector<GbkCode> missing;
    const std::vector<uint8_t> bytes = Font(kFixed8x13, {0xD2BA, 13, 0xD7FA, 'A'}, 8, 13, &missing);
    EXPECT_EQ(Hex(bytes), Repeat("00", 39) + "000018244242427E4242420000");
    // 0xD7FA is an empty place of the GB2312 grid: blank on purpose, not missing.
    EXPECT_EQ(missing, std::vector<GbkCode>{0xD2BA});
}

}  // namespace
