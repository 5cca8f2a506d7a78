#pragma once

#include <cstdint>
#include <vector>

// The registry roots a configuration can live under.
enum class ConfigurationRoot { PerUser, Machine };

// The few registry operations the configuration needs, answering Win32 result codes (0 is
// success), so that the logic builds and is tested without the platform.
class RegistryStore {
  public:
    using Key = uintptr_t;

    virtual ~RegistryStore() = default;
    virtual long openForRead(ConfigurationRoot root, const char* path, Key& key) = 0;
    virtual long createForWrite(ConfigurationRoot root, const char* path, Key& key) = 0;
    virtual long queryValueSize(Key key, const char* name, uint32_t& size) = 0;
    // Reads at most `size` bytes into `data`; `size` becomes the count read.
    virtual long readValue(Key key, const char* name, uint8_t* data, uint32_t& size) = 0;
    virtual long setBinaryValue(Key key, const char* name, const uint8_t* data, uint32_t size) = 0;
    virtual void close(Key key) = 0;
};
