#pragma once

#include <string>

// The uninstall entry's key under the machine root: written by the installer, deleted by the
// saver's uninstall. Built once, from the product name in the string table.
const std::string& uninstallKeyPath();
