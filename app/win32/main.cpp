#include <windows.h>

#include <string>

#include "app/saver_command_line.h"
#include "app/win32/running_saver.h"
#include "app/win32/screen_saver_app.h"
#include "foundation/error_report.h"
#include "foundation/win32/fault_translator.h"
#include "foundation/win32/module.h"
#include "foundation/win32/module_path.h"
#include "foundation/win32/module_resources.h"
#include "settings/configuration.h"
#include "settings/win32/registry_store_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    installFaultTranslator();
    // The kill mode's path may hold any character: the arguments are read wide, as UTF-8.
    const std::string commandLine = commandLineArguments();
    Module::store(instance, commandLine.c_str());
    Resources::useModuleStrings();
    Configuration::useStore(&win32RegistryStore());
    int exitCode = 0;
    const std::string failure = runReportingSaverErrors([&] {
        // A second full-screen saver leaves, silently, before it makes any window or timer: it
        // must not touch the window system the running saver takes its input from. The
        // application object makes its hidden window in every mode, so the check comes first.
        SaverCommandLine line;
        line.parse(commandLine);
        if (line.mode() == SaverMode::Saver && !RunningSaver::claim()) return;
        ScreenSaverApp app;
        // Only an unfinished quiet uninstall tells its caller.
        if (app.run(line) == ScreenSaverApp::kUnfinishedQuietUninstall) {
            exitCode = ScreenSaverApp::kUnfinishedQuietUninstall;
        }
    });
    if (!failure.empty()) {
        std::string caption = "Misto Screen Saver";
        try {
            caption = Resources::loadString(1);
        } catch (...) {
            // The report must still appear when the string table itself is the failure.
        }
        caption += " 1.3";
        // The saver's windows are gone by now, and the system may have handed the foreground
        // to another program: the box takes it back, so it is seen and answers the keyboard.
        MessageBoxA(nullptr, failure.c_str(), caption.c_str(), MB_ICONERROR | MB_SETFOREGROUND);
    }
    return exitCode;
}
