#include "installer/installer_paths.h"

#include "foundation/file_path.h"

namespace Installer {

std::string sourcePath(const std::string& sourceDirectory) {
    return joinPath(sourceDirectory, kScreenSaverFile);
}

std::string destinationPath(const std::string& systemDirectory) {
    return joinPath(systemDirectory, kScreenSaverFile);
}

std::string uninstallCommand(const std::string& systemDirectory) {
    return destinationPath(systemDirectory) + " /uninstall";
}

}  // namespace Installer
