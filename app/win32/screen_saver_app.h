#pragma once

#include <cstdint>
#include <memory>

#include "app/display_power.h"
#include "app/owning_slot.h"
#include "app/saver_command_line.h"
#include "app/win32/other_monitors.h"
#include "app/win32/saver_window.h"
#include "engine/screen_loop.h"
#include "render/win32/ddraw_surface.h"
#include "render/win32/surface_description.h"
#include "settings/saver_settings.h"

// The application object of one run: owns the hidden saver window from
// construction on and carries out the mode chosen on the command line.
class ScreenSaverApp : private DisplayStateListener {
  public:
    ScreenSaverApp();
    virtual ~ScreenSaverApp();
    ScreenSaverApp(const ScreenSaverApp&) = delete;
    ScreenSaverApp& operator=(const ScreenSaverApp&) = delete;

    // The full-screen run; defined in saver_run.cpp.
    virtual void runSaver();
    // One animation frame, driven by the window's timer; in saver_run.cpp.
    void onFrame();

    // Runs the mode of the parsed command line. kUnfinishedQuietUninstall when a quiet
    // uninstall or kill did not remove the saver, else 0. Saver mode expects its caller to have
    // claimed the running saver's mutex (RunningSaver) before this object, and with it the
    // hidden window, was made.
    int run(const SaverCommandLine& line);
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
    // Prepares the screen loop (a pane and a rain field for the primary surface's size, the
    // tracer for the work surface's format). Virtual for the present yardstick, which then
    // sets its own present plan.
    virtual void startRainForScreen();

    // Seams over DirectDraw, so that the frame step also runs over fake surfaces.
    virtual bool readDisplayMode(DDraw::SurfaceDescription& mode);
    virtual std::unique_ptr<DDraw::Surface> newPrimarySurface();
    virtual std::unique_ptr<DDraw::Surface> newSurfaceLike(const DDraw::Surface& primary);
    // Releases the surface's interface now (a display has one primary surface at a time).
    virtual void releaseSurface(DDraw::Surface& surface);
    // The system's millisecond tick, which restarts and the present plan count in; a seam so
    // that the frame step also runs on a clock of the caller's.
    virtual std::uint32_t currentTick();
    // The tick the rain counts in: the system's, less the time the display was off.
    std::uint32_t rainTick() { return displayPower.rainTick(currentTick()); }
    // Nothing is drawn while the display is off, and the timer is stopped; back on, the rain
    // goes on from where it was and every monitor gets its whole picture once.
    void displayStateChanged(std::uint32_t state) override;
    DisplayPower displayPower;

    // Every monitor but the primary, each with its own window and rain.
    OtherMonitors otherMonitors;
    // Where the run's rain starts: the clock at the start, so that each run rains anew.
    std::uint32_t rainSeed = 1;
    // The primary screen's rain: its pane (waterSurface), rain field (rainField), restart
    // schedule and present plan.
    OwningSlot<ScreenLoop> screenLoop;
    OwningSlot<DDraw::Surface> primarySurface;
    OwningSlot<DDraw::Surface> backgroundSurface;
    OwningSlot<DDraw::Surface> workSurface;
    std::uint8_t busy = 0;
    // Releases the slots newest first; the destructor calls it before the window goes.
    void releaseSaverRun();
    // --- end of saver-run state ---
};
