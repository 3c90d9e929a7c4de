#include <gtest/gtest.h>

#include "base/ClassRegistry.h"
#include "images/CBmpObj.h"
#include "images/ImageClasses.h"

namespace {

TEST(ImageClasses, RegistersTheLocalBitmapBySchemaOne) {
    ClassRegistry registry;
    EXPECT_EQ(registry.Find("CBmpObj"), nullptr);
    ImageClasses::Register(registry);
    ASSERT_NE(registry.Find("CBmpObj"), nullptr);
    EXPECT_EQ(registry.Schema("CBmpObj"), 1);
    auto made = (*registry.Find("CBmpObj"))();
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->ClassName(), "CBmpObj");
    auto* bmp = dynamic_cast<CBmpObj*>(made.get());
    ASSERT_NE(bmp, nullptr);
    EXPECT_FALSE(bmp->HasPicture());
    EXPECT_EQ(bmp->GetWidth(), 0);
}

}  // namespace
