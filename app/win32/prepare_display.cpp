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

std::unique_ptr<DDraw::Surface> surfaceLike(const DDraw::Surface& primary) {
    DDraw::SurfaceDescription screen;
    if (!screen.read_from(primary)) return nullptr;
    return DDraw::create_system_memory_surface(screen);
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
    primarySurface.reset(DDraw::create_primary_surface().release());
    if (!primarySurface) throw DDraw::Exception(DDraw::ScreenNotPreparedText);
    workSurface.reset(surfaceLike(*primarySurface).release());
    backgroundSurface.reset(surfaceLike(*primarySurface).release());
    if (!workSurface || !backgroundSurface) throw DDraw::Exception(DDraw::ScreenNotPreparedText);

    if (snapshot) snapshot->stretch_to(*workSurface);
    workSurface->blt_to(*primarySurface);
    workSurface->blt_to(*backgroundSurface);
    // The wrapper goes; DirectDraw frees the snapshot itself with the device.
    snapshot.reset();
}
