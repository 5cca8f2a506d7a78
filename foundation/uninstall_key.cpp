#include "foundation/uninstall_key.h"

#include "foundation/resources.h"

const std::string& uninstallKeyPath() {
    static const std::string path =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + Resources::loadString(1002);
    return path;
}
