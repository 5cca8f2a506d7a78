#pragma once

#include <vector>

#include "app/x11/xlib.h"

// A monitor's place on the root window.
struct MonitorPlace {
    int x, y, width, height;
};

// The monitors RandR 1.5 reports, cut to the root window; the whole root window when there is
// no RandR 1.5 or it reports none.
std::vector<MonitorPlace> monitorPlaces(Display* display, Window root, int rootWidth,
                                        int rootHeight);
