#include "app/monitor_places.h"

#include <algorithm>

std::vector<PixelArea> placesAfterModeChange(const std::vector<NamedMonitor>& captured,
                                             const std::vector<NamedMonitor>& now,
                                             const PixelArea& primaryNow) {
    const PixelArea nowhere{0, 0, 0, 0};
    std::vector<PixelArea> places;
    for (const NamedMonitor& before : captured) {
        const auto found = std::find_if(now.begin(), now.end(), [&](const NamedMonitor& m) {
            return m.device == before.device;
        });
        if (found == now.end() || found->area.width() != before.area.width() ||
            found->area.height() != before.area.height() || found->area.empty()) {
            places.push_back(nowhere);
            continue;
        }
        const PixelArea& area = found->area;
        const bool hides = area.overlaps(primaryNow) ||
                           std::any_of(places.begin(), places.end(), [&](const PixelArea& p) {
                               return !p.empty() && p.overlaps(area);
                           });
        places.push_back(hides ? nowhere : area);
    }
    return places;
}
