#include "installer/installer_wizard.h"

#include "foundation/resources.h"
#include "foundation/uninstall_key.h"
#include "installer/installer_error.h"
#include "installer/installer_paths.h"
#include "installer/program_image.h"
#include "settings/configuration.h"

namespace {

constexpr const char* kCannotCopy = "Cannot copy screen saver file to system directory!";
constexpr const char* kCannotWriteEntry = "Cannot write uninstall data to system registry!";

// Closes the uninstall key on every way out.
class OpenKey {
  public:
    OpenKey(Installer::System& system, Installer::System::Key key) : system_(system), key_(key) {}
    ~OpenKey() { system_.closeKey(key_); }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    Installer::System::Key get() const { return key_; }

  private:
    Installer::System& system_;
    Installer::System::Key key_;
};

}  // namespace

void InstallerWizard::run() {
    using Installer::Page;
    for (Page page : {Page::Welcome, Page::Licence, Page::Finish}) {
        if (system_.showPage(page, copyFlag_) != 1) return;
    }
    if (!hasMachineWriteAccess() &&
        !system_.askYesNo(Resources::loadString(4), Resources::loadString(1008))) {
        return;
    }
    if (copyFlag_) copyScreenSaver();
    writeUninstallEntry();
    createInitialConfiguration();
    system_.inform(Resources::loadString(3), Resources::loadString(2));
}

bool InstallerWizard::hasMachineWriteAccess() { return system_.hasMachineWriteAccess(); }

void InstallerWizard::copyScreenSaver() {
    const std::string from = Installer::sourcePath(system_.moduleDirectory());
    const std::string to = Installer::destinationPath(system_.systemDirectory());
    // A file that is no program (an empty or broken download) would copy well and leave an
    // uninstall entry that cannot start: refused like a file that is missing.
    if (!Installer::isProgramImage(system_.readFileStart(from, Installer::kProgramHeadBytes)) ||
        !system_.copyFile(from, to)) {
        throw Installer::Error(kCannotCopy);
    }
}

void InstallerWizard::writeUninstallEntry() {
    Installer::System::Key raw = 0;
    if (system_.createMachineKey(uninstallKeyPath(), raw) != 0) {
        throw Installer::Error(kCannotWriteEntry);
    }
    OpenKey key(system_, raw);
    const std::string command = Installer::uninstallCommand(system_.systemDirectory());
    // A refused write must not end in the success box: the entry would be missing or half.
    if (system_.setStringValue(key.get(), "UninstallString", command) != 0 ||
        system_.setStringValue(key.get(), "DisplayName", Resources::loadString(1)) != 0) {
        throw Installer::Error(kCannotWriteEntry);
    }
}

void InstallerWizard::createInitialConfiguration() {
    if (Configuration::exists(ConfigurationRoot::PerUser) ||
        Configuration::exists(ConfigurationRoot::Machine)) {
        return;
    }
    Configuration::save(ConfigurationRoot::Machine);
    Configuration::save(ConfigurationRoot::PerUser);
}
