#pragma once

#include "settings/registry_store.h"

// The store over the system registry.
RegistryStore& win32RegistryStore();
