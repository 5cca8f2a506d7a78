#pragma once

#include "installer/installer_system.h"

// Shows one of the installer's pages modally, without owner; answers the value it ended with.
// The finish page shows `copyFlag` in its check box and stores the box back into it.
int showWizardPage(Installer::Page page, bool& copyFlag);
