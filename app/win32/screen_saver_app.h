#pragma once

#include <cstdint>
#include <memory>

#include "app/frame_presentation.h"
#include "app/owning_slot.h"
#include "app/win32/other_monitors.h"
#include "app/win32/saver_window.h"
#include "rain/rain_field.h"
#include "rain/water_surface.h"
#include "render/win32/ddraw_surface.h"
#include "render/win32/surface_description.h"
#include "settings/saver_settings.h"

// The application object of one run: owns the hidden saver window from
// construction on and carries out the mode chosen on the command line.
class ScreenSaverApp {
  public:
    ScreenSaverApp();
    virtual ~ScreenSaverApp();
    ScreenSaverApp(const ScreenSaverApp&) = delete;
    ScreenSaverApp& operator=(const ScreenSaverApp&) = delete;

    virtual void seedRandom();
    // The full-screen run; defined in saver_run.cpp.
    virtual void runSaver();
    // One animation frame, driven by the window's timer; in saver_run.cpp.
    void onFrame();

    // kAnotherSaverRuns when saver mode finds another instance running,
    // kUnfinishedQuietUninstall when a quiet uninstall or kill did not remove the saver, else 0.
    int run(const char* commandLine);
    static constexpr int kAnotherSaverRuns = 1;
    static constexpr int kUnfinishedQuietUninstall = 2;

  protected:
    SaverWindow window;

    // --- saver-run state (owned by saver_run.cpp) ---
    // Takes exclusive full-screen mode, switches the mode when one is chosen and fills the
    // three display slots from `snapshot`, the desktop as captured before the window showed.
    void prepareDisplay(HWND window, const DisplayParameters& display,
                        std::unique_ptr<DDraw::Surface> snapshot);

    // A screen that cannot be restored because the display now runs in another size or format
    // (another program changed the mode) gets surfaces of the new mode, with the clean picture
    // scaled from the one captured at the start, and a new pane and rain field of its size.
    // False while the screen is merely gone: the frame is then skipped.
    bool followDisplayChange();
    // Fills the pane and the rain field for the primary surface's size and sets the tracer up
    // for its format.
    void startRainForScreen();

    // Seams over DirectDraw, so that the frame step also runs over fake surfaces.
    virtual bool readDisplayMode(DDraw::SurfaceDescription& mode);
    virtual std::unique_ptr<DDraw::Surface> newPrimarySurface();
    virtual std::unique_ptr<DDraw::Surface> newSurfaceLike(const DDraw::Surface& primary);
    // Releases the surface's interface now (a display has one primary surface at a time).
    virtual void releaseSurface(DDraw::Surface& surface);

    // Every monitor but the primary, each with its own window and rain.
    OtherMonitors otherMonitors;
    OwningSlot<WaterSurface> waterSurface;
    OwningSlot<RainField> rainField;
    OwningSlot<DDraw::Surface> primarySurface;
    OwningSlot<DDraw::Surface> backgroundSurface;
    OwningSlot<DDraw::Surface> workSurface;
    std::uint8_t busy = 0;
    std::uint8_t restartEnabled = 0;
    std::int32_t restartPeriodMs = 0;
    std::uint32_t nextRestartTick = 0;
    // What of each finished frame goes to the screen; presentWholeNextFrame() after anything
    // that may have changed or spoilt the whole picture.
    FramePresentation presentation;
    // Releases the slots newest first; the destructor calls it before the window goes.
    void releaseSaverRun();
    // --- end of saver-run state ---
};
