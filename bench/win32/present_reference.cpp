// The yardstick of `make bench-saver`: the saver's display set up exactly as the saver does it,
// with one whole frame copied to the screen on every 20 ms tick and no rain, which is what
// showing a new full picture each frame costs with the renderer at hand.
//
//   present-reference.exe /s whole       the reference: a whole copy every tick
//   present-reference.exe /s slack=N     the saver itself, its changed areas merged with slack N
//   present-reference.exe /s rects=N,S   N copies of S x S pixels spread over the screen a tick
// The last two tell what one more copy costs beside one more pixel, which decides how the
// saver sends its changed areas.
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
#include "render/win32/surface_description.h"
#include "settings/configuration.h"
#include "settings/win32/registry_store_win32.h"

namespace {

class ReferenceRun : public ScreenSaverApp {
  public:
    // `copies` == 0: the whole picture every tick; otherwise `copies` squares of `side` pixels.
    // A negative `copies` runs the saver itself with `slack`.
    ReferenceRun(int copies, int side, long long slack)
        : copies_(copies), side_(side), slack_(slack) {}

    void runSaver() override {
        if (copies_ < 0) {
            ScreenSaverApp::runSaver();
            return;
        }
        std::unique_ptr<DDraw::Surface> snapshot = captureDesktop(window.handle());
        window.show();
        prepareDisplay(window.handle(), Configuration::settings(), std::move(snapshot));
        DDraw::SurfaceDescription screen;
        if (screen.read_from(*primarySurface)) {
            width_ = static_cast<LONG>(screen.width());
            height_ = static_cast<LONG>(screen.height());
        }
        window.setFrameHandler(new FrameHandler<ReferenceRun>(*this, &ReferenceRun::tick));
        pumpMessages();
        window.setFrameHandler(nullptr);
        if (backgroundSurface && primarySurface) backgroundSurface->blt_to(*primarySurface);
    }

  private:
    void startRainForScreen() override {
        ScreenSaverApp::startRainForScreen();
        screenLoop->presentation() = FramePresentation(slack_);
    }

    void tick() {
        if (!primarySurface || !workSurface || !primarySurface->recover(*workSurface)) return;
        if (copies_ == 0) {
            workSurface->blt_to(*primarySurface);
            return;
        }
        // Squares on a coarse lattice walked with a large step, so that they spread over the
        // screen like drops do and seldom meet.
        const LONG cols = std::max<LONG>(1, width_ / side_),
                   rows = std::max<LONG>(1, height_ / side_);
        for (int k = 0; k < copies_; ++k) {
            const LONG cell = (static_cast<LONG>(k) * 7919 + tick_ * 104729) % (cols * rows);
            const LONG x = (cell % cols) * side_, y = (cell / cols) * side_;
            workSurface->blt_rect_to(*primarySurface, RECT{x, y, std::min(x + side_, width_),
                                                           std::min(y + side_, height_)});
        }
        ++tick_;
    }

    int copies_, side_;
    long long slack_;
    LONG width_ = 1, height_ = 1;
    LONG tick_ = 0;
};

// Finds the word that says how to present and takes it out of `line`; empty when missing.
std::string takeHowWord(std::string& line) {
    for (const char* word : {"whole", "slack=", "rects="}) {
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
        MessageBoxA(nullptr, "usage: present-reference.exe /s whole|slack=N|rects=N,S",
                    "present-reference", MB_ICONERROR);
        return 2;
    }
    int copies = 0, side = 1;
    long long slack = 0;
    if (how.compare(0, 6, "slack=") == 0) {
        copies = -1;
        slack = std::atoll(how.c_str() + 6);
    } else if (how.compare(0, 6, "rects=") == 0) {
        copies = std::max(1, std::atoi(how.c_str() + 6));
        const std::size_t comma = how.find(',');
        side = comma == std::string::npos ? 16 : std::max(1, std::atoi(how.c_str() + comma + 1));
    }
    Module::store(instance, commandLine);
    Resources::useModuleStrings();
    Configuration::useStore(&win32RegistryStore());
    const std::string failure = runReportingSaverErrors([&] {
        SaverCommandLine parsed;
        parsed.parse(line);
        ReferenceRun app(copies, side, slack);
        app.run(parsed);
    });
    if (!failure.empty()) MessageBoxA(nullptr, failure.c_str(), "present-reference", MB_ICONERROR);
    return 0;
}
