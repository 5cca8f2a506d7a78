#pragma once

#include <cstdint>
#include <string>

#include "foundation/basic_error.h"
#include "settings/registry_store.h"
#include "settings/saver_settings.h"

// The process-wide settings and their registry value "Configuration".
namespace Configuration {

class NotFoundError : public BasicError {
  public:
    NotFoundError();
};

class CreateWriteKeyError : public BasicError {
  public:
    CreateWriteKeyError(const std::string& message, int32_t code);
    int32_t code() const { return code_; }

  private:
    int32_t code_;
};

// The store every operation uses; the entry points install the platform's. Not owned.
void useStore(RegistryStore* store);

// The process-wide settings, the defaults until a configuration is read.
SaverSettings& settings();

bool exists(ConfigurationRoot root);
// Reads the per-user configuration, else the machine one. Without either key the settings stay
// as they are (the defaults); throws NotFoundError when a key is there but cannot be opened.
void load();
// Throws CreateWriteKeyError when the key cannot be created or the value not written.
void save(ConfigurationRoot root);

// The key path under a root, built once.
const std::string& keyPath();

// Drops the settings and the key path so that tests start afresh.
void resetForTests();

}  // namespace Configuration
