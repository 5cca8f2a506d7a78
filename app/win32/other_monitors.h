#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/display_power.h"
#include "app/win32/dib_picture.h"
#include "app/win32/monitor_window.h"
#include "app/win32/saver_window.h"
#include "engine/monitor_rain.h"
#include "settings/saver_settings.h"

// The saver on every monitor but the primary, which the display device drives alone (exclusive
// mode takes one monitor). Each other monitor gets a top-most window showing its own desktop
// with its own rain, traced into a bitmap and painted by GDI where it changed. With a single
// monitor every step does nothing.
class OtherMonitors {
  public:
    OtherMonitors() = default;
    ~OtherMonitors() = default;
    OtherMonitors(const OtherMonitors&) = delete;
    OtherMonitors& operator=(const OtherMonitors&) = delete;

    // Finds the other monitors and takes each one's picture. Must run before any of the
    // saver's windows shows, or the pictures hold the saver.
    void capture();
    // Gives each captured monitor its rain and its window at the place it has now, after the
    // display was prepared, and shows the window; input on them goes to `saverWindow`. Restarts
    // follow `settings`, counted from the tick `start` as the primary's are; `cosntable` is the
    // highlight table. Monitor n (1 the first) rains from screenSeed(runSeed, n), the primary
    // being screen 0.
    void start(HWND saverWindow, const SaverSettings& settings, const std::int32_t* cosntable,
               std::uint32_t start, std::uint32_t runSeed);
    // The tick handler that runs `primary`'s frame and then every other monitor's, so one
    // timer drives them all; `primary` itself when there is no other monitor. The others
    // count in `power`'s rain tick and draw nothing while it is paused.
    TickHandler* alongside(TickHandler* primary, const DisplayPower& power);
    // One frame on every other monitor at the rain tick `now`.
    void frame(std::uint32_t now);
    // Shows each monitor's whole picture again.
    void showWhole();
    // Shows each monitor's clean desktop, then takes the windows away.
    void end();

  private:
    // Reads the monitors' places again: preparing the display may have changed the primary's
    // mode, and Windows then moves the monitors right of it or below it.
    void followModeChange();

    struct Monitor {
        PixelArea area;
        std::string device;
        std::unique_ptr<DibPicture> picture;
        std::unique_ptr<MonitorRain> rain;
        std::unique_ptr<MonitorWindow> window;
    };
    std::vector<Monitor> monitors_;
};
