#include "foundation/resources.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/win32/module.h"
#include "foundation/win32/module_resources.h"

namespace {

class ModuleResources : public ::testing::Test {
  protected:
    void SetUp() override {
        Module::store(GetModuleHandleA(nullptr), "");
        Resources::useModuleStrings();
    }
};

}  // namespace

TEST_F(ModuleResources, LongStringsComeBackWholeThroughLoadString) {
    EXPECT_EQ(Resources::loadString(901), std::string(254, 'a'));
    EXPECT_EQ(Resources::loadString(902), std::string(300, 'b'));
    EXPECT_GE(Resources::stringCapacity(), 512);
}

TEST_F(ModuleResources, MissingStringAndDataGiveTheirTexts) {
    try {
        Resources::loadString(900);
        FAIL() << "string 900 must be missing";
    } catch (const Resources::StringNotFoundError& e) {
        EXPECT_STREQ(e.what(), "String resource not found. Requested ID: 900");
    }
    for (auto probe : {+[] { Resources::findData(500); }, +[] { Resources::dataSize(500); },
                       +[] { Resources::data(500); }}) {
        try {
            probe();
            FAIL() << "data 500 must be missing";
        } catch (const Resources::ResourceNotFoundError& e) {
            EXPECT_STREQ(e.what(), "Resource not found, resource id: 500.");
        }
    }
}
