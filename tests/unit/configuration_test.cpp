#include "settings/configuration.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "foundation/resources.h"
#include "settings/settings_format.h"

namespace {

class FakeStrings : public Resources::StringLoader {
  public:
    int load(int id, char* buffer, int capacity) override {
        static const std::map<int, std::string> table = {{1002, "Misto Screen Saver"},
                                                         {1005, "Cannot create registry key"},
                                                         {1006, "Cannot write to registry key"},
                                                         {1007, "Access denied"}};
        auto it = table.find(id);
        if (it == table.end() || capacity <= 0) return 0;
        int n = static_cast<int>(std::min<size_t>(it->second.size(), capacity - 1));
        std::memcpy(buffer, it->second.data(), n);
        buffer[n] = 0;
        return n;
    }
};

// Keys per root; a key may have no value. Each operation can be made to fail with a code.
class FakeStore : public RegistryStore {
  public:
    struct KeyState {
        bool hasValue = false;
        std::vector<uint8_t> value;
    };
    std::map<ConfigurationRoot, KeyState> keys;
    std::string lastPath;
    long createFailure = 0, setFailure = 0, sizeFailure = 0, readFailure = 0;
    int openKeys = 0;

    long openForRead(ConfigurationRoot root, const char* path, Key& key) override {
        lastPath = path;
        if (!keys.count(root)) return 2;
        key = static_cast<Key>(root) + 1;
        ++openKeys;
        return 0;
    }
    long createForWrite(ConfigurationRoot root, const char* path, Key& key) override {
        lastPath = path;
        if (createFailure) return createFailure;
        keys[root];
        key = static_cast<Key>(root) + 1;
        ++openKeys;
        return 0;
    }
    long queryValueSize(Key key, const char*, uint32_t& size) override {
        KeyState& k = keys[rootOf(key)];
        if (sizeFailure) return sizeFailure;
        if (!k.hasValue) return 2;
        size = static_cast<uint32_t>(k.value.size());
        return 0;
    }
    long readValue(Key key, const char*, uint8_t* data, uint32_t& size) override {
        if (readFailure) return readFailure;
        KeyState& k = keys[rootOf(key)];
        size = std::min<uint32_t>(size, static_cast<uint32_t>(k.value.size()));
        std::memcpy(data, k.value.data(), size);
        return 0;
    }
    long setBinaryValue(Key key, const char*, const uint8_t* data, uint32_t size) override {
        if (setFailure) return setFailure;
        KeyState& k = keys[rootOf(key)];
        k.hasValue = true;
        k.value.assign(data, data + size);
        return 0;
    }
    void close(Key) override { --openKeys; }

    void put(ConfigurationRoot root, int density) {
        SaverSettings s;
        s.setDensity(density);
        KeyState& k = keys[root];
        k.hasValue = true;
        k.value.clear();
        writeConfiguration(s, k.value);
    }

  private:
    static ConfigurationRoot rootOf(Key key) { return static_cast<ConfigurationRoot>(key - 1); }
};

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
    FakeStrings strings;
    FakeStore store;
};

TEST_F(ConfigurationTest, LoadPrefersPerUserThenMachineThenFails) {
    store.put(ConfigurationRoot::Machine, 11);
    store.put(ConfigurationRoot::PerUser, 22);
    Configuration::load();
    EXPECT_EQ(Configuration::settings().density(), 22);
    EXPECT_EQ(store.lastPath, "Software\\Tarnwick Labs\\Misto Screen Saver");

    store.keys.erase(ConfigurationRoot::PerUser);
    Configuration::load();
    EXPECT_EQ(Configuration::settings().density(), 11);
    EXPECT_FALSE(store.keys.count(ConfigurationRoot::PerUser));

    store.keys.clear();
    try {
        Configuration::load();
        FAIL() << "no configuration must throw";
    } catch (const Configuration::NotFoundError& e) {
        EXPECT_STREQ(e.what(), "Configuration doesn't exist!");
    }
    EXPECT_EQ(Configuration::settings().density(), 11);
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
