#include "app/x11/x_monitors.h"

#include <X11/extensions/Xrandr.h>

#include <algorithm>

std::vector<MonitorPlace> monitorPlaces(Display* display, Window root, int rootWidth,
                                        int rootHeight) {
    std::vector<MonitorPlace> places;
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (XRRQueryExtension(display, &eventBase, &errorBase) &&
        XRRQueryVersion(display, &major, &minor) && (major > 1 || (major == 1 && minor >= 5))) {
        int count = 0;
        XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
        for (int i = 0; monitors != nullptr && i < count; ++i) {
            const XRRMonitorInfo& m = monitors[i];
            // Only the part of a monitor on the root window can be drawn.
            const int x = std::max(0, m.x);
            const int y = std::max(0, m.y);
            const int right = std::min(rootWidth, m.x + m.width);
            const int bottom = std::min(rootHeight, m.y + m.height);
            if (right > x && bottom > y)
                places.push_back(MonitorPlace{x, y, right - x, bottom - y});
        }
        if (monitors != nullptr) XRRFreeMonitors(monitors);
    }
    if (places.empty()) places.push_back(MonitorPlace{0, 0, rootWidth, rootHeight});
    return places;
}
