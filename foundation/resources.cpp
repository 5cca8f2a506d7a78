#include "foundation/resources.h"

#include <vector>

namespace Resources {

namespace {
StringLoader* g_loader = nullptr;
int g_capacity = 256;
}  // namespace

ResourceNotFoundError::ResourceNotFoundError(int id)
    : Error("Resource not found, resource id: " + std::to_string(id) + ".") {}

StringNotFoundError::StringNotFoundError(int id)
    : ResourceNotFoundError("String resource not found. Requested ID: " + std::to_string(id), 0) {}

void setStringLoader(StringLoader* loader) { g_loader = loader; }

int stringCapacity() { return g_capacity; }

std::string loadString(int id) {
    for (;;) {
        std::vector<char> buffer(static_cast<size_t>(g_capacity), '\0');
        const int n = g_loader != nullptr ? g_loader->load(id, buffer.data(), g_capacity) : 0;
        if (n <= 0) throw StringNotFoundError(id);
        if (n + 1 == g_capacity) {
            g_capacity *= 2;
            continue;
        }
        return std::string(buffer.data());
    }
}

}  // namespace Resources
