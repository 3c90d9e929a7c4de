#include <gtest/gtest.h>

#include <filesystem>

#include "ProjectChars.h"

namespace {

std::string Utf8(const std::vector<GbkCode>& codes) {
    std::string text;
    for (GbkCode c : codes)
        text += GbkText::Name(c);
    return text;
}

TEST(ProjectChars, EveryTextCharacterOfEveryPageInGbkOrderOnce) {
    std::vector<GbkCode> codes;
    std::string error;
    ASSERT_TRUE(ProjectChars::Read(LCD_EXAMPLES "/demo/demo.zkp", codes, error)) << error;
    EXPECT_EQ(Utf8(codes), " 123ABESacdegiklmnoprstux报背菜出单晶警景屏设示态图退位演液置状");
}

TEST(ProjectChars, RefusesAProjectWhosePagesCannotBeRead) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(testing::TempDir()) / "projectchars";
    fs::create_directories(dir);
    fs::copy_file(LCD_EXAMPLES "/demo/demo.zkp", dir / "demo.zkp",
                  fs::copy_options::overwrite_existing);
    std::vector<GbkCode> codes;
    std::string error;
    EXPECT_FALSE(ProjectChars::Read((dir / "demo.zkp").string(), codes, error));
    EXPECT_NE(error.find("main.pg"), std::string::npos) << error;
    EXPECT_FALSE(ProjectChars::Read((dir / "none.zkp").string(), codes, error));
    EXPECT_NE(error.find("none.zkp"), std::string::npos) << error;
}

}  // namespace
