#include "settings/configuration.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "foundation/resources.h"
#include "settings/settings_format.h"
#include "tests/unit/configuration_fakes.h"

namespace {

class ConfigurationTest : public testing::Test {
  protected:
    void SetUp() override {
        Resources::setStringLoader(&strings);
        Configuration::resetForTests();
        Configuration::useStore(&store);
    }
    void TearDown() override {
        EXPECT_EQ(store.openKeys, 0);
        Configuration::useStore(nullptr);
        Configuration::resetForTests();
        Resources::setStringLoader(nullptr);
    }
    FakeStrings strings{{{1002, "Misto Screen Saver"},
                         {1005, "Cannot create registry key"},
                         {1006, "Cannot write to registry key"},
                         {1007, "Access denied"}}};
    FakeStore store;
};

TEST_F(ConfigurationTest, LoadPrefersPerUserThenMachineThenTheDefaults) {
    store.put(ConfigurationRoot::Machine, 11);
    store.put(ConfigurationRoot::PerUser, 22);
    Configuration::load();
    EXPECT_EQ(Configuration::settings().density(), 22);
    EXPECT_EQ(store.lastPath, "Software\\Tarnwick Labs\\Misto Screen Saver");

    store.keys.erase(ConfigurationRoot::PerUser);
    Configuration::load();
    EXPECT_EQ(Configuration::settings().density(), 11);
    EXPECT_FALSE(store.keys.count(ConfigurationRoot::PerUser));

    // Neither key (a saver installed without the installer): a new process runs on the
    // defaults and writes nothing, until a save stores exactly the default record for the user.
    store.keys.clear();
    Configuration::resetForTests();
    Configuration::load();
    std::vector<uint8_t> defaults, held;
    writeConfiguration(SaverSettings(), defaults);
    writeConfiguration(Configuration::settings(), held);
    EXPECT_EQ(held, defaults);
    EXPECT_TRUE(store.keys.empty());
    Configuration::save(ConfigurationRoot::PerUser);
    EXPECT_EQ(store.keys[ConfigurationRoot::PerUser].value, defaults);
    EXPECT_FALSE(Configuration::exists(ConfigurationRoot::Machine));

    // A key that is there but cannot be opened still fails, whichever root holds it.
    for (ConfigurationRoot root : {ConfigurationRoot::PerUser, ConfigurationRoot::Machine}) {
        store.keys.clear();
        store.keys[root];
        store.openFailure = 5;
        try {
            Configuration::load();
            FAIL() << "a key that cannot be opened must throw";
        } catch (const Configuration::NotFoundError& e) {
            EXPECT_STREQ(e.what(), "Configuration doesn't exist!");
        }
    }
}

TEST_F(ConfigurationTest, SaveCreatesTheKeyWithTheRecord) {
    EXPECT_FALSE(Configuration::exists(ConfigurationRoot::PerUser));
    Configuration::settings().setRestartMinutes(17);
    Configuration::save(ConfigurationRoot::PerUser);
    EXPECT_TRUE(Configuration::exists(ConfigurationRoot::PerUser));
    EXPECT_FALSE(Configuration::exists(ConfigurationRoot::Machine));
    std::vector<uint8_t> expected;
    writeConfiguration(Configuration::settings(), expected);
    EXPECT_EQ(store.keys[ConfigurationRoot::PerUser].value, expected);
    EXPECT_EQ(expected[30], 17);
}

TEST_F(ConfigurationTest, SaveFailureTexts) {
    store.createFailure = 5;
    try {
        Configuration::save(ConfigurationRoot::Machine);
        FAIL();
    } catch (const Configuration::CreateWriteKeyError& e) {
        EXPECT_STREQ(e.what(), "Cannot create registry key: Access denied.");
        EXPECT_EQ(e.code(), 5);
    }
    store.createFailure = 0;
    store.setFailure = 2;
    try {
        Configuration::save(ConfigurationRoot::Machine);
        FAIL();
    } catch (const Configuration::CreateWriteKeyError& e) {
        EXPECT_STREQ(e.what(), "Cannot write to registry key:  GetLastError() = 2.");
    }
}

TEST_F(ConfigurationTest, UnreadableValueKeepsTheCurrentSettings) {
    Configuration::settings().setDensity(33);
    store.keys[ConfigurationRoot::PerUser];  // key without a value
    Configuration::load();
    EXPECT_EQ(Configuration::settings().density(), 33);

    store.put(ConfigurationRoot::PerUser, 44);
    store.sizeFailure = 234;
    Configuration::load();
    EXPECT_EQ(Configuration::settings().density(), 33);

    store.sizeFailure = 0;
    store.readFailure = 13;
    Configuration::load();
    EXPECT_EQ(Configuration::settings().density(), 33);

    store.readFailure = 0;
    store.keys[ConfigurationRoot::PerUser].value.resize(3);
    Configuration::load();
    EXPECT_EQ(Configuration::settings().density(), 33);
}

}  // namespace
