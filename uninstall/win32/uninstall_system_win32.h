#pragma once

#include "uninstall/uninstall_system.h"

// The uninstall's system: dialogs and boxes, files, processes, the registry and the handshake's
// named objects.
Uninstall::System& win32UninstallSystem();
