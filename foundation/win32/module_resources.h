#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/resources.h"

// Resource look-ups in the program's own module.
namespace Resources {

// Installs the module's string table as the source of Resources::loadString.
void useModuleStrings();

// Data resources (RT_RCDATA) by id; each throws ResourceNotFoundError when it is absent.
HRSRC findData(int id);
std::uint32_t dataSize(int id);
const void* data(int id);

// A data resource by name, with its size in bytes; nullptr (and size 0) when it is absent.
const void* namedData(const char* name, std::uint32_t& size);

}  // namespace Resources
