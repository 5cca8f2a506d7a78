#pragma once

#include "installer/installer_system.h"

// The installer's flow: welcome, licence and finish pages, the access question, then the steps
// that put the saver on the machine and the success box. The steps' errors (Installer::Error,
// Configuration::CreateWriteKeyError) pass to the caller, whose handler shows them.
class InstallerWizard {
  public:
    explicit InstallerWizard(Installer::System& system) : system_(system) {}

    void run();

    // The user's choice on the finish page: copy the saver into the system directory.
    bool copyFlag() const { return copyFlag_; }

    // The steps, in the order run() takes them.
    bool hasMachineWriteAccess();
    void copyScreenSaver();
    void writeUninstallEntry();
    void createInitialConfiguration();

  private:
    Installer::System& system_;
    bool copyFlag_ = true;
};
