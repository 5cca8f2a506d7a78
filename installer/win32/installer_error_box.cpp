#include "installer/win32/installer_error_box.h"

#include <windows.h>

#include "foundation/resources.h"

void showInstallerError(const std::string& text) {
    std::string caption = "Error";
    try {
        caption = Resources::loadString(1000);
    } catch (const Resources::Error&) {
        // The box must still appear when the string table itself is what failed.
    }
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_ICONERROR);
}
