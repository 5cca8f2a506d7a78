#pragma once

#include <string>
#include <vector>

#include "engine/monitor_rain.h"

// A monitor as the system lists it. The device name stays with the monitor while its place
// changes.
struct NamedMonitor {
    std::string device;
    PixelArea area;
};

// Where the monitors in `captured`, listed before the display mode was prepared, are now.
// When the primary's mode changes size, Windows moves the monitors right of it or below it, so
// windows made at the old places would cover the wrong parts of the screen. Answers one area
// for each of `captured`, in order: its place in `now`, found by device name; or an empty area
// when the monitor is gone, has another size (its picture no longer fits), or would now overlap
// `primaryNow` or a monitor placed before it (a window there would hide that one).
std::vector<PixelArea> placesAfterModeChange(const std::vector<NamedMonitor>& captured,
                                             const std::vector<NamedMonitor>& now,
                                             const PixelArea& primaryNow);
