#pragma once

// True when the machine root's "Software" key opens for writing: the installer and the
// uninstall both need it to change the uninstall entry.
bool hasMachineWriteAccess();
