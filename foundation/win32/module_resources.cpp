#include "foundation/win32/module_resources.h"

#include "foundation/win32/module.h"

namespace Resources {

namespace {

class ModuleStringLoader : public StringLoader {
  public:
    int load(int id, char* buffer, int capacity) override {
        return LoadStringA(Module::instance(), static_cast<UINT>(id), buffer, capacity);
    }
};

HRSRC findRcData(LPCSTR name) { return FindResourceA(Module::instance(), name, RT_RCDATA); }

const void* lockFound(HRSRC found) {
    HGLOBAL loaded = LoadResource(Module::instance(), found);
    return loaded != nullptr ? LockResource(loaded) : nullptr;
}

}  // namespace

void useModuleStrings() {
    static ModuleStringLoader loader;
    setStringLoader(&loader);
}

HRSRC findData(int id) {
    HRSRC found = findRcData(MAKEINTRESOURCEA(id & 0xFFFF));
    if (found == nullptr) throw ResourceNotFoundError(id);
    return found;
}

std::uint32_t dataSize(int id) { return SizeofResource(Module::instance(), findData(id)); }

const void* data(int id) {
    const void* bytes = lockFound(findData(id));
    // A resource that is listed but cannot be loaded is as missing to the caller: no null
    // pointer is ever handed out.
    if (bytes == nullptr) throw ResourceNotFoundError(id);
    return bytes;
}

const void* namedData(const char* name, std::uint32_t& size) {
    size = 0;
    HRSRC found = findRcData(name);
    if (found == nullptr) return nullptr;
    const void* bytes = lockFound(found);
    if (bytes != nullptr) size = SizeofResource(Module::instance(), found);
    return bytes;
}

}  // namespace Resources
