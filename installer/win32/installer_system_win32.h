#pragma once

#include "installer/installer_system.h"

// The installer's system: its pages and boxes, the files and the registry.
Installer::System& win32InstallerSystem();
