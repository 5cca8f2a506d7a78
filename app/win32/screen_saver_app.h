#pragma once

#include <cstdint>

#include "app/owning_slot.h"
#include "app/win32/saver_window.h"

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

    // 1 when saver mode finds another instance running, else 0.
    int run(const char* commandLine);

  protected:
    SaverWindow window;

    // --- saver-run state (owned by saver_run.cpp) ---
    // Add here, in this order: OwningSlot<WaterSurface> waterSurface,
    // OwningSlot<RainField> rainField, and the display slots primarySurface,
    // backgroundSurface, workSurface; then std::uint8_t busy = 0,
    // std::uint8_t restartEnabled = 0, std::int32_t restartPeriodMs = 0,
    // std::uint32_t nextRestartTick = 0. The destructor must release the
    // slots in reverse order (releaseSaverRun) before the window goes.
    void releaseSaverRun();
    // --- end of saver-run state ---
};
