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

}  // namespace

void useModuleStrings() {
    static ModuleStringLoader loader;
    setStringLoader(&loader);
}

HRSRC findData(int id) {
    HRSRC found = FindResourceA(Module::instance(), MAKEINTRESOURCEA(id & 0xFFFF), RT_RCDATA);
    if (found == nullptr) throw ResourceNotFoundError(id);
    return found;
}

std::uint32_t dataSize(int id) { return SizeofResource(Module::instance(), findData(id)); }

const void* data(int id) {
    HGLOBAL loaded = LoadResource(Module::instance(), findData(id));
    if (loaded == nullptr) throw ResourceNotFoundError(id);
    return LockResource(loaded);
}

}  // namespace Resources
