#include <windows.h>

#include <string>

#include "foundation/error_report.h"
#include "foundation/win32/fault_translator.h"
#include "foundation/win32/module.h"
#include "foundation/win32/module_resources.h"
#include "foundation/win32/test_fault.h"
#include "installer/installer_wizard.h"
#include "installer/win32/installer_error_box.h"
#include "installer/win32/installer_system_win32.h"
#include "settings/configuration.h"
#include "settings/win32/registry_store_win32.h"

namespace {

// A report must still appear when the string table itself is what failed.
std::string stringOr(int id, const char* fallback) {
    try {
        return Resources::loadString(id);
    } catch (...) {
        return fallback;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    // A fault in our own code becomes the installer's error box rather than a crash that
    // leaves the user guessing whether anything was installed.
    installFaultTranslator();
    Module::store(instance, commandLine);
    Resources::useModuleStrings();
    Configuration::useStore(&win32RegistryStore());
    // The pages run inside the handler too: an error in a page's callback comes out of its
    // dialog box and must reach the same report as a failed copy or registry write.
    const std::string failure = runReportingInstallerErrors(
        [] {
            // Something that is no std::exception, for the handler's last resort.
            if (TestFault::requested("installer-unknown")) throw 1;
            InstallerWizard wizard(win32InstallerSystem());
            wizard.run();
        },
        stringOr(1001, "Sorry, unknown problem."));
    if (!failure.empty()) showInstallerError(failure);
    return 0;
}
