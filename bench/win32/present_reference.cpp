// The yardstick of `make bench-saver`: the saver's display set up exactly as the saver does it,
// with one whole frame copied to the screen on every 20 ms tick and no rain, which is what
// showing a new full picture each frame costs with the renderer at hand.
//
//   present-reference.exe /s whole       the reference: a whole copy every tick
//   present-reference.exe /s slack=N     the saver itself, its changed areas merged with slack N
//                                        (to choose how the areas are sent)
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/win32/desktop_capture.h"
#include "app/win32/screen_saver_app.h"
#include "foundation/error_report.h"
#include "foundation/win32/fault_translator.h"
#include "foundation/win32/module.h"
#include "foundation/win32/module_resources.h"
#include "settings/configuration.h"
#include "settings/win32/registry_store_win32.h"

namespace {

class ReferenceRun : public ScreenSaverApp {
  public:
    // `whole`: copy the whole picture every tick; otherwise run the saver with `slack`.
    ReferenceRun(bool whole, long long slack) : whole_(whole) {
        presentation = FramePresentation(slack);
    }

    void runSaver() override {
        if (!whole_) {
            ScreenSaverApp::runSaver();
            return;
        }
        std::unique_ptr<DDraw::Surface> snapshot = captureDesktop(window.handle());
        window.show();
        prepareDisplay(window.handle(), Configuration::settings(), std::move(snapshot));
        window.setFrameHandler(new FrameHandler<ReferenceRun>(*this, &ReferenceRun::tick));
        pumpMessages();
        window.setFrameHandler(nullptr);
        if (backgroundSurface && primarySurface) backgroundSurface->blt_to(*primarySurface);
    }

  private:
    void tick() {
        if (primarySurface && workSurface && primarySurface->recover(*workSurface))
            workSurface->blt_to(*primarySurface);
    }

    bool whole_;
};

// Finds the word that says how to present and takes it out of `line`; empty when missing.
std::string takeHowWord(std::string& line) {
    for (const char* word : {"whole", "slack="}) {
        const std::size_t at = line.find(word);
        if (at == std::string::npos) continue;
        const std::size_t end = std::min(line.find(' ', at), line.size());
        const std::string how = line.substr(at, end - at);
        line.erase(at, end - at);
        return how;
    }
    return "";
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    installFaultTranslator();
    std::string line = commandLine ? commandLine : "";
    const std::string how = takeHowWord(line);
    if (how.empty()) {
        MessageBoxA(nullptr, "usage: present-reference.exe /s whole|slack=N", "present-reference",
                    MB_ICONERROR);
        return 2;
    }
    const bool whole = how == "whole";
    const long long slack = whole ? 0 : std::atoll(how.c_str() + 6);
    Module::store(instance, commandLine);
    Resources::useModuleStrings();
    Configuration::useStore(&win32RegistryStore());
    const std::string failure = runReportingSaverErrors([&] {
        ReferenceRun app(whole, slack);
        app.run(line.c_str());
    });
    if (!failure.empty()) MessageBoxA(nullptr, failure.c_str(), "present-reference", MB_ICONERROR);
    return 0;
}
