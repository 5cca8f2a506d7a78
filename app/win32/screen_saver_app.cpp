#include "app/win32/screen_saver_app.h"

#include <windows.h>

#include <ctime>

#include "app/saver_command_line.h"
#include "app/win32/preview_window.h"
#include "settings/configuration.h"
#include "settings/win32/settings_dialog.h"
#include "uninstall/uninstall_procedure.h"
#include "uninstall/win32/uninstall_system_win32.h"

namespace {

// The window number written on the command line; handles keep their meaning in 32 bits.
HWND windowFromNumber(std::int32_t number) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(number));
}

// A quiet uninstall shows nothing, so its caller learns from the exit code alone whether it
// removed the saver; a run with boxes has told the user and ends with 0 as always.
int uninstallExitCode(bool finished, const SaverCommandLine& line) {
    return finished || !line.isQuiet() ? 0 : ScreenSaverApp::kUnfinishedQuietUninstall;
}

}  // namespace

ScreenSaverApp::ScreenSaverApp() { window.setDisplayStateListener(this); }

ScreenSaverApp::~ScreenSaverApp() { releaseSaverRun(); }

int ScreenSaverApp::run(const SaverCommandLine& line) {
    rainSeed = static_cast<std::uint32_t>(time(nullptr));
    switch (line.mode()) {
        case SaverMode::Saver:
            // The entry point has claimed the running saver's mutex already (RunningSaver).
            Configuration::load();
            runSaver();
            return 0;
        case SaverMode::Preview:
            Configuration::load();
            runPreview(windowFromNumber(line.windowHandle()));
            return 0;
        case SaverMode::Configure:
            Configuration::load();
            SettingsDialog::show(windowFromNumber(line.windowHandle()));
            return 0;
        case SaverMode::Uninstall:
            return uninstallExitCode(
                Uninstall::runUninstall(win32UninstallSystem(), line.isQuiet()), line);
        case SaverMode::Kill:
            return uninstallExitCode(
                Uninstall::runKiller(win32UninstallSystem(), line.victimPath(), line.isQuiet()),
                line);
        default:
            return 0;
    }
}
