#include <windows.h>

#include <string>

#include "app/win32/screen_saver_app.h"
#include "foundation/error_report.h"
#include "foundation/win32/fault_translator.h"
#include "foundation/win32/module.h"
#include "foundation/win32/module_resources.h"
#include "settings/configuration.h"
#include "settings/win32/registry_store_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    installFaultTranslator();
    Module::store(instance, commandLine);
    Resources::useModuleStrings();
    Configuration::useStore(&win32RegistryStore());
    const std::string failure = runReportingSaverErrors([&] {
        ScreenSaverApp app;
        app.run(commandLine);
    });
    if (!failure.empty()) {
        std::string caption = "Misto Screen Saver";
        try {
            caption = Resources::loadString(1);
        } catch (...) {
            // The report must still appear when the string table itself is the failure.
        }
        caption += " 1.3";
        MessageBoxA(nullptr, failure.c_str(), caption.c_str(), MB_ICONERROR);
    }
    return 0;
}
