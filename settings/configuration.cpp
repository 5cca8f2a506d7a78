#include "settings/configuration.h"

#include <memory>
#include <vector>

#include "foundation/resources.h"
#include "settings/settings_format.h"

namespace Configuration {

namespace {

constexpr const char* kValueName = "Configuration";
constexpr int32_t kAccessDenied = 5;
constexpr long kNotFound = 2;

RegistryStore* store_ = nullptr;
std::unique_ptr<SaverSettings> settings_;
std::unique_ptr<std::string> keyPath_;

RegistryStore& store() {
    if (!store_) throw BasicError("No registry store installed.");
    return *store_;
}

// Closes the key on every way out.
class OpenKey {
  public:
    OpenKey(RegistryStore& store, RegistryStore::Key key) : store_(store), key_(key) {}
    ~OpenKey() { store_.close(key_); }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    RegistryStore::Key get() const { return key_; }

  private:
    RegistryStore& store_;
    RegistryStore::Key key_;
};

std::string failureText(int baseId, int32_t code) {
    std::string text = Resources::loadString(baseId) + ": ";
    if (code == kAccessDenied) {
        text += Resources::loadString(1007);
    } else {
        text += " GetLastError() = " + std::to_string(code);
    }
    return text + ".";
}

void readFrom(ConfigurationRoot root) {
    RegistryStore::Key raw = 0;
    if (store().openForRead(root, keyPath().c_str(), raw) != 0) throw NotFoundError();
    std::vector<uint8_t> bytes;
    {
        OpenKey key(store(), raw);
        // A key without a readable value yields no settings: the current ones stay.
        uint32_t size = 0;
        if (store().queryValueSize(key.get(), kValueName, size) != 0) return;
        bytes.resize(size);
        if (size > 0 && store().readValue(key.get(), kValueName, bytes.data(), size) != 0) return;
        if (size < bytes.size()) bytes.resize(size);
    }
    std::unique_ptr<SaverSettings> read = readConfiguration(bytes.data(), bytes.size());
    if (read) settings_ = std::move(read);
}

}  // namespace

NotFoundError::NotFoundError() : BasicError("Configuration doesn't exist!") {}

CreateWriteKeyError::CreateWriteKeyError(const std::string& message, int32_t code)
    : BasicError(message), code_(code) {}

void useStore(RegistryStore* store) { store_ = store; }

SaverSettings& settings() {
    if (!settings_) settings_ = std::make_unique<SaverSettings>();
    return *settings_;
}

const std::string& keyPath() {
    if (!keyPath_) {
        keyPath_ = std::make_unique<std::string>("Software\\Tarnwick Labs\\" +
                                                 Resources::loadString(1002));
    }
    return *keyPath_;
}

namespace {

// The result of opening the key for reading under `root`; the key is closed again.
long tryOpen(ConfigurationRoot root) {
    RegistryStore::Key raw = 0;
    const long result = store().openForRead(root, keyPath().c_str(), raw);
    if (result == 0) store().close(raw);
    return result;
}

}  // namespace

bool exists(ConfigurationRoot root) { return tryOpen(root) == 0; }

void load() {
    settings();
    const long perUser = tryOpen(ConfigurationRoot::PerUser);
    if (perUser == 0) {
        readFrom(ConfigurationRoot::PerUser);
        return;
    }
    const long machine = tryOpen(ConfigurationRoot::Machine);
    if (machine == 0) {
        readFrom(ConfigurationRoot::Machine);
        return;
    }
    // No key under either root: the saver was installed without the installer (as Windows
    // offers on the file's own menu), so nothing was ever stored. The defaults serve, and OK in
    // the Options sheet stores them for the user. A key that is there but cannot be opened is
    // still an error.
    if (perUser != kNotFound || machine != kNotFound) throw NotFoundError();
}

void save(ConfigurationRoot root) {
    std::vector<uint8_t> bytes;
    writeConfiguration(settings(), bytes);
    RegistryStore::Key raw = 0;
    long created = store().createForWrite(root, keyPath().c_str(), raw);
    if (created != 0) throw CreateWriteKeyError(failureText(1005, created), created);
    OpenKey key(store(), raw);
    long written = store().setBinaryValue(key.get(), kValueName, bytes.data(),
                                          static_cast<uint32_t>(bytes.size()));
    if (written != 0) throw CreateWriteKeyError(failureText(1006, written), written);
}

void resetForTests() {
    settings_.reset();
    keyPath_.reset();
}

}  // namespace Configuration
