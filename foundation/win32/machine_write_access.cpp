#include "foundation/win32/machine_write_access.h"

#include <windows.h>

// Both programs declare an execution level in their manifests, so Windows does not virtualize
// them: a standard user, or an administrator running with his filtered rights, is refused here
// instead of being let into a private copy of the key, and sees the warning.
bool hasMachineWriteAccess() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_WRITE, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}
