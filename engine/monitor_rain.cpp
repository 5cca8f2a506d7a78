#include "engine/monitor_rain.h"

#include <algorithm>

namespace {

// A 32-bit bitmap's channels: blue in the lowest byte, then green, then red.
constexpr ChannelMasks kBitmapMasks{0x00FF0000, 0x0000FF00, 0x000000FF};

}  // namespace

std::vector<MonitorArea> secondaryAreas(const std::vector<MonitorArea>& monitors,
                                        const MonitorArea& primary) {
    std::vector<MonitorArea> kept;
    for (const MonitorArea& m : monitors) {
        if (m.empty() || m.overlaps(primary)) continue;
        const bool covered = std::any_of(kept.begin(), kept.end(),
                                         [&](const MonitorArea& k) { return k.overlaps(m); });
        if (!covered) kept.push_back(m);
    }
    return kept;
}

MonitorRain::MonitorRain(const MonitorArea& area, const SaverSettings& settings,
                         const std::int32_t* cosntable, std::uint32_t now, std::uint32_t seed,
                         std::uint8_t* pixels, std::uint32_t pitch)
    : area_(area),
      pictures_(SurfaceDesc{32, pitch, static_cast<std::uint32_t>(area.width()),
                            static_cast<std::uint32_t>(area.height()), pixels}),
      loop_(settings, cosntable, now, seed) {
    loop_.prepare(area.width(), area.height(), kBitmapMasks);
}

const std::vector<MonitorRain::Change>& MonitorRain::frame(std::uint32_t now) {
    changes_.clear();
    loop_.frame(pictures_, now);
    switch (loop_.plan(now)) {
        case FramePresentation::Send::Nothing:
            break;
        case FramePresentation::Send::Whole:
            changes_.push_back(Change{0, 0, area_.width(), area_.height()});
            break;
        case FramePresentation::Send::Areas:
            for (const FramePresentation::Area& a : loop_.areas())
                changes_.push_back(Change{a.left, a.top, a.right, a.bottom});
            break;
    }
    return changes_;
}
