#include <windows.h>

#include "app/win32/screen_saver_app.h"
#include "render/display_mode.h"
#include "render/win32/ddraw_device.h"
#include "render/win32/enumerated_display_mode.h"
#include "render/win32/surface_description.h"

namespace {

DisplayChoice displayChoiceFor(const DisplayParameters& display) {
    if (display.useDesktopMode()) return DisplayChoice{};
    int width = 0, height = 0, bits = 0, refresh = 0;
    display.displayMode(width, height, bits, refresh);
    DisplayModeList listed;
    DDraw::enumerate_modes(listed);
    return chooseDisplayMode(false, width, height, bits, refresh, listed);
}

bool sameFormat(const DDraw::SurfaceDescription& a, const DDraw::SurfaceDescription& b) {
    return a.width() == b.width() && a.height() == b.height() &&
           a.bits_per_pixel() == b.bits_per_pixel() && a.red_mask() == b.red_mask() &&
           a.green_mask() == b.green_mask() && a.blue_mask() == b.blue_mask();
}

}  // namespace

void ScreenSaverApp::prepareDisplay(HWND window, const DisplayParameters& display,
                                    std::unique_ptr<DDraw::Surface> snapshot) {
    const DisplayChoice choice = displayChoiceFor(display);
    // Staying in the desktop's mode, DirectDraw must leave the window as it is.
    DDraw::set_cooperative_level(
        window, choice.changeMode ? DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE
                                  : DDSCL_FULLSCREEN | DDSCL_NOWINDOWCHANGES | DDSCL_EXCLUSIVE);
    if (choice.changeMode)
        DDraw::change_display_mode(choice.mode.width, choice.mode.height, choice.mode.bits,
                                   choice.mode.refresh);

    // Work and background take the primary surface's own description, whatever mode the
    // display really ended up in, so that a plain blit copies them without conversion.
    primarySurface.reset(newPrimarySurface().release());
    if (!primarySurface) throw DDraw::Exception(DDraw::ScreenNotPreparedText);
    workSurface.reset(newSurfaceLike(*primarySurface).release());
    backgroundSurface.reset(newSurfaceLike(*primarySurface).release());
    if (!workSurface || !backgroundSurface) throw DDraw::Exception(DDraw::ScreenNotPreparedText);

    if (snapshot) snapshot->stretch_to(*workSurface);
    workSurface->blt_to(*primarySurface);
    workSurface->blt_to(*backgroundSurface);
    // The wrapper goes; DirectDraw frees the snapshot itself with the device.
    snapshot.reset();
}

bool ScreenSaverApp::followDisplayChange() {
    DDraw::SurfaceDescription mode, work;
    if (!readDisplayMode(mode) || !work.read_from(*workSurface)) return false;
    if (mode.width() == 0 || mode.height() == 0 || sameFormat(mode, work)) return false;

    // The old primary goes first: DirectDraw makes no second one while it exists.
    releaseSurface(*primarySurface);
    primarySurface.reset();
    std::unique_ptr<DDraw::Surface> primary = newPrimarySurface();
    if (!primary) return false;
    std::unique_ptr<DDraw::Surface> picture = newSurfaceLike(*primary);
    std::unique_ptr<DDraw::Surface> background = newSurfaceLike(*primary);
    if (!picture || !background) {
        primarySurface.reset(primary.release());
        return false;
    }
    // The old background still holds the clean desktop as captured, in the old size and format.
    backgroundSurface->stretch_to(*picture);
    picture->blt_to(*background);
    picture->blt_to(*primary);
    workSurface.reset(picture.release());
    backgroundSurface.reset(background.release());
    primarySurface.reset(primary.release());
    // A new pane and rain field of the new size; the whole picture is shown next.
    startRainForScreen();
    return true;
}

bool ScreenSaverApp::readDisplayMode(DDraw::SurfaceDescription& mode) {
    return mode.read_display_mode();
}

std::unique_ptr<DDraw::Surface> ScreenSaverApp::newPrimarySurface() {
    return DDraw::create_primary_surface();
}

std::unique_ptr<DDraw::Surface> ScreenSaverApp::newSurfaceLike(const DDraw::Surface& primary) {
    DDraw::SurfaceDescription screen;
    if (!screen.read_from(primary)) return nullptr;
    return DDraw::create_system_memory_surface(screen);
}

void ScreenSaverApp::releaseSurface(DDraw::Surface& surface) { DDraw::release_surface(surface); }
