#pragma once
// Shared pieces of the local bitmap tests: a fixture that keeps temporary files private.

#include <gtest/gtest.h>

#include <cstdlib>

#include "images/CBmpObj.h"
#include "images/TestImages.h"

namespace bmptest {

using namespace testimages;

class BmpObjTest : public testing::Test {
protected:
    void SetUp() override {
        // Temporary BMP files go to a folder of this test, which must stay empty.
        const char* old = std::getenv("TMPDIR");
        if (old) savedTmp = old;
        hadTmp = old != nullptr;
        setenv("TMPDIR", tmp.Path().c_str(), 1);
    }
    void TearDown() override {
        if (hadTmp)
            setenv("TMPDIR", savedTmp.c_str(), 1);
        else
            unsetenv("TMPDIR");
        EXPECT_TRUE(std::filesystem::is_empty(tmp.Path())) << "a temporary file was left behind";
    }

    // A 24-bit BMP file of top-down 0xRRGGBB colours.
    std::string Bmp24File(const std::string& name, int w, int h, const std::vector<uint32_t>& rgb) {
        BmpSpec s;
        s.width = w;
        s.height = h;
        s.pixels = Rows24(w, h, rgb);
        const std::string path = dir.File(name);
        EXPECT_TRUE(WriteFile(path, MakeBmp(s)));
        return path;
    }
    // An 8-bit BMP of w x h pixels of one grey, cheap even when large.
    std::string Bmp8File(const std::string& name, int w, int h) {
        BmpSpec s;
        s.width = w;
        s.height = h;
        s.bits = 8;
        for (int i = 0; i < 256; ++i)
            s.table.insert(s.table.end(), {uint8_t(i), uint8_t(i), uint8_t(i), 0});
        s.pixels.assign(static_cast<size_t>((w + 3) & ~3) * h, 128);
        const std::string path = dir.File(name);
        EXPECT_TRUE(WriteFile(path, MakeBmp(s)));
        return path;
    }

    DownloadSettings settings;
    MessageRecorder messages;
    TempDir dir;
    TempDir tmp;
    std::string savedTmp;
    bool hadTmp = false;
};

}  // namespace bmptest
