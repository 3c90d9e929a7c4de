#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/AtomicFile.h"
#include "base/ByteArray.h"
#include "gfx/PngWriter.h"
#include "gfx/Surface.h"

namespace fs = std::filesystem;

namespace {

class PngWriterTest : public testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/lcd-png-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { fs::remove_all(dir); }
    size_t Entries() const {
        return static_cast<size_t>(
            std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }
    fs::path dir;
};

// Three by two pixels, all different in every channel.
Surface Sample() {
    Surface s(3, 2);
    s.SetPixel(0, 0, Rgb(0xFF, 0x00, 0x00));
    s.SetPixel(1, 0, Rgb(0x00, 0xFF, 0x00));
    s.SetPixel(2, 0, Rgb(0x00, 0x00, 0xFF));
    s.SetPixel(0, 1, Rgb(0x12, 0x34, 0x56));
    s.SetPixel(1, 1, Rgb(0xFE, 0xDC, 0xBA));
    s.SetPixel(2, 1, Rgb(0x01, 0x80, 0x7F));
    return s;
}

struct Decoded {
    bool ok = false;
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

Decoded ReadPng(const std::string& path) {
    Decoded d;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return d;
    image.format = PNG_FORMAT_RGB;
    d.rgb.resize(PNG_IMAGE_SIZE(image));
    d.width = image.width;
    d.height = image.height;
    d.ok = png_image_finish_read(&image, nullptr, d.rgb.data(), 0, nullptr) != 0;
    return d;
}

class PngZoom : public PngWriterTest, public testing::WithParamInterface<int> {};

TEST_P(PngZoom, EachPixelBecomesAZoomSquare) {
    const int zoom = GetParam();
    const Surface s = Sample();
    const std::string path = (dir / "page.png").string();
    std::string error;
    ASSERT_TRUE(PngWriter::Write(s, path, zoom, error)) << error;
    const Decoded d = ReadPng(path);
    ASSERT_TRUE(d.ok);
    ASSERT_EQ(d.width, 3u * zoom);
    ASSERT_EQ(d.height, 2u * zoom);
    for (uint32_t y = 0; y < d.height; ++y) {
        for (uint32_t x = 0; x < d.width; ++x) {
            const COLORREF c = s.GetPixel(static_cast<int>(x) / zoom, static_cast<int>(y) / zoom);
            const uint8_t* p = &d.rgb[(y * d.width + x) * 3];
            EXPECT_EQ(p[0], RedOf(c)) << x << "," << y;
            EXPECT_EQ(p[1], GreenOf(c)) << x << "," << y;
            EXPECT_EQ(p[2], BlueOf(c)) << x << "," << y;
        }
    }
    EXPECT_EQ(Entries(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Zooms, PngZoom, testing::Values(1, 2, 3, 8));

// Signature and header chunk as the PNG format lays them out: 8-bit RGB, no interlace.
TEST_F(PngWriterTest, HeaderIsEightBitRgb) {
    const std::string path = (dir / "page.png").string();
    std::string error;
    ASSERT_TRUE(PngWriter::Write(Sample(), path, 2, error)) << error;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(AtomicFile::Read(path, bytes, error)) << error;
    ASSERT_GE(bytes.size(), 33u);
    CByteArray ihdr;
    ASSERT_TRUE(FromHex("49 48 44 52 00 00 00 06 00 00 00 04 08 02 00 00 00", ihdr));
    const uLong crc = crc32(0, ihdr.data(), static_cast<uInt>(ihdr.size()));
    CByteArray expected;
    ASSERT_TRUE(FromHex("89 50 4E 47 0D 0A 1A 0A 00 00 00 0D", expected));
    expected.insert(expected.end(), ihdr.begin(), ihdr.end());
    for (int shift = 24; shift >= 0; shift -= 8)
        expected.push_back(static_cast<uint8_t>(crc >> shift));
    EXPECT_EQ(ToHex(CByteArray(bytes.begin(), bytes.begin() + 33)), ToHex(expected));
}

TEST_F(PngWriterTest, ReplacesAnOldFile) {
    const std::string path = (dir / "page.png").string();
    std::string error;
    ASSERT_TRUE(AtomicFile::Write(path, std::vector<uint8_t>(5000, 0x55), error));
    ASSERT_TRUE(PngWriter::Write(Sample(), path, 1, error)) << error;
    const Decoded d = ReadPng(path);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.width, 3u);
    EXPECT_EQ(Entries(), 1u);
}

struct FailRow {
    const char* name;
    std::string target;  // relative to the test folder
    int width, height, zoom;
};

void PrintTo(const FailRow& row, std::ostream* os) {
    *os << row.name;
}

class PngFailure : public PngWriterTest, public testing::WithParamInterface<FailRow> {};

TEST_P(PngFailure, ReturnsFalseWithAReasonAndLeavesNothing) {
    const FailRow& row = GetParam();
    fs::create_directory(dir / "taken");
    const std::string path = (dir / row.target).string();
    std::string error;
    EXPECT_FALSE(PngWriter::Write(Surface(row.width, row.height), path, row.zoom, error));
    EXPECT_FALSE(error.empty());
    // Only the folder made above is left; no image, no temporary.
    EXPECT_EQ(Entries(), 1u);
    EXPECT_TRUE(fs::is_directory(dir / "taken"));
    EXPECT_TRUE(fs::is_empty(dir / "taken"));
}

INSTANTIATE_TEST_SUITE_P(Cases, PngFailure,
                         testing::Values(FailRow{"MissingFolder", "missing/page.png", 3, 2, 1},
                                         FailRow{"PathIsAFolder", "taken", 3, 2, 1},
                                         FailRow{"ZeroZoom", "page.png", 3, 2, 0},
                                         FailRow{"NegativeZoom", "page.png", 3, 2, -2},
                                         FailRow{"ZoomTooLarge", "page.png", 3, 2, 1 << 30},
                                         FailRow{"EmptySurface", "page.png", 0, 0, 1}),
                         [](const testing::TestParamInfo<FailRow>& i) {
                             return std::string(i.param.name);
                         });

}  // namespace
