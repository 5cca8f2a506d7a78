#pragma once

#include <string>

// The files and the command the installer deals in.
namespace Installer {

constexpr const char* kScreenSaverFile = "misto.scr";

// The saver beside the installer, in `sourceDirectory` (with or without its final backslash).
std::string sourcePath(const std::string& sourceDirectory);
// Where the saver goes: in the system directory.
std::string destinationPath(const std::string& systemDirectory);
// The uninstall entry's command: the installed saver's path, unquoted, and " /uninstall". It
// names the system directory whether or not the file was copied there.
std::string uninstallCommand(const std::string& systemDirectory);

}  // namespace Installer
