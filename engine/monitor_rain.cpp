#include "engine/monitor_rain.h"

#include <algorithm>

namespace {

// A 32-bit bitmap's channels: blue in the lowest byte, then green, then red.
constexpr ChannelMasks kBitmapMasks{0x00FF0000, 0x0000FF00, 0x000000FF};

}  // namespace

std::vector<PixelArea> secondaryAreas(const std::vector<PixelArea>& monitors,
                                      const PixelArea& primary) {
    std::vector<PixelArea> kept;
    for (const PixelArea& m : monitors) {
        if (m.empty() || m.overlaps(primary)) continue;
        const bool covered = std::any_of(kept.begin(), kept.end(),
                                         [&](const PixelArea& k) { return k.overlaps(m); });
        if (!covered) kept.push_back(m);
    }
    return kept;
}

MonitorRain::MonitorRain(const PixelArea& area, const SaverSettings& settings,
                         const std::int32_t* cosntable, std::uint32_t now, std::uint32_t seed,
                         std::uint8_t* pixels, std::uint32_t pitch)
    : area_(area),
      pictures_(SurfaceDesc{32, pitch, static_cast<std::uint32_t>(area.width()),
                            static_cast<std::uint32_t>(area.height()), pixels}),
      loop_(settings, cosntable, now, seed) {
    loop_.prepare(area.width(), area.height(), kBitmapMasks);
}

const std::vector<PixelArea>& MonitorRain::frame(std::uint32_t now) {
    loop_.frame(pictures_, now);
    changes_ = areasToSend(loop_.plan(now), loop_.areas(), area_.width(), area_.height());
    return changes_;
}
