#include "settings/win32/registry_store_win32.h"

#include <windows.h>

namespace {

HKEY rootKey(ConfigurationRoot root) {
    return root == ConfigurationRoot::PerUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

HKEY toHandle(RegistryStore::Key key) { return reinterpret_cast<HKEY>(key); }

class Win32RegistryStore : public RegistryStore {
  public:
    long openForRead(ConfigurationRoot root, const char* path, Key& key) override {
        HKEY handle = nullptr;
        LONG result = RegOpenKeyExA(rootKey(root), path, 0, KEY_READ, &handle);
        if (result == ERROR_SUCCESS) key = reinterpret_cast<Key>(handle);
        return result;
    }
    long createForWrite(ConfigurationRoot root, const char* path, Key& key) override {
        HKEY handle = nullptr;
        DWORD disposition = 0;
        LONG result = RegCreateKeyExA(rootKey(root), path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      KEY_ALL_ACCESS, nullptr, &handle, &disposition);
        if (result == ERROR_SUCCESS) key = reinterpret_cast<Key>(handle);
        return result;
    }
    long queryValueSize(Key key, const char* name, uint32_t& size) override {
        DWORD bytes = 0;
        LONG result = RegQueryValueExA(toHandle(key), name, nullptr, nullptr, nullptr, &bytes);
        if (result == ERROR_SUCCESS) size = bytes;
        return result;
    }
    long readValue(Key key, const char* name, uint8_t* data, uint32_t& size) override {
        DWORD bytes = size;
        LONG result = RegQueryValueExA(toHandle(key), name, nullptr, nullptr, data, &bytes);
        if (result == ERROR_SUCCESS) size = bytes;
        return result;
    }
    long setBinaryValue(Key key, const char* name, const uint8_t* data, uint32_t size) override {
        return RegSetValueExA(toHandle(key), name, 0, REG_BINARY, data, size);
    }
    void close(Key key) override { RegCloseKey(toHandle(key)); }
};

}  // namespace

RegistryStore& win32RegistryStore() {
    static Win32RegistryStore store;
    return store;
}
