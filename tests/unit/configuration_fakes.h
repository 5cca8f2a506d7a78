#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "foundation/resources.h"
#include "settings/registry_store.h"
#include "settings/saver_settings.h"
#include "settings/settings_format.h"

// Fakes shared by the tests of the configuration and of its users.

// A string table in memory.
class FakeStrings : public Resources::StringLoader {
  public:
    explicit FakeStrings(std::map<int, std::string> table) : table(std::move(table)) {}
    std::map<int, std::string> table;

    int load(int id, char* buffer, int capacity) override {
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
    // openFailure refuses to open a key that is there (as a key the user may not read).
    long openFailure = 0, createFailure = 0, setFailure = 0, sizeFailure = 0, readFailure = 0;
    int openKeys = 0;

    long openForRead(ConfigurationRoot root, const char* path, Key& key) override {
        lastPath = path;
        if (!keys.count(root)) return 2;
        if (openFailure) return openFailure;
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
